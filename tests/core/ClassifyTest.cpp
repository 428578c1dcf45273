#include "core/Config.h"
#include "core/Engine.h"

#include <QFile>

#include <gtest/gtest.h>

#include <optional>

using namespace Vantrel;

namespace {

struct ClassifyCase {
    const char* stem;
    QStringList tokens;
    std::optional<QString> group;
    const char* source;
};

void PrintTo(const ClassifyCase& c, std::ostream* os) {
    *os << c.stem;
}

class DefaultRules : public testing::TestWithParam<ClassifyCase> {};

// Verifies tokens, group and source of a stem read with the built-in rules.
TEST_P(DefaultRules, shouldReadStemIntoTokensGroupAndSource) {
    const ClassifyCase& c = GetParam();
    const Config& cfg = Config::defaults();
    EXPECT_EQ(Engine::tokenize(QString::fromUtf8(c.stem), cfg.sourceAliases), c.tokens);
    const Engine::Classification r = Engine::classify(QString::fromUtf8(c.stem), cfg);
    EXPECT_EQ(r.group, c.group);
    EXPECT_EQ(r.source, QString::fromUtf8(c.source));
}

const QString DRUMS = QStringLiteral("DRUMS");

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, DefaultRules,
    testing::Values(ClassifyCase{"1Kick In#04.1", {"KICK_IN"}, DRUMS, "KICK_IN"},
                    ClassifyCase{
                        "47Track Perc L#03.1", {"PERC", "L"}, QStringLiteral("TRACKS"), "PERC_L"},
                    ClassifyCase{"65Click#03.1", {"CLICK"}, QStringLiteral("UTILITY"), "CLICK"},
                    ClassifyCase{"Drums L", {"DRUMS", "L"}, DRUMS, "L"},
                    ClassifyCase{"Snare Bottom", {"SNARE_BTM"}, DRUMS, "SNARE_BTM"},
                    ClassifyCase{"Over Head R", {"OH", "R"}, DRUMS, "OH_R"},
                    ClassifyCase{"03 Bass DI", {"BASS", "DI"}, QStringLiteral("BASS"), "DI"},
                    ClassifyCase{"Kick Bass", {"KICK", "BASS"}, DRUMS, "KICK_BASS"},
                    ClassifyCase{"Vox 1", {"VOX", "1"}, QStringLiteral("VOCALS"), "VOX_1"},
                    ClassifyCase{"12 L", {"L"}, QStringLiteral("TRACKS"), "L"},
                    ClassifyCase{"Room Mic", {"ROOM", "MIC"}, std::nullopt, "ROOM_MIC"},
                    ClassifyCase{"Tracks 1", {"S", "1"}, std::nullopt, "S_1"}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, DefaultRules,
    testing::Values(
        // Only a take suffix: nothing left.
        ClassifyCase{"#04", {}, std::nullopt, ""}, ClassifyCase{"#04.1", {}, std::nullopt, ""},
        ClassifyCase{"", {}, std::nullopt, ""},
        // A take suffix not at the end is not one: "#" separates, the digits stay.
        ClassifyCase{"Kick#04 In", {"KICK", "04", "IN"}, DRUMS, "KICK_04_IN"},
        ClassifyCase{"snare btm", {"SNARE_BTM"}, DRUMS, "SNARE_BTM"},
        ClassifyCase{"kick-in", {"KICK_IN"}, DRUMS, "KICK_IN"},
        ClassifyCase{"Hi Hat", {"HIHAT"}, DRUMS, "HIHAT"},
        // Only the first token equal to the group name is removed.
        ClassifyCase{"Drums Drums", {"DRUMS", "DRUMS"}, DRUMS, "DRUMS"},
        // The leading-track rule ignores case and comes before word matching.
        ClassifyCase{"5 TRACK Kick", {"KICK"}, QStringLiteral("TRACKS"), "KICK"},
        ClassifyCase{"track", {}, QStringLiteral("TRACKS"), ""},
        // Full upper-casing; non-ASCII letters are separators.
        ClassifyCase{"Straße Vox", {"STRASSE", "VOX"}, QStringLiteral("VOCALS"), "STRASSE_VOX"},
        ClassifyCase{"Café Mic", {"CAF", "MIC"}, std::nullopt, "CAF_MIC"},
        // \d and \s are Unicode classes: Arabic-Indic digits and a no-break space count.
        ClassifyCase{"\u0661\u0662\u00A0Kick", {"KICK"}, DRUMS, "KICK"},
        ClassifyCase{"Snare#\u0660\u0664", {"SNARE"}, DRUMS, "SNARE"},
        // The left/right rule needs every token to be L or R.
        ClassifyCase{"L R L", {"L", "R", "L"}, QStringLiteral("TRACKS"), "L_R_L"},
        ClassifyCase{"L C R", {"L", "C", "R"}, std::nullopt, "L_C_R"}));

Config rulesWith(QList<RuleGroup> groups, QMap<QString, QString> aliases = {}) {
    Config cfg = Config::defaults();
    cfg.groups = std::move(groups);
    cfg.sourceAliases = std::move(aliases);
    return cfg;
}

RuleGroup group(const char* name, QStringList aliases) {
    RuleGroup g;
    g.name = QString::fromUtf8(name);
    g.aliases = std::move(aliases);
    return g;
}

// Verifies that without a TRACKS group neither the leading-track nor the left/right rule acts.
TEST(Classify, shouldGoByWordsWhenNoTracksGroupExists) {
    Config cfg = Config::defaults();
    cfg.groups.removeIf([](const RuleGroup& g) { return g.name == QLatin1String("TRACKS"); });
    EXPECT_EQ(Engine::classify(QStringLiteral("47Track Perc L#03.1"), cfg),
              (Engine::Classification{DRUMS, QStringLiteral("PERC_L")}));
    EXPECT_EQ(Engine::classify(QStringLiteral("12 L"), cfg),
              (Engine::Classification{std::nullopt, QStringLiteral("L")}));
}

// Verifies that the earliest group claiming a word wins, whatever its name.
TEST(Classify, shouldGiveSharedWordToEarlierGroup) {
    const Config cfg = rulesWith({group("SYNTHS", {"PAD"}), group("KEYS", {"PAD", "KEYS"})});
    EXPECT_EQ(Engine::classify(QStringLiteral("Pad Keys"), cfg).group, QStringLiteral("SYNTHS"));
    EXPECT_EQ(Engine::classify(QStringLiteral("Keys Pad"), cfg),
              (Engine::Classification{QStringLiteral("KEYS"), QStringLiteral("PAD")}));
}

struct AliasCase {
    const char* name;
    QMap<QString, QString> aliases;
    const char* stem;
    QStringList tokens;
};

// Verifies how source aliases join phrases into tokens.
TEST(Tokenize, shouldApplySourceAliases) {
    const AliasCase cases[] = {
        // Longest key first: "KICK IN" wins over "KICK" though "KICK" sorts first.
        {"longest key first", {{"KICK", "BD"}, {"KICK IN", "KICK_IN"}}, "Kick In", {"KICK_IN"}},
        // "_" is a word character: KICK_IN is not touched by the shorter key.
        {"joined token is one word",
         {{"KICK", "BD"}, {"KICK IN", "KICK_IN"}},
         "Kick In Kick",
         {"KICK_IN", "BD"}},
        {"value with a space gives two tokens",
         {{"GTR", "GUITAR ELECTRIC"}},
         "Gtr 1",
         {"GUITAR", "ELECTRIC", "1"}},
        {"value is not upper-cased", {{"VOX", "vox_lead"}}, "Vox", {"vox_lead"}},
        {"value is literal", {{"VOX", "$0\\1"}}, "Vox", {"$0\\1"}},
        {"key is upper-cased when used", {{"kick in", "KICK_IN"}}, "KICK IN", {"KICK_IN"}},
        {"key with other characters never matches", {{"KICK-IN", "KI"}}, "Kick-In", {"KICK", "IN"}},
        {"key with pattern characters is quoted", {{"A.C", "X"}}, "ABC", {"ABC"}},
        {"whole words only", {{"IN", "X"}}, "Kick Inside In", {"KICK", "INSIDE", "X"}},
    };
    for (const AliasCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Engine::tokenize(QString::fromUtf8(c.stem), c.aliases), c.tokens);
    }
}

