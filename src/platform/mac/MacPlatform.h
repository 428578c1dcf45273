#pragma once

// The platform seam on a Mac: the accessibility interface of HIServices (AXUIElement…), Quartz
// events (CGEvent…), Core Foundation values and the process list of libproc, all plain C. On
// macOS it is the program's backend; on Linux the same source is compiled against a double of
// those interfaces (tests/support/macapi) that runs the simulated Logic Pro behind them.

#include "platform/Platform.h"

#include <QString>

#include <memory>

namespace Vantrel {

class MacPlatform final : public Platform, private Accessibility, private Input, private Screen {
public:
    // Seconds a call to Logic Pro waits for an answer before it gives kAXErrorCannotComplete: set
    // on every application element made, so that one blocked call never eats a whole wait of
    // the sender's (the system's default is about 6 s).
    static constexpr float messagingTimeout = 1.0f;
    // Scroll-wheel events carry at most this many lines each (Apple calls -10 … +10 typical); a
    // larger request goes out as several events.
    static constexpr int maxWheelLines = 10;
    // A request of more lines than this is cut to it (a whole track list is far shorter).
    static constexpr int maxScrollLines = 1280;
    // The largest movement, in points, of one dragged event; a longer move of the pointer goes
    // out as several dragged events, each carrying its own movement.
    static constexpr double maxDragStep = 12.0;

    // On clock; the screen and the drag tile host are the caller's (Qt's, in the app), or, when
    // none is given, the main display's bounds read from Quartz and a host that shows nothing.
    explicit MacPlatform(Clock& clock, Screen* screen = nullptr, DragTileHost* tiles = nullptr);
    ~MacPlatform() override;
    MacPlatform(const MacPlatform&) = delete;
    MacPlatform& operator=(const MacPlatform&) = delete;

    Accessibility& accessibility() override { return *this; }
    Input& input() override { return *this; }
    Screen& screen() override { return screen_ ? *screen_ : *this; }
    DragTileHost& dragTiles() override;
    Clock& clock() override { return clock_; }
    std::shared_ptr<void> holdActivity(const QString& reason) override;

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

    struct State;
    Clock& clock_;
    Screen* screen_;
    DragTileHost* tiles_;
    std::unique_ptr<State> state_;
};

} // namespace Vantrel
