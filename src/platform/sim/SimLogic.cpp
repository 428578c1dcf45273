#include "platform/sim/SimLogic.h"

#include "platform/AxNames.h"
#include "platform/sim/SimLogicImpl.h"

#include <QJsonArray>
#include <QJsonValue>

#include <algorithm>
#include <cmath>

namespace Vantrel {

using namespace SimDetail;

namespace {

struct QuirkInfo {
    SimQuirk quirk;
    const char* name;
    const char* description;
};

constexpr QuirkInfo quirkTable[] = {
    {SimQuirk::notTrusted, "not-trusted",
     "this program lacks the accessibility permission: every accessibility call "
     "answers -25211 and posted events are dropped"},
    {SimQuirk::notRunning, "not-running",
     "Logic Pro is not running: no process, no application element, elements "
     "handed out before are stale"},
    {SimQuirk::slowReady, "slow-ready",
     "Logic is busy for 3 s after the switch: its commands are disabled and it "
     "ignores input"},
    {SimQuirk::noStackShortcut, "no-stack-shortcut",
     "Shift-Command-D does nothing (the menu item still works)"},
    {SimQuirk::renameByDoubleClickFails, "rename-by-double-click-fails",
     "a double-click on a track's name selects the track but opens no name field"},
    {SimQuirk::firstDragIgnored, "first-drag-ignored",
     "the first file drop after the switch is ignored"},
    {SimQuirk::dropIgnored, "drop-ignored", "every file drop is ignored"},
    {SimQuirk::optionsWindow, "options-window",
     "a drop of several files first shows \"Add Selected Files to Tracks\""},
    {SimQuirk::tempoAlert, "tempo-alert",
     "after each import an alert asks whether to import the tempo: 1.5 s after the last "
     "track, or =SECONDS after it, or =random for a seeded delay of 1 to 6 s"},
    {SimQuirk::tracksArriveShuffled, "tracks-arrive-shuffled",
     "the tracks of an import arrive in a seeded random order"},
    {SimQuirk::colorGridUnreadable, "color-grid-unreadable",
     "the Color window's swatches are missing from the accessibility tree (clicks still work)"},
    {SimQuirk::pressError, "press-error",
     "every press of a menu item answers -25204 and does nothing"},
    {SimQuirk::visibleRowsOnly, "visible-rows-only",
     "only the track rows on screen are in the accessibility tree"},
    {SimQuirk::trianglePressDoesNothing, "triangle-press-does-nothing",
     "pressing a stack's disclosure triangle answers success and does nothing"},
    {SimQuirk::sortByNameDoesNothing, "sort-by-name-does-nothing",
     "Track > Sort Tracks by > Track Name does nothing"},
    {SimQuirk::busyAfterImport, "busy-after-import",
     "Logic is busy for 10 s (=SECONDS) after the last track of an import arrives: every "
     "accessibility call blocks until it is free, at most 6 s, and then answers -25204 (a write "
     "or press still takes effect)"},
    {SimQuirk::readErrors, "read-errors",
     "an attribute read answers -25204 with probability 0.001 (=P), seeded"},
    {SimQuirk::pressErrorAfterEffect, "press-error-after-effect",
     "every press of a menu item takes effect and answers -25204"},
    {SimQuirk::stackDialogOk, "stack-dialog-ok",
     "the track stack dialog's confirming button is titled \"OK\""},
    {SimQuirk::olderLayout, "older-layout",
     "an older version: the stack's disclosure triangle is a button and the track header group "
     "is described \"Track Headers\""},
    {SimQuirk::staleAfterWrite, "stale-after-write",
     "every attribute write makes the track rows' elements stale (new ones replace them)"},
    {SimQuirk::callCost, "call-cost",
     "every accessibility call takes 0.5 ms (=MILLISECONDS) on the simulator's clock"},
    {SimQuirk::userInput, "user-input",
     "the person at the machine clicks a track row now and then (every 20 s, =SECONDS, at a "
     "seeded row), changing the selection"},
    {SimQuirk::startupDialog, "startup-dialog",
     "Logic was opened with the startup action \"Create New Empty Project\": the \"New "
     "Tracks\" dialog is open over the empty project, and the menus wait until it is closed"},
    // A user opens the tool with a song of their own in front; Logic's windows belong to
    // whatever project is open, and nothing keeps a user from sending into it.
    {SimQuirk::userProject, "user-project",
     "the project in front is the user's song \"My Song\": it already holds three tracks with "
     "audio regions"},
    // Logic Pro opens several projects at once, each in its own window (Logic Pro user guide,
    // "Open projects"); menu commands act on the project in front.
    {SimQuirk::twoProjects, "two-projects",
     "a second project, \"Other Song\" with two tracks with regions, is open behind the empty "
     "one"},
    // Logic Pro's guide: stacks need "Complete Features" (Settings > Advanced); with it off the
    // Track menu lacks the stack items.
    {SimQuirk::completeFeaturesOff, "complete-features-off",
     "\"Enable Complete Features\" is off: the Track menu has no \"Create Track Stack…\" nor "
     "\"Flatten Stack\", and Shift-Command-D does nothing"},
    // Logic Pro X 10.0's manual names the stack dialog's choices "Folder Stack" and "Summing
    // Stack"; tutorials of those versions show the button "Create".
    {SimQuirk::summingStackTitle, "summing-stack-title",
     "an older version: the track stack dialog's choices are titled \"Folder Stack\" and "
     "\"Summing Stack\""},
    // Logic Pro's guide: the track header's width and contents are the user's (Track >
    // Configure Track Header…, and dragging the header's right edge).
    {SimQuirk::headerWidth, "header-width",
     "the track header is 200 points wide (=POINTS, 160 to 600) rather than 320: the name field "
     "and the Mute, Solo and Record buttons move with its right edge"},
    // Logic Pro's guide: the Mixer opens as its own window (Window > Open Mixer) and editors
    // open as a pane at the bottom of the project window; a drop there makes no tracks.
    {SimQuirk::mixerWindow, "mixer-window",
     "a Mixer window (\"Untitled - Mixer\") is in front of the project window over its lower "
     "part, and an editor pane takes the bottom 280 points of the project window"},
    // Public observations of Logic Pro's accessibility interface: AXWindows is sometimes empty
    // while Logic Pro is not frontmost.
    {SimQuirk::windowsEmptyInBackground, "windows-empty-in-background",
     "the application's windows (AXWindows, its main and focused window) read empty while Logic "
     "is not frontmost"},
    // Public observations: a person's or the system's events still arrive during synthetic
    // input, synthetic keys reach only the frontmost application, and plain letters are Logic's
    // key commands (record, mute, solo) when no text field has the focus.
    {SimQuirk::focusStolen, "focus-stolen",
     "a system dialog takes the keyboard focus for 20 ms once the 2nd key (=N) is typed into a "
     "track's name field: Logic is not frontmost, and its name field closes with what was "
     "typed"},
    // Public observations: with a localised macOS, Logic Pro's menus, window titles and row
    // descriptions are translated (the Korean track-list window ends in "트랙").
    {SimQuirk::language, "language",
     "Logic Pro runs in German (=de, the default), French (=fr) or Japanese (=ja): its menus, "
     "window titles, "
     "dialog buttons and element descriptions are in that language"},
};

// The quirks that take a value, and what the value must be.
enum class ValueKind {
    none,
    seconds,
    secondsOrRandom,
    probability,
    milliseconds,
    points,
    count,
    language
};

ValueKind valueKind(SimQuirk quirk) {
    switch (quirk) {
    case SimQuirk::tempoAlert:
        return ValueKind::secondsOrRandom;
    case SimQuirk::busyAfterImport:
    case SimQuirk::userInput:
        return ValueKind::seconds;
    case SimQuirk::readErrors:
        return ValueKind::probability;
    case SimQuirk::callCost:
        return ValueKind::milliseconds;
    case SimQuirk::headerWidth:
        return ValueKind::points;
    case SimQuirk::focusStolen:
        return ValueKind::count;
    case SimQuirk::language:
        return ValueKind::language;
    default:
        return ValueKind::none;
    }
}

// A "NAME" or "NAME=VALUE" split into its quirk and value; the error sentence when it is not
// valid.
struct ParsedSetting {
    std::optional<SimQuirk> quirk;
    QString value;
    QString error;
};

ParsedSetting parseSetting(const QString& setting) {
    ParsedSetting p;
    const qsizetype eq = setting.indexOf(QLatin1Char('='));
    const QString name = eq < 0 ? setting : setting.left(eq);
    p.quirk = SimLogic::quirkNamed(name);
    if (!p.quirk) {
        p.error = QStringLiteral("unknown quirk %1").arg(name);
        return p;
    }
    if (eq < 0)
        return p;
    p.value = setting.mid(eq + 1);
    bool ok = false;
    const double v = p.value.toDouble(&ok);
    switch (valueKind(*p.quirk)) {
    case ValueKind::none:
        p.error = QStringLiteral("quirk %1 takes no value").arg(name);
        break;
    case ValueKind::secondsOrRandom:
        if (p.value == QLatin1String("random"))
            break;
        [[fallthrough]];
    case ValueKind::seconds:
    case ValueKind::milliseconds:
        if (!ok || v < 0 || v > 3600)
            p.error = QStringLiteral("quirk %1 needs a number of %2, not “%3”")
                          .arg(name,
                               valueKind(*p.quirk) == ValueKind::milliseconds
                                   ? QStringLiteral("milliseconds")
                                   : QStringLiteral("seconds"),
                               p.value);
        break;
    case ValueKind::points:
        if (!ok || v < 160 || v > 600)
            p.error = QStringLiteral("quirk %1 needs a width from 160 to 600 points, not “%2”")
                          .arg(name, p.value);
        break;
    case ValueKind::count:
        if (!ok || v < 1 || v > 1000 || v != std::floor(v))
            p.error = QStringLiteral("quirk %1 needs a whole number from 1 to 1000, not “%2”")
                          .arg(name, p.value);
        break;
    case ValueKind::language:
        if (p.value != u"de" && p.value != u"fr" && p.value != u"ja")
            p.error = QStringLiteral("quirk %1 needs de, fr or ja, not “%2”").arg(name, p.value);
        break;
    case ValueKind::probability:
        if (!ok || v < 0 || v > 1)
            p.error = QStringLiteral("quirk %1 needs a probability from 0 to 1, not “%2”")
                          .arg(name, p.value);
        break;
    }
    if (!p.error.isEmpty())
        p.quirk.reset();
    return p;
}

// The table lists every quirk once, in the order of SimQuirk.
constexpr bool tableFollowsTheEnum() {
    for (std::size_t i = 0; i < std::size(quirkTable); ++i) {
        if (quirkTable[i].quirk != SimQuirk(i))
            return false;
    }
    return std::size(quirkTable) == simQuirkCount;
}
static_assert(tableFollowsTheEnum());

// Holds the simulator's lock and applies what has become due.
class Touch {
public:
    explicit Touch(Impl& impl) : lock_(impl.mutex) { impl.touch(); }

private:
    std::lock_guard<std::mutex> lock_;
};

} // namespace

// --- Values.

QJsonObject SimSession::toJson() const {
    QJsonArray list;
    for (const SimTrack& t : tracks) {
        QJsonObject o;
        o[QStringLiteral("name")] = t.name;
        o[QStringLiteral("kind")] = !t.isStack  ? QStringLiteral("audio")
                                    : t.summing ? QStringLiteral("summing stack")
                                                : QStringLiteral("folder stack");
        o[QStringLiteral("stack")] = t.stack ? QJsonValue(*t.stack) : QJsonValue();
        o[QStringLiteral("color")] =
            t.color ? QJsonValue(QJsonArray{t.color->first, t.color->second}) : QJsonValue();
        o[QStringLiteral("folded")] = t.folded;
        o[QStringLiteral("hasAudio")] = t.hasAudio;
        o[QStringLiteral("file")] = t.file;
        list.append(o);
    }
    QJsonObject root;
    root[QStringLiteral("tracks")] = list;
    root[QStringLiteral("windows")] = QJsonArray::fromStringList(windows);
    return root;
}

QJsonObject SimCounters::toJson() const {
    QJsonObject o;
    o[QStringLiteral("attributeReads")] = static_cast<qint64>(attributeReads);
    o[QStringLiteral("attributeWrites")] = static_cast<qint64>(attributeWrites);
    o[QStringLiteral("actions")] = static_cast<qint64>(actions);
    o[QStringLiteral("keyEvents")] = static_cast<qint64>(keyEvents);
    o[QStringLiteral("mouseEvents")] = static_cast<qint64>(mouseEvents);
    return o;
}

// --- The simulator.

QString SimLogic::bundleId() {
    return QStringLiteral("com.apple.logic10");
}

SimLogic::SimLogic(Clock& clock) : impl_(std::make_unique<Impl>(clock)) {}

SimLogic::~SimLogic() = default;

QStringList SimLogic::quirkNames() {
    QStringList names;
    for (const QuirkInfo& q : quirkTable)
        names.append(QLatin1String(q.name));
    return names;
}

QString SimLogic::quirkName(SimQuirk quirk) {
    return QLatin1String(quirkTable[std::size_t(quirk)].name);
}

std::optional<SimQuirk> SimLogic::quirkNamed(const QString& name) {
    for (const QuirkInfo& q : quirkTable)
        if (name == QLatin1String(q.name))
            return q.quirk;
    return std::nullopt;
}

QString SimLogic::quirkDescription(const QString& name) {
    for (const QuirkInfo& q : quirkTable)
        if (name == QLatin1String(q.name))
            return QString::fromUtf8(q.description);
    return {};
}

void SimLogic::setQuirk(SimQuirk quirk, bool on) {
    Touch t(*impl_);
    impl_->switched(quirk, on);
}

bool SimLogic::setQuirk(const QString& setting, bool on) {
    const ParsedSetting p = parseSetting(setting);
    if (!p.quirk)
        return false;
    Touch t(*impl_);
    impl_->values[std::size_t(*p.quirk)] = on ? p.value : QString();
    impl_->switched(*p.quirk, on);
    return true;
}

std::optional<QString> SimLogic::quirkSettingError(const QString& setting) {
    const ParsedSetting p = parseSetting(setting);
    if (p.quirk)
        return std::nullopt;
    return p.error;
}

QString SimLogic::quirkValue(SimQuirk quirk) const {
    std::lock_guard lock(impl_->mutex);
    return impl_->values[std::size_t(quirk)];
}

QStringList SimLogic::profileNames() {
    return {QStringLiteral("realistic")};
}

QStringList SimLogic::profileQuirks(const QString& profile) {
    // What public observations of the real program call normal: only the rows on screen in the
    // tree, the options window on a multi-file drop, the tempo question a few seconds after an
    // import, a busy spell after an import and rare failed reads.
    if (profile == QLatin1String("realistic"))
        return {QStringLiteral("visible-rows-only"), QStringLiteral("options-window"),
                QStringLiteral("tempo-alert=random"), QStringLiteral("busy-after-import"),
                QStringLiteral("read-errors")};
    return {};
}

bool SimLogic::applyProfile(const QString& profile) {
    if (!profileNames().contains(profile))
        return false;
    for (const QString& setting : profileQuirks(profile))
        setQuirk(setting, true);
    return true;
}

bool SimLogic::quirk(SimQuirk quirk) const {
    std::lock_guard lock(impl_->mutex);
    return impl_->quirk(quirk);
}

bool SimLogic::quirk(const QString& name) const {
    const std::optional<SimQuirk> q = quirkNamed(name);
    return q && quirk(*q);
}

QStringList SimLogic::activeQuirks() const {
    std::lock_guard lock(impl_->mutex);
    QStringList on;
    for (const QuirkInfo& q : quirkTable)
        if (impl_->quirk(q.quirk)) {
            const QString& value = impl_->values[std::size_t(q.quirk)];
            on.append(QLatin1String(q.name) +
                      (value.isEmpty() ? QString() : QLatin1Char('=') + value));
        }
    return on;
}

void SimLogic::setMessagingTimeout(std::optional<Clock::Duration> timeout) {
    std::lock_guard lock(impl_->mutex);
    impl_->callTimeout = timeout.value_or(SimDetail::Delay::callTimeout);
}

void SimLogic::setSeed(std::uint64_t seed) {
    std::lock_guard lock(impl_->mutex);
    impl_->rng.seed(seed);
}

bool SimLogic::isTrusted() {
    Touch t(*impl_);
    return impl_->trusted();
}

void SimLogic::promptForTrust() {
    Touch t(*impl_);
    ++impl_->trustPrompts;
}

QList<RunningApp> SimLogic::runningApplications(const QString& id) {
    Touch t(*impl_);
    if (!impl_->running() || id != bundleId())
        return {};
    return {RunningApp{processId, bundleId()}};
}

bool SimLogic::activate(const RunningApp& app) {
    Touch t(*impl_);
    if (app.pid != processId)
        return false;
    return impl_->activate();
}

Element SimLogic::applicationElement(std::int64_t pid) {
    Touch t(*impl_);
    if (pid != processId || !impl_->running())
        return nullptr;
    return impl_->app;
}

AttributeRead SimLogic::attribute(const Element& element, const QString& name) {
    Touch t(*impl_);
    return impl_->read(element, name);
}

QList<AttributeRead> SimLogic::attributes(const Element& element, const QStringList& names) {
    Touch t(*impl_);
    return impl_->readMany(element, names);
}

int SimLogic::setAttribute(const Element& element, const QString& name, const AXValue& value) {
    Touch t(*impl_);
    return impl_->write(element, name, value);
}

int SimLogic::performAction(const Element& element, const QString& action) {
    Touch t(*impl_);
    return impl_->act(element, action);
}

QStringList SimLogic::actionNames(const Element& element) {
    Touch t(*impl_);
    const SimElement* el = impl_->own(element);
    QStringList names;
    if (!impl_->trusted() || !el || !el->alive())
        return names;
    if (el->press)
        names << Ax::Action::press;
    if (el->role() == Ax::Role::window)
        names << Ax::Action::raise;
    return names;
}

void SimLogic::postKey(const KeyEvent& event) {
    Touch t(*impl_);
    ++impl_->counters.keyEvents;
    impl_->key(event);
}

void SimLogic::postMouse(const MouseEvent& event, bool deliver) {
    Touch t(*impl_);
    ++impl_->counters.mouseEvents;
    if (deliver)
        impl_->mouse(event);
}

void SimLogic::dropFiles(const QStringList& files, Point p) {
    Touch t(*impl_);
    impl_->drop(files, p);
}

void SimLogic::addTrack(const QString& name, bool hasAudio) {
    Touch t(*impl_);
    Track track;
    track.name = name;
    track.hasAudio = hasAudio;
    impl_->insertTrack(static_cast<int>(impl_->tracks.size()), track);
    impl_->dirty = true;
}

void SimLogic::setFrontmost(bool front) {
    Touch t(*impl_);
    impl_->frontmost = front && impl_->running();
    impl_->dirty = true;
}

SimSession SimLogic::session() {
    Touch t(*impl_);
    return impl_->session();
}

SimCounters SimLogic::counters() {
    std::lock_guard lock(impl_->mutex);
    return impl_->counters;
}

void SimLogic::resetCounters() {
    std::lock_guard lock(impl_->mutex);
    impl_->counters = {};
}

int SimLogic::trustPrompts() {
    std::lock_guard lock(impl_->mutex);
    return impl_->trustPrompts;
}

namespace SimDetail {

// --- The process and its reactions.

Impl::Impl(Clock& c) : clock(c) {
    buildApp();
    sync();
    dirty = false;
}

Impl::~Impl() {
    // Handles given out may outlive the simulator: they answer as stale, and the behaviour they
    // hold (which refers to this object) is dropped.
    app->kill();
}

double Impl::number(SimQuirk q, double fallback) const {
    bool ok = false;
    const double v = values[std::size_t(q)].toDouble(&ok);
    return ok ? v : fallback;
}

double Impl::draw() {
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng);
}

void Impl::switched(SimQuirk quirk, bool on) {
    quirks.set(std::size_t(quirk), on);
    if (quirk == SimQuirk::olderLayout)
        renewRows = true; // the rows are built the other way
    if (quirk == SimQuirk::busyAfterImport && !on)
        importBusyUntil = Duration{};
    if (quirk == SimQuirk::userInput)
        nextUserClick = clock.now() + std::chrono::duration_cast<Duration>(
                                          std::chrono::duration<double>(number(quirk, 20)));
    if (quirk == SimQuirk::slowReady)
        busyUntil = on ? clock.now() + Delay::busyAfterSlowStart : Duration{};
    if (quirk == SimQuirk::firstDragIgnored)
        firstDropTaken = false;
    if (quirk == SimQuirk::notRunning && on) {
        frontmost = false;
        press.reset();
    }
    if (quirk == SimQuirk::startupDialog) {
        if (on)
            openStartupDialog();
        else
            closeWindow(startupWin);
    }
    if (quirk == SimQuirk::colorGridUnreadable && colorWin)
        buildColorContent();
    if (quirk == SimQuirk::userProject && on)
        openUserSong();
    if (quirk == SimQuirk::twoProjects) {
        if (on)
            openOtherProject();
        else
            closeWindow(otherWin);
    }
    if (quirk == SimQuirk::completeFeaturesOff || quirk == SimQuirk::language) {
        app->remove(menuBar);
        buildMenus();
    }
    if (quirk == SimQuirk::headerWidth || quirk == SimQuirk::mixerWindow ||
        quirk == SimQuirk::language)
        relayout();
    if (quirk == SimQuirk::mixerWindow) {
        if (on)
            openMixer();
        else
            closeWindow(mixerWin);
    }
    if (quirk == SimQuirk::focusStolen) {
        keysIntoNames = 0;
        focusTaken = false;
    }
    dirty = true;
}

bool Impl::windowsReadable() const {
    return frontmost || !quirk(SimQuirk::windowsEmptyInBackground);
}

double Impl::headerWidth() const {
    return quirk(SimQuirk::headerWidth) ? number(SimQuirk::headerWidth, 200) : Geo::headerWidth;
}

void Impl::stealFocus() {
    // The system's dialog comes to the front: Logic's name field closes with what it holds,
    // and the dialog gives the focus back to Logic a moment later.
    focusTaken = true;
    systemDialog = true;
    frontmost = false;
    if (edit)
        commitEdit();
    after(Delay::systemDialog, [this] {
        systemDialog = false;
        frontmost = running();
    });
}

bool Impl::activate() {
    if (!running())
        return false;
    if (systemDialog)
        return true; // the system's dialog keeps the focus until it closes
    if (!frontmost)
        after(Delay::activate, [this] { frontmost = running(); });
    return true;
}

void Impl::after(Duration d, std::function<void()> f) {
    const Duration from = applying ? *applying : clock.now();
    reactions.emplace(std::make_pair((from + d).count(), reactionSeq++), std::move(f));
}

bool Impl::callWaits() {
    if (quirk(SimQuirk::callCost))
        clock.sleepFor(std::chrono::duration_cast<Duration>(
            std::chrono::duration<double, std::milli>(number(SimQuirk::callCost, 0.5))));
    if (!quirk(SimQuirk::busyAfterImport) || clock.now() >= importBusyUntil)
        return false;
    // The call waits for Logic, at most as long as a client waits for an answer.
    const Duration left = importBusyUntil - clock.now();
    clock.sleepFor(std::min(left, callTimeout));
    touch();
    return left > callTimeout;
}

void Impl::userClicks() {
    // The person clicks a seeded row on screen, which selects its track only.
    const Duration every = std::chrono::duration_cast<Duration>(
        std::chrono::duration<double>(std::max(1.0, number(SimQuirk::userInput, 20))));
    while (clock.now() >= nextUserClick) {
        nextUserClick += every;
        if (rows.empty() || !frontmost)
            continue;
        const int slot = std::min(static_cast<int>(draw() * double(rows.size())),
                                  static_cast<int>(rows.size()) - 1);
        if (const Track* t = trackAtSlot(slot)) {
            if (edit && edit->track != t->id)
                commitEdit();
            selectOnly(t->id);
            dirty = true;
        }
    }
}

void Impl::touch() {
    if (quirk(SimQuirk::userInput))
        userClicks();
    const Duration::rep now = clock.now().count();
    while (!reactions.empty() && reactions.begin()->first.first <= now) {
        applying = Duration(reactions.begin()->first.first);
        auto f = std::move(reactions.begin()->second);
        reactions.erase(reactions.begin());
        f();
        applying.reset();
        dirty = true;
    }
    if (dirty) {
        sync();
        dirty = false;
    }
}

// --- Accessibility calls.

SimElement* Impl::own(const Element& e) const {
    auto* el = dynamic_cast<SimElement*>(e.get());
    return el && el->owner() == this ? el : nullptr;
}

QList<AttributeRead> Impl::readMany(const Element& e, const QStringList& names) {
    // One call into Logic, whatever the number of names: one count, one cost, one chance of
    // failing as a whole.
    ++counters.attributeReads;
    const auto all = [&](int status) { return QList<AttributeRead>(names.size(), {status, {}}); };
    if (!trusted())
        return all(AXResult::apiDisabled);
    SimElement* el = own(e);
    if (!el)
        return all(AXResult::illegalArgument);
    if (!running() || !el->alive())
        return all(AXResult::invalidElement);
    if (callWaits())
        return all(AXResult::cannotComplete);
    if (!el->alive())
        return all(AXResult::invalidElement);
    if (quirk(SimQuirk::readErrors) && draw() < number(SimQuirk::readErrors, 0.001))
        return all(AXResult::cannotComplete);
    QList<AttributeRead> reads;
    reads.reserve(names.size());
    for (const QString& name : names)
        reads.append(el->read(name));
    return reads;
}

AttributeRead Impl::read(const Element& e, const QString& name) {
    return readMany(e, QStringList{name}).first();
}

int Impl::write(const Element& e, const QString& name, const AXValue& value) {
    ++counters.attributeWrites;
    if (!trusted())
        return AXResult::apiDisabled;
    SimElement* el = own(e);
    if (!el)
        return AXResult::illegalArgument;
    if (!running() || !el->alive())
        return AXResult::invalidElement;
    const auto it = el->setters.find(name);
    if (it == el->setters.end())
        return AXResult::attributeUnsupported;
    const bool timedOut = callWaits();
    if (!el->alive())
        return AXResult::invalidElement;
    dirty = true;
    const SimElement::Setter setter = el->setters.at(name);
    const int status = setter(value);
    if (quirk(SimQuirk::staleAfterWrite))
        renewRows = true;
    return timedOut ? AXResult::cannotComplete : status;
}

int Impl::act(const Element& e, const QString& action) {
    ++counters.actions;
    if (!trusted())
        return AXResult::apiDisabled;
    SimElement* el = own(e);
    if (!el)
        return AXResult::illegalArgument;
    if (!running() || !el->alive())
        return AXResult::invalidElement;
    const bool timedOut = callWaits();
    if (!el->alive())
        return AXResult::invalidElement;
    if (action == Ax::Action::press && el->press) {
        // A press in a window that a dialog keeps from being key is taken and ignored.
        if (blocked(el))
            return timedOut ? AXResult::cannotComplete : AXResult::success;
        dirty = true;
        const SimElement::Action press = el->press; // the press may take the element away
        const int status = press();
        return timedOut ? AXResult::cannotComplete : status;
    }
    if (action == Ax::Action::raise && el->role() == Ax::Role::window) {
        for (auto it = zOrder.begin(); it != zOrder.end(); ++it)
            if (it->get() == el) {
                SimElement::Ptr w = *it;
                zOrder.erase(it);
                zOrder.insert(zOrder.begin(), w);
                break;
            }
        dirty = true;
        return timedOut ? AXResult::cannotComplete : AXResult::success;
    }
    return AXResult::actionUnsupported;
}

} // namespace SimDetail

} // namespace Vantrel