// Verifies that one classifier gives the same answers as the one-off functions.
TEST(Classifier, shouldAnswerLikeOneOffCallsForManyStems) {
    const Config& cfg = Config::defaults();
    const Engine::Classifier classifier(cfg);
    for (const char* stem : {"1Kick In#04.1", "Kick Bass", "12 L", "Room Mic", "Tracks 1"}) {
        SCOPED_TRACE(stem);
        const QString s = QString::fromUtf8(stem);
        EXPECT_EQ(classifier.classify(s), Engine::classify(s, cfg));
        EXPECT_EQ(classifier.tokenize(s), Engine::tokenize(s, cfg.sourceAliases));
    }
}

// The stems of the real session names in the test data, and stems made to reach every branch of
// the reading by hand: take suffixes, channel numbers, the track word, separators, aliases at
// and off word boundaries; and stems the general path must keep (control characters, letters
// beyond ASCII, case mappings that change length or differ by language, full-width and other
// digits, combining marks).
QStringList stemsToCompare() {
    QStringList stems;
    QFile file(QStringLiteral(VANTREL_TRACK_NAMES));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QString name = QString::fromUtf8(line);
        stems << name.left(name.lastIndexOf(QLatin1Char('.')));
    }
    EXPECT_GT(stems.size(), 2000);
    for (const char16_t* stem : {u"",
                                 u"#",
                                 u"#12",
                                 u"Vox#12",
                                 u"Vox#12.3",
                                 u"Vox#12.",
                                 u"Vox#.3",
                                 u"Vox#1#2",
                                 u"Vox#12.3.4",
                                 u"Vox #12 Top",
                                 u"Vox#12 ",
                                 u"12",
                                 u"12 ",
                                 u"  12 Kick",
                                 u"12  Kick",
                                 u"12Track Kick",
                                 u"12 track",
                                 u"Track",
                                 u"TRACK 5",
                                 u"Tracks",
                                 u"track_5",
                                 u"trackless",
                                 u"1 2 Track",
                                 u"3 Track-Bass",
                                 u"Kick  In",
                                 u"kick-in-out",
                                 u"KICK IN IN",
                                 u"Kick In_",
                                 u"_Kick In",
                                 u"Kick Inn",
                                 u"Over Head Over Head",
                                 u"Hi Hat Hi Hat",
                                 u"Snare Top Bottom",
                                 u"L R",
                                 u"_L_",
                                 u"L-R",
                                 u"Gtr L ",
                                 u"OH_L",
                                 u"a~b!c@d$e%f^g&h*i(j)k",
                                 u"Bass D.I.",
                                 u"Kick\tIn",
                                 u"Kick\nIn",
                                 u"Vox#12\n",
                                 u"12\u000bKick",
                                 u"Kick\u007fIn",
                                 u"\u0130stanbul Kick",
                                 u"\u0131 Snare",
                                 u"Stra\u00dfe Bass",
                                 u"\ufb00 Gtr",
                                 u"\uff2b\uff49\uff43\uff4b \uff11\uff12",
                                 u"\uff11\uff12 Kick",
                                 u"Caf\u00e9 Vox",
                                 u"Cafe\u0301 Vox",
                                 u"K\u212aick",
                                 u"Kick\u0300 In",
                                 u"Kick In\u00a0Top",
                                 u"\u0663 Snare",
                                 u"Snare#\u0661",
                                 u"\u01c5emal Vox",
                                 u"\u03a3\u03af\u03c3\u03c5\u03c6\u03bf\u03c2",
                                 u"\u65e5\u672c Vox",
                                 u"Vox\u2028",
                                 u"a\u200db Kick",
                                 u"\U0001d7d9 Kick"})
        stems << QString::fromUtf16(stem);
    return stems;
}

