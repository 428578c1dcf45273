#pragma once

// A simulated Logic Pro: the application, its menus, its project window with tracks and stacks,
// its sheets and windows (import dialog, options window, tempo alert, Color window), reacting to
// accessibility calls and to posted keyboard and mouse events. It is reached through SimPlatform,
// which implements the platform seam with it; it knows nothing of the program that drives it.
//
// Reactions take time on the clock it is given and are applied whenever it is touched (any call),
// so it runs the same under the machine's clock and under a virtual one. All calls are
// thread-safe.

#include "platform/Platform.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

namespace Vantrel {

// One track of the simulated session.
struct SimTrack {
    QString name;
    bool isStack = false;
    std::optional<QString> stack;             // the stack the track is in
    std::optional<std::pair<int, int>> color; // the palette cell [col, row]
    bool folded = false;                      // stacks: closed, members hidden
    bool hasAudio = false;
    bool summing = false; // stacks: a summing stack rather than a folder stack
    // The audio file whose region the track plays; empty for a track without audio or one
    // added by the test control.
    QString file;
    // The track's Mute, Solo and Record buttons (or key commands) are on.
    bool mute = false, solo = false, record = false;
    bool operator==(const SimTrack&) const = default;
};

// What the simulated Logic Pro holds at one moment.
struct SimSession {
    QList<SimTrack> tracks; // in track-list order, members of folded stacks included
    QStringList windows;    // titles of the open windows, front to back
    QList<int> selection;   // indexes into tracks of the selected tracks, in list order
    // While the stack sheet is open: whether "Summing stack" is chosen in it.
    std::optional<bool> stackSheet;
    bool colorWindow = false;   // the Color window is open
    QString alert;              // the message of the open alert; empty when there is none
    bool tempoImported = false; // the tempo question was answered "Import"
    // While a track's name field is open: the track's index into tracks and the text typed.
    std::optional<std::pair<int, QString>> nameEdit;
    bool operator==(const SimSession&) const = default;
    // {"tracks": [{"name", "kind": "audio" | "summing stack" | "folder stack",
    //  "stack": name | null, "color": [col, row] | null, "folded", "hasAudio", "file"}, ...],
    //  "windows": [titles]}; the
    // selection, the sheet, the Color window, the alert and the name field are left out.
    QJsonObject toJson() const;
};

// How often the simulator was asked something.
struct SimCounters {
    std::int64_t attributeReads = 0;
    std::int64_t attributeWrites = 0;
    std::int64_t actions = 0;
    std::int64_t keyEvents = 0;
    std::int64_t mouseEvents = 0;
    bool operator==(const SimCounters&) const = default;
    QJsonObject toJson() const;
};

// The simulator's deviations from a well-behaved Logic Pro, each with a stable name (the
// enumerator's name in lower case with hyphens, for example "first-drag-ignored") used on the
// command line and in tests; quirkDescription says what each does.
enum class SimQuirk {
    notTrusted,
    notRunning,
    slowReady,
    noStackShortcut,
    renameByDoubleClickFails,
    firstDragIgnored,
    dropIgnored,
    optionsWindow,
    tempoAlert,
    tracksArriveShuffled,
    colorGridUnreadable,
    pressError,
    visibleRowsOnly,
    trianglePressDoesNothing,
    sortByNameDoesNothing,
    busyAfterImport,
    readErrors,
    pressErrorAfterEffect,
    stackDialogOk,
    olderLayout,
    staleAfterWrite,
    callCost,
    userInput,
    startupDialog,
    userProject,
    twoProjects,
    completeFeaturesOff,
    summingStackTitle,
    headerWidth,
    mixerWindow,
    windowsEmptyInBackground,
    focusStolen,
    language,
};
inline constexpr std::size_t simQuirkCount = std::size_t(SimQuirk::language) + 1;

namespace SimDetail {
class Impl;
}

class SimLogic {
public:
    static constexpr std::int64_t processId = 4711;
    // "com.apple.logic10"
    static QString bundleId();

