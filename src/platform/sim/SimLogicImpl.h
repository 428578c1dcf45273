#pragma once

// The inside of the simulated Logic Pro, shared by its source files. Everything here runs under
// Impl::mutex, taken by the public SimLogic calls.

#include "platform/AxNames.h"
#include "platform/sim/SimElement.h"
#include "platform/sim/SimLogic.h"

#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <bitset>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace Vantrel::SimDetail {

using Duration = Clock::Duration;
constexpr Duration ms(long long n) {
    return std::chrono::milliseconds(n);
}

// How long Logic takes to react.
namespace Delay {
inline constexpr Duration activate = ms(100);
inline constexpr Duration menuCommand = ms(150);
inline constexpr Duration sheet = ms(250);
inline constexpr Duration stackCreated = ms(300);
inline constexpr Duration renameField = ms(100);
inline constexpr Duration renameCommit = ms(40);
inline constexpr Duration fold = ms(60);
inline constexpr Duration sort = ms(200);
inline constexpr Duration deleteUnused = ms(250);
inline constexpr Duration colorWindow = ms(200);
inline constexpr Duration colorApplied = ms(60);
inline constexpr Duration headerMove = ms(120);
inline constexpr Duration openPanel = ms(400);
inline constexpr Duration goToBox = ms(150);
inline constexpr Duration goToFolder = ms(150);
inline constexpr Duration panelClose = ms(100);
inline constexpr Duration optionsWindow = ms(300);
inline constexpr Duration firstTrack = ms(300);
inline constexpr Duration nextTrack = ms(80);
inline constexpr Duration tempoAlert = ms(1500);
// The longest an accessibility client waits for a busy application before it gives up.
inline constexpr Duration callTimeout = ms(6000);
inline constexpr Duration busyAfterSlowStart = ms(3000);
// focus-stolen: how long the system's dialog holds the keyboard focus.
inline constexpr Duration systemDialog = ms(20);
} // namespace Delay

// Where things are on the simulated screen (points, origin top left).
namespace Geo {
inline constexpr Rect screen{{0, 0}, {1440, 900}};
inline constexpr double menuBarHeight = 25;
inline constexpr Rect project{{0, 25}, {1440, 875}};
// Inside the project window, relative to its top left corner.
using Ax::Layout::arrangementHeight; // the global arrangement track below the ruler
using Ax::Layout::bottomBar;
using Ax::Layout::headerLeft;
using Ax::Layout::headerWidth;
using Ax::Layout::rowHeight;
using Ax::Layout::rowsTop;
using Ax::Layout::rulerHeight;
using Ax::Layout::rulerLeft;
using Ax::Layout::rulerTop;
// Inside a track row, relative to the row's top left corner.
inline constexpr Rect triangle{{22, 15}, {14, 14}};
inline constexpr Rect icon{{40, 8}, {28, 28}};
inline constexpr Rect name{{72, 6}, {168, 20}};
inline constexpr Rect mute{{244, 6}, {22, 18}};
inline constexpr Rect solo{{268, 6}, {22, 18}};
inline constexpr Rect record{{292, 6}, {22, 18}};
inline constexpr Rect volume{{72, 30}, {140, 8}};
inline constexpr Rect pan{{220, 26}, {16, 16}};
inline constexpr Rect splitter{{0, 42}, {320, 2}};
// The Color window and its palette.
inline constexpr Rect color = Ax::Layout::colorWindow;
using Ax::Layout::paletteColumns;
using Ax::Layout::paletteRows;
using Ax::Layout::swatch;
using Ax::Layout::swatchPitchX;
using Ax::Layout::swatchPitchY;
using Ax::Layout::swatchX0;
using Ax::Layout::swatchY0;
// Dialogs.
inline constexpr Rect panel{{320, 140}, {800, 520}};
inline constexpr Rect options{{520, 300}, {400, 200}};
inline constexpr Rect alert{{570, 280}, {300, 160}};
inline constexpr Rect newTracks{{470, 240}, {500, 260}};
inline constexpr double listRowHeight = 22;
// mixer-window: the Mixer window, and the editor pane at the bottom of the project window.
inline constexpr Rect mixer{{120, 520}, {1100, 380}};
inline constexpr double editorPane = 280;
// two-projects: the project window behind the one in front.
inline constexpr Rect otherProject{{40, 60}, {1200, 700}};
} // namespace Geo

