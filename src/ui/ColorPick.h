#pragma once

#include "core/Config.h"

#include <QAbstractButton>
#include <QFrame>
#include <QList>

#include <optional>

namespace Vantrel::Ui {

class ColorPopover;
class ThemeLabel;

// The colour of one rule group: a 22-point round swatch in the group's Logic colour (a slash
// icon when it has none), which opens the popover of Logic's colour grid below itself.
class ColorPick : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int side = 22;

    explicit ColorPick(QWidget* parent = nullptr);

    // The group's stored colour, as the configuration holds it.
    const std::optional<QList<int>>& color() const { return color_; }
    void setColor(const std::optional<QList<int>>& color);
    // The group's name as typed in the draft (not upper-cased).
    const QString& name() const { return name_; }
    void setName(const QString& name);
    // The cell shown: the stored colour, else the exact name's default; only cells of the grid.
    std::optional<Swatch> current() const;

    // The popover is shown.
    bool isOpen() const;
    // The popover while it exists (it is made on the first press), or null.
    ColorPopover* popover() const { return popover_; }

    QSize sizeHint() const override { return {side, side}; }

signals:
    // The user chose a colour in the popover: a cell [col, row], or the empty list of "No color".
    void colorPicked(const QList<int>& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void toggle();
    void pick(const QList<int>& color);

    std::optional<QList<int>> color_;
    QString name_;
    ColorPopover* popover_ = nullptr;
};

// The popover of a ColorPick: the heading, the 24 × 4 grid of Logic's colours with the current
// cell ringed in white, and "No color". A popup: a click elsewhere closes it.
class ColorPopover : public QFrame {
    Q_OBJECT

public:
    static constexpr int cellWidth = 18;
    static constexpr int cellHeight = 16;
    static constexpr int gap = 3;
    static constexpr int arrowHeight = 8;

    explicit ColorPopover(QWidget* parent = nullptr);

    // Shows the heading for this name and marks this cell.
    void present(const QString& name, std::optional<Swatch> current);
    // Places the popover below anchor (global coordinates), its arrow on the anchor's bottom
    // edge, inside the screen's available area, and shows it.
    void openBelow(const QRect& anchor);
    // Draws the popover as it would be shown below anchor, for pictures of the sheet.
    void placeBelow(const QRect& anchor);

    std::optional<Swatch> marked() const { return marked_; }
    QString heading() const;
    // Where the cell is drawn, in the popover's coordinates.
    QRect cellRect(int col, int row) const;
    // The horizontal position of the arrow's tip, in the popover's coordinates.
    int arrowX() const { return arrowX_; }

signals:
    void picked(const QList<int>& color);
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QRect gridRect() const;

    ThemeLabel* heading_;
    QWidget* grid_;
    std::optional<Swatch> marked_;
    int arrowX_ = 0;
};

} // namespace Vantrel::Ui
