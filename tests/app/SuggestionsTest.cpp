#include "app/AppModel.h"
#include "app/AppModelFixture.h"
#include "core/Config.h"
#include "core/Engine.h"
#include "core/Suggest.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <optional>

namespace Vantrel {

void PrintTo(const Suggestion& s, std::ostream* os) {
    *os << qPrintable(s.group) << " / " << qPrintable(s.reason) << " / " << qPrintable(s.word);
}

namespace {

using namespace AppTesting;

class SuggestionsTest : public AppModelFixture {
protected:
    // With the fixture's rules (DRUMS: KICK SNARE, BASS: BASS, VOCALS: VOX) the rules sort
    // only the kick; the vocabulary knows the rest or nothing.
    const QStringList files{"1KickIn.wav",  "2LeadVox.wav", "3Kick.wav",
                            "4Quattro.wav", "5ElecGtr.wav", "6Trumpet.wav"};

    static QUuid idOf(const AppModel& model, const char* fileName) {
        for (const Item& item : model.review().items())
            if (item.fileName() == QString::fromUtf8(fileName))
                return item.id;
        ADD_FAILURE() << "no item " << fileName;
        return {};
    }

    static std::optional<QString> groupOf(const AppModel& model, const char* fileName) {
        for (const Item& item : model.review().items())
            if (item.fileName() == QString::fromUtf8(fileName))
                return item.group;
        return std::nullopt;
    }
};

// Verifies which tracks get a suggestion, with its reason: only tracks without a group that
// the rules leave unsorted, and only for groups the rules have.
TEST_F(SuggestionsTest, shouldSuggestForTracksTheRulesLeaveUnsorted) {
    AppModel model(services());
    loadAndWait(model, makeFolder(QStringLiteral("Session"), files));

    struct Row {
        const char* file;
        std::optional<Suggestion> expected;
    } rows[] = {
        {"1KickIn.wav",
         Suggestion{"DRUMS", QStringLiteral("Kick in “KickIn”"), QStringLiteral("KICKIN")}},
        {"2LeadVox.wav", Suggestion{"VOCALS", QStringLiteral("VOX in “LeadVox”, short for vocals"),
                                    QStringLiteral("LEADVOX")}},
        {"3Kick.wav", std::nullopt},    // sorted by the rules
        {"4Quattro.wav", std::nullopt}, // nothing known
        {"5ElecGtr.wav", std::nullopt}, // the rules have no guitar group
        {"6Trumpet.wav", std::nullopt}, // belongs in no group
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        EXPECT_EQ(model.review().suggestion(idOf(model, row.file)), row.expected);
    }
    EXPECT_EQ(model.review().suggestionCount(), 2);
    EXPECT_EQ(model.review().suggestion(QUuid::createUuid()), std::nullopt);

    // A track the user takes out of the group the rules chose gets no suggestion.
    model.review().setGroup(idOf(model, "3Kick.wav"), std::nullopt);
    EXPECT_EQ(model.review().suggestion(idOf(model, "3Kick.wav")), std::nullopt);
    EXPECT_EQ(model.review().suggestionCount(), 2);
}

// Verifies that accepting one suggestion is a group change: numbering and names follow, the
// suggestion is gone and the word is offered to the rules.
TEST_F(SuggestionsTest, shouldAcceptOneSuggestionAndOfferItsWord) {
    AppModel model(services());
    loadAndWait(model, makeFolder(QStringLiteral("Session"), files));
    int offers = 0;
    QObject::connect(&model.review(), &ReviewSession::learnOfferChanged, [&offers] { ++offers; });

    model.review().acceptSuggestion(idOf(model, "1KickIn.wav"));

    EXPECT_EQ(groupOf(model, "1KickIn.wav"), QStringLiteral("DRUMS"));
    QStringList drums;
    for (const Item& item : model.review().items())
        if (item.group == QStringLiteral("DRUMS"))
            drums << item.newName;
    EXPECT_EQ(drums, (QStringList{"01_KICKIN.wav", "02_KICK.wav"}));
    EXPECT_EQ(model.review().suggestion(idOf(model, "1KickIn.wav")), std::nullopt);
    EXPECT_EQ(model.review().suggestionCount(), 1);
    ASSERT_TRUE(model.review().learnOffer());
    EXPECT_EQ(model.review().learnOffer()->word, QStringLiteral("KICKIN"));
    EXPECT_EQ(model.review().learnOffer()->group, QStringLiteral("DRUMS"));
    EXPECT_EQ(model.review().learnOffer()->question(),
              QStringLiteral("Add “KICKIN” to the words of DRUMS?"));
    EXPECT_EQ(offers, 1);

    // A track without a suggestion accepts nothing.
    const QList<Item> before = model.review().items();
    model.review().acceptSuggestion(idOf(model, "4Quattro.wav"));
    EXPECT_EQ(model.review().items(), before);
}

// Verifies that accepting all suggestions moves every suggested track in one change and offers
// no word.
TEST_F(SuggestionsTest, shouldAcceptAllSuggestionsAtOnce) {
    AppModel model(services());
    loadAndWait(model, makeFolder(QStringLiteral("Session"), files));
    int changes = 0;
    QObject::connect(&model.review(), &ReviewSession::itemsChanged, [&changes] { ++changes; });

    model.review().acceptAllSuggestions();

    EXPECT_EQ(changes, 1);
    EXPECT_EQ(groupOf(model, "1KickIn.wav"), QStringLiteral("DRUMS"));
    EXPECT_EQ(groupOf(model, "2LeadVox.wav"), QStringLiteral("VOCALS"));
    EXPECT_EQ(groupOf(model, "4Quattro.wav"), std::nullopt);
    EXPECT_EQ(model.review().unsortedCount(), 3);
    EXPECT_EQ(model.review().suggestionCount(), 0);
    EXPECT_EQ(model.review().learnOffer(), std::nullopt);

    model.review().acceptAllSuggestions();
    EXPECT_EQ(changes, 1);
}

// Verifies that an accepted offer adds the word to the group's words and saves the rules without
// undoing the user's group changes, and that the next scan sorts the name by the rules alone.
TEST_F(SuggestionsTest, shouldLearnTheWordAndSortItOnTheNextScan) {
    AppModel model(services());
    loadAndWait(model, makeFolder(QStringLiteral("Session"), files));
    model.review().setGroup(idOf(model, "3Kick.wav"), QStringLiteral("BASS"));
    model.review().declineLearnOffer();
    model.review().acceptSuggestion(idOf(model, "1KickIn.wav"));
    ASSERT_TRUE(model.review().learnOffer());

    model.review().acceptLearnOffer();
    EXPECT_EQ(model.review().learnOffer(), std::nullopt);
    EXPECT_TRUE(model.rules().config().groups[0].aliases.contains(QStringLiteral("KICKIN")));
    EXPECT_TRUE(Config::load().groups[0].aliases.contains(QStringLiteral("KICKIN")));
    EXPECT_FALSE(model.busyState().busy()) << "the folder is not read again";
    EXPECT_EQ(groupOf(model, "3Kick.wav"), QStringLiteral("BASS"));
    EXPECT_EQ(groupOf(model, "1KickIn.wav"), QStringLiteral("DRUMS"));
    EXPECT_TRUE(model.review().canUndo());

    loadAndWait(model, makeFolder(QStringLiteral("Next session"), {"01_KickIn.wav"}));
    EXPECT_EQ(model.review().items()[0].group, QStringLiteral("DRUMS"));
    EXPECT_EQ(model.review().suggestionCount(), 0);
}

// Verifies that accepting all suggestions in a folder organized before numbers the tracks after
// those already placed in their group folders, as a single acceptance does.
TEST_F(SuggestionsTest, shouldNumberAcceptedSuggestionsAfterThePlacedTracks) {
    const QString folder = makeFolder(QStringLiteral("Gig"), {"1Kick.wav", "2Snare.wav"});
    {
        AppModel first(services());
        loadAndWait(first, folder);
        approveAndWait(first);
    }
    Fixtures::touchAll(folder, {"3KickIn.wav", "4LeadVox.wav"});
    for (const bool all : {false, true}) {
        SCOPED_TRACE(all ? "all at once" : "one by one");
        AppModel model(services());
        loadAndWait(model, folder);
        if (all) {
            model.review().acceptAllSuggestions();
        } else {
            model.review().acceptSuggestion(idOf(model, "3KickIn.wav"));
            model.review().acceptSuggestion(idOf(model, "4LeadVox.wav"));
        }
        QStringList names;
        for (const Item& item : model.review().items())
            names << item.folder + QLatin1Char('/') + item.newName;
        names.sort();
        EXPECT_EQ(names, (QStringList{"01_DRUMS/03_KICKIN.wav", "03_VOCALS/01_LEADVOX.wav"}));
    }
}

// Verifies the offer after a move by hand: the first word of the name, once per word, only
// for a track that had no group, and put away by declining.
TEST_F(SuggestionsTest, shouldOfferEachWordOnceAfterAMoveByHand) {
    AppModel model(services());
    loadAndWait(model, makeFolder(QStringLiteral("Session"), files));

    model.review().setGroup(idOf(model, "4Quattro.wav"), QStringLiteral("BASS"));
    ASSERT_TRUE(model.review().learnOffer());
    EXPECT_EQ(model.review().learnOffer()->question(),
              QStringLiteral("Add “QUATTRO” to the words of BASS?"));
    model.review().declineLearnOffer();
    EXPECT_EQ(model.review().learnOffer(), std::nullopt);
    EXPECT_FALSE(Config::load().groups[1].aliases.contains(QStringLiteral("QUATTRO")));

    // Moved back and into another group: the word was offered already.
    model.review().setGroup(idOf(model, "4Quattro.wav"), std::nullopt);
    model.review().setGroup(idOf(model, "4Quattro.wav"), QStringLiteral("DRUMS"));
    EXPECT_EQ(model.review().learnOffer(), std::nullopt);

    // A track that had a group is not unsorted: nothing to learn.
    model.review().setGroup(idOf(model, "3Kick.wav"), QStringLiteral("BASS"));
    EXPECT_EQ(model.review().learnOffer(), std::nullopt);

    // A suggested track moved elsewhere by hand offers its own first word for that group.
    model.review().setGroup(idOf(model, "2LeadVox.wav"), QStringLiteral("BASS"));
    ASSERT_TRUE(model.review().learnOffer());
    EXPECT_EQ(model.review().learnOffer()->word, QStringLiteral("LEADVOX"));
    EXPECT_EQ(model.review().learnOffer()->group, QStringLiteral("BASS"));
}

} // namespace
} // namespace Vantrel