// A track row's parts for a track header `width` points wide: the name field and the Mute,
// Solo and Record buttons follow the header's right edge, as the layout of Geo is for 320.
struct RowLayout {
    double width = Geo::headerWidth;
    Rect name() const { return {{72, 6}, {width - 152, 20}}; }
    Rect mute() const { return {{width - 76, 6}, {22, 18}}; }
    Rect solo() const { return {{width - 52, 6}, {22, 18}}; }
    Rect record() const { return {{width - 28, 6}, {22, 18}}; }
    Rect volume() const { return {{72, 30}, {width - 180, 8}}; }
    Rect pan() const { return {{width - 100, 26}, {16, 16}}; }
    Rect splitter() const { return {{0, 42}, {width, 2}}; }
};

// Virtual key codes Logic reacts to.
namespace Key {
inline constexpr std::uint16_t a = 0, d = 2, g = 5, z = 6, o = 31, space = 49;
inline constexpr std::uint16_t returnKey = 36, tab = 48, deleteKey = 51, escape = 53;
inline constexpr std::uint16_t down = 125, up = 126;
} // namespace Key

inline Rect offset(const Rect& r, Point by) {
    return {{r.origin.x + by.x, r.origin.y + by.y}, r.size};
}

struct Track {
    int id = 0;
    QString name;
    bool isStack = false;
    int stack = -1; // id of the stack the track is in
    std::optional<std::pair<int, int>> color;
    bool folded = false;
    bool hasAudio = false;
    bool summing = false;
    QString file;          // the audio file of the track's region
    long long created = 0; // creation order
    bool mute = false, solo = false, record = false;
};

// What a menu item does.
enum class Cmd {
    None, // an item whose command is not modelled: pressing it changes nothing
    NewAudioTrack,
    RenameTrack,
    DeleteTrack,
    DeleteUnused,
    CreateStack,
    FlattenStack,
    SortByName,
    SortByDate,
    SortOther,
    AssignColor,
    ImportAudio,
};

// A one-line text being edited, with its selection.
struct TextEdit {
    QString text;
    qsizetype selStart = 0;
    qsizetype selLength = 0;
    void reset(const QString& t, bool selectAll);
    void selectAll();
    void insert(const QString& s);
    void backspace();
};

// The pending mouse press and what it landed on.
struct Press {
    enum Kind { Element, Triangle, Toggle, Row, Swatch } kind = Element;
    std::weak_ptr<SimElement> element;
    int track = -1;
    int toggle = 0; // 0 mute, 1 solo, 2 record
    std::pair<int, int> cell{0, 0};
    Point at;
    std::uint64_t flags = 0;
    bool dragging = false;
};

enum class ImportMode { NewTracks, ExistingTracks, OntoSelection };

class Impl {
public:
    explicit Impl(Clock& clock);
    ~Impl();

    Clock& clock;
    std::mutex mutex;

    // --- Switches and randomness.
    std::bitset<simQuirkCount> quirks;
    std::mt19937_64 rng{1};
    bool firstDropTaken = false;
    std::array<QString, simQuirkCount> values; // the values quirks were switched on with
    bool quirk(SimQuirk q) const { return quirks.test(std::size_t(q)); }
    // The quirk's value as a number; fallback when it has none (or it is not a number).
    double number(SimQuirk q, double fallback) const;
    void switched(SimQuirk quirk, bool on);
    // A seeded draw from [0, 1).
    double draw();

