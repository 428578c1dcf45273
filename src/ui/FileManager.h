#pragma once

#include <QDBusConnection>
#include <QString>

namespace Vantrel::Ui {

// Shows a file or folder selected in the desktop's file manager, asking it over the session bus
// (org.freedesktop.FileManager1.ShowItems); when no file manager answers, or there is no session
// bus, opens the folder instead (or, for a file, the folder holding it). Returns at once: the
// answer is awaited by the event loop, never by the caller.
void revealInFileManager(const QString& path);
// The same over the given bus.
void revealInFileManager(const QString& path, const QDBusConnection& bus);

} // namespace Vantrel::Ui
