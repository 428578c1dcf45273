#pragma once

// Finding the running Logic Pro and checking that its interface can be read: the menu dump
// behind the "Check Logic Connection…" command. Stateless; every operation takes the Platform
// it talks to.

#include "core/Errors.h"
#include "core/FileOps.h"
#include "platform/Platform.h"

#include <QString>

#include <optional>

namespace Vantrel::LogicBridge {

// Logic Pro's bundle identifier.
inline const QString bundleId = QStringLiteral("com.apple.logic10");

// The name of the menu dump in the configuration folder.
inline const QString dumpFileName = QStringLiteral("logic-menus.txt");

// Items nested deeper than this in the menu bar are not dumped (menu bar items are at 0).
inline constexpr int maxDumpDepth = 6;

// A failure of the connection check, in the error domain "Vantrel": code 1 when Logic Pro is
// not running, 2 when its menu bar cannot be read. message() is the sentence for the user.
class ConnectionError : public Error {
public:
    enum Code { notRunning = 1, menusUnreadable = 2 };

    explicit ConnectionError(Code code);
    static QString domain() { return QStringLiteral("Vantrel"); }
    Code code() const { return code_; }

private:
    Code code_;
};

// The running Logic Pro: the first of the running applications with bundleId, in the system's
// order; none when there is none. May be called from any thread the platform allows.
std::optional<RunningApp> logicApp(Platform& platform);

// The menu dump in the configuration folder: the folder of Config::filePath(), then
// dumpFileName.
QString dumpPath();

// Walks Logic Pro's whole menu bar and replaces the file at path, atomically and in UTF-8, with
// one line per titled menu item in walk order (each item followed by its submenu's items): two
// spaces per level of depth, the title, and "  [disabled]" for an item that reports itself
// disabled; lines joined by line feeds, none after the last. Creates the file's folder first.
// Returns the number of lines. Throws ConnectionError, or the FileError of ops when the folder
// or the file cannot be written; a failure leaves the previous file as it was.
int dumpMenus(Platform& platform, const QString& path, FileOps& ops = systemFileOps());

// The outcome of the connection check: the sentence to show the user, for success as well as
// for failure, and on success the number of menu items read.
struct ConnectionReport {
    QString message;
    std::optional<int> itemsRead;
    bool connected() const { return itemsRead.has_value(); }
    bool operator==(const ConnectionReport&) const = default;
};

// The connection check as the user sees it. Without the accessibility permission it asks the
// system to request it from the user and says where to allow it; otherwise it dumps the menus
// to path and reports the number of items read, or the failure's message.
ConnectionReport checkConnection(Platform& platform, const QString& path,
                                 FileOps& ops = systemFileOps());

} // namespace Vantrel::LogicBridge
