#include "core/Suggest.h"

#include "core/Config.h"
#include "core/Engine.h"

#include <gtest/gtest.h>

#include <optional>

namespace Vantrel {
void PrintTo(const Suggestion& s, std::ostream* os) {
    *os << qPrintable(s.group) << " / " << qPrintable(s.reason) << " / " << qPrintable(s.word);
}
} // namespace Vantrel

using namespace Vantrel;

namespace {

struct SuggestCase {
    const char* stem;
    // Empty: no suggestion.
    const char* group;
    const char* reason;
    const char* word;
};

void PrintTo(const SuggestCase& c, std::ostream* os) {
    *os << c.stem;
}

std::optional<Suggestion> expected(const SuggestCase& c) {
    if (QString::fromUtf8(c.group).isEmpty())
        return std::nullopt;
    return Suggestion{QString::fromUtf8(c.group), QString::fromUtf8(c.reason),
                      QString::fromUtf8(c.word)};
}

class DefaultSuggestions : public testing::TestWithParam<SuggestCase> {};

// Verifies the suggestion, its reason and its word for a stem the built-in rules leave unsorted.
TEST_P(DefaultSuggestions, shouldSuggestGroupWithReasonOrNone) {
    const SuggestCase& c = GetParam();
    EXPECT_EQ(Engine::suggest(QString::fromUtf8(c.stem), Config::defaults()), expected(c));
}

INSTANTIATE_TEST_SUITE_P(
    SplitWords, DefaultSuggestions,
    testing::Values(
        // Lower to upper case.
        SuggestCase{"01_KickIn", "DRUMS", "Kick in “KickIn”", "KICKIN"},
        SuggestCase{"LeadVox", "VOCALS", "VOX in “LeadVox”, short for vocals", "LEADVOX"},
        // Letters against digits; the take suffix and channel number go first.
        SuggestCase{"Tom1", "DRUMS", "Tom in “Tom1”", "TOM1"},
        SuggestCase{"07 Tom12#03.1", "DRUMS", "Tom in “Tom12”", "TOM12"},
        SuggestCase{"ElecGtr3DI", "EGS", "ELEC in “ElecGtr3DI”, short for electric", "ELECGTR3DI"},
        // The last capital of a run starts the next word ("DIAmp": DI, Amp).
        SuggestCase{"GtrDIAmp", "EGS", "GTR in “GtrDIAmp”, short for guitar", "GTRDIAMP"},
        // Neighbouring pieces that make one known word are read as one.
        SuggestCase{"HiHat2", "DRUMS", "HiHat in “HiHat2”", "HIHAT2"},
        SuggestCase{"OverHeads", "DRUMS", "OverHeads, plural of OVERHEAD", "OVERHEADS"}));

INSTANTIATE_TEST_SUITE_P(
    PluralsAndAbbreviations, DefaultSuggestions,
    testing::Values(SuggestCase{"OHs", "DRUMS", "OHs, plural of OH, short for overhead", "OHS"},
                    SuggestCase{"BVs", "VOCALS", "BVs, plural of BV, short for backing vocal",
                                "BVS"},
                    SuggestCase{"Overheads", "DRUMS", "Overheads, plural of OVERHEAD", "OVERHEADS"},
                    SuggestCase{"Gtrs", "EGS", "Gtrs, plural of GTR, short for guitar", "GTRS"},
                    SuggestCase{"03 Gtr", "EGS", "GTR, short for guitar", "GTR"},
                    SuggestCase{"BackingVox2", "VOCALS", "VOX in “BackingVox2”, short for vocals",
                                "BACKINGVOX2"},
                    SuggestCase{"Tambourine", "DRUMS", "Tambourine, usually DRUMS", "TAMBOURINE"},
                    // A plural inside a run of words.
                    SuggestCase{"FloorToms", "DRUMS", "FloorToms, plural of FLOORTOM", "FLOORTOMS"},
                    SuggestCase{"RackToms2", "DRUMS", "RackToms in “RackToms2”", "RACKTOMS2"}));

INSTANTIATE_TEST_SUITE_P(
    RunTogetherWords, DefaultSuggestions,
    testing::Values(
        // Without case changes the run is covered by known words, as few as possible.
        SuggestCase{"kickin", "DRUMS", "kick in “kickin”", "KICKIN"},
        SuggestCase{"SNAREBOTTOM", "DRUMS", "SNARE in “SNAREBOTTOM”", "SNAREBOTTOM"},
        SuggestCase{"backingvocals", "VOCALS", "vocals in “backingvocals”", "BACKINGVOCALS"},
        // A last L or R is a side.
        SuggestCase{"OHL", "DRUMS", "OH in “OHL”, short for overhead", "OHL"},
        SuggestCase{"PNOR", "KEYS", "PNO in “PNOR”, short for piano", "PNOR"},
        // A run that known words do not cover completely says nothing.
        SuggestCase{"kickinx", "", "", ""}, SuggestCase{"Bassoonist", "", "", ""}));

INSTANTIATE_TEST_SUITE_P(
    WeighingTheWords, DefaultSuggestions,
    testing::Values(
        // The last word of a run names the thing.
        SuggestCase{"SynthBass", "BASS", "Bass in “SynthBass”", "SYNTHBASS"},
        SuggestCase{"SubKick", "DRUMS", "SubKick, usually DRUMS", "SUBKICK"},
        // Unless it names a treatment.
        SuggestCase{"VocalSFX1", "VOCALS", "Vocal in “VocalSFX1”", "VOCALSFX1"},
        SuggestCase{"SFX2", "FX", "SFX in “SFX2”, short for sound effects", "SFX2"},
        // A kind of instrument decides over the instrument.
        SuggestCase{"AcousticGtr", "AGS", "Acoustic in “AcousticGtr”", "ACOUSTICGTR"},
        SuggestCase{"ElecPiano", "KEYS", "ElecPiano, usually KEYS", "ELECPIANO"},
        SuggestCase{"NylonGtr", "AGS", "Nylon in “NylonGtr”", "NYLONGTR"},
        // A kind of instrument named by a run of words is read as one word.
        SuggestCase{"BassGtr", "BASS", "BASSGTR, short for bass guitar", "BASSGTR"},
        // Two weak hints that agree are enough.
        SuggestCase{"Room Sticks", "DRUMS", "Sticks, usually DRUMS", "STICKS"}));

INSTANTIATE_TEST_SUITE_P(
    NoSuggestion, DefaultSuggestions,
    testing::Values(
        // Weak evidence alone.
        SuggestCase{"Room", "", "", ""}, SuggestCase{"04_Splash", "", "", ""},
        SuggestCase{"Rhythm 2", "", "", ""},
        // Two groups equally likely: words apart from each other weigh the same.
        SuggestCase{"Gtr Harm", "", "", ""}, SuggestCase{"Cajon Pno", "", "", ""},
        // Only placement and take words.
        SuggestCase{"Mic Top DI", "", "", ""},
        // Instruments that belong in no default group win, and give none.
        SuggestCase{"TrumpetRoom", "", "", ""}, SuggestCase{"SaxDI", "", "", ""},
        SuggestCase{"Saxophone", "", "", ""},
        // Nothing known, nothing at all.
        SuggestCase{"Quattro", "", "", ""}, SuggestCase{"", "", "", ""},
        SuggestCase{"#04.1", "", "", ""}, SuggestCase{"0123", "", "", ""},
        // Sorted by the rules already: the suggestions never touch it.
        SuggestCase{"1Kick In#04.1", "", "", ""}, SuggestCase{"Keys_L", "", "", ""},
        SuggestCase{"47Track Perc L#03.1", "", "", ""}));

RuleGroup group(const char* name, const char* words) {
    RuleGroup g;
    g.name = QString::fromLatin1(name);
    g.aliases = Config::words(QString::fromLatin1(words));
    return g;
}

Config withGroups(QList<RuleGroup> groups) {
    Config cfg;
    cfg.groups = std::move(groups);
    cfg.unsortedFolder = QStringLiteral("99_UNSORTED");
    return cfg;
}

struct RulesCase {
    const char* name;
    Config cfg;
    const char* stem;
    SuggestCase expect;
};

void PrintTo(const RulesCase& c, std::ostream* os) {
    *os << c.name;
}

class UserRules : public testing::TestWithParam<RulesCase> {};

// Verifies that the user's groups and words steer the suggestions.
TEST_P(UserRules, shouldFollowTheUsersGroups) {
    const RulesCase& c = GetParam();
    EXPECT_EQ(Engine::suggest(QString::fromUtf8(c.stem), c.cfg), expected(c.expect));
}

INSTANTIATE_TEST_SUITE_P(
    Groups, UserRules,
    testing::Values(
        // A group's own word takes precedence over the vocabulary's group for it.
        RulesCase{"ownWordOverVocabulary",
                  withGroups({group("DRUMS", "KICK"), group("LOOPS", "BREAKBEAT")}),
                  "BreakBeat1",
                  {"", "LOOPS", "BreakBeat in “BreakBeat1”", "BREAKBEAT1"}},
        RulesCase{"ownWordInPlural",
                  withGroups({group("AXES", "GTR"), group("EGS", "EG")}),
                  "Gtrs",
                  {"", "AXES", "Gtrs, plural of GTR", "GTRS"}},
        // The earlier group owns a word that two groups list.
        RulesCase{"earlierGroupOwnsWord",
                  withGroups({group("GTRS", "GTR"), group("AXES", "GTR")}),
                  "GtrDI",
                  {"", "GTRS", "Gtr in “GtrDI”", "GTRDI"}},
        // The vocabulary's groups that the rules do not have say nothing.
        RulesCase{"missingGroupSaysNothing",
                  withGroups({group("DRUMS", "DRUMS")}),
                  "ElecGtr",
                  {"", "", "", ""}},
        RulesCase{"otherGroupsStillWork",
                  withGroups({group("DRUMS", "DRUMS")}),
                  "KickIn",
                  {"", "DRUMS", "Kick in “KickIn”", "KICKIN"}},
        // Without the word among the group's words, the vocabulary reads it.
        RulesCase{"vocabularyWhenNotAWord",
                  withGroups({group("VOCALS", "VOCALS")}),
                  "Vox",
                  {"", "VOCALS", "VOX, short for vocals", "VOX"}},
        // A renamed group does not take over the vocabulary of the old name.
        RulesCase{
            "renamedGroup", withGroups({group("VOX", "VOCALS")}), "LeadVox", {"", "", "", ""}}));

// Verifies that the suggester itself reads a name the rules sort too, and names the group
// whose own word it found; only Engine::suggest leaves sorted names alone.
TEST(Suggester, shouldReadNamesWhateverTheClassifierSays) {
    const Suggester s(withGroups({group("AXES", "GTR"), group("EGS", "EG")}));
    const Suggestion expect{QStringLiteral("AXES"), QStringLiteral("Gtr, one of the words of AXES"),
                            QStringLiteral("GTR")};
    EXPECT_EQ(s.suggest(QStringLiteral("Gtr")), expect);
}

struct VocabularyCase {
    const char* line;
    const char* word;
    std::optional<Vocabulary::Entry> entry;
};

void PrintTo(const VocabularyCase& c, std::ostream* os) {
    *os << c.line;
}

class VocabularyLines : public testing::TestWithParam<VocabularyCase> {};

// Verifies how one line of the vocabulary file is read.
TEST_P(VocabularyLines, shouldReadLineOrLeaveItOut) {
    const VocabularyCase& c = GetParam();
    const Vocabulary v = Vocabulary::parse(QByteArray(c.line));
    if (!c.entry) {
        EXPECT_TRUE(v.entries.isEmpty());
        return;
    }
    ASSERT_EQ(v.entries.size(), 1);
    EXPECT_EQ(v.entries.value(QString::fromUtf8(c.word)), *c.entry);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, VocabularyLines,
    testing::Values(
        VocabularyCase{"GTR\tEGS\t2\tguitar", "GTR",
                       Vocabulary::Entry{QStringLiteral("EGS"), 2, QStringLiteral("guitar")}},
        // Words and groups are upper-cased; the long form is kept as written.
        VocabularyCase{"gtr\tegs\t2\tGuitar", "GTR",
                       Vocabulary::Entry{QStringLiteral("EGS"), 2, QStringLiteral("Guitar")}},
        VocabularyCase{"SAX\t-\t2", "SAX", Vocabulary::Entry{QString(), 2, QString()}},
        VocabularyCase{"IN\t-\t0\r", "IN", Vocabulary::Entry{QString(), 0, QString()}},
        VocabularyCase{"# GTR\tEGS\t2", "", std::nullopt},
        VocabularyCase{"GTR\tEGS", "", std::nullopt},
        VocabularyCase{"GTR\tEGS\ttwo", "", std::nullopt},
        VocabularyCase{"GTR\tEGS\t-1", "", std::nullopt},
        VocabularyCase{"\tEGS\t2", "", std::nullopt},
        VocabularyCase{"GTR EGS 2", "", std::nullopt}));

// Verifies that the vocabulary shipped with the program is there and points to default groups.
TEST(BuiltInVocabulary, shouldHoldWordsOfTheDefaultGroups) {
    const Vocabulary& v = Vocabulary::builtIn();
    QSet<QString> groups;
    for (const RuleGroup& g : Config::defaults().groups)
        groups.insert(g.name);
    ASSERT_FALSE(v.entries.isEmpty());
    for (auto it = v.entries.cbegin(); it != v.entries.cend(); ++it)
        EXPECT_TRUE(it->group.isEmpty() || groups.contains(it->group))
            << qPrintable(it.key()) << " points to " << qPrintable(it->group);
    EXPECT_EQ(v.entries.value(QStringLiteral("VOX")).group, QStringLiteral("VOCALS"));
}

struct LearnCase {
    const char* stem;
    const char* word;
};

void PrintTo(const LearnCase& c, std::ostream* os) {
    *os << c.stem;
}

class LearnableWords : public testing::TestWithParam<LearnCase> {};

// Verifies the word offered to the rules for a track moved by hand.
TEST_P(LearnableWords, shouldOfferFirstWordOfTheName) {
    const LearnCase& c = GetParam();
    EXPECT_EQ(Engine::learnableWord(QString::fromUtf8(c.stem), Config::defaults()),
              QString::fromUtf8(c.word));
}

INSTANTIATE_TEST_SUITE_P(Stems, LearnableWords,
                         testing::Values(LearnCase{"01_KickIn#02.1", "KICKIN"},
                                         LearnCase{"7 Room Mic", "ROOM"},
                                         LearnCase{"A 12 Gong", "GONG"}, LearnCase{"12 3", ""},
                                         LearnCase{"", ""},
                                         // Alias phrases are one token.
                                         LearnCase{"Snare Bottom 2", "SNARE_BTM"}));

} // namespace
