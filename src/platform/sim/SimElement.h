#pragma once

// One element of the simulated Logic Pro's accessibility tree. Elements are created and changed
// only by the simulator, under its lock; the handles given out through the seam keep them alive,
// and an element that left the tree answers as stale from then on.

#include "platform/Platform.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace Vantrel {

class SimElement final : public ElementObject, public std::enable_shared_from_this<SimElement> {
public:
    using Ptr = std::shared_ptr<SimElement>;
    using Getter = std::function<AXValue()>;
    using Setter = std::function<int(const AXValue&)>;
    using Action = std::function<int()>;

    // A new element of this role, belonging to the simulator identified by owner.
    static Ptr make(const void* owner, const QString& role);

    // Reads an attribute: AXRole, AXChildren, AXParent, AXPosition and AXSize from the element's
    // structure, the rest from its getters and its stored attributes. Unknown names answer
    // attributeUnsupported, a stored empty value noValue.
    AttributeRead read(const QString& name) const;

    // Stores an attribute value that does not change by itself.
    SimElement& set(const QString& name, AXValue value);
    // Appends a child and returns it.
    Ptr add(Ptr child);
    // Inserts a child at index (clamped) and returns it.
    Ptr insert(qsizetype index, Ptr child);
    // Takes a child out of the tree; it and its descendants become stale.
    void remove(const Ptr& child);
    // Takes every child out of the tree.
    void removeChildren();
    // Makes this element and its descendants stale and drops their behaviour.
    void kill();

    // Whether the element is still part of the tree.
    bool alive() const { return alive_; }
    // The simulator the element belongs to.
    const void* owner() const { return owner_; }
    const QString& role() const { return role_; }
    const std::vector<Ptr>& children() const { return children_; }
    // The element's parent while it is in the tree.
    Ptr parent() const { return parent_.lock(); }
    // The nearest ancestor (or the element itself) whose role is AXWindow; none in the menu bar.
    const SimElement* window() const;
    // Whether other lies in this element's subtree (itself included).
    bool contains(const SimElement* other) const;
    // A stored or computed text attribute; empty when it is missing or not text.
    QString text(const QString& name) const;

    // Where the element is on screen; none when it has no frame.
    std::optional<Rect> frame;
    // Attributes computed when read.
    std::map<QString, Getter> getters;
    // Attributes that can be written; the setter answers the status.
    std::map<QString, Setter> setters;
    // What AXPress does; none when the element cannot be pressed.
    Action press;

private:
    SimElement(const void* owner, const QString& role) : owner_(owner), role_(role) {}

    const void* owner_;
    QString role_;
    bool alive_ = true;
    std::map<QString, AXValue> attributes_;
    std::vector<Ptr> children_;
    std::weak_ptr<SimElement> parent_;
};

} // namespace Vantrel
