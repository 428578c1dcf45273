#pragma once

#include "ui/Theme.h"

#include <QAbstractButton>
#include <QLabel>
#include <QProxyStyle>
#include <QWidget>

class QVariantAnimation;

class QAbstractScrollArea;

namespace Vantrel::Ui {

// A text in a theme colour and a system font; recolours itself when the appearance changes.
class ThemeLabel : public QLabel {
    Q_OBJECT

public:
    ThemeLabel(const QString& text, qreal points, QFont::Weight weight, DynamicColor color,
               QWidget* parent = nullptr);
    void setColor(DynamicColor color);
    // Sets a wrapping text centred in a column: as wide as the text up to maxWidth, narrowed to
    // even lines as long as their number stays (no lone word on a last line), as high as its
    // lines at that width (a centred item of a box layout gets no height for its width). A later
    // change of font (a style applied when the label is shown) sizes it again.
    void setWrappedText(const QString& text, int maxWidth);
    // Extra space between letters, in points.
    void setTracking(qreal points);

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyColor();
    void fitWrappedText();
    DynamicColor color_;
    int wrapWidth_ = 0; // the widest a wrapped text may be; 0 when the text is not wrapped
};

// A system symbol drawn square in a theme colour, resolved at drawing time.
class SymbolView : public QWidget {
    Q_OBJECT

public:
    SymbolView(const QString& symbol, int size, DynamicColor color, QWidget* parent = nullptr);
    void setSymbol(const QString& symbol, DynamicColor color);
    const QString& symbol() const { return symbol_; }
    QSize sizeHint() const override { return {size_, size_}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
    int size_;
    DynamicColor color_;
};

// The capsule button of every text button: primary (accent fill, accentInk text) or secondary
// (inner fill, line border, ink text); 35 % opacity when disabled; shrinks to 97 % while
// pressed and springs back, with a spring of response 0.25 s and damping fraction 0.7.
class PillButton : public QAbstractButton {
    Q_OBJECT

public:
    PillButton(const QString& text, bool primary, QWidget* parent = nullptr);

    // The label as shown. QAbstractButton's text holds it with "&" doubled, so that no
    // mnemonic is made and the accessible name reads the label itself.
    void setTitle(const QString& title);
    const QString& title() const { return title_; }
    bool primary() const { return primary_; }
    // Switches between the primary and the secondary look.
    void setPrimary(bool primary);
    // The scale drawn now (1 at rest, 0.97 held down, in between while springing).
    qreal scale() const { return scale_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // The spring's position at time t seconds after it was let go from 0 towards 1.
    static qreal springStep(qreal seconds);
    // The time after which the spring is drawn at rest.
    static constexpr int settleMs = 600;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void springTo(qreal target);

    // The focus came from the keyboard (Tab): the focus ring shows.
    bool keyboardFocus_ = false;
    QString title_;
    bool primary_;
    qreal scale_ = 1.0;
    QVariantAnimation* spring_;
};

// The brand mark drawn in a 120 × 120 design space, scaled by min(width, height) / 120 from the
// top-left corner.
class BrismoMark : public QWidget {
    Q_OBJECT

public:
    explicit BrismoMark(int side, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {side_, side_}; }
    // Draws the mark for a box of this size with the painter's origin at its top left.
    static void paintMark(QPainter& painter, const QSizeF& box);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int side_;
};

// The mark, "Vantrel" and the brand line, in one row.
class Wordmark : public QWidget {
    Q_OBJECT

public:
    explicit Wordmark(QWidget* parent = nullptr);
};

// A widget painted as a card: a rounded rectangle (radius 14) filled card and bordered line.
class Card : public QWidget {
    Q_OBJECT

public:
    explicit Card(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Gives a scroll area thin scroll bars in the theme's colours: a rounded handle in line on a
// clear track, no arrow buttons, kept clear of a card's rounded corners by margins at both
// ends; they follow the appearance when it changes.
void useThinScrollBars(QAbstractScrollArea* area);

// The application's style: Fusion with the edges of fields and check boxes drawn in the theme's
// fieldEdge, which stays visible in dark mode where Fusion's own outline (the window colour
// darkened) is not; a checked box is filled with the accent. Installed by useThemeStyle.
class ThemeStyle : public QProxyStyle {
    Q_OBJECT

public:
    ThemeStyle();
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

// Makes ThemeStyle the application's style.
void useThemeStyle();

// Paints a rounded rectangle of radius 14 with a 1 wide border inside its edge.
void paintCard(QPainter& painter, const QRectF& rect, const QColor& fill, const QColor& border);

} // namespace Vantrel::Ui
