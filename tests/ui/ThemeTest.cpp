#include "ui/Theme.h"

#include "core/Palette.h"
#include "ui/Icons.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOption>
#include <QTest>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace Vantrel::Ui {
namespace {

class ThemeTest : public testing::Test {
protected:
    void TearDown() override { QApplication::setPalette(lightPalette()); }
};

// Renders a widget alone on a transparent image, without its parent's background.
QImage renderAlone(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

TEST_F(ThemeTest, aColourResolvesToItsLightOrDarkValueWithTheApplicationPalette) {
    struct Case {
        const char* name;
        DynamicColor color;
        QRgb light;
        QRgb dark;
    };
    const Case cases[] = {
        {"bg", Brismo::bg, 0xFFF4EFE6, 0xFF0E0D0B},
        {"card", Brismo::card, 0xFFFBF8F2, 0xFF171512},
        {"ink", Brismo::ink, 0xFF1B1812, 0xFFF6F1E7},
        {"muted", Brismo::muted, 0xFF6B655C, 0xFF8F897E},
        {"line", Brismo::line, 0xFFD6D0C7, 0xFF32302B},
        {"inner", Brismo::inner, 0xFFE8E3DA, 0xFF1F1D19},
        {"accent", Brismo::accent, 0xFF1B1812, 0xFFF6F1E7},
        {"accentInk", Brismo::accentInk, 0xFFFBF8F2, 0xFF0E0D0B},
        {"orange", Brismo::orange, 0xFFEF7D2D, 0xFFFF9447},
        {"warn", Brismo::warn, 0xFF845B13, 0xFFE5A93D},
        {"leaf", Brismo::leaf, 0xFF13733B, 0xFF4AE08A},
    };
    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? darkPalette() : lightPalette());
        ASSERT_EQ(darkAppearance(), dark);
        for (const Case& c : cases)
            EXPECT_EQ(c.color.color().rgba(), dark ? c.dark : c.light)
                << c.name << " dark=" << dark;
    }
}

// WCAG contrast ratio of two opaque colours.
double contrast(QColor a, QColor b) {
    const auto luminance = [](QColor c) {
        const auto channel = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(ThemeTest, everyTextColourReadsAtFourAndAHalfToOneOnEveryBackground) {
    const struct {
        const char* name;
        DynamicColor color;
    } texts[] = {{"ink", Brismo::ink},
                 {"muted", Brismo::muted},
                 {"warn", Brismo::warn},
                 {"leaf", Brismo::leaf}};
    const struct {
        const char* name;
        DynamicColor color;
    } backgrounds[] = {{"bg", Brismo::bg}, {"card", Brismo::card}, {"inner", Brismo::inner}};
    for (const bool dark : {false, true})
        for (const auto& t : texts)
            for (const auto& b : backgrounds)
                EXPECT_GE(contrast(t.color.resolve(dark), b.color.resolve(dark)), 4.5)
                    << t.name << " on " << b.name << (dark ? " (dark)" : " (light)");
}

// Verifies that a field's and a check box's edges are drawn in fieldEdge, which stands out at 3:1
// from every background in both appearances (Fusion's own outline nearly vanishes in dark mode).
TEST_F(ThemeTest, fieldsAndCheckBoxesKeepAVisibleEdgeInBothAppearances) {
    const DynamicColor backgrounds[] = {Brismo::bg, Brismo::card, Brismo::inner};
    const auto near = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                   std::abs(a.blue() - b.blue()) <=
               24;
    };
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        for (const DynamicColor& b : backgrounds)
            EXPECT_GE(contrast(Brismo::fieldEdge.resolve(dark), b.resolve(dark)), 3.0);
        QApplication::setPalette(dark ? darkPalette() : lightPalette());
        QWidget host;
        auto* field = new QLineEdit(&host);
        auto* box = new QCheckBox(QStringLiteral("Box"), &host);
        field->setFocusPolicy(Qt::NoFocus); // the focus ring is ink, not the edge
        box->setFocusPolicy(Qt::NoFocus);
        field->setGeometry(0, 0, 200, 28);
        box->setGeometry(0, 40, 200, 24);
        host.resize(220, 80);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        const QColor edge = Brismo::fieldEdge.resolve(dark);
        const QImage fieldImage = field->grab().toImage();
        EXPECT_TRUE(near(fieldImage.pixelColor(field->width() / 2, 0), edge))
            << fieldImage.pixelColor(field->width() / 2, 0).name().toStdString();
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect indicator =
            box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        const QImage boxImage = box->grab().toImage();
        const QColor side = boxImage.pixelColor(indicator.left(), indicator.center().y());
        EXPECT_TRUE(near(side, edge)) << side.name().toStdString();
    }
}