    // --- The process.
    bool frontmost = false;
    Duration busyUntil{};
    int trustPrompts = 0;
    SimCounters counters;
    bool running() const { return !quirk(SimQuirk::notRunning); }
    bool trusted() const { return !quirk(SimQuirk::notTrusted); }
    bool ready() const { return clock.now() >= busyUntil; }
    bool activate();
    // busy-after-import: until when Logic is busy with the audio it imported.
    Duration importBusyUntil{};
    // How long the calling program waits for an answer (its messaging time-out).
    Duration callTimeout = Delay::callTimeout;
    // Every accessibility call: its cost on the clock, and a busy Logic keeping the caller
    // waiting; true when the call times out (-25204).
    bool callWaits();
    // focus-stolen: keys typed into name fields so far, whether the system dialog came, and
    // until when it holds the focus.
    int keysIntoNames = 0;
    bool focusTaken = false;
    // The system's dialog that holds the keyboard focus now (focus-stolen); Logic is not
    // frontmost while it is up.
    bool systemDialog = false;
    void stealFocus();
    // Whether AXWindows and the main and focused windows read as they are (not with
    // windows-empty-in-background while Logic is in the background).
    bool windowsReadable() const;
    // The track header's width and the layout of a row's parts in it.
    double headerWidth() const;
    RowLayout rowLayout() const { return {headerWidth()}; }
    // How many rows the visible part of the track list holds.
    int capacity() const;
    // user-input: when the person at the machine clicks next.
    Duration nextUserClick{};
    void userClicks();

    // --- Reactions: applied in time order when the simulator is touched.
    std::map<std::pair<Duration::rep, unsigned long long>, std::function<void()>> reactions;
    unsigned long long reactionSeq = 0;
    std::optional<Duration> applying; // the due time of the reaction being applied
    bool dirty = true;
    // Schedules f at d from now, or from the due time of the reaction that schedules it: a
    // chain of reactions keeps its timing however late the simulator is touched.
    void after(Duration d, std::function<void()> f);
    void touch();

    // --- The session (SimModel.cpp).
    std::vector<Track> tracks;
    std::set<int> selected;
    int anchor = -1;
    int nextId = 1;
    long long nextCreated = 1;
    int nextAudio = 1;
    int nextStack = 1;
    int scroll = 0; // first shown visible row (only with visible-rows-only)
    struct NameEdit {
        int track = -1;
        TextEdit field;
    };
    std::optional<NameEdit> edit;

    int indexOf(int id) const;
    Track* byId(int id);
    int blockEnd(int index) const;
    bool hidden(const Track& t) const;
    // Indexes into tracks of the tracks not hidden by a folded stack, in list order.
    std::vector<int> computeVisible() const;
    Track& insertTrack(int index, Track t);
    void eraseIf(const std::function<bool(const Track&)>& drop);
    QString description(int index) const;
    void selectOnly(int id);
    void clickSelect(int id, std::uint64_t flags);
    void moveSelection(int step);
    void newAudioTrack();
    void createStack(bool summing);
    void flattenSelected();
    void deleteSelected();
    void deleteUnused();
    void sortTracks(Cmd by);
    void toggleFold(int id, bool all);
    void moveTrack(int id, int beforeId, int prevId);
    void colorSelected(std::pair<int, int> cell);
    void beginEdit(int id, bool selectAll);
    void commitEdit();
    void importFiles(const QStringList& files, ImportMode mode);
    void scrollTo(int id);
    void scrollBy(int lines);
    SimSession session() const;

    // --- The accessibility tree (SimTree.cpp).
    SimElement::Ptr app, menuBar, projectWin, header, ruler;
    SimElement::Ptr colorWin, panelWin, optionsWin, alertWin, startupWin;
    SimElement::Ptr mixerWin, otherWin;  // mixer-window, two-projects
    QString alertMessage;                // what the alert says while it is open
    std::vector<SimElement::Ptr> zOrder; // open windows, front to back
    struct RowSlot {
        SimElement::Ptr row, triangle;
        // The track's lane in "Tracks contents", and the region on it while the track has audio.
        SimElement::Ptr lane, region;
    };
    SimElement::Ptr contents; // "Tracks contents": one lane per row on screen
    std::vector<RowSlot> rows;
    bool renewRows = false;   // stale-after-write: the next sync makes new row elements
    std::vector<int> visible; // indexes into tracks of the rows not hidden by a folded stack
    int shownFirst = 0;       // visible index shown in the first row

