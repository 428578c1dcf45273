#include "core/IcuText.h"

#include <unicode/locid.h>

namespace Vantrel::Icu {

QString upper(const QString& s) {
    icu::UnicodeString u = toIcu(s);
    u.toUpper(icu::Locale::getRoot());
    return toQt(u);
}

} // namespace Vantrel::Icu
