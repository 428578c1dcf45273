#include "platform/sim/SimPlatform.h"

#include <stdexcept>

namespace Vantrel {

namespace {

constexpr Rect mainScreen{{0, 0}, {1440, 900}};
constexpr double menuBar = 25;

} // namespace

SimPlatform::SimPlatform()
    : ownClock_(std::make_unique<SystemClock>()), clock_(*ownClock_), logic_(clock_) {}

SimPlatform::SimPlatform(Clock& clock, const QStringList& quirks) : clock_(clock), logic_(clock) {
    for (const QString& q : quirks)
        if (!logic_.setQuirk(q, true))
            throw std::invalid_argument("unknown quirk: " + q.toStdString());
}

SimPlatform::SimPlatform(SimSystemSettings& system) : SimPlatform() {
    system_ = &system;
    // The system withholds the accessibility interface from a program it does not trust; the
    // simulated Logic Pro answers such a program as it answers one without the permission.
    const auto follow = [this] {
        logic_.setQuirk(QStringLiteral("not-trusted"),
                        !system_->accessibilityAllowed(SimSystemSettings::programName()));
    };
    follow();
    systemObservation_ = system.observe(follow);
}

SimPlatform::~SimPlatform() {
    if (system_)
        system_->unobserve(systemObservation_);
}

std::optional<Rect> SimPlatform::tileFrame() const {
    std::lock_guard lock(mutex_);
    return tile_ ? std::optional<Rect>(tile_->frame) : std::nullopt;
}

QStringList SimPlatform::tileFiles() const {
    std::lock_guard lock(mutex_);
    return tile_ ? tile_->files : QStringList();
}

int SimPlatform::dragSessions() const {
    std::lock_guard lock(mutex_);
    return dragSessions_;
}

QList<KeyEvent> SimPlatform::postedKeys() const {
    std::lock_guard lock(mutex_);
    return keys_;
}

QList<MouseEvent> SimPlatform::postedMouse() const {
    std::lock_guard lock(mutex_);
    return mouse_;
}

// --- Accessibility: all of it is Logic's.

bool SimPlatform::isTrusted() {
    return logic_.isTrusted();
}

void SimPlatform::promptForTrust() {
    logic_.promptForTrust();
}

QList<RunningApp> SimPlatform::runningApplications(const QString& bundleId) {
    return logic_.runningApplications(bundleId);
}

bool SimPlatform::activate(const RunningApp& app) {
    return logic_.activate(app);
}

Element SimPlatform::applicationElement(std::int64_t pid) {
    return logic_.applicationElement(pid);
}

AttributeRead SimPlatform::attribute(const Element& element, const QString& name) {
    return logic_.attribute(element, name);
}

QList<AttributeRead> SimPlatform::attributes(const Element& element, const QStringList& names) {
    return logic_.attributes(element, names);
}

int SimPlatform::setAttribute(const Element& element, const QString& name, const AXValue& value) {
    return logic_.setAttribute(element, name, value);
}

int SimPlatform::performAction(const Element& element, const QString& action) {
    return logic_.performAction(element, action);
}

QStringList SimPlatform::actionNames(const Element& element) {
    return logic_.actionNames(element);
}

// --- Input: keys go to the frontmost application; a press on the tile belongs to the tile
// until the button is released, and a drag it starts ends with a drop where it is released.

void SimPlatform::postKey(const KeyEvent& event) {
    {
        std::lock_guard lock(mutex_);
        keys_.append(event);
    }
    logic_.postKey(event);
}

void SimPlatform::postMouse(const MouseEvent& event) {
    std::lock_guard lock(mutex_);
    mouse_.append(event);
    if (!logic_.isTrusted()) {
        logic_.postMouse(event, false); // the system drops events of an untrusted process
        return;
    }
    bool toLogic = true;
    std::optional<QStringList> dropped;
    switch (event.type) {
    case MouseEventType::leftDown:
        pressOnTile_ = tile_ && tile_->frame.contains(event.point);
        if (pressOnTile_) {
            gesture_.press(event.point);
            toLogic = false;
        }
        break;
    case MouseEventType::leftDragged:
        if (pressOnTile_) {
            toLogic = false;
            if (!session_ && tile_ && gesture_.move(event.point, tile_->files)) {
                session_ = tile_->files;
                ++dragSessions_;
            }
        }
        break;
    case MouseEventType::leftUp:
        if (pressOnTile_) {
            toLogic = false;
            pressOnTile_ = false;
            if (session_ && !(tile_ && tile_->frame.contains(event.point)))
                dropped = session_;
            session_.reset();
        }
        break;
    case MouseEventType::moved:
    case MouseEventType::scrollWheel:
        toLogic = !(tile_ && tile_->frame.contains(event.point));
        break;
    }
    logic_.postMouse(event, toLogic);
    if (dropped)
        logic_.dropFiles(*dropped, event.point);
}

// --- The screen.

Rect SimPlatform::mainFrame() {
    return mainScreen;
}

Rect SimPlatform::visibleFrame() {
    return {{0, menuBar}, {mainScreen.size.width, mainScreen.size.height - menuBar}};
}

// --- The drag tile.

void SimPlatform::showTile(const QStringList& files, const Rect& frame) {
    std::lock_guard lock(mutex_);
    tile_ = Tile{files, frame};
}

void SimPlatform::hideTile() {
    std::lock_guard lock(mutex_);
    tile_.reset();
    if (!session_)
        pressOnTile_ = false; // a drag already started goes on without its tile
}

} // namespace Vantrel
