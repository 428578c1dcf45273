#pragma once

// A hash table of names for the engine's per-file work, private to the core library.

#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace Vantrel::Engine {

// A set of names, or a map from names to V. With foldCase, names are compared as lower() gives
// them (QString::toLower()), as the file systems of the users' machines do: a plain ASCII name is
// kept as it is (shared with the item, nothing allocated) and compared with A-Z folded, any other
// name by its lower-case form, which holds no A-Z. Open addressing with a cheap hash of its own:
// QHash's string hash was most of the naming's time.
// The names are kept in the order they came, each with its hash and value; a power-of-two
// index of 64-bit slots (the hash's high half, the entry's position + 1) is probed linearly, so
// that a probe reads one small array and an entry only when the hashes agree.
template <class V, bool foldCase> class NameTable {
public:
    void reserve(qsizetype count) {
        entries_.reserve(size_t(count));
        size_t capacity = 16;
        while (capacity < size_t(count) * 2)
            capacity *= 2;
        if (capacity > index_.size())
            rehash(capacity);
    }

    // The value of name; null when it is not there.
    const V* lookup(const QString& name) const {
        if (index_.empty())
            return nullptr;
        const Probe p = probe(name);
        return p.entry ? &entries_[p.entry - 1].value : nullptr;
    }

    // The value of name, made (V{}) when the name is new; inserted says whether it was. The
    // reference holds until the next name is added.
    V& find(const QString& name, bool& inserted) {
        if ((entries_.size() + 1) * 2 > index_.size())
            rehash(std::max<size_t>(16, index_.size() * 2));
        Probe p = probe(name);
        inserted = p.entry == 0;
        if (!inserted)
            return entries_[p.entry - 1].value;
        entries_.push_back({std::move(p.key), p.hash, V{}});
        index_[p.at] = (p.hash >> 32) << 32 | std::uint64_t(entries_.size());
        return entries_.back().value;
    }

private:
    struct Entry {
        QString key;
        std::uint64_t hash;
        V value;
    };

    // Where name stands: its key and hash, the slot probed last and the entry's position + 1
    // there, 0 when the name is not in the table (the slot is then the free one for it).
    struct Probe {
        QString key;
        std::uint64_t hash;
        size_t at;
        size_t entry;
    };

    Probe probe(const QString& name) const {
        const bool plain = !foldCase || ascii(name);
        Probe p{plain ? name : name.toLower(), 0, 0, 0};
        p.hash = hashOf(p.key, foldCase && plain);
        const size_t mask = index_.size() - 1;
        for (p.at = size_t(p.hash) & mask;; p.at = (p.at + 1) & mask) {
            const std::uint64_t slot = index_[p.at];
            if (slot == 0)
                return p;
            if ((slot >> 32) != (p.hash >> 32))
                continue;
            const size_t entry = size_t(std::uint32_t(slot));
            if (entries_[entry - 1].hash == p.hash && same(entries_[entry - 1].key, p.key)) {
                p.entry = entry;
                return p;
            }
        }
    }

    static bool ascii(const QString& s) {
        return std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c.unicode() < 0x80; });
    }

    static char16_t folded(char16_t u) {
        return foldCase && u >= 'A' && u <= 'Z' ? char16_t(u + ('a' - 'A')) : u;
    }

    // The hash of key, four UTF-16 units at a time; with fold, key is plain ASCII and its A-Z
    // are hashed as a-z (a lower-case form of any other name holds no A-Z to fold).
    static std::uint64_t hashOf(const QString& key, bool fold) {
        const auto* units = reinterpret_cast<const char*>(key.constData());
        const size_t count = size_t(key.size());
        std::uint64_t h = 0x9e3779b97f4a7c15u ^ count;
        const auto mix = [&h, fold](std::uint64_t w) {
            if (fold) { // every 16-bit lane below 0x80: no carry between lanes
                const std::uint64_t fromA = w + 0x003f003f003f003fu; // lane >= 'A'
                const std::uint64_t pastZ = w + 0x0025002500250025u; // lane > 'Z'
                w |= (fromA & ~pastZ & 0x0080008000800080u) >> 2;    // + 0x20
            }
            h = (h ^ w) * 0xff51afd7ed558ccdu;
            h ^= h >> 32;
        };
        size_t i = 0;
        for (; i + 4 <= count; i += 4) {
            std::uint64_t w;
            std::memcpy(&w, units + 2 * i, 8);
            mix(w);
        }
        if (i < count) {
            std::uint64_t w = 0;
            std::memcpy(&w, units + 2 * i, 2 * (count - i));
            mix(w);
        }
        h ^= h >> 33; // spread into the low bits, which pick the slot
        h *= 0xc4ceb9fe1a85ec53u;
        h ^= h >> 33;
        return h;
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
        index_.assign(capacity, 0);
        const size_t mask = capacity - 1;
        for (size_t i = 0; i < entries_.size(); ++i) {
            const std::uint64_t hash = entries_[i].hash;
            size_t at = size_t(hash) & mask;
            while (index_[at] != 0)
                at = (at + 1) & mask;
            index_[at] = (hash >> 32) << 32 | std::uint64_t(i + 1);
        }
    }

    std::vector<Entry> entries_;
    std::vector<std::uint64_t> index_;
};

} // namespace Vantrel::Engine
