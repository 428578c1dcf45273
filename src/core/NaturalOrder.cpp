#include "core/NaturalOrder.h"

#include "core/IcuText.h"

#include <QStringList>

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <algorithm>
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

std::string key(const QString& name) {
    const icu::UnicodeString u = Icu::toIcu(name);
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

void sort(QStringList& names) {
    struct Keyed {
        std::string key;
        QString name;
    };
    const icu::Collator& c = collator();
    std::vector<Keyed> keyed;
    keyed.reserve(names.size());
    // Each key is made in one buffer and kept at its own length: a key made in room for the
    // longest possible one would hold that room for as long as the sort lasts.
    std::vector<uint8_t> buffer(256);
    for (QString& name : names) {
        const icu::UnicodeString u = Icu::toIcu(name);
        int32_t n = c.getSortKey(u, buffer.data(), int32_t(buffer.size()));
        if (n > int32_t(buffer.size())) {
            buffer.resize(size_t(n));
            n = c.getSortKey(u, buffer.data(), int32_t(buffer.size()));
        }
        keyed.push_back({std::string(reinterpret_cast<const char*>(buffer.data()), size_t(n)),
                         std::move(name)});
    }
    // Equal keys (names equal but for case) fall back to code points, as less() does.
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        const int r = a.key.compare(b.key);
        return r != 0 ? r < 0 : QString::compare(a.name, b.name) < 0;
    });
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = std::move(keyed[size_t(i)].name);
}

} // namespace Vantrel::NaturalOrder
