#include "platform/DragGesture.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Vantrel;

namespace {

const QStringList twoFiles = {QStringLiteral("/a/KICK.wav"), QStringLiteral("/a/SNARE.wav")};

struct Step {
    enum { Press, Move } kind;
    Point at;
    bool startsDrag = false; // for moves: whether this move starts a drag
};

struct GestureCase {
    const char* name;
    QStringList files;
    std::vector<Step> steps;
};

void PrintTo(const GestureCase& c, std::ostream* os) {
    *os << c.name;
}

class DragGestureRule : public testing::TestWithParam<GestureCase> {};

// Verifies the press-and-move rule: only a move of more than 4 points from a press, with files
// to carry, starts a drag, and one press starts at most one.
TEST_P(DragGestureRule, shouldStartADragOnlyAfterAPressAndAMoveOfMoreThanFourPoints) {
    DragGesture gesture;
    int i = 0;
    for (const Step& step : GetParam().steps) {
        if (step.kind == Step::Press)
            gesture.press(step.at);
        else
            EXPECT_EQ(gesture.move(step.at, GetParam().files), step.startsDrag) << "step " << i;
        ++i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DragGestureRule,
    testing::Values(
        GestureCase{"noPress", twoFiles, {{Step::Move, {50, 50}, false}}},
        GestureCase{"fourPointsIsStillAClick",
                    twoFiles,
                    {{Step::Press, {10, 10}},
                     {Step::Move, {14, 10}, false},
                     {Step::Move, {10, 6}, false},
                     {Step::Move, {12.4, 13.2}, false}}},
        GestureCase{"justOverFourPoints",
                    twoFiles,
                    {{Step::Press, {10, 10}}, {Step::Move, {14.01, 10}, true}}},
        GestureCase{"diagonal", twoFiles, {{Step::Press, {10, 10}}, {Step::Move, {13, 13}, true}}},
        GestureCase{"emptyFileListNeverDrags",
                    {},
                    {{Step::Press, {10, 10}}, {Step::Move, {200, 200}, false}}},
        GestureCase{"onePressOneDrag",
                    twoFiles,
                    {{Step::Press, {10, 10}},
                     {Step::Move, {30, 10}, true},
                     {Step::Move, {60, 10}, false},
                     {Step::Press, {60, 10}},
                     {Step::Move, {62, 10}, false},
                     {Step::Move, {70, 10}, true}}},
        GestureCase{"laterPressReplacesEarlier",
                    twoFiles,
                    {{Step::Press, {10, 10}},
                     {Step::Press, {100, 100}},
                     {Step::Move, {103, 100}, false},
                     {Step::Move, {105, 100}, true}}}),
    [](const testing::TestParamInfo<GestureCase>& info) { return std::string(info.param.name); });

// Verifies that the press point is forgotten once a drag starts and kept while it is a click.
TEST(DragGesture, shouldForgetThePressWhenTheDragStarts) {
    DragGesture gesture;
    gesture.press({5, 5});
    EXPECT_FALSE(gesture.move({6, 6}, twoFiles));
    EXPECT_EQ(gesture.downPoint(), (Point{5, 5}));
    EXPECT_TRUE(gesture.move({20, 5}, twoFiles));
    EXPECT_FALSE(gesture.downPoint().has_value());
}

// Verifies that the icons of eight files fan out by 2 points per file, right and down, starting
// over after six, around the press point.
TEST(DragGesture, shouldFanTheIconsOutAndStartOverEverySixFiles) {
    const double expected[] = {0, 2, 4, 6, 8, 10, 0, 2};
    const Point press{100, 50};
    for (qsizetype i = 0; i < 8; ++i) {
        const double g = expected[i];
        EXPECT_EQ(DragGesture::iconOffset(i), g) << "file " << i;
        EXPECT_EQ(DragGesture::iconFrame(press, i), (Rect{{84 + g, 34 + g}, {32, 32}}))
            << "file " << i;
    }
}

} // namespace
