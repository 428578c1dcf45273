// The drag tile: which mouse gestures start a drag, what the drag carries and offers, and how the
// full and the compact tile are drawn in the light and the dark appearance.

#include "ui/DragSourceView.h"

#include "ui/Theme.h"

#include <QApplication>
#include <QDrag>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <vector>

namespace Vantrel::UiTesting {
namespace {

using Ui::DragSourceView;

QStringList filesNamed(int n) {
    QStringList files;
    for (int i = 1; i <= n; ++i)
        files << QStringLiteral("/sessions/Gig/%1_TRACK.wav").arg(i, 2, 10, QLatin1Char('0'));
    return files;
}

void send(QWidget& w, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, w.mapToGlobal(at), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &event);
}

struct Step {
    enum { Press, Move, Release } kind;
    QPointF at;
};

struct GestureCase {
    const char* name;
    int files;
    std::vector<Step> steps;
    int drags;
};

// A tile 336 × 110 whose drags are recorded instead of run.
struct Tile {
    DragSourceView view;
    struct Started {
        QList<QUrl> urls;
        QList<DragSourceView::DragItem> items;
        Qt::DropActions offered;
        QPoint hotSpot;
        QSize picture;
    };
    QList<Started> drags;

    explicit Tile(int files) {
        view.resize(336, 110);
        view.setFiles(filesNamed(files));
        view.setDragRunner([this](QDrag& drag, const QList<DragSourceView::DragItem>& items,
                                  Qt::DropActions offered) {
            drags.append({drag.mimeData()->urls(), items, offered, drag.hotSpot(),
                          drag.pixmap().deviceIndependentSize().toSize()});
        });
    }
    void play(const std::vector<Step>& steps) {
        bool down = false;
        for (const Step& s : steps) {
            switch (s.kind) {
            case Step::Press:
                down = true;
                send(view, QEvent::MouseButtonPress, s.at, Qt::LeftButton);
                break;
            case Step::Move:
                send(view, QEvent::MouseMove, s.at, down ? Qt::LeftButton : Qt::NoButton);
                break;
            case Step::Release:
                down = false;
                send(view, QEvent::MouseButtonRelease, s.at, Qt::NoButton);
                break;
            }
        }
    }
};

// Verifies which gestures on the tile start a drag: only a move of more than 4 points with the
// button held after a press, never with no files, and one drag per press.
TEST(DragSourceViewTest, startsOneDragPerPressOnlyAfterAMoveOfMoreThanFourPoints) {
    const GestureCase cases[] = {
        {"press and release", 3, {{Step::Press, {50, 50}}, {Step::Release, {50, 50}}}, 0},
        {"move of 4 points",
         3,
         {{Step::Press, {50, 50}}, {Step::Move, {54, 50}}, {Step::Move, {50, 46}}},
         0},
        {"move of 5 points", 3, {{Step::Press, {50, 50}}, {Step::Move, {53, 54}}}, 1},
        {"release, then a move without the button",
         3,
         {{Step::Press, {50, 50}}, {Step::Release, {50, 50}}, {Step::Move, {90, 90}}},
         0},
        {"no files", 0, {{Step::Press, {50, 50}}, {Step::Move, {150, 90}}}, 0},
        {"moving on after a drag started",
         3,
         {{Step::Press, {50, 50}}, {Step::Move, {60, 50}}, {Step::Move, {90, 50}}},
         1},
        {"a new press for the second drag",
         3,
         {{Step::Press, {50, 50}},
          {Step::Move, {60, 50}},
          {Step::Release, {60, 50}},
          {Step::Press, {20, 20}},
          {Step::Move, {20, 30}}},
         2},
        {"a move without any press", 3, {{Step::Move, {90, 90}}}, 0},
    };
    for (const GestureCase& c : cases) {
        SCOPED_TRACE(c.name);
        Tile tile(c.files);
        tile.play(c.steps);
        EXPECT_EQ(tile.drags.size(), c.drags);
    }
}

// Verifies what one drag of eight files carries: their file URLs in order, copy as the only
// action, and their icons 32 × 32 centred on the press (not where the drag began) and fanned out
// by 0, 2, 4, 6, 8, 10, 0, 2 points right and down.
TEST(DragSourceViewTest, dragsTheFilesAsURLsForCopyingWithTheirIconsFannedFromThePress) {
    Tile tile(8);
    tile.play({{Step::Press, {100, 40}}, {Step::Move, {104, 44}}, {Step::Move, {120, 60}}});
    ASSERT_EQ(tile.drags.size(), 1);
    const Tile::Started& drag = tile.drags.first();

    QList<QUrl> expected;
    for (const QString& f : filesNamed(8))
        expected << QUrl::fromLocalFile(f);
    EXPECT_EQ(drag.urls, expected);
    EXPECT_EQ(drag.offered, Qt::DropActions(Qt::CopyAction));

    const int offsets[] = {0, 2, 4, 6, 8, 10, 0, 2};
    ASSERT_EQ(drag.items.size(), 8);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(drag.items[i].url, expected[i]);
        EXPECT_EQ(drag.items[i].icon, QRectF(84 + offsets[i], 24 + offsets[i], 32, 32));
    }
    // The picture holds the whole fan, held at the first icon's centre.
    EXPECT_EQ(drag.picture, QSize(42, 42));
    EXPECT_EQ(drag.hotSpot, QPoint(16, 16));
}

