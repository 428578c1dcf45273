#pragma once

// A hash table of names for the engine's per-file work, private to the core library.

#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Vantrel::Engine {

// A set of names, or a map from names to V. With foldCase, names are compared as lower() gives
// them (QString::toLower()), as the file systems of the users' machines do: a plain ASCII name is
// kept as it is (shared with the item, nothing allocated) and compared with A-Z folded, any other
// name by its lower-case form, which holds no A-Z. Open addressing with a cheap hash of its own:
// QHash's string hash was most of the naming's time.
template <class V, bool foldCase> class NameTable {
public:
    void reserve(qsizetype count) {
        size_t capacity = 16;
        while (capacity < size_t(count) * 2)
            capacity *= 2;
        if (capacity > slots_.size())
            rehash(capacity);
    }

    // The value of name; null when it is not there.
    const V* lookup(const QString& name) const {
        if (slots_.empty())
            return nullptr;
        const QString key = foldCase && !ascii(name) ? name.toLower() : name;
        const size_t hash = hashOf(key);
        const size_t mask = slots_.size() - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            const Slot& slot = slots_[at];
            if (slot.hash == 0)
                return nullptr;
            if (slot.hash == hash && same(slot.key, key))
                return &slot.value;
        }
    }

    // The value of name, made (V{}) when the name is new; inserted says whether it was.
    V& find(const QString& name, bool& inserted) {
        if ((used_ + 1) * 2 > slots_.size())
            rehash(std::max<size_t>(16, slots_.size() * 2));
        const QString key = foldCase && !ascii(name) ? name.toLower() : name;
        const size_t hash = hashOf(key);
        const size_t mask = slots_.size() - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            Slot& slot = slots_[at];
            if (slot.hash == 0) {
                slot = {key, hash, V{}};
                ++used_;
                inserted = true;
                return slot.value;
            }
            if (slot.hash == hash && same(slot.key, key)) {
                inserted = false;
                return slot.value;
            }
        }
    }

private:
    struct Slot {
        QString key;
        size_t hash = 0; // 0: an empty slot
        V value{};
    };

    static bool ascii(const QString& s) {
        return std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c.unicode() < 0x80; });
    }

    static char16_t folded(char16_t u) {
        return foldCase && u >= 'A' && u <= 'Z' ? char16_t(u + ('a' - 'A')) : u;
    }

    static size_t hashOf(const QString& key) {
        std::uint64_t h = 0xcbf29ce484222325u; // FNV-1a over the (folded) UTF-16 units
        for (const QChar c : key)
            h = (h ^ folded(c.unicode())) * 0x100000001b3u;
        h ^= h >> 33; // spread into the low bits, which pick the slot
        h *= 0xff51afd7ed558ccdu;
        h ^= h >> 33;
        return size_t(h | 1);
    }

    static bool same(const QString& a, const QString& b) {
        if (a.size() != b.size())
            return false;
        for (qsizetype i = 0; i < a.size(); ++i)
            if (folded(a[i].unicode()) != folded(b[i].unicode()))
                return false;
        return true;
    }

    void rehash(size_t capacity) {
        std::vector<Slot> old(capacity);
        old.swap(slots_);
        const size_t mask = capacity - 1;
        for (Slot& slot : old) {
            if (slot.hash == 0)
                continue;
            size_t at = slot.hash & mask;
            while (slots_[at].hash != 0)
                at = (at + 1) & mask;
            slots_[at] = std::move(slot);
        }
    }

    std::vector<Slot> slots_;
    size_t used_ = 0;
};

} // namespace Vantrel::Engine