    struct MenuItem {
        Cmd cmd = Cmd::None;
        bool disabled = false; // never enabled
        bool global = false;   // usable while a dialog is up or Logic is busy
    };
    bool menuEnabled(const MenuItem& m) const;
    int runMenu(Cmd cmd);

    struct StackSheet {
        SimElement::Ptr el, folder, summing;
        bool summingChosen = false;
    };
    std::optional<StackSheet> sheet;
    struct Panel {
        QString folder;
        QList<QFileInfo> entries;
        std::set<int> chosen; // selected rows
        SimElement::Ptr list, ok;
        std::vector<SimElement::Ptr> rows;
        SimElement::Ptr goTo;
        TextEdit path;
    };
    std::optional<Panel> panel;
    // Like the system's open panel, the import window reopens at the folder it opened from last.
    QString lastPanelFolder;
    struct Options {
        QStringList files;
        bool createNew = false;
        bool stems = false;
    };
    std::optional<Options> options;

    SimElement::Ptr make(const QString& role, std::optional<Rect> frame = {});
    // The English text as Logic shows it in the language switched on (language=de|fr|ja).
    QString text(const char* english) const;
    void buildApp();
    void buildMenus();
    void buildProjectWindow();
    // Builds the project window again, for a switch that changes its layout.
    void relayout();
    void openMixer();
    void openOtherProject();
    // user-project: the user's own song with tracks holding regions.
    void openUserSong();
    void sync();
    void openWindow(const SimElement::Ptr& w);
    void closeWindow(SimElement::Ptr& w);
    SimElement* keyWindow() const;
    bool modalOpen() const;
    bool blocked(const SimElement* el) const;
    Rect rowFrame(int slot) const;
    const Track* trackAtSlot(int slot) const;
    Track* trackAtSlot(int slot);
    std::optional<int> slotAt(Point p) const;
    Rect trackArea() const;

    void openSheet();
    void closeSheet();
    void pressCreate();
    void openColorWindow();
    void buildColorContent();
    std::optional<std::pair<int, int>> swatchAt(Point p) const;
    void openPanel();
    void closePanel();
    void setPanelFolder(const QString& folder, const QString& select = {});
    void choosePanelRows(std::set<int> rows);
    bool panelCanOpen() const;
    void pressPanelOpen();
    void openGoTo();
    void closeGoTo();
    void goToTypedPath();
    void completePath();
    void openOptions(const QStringList& files);
    void confirmOptions();
    void closeOptions();
    void openAlert();
    void closeAlert();
    // Answers the tempo question: with the file's tempo, or without.
    void answerAlert(bool importTempo);
    int alertsShown = 0;
    bool alertDefaultImports = false; // the alert's first (default) button is "Import"
    bool tempoImported = false;       // an answer took a file's tempo into the project
    void openStartupDialog();

    // --- Input (SimInput.cpp).
    std::optional<Press> press;
    void key(const KeyEvent& e);
    void editKey(TextEdit& field, const KeyEvent& e, bool complete);
    void mouse(const MouseEvent& e);
    void mouseDown(const MouseEvent& e);
    void mouseUp(const MouseEvent& e);
    void projectDown(const MouseEvent& e);
    SimElement* windowAt(Point p) const;
    void pressElementAt(SimElement* root, const MouseEvent& e);
    void drop(const QStringList& files, Point p);

    // --- Accessibility calls.
    SimElement* own(const Element& e) const;
    AttributeRead read(const Element& e, const QString& name);
    QList<AttributeRead> readMany(const Element& e, const QStringList& names);
    int write(const Element& e, const QString& name, const AXValue& value);
    int act(const Element& e, const QString& action);
};

// Whether the file is one Logic imports as audio.
bool isAudioFile(const QFileInfo& file);

} // namespace Vantrel::SimDetail
