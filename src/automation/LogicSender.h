#pragma once

// The sender: one object per send that drives a running Logic Pro from an empty project to a
// finished session (tracks imported, one summing stack per group, named, coloured, ordered and
// folded). It works only through the Platform seam and the accessibility toolkit: it reads
// Logic Pro's interface afresh for every decision and keeps nothing but the small state below.
//
// Every wait for Logic Pro is the one loop of waitUntil(): poll on the platform's clock (every
// 100 ms unless a step says otherwise), stop with CancelledError ("Cancelled.") once cancelled is
// set, and on time-out either fail with the standard message (waitFor) or go on (waitUntil).
// The fixed pauses between steps are part of the behaviour: Logic Pro must see human-paced
// input. Failures are SendError, carrying the sentence shown to the user; a cancel is
// CancelledError, which no step ignores: best-effort steps go through bestEffort(), which
// ignores a SendError only. Nothing the sender did before a failure or a cancel is undone.
//
// Everything runs on the thread that runs the send, except `cancelled`, which another thread
// may set at any time.

#include "automation/SendJobs.h"
#include "automation/SendMode.h"
#include "core/Errors.h"
#include "platform/Platform.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

namespace Vantrel {

// The failure of a send; message() is shown to the user unchanged.
class SendError : public Error {
public:
    explicit SendError(const QString& message) : Error(message) {}
};

class LogicSender {
public:
    // Receives status lines and notes (texts beginning with two spaces, see isSendNote) with
    // the progress fraction of the run, on the sender's thread. Notes carry 0.5 or the
    // fraction of the step they belong to; only status lines say how far the run is.
    using Progress = std::function<void(const QString& status, double fraction)>;

    explicit LogicSender(Platform& platform);
    LogicSender(const LogicSender&) = delete;
    LogicSender& operator=(const LogicSender&) = delete;

    // --- State.

    // Set (from any thread) to stop the send at its next poll.
    std::atomic<bool> cancelled{false};
    // Names of the stacks made in this send.
    QSet<QString> madeStacks;
    Progress onProgress = [](const QString&, double) {};
    // The folder the import dialog was last sent to.
    std::optional<QString> lastFolder;
    // When true, tick() reports timing notes.
    bool profile = false;

    // --- The send.

    // The one way to start a send: runs the mode's run over jobs (for fast with groupInName,
    // the sorted run) and tells how it ended, the result sentence included. Never throws: a
    // failure of the run, a cancel or any other error becomes the outcome.
    SendOutcome send(SendMode mode, const QList<SendJob>& jobs, bool groupInName);

    // --- Closing phase and order.

    // Folds, sorts by creation date, drags stacks into the order of groups, deletes unused
    // tracks and checks that no member track is left outside its stack.
    void foldAndOrder(const QList<SendJob>& groups);
    // Track > Delete Unused Tracks, with Logic Pro brought to the front first, as a best-effort
    // step; with verified, an error answer is a note.
    void deleteUnusedTracks(bool verified);
    // Drags stack rows until the stacks present stand in the wanted order.
    void reorderStacks(const QStringList& wanted);
    // Drags header `moved` above header `above`; false when either has no frame.
    bool dragHeader(const Element& moved, const Element& above);

    // --- Import.

    // One file onto the selected track through File > Import > Audio File….
    void importFile(const QString& file);
    // Shows the drag tile beside the project window and drags it below the last track.
    void dragIntoLogic(const QStringList& files, bool slow);
    // Drags the files in (retrying slowly when nothing arrives) and waits until every file
    // became a track, reporting label's progress between base and base + 0.8 × span.
    void importByDrag(const QStringList& files, const QString& label, double base, double span);

    // --- Stacks.

    // Makes a summing stack named name from the tracks of trackNames (or exactly the headers
    // of block when given) and names it.
    void makeStack(const QString& name, const QStringList& trackNames,
                   const std::optional<QList<Element>>& block = std::nullopt);
    // Renames the selected track through Track > Rename Track.
    void rename(const QString& name);
    // Folds the stack named name; notes only, fails only when cancelled.
    void foldStack(const QString& name);
    // Folds every open stack that is safely on screen (at most 12); fails only when cancelled.
    void foldOpenStacks();
    // Folds all stacks with one option-click on a stack's arrow.
    void collapseAllStacks();

    // --- Colours.

    // Colours the stack row of group and its member tracks (or the headers of block) with the
    // palette cell swatch, through the Color window.
    void applyColor(const QString& group, const QStringList& names, Swatch swatch,
                    const std::optional<QList<Element>>& block = std::nullopt);
    // Closes the Color window; a note when it will not close.
    void closeColorWindow();

