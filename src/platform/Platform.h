#pragma once

// The seam between the program and the operating system's accessibility, input and screen
// services, through which Logic Pro is reached. The simulated implementation (sim/) is an
// equal of the real one; nothing above this seam knows which one it talks to.

#include "platform/Clock.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>

namespace Vantrel {

// Screen geometry in points, global coordinates with the origin at the top left of the main
// screen.
struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};
struct Size {
    double width = 0;
    double height = 0;
    bool operator==(const Size&) const = default;
};
struct Rect {
    Point origin;
    Size size;
    bool operator==(const Rect&) const = default;
    Point center() const { return {origin.x + size.width / 2, origin.y + size.height / 2}; }
    bool contains(Point p) const {
        return p.x >= origin.x && p.y >= origin.y && p.x < origin.x + size.width &&
               p.y < origin.y + size.height;
    }
};

// One object of another application's accessibility tree. Handles are reference-counted and
// compared by identity (two handles are the same element when they point to the same object).
class ElementObject {
public:
    virtual ~ElementObject() = default;
};
using Element = std::shared_ptr<ElementObject>;

// The value of an attribute: nothing, text, a boolean, an integer, a real number, a point, a
// size, or a list of elements.
using AXValue =
    std::variant<std::monostate, QString, bool, std::int64_t, double, Point, Size, QList<Element>>;

// The platform's result codes of accessibility calls.
namespace AXResult {
inline constexpr int success = 0;
inline constexpr int failure = -25200;
inline constexpr int illegalArgument = -25201;
inline constexpr int invalidElement = -25202;
inline constexpr int cannotComplete = -25204;
inline constexpr int attributeUnsupported = -25205;
inline constexpr int actionUnsupported = -25206;
inline constexpr int apiDisabled = -25211;
inline constexpr int noValue = -25212;
} // namespace AXResult

// A status (AXResult) and, on success, the value read.
struct AttributeRead {
    int status = AXResult::failure;
    AXValue value;
};

// A running application.
struct RunningApp {
    std::int64_t pid = 0;
    QString bundleId;
    bool operator==(const RunningApp&) const = default;
};

// The accessibility interface.
class Accessibility {
public:
    virtual ~Accessibility() = default;
    // Whether this program may use the accessibility interface.
    virtual bool isTrusted() = 0;
    // Asks the system to show the user the permission request; the answer comes later.
    virtual void promptForTrust() = 0;
    // The running applications with this bundle identifier, in the system's order.
    virtual QList<RunningApp> runningApplications(const QString& bundleId) = 0;
    // Asks the system to bring the application to the front; true when the request was taken.
    virtual bool activate(const RunningApp& app) = 0;
    // The application's top element; none when there is no such process.
    virtual Element applicationElement(std::int64_t pid) = 0;
    // Reads an attribute.
    virtual AttributeRead attribute(const Element& element, const QString& name) = 0;
    // Reads several attributes of one element, one read per name in the names' order. A name the
    // element lacks reads attribute-unsupported without failing the others; a call the
    // application does not answer gives every read its status. A Mac answers it in one call
    // (AXUIElementCopyMultipleAttributeValues); by default it is one call per name.
    virtual QList<AttributeRead> attributes(const Element& element, const QStringList& names) {
        QList<AttributeRead> reads;
        reads.reserve(names.size());
        for (const QString& name : names)
            reads.append(attribute(element, name));
        return reads;
    }
    // Writes an attribute; returns the status.
    virtual int setAttribute(const Element& element, const QString& name, const AXValue& value) = 0;
    // Performs an action such as "AXPress"; returns the status.
    virtual int performAction(const Element& element, const QString& action) = 0;
    // The actions the element offers, for a dump of the tree; empty when unreadable.
    virtual QStringList actionNames(const Element& element) {
        (void)element;
        return {};
    }
};

// Modifier flags of input events.
namespace EventFlags {
inline constexpr std::uint64_t command = 0x100000;
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t option = 0x80000;
inline constexpr std::uint64_t control = 0x40000;
} // namespace EventFlags

// A synthetic key press or release: the virtual key code, the modifier flags and, for typed
// text, one UTF-16 code unit.
struct KeyEvent {
    std::uint16_t keyCode = 0;
    bool down = true;
    std::uint64_t flags = 0;
    std::optional<char16_t> unit;
    bool operator==(const KeyEvent&) const = default;
};

enum class MouseEventType {
    leftDown = 1,
    leftUp = 2,
    moved = 5,
    leftDragged = 6,
    scrollWheel = 22
};

// A synthetic mouse event at a global point; clickState counts the clicks of a multi-click;
// for scrollWheel, wheelLines are the lines scrolled (positive: towards the top of the content).
struct MouseEvent {
    MouseEventType type = MouseEventType::moved;
    Point point;
    std::uint64_t flags = 0;
    std::int64_t clickState = 0;
    std::int64_t wheelLines = 0;
    bool operator==(const MouseEvent&) const = default;
};

// Synthetic input, delivered to the frontmost application.
class Input {
public:
    virtual ~Input() = default;
    virtual void postKey(const KeyEvent& event) = 0;
    virtual void postMouse(const MouseEvent& event) = 0;
};

// The main screen.
class Screen {
public:
    virtual ~Screen() = default;
    // The whole screen.
    virtual Rect mainFrame() = 0;
    // The part not covered by the menu bar and the dock.
    virtual Rect visibleFrame() = 0;
};

// Shows this program's compact drag tile, from which a file drag can start.
class DragTileHost {
public:
    virtual ~DragTileHost() = default;
    // Shows a tile offering files at a global rectangle (replacing any tile shown).
    virtual void showTile(const QStringList& files, const Rect& frame) = 0;
    virtual void hideTile() = 0;
};

// Everything the automation needs from the system, handed to whoever needs it.
class Platform {
public:
    virtual ~Platform() = default;
    virtual Accessibility& accessibility() = 0;
    virtual Input& input() = 0;
    virtual Screen& screen() = 0;
    virtual DragTileHost& dragTiles() = 0;
    virtual Clock& clock() = 0;
    // Keeps the system from slowing this program down (App Nap on a Mac) while it drives another
    // application in the background, until the returned token is dropped; nothing here.
    virtual std::shared_ptr<void> holdActivity(const QString& reason) {
        (void)reason;
        return nullptr;
    }
};

} // namespace Vantrel