// Verifies that a wrapped text whose last line would hold one word alone is narrowed until its
// lines are even, keeping their number.
TEST_F(ThemeTest, aWrappedTextLeavesNoLoneWordOnItsLastLine) {
    ThemeLabel label(QString(), 17, QFont::Light, Brismo::muted);
    const QFontMetrics metrics(label.font());
    const QString five = QStringLiteral("word word word word word");
    const int maxWidth = metrics.horizontalAdvance(five) + 4;
    label.setWrappedText(five + QStringLiteral(" word"), maxWidth); // greedy: 5 + a lone 1
    EXPECT_LT(label.width(), maxWidth);
    QTextLayout layout(label.text(), label.font());
    layout.beginLayout();
    QStringList lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label.width());
        lines << label.text().mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    EXPECT_EQ(lines, QStringList({"word word word", "word word word"}));
    EXPECT_EQ(label.height(), label.heightForWidth(maxWidth)) << "as many lines as before";

    // The same label given another text is sized for it as a new label would be, not measured
    // against the size fixed for the text before.
    const QString note = QStringLiteral(
        "30 Dateien in ihre Ordner verschoben: nichts kopiert, kein zusätzlicher Platz belegt.");
    ThemeLabel fresh(QString(), 17, QFont::Light, Brismo::muted);
    fresh.setWrappedText(note, maxWidth);
    for (const QString& before :
         {note + QLatin1Char(' ') + note + QLatin1Char(' ') + note, QStringLiteral("word")}) {
        label.setWrappedText(before, maxWidth);
        label.setWrappedText(note, maxWidth);
        EXPECT_EQ(label.size(), fresh.size());
        EXPECT_GE(label.height(),
                  metrics.boundingRect(QRect(0, 0, label.width(), 10000), Qt::TextWordWrap, note)
                      .height());
    }

    // A single word, or a line of one long word and short ones, keeps its words whole.
    for (const QString& text :
         {QStringLiteral("Review"), QStringLiteral("Send"), QStringLiteral("a Spurstapel b")}) {
        SCOPED_TRACE(text.toStdString());
        label.setWrappedText(text, 120);
        for (const QString& word : text.split(QLatin1Char(' ')))
            EXPECT_GE(label.width(), metrics.horizontalAdvance(word));
    }
}

TEST_F(ThemeTest, theKeyboardFocusRingIsDrawnInInk) {
    for (const bool primary : {false, true}) {
        SCOPED_TRACE(primary ? "primary" : "secondary");
        QWidget host;
        auto* before = new PillButton(QStringLiteral("Before"), false, &host);
        auto* button = new PillButton(QStringLiteral("Focus"), primary, &host);
        before->move(0, 0);
        button->move(0, 60);
        host.resize(300, 120);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
        before->setFocus(Qt::OtherFocusReason);
        button->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(button->hasFocus());
        const QImage image = button->grab().toImage();
        // The ring runs along the middle of the capsule's straight top edge.
        const QColor ring = image.pixelColor(button->width() / 2, 1);
        const QColor expected = (primary ? Brismo::accentInk : Brismo::ink).color();
        EXPECT_LE(std::abs(ring.red() - expected.red()) +
                      std::abs(ring.green() - expected.green()) +
                      std::abs(ring.blue() - expected.blue()),
                  60)
            << ring.name().toStdString() << " vs " << expected.name().toStdString();
    }
}

