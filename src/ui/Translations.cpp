#include "ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace Vantrel::Ui {

bool installTranslations(QCoreApplication& app, const QLocale& locale) {
    // The languages the window ships, in the order of the user's preferences; English is the
    // fallback, so that a language without a translation still gets English plurals.
    auto* own = new QTranslator(&app);
    const bool found = own->load(locale, QStringLiteral("vantrel"), QStringLiteral("_"),
                                 QStringLiteral(":/i18n")) ||
                       own->load(QStringLiteral("vantrel_en"), QStringLiteral(":/i18n"));
    if (found)
        QCoreApplication::installTranslator(own);
    else
        delete own;
    // Qt's own texts (the standard buttons of the file dialog, the context menus of fields).
    auto* qt = new QTranslator(&app);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    return found;
}

} // namespace Vantrel::Ui
