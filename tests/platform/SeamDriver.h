#pragma once

// Drives a Platform the way an outside program does, through the seam alone: accessibility
// reads, writes and presses, and posted keyboard and mouse events. Used by the simulator's tests
// to play the part of whoever drives Logic Pro.

#include "platform/Platform.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>

namespace Vantrel::Fixtures {

class SeamDriver {
public:
    using Predicate = std::function<bool(const Element&)>;

    explicit SeamDriver(Platform& platform) : p_(platform) {}

    Accessibility& ax() { return p_.accessibility(); }

    // Logic's application element; none when it is not running.
    Element app() {
        const auto apps = ax().runningApplications(QStringLiteral("com.apple.logic10"));
        return apps.isEmpty() ? nullptr : ax().applicationElement(apps.first().pid);
    }

    QString str(const Element& e, const QString& name) {
        const AttributeRead r = ax().attribute(e, name);
        const auto* s = std::get_if<QString>(&r.value);
        return r.status == AXResult::success && s ? *s : QString();
    }
    QList<Element> list(const Element& e, const QString& name) {
        const AttributeRead r = ax().attribute(e, name);
        const auto* l = std::get_if<QList<Element>>(&r.value);
        return r.status == AXResult::success && l ? *l : QList<Element>();
    }
    std::optional<std::int64_t> integer(const Element& e, const QString& name) {
        const AttributeRead r = ax().attribute(e, name);
        const auto* i = std::get_if<std::int64_t>(&r.value);
        return r.status == AXResult::success && i ? std::optional(*i) : std::nullopt;
    }
    std::optional<bool> boolean(const Element& e, const QString& name) {
        const AttributeRead r = ax().attribute(e, name);
        const auto* b = std::get_if<bool>(&r.value);
        return r.status == AXResult::success && b ? std::optional(*b) : std::nullopt;
    }
    std::optional<Rect> frame(const Element& e) {
        const AttributeRead pos = ax().attribute(e, QStringLiteral("AXPosition"));
        const AttributeRead size = ax().attribute(e, QStringLiteral("AXSize"));
        const auto* p = std::get_if<Point>(&pos.value);
        const auto* s = std::get_if<Size>(&size.value);
        if (!p || !s)
            return std::nullopt;
        return Rect{*p, *s};
    }
    QList<Element> kids(const Element& e) { return list(e, QStringLiteral("AXChildren")); }
    QList<Element> windows() { return list(app(), QStringLiteral("AXWindows")); }

    // Depth-first search, root first.
    Element find(const Element& root, const Predicate& pred) {
        if (!root)
            return nullptr;
        if (pred(root))
            return root;
        for (const Element& k : kids(root))
            if (Element hit = find(k, pred))
                return hit;
        return nullptr;
    }
    // The first element of any window that satisfies pred.
    Element findInWindows(const Predicate& pred) {
        for (const Element& w : windows())
            if (Element hit = find(w, pred))
                return hit;
        return nullptr;
    }
    Predicate is(const QString& attribute, const QString& value) {
        return [this, attribute, value](const Element& e) { return str(e, attribute) == value; };
    }
    Element windowTitled(const QString& title) {
        for (const Element& w : windows())
            if (str(w, QStringLiteral("AXTitle")) == title)
                return w;
        return nullptr;
    }

    // The menu item at a path of titles, without pressing anything.
    Element menuItem(const QStringList& path) {
        QList<Element> bar = list(app(), QStringLiteral("AXMenuBar"));
        Element current = bar.isEmpty() ? nullptr : bar.first();
        for (const QString& title : path) {
            Element next;
            for (const Element& k : kids(current)) {
                const QList<Element> candidates =
                    str(k, QStringLiteral("AXRole")) == QLatin1String("AXMenu") ? kids(k)
                                                                                : QList<Element>{k};
                for (const Element& c : candidates)
                    if (!next && str(c, QStringLiteral("AXTitle")) == title)
                        next = c;
            }
            if (!next)
                return nullptr;
            current = next;
        }
        return current;
    }
    int press(const Element& e) { return ax().performAction(e, QStringLiteral("AXPress")); }
    // Presses the item at the path; failure when it is not there.
    int pressMenu(const QStringList& path) {
        const Element item = menuItem(path);
        return item ? press(item) : AXResult::failure;
    }

    // A keystroke with its modifier keys around it.
    void key(std::uint16_t code, std::uint64_t flags = 0) {
        const std::pair<std::uint16_t, std::uint64_t> mods[] = {
            {55, EventFlags::command}, {56, EventFlags::shift}, {58, EventFlags::option}};
        std::uint64_t held = 0;
        for (const auto& [modKey, bit] : mods)
            if (flags & bit) {
                held |= bit;
                p_.input().postKey({modKey, true, held, std::nullopt});
            }
        p_.input().postKey({code, true, flags, std::nullopt});
        p_.input().postKey({code, false, flags, std::nullopt});
        for (const auto& [modKey, bit] : mods)
            if (flags & bit) {
                held &= ~bit;
                p_.input().postKey({modKey, false, held, std::nullopt});
            }
        p_.clock().sleepFor(std::chrono::milliseconds(30));
    }
    void type(const QString& text) {
        for (const QChar c : text) {
            p_.input().postKey({0, true, 0, c.unicode()});
            p_.input().postKey({0, false, 0, c.unicode()});
            p_.clock().sleepFor(std::chrono::milliseconds(8));
        }
    }
    void mouse(MouseEventType type, Point at, std::uint64_t flags = 0, std::int64_t clicks = 0) {
        p_.input().postMouse({type, at, flags, clicks});
    }
    void click(Point at, std::int64_t count = 1, std::uint64_t flags = 0) {
        mouse(MouseEventType::moved, at);
        mouse(MouseEventType::leftDown, at, flags, count);
        mouse(MouseEventType::leftUp, at, flags, count);
        p_.clock().sleepFor(std::chrono::milliseconds(25));
    }
    void doubleClick(Point at) {
        click(at, 1);
        click(at, 2);
    }
    // Press at from, drag in steps to to, release there.
    void drag(Point from, Point to, int steps = 12) {
        mouse(MouseEventType::moved, from);
        mouse(MouseEventType::leftDown, from, 0, 1);
        for (int i = 1; i <= steps; ++i)
            mouse(MouseEventType::leftDragged,
                  {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
        mouse(MouseEventType::leftUp, to, 0, 1);
    }

    // The track list of the project window.
    Element header() {
        return findInWindows(is(QStringLiteral("AXDescription"), QStringLiteral("Tracks header")));
    }
    QList<Element> rows() { return kids(header()); }
    // The names of the rows, from their descriptions (Track N “name”).
    QStringList names() {
        QStringList out;
        for (const Element& r : rows()) {
            const QString d = str(r, QStringLiteral("AXDescription"));
            const qsizetype open = d.indexOf(QChar(0x201C));
            const qsizetype close = d.lastIndexOf(QChar(0x201D));
            out.append(open >= 0 && close > open ? d.mid(open + 1, close - open - 1) : d);
        }
        return out;
    }
    Element triangle(const Element& row) {
        return find(row, is(QStringLiteral("AXRole"), QStringLiteral("AXDisclosureTriangle")));
    }
    int select(const QList<Element>& rows) {
        return ax().setAttribute(header(), QStringLiteral("AXSelectedChildren"), rows);
    }

    // Waits on the platform's clock.
    void wait(int ms) { p_.clock().sleepFor(std::chrono::milliseconds(ms)); }

private:
    Platform& p_;
};

} // namespace Vantrel::Fixtures