TEST_F(ThemeTest, anyPaletteWhoseWindowIsDarkerThanItsTextIsTheDarkAppearance) {
    struct Case {
        QColor window, text;
        bool dark;
    };
    const Case cases[] = {
        {Qt::white, Qt::black, false},
        {QColor(0x20, 0x20, 0x20), QColor(0xEE, 0xEE, 0xEE), true},
        {QColor(0x60, 0x60, 0x60), QColor(0x10, 0x10, 0x10), false},
    };
    for (const Case& c : cases) {
        QPalette p;
        p.setColor(QPalette::Window, c.window);
        p.setColor(QPalette::WindowText, c.text);
        QApplication::setPalette(p);
        EXPECT_EQ(darkAppearance(), c.dark) << c.window.name().toStdString();
        // The top byte of a value never shows: colours are opaque.
        EXPECT_EQ(DynamicColor({0xAA112233, 0x55445566}).color().rgba(),
                  c.dark ? 0xFF445566u : 0xFF112233u);
    }
}

TEST_F(ThemeTest, aCellsDisplayColourIsItsTableValueAsAnOpaqueSrgbColour) {
    EXPECT_EQ(opaqueColor(LogicPalette::hex()[0][0]), QColor::fromRgb(200, 90, 47));
    EXPECT_EQ(opaqueColor(LogicPalette::hex()[3][23]), QColor::fromRgb(99, 47, 91));
    for (int row = 0; row < LogicPalette::rows; ++row)
        for (int col = 0; col < LogicPalette::columns; ++col)
            EXPECT_EQ(opaqueColor(LogicPalette::hex()[row][col]).rgba(),
                      0xFF000000u | LogicPalette::hex()[row][col])
                << col << "," << row;
}

TEST_F(ThemeTest, groupColoursRepeatAfterTheEleventhPosition) {
    const struct {
        int position;
        std::size_t entry;
    } cases[] = {{0, 0}, {10, 10}, {11, 0}, {12, 1}, {22, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(&Brismo::groupColor(c.position), &Brismo::groupColors[c.entry]) << c.position;
}

TEST_F(ThemeTest, aDisabledPillButtonIsDrawnAtThirtyFivePercentOpacity) {
    for (const bool primary : {true, false}) {
        PillButton button(QStringLiteral("Approve"), primary);
        button.resize(button.sizeHint());
        const QPoint middleLeft(button.height() / 2, 4); // fill, clear of the text
        const int enabledAlpha = qAlpha(renderAlone(button).pixel(middleLeft));
        button.setEnabled(false);
        const int disabledAlpha = qAlpha(renderAlone(button).pixel(middleLeft));
        EXPECT_EQ(enabledAlpha, 255) << primary;
        EXPECT_NEAR(disabledAlpha, 0.35 * 255, 2) << primary;
    }
}

TEST_F(ThemeTest, aPrimaryPillHasNoBorderAndASecondaryOneALineBorderInsideItsCapsule) {
    for (const bool primary : {true, false}) {
        PillButton button(QStringLiteral("Rules…"), primary);
        button.resize(button.sizeHint());
        const QImage image = renderAlone(button);
        const QColor edge = image.pixelColor(button.width() / 2, 0);
        const QColor fill = image.pixelColor(button.width() / 2, 3);
        EXPECT_EQ(fill.rgb(), (primary ? Brismo::accent : Brismo::inner).color().rgb()) << primary;
        EXPECT_EQ(edge.rgb(), (primary ? Brismo::accent : Brismo::line).color().rgb()) << primary;
    }
}

TEST_F(ThemeTest, aPressedPillShrinksToNinetySevenPercentAndSpringsBackOnRelease) {
    PillButton button(QStringLiteral("Cancel"), false);
    button.resize(button.sizeHint());
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    EXPECT_DOUBLE_EQ(button.scale(), 1.0);
    QTest::mousePress(&button, Qt::LeftButton, {}, button.rect().center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return qFuzzyCompare(button.scale(), 0.97); }, 3000));
    // A pressed capsule is drawn smaller: its left edge is clear.
    EXPECT_EQ(qAlpha(renderAlone(button).pixel(0, button.height() / 2)), 0);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, button.rect().center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return qFuzzyCompare(button.scale(), 1.0); }, 3000));
}

