#pragma once

#include <QProgressBar>
#include <QWidget>

class QTimer;

namespace Vantrel {
class BusyState;
}

namespace Vantrel::Ui {

class PillButton;
class ThemeLabel;

// A progress bar tinted accent: determinate from 0 to 1000, or a moving bar while its range is
// empty (0, 0).
class ThemeProgressBar : public QProgressBar {
    Q_OBJECT

public:
    explicit ThemeProgressBar(int width, QWidget* parent = nullptr);
    // Shows fraction (0 to 1), or a moving bar for none.
    void setFraction(std::optional<double> fraction);
    // Where the moving bar is, 0 to 1 (for the screenshots).
    void setPhase(qreal phase);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTimer* timer_;
    qreal phase_ = 0;
};

// The busy screen laid over the whole window while the model is busy: the window dimmed, and a
// card with the mark, the title, the progress bar, the detail line and, for an approval,
// "Cancel". It takes every click and the keyboard focus, so nothing under it can be used.
class BusyView : public QWidget {
    Q_OBJECT

public:
    explicit BusyView(BusyState& state, QWidget* parent = nullptr);
    ThemeProgressBar* progressBar() const { return bar_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void refresh();

    BusyState& state_;
    QWidget* card_;
    ThemeLabel* title_;
    ThemeProgressBar* bar_;
    ThemeLabel* detail_;
    PillButton* cancel_;
};

} // namespace Vantrel::Ui
