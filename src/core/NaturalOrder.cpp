#include "core/NaturalOrder.h"

#include "core/IcuText.h"

#include <QStringList>

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Vantrel::NaturalOrder {

QString collationLocale(const QString& defaultLocale) {
    // ICU reports a process without a locale (LANG=C, LANG=POSIX or nothing) as en_US_POSIX,
    // whose collation orders by code point and ignores numeric mode.
    const QString base = defaultLocale.section(QLatin1Char('@'), 0, 0);
    static const QStringList none = {
        QString(),           QStringLiteral("root"),  QStringLiteral("c"),
        QStringLiteral("C"), QStringLiteral("POSIX"), QStringLiteral("en_US_POSIX")};
    return none.contains(base) ? QStringLiteral("en_US") : defaultLocale;
}

namespace {

std::unique_ptr<icu::Collator> makeCollator() {
    const QString name = collationLocale(QString::fromLatin1(icu::Locale::getDefault().getName()));
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> c(
        icu::Collator::createInstance(icu::Locale(name.toLatin1().constData()), status));
    if (U_FAILURE(status) || !c) {
        status = U_ZERO_ERROR;
        c.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    }
    // Secondary strength: accents count, case does not. Digit runs compare by value.
    c->setStrength(icu::Collator::SECONDARY);
    c->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
    return c;
}

// A collator is not safe to share between threads while it compares; each thread keeps its
// own, made once.
const icu::Collator& collator() {
    thread_local std::unique_ptr<icu::Collator> c = makeCollator();
    return *c;
}

} // namespace

int compare(const QString& a, const QString& b) {
    UErrorCode status = U_ZERO_ERROR;
    const auto r = collator().compare(
        reinterpret_cast<const char16_t*>(a.utf16()), static_cast<int32_t>(a.size()),
        reinterpret_cast<const char16_t*>(b.utf16()), static_cast<int32_t>(b.size()), status);
    return U_FAILURE(status) ? QString::compare(a, b) : static_cast<int>(r);
}

bool less(const QString& a, const QString& b) {
    const int r = compare(a, b);
    return r != 0 ? r < 0 : QString::compare(a, b) < 0;
}

namespace {

std::string keyOf(QStringView name) {
    const icu::UnicodeString u(false, reinterpret_cast<const char16_t*>(name.utf16()),
                               int32_t(name.size())); // read-only alias, no copy
    std::string out(64, '\0');
    int32_t n =
        collator().getSortKey(u, reinterpret_cast<uint8_t*>(out.data()), int32_t(out.size()));
    if (n > int32_t(out.size())) {
        out.resize(size_t(n));
        n = collator().getSortKey(u, reinterpret_cast<uint8_t*>(out.data()), int32_t(out.size()));
    }
    out.resize(size_t(n));
    return out;
}

} // namespace

std::string key(const QString& name) {
    return keyOf(name);
}

namespace {

// The value of the run of ASCII digits a name starts with, when the collator is sure to order
// by it first: the run ends the name or is followed by an ASCII character (a digit of another
// script would continue the number), and it has at most 18 digits without its leading zeros
// (which the collator ignores) and 64 with them (a very long run is left to the collator).
// -1 for any other name.
std::int64_t leadingNumber(QStringView name) {
    std::int64_t value = 0;
    int digits = 0;
    qsizetype i = 0;
    for (; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        if (u < '0' || u > '9')
            break;
        digits += digits > 0 || u != '0';
        if (digits > 18 || i >= 64)
            return -1;
        value = value * 10 + (u - '0');
    }
    if (i == 0 || (i < name.size() && name[i].unicode() >= 0x80))
        return -1;
    return value;
}

} // namespace

void sort(QStringList& names) {
    sortByName(names, 0);
}

void sortByName(QStringList& paths, qsizetype nameStart) {
    // Two names that start with different numbers are ordered by them, as the collator orders
    // them; a collation key is made, once, only for a name compared otherwise. The sort moves
    // small entries (number and position), not the paths and keys: the paths are put in their
    // order once, at the end.
    struct Entry {
        std::int64_t number;
        qsizetype position;
    };
    std::vector<Entry> entries;
    entries.reserve(size_t(paths.size()));
    for (qsizetype i = 0; i < paths.size(); ++i)
        entries.push_back({leadingNumber(QStringView(paths[i]).mid(nameStart)), i});
    // The keys made so far; a key is never empty (it ends with a terminating byte).
    std::vector<std::string> keys(size_t(paths.size()));
    const auto name = [&paths, nameStart](qsizetype i) {
        return QStringView(paths[i]).mid(nameStart);
    };
    const auto sortKey = [&keys, &name](qsizetype i) -> const std::string& {
        std::string& key = keys[size_t(i)];
        if (key.empty())
            key = keyOf(name(i));
        return key;
    };
    // Equal keys (names equal but for case) fall back to code points, as less() does.
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        if (a.number >= 0 && b.number >= 0 && a.number != b.number)
            return a.number < b.number;
        const int r = sortKey(a.position).compare(sortKey(b.position));
        return r != 0 ? r < 0 : name(a.position).compare(name(b.position)) < 0;
    });
    keys = {};
    QStringList sorted;
    sorted.reserve(paths.size());
    for (const Entry& e : entries)
        sorted.push_back(std::move(paths[e.position]));
    paths = std::move(sorted);
}

} // namespace Vantrel::NaturalOrder
