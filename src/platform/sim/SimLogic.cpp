#include "platform/sim/SimLogic.h"

#include "platform/sim/SimLogicImpl.h"

#include <QJsonArray>
#include <QJsonValue>

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
     "1.5 s after each import an alert asks whether to import the tempo"},
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
};

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
        o[QStringLiteral("kind")] = t.isStack ? QStringLiteral("stack") : QStringLiteral("audio");
        o[QStringLiteral("stack")] = t.stack ? QJsonValue(*t.stack) : QJsonValue();
        o[QStringLiteral("color")] =
            t.color ? QJsonValue(QJsonArray{t.color->first, t.color->second}) : QJsonValue();
        o[QStringLiteral("folded")] = t.folded;
        o[QStringLiteral("hasAudio")] = t.hasAudio;
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

bool SimLogic::setQuirk(const QString& name, bool on) {
    const std::optional<SimQuirk> quirk = quirkNamed(name);
    if (!quirk)
        return false;
    setQuirk(*quirk, on);
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
        if (impl_->quirk(q.quirk))
            on.append(QLatin1String(q.name));
    return on;
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

int SimLogic::setAttribute(const Element& element, const QString& name, const AXValue& value) {
    Touch t(*impl_);
    return impl_->write(element, name, value);
}

int SimLogic::performAction(const Element& element, const QString& action) {
    Touch t(*impl_);
    return impl_->act(element, action);
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

void Impl::switched(SimQuirk quirk, bool on) {
    quirks.set(std::size_t(quirk), on);
    if (quirk == SimQuirk::slowReady)
        busyUntil = on ? clock.now() + Delay::busyAfterSlowStart : Duration{};
    if (quirk == SimQuirk::firstDragIgnored)
        firstDropTaken = false;
    if (quirk == SimQuirk::notRunning && on) {
        frontmost = false;
        press.reset();
    }
    if (quirk == SimQuirk::colorGridUnreadable && colorWin)
        buildColorContent();
    dirty = true;
}

bool Impl::activate() {
    if (!running())
        return false;
    if (!frontmost)
        after(Delay::activate, [this] { frontmost = running(); });
    return true;
}

void Impl::after(Duration d, std::function<void()> f) {
    const Duration from = applying ? *applying : clock.now();
    reactions.emplace(std::make_pair((from + d).count(), reactionSeq++), std::move(f));
}

void Impl::touch() {
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

AttributeRead Impl::read(const Element& e, const QString& name) {
    ++counters.attributeReads;
    if (!trusted())
        return {AXResult::apiDisabled, {}};
    SimElement* el = own(e);
    if (!el)
        return {AXResult::illegalArgument, {}};
    if (!running() || !el->alive())
        return {AXResult::invalidElement, {}};
    return el->read(name);
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
    dirty = true;
    const SimElement::Setter setter = it->second;
    return setter(value);
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
    if (action == QLatin1String("AXPress") && el->press) {
        // A press in a window that a dialog keeps from being key is taken and ignored.
        if (blocked(el))
            return AXResult::success;
        dirty = true;
        const SimElement::Action press = el->press; // the press may take the element away
        return press();
    }
    if (action == QLatin1String("AXRaise") && el->role() == QLatin1String("AXWindow")) {
        for (auto it = zOrder.begin(); it != zOrder.end(); ++it)
            if (it->get() == el) {
                SimElement::Ptr w = *it;
                zOrder.erase(it);
                zOrder.insert(zOrder.begin(), w);
                break;
            }
        dirty = true;
        return AXResult::success;
    }
    return AXResult::actionUnsupported;
}

} // namespace SimDetail

} // namespace Vantrel