// Verifies that plain ASCII stems, read by hand, give exactly what ICU's patterns and case
// mapping give, for the built-in rules and for rules whose aliases reach the harder cases.
TEST(Classifier, shouldReadEveryStemAsTheGeneralPathDoes) {
    const QStringList stems = stemsToCompare();
    Config plain = Config::defaults();
    plain.groups.removeIf([](const RuleGroup& g) { return g.name == QLatin1String("TRACKS"); });
    const Config configs[] = {
        Config::defaults(),
        plain,
        rulesWith({group("DRUMS", {"KICK", "BD", "KICK_IN"}), group("TRACKS", {"CLICK"}),
                   group("VOX", {"VOX", "LEAD"})},
                  {{"KICK", "BD"},
                   {"KICK IN", "KICK_IN"},
                   {"IN", "x"},
                   {" TOP", "t"},
                   {"HEAD ", "H_"},
                   {"12", "TWELVE"},
                   {"L R", "LR"},
                   {"stra\u00dfe", "STREET"}, // upper-cased to the ASCII "STRASSE"
                   {"VOX", "LEAD VOX"},
                   {"A.C", "X"},
                   {"GTR", "g-t r"}}),
    };
    for (const Config& cfg : configs) {
        const Engine::Classifier classifier(cfg);
        for (const QString& stem : stems) {
            SCOPED_TRACE(stem.toStdString());
            EXPECT_EQ(classifier.tokenize(stem), classifier.tokenizeGeneral(stem));
            EXPECT_EQ(classifier.classify(stem), classifier.classifyGeneral(stem));
        }
    }
}

