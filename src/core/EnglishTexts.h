#pragma once
// The program's own texts in English with their plural forms ("1 track", "2 tracks"), for the
// command line and the layers below the window: they speak English whatever the system's
// language, while the window installs the translation of the user's language.

class QCoreApplication;

namespace Vantrel {

// Installs the English texts into app; false when they could not be loaded.
bool installEnglishTexts(QCoreApplication& app);

} // namespace Vantrel