TEST_F(ThemeTest, thePressSpringOvershootsOnceAndSettles) {
    // Response 0.25 s and damping fraction 0.7: a damped oscillation of period
    // 0.25 / sqrt(1 - 0.49) s, whose first peak lies half a period in, about 4.6 % over.
    const double halfPeriod = 0.25 / std::sqrt(1 - 0.49) / 2;
    EXPECT_DOUBLE_EQ(PillButton::springStep(0), 0);
    EXPECT_NEAR(PillButton::springStep(halfPeriod), 1 + std::exp(-0.7 * M_PI / std::sqrt(0.51)),
                1e-9);
    EXPECT_LT(PillButton::springStep(halfPeriod / 2), 1);
    EXPECT_NEAR(PillButton::springStep(PillButton::settleMs / 1000.0), 1, 1e-3);
}

TEST_F(ThemeTest, theMarkScalesByTheShorterSideFromTheTopLeftCorner) {
    // In a 72 × 60 box the scale is 0.5: the oval spans x 12 to 48 and y 11 to 57.
    QImage image(72, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        BrismoMark::paintMark(p, QSizeF(72, 60));
    }
    const QRgb orange = Brismo::orange.color().rgb();
    EXPECT_EQ(image.pixel(14, 34), orange);    // left part of the oval
    EXPECT_EQ(image.pixel(46, 34), orange);    // right part of the oval
    EXPECT_EQ(qAlpha(image.pixel(52, 34)), 0); // right of it: not centred in the box
    EXPECT_EQ(qAlpha(image.pixel(30, 58)), 0); // below it
    EXPECT_EQ(image.pixel(36, 6), Brismo::leaf.color().rgb()); // in the leaf (72, 12) / 2
}

TEST_F(ThemeTest, everyNamedSymbolDrawsItsVendoredIconInTheTint) {
    const QStringList symbols{"folder.badge.plus",
                              "checkmark.circle.fill",
                              "exclamationmark.triangle.fill",
                              "arrow.right",
                              "trash",
                              "slash.circle",
                              "chevron.right",
                              "checklist",
                              "paperplane",
                              "checkmark.shield.fill",
                              "hand.raised",
                              "circle",
                              "music.note.house",
                              "computermouse",
                              "globe",
                              "arrow.uturn.backward"};
    const QColor tint = QColor::fromRgb(0x1A, 0x8F, 0x4A);
    for (const QString& symbol : symbols) {
        const QString resource = Icons::resourceFor(symbol);
        ASSERT_FALSE(resource.isEmpty()) << symbol.toStdString();
        EXPECT_EQ(resource.contains(QLatin1String("/fill/")), symbol.endsWith(".fill"))
            << symbol.toStdString();
        const QImage image = Icons::pixmap(symbol, tint, 32, 2).toImage();
        int inked = 0;
        bool onlyTint = true;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() == 255) {
                    ++inked;
                    onlyTint = onlyTint && c.rgb() == tint.rgb();
                }
            }
        EXPECT_GT(inked, 20) << symbol.toStdString();
        EXPECT_TRUE(onlyTint) << symbol.toStdString();
    }
    EXPECT_TRUE(Icons::resourceFor(QStringLiteral("no.such.symbol")).isEmpty());
}

TEST_F(ThemeTest, switchingThePaletteRecoloursAShownTextWithoutRebuildingIt) {
    ThemeLabel label(QStringLiteral("Drop your session folder"), 20, QFont::Light, Brismo::ink);
    label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
    EXPECT_EQ(label.palette().color(QPalette::WindowText), Brismo::ink.resolve(false));
    QApplication::setPalette(darkPalette());
    QCoreApplication::processEvents(); // Qt posts the change to every widget
    EXPECT_EQ(label.palette().color(QPalette::WindowText), Brismo::ink.resolve(true));
}

} // namespace
} // namespace Vantrel::Ui
