#include "core/EnglishTexts.h"

#include <QCoreApplication>
#include <QTranslator>

namespace Vantrel {

bool installEnglishTexts(QCoreApplication& app) {
    auto* english = new QTranslator(&app);
    if (!english->load(QStringLiteral("vantrel_en"), QStringLiteral(":/i18n-en"))) {
        delete english;
        return false;
    }
    return QCoreApplication::installTranslator(english);
}

} // namespace Vantrel
