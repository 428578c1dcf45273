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

#include "automation/ReadCache.h"
#include "automation/SendJobs.h"
#include "automation/SendMode.h"
#include "automation/SendPhases.h"
#include "automation/SessionCheck.h"
#include "automation/TrackList.h"
#include "core/Errors.h"
#include "platform/Platform.h"

#include <QHash>
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
    // Receives the status lines and notes of the run (SendReport), on the sender's thread.
    // Notes carry 0.5 or the fraction of the step they belong to; only status lines say how
    // far the run is.
    using Progress = std::function<void(const SendReport& report)>;

    explicit LogicSender(Platform& platform);
    LogicSender(const LogicSender&) = delete;
    LogicSender& operator=(const LogicSender&) = delete;

    // --- State.

    // Set (from any thread) to stop the send at its next poll.
    std::atomic<bool> cancelled{false};
    // Names of the stacks made in this send, and how many tracks each holds.
    QSet<QString> madeStacks;
    QHash<QString, int> stackSizes;
    // How many tracks the project held when the send began.
    int tracksAtStart = 0;
    Progress onProgress = [](const SendReport&) {};
    // The folder the import dialog was last sent to.
    std::optional<QString> lastFolder;
    // When true, tick() reports timing notes.
    bool profile = false;

    // --- The send.

    // The one way to start a send: runs the mode's run over jobs (for fast with groupInName,
    // the sorted run) and tells how it ended, the result sentence included. Never throws: a
    // failure of the run, a cancel or any other error becomes the outcome.
    SendOutcome send(SendMode mode, const QList<SendJob>& jobs, bool groupInName);

    // --- The track list (which may hold only the rows on screen).

    // The rows on screen now, top to bottom; none when a read fails. With kinds, whether each
    // is a stack row (and open) is read too.
    std::optional<QList<TrackRow>> rowsOnScreen(bool kinds);
    // Every row of the list (the tracks of closed stacks are not rows), scrolling through it
    // when it does not fit on screen; none when a read fails. Elements are kept only for the
    // rows on screen at the end.
    std::optional<QList<TrackRow>> allRows(bool kinds);
    // The number of tracks in the project (the highest track number); none when unreadable.
    std::optional<int> trackCount();
    // A row's number and name from its description: the number is the first number outside
    // the name; the name is name (the name field's) when given, else the text in quotes.
    // None when the description holds no number (or, without name, no quoted name).
    static std::optional<std::pair<int, QString>> parseRow(const QString& description,
                                                           const std::optional<QString>& name);
    // Scrolls the list until the row with this number is on screen; its element, or none.
    Element showRow(int number);
    // Scrolls the list by wheel events over it (positive: towards the top).
    void scrollList(int lines);
    // Makes exactly these rows the selection: one write when they are on screen together,
    // else clicks (a shift-click for a run of neighbours, command-clicks otherwise).
    void selectRows(const QList<TrackRow>& rows);
    // The selected rows on screen.
    QList<TrackRow> selectedRows();
    // Whether the selection is exactly these rows, as far as the rows on screen tell.
    bool selectionHolds(const QList<int>& numbers);
    // Answers the questions Logic may ask at any time after an import: the options window of
    // a multi-file drop and the tempo question. True when one was answered. Every wait calls it.
    bool answerDialogs();
    // Whether the project in front holds no one's work: no stack and no track with a region
    // (empty tracks do not count); none when the list cannot be read.
    std::optional<bool> projectIsEmpty();
    // Throws "Open Logic Pro with an empty project first." unless the project is empty.
    void requireEmptyProject();
    // Compares the session in Logic with the jobs: every stack once with exactly its members,
    // no track twice, no member outside its stack, the number of tracks; for a run that
    // arranges the session (arranged), also the order of the stacks and of the tracks outside
    // them, every stack closed, and the colours where the Color window shows them. The
    // differences, as sentences, the most telling first; empty when the session is right.
    // Opens closed stacks to read their members and closes them again.
    QStringList checkSession(const QList<SendJob>& jobs, bool arranged = false);
    // Reads the colour of each row of this send (stackOf: the stack a row is or is in;
    // colorOf: each stack's colour) through the Color window; the first wrong one, as a
    // sentence. Only a note when the window does not show colours.
    std::optional<QString> checkColors(const QList<TrackRow>& rows,
                                       const QHash<int, QString>& stackOf,
                                       const QHash<QString, std::optional<Swatch>>& colorOf);
    // Throws "Done, but the session in Logic is not what was sent: …" naming the first
    // difference checkSession finds.
    void closingCheck(const QList<SendJob>& jobs, bool arranged = false);

    // --- Closing phase and order.

    // Folds, sorts by creation date, drags stacks into the order of groups, deletes unused
    // tracks (only in a project that was empty) and compares the session with the jobs.
    void foldAndOrder(const QList<SendJob>& jobs);
    // Track > Delete Unused Tracks, with Logic Pro brought to the front first, as a best-effort
    // step, only when the project held no tracks when the send began; with verified, an error
    // answer is a note.
    void deleteUnusedTracks(bool verified);
    // One row of the top level of the track list: a stack's row or a track outside every
    // stack, by kind and name; number is its track number when read from Logic.
    using TopRow = SessionCheck::TopRow;
    // The order the jobs ask for: the stacks in job order, then the unsorted tracks in theirs.
    QList<TopRow> wantedOrder(const QList<SendJob>& jobs) const;
    // The top level of the track list now (the tracks the project held before left out);
    // none when unreadable.
    std::optional<QList<TopRow>> topRows();
    // Whether the top level stands in the jobs' order now.
    bool topLevelInOrder(const QList<SendJob>& jobs);
    // Drags rows until the stacks and the tracks outside them stand in the jobs' order.
    void reorderSession(const QList<SendJob>& jobs);
    // Drags the row numbered from until it stands right above the row numbered to (above it
    // in the list), in hops of a page when they are not on screen together.
    bool moveRowAbove(int from, int to);
    // Drags header `moved` above header `above`; false when either has no frame.
    bool dragHeader(const Element& moved, const Element& above);

    // --- Import.

    // One file onto the selected track through File > Import > Audio File….
    void importFile(const QString& file);
    // Shows the drag tile beside the project window and drags it below the last track.
    void dragIntoLogic(const QStringList& files, bool slow);
    // Drags the files in (retrying slowly when nothing arrives) and waits until every file
    // became a track, reporting the progress between base and base + 0.8 × span; group names
    // the group whose files these are, empty for all of them.
    void importByDrag(const QStringList& files, const QString& group, double base, double span);

    // --- Stacks.

    // Makes a summing stack named name from exactly these rows and names it; returns the
    // number of its row.
    int makeStack(const QString& name, const QList<TrackRow>& members);
    // Reads a new stack's tracks back (closing it to count them, opening it again) and throws
    // when it holds other tracks than members; total is the project's track count with it.
    // Only a note when its arrow cannot be clicked.
    void checkStackMembers(int number, const QString& name, const QList<TrackRow>& members,
                           int total);
    // The track stack dialog's "Summing stack" choice; none when it cannot be told.
    Element summingChoice(const Element& sheet);
    // The rows of the tracks named, found by name among the rows that are neither stacks nor
    // members of a stack made in this send nor tracks the project held before; the newest
    // (highest numbers) first taken when a name is there more than once. Throws naming the
    // missing ones.
    QList<TrackRow> freeRowsNamed(const QString& group, const QStringList& names);
    // Names the row with this number: a double-click on its name field (or Track > Rename
    // Track), keys typed only into a focused name field, and the row's own name read back.
    void renameRow(int number, const QString& name);
    // Renames the selected track through Track > Rename Track (the one-by-one run).
    void rename(const QString& name);
    // Folds the stack named name (made: the number of its row when just made, tried first);
    // notes only, fails only when cancelled.
    void foldStack(const QString& name, int made = 0);
    // Folds every open stack that is safely on screen (at most 12); fails only when cancelled.
    void foldOpenStacks();
    // Folds all stacks with one option-click on a stack's arrow.
    void collapseAllStacks();

    // --- Colours.

    // Colours the stack row of group and its member tracks with the palette cell swatch,
    // through the Color window.
    void applyColor(const QString& group, const QStringList& names, Swatch swatch);
    // Closes the Color window; a note when it will not close.
    void closeColorWindow();
    // The colour of the first selected track as the open Color window shows it: the palette
    // cell, or no colour; none when the window is closed or its swatches tell nothing. likely,
    // the colour the track should have, is looked at first.
    std::optional<std::optional<Swatch>> colorOfSelection(std::optional<Swatch> likely = {});

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
    // Brings Logic Pro to the front, and its project window in front of its other windows
    // (dialogs excepted); throws when it is not running or does not come.
    void front();
    // Logic Pro's main window: the project in front; none when unreadable.
    Element mainWindow();
    bool isFront();
    // Waits (at most 25 s) until Track > New Audio Track is enabled; a time-out is not a
    // failure, a cancel is.
    void waitUntilReady();
    // The menu item at path, without pressing anything.
    Element menuItem(const QStringList& path);
    // Waits for the menu item to be enabled and presses it; with verified, an error answer
    // is a note (the caller checks the effect itself).
    void choose(const QStringList& path, bool verified);

    // The parts of a window's track list, found by their structure (by their English
    // descriptions where the structure differs); none when the window has no track list.
    enum class TrackListPart { header, ruler, contents };
    Element trackListPart(const Element& window, TrackListPart part);
    // The header group of the project in front: one row element (AXLayoutItem) per track.
    Element tracksHeader();
    QList<Element> trackHeaders();
    // The names of every row of the track list, top to bottom; empty when unreadable.
    QStringList trackNames();
    Element window(const QString& identifier);
    // Whether the window is the options window of a multi-file drop, or an alert (the tempo
    // question), found by title or description in English, by structure in any language.
    bool isOptionsWindow(const Element& window);
    bool isAlert(const Element& window);
    Element optionsWindow();
    Element alert();
    // The tempo question's "Don’t Import" button; none when it cannot be told.
    Element dontImportButton(const Element& question);
    Element sheet();
    Element colorWindow();
    // A button of the Color window that may be a swatch, and where it is.
    struct Swatched {
        Element element;
        Rect frame;
    };
    // The Color window's buttons with a value and a frame: the swatches where Logic shows them.
    QList<Swatched> swatchButtons(const Element& palette);
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
    // Each job of the groups stacked in turn; with colorEach, coloured right after its stack.
    void stackGroups(const QList<SendJob>& grouped, bool colorEach);
    // Imports, stacks, colours and folds one job after the other.
    void runGrouped(const QList<SendJob>& jobs);
    // One file at a time through the import dialog onto a new track; stacks; no colours.
    void runSlow(const QList<SendJob>& jobs);
    // Stacks tracks that are already in Logic Pro.
    void runStacksOnly(const QList<SendJob>& jobs);

    // Shared small helpers of the concerns.
    // A status line at this fraction of the send; within (0 to 1) of the way through phase.
    void report(const QString& status, double fraction);
    void report(const QString& status, SendPhase phase, double within = 0);
    // A note of what happened, with the fraction of the step it belongs to.
    void note(const QString& text, double fraction = 0.5);
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
    // A track row's number and name: the number from its description ("Track 3 “Bass DI”",
    // translated with Logic's language), the name from its quotes in English, else from its
    // name field; none for an element that is no track row.
    std::optional<std::pair<int, QString>> rowOf(const Element& row);
    // The text of a row's name field; none when it has none or it cannot be read.
    std::optional<QString> nameInField(const Element& row);
    // The name parseRow is to take for a row with this description: none for a description
    // in Logic's English form (the name is then in its quotes), else the name field's text.
    std::optional<QString> nameOf(const Element& row, const QString& description);
    // A row's name field, among its own children (from the end), else anywhere inside it.
    Element nameFieldOf(const Element& row);
    // Reads a row's description, children and frame in one call, so that what follows finds
    // them without asking Logic again.
    QString rowDescription(const Element& row);
    // Reads the track header group's children, description and frame (and more) in one call,
    // for tracksHeader() and the reads of the list that follow.
    void readHeader(const QStringList& more = {});
    // Whether a lane of the track rows on screen holds a region.
    bool regionsOnScreen();
    // Whether the last of the rows lies wholly below the visible list: the tree holds the rows
    // off screen too (as some versions of Logic do), so it holds every row.
    bool holdsRowsOffScreen(const QList<TrackRow>& rows);
    // Whether the rows reach the bottom of the visible list (more may be below).
    bool listMayContinue(const QList<TrackRow>& rows);
    // Every row of the list with its kind, from the rows kept while they hold (the end read
    // again after an import), else read afresh and kept; none when a read fails. fresh tells
    // whether they were read in this call.
    std::optional<QList<TrackRow>> listedRows(bool* fresh = nullptr);
    // The rows at the end of the list, with their kinds, read from the last one up until a
    // row the rows kept hold too (that one included); none when a read fails or no such row
    // is on the last page.
    std::optional<QList<TrackRow>> tailRows();
    // Tells the rows kept that makeStack made the stack numbered number from members, from
    // the changes since on (the stack's open state is read).
    void noteStackMade(long long since, int number, const QString& name,
                       const QList<TrackRow>& members);
    // How many changes the sender made to Logic so far.
    long long changes() const { return reads_.changes(); }
    // For the life of a step whose changes alter no row (a selection, a colour, a window
    // closed): the rows kept before it still hold after it.
    class RowsKept {
    public:
        explicit RowsKept(LogicSender& sender) : sender_(sender), since_(sender.changes()) {}
        ~RowsKept() { sender_.trackList_.unchanged(since_, sender_.changes()); }
        RowsKept(const RowsKept&) = delete;
        RowsKept& operator=(const RowsKept&) = delete;

    private:
        LogicSender& sender_;
        long long since_;
    };
    // Whether the name field last found focused (or last double-clicked) has the focus now.
    bool focusedFieldHolds();
    // Whether a text field of Logic has the keyboard focus now.
    bool nameFieldFocused();
    // Types text key by key into Logic's focused name field, each key only while Logic is in
    // front and the field has the focus; false (the rest untyped) once either is lost.
    bool typeIntoNameField(const QString& text);
    // Where a click selects the row: the centre of its name field; none without one.
    std::optional<Point> rowSpot(const Element& row);
    // Throws, saying what to do, when Logic's menus were read and File > Import > Audio File…
    // cannot be found in them (menus in a language the sender has no titles for).
    void requireImportCommand();
    // Throws, naming the setting, when Logic's Track menu lacks "Create Track Stack…".
    void requireStackCommand();
    // Whether a triangle's frame lies inside the project window, clear of its top 170 points and
    // its bottom 20 points.
    bool safelyVisible(const std::optional<Rect>& triangleFrame);
    void checkPreconditions(const QString& notRunningMessage);
    double seconds(Clock::Duration d) const;

    // Every call to Logic Pro goes through reads_: a value read twice between two changes is
    // asked once.
    ReadCache reads_;
    Platform& platform_;
    // The track list as last read, kept while no change can have altered it.
    TrackList trackList_;
    Clock::Duration tickT_;
    Element cachedHeader_;
    // The row elements of the last page read, by track number: showRow() tries the one it
    // wants there first (a row element shows whatever track is at its place, so its
    // description is read again to tell).
    QHash<int, Element> shownRows_;
    // The swatches of the Color window as last found (the window's children and frame tell
    // whether they still stand), and the swatch last shown as the selection's colour.
    struct SwatchMemo {
        Element palette;
        QList<Element> children;
        std::optional<Rect> frame;
        QList<Swatched> found;
    } swatchMemo_;
    std::optional<std::pair<int, int>> lastShownSwatch_;
    // The name field last found with the keyboard focus.
    Element focusedField_;
    QString cachedHeaderDescription_;
    bool answeringDialogs_ = false;
    // Tracks numbered up to this one were there before the send began (its own come after);
    // 0 when the send stacks tracks already in the project.
    int ownFrom_ = 0;
    // The names of the tracks the project held before (counted), when the send brings its own.
    QHash<QString, int> namesAtStart_;
    // Whether a colour given in this send was then shown by the Color window's swatches for
    // the selected track (learnt once, at the first colour): the closing check compares
    // colours only then.
    bool colorsTried_ = false;
    bool colorsReadable_ = false;
    // Whether this run brings its own tracks (imports files) rather than stacking tracks the
    // project holds.
    bool imports_ = true;
    // Reads the track count at the start of a run into tracksAtStart (and ownFrom_).
    void countAtStart(bool ownTracksFromStart);
    // Whether Logic answers an accessibility call now (rather than timing out).
    bool responsive();
};

} // namespace Vantrel