    // --- Core: waits, locators and small actions.

    // The one wait: tests condition, then again after every poll, until it holds (true) or a
    // test comes after the time-out (false), so the last test is at most one poll past it.
    // Once cancelled, throws CancelledError after the first failed test. what names the
    // awaited thing for the failure message of waitFor.
    bool waitUntil(const QString& what, Clock::Duration timeout,
                   const std::function<bool()>& condition,
                   std::chrono::milliseconds poll = std::chrono::milliseconds(100));
    // The same wait where a time-out fails the step: throws a SendError "Logic didn't respond
    // (waiting for <what>). …".
    void waitFor(const QString& what, Clock::Duration timeout,
                 const std::function<bool()>& condition,
                 std::chrono::milliseconds poll = std::chrono::milliseconds(100));
    // Runs a step whose failure does not stop the send: a SendError is ignored, a cancel is
    // not (neither one found before the step starts nor one from inside it).
    void bestEffort(const std::function<void()>& step);
    // A timing note since the previous tick, when profile is on.
    void tick(const QString& label);
    // Brings Logic Pro to the front; throws when it is not running or does not come.
    void front();
    bool isFront();
    // Waits (at most 25 s) until Track > New Audio Track is enabled; a time-out is not a
    // failure, a cancel is.
    void waitUntilReady();
    // The menu item at path, without pressing anything.
    Element menuItem(const QStringList& path);
    // Waits for the menu item to be enabled and presses it; with verified, an error answer
    // is a note (the caller checks the effect itself).
    void choose(const QStringList& path, bool verified);

    Element tracksHeader();
    QList<Element> trackHeaders();
    QStringList trackNames();
    Element window(const QString& identifier);
    Element optionsWindow();
    Element alert();
    Element sheet();
    Element colorWindow();
    std::optional<Rect> projectWindowFrame();
    std::optional<Rect> frame(const Element& element);
    // The open state of a disclosure triangle; none when unreadable.
    std::optional<bool> isOpen(const Element& element);
    // The number of selected children; -1 when unreadable.
    int n2count(const Element& element);

    // One left click: down and up with the click state count and these modifier flags.
    void click(Point p, int count, std::uint64_t flags);
    // Clicks the headers top to bottom, the first plainly and the others with command.
    void selectByClicks(const QList<Element>& headers);
    // Makes exactly these headers the selection of container (at most 6 attempts).
    void select(const QList<Element>& headers, const Element& container);
    void selectLastTrack();

    Platform& platform() { return platform_; }

private:
    // --- Runs: each drives one complete send, or fails with a SendError or CancelledError.

    // Imports every file in one drag, stacks and colours each group, then folds and orders.
    void runFast(const QList<SendJob>& jobs);
    // Imports, sorts by name, stacks and colours consecutive rows, then folds and orders.
    void runSorted(const QList<SendJob>& jobs);
    // Imports, stacks, colours and folds one job after the other.
    void runGrouped(const QList<SendJob>& jobs);
    // One file at a time through the import dialog onto a new track; stacks; no colours.
    void runSlow(const QList<SendJob>& jobs);
    // Stacks tracks that are already in Logic Pro.
    void runStacksOnly(const QList<SendJob>& jobs);

    // Shared small helpers of the concerns.
    void report(const QString& status, double fraction);
    void note(const QString& text);
    void pause(std::chrono::milliseconds d);
    // Throws CancelledError when cancelled is set.
    void throwIfCancelled();
    AXValue read(const Element& element, const QString& attribute);
    QString str(const Element& element, const QString& attribute);
    bool press(const Element& element);
    void mouse(MouseEventType type, Point p, std::uint64_t flags = 0, std::int64_t clicks = 0);
    void optionClick(Point p, std::chrono::milliseconds afterMove,
                     std::chrono::milliseconds afterPress, std::chrono::milliseconds afterRelease);
    // The first element satisfying pred in Logic Pro's windows, searched window by window.
    Element findInWindows(const std::function<bool(const Element&)>& pred);
    Element firstWindow(const std::function<bool(const Element&)>& pred);
    Element findIn(const Element& root, const std::function<bool(const Element&)>& pred);
    Element triangleOf(const Element& header);
    // Whether a triangle's frame lies inside the project window, clear of its top 170 points and
    // its bottom 20 points.
    bool safelyVisible(const std::optional<Rect>& triangleFrame);
    void checkPreconditions(const QString& notRunningMessage);
    double seconds(Clock::Duration d) const;

    Platform& platform_;
    Clock::Duration tickT_;
    Element cachedHeader_;
};

} // namespace Vantrel