    // Logic running, trusted, with an empty project open, in the background, on this clock.
    explicit SimLogic(Clock& clock);
    ~SimLogic();
    SimLogic(const SimLogic&) = delete;
    SimLogic& operator=(const SimLogic&) = delete;

    // --- Switches ("quirks"): deviations from the well-behaved Logic Pro, by stable name.

    // Every quirk name, in the order of SimQuirk.
    static QStringList quirkNames();
    // The quirk's stable name, and the quirk of a name (none for unknown names).
    static QString quirkName(SimQuirk quirk);
    static std::optional<SimQuirk> quirkNamed(const QString& name);
    // One line on what the quirk does; empty for unknown names.
    static QString quirkDescription(const QString& name);
    // Switches a quirk.
    void setQuirk(SimQuirk quirk, bool on);
    // Switches a quirk by name, or by "NAME=VALUE" (a value for the quirks that take one, see
    // quirkDescription); false (and nothing changes) for an unknown name or a bad value.
    bool setQuirk(const QString& setting, bool on);
    // Whether setting is a known "NAME" or "NAME=VALUE" with a value the quirk takes; when not, the
    // sentence why.
    static std::optional<QString> quirkSettingError(const QString& setting);
    // The value a quirk was switched on with; empty for its default.
    QString quirkValue(SimQuirk quirk) const;
    // The named sets of quirks: "realistic" (what public sources say is normal for the real
    // program). Each entry is a "NAME" or "NAME=VALUE" as setQuirk takes it.
    static QStringList profileNames();
    static QStringList profileQuirks(const QString& profile);
    // Switches on every quirk of the profile; false for an unknown profile.
    bool applyProfile(const QString& profile);
    bool quirk(SimQuirk quirk) const;
    bool quirk(const QString& name) const;
    // The quirks switched on, in the order of quirkNames(), with "=VALUE" when given one.
    QStringList activeQuirks() const;
    // Seeds the randomness of the quirks that use it.
    void setSeed(std::uint64_t seed);
    // How long the calling program waits for an answer of a call before it gives up with
    // -25204 (the system's messaging time-out); none restores the system's 6 s.
    void setMessagingTimeout(std::optional<Clock::Duration> timeout);

    // --- The system's side: what the platform seam asks (SimPlatform forwards to these).

    bool isTrusted();
    void promptForTrust();
    QList<RunningApp> runningApplications(const QString& bundleId);
    bool activate(const RunningApp& app);
    Element applicationElement(std::int64_t pid);
    AttributeRead attribute(const Element& element, const QString& name);
    // Several attributes in one call: counted as one read and charged one call's cost.
    QList<AttributeRead> attributes(const Element& element, const QStringList& names);
    int setAttribute(const Element& element, const QString& name, const AXValue& value);
    int performAction(const Element& element, const QString& action);
    // "AXPress" for what can be pressed, "AXRaise" for a window.
    QStringList actionNames(const Element& element);
    // A keyboard event posted to the frontmost application.
    void postKey(const KeyEvent& event);
    // A mouse event posted at the session tap; counted always, delivered to the Logic window
    // under the point unless another window (the drag tile) took it.
    void postMouse(const MouseEvent& event, bool deliver = true);
    // A file drag session released at p: a drop onto the track area imports the files.
    void dropFiles(const QStringList& files, Point p);

    // --- Test control.

    // Appends a top-level audio track, as if the project had been opened with it.
    void addTrack(const QString& name, bool hasAudio = true);
    // Another application came to the front (false), or Logic did (true), at once.
    void setFrontmost(bool front);
    // The session as it is now.
    SimSession session();
    SimCounters counters();
    void resetCounters();
    // How often the permission request was shown.
    int trustPrompts();

private:
    std::unique_ptr<SimDetail::Impl> impl_;
};

} // namespace Vantrel
