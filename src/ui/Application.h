#pragma once

class QApplication;

namespace Vantrel::Ui {

// Gives the application its names and theme palette, hands the folders named on the command line
// to an instance already running (and ends) or creates the one model on this system's platform
// (on Linux the simulated Logic Pro: system clock, Logic running with an empty project), opens
// the window, loads the first folder named, and runs the event loop.
int runApplication(QApplication& app);

// Puts the theme's palette for the appearance in force on the application: dark when the
// desktop's palette is dark or dark is forced, light otherwise.
void applyThemePalette(QApplication& app, bool dark);

} // namespace Vantrel::Ui
