#pragma once

// Bridges between Qt's and ICU's UTF-16 strings, and the ICU text operations the engine needs.
// Private to the core library: ICU does not appear in its public headers.

#include <QString>

#include <unicode/unistr.h>

namespace Vantrel::Icu {

inline icu::UnicodeString toIcu(const QString& s) {
    return icu::UnicodeString(reinterpret_cast<const char16_t*>(s.constData()),
                              static_cast<int32_t>(s.size()));
}

inline QString toQt(const icu::UnicodeString& s) {
    return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
}

// Full Unicode upper-casing, the same whatever the user's locale ("ß" becomes "SS").
QString upper(const QString& s);

} // namespace Vantrel::Icu