// The colour a pixel of the tile shows when drawn over white.
QColor overWhite(DragSourceView& view, QPoint at) {
    QImage image(view.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image.pixelColor(at);
}

QColor blendOverWhite(const QColor& c) {
    const auto mix = [&c](float v) { return qRound((v * c.alphaF() + (1 - c.alphaF())) * 255); };
    return QColor(mix(c.redF()), mix(c.greenF()), mix(c.blueF()));
}

void expectNear(const QColor& actual, const QColor& expected) {
    EXPECT_NEAR(actual.red(), expected.red(), 2) << actual.name().toStdString();
    EXPECT_NEAR(actual.green(), expected.green(), 2) << actual.name().toStdString();
    EXPECT_NEAR(actual.blue(), expected.blue(), 2) << actual.name().toStdString();
}

// Verifies the full tile's fill and dashed outline in both appearances, switched on the running
// application: light orange at 10 %, dark orange at 14 %, the outline opaque; the rounded
// corners leave the tile's very corner unpainted.
TEST(DragSourceViewTest, theFullTileRecoloursWithTheAppearance) {
    struct Case {
        const char* name;
        bool dark;
        QColor fill, stroke;
    };
    const Case cases[] = {
        {"light", false, QColor::fromRgbF(0.937f, 0.49f, 0.176f, 0.1f),
         QColor::fromRgbF(0.937f, 0.49f, 0.176f)},
        {"dark", true, QColor::fromRgbF(1.0f, 0.58f, 0.28f, 0.14f),
         QColor::fromRgbF(1.0f, 0.58f, 0.28f)},
    };
    DragSourceView view;
    view.resize(340, 110);
    view.setTitle(QStringLiteral("24 tracks, ready for Logic"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QApplication::setPalette(c.dark ? Ui::darkPalette() : Ui::lightPalette());
        QCoreApplication::processEvents();
        // Inside, clear of the texts: the fill over white.
        expectNear(overWhite(view, {40, 20}), blendOverWhite(c.fill));
        // The outline along the left edge, drawn at twice the resolution so that a pixel lies
        // wholly inside the 1.5-point line (from 0.25 to 1.75): its dashes are the opaque
        // stroke colour.
        QImage sharp(view.size() * 2, QImage::Format_ARGB32);
        sharp.setDevicePixelRatio(2);
        sharp.fill(Qt::white);
        view.render(&sharp, QPoint(), QRegion(), QWidget::DrawChildren);
        int dashPixels = 0;
        for (int y = 60; y < 160; ++y) {
            const QColor px = sharp.pixelColor(2, y);
            dashPixels += qAbs(px.red() - c.stroke.red()) <= 2 &&
                          qAbs(px.green() - c.stroke.green()) <= 2 &&
                          qAbs(px.blue() - c.stroke.blue()) <= 2;
        }
        EXPECT_GT(dashPixels, 20) << "no dash in the stroke colour on the left edge";
        EXPECT_LT(dashPixels, 100) << "the outline is not dashed";
        EXPECT_EQ(overWhite(view, {0, 0}), QColor(Qt::white));
    }
    QApplication::setPalette(Ui::lightPalette());
}

// Verifies the compact tile: solid orange up to its corners, its title in white.
TEST(DragSourceViewTest, theCompactTileIsSolidOrangeWithAWhiteTitle) {
    DragSourceView view;
    view.resize(120, 70);
    view.setCompact(true);
    view.setTitle(QStringLiteral("12 files"));
    const QImage image = view.grab().toImage();
    const QColor orange(240, 125, 46);
    for (const QPoint at : {QPoint(0, 0), QPoint(119, 69), QPoint(110, 10)})
        EXPECT_EQ(image.pixelColor(at), orange) << at.x() << "," << at.y();
    int white = 0;
    for (int x = 14; x < 110; ++x)
        for (int y = 20; y < 46; ++y)
            white += image.pixelColor(x, y).lightness() > 230;
    EXPECT_GT(white, 20) << "the title is not drawn in white";
}

} // namespace
} // namespace Vantrel::UiTesting
