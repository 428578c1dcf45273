#include "automation/LogicBridge.h"

#include "automation/AXProbe.h"
#include "core/Config.h"
#include "platform/AxNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace Vantrel::LogicBridge {

namespace {

QString describe(ConnectionError::Code code) {
    switch (code) {
    case ConnectionError::notRunning:
        return QCoreApplication::translate("Vantrel::Sender", "Logic Pro isn't running.");
    case ConnectionError::menusUnreadable:
        return QCoreApplication::translate("Vantrel::Sender", "Couldn't read Logic's menus.");
    }
    return {};
}

// Appends a line for every titled menu item below element. Items add a level of depth; menus
// and other containers between them do not. Nothing below an element visited at maxDumpDepth
// is looked at.
void walk(Platform& platform, const Element& element, int depth, QStringList& lines) {
    for (const Element& child : AXProbe::kids(platform, element)) {
        const QString role = AXProbe::str(platform, child, Ax::Attr::role);
        const bool isItem = role == Ax::Role::menuItem || role == Ax::Role::menuBarItem;
        if (isItem) {
            const QString title = AXProbe::str(platform, child, Ax::Attr::title);
            const AttributeRead enabled =
                platform.accessibility().attribute(child, Ax::Attr::enabled);
            const bool disabled = enabled.status == AXResult::success &&
                                  std::holds_alternative<bool>(enabled.value) &&
                                  !std::get<bool>(enabled.value);
            if (!title.isEmpty()) {
                lines << QString(depth * 2, QLatin1Char(' ')) + title +
                             (disabled ? QStringLiteral("  [disabled]") : QString());
            }
        }
        if (depth < maxDumpDepth)
            walk(platform, child, isItem ? depth + 1 : depth, lines);
    }
}

} // namespace

ConnectionError::ConnectionError(Code code) : Error(describe(code)), code_(code) {}

std::optional<RunningApp> logicApp(Platform& platform) {
    const QList<RunningApp> apps = platform.accessibility().runningApplications(bundleId);
    if (apps.isEmpty())
        return std::nullopt;
    return apps.first();
}

QString dumpPath() {
    return QFileInfo(Config::filePath()).dir().filePath(dumpFileName);
}

int dumpMenus(Platform& platform, const QString& path, FileOps& ops) {
    const std::optional<RunningApp> app = logicApp(platform);
    if (!app)
        throw ConnectionError(ConnectionError::notRunning);
    const Element appElement = platform.accessibility().applicationElement(app->pid);
    const Element menuBar = AXProbe::element(platform, appElement, Ax::Attr::menuBar);
    if (!menuBar)
        throw ConnectionError(ConnectionError::menusUnreadable);

    QStringList lines;
    walk(platform, menuBar, 0, lines);

    ops.makeFolders(QFileInfo(path).absolutePath());
    ops.writeAtomically(path, lines.join(QLatin1Char('\n')).toUtf8(), true);
    return int(lines.size());
}

ConnectionReport checkConnection(Platform& platform, const QString& path, FileOps& ops) {
    Accessibility& ax = platform.accessibility();
    if (!ax.isTrusted()) {
        ax.promptForTrust();
        return {QCoreApplication::translate(
                    "Vantrel::Sender",
                    "Allow Vantrel in System Settings > Privacy & Security > "
                    "Accessibility, then choose Logic > Check Logic Connection again."),
                std::nullopt};
    }
    try {
        const int count = dumpMenus(platform, path, ops);
        return {QCoreApplication::translate("Vantrel::Sender",
                                            "Connected. Read %n menu items from Logic Pro.",
                                            nullptr, count),
                count};
    } catch (const Error& e) {
        return {e.message(), std::nullopt};
    }
}

} // namespace Vantrel::LogicBridge
