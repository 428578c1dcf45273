#include "ui/UiFixture.h"

#include <QHelpEvent>
#include <QToolTip>

namespace Vantrel::UiTesting {
namespace {

class SuggestionsViewTest : public UiFixture {
protected:
    // With the small rules only the kick is sorted; the vocabulary suggests for two more.
    const QStringList session{"1KickIn.wav", "2LeadVox.wav", "3Kick.wav", "4Quattro.wav"};

    Ui::ReviewList* list() { return content().reviewView()->list(); }

    QModelIndex indexOf(const char* fileName) {
        QAbstractItemModel* m = list()->model();
        for (int row = 0; row < m->rowCount(); ++row)
            if (m->index(row, 0).data().toString() == QString::fromLatin1(fileName))
                return m->index(row, 0);
        ADD_FAILURE() << "no row " << fileName;
        return {};
    }

    QPoint suggestionCentre(const QModelIndex& index) {
        list()->scrollTo(index);
        QCoreApplication::processEvents();
        return Ui::RowDelegate::geometry(list()->visualRect(index)).suggestion.center().toPoint();
    }

    std::optional<QString> groupOf(const char* fileName) {
        for (const Item& item : model->review().items())
            if (item.fileName() == QString::fromLatin1(fileName))
                return item.group;
        return std::nullopt;
    }
};

// Verifies that unsorted rows show their suggestion with its reason as tooltip, and that the
// counts line offers to accept them all.
TEST_F(SuggestionsViewTest, unsortedRowsShowTheirSuggestionAndTheCountsOfferAll) {
    loadShown(makeFolder("Session", session));
    const struct {
        const char* file;
        const char* group;
        const char* reason;
    } rows[] = {{"1KickIn.wav", "DRUMS", "Kick in “KickIn”"},
                {"2LeadVox.wav", "VOCALS", "VOX in “LeadVox”, short for vocals"},
                {"3Kick.wav", "", ""},
                {"4Quattro.wav", "", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        const QModelIndex index = indexOf(row.file);
        EXPECT_EQ(index.data(Ui::ReviewModel::SuggestedGroupRole).toString(),
                  QString::fromUtf8(row.group));
        EXPECT_EQ(index.data(Ui::ReviewModel::SuggestionReasonRole).toString(),
                  QString::fromUtf8(row.reason));
    }
    EXPECT_EQ(indexOf("1KickIn.wav").data(Ui::ReviewModel::SuggestedColorIndexRole).toInt(), 0);

    auto* acceptAll = child<Ui::PillButton>("acceptAllButton");
    EXPECT_TRUE(acceptAll->isVisible());
    EXPECT_EQ(acceptAll->title(), QStringLiteral("Accept All Suggestions (2)"));
    EXPECT_FALSE(child<QWidget>("learnBar")->isVisible());

    // The reason shows as the tooltip of the suggestion.
    const QPoint at = suggestionCentre(indexOf("1KickIn.wav"));
    QHelpEvent help(QEvent::ToolTip, at, list()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list()->viewport(), &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Kick in “KickIn”"));
    QToolTip::hideText();
}

// Verifies that a click on a suggestion accepts it, that the learn offer then shows, and that
// adding the word makes the rules sort the track.
TEST_F(SuggestionsViewTest, aClickAcceptsTheSuggestionAndTheOfferTeachesTheRules) {
    loadShown(makeFolder("Session", session));

    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      suggestionCentre(indexOf("1KickIn.wav")));
    EXPECT_EQ(groupOf("1KickIn.wav"), QStringLiteral("DRUMS"));
    EXPECT_EQ(child<Ui::PillButton>("acceptAllButton")->title(),
              QStringLiteral("Accept All Suggestions (1)"));
    ASSERT_TRUE(child<QWidget>("learnBar")->isVisible());
    EXPECT_EQ(text("learnQuestion"), QStringLiteral("Add “KICKIN” to the words of DRUMS?"));

    // A click beside the suggestion of a row without one changes nothing.
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      suggestionCentre(indexOf("4Quattro.wav")));
    EXPECT_EQ(groupOf("4Quattro.wav"), std::nullopt);

    QTest::mouseClick(child<Ui::PillButton>("learnAddButton"), Qt::LeftButton);
    EXPECT_FALSE(child<QWidget>("learnBar")->isVisible());
    ASSERT_TRUE(waitUntilIdle(*model));
    QCoreApplication::processEvents();
    EXPECT_TRUE(Config::load().groups[0].aliases.contains(QStringLiteral("KICKIN")));
    // Read again with the new word: the rules sort the kick themselves.
    EXPECT_EQ(groupOf("1KickIn.wav"), QStringLiteral("DRUMS"));
    EXPECT_EQ(indexOf("1KickIn.wav").data(Ui::ReviewModel::SuggestedGroupRole).toString(),
              QString());
}

// Verifies that "Accept All Suggestions" moves every suggested track and then goes away, and
// that "Not Now" puts a learn offer away without changing the rules.
TEST_F(SuggestionsViewTest, acceptAllMovesEverySuggestedTrack) {
    loadShown(makeFolder("Session", session));
    QTest::mouseClick(child<Ui::PillButton>("acceptAllButton"), Qt::LeftButton);
    EXPECT_EQ(groupOf("1KickIn.wav"), QStringLiteral("DRUMS"));
    EXPECT_EQ(groupOf("2LeadVox.wav"), QStringLiteral("VOCALS"));
    EXPECT_EQ(groupOf("4Quattro.wav"), std::nullopt);
    EXPECT_FALSE(child<QWidget>("acceptAllButton")->isVisible());
    EXPECT_EQ(text("sortStatus"), QStringLiteral("1 needs a group"));

    model->review().setGroup(model->review().items()[3].id, QStringLiteral("BASS"));
    ASSERT_TRUE(child<QWidget>("learnBar")->isVisible());
    QTest::mouseClick(child<Ui::PillButton>("learnDismissButton"), Qt::LeftButton);
    EXPECT_FALSE(child<QWidget>("learnBar")->isVisible());
    EXPECT_FALSE(Config::load().groups[1].aliases.contains(QStringLiteral("QUATTRO")));
}

} // namespace
} // namespace Vantrel::UiTesting
