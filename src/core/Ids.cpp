#include "core/Ids.h"

#include <QRandomGenerator>

#include <random>

namespace Vantrel {

QUuid newId() {
    thread_local std::mt19937_64 generator = [] {
        std::seed_seq seed{
            QRandomGenerator::system()->generate(), QRandomGenerator::system()->generate(),
            QRandomGenerator::system()->generate(), QRandomGenerator::system()->generate()};
        return std::mt19937_64(seed);
    }();
    const quint64 high = generator();
    const quint64 low = generator();
    const auto byte = [low](int i) { return uchar(low >> (56 - 8 * i)); };
    return QUuid(uint(high >> 32), ushort(high >> 16),
                 ushort((high & 0x0FFF) | 0x4000), // version 4
                 uchar((byte(0) & 0x3F) | 0x80),   // RFC 4122 variant
                 byte(1), byte(2), byte(3), byte(4), byte(5), byte(6), byte(7));
}

} // namespace Vantrel
