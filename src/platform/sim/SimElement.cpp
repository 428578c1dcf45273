#include "platform/sim/SimElement.h"

#include "platform/AxNames.h"

#include <algorithm>

namespace Vantrel {

SimElement::Ptr SimElement::make(const void* owner, const QString& role) {
    return Ptr(new SimElement(owner, role));
}

AttributeRead SimElement::read(const QString& name) const {
    if (const auto g = getters.find(name); g != getters.end()) {
        AXValue v = g->second();
        if (std::holds_alternative<std::monostate>(v))
            return {AXResult::noValue, {}};
        return {AXResult::success, std::move(v)};
    }
    if (name == Ax::Attr::role)
        return {AXResult::success, role_};
    if (name == Ax::Attr::children) {
        QList<Element> list;
        list.reserve(static_cast<qsizetype>(children_.size()));
        for (const auto& c : children_)
            list.append(c);
        return {AXResult::success, list};
    }
    if (name == Ax::Attr::parent) {
        if (auto p = parent_.lock())
            return {AXResult::success, QList<Element>{p}};
        return {AXResult::noValue, {}};
    }
    if (frame && name == Ax::Attr::position)
        return {AXResult::success, frame->origin};
    if (frame && name == Ax::Attr::size)
        return {AXResult::success, frame->size};
    if (const auto a = attributes_.find(name); a != attributes_.end()) {
        if (std::holds_alternative<std::monostate>(a->second))
            return {AXResult::noValue, {}};
        return {AXResult::success, a->second};
    }
    return {AXResult::attributeUnsupported, {}};
}

SimElement& SimElement::set(const QString& name, AXValue value) {
    attributes_[name] = std::move(value);
    return *this;
}

SimElement::Ptr SimElement::add(Ptr child) {
    return insert(static_cast<qsizetype>(children_.size()), std::move(child));
}

SimElement::Ptr SimElement::insert(qsizetype index, Ptr child) {
    child->parent_ = weak_from_this();
    index = std::clamp<qsizetype>(index, 0, static_cast<qsizetype>(children_.size()));
    children_.insert(children_.begin() + index, child);
    return child;
}

void SimElement::remove(const Ptr& child) {
    const auto it = std::find(children_.begin(), children_.end(), child);
    if (it == children_.end())
        return;
    (*it)->kill();
    children_.erase(it);
}

void SimElement::removeChildren() {
    for (const auto& c : children_)
        c->kill();
    children_.clear();
}

void SimElement::kill() {
    alive_ = false;
    getters.clear();
    setters.clear();
    press = nullptr;
    parent_.reset();
    removeChildren();
}

const SimElement* SimElement::window() const {
    for (const SimElement* e = this; e; e = e->parent_.lock().get())
        if (e->role_ == Ax::Role::window)
            return e;
    return nullptr;
}

bool SimElement::contains(const SimElement* other) const {
    for (const SimElement* e = other; e; e = e->parent_.lock().get())
        if (e == this)
            return true;
    return false;
}

QString SimElement::text(const QString& name) const {
    const AttributeRead r = read(name);
    if (const auto* s = std::get_if<QString>(&r.value))
        return *s;
    return {};
}

} // namespace Vantrel
