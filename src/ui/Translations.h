#pragma once

#include <QLocale>

class QCoreApplication;

namespace Vantrel::Ui {

// Installs the window's translation for locale (the system's language by default) on app, with
// Qt's own where the system has them: German for a German locale, English (whose plural forms
// say "1 track") for any other. Returns whether the window's translation was found.
bool installTranslations(QCoreApplication& app, const QLocale& locale = QLocale());

} // namespace Vantrel::Ui