// Verifies that a name reads the same in composed and decomposed Unicode.
TEST(Classify, shouldReadComposedAndDecomposedNamesAlike) {
    const Engine::Classifier classifier(Config::defaults());
    const struct {
        const char* name;
        const char16_t* composed;
        const char16_t* decomposed;
        const char* group;
    } cases[] = {
        {"an accent on the word", u"1Kick\u00e9 In", u"1Kicke\u0301 In", "DRUMS"},
        {"an accent after the word", u"2Snare \u00c9t\u00e9", u"2Snare E\u0301te\u0301", "DRUMS"},
        {"a vocal with a diaeresis", u"3Vox Zo\u00eb", u"3Vox Zoe\u0308", "VOCALS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Engine::Classification a = classifier.classify(QString::fromUtf16(c.composed));
        const Engine::Classification b = classifier.classify(QString::fromUtf16(c.decomposed));
        EXPECT_EQ(a, b);
        EXPECT_EQ(b.group, QString::fromUtf8(c.group));
    }
}

// Verifies the session order taken from the start of a stem.
TEST(SessionOrder, shouldReadLeadingAsciiNumber) {
    const struct {
        const char* stem;
        std::optional<std::int64_t> order;
    } cases[] = {
        {"1Kick In#04.1", 1},
        {"47Track Perc L#03.1", 47},
        {"007 Snare", 7},
        {"Kick 1", std::nullopt},
        {"", std::nullopt},
        {"9223372036854775807 max", INT64_MAX},
        {"9223372036854775808 too big", std::nullopt},
        {"123456789012345678901234567890", std::nullopt},
        {"000000000000000000000000000000000000000000000000000000000000000000000042 Kick", 42},
        {"00000000000000000000000000000000000000009223372036854775808", std::nullopt},
        {"\u00B2Kick", std::nullopt},       // superscript two: numeric, not a decimal number
        {"1\u00B2Kick", std::nullopt},      // the run includes it, so it is not plain ASCII
        {"\u0661\u0662Kick", std::nullopt}, // Arabic-Indic digits
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stem);
        EXPECT_EQ(Engine::sessionOrder(QString::fromUtf8(c.stem)), c.order);
    }
}

} // namespace
