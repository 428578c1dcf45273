#pragma once

// The platform seam on this machine: a simulated desktop (screen, this program's drag tile,
// synthetic input) with a simulated Logic Pro (SimLogic) as the only other application.

#include "platform/DragGesture.h"
#include "platform/Platform.h"
#include "platform/sim/SimLogic.h"
#include "platform/sim/SimSystemSettings.h"

#include <QList>
#include <QStringList>

#include <memory>
#include <mutex>
#include <optional>

namespace Vantrel {

class SimPlatform final : public Platform,
                          private Accessibility,
                          private Input,
                          private Screen,
                          private DragTileHost {
public:
    // Logic running, trusted, with an empty project open, on the machine's clock.
    SimPlatform();
    // The same on the given clock (which must outlive the platform), with these quirks switched
    // on; throws std::invalid_argument for an unknown quirk name.
    explicit SimPlatform(Clock& clock, const QStringList& quirks = {});
    // The app's world: Logic running with an empty project, on the machine's clock, and this
    // program trusted exactly while its switch under Accessibility in the system's settings is
    // on (which must outlive the platform); a switch turned takes effect at once.
    explicit SimPlatform(SimSystemSettings& system);
    ~SimPlatform() override;

    // The simulated Logic Pro, for switches, snapshots and counters.
    SimLogic& logic() { return logic_; }

    Accessibility& accessibility() override { return *this; }
    Input& input() override { return *this; }
    Screen& screen() override { return *this; }
    DragTileHost& dragTiles() override { return *this; }
    Clock& clock() override { return clock_; }

    // --- Test control: what was posted and shown.

    // The tile shown now, if any.
    std::optional<Rect> tileFrame() const;
    QStringList tileFiles() const;
    // How many drag sessions the tile has started.
    int dragSessions() const;
    // Every event posted, in order.
    QList<KeyEvent> postedKeys() const;
    QList<MouseEvent> postedMouse() const;

private:
    bool isTrusted() override;
    void promptForTrust() override;
    QList<RunningApp> runningApplications(const QString& bundleId) override;
    bool activate(const RunningApp& app) override;
    Element applicationElement(std::int64_t pid) override;
    AttributeRead attribute(const Element& element, const QString& name) override;
    QList<AttributeRead> attributes(const Element& element, const QStringList& names) override;
    int setAttribute(const Element& element, const QString& name, const AXValue& value) override;
    int performAction(const Element& element, const QString& action) override;
    QStringList actionNames(const Element& element) override;
    void postKey(const KeyEvent& event) override;
    void postMouse(const MouseEvent& event) override;
    Rect mainFrame() override;
    Rect visibleFrame() override;
    void showTile(const QStringList& files, const Rect& frame) override;
    void hideTile() override;

    std::unique_ptr<Clock> ownClock_;
    Clock& clock_;
    SimLogic logic_;
    SimSystemSettings* system_ = nullptr;
    int systemObservation_ = 0;

    mutable std::mutex mutex_; // the tile, the drag session and the records below
    struct Tile {
        QStringList files;
        Rect frame;
    };
    std::optional<Tile> tile_;
    DragGesture gesture_;
    bool pressOnTile_ = false;
    std::optional<QStringList> session_; // the files of the drag in progress
    int dragSessions_ = 0;
    QList<KeyEvent> keys_;
    QList<MouseEvent> mouse_;
};

} // namespace Vantrel
