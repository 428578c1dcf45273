#include "automation/ReadCache.h"

#include "platform/AxNames.h"

#include <algorithm>

namespace Vantrel {

namespace {

const QString& kRole = Ax::Attr::role;

// Whether a read is an answer worth keeping: a value, or a definite "none".
bool answered(const AttributeRead& read) {
    return read.status == AXResult::success || read.status == AXResult::noValue ||
           read.status == AXResult::attributeUnsupported;
}

} // namespace

void ReadCache::forget() {
    reads_.clear();
}

const AttributeRead* ReadCache::cached(const Element& element, const QString& name) {
    if (!element)
        return nullptr;
    if (name == kRole) {
        const auto it = roles_.constFind(Key{element.get(), name});
        if (it == roles_.cend() || it->element.lock() != element)
            return nullptr;
        ++hits_;
        return &it->read;
    }
    const auto it = reads_.constFind(Key{element.get(), name});
    if (it == reads_.cend())
        return nullptr;
    ++hits_;
    return &it->read;
}

void ReadCache::keep(const Element& element, const QString& name, const AttributeRead& read) {
    if (!element || !answered(read))
        return;
    if (name != kRole) {
        reads_.insert(Key{element.get(), name}, Kept{element, read});
        return;
    }
    // Roles of elements that are gone are dropped now and then.
    if (roles_.size() >= roleLimit_) {
        roles_.removeIf([](const auto& it) { return it.value().element.expired(); });
        roleLimit_ = std::max<qsizetype>(4096, 2 * roles_.size());
    }
    roles_.insert(Key{element.get(), name}, Role{element, read});
}

AttributeRead ReadCache::attribute(const Element& element, const QString& name) {
    if (const AttributeRead* read = cached(element, name))
        return *read;
    AttributeRead read = ax().attribute(element, name);
    keep(element, name, read);
    return read;
}

QList<AttributeRead> ReadCache::attributes(const Element& element, const QStringList& names) {
    QList<AttributeRead> reads(names.size());
    QStringList missing;
    QList<qsizetype> at;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (const AttributeRead* read = cached(element, names[i])) {
            reads[i] = *read;
        } else {
            missing << names[i];
            at << i;
        }
    }
    if (missing.isEmpty())
        return reads;
    const QList<AttributeRead> fresh =
        missing.size() == 1 ? QList<AttributeRead>{ax().attribute(element, missing[0])}
                            : ax().attributes(element, missing);
    for (qsizetype j = 0; j < missing.size() && j < fresh.size(); ++j) {
        reads[at[j]] = fresh[j];
        keep(element, missing[j], fresh[j]);
    }
    return reads;
}

bool ReadCache::activate(const RunningApp& app) {
    forget();
    return ax().activate(app);
}

int ReadCache::setAttribute(const Element& element, const QString& name, const AXValue& value) {
    ++changes_;
    forget();
    return ax().setAttribute(element, name, value);
}

int ReadCache::performAction(const Element& element, const QString& action) {
    ++changes_;
    forget();
    return ax().performAction(element, action);
}

void ReadCache::postKey(const KeyEvent& event) {
    ++changes_;
    forget();
    platform_.input().postKey(event);
}

void ReadCache::postMouse(const MouseEvent& event) {
    ++changes_;
    forget();
    platform_.input().postMouse(event);
}

void ReadCache::showTile(const QStringList& files, const Rect& frame) {
    ++changes_;
    forget();
    platform_.dragTiles().showTile(files, frame);
}

void ReadCache::hideTile() {
    ++changes_;
    forget();
    platform_.dragTiles().hideTile();
}

void ReadCache::sleepFor(Duration d) {
    forget();
    platform_.clock().sleepFor(d);
}

} // namespace Vantrel
