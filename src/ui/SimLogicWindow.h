#pragma once

#include "platform/sim/SimLogic.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

class QMainWindow;
class QTimer;

namespace Vantrel {
class AppModel;
}

namespace Vantrel::Ui {

// One row of the simulated Logic Pro's track list as drawn.
struct SimRow {
    int track = 0; // index into the session's tracks
    QString name;  // the name shown (the text typed while its name field is open)
    bool isStack = false;
    bool folded = false;   // stacks: closed, members not shown
    bool member = false;   // in a stack: indented below it
    bool selected = false; // part of the selection
    bool editing = false;  // its name field is open
    QColor color;          // from Logic's palette; invalid when the track has none
    bool operator==(const SimRow&) const = default;
};

// The window "Logic Pro (simulated)": draws the session the simulated Logic Pro holds, read from
// its thread-safe snapshot on a timer (never from whoever drives it): the track list in order
// with stack rows, their disclosure state and their members indented, the names, the track
// colours from Logic's palette and the selection; and, while open, the stack sheet, the Color
// window, the alert and any other window. Its accessible description is the session as JSON
// (SimSession::toJson).
class SimLogicWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int refreshMs = 100;

    // logic must outlive the window.
    explicit SimLogicWindow(SimLogic& logic, QWidget* parent = nullptr);

    // The rows of the track list a session shows: folded stacks hide their members.
    static QList<SimRow> rows(const SimSession& session);
    // The display colour of a palette cell; invalid outside the grid.
    static QColor paletteColor(std::pair<int, int> cell);

    // Reads the snapshot now (the timer does it every refreshMs) and redraws when it changed.
    void refresh();
    const SimSession& session() const { return session_; }

    QSize sizeHint() const override { return {760, 560}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void describe();
    void paintTracks(QPainter& p, const QRectF& area);
    void paintSheet(QPainter& p);
    void paintColorWindow(QPainter& p);
    void paintAlert(QPainter& p);
    void paintOtherWindows(QPainter& p);

    SimLogic& logic_;
    SimSession session_;
    QTimer* timer_;
};

// Shows the window, in front of the others, whenever a send of the model starts, so that the
// user can watch Logic Pro build the session.
void openOnSend(SimLogicWindow& window, AppModel& model);

// Adds "Show Logic Pro (simulated)" to the main window's "Logic" menu: it shows the window in
// front of the others.
void addShowSimulatedLogic(QMainWindow& main, SimLogicWindow& window);

} // namespace Vantrel::Ui
