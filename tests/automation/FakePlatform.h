#pragma once

// A hand-built accessibility world for the toolkit's tests: a tree of elements with the
// attributes a test gives them, attribute reads that can be made to fail, presses that answer
// chosen statuses, and a record of every read, press and posted event with its time on a
// virtual clock. Much smaller than the simulated Logic Pro: it reacts to nothing unless a test
// says so, which lets a test build exactly the tree an edge case needs.

#include "platform/Platform.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <ostream>

namespace Vantrel::Fake {

// One element: its attributes, the attributes whose read fails (with the status answered; the
// value, if any, is still handed out, as a careless reader would take it), and the answers to
// "AXPress".
class Node : public ElementObject {
public:
    explicit Node(QString name) : name(std::move(name)) {}

    QString name; // names the node in records and failure messages
    QHash<QString, AXValue> attributes;
    QHash<QString, int> failing;
    QList<int> pressAnswers;       // answered in turn, then success
    std::function<void()> onPress; // run on every press, before answering

    Node& set(const QString& attribute, AXValue value) {
        attributes.insert(attribute, std::move(value));
        return *this;
    }
    Node& fail(const QString& attribute, int status = AXResult::failure) {
        failing.insert(attribute, status);
        return *this;
    }
    Node& setChildren(const QList<std::shared_ptr<Node>>& children) {
        QList<Element> list;
        for (const auto& child : children)
            list << child;
        return set(QStringLiteral("AXChildren"), list);
    }
};
using NodePtr = std::shared_ptr<Node>;

// A node with a role, an optional title and children; the name is the title, else the role.
inline NodePtr node(const QString& role, const QString& title = {},
                    const QList<NodePtr>& children = {}) {
    auto n = std::make_shared<Node>(title.isEmpty() ? role : title);
    n->set(QStringLiteral("AXRole"), role);
    if (!title.isEmpty())
        n->set(QStringLiteral("AXTitle"), title);
    n->setChildren(children);
    return n;
}

inline QString nameOf(const Element& e) {
    auto* n = dynamic_cast<Node*>(e.get());
    return n ? n->name : QStringLiteral("<none>");
}

// Something the world saw, at a time of its clock.
struct Read {
    QString element;
    QString attribute;
    bool operator==(const Read&) const = default;
};
struct Press {
    QString element;
    Clock::Duration at;
    bool operator==(const Press&) const = default;
};
struct PostedKey {
    Clock::Duration at;
    KeyEvent event;
    bool operator==(const PostedKey&) const = default;
};

inline void PrintTo(const Press& p, std::ostream* os) {
    *os << p.element.toStdString() << " @" << p.at.count() / 1000000 << "ms";
}
inline void PrintTo(const PostedKey& k, std::ostream* os) {
    *os << "@" << k.at.count() / 1000000 << "ms key " << k.event.keyCode
        << (k.event.down ? " down" : " up") << " flags 0x" << std::hex << k.event.flags << std::dec;
    if (k.event.unit)
        *os << " unit U+" << std::hex << int(*k.event.unit) << std::dec;
}

class FakePlatform : public Platform,
                     public Accessibility,
                     public Input,
                     public Screen,
                     public DragTileHost {
public:
    // The world.
    bool trusted = true;
    QList<RunningApp> apps;                   // every running application, in the system's order
    QHash<std::int64_t, Element> appElements; // by process identifier
    VirtualClock virtualClock;

    // What it saw.
    int trustPrompts = 0;
    QList<Read> reads;
    QList<Press> presses;
    QList<PostedKey> keys;
    int mouseEvents = 0;

    // Runs an application with an element; returns the element.
    NodePtr launch(const QString& bundleId, std::int64_t pid) {
        apps << RunningApp{pid, bundleId};
        auto app = node(QStringLiteral("AXApplication"), QStringLiteral("app %1").arg(pid));
        appElements.insert(pid, app);
        return app;
    }

    Accessibility& accessibility() override { return *this; }
    Input& input() override { return *this; }
    Screen& screen() override { return *this; }
    DragTileHost& dragTiles() override { return *this; }
    Clock& clock() override { return virtualClock; }

    bool isTrusted() override { return trusted; }
    void promptForTrust() override { ++trustPrompts; }
    QList<RunningApp> runningApplications(const QString& bundleId) override {
        QList<RunningApp> found;
        for (const RunningApp& app : apps) {
            if (app.bundleId == bundleId)
                found << app;
        }
        return found;
    }
    bool activate(const RunningApp&) override { return true; }
    Element applicationElement(std::int64_t pid) override { return appElements.value(pid); }
    AttributeRead attribute(const Element& element, const QString& name) override {
        auto* n = dynamic_cast<Node*>(element.get());
        if (!n)
            return {AXResult::illegalArgument, {}};
        reads << Read{n->name, name};
        const AXValue value = n->attributes.value(name);
        if (n->failing.contains(name))
            return {n->failing.value(name), value};
        if (!n->attributes.contains(name))
            return {AXResult::noValue, {}};
        return {AXResult::success, value};
    }
    int setAttribute(const Element&, const QString&, const AXValue&) override {
        return AXResult::success;
    }
    int performAction(const Element& element, const QString& action) override {
        auto* n = dynamic_cast<Node*>(element.get());
        if (!n)
            return AXResult::illegalArgument;
        if (action != QLatin1String("AXPress"))
            return AXResult::actionUnsupported;
        presses << Press{n->name, virtualClock.now()};
        if (n->onPress)
            n->onPress();
        return n->pressAnswers.isEmpty() ? AXResult::success : n->pressAnswers.takeFirst();
    }

    void postKey(const KeyEvent& event) override { keys << PostedKey{virtualClock.now(), event}; }
    void postMouse(const MouseEvent&) override { ++mouseEvents; }

    Rect mainFrame() override { return {{0, 0}, {1440, 900}}; }
    Rect visibleFrame() override { return {{0, 25}, {1440, 875}}; }

    void showTile(const QStringList&, const Rect&) override {}
    void hideTile() override {}
};

} // namespace Vantrel::Fake
