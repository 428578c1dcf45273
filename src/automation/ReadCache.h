#pragma once

// The sender's view of the platform: every call passes through to the platform it wraps, but an
// attribute read twice between two changes is asked of Logic Pro once. A change is anything the
// sender does to Logic Pro (an attribute written, an action, a key or mouse event, the drag tile
// shown or hidden) and any pause on the clock, during which Logic Pro may change by itself: each
// of them forgets every value read. An element's role never changes, so it is kept for as long
// as the element lives. Only answered reads are kept; a read Logic could not complete is asked
// again.
//
// Reads are cached only on the thread that runs the send; the counters tell how many reads were
// answered from the cache (for the benchmarks).

#include "platform/Platform.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

namespace Vantrel {

class ReadCache final : public Platform,
                        private Accessibility,
                        private Input,
                        private DragTileHost,
                        private Clock {
public:
    explicit ReadCache(Platform& platform) : platform_(platform) {}
    ReadCache(const ReadCache&) = delete;
    ReadCache& operator=(const ReadCache&) = delete;

    Accessibility& accessibility() override { return *this; }
    Input& input() override { return *this; }
    Screen& screen() override { return platform_.screen(); }
    DragTileHost& dragTiles() override { return *this; }
    Clock& clock() override { return *this; }
    std::shared_ptr<void> holdActivity(const QString& reason) override {
        return platform_.holdActivity(reason);
    }

    // Forgets every value read (roles excepted).
    void forget();
    // Reads answered from the cache since the start.
    long long hits() const { return hits_; }
    // How many changes the sender made to Logic Pro so far (writes, actions, key and mouse
    // events, the drag tile; pauses and bringing Logic to the front are none): what the sender
    // learnt of Logic's interface while the count stood still was changed by no one but the
    // person at the machine.
    long long changes() const { return changes_; }

private:
    struct Key {
        const ElementObject* element;
        QString name;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& k, size_t seed) { return qHashMulti(seed, k.element, k.name); }
    struct Kept {
        Element element; // holds the element, so that its address is not reused meanwhile
        AttributeRead read;
    };

    Accessibility& ax() { return platform_.accessibility(); }
    const AttributeRead* cached(const Element& element, const QString& name);
    void keep(const Element& element, const QString& name, const AttributeRead& read);

    bool isTrusted() override { return ax().isTrusted(); }
    void promptForTrust() override { ax().promptForTrust(); }
    QList<RunningApp> runningApplications(const QString& id) override {
        return ax().runningApplications(id);
    }
    bool activate(const RunningApp& app) override;
    Element applicationElement(std::int64_t pid) override { return ax().applicationElement(pid); }
    AttributeRead attribute(const Element& element, const QString& name) override;
    QList<AttributeRead> attributes(const Element& element, const QStringList& names) override;
    int setAttribute(const Element& element, const QString& name, const AXValue& value) override;
    int performAction(const Element& element, const QString& action) override;
    QStringList actionNames(const Element& element) override { return ax().actionNames(element); }

    void postKey(const KeyEvent& event) override;
    void postMouse(const MouseEvent& event) override;
    void showTile(const QStringList& files, const Rect& frame) override;
    void hideTile() override;

    Duration now() const override { return platform_.clock().now(); }
    void sleepFor(Duration d) override;

    Platform& platform_;
    QHash<Key, Kept> reads_;
    struct Role {
        std::weak_ptr<ElementObject> element; // the role is kept only while the element lives
        AttributeRead read;
    };
    QHash<Key, Role> roles_;
    qsizetype roleLimit_ = 4096;
    long long hits_ = 0;
    long long changes_ = 0;
};

} // namespace Vantrel
