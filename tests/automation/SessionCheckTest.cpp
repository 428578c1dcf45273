// The closing comparison of a session read back from Logic with the jobs sent: one observed
// track list per row, and the sentences it must produce; the colours read row by row; the
// message a send ends with.

#include "automation/SessionCheck.h"

#include <gtest/gtest.h>

using namespace Vantrel;
using namespace Vantrel::SessionCheck;

namespace {

// One row of an observed track list: a track, an open stack, or a closed stack holding the
// next `holds` rows (hidden in the first read, shown once it is opened).
struct Listed {
    enum Kind { track, open, closed } kind = track;
    QString name;
    int holds = 0;
};
Listed T(const char* name) {
    return {Listed::track, QString::fromUtf8(name), 0};
}
Listed O(const char* name) {
    return {Listed::open, QString::fromUtf8(name), 0};
}
Listed C(const char* name, int holds) {
    return {Listed::closed, QString::fromUtf8(name), holds};
}

// The track list as the sender reads it: numbered from 1 in list order; the first read without
// the tracks of closed stacks, the second with every stack open.
Observed observe(const QList<Listed>& listed) {
    Observed o;
    int hidden = 0;
    for (qsizetype i = 0; i < listed.size(); ++i) {
        const Listed& s = listed[i];
        const int number = int(i) + 1;
        const bool stack = s.kind != Listed::track;
        o.rows << Row{number, s.name, stack, stack ? std::optional(true) : std::nullopt};
        if (hidden > 0) {
            --hidden;
            continue;
        }
        o.folded << Row{number, s.name, stack,
                        stack ? std::optional(s.kind == Listed::open) : std::nullopt};
        if (s.kind == Listed::closed)
            hidden = s.holds;
    }
    return o;
}

SendJob job(std::optional<QString> group, const QStringList& names,
            std::optional<Swatch> color = std::nullopt) {
    SendJob j;
    j.group = std::move(group);
    for (const QString& n : names)
        j.files << QStringLiteral("/sessions/Show/%1.wav").arg(n);
    j.color = color;
    return j;
}

// Two coloured stacks and one unsorted track, sent into an empty project by a run that
// arranges the session.
const Swatch drumsColor{1, 0};
const Swatch bassColor{2, 1};
Expected sent() {
    Expected e;
    e.jobs = {job(QStringLiteral("DRUMS"), {"Kick", "Snare"}, drumsColor),
              job(QStringLiteral("BASS"), {"Bass"}, bassColor), job(std::nullopt, {"FX"})};
    e.arranged = true;
    e.madeStacks = {QStringLiteral("DRUMS"), QStringLiteral("BASS")};
    return e;
}

struct SessionCase {
    const char* what;
    QList<Listed> layout;
    QStringList problems;
    std::function<void(Expected&)> change = [](Expected&) {};
};

// Verifies that each observed session yields exactly the differences it holds, in the order
// the user is told them.
TEST(SessionCheck, shouldNameEveryDifferenceOfTheSessionReadBack) {
    const QList<SessionCase> cases{
        // Right sessions.
        {"right, stacks closed",
         {C("DRUMS", 2), T("Kick"), T("Snare"), C("BASS", 1), T("Bass"), T("FX")},
         {}},
        {"members in another order",
         {C("DRUMS", 2), T("Snare"), T("Kick"), C("BASS", 1), T("Bass"), T("FX")},
         {}},
        {"the project's own track of the same name before the send",
         {T("FX"), C("DRUMS", 2), T("Kick"), T("Snare"), C("BASS", 1), T("Bass"), T("FX")},
         {},
         [](Expected& e) {
             e.arranged = false;
             e.tracksAtStart = 1;
             e.namesAtStart = {{QStringLiteral("FX"), 1}};
         }},
        {"stacks of the project's tracks: no track counted as imported",
         {C("DRUMS", 2), T("Kick"), T("Snare"), C("BASS", 1), T("Bass"), T("FX")},
         {},
         [](Expected& e) {
             e.imports = false;
             e.tracksAtStart = 4;
         }},
        // Tracks missing or too many.
        {"a missing track",
         {C("DRUMS", 2), T("Kick"), T("Snare"), C("BASS", 1), T("Bass")},
         {"the track “FX” is missing", "Logic holds 5 tracks where 6 were expected"}},
        {"an extra track",
         {C("DRUMS", 2), T("Kick"), T("Snare"), C("BASS", 1), T("Bass"), T("FX"), T("FX")},
         {"these tracks came in more than once: FX", "Logic holds 7 tracks where 6 were expected"}},
        {"the same track twice where the project held none of that name",
         {T("FX"), C("DRUMS", 2), T("Kick"), T("Snare"), C("BASS", 1), T("Bass"), T("FX")},
         {"these tracks came in more than once: FX"},
         [](Expected& e) {
             e.arranged = false;
             e.tracksAtStart = 1;
         }},
        // Stack membership.
        {"a member left outside its stack",
         {C("DRUMS", 1), T("Kick"), C("BASS", 1), T("Bass"), T("Snare"), T("FX")},
         {"the stack “DRUMS” lacks Snare", "these tracks are outside their stacks: Snare"}},
        {"a member in the wrong stack",
         {C("DRUMS", 3), T("Kick"), T("Snare"), T("Bass"), C("BASS", 0), T("FX")},
         {"the stack “DRUMS” also holds Bass", "the stack “BASS” lacks Bass"}},
        {"a member swapped with another stack's",
         {C("DRUMS", 2), T("Kick"), T("Bass"), C("BASS", 1), T("Snare"), T("FX")},
         {"the stack “DRUMS” lacks Snare and also holds Bass",
          "the stack “BASS” lacks Bass and also holds Snare"}},
        {"a missing stack",
         {C("DRUMS", 2), T("Kick"), T("Snare"), T("Bass"), T("FX")},
         {"there is no stack “BASS”", "these tracks are outside their stacks: Bass",
          "Logic holds 5 tracks where 6 were expected"}},
        {"a stack twice",
         {C("DRUMS", 2), T("Kick"), T("Snare"), C("BASS", 1), T("Bass"), C("BASS", 0), T("FX")},
         {"there are 2 stacks “BASS”", "Logic holds 7 tracks where 6 were expected"}},
        // Order and fold state, judged only for a run that arranges the session.
        {"stacks in the wrong order",
         {C("BASS", 1), T("Bass"), C("DRUMS", 2), T("Kick"), T("Snare"), T("FX")},
         {"the stack “BASS” stands at position 1 in place of the stack “DRUMS”"}},
        {"the unsorted track above the stacks",
         {T("FX"), C("DRUMS", 2), T("Kick"), T("Snare"), C("BASS", 1), T("Bass")},
         {"the track “FX” stands at position 1 in place of the stack “DRUMS”"}},
        {"a stack not folded, the track after it outside",
         {C("DRUMS", 2), T("Kick"), T("Snare"), O("BASS"), T("Bass"), T("FX")},
         {"the stack “BASS” is open"}},
        {"an open stack that was not made in this send",
         {C("DRUMS", 2), T("Kick"), T("Snare"), O("BASS"), T("Bass"), T("FX")},
         {},
         [](Expected& e) { e.madeStacks.remove(QStringLiteral("BASS")); }},
        {"wrong order and an open stack in a run that does not arrange",
         {O("BASS"), T("Bass"), C("DRUMS", 2), T("Kick"), T("Snare"), T("FX")},
         {},
         [](Expected& e) { e.arranged = false; }},
    };
    for (const SessionCase& c : cases) {
        SCOPED_TRACE(c.what);
        Expected expected = sent();
        c.change(expected);
        EXPECT_EQ(compareSession(expected, observe(c.layout)), c.problems);
    }
}

// Verifies the stack each row belongs to: a closed stack by its count, an open one up to the
// size of its job.
TEST(SessionCheck, shouldTellTheStackOfEachRow) {
    const Observed o =
        observe({C("DRUMS", 2), T("Kick"), T("Snare"), O("BASS"), T("Bass"), T("FX")});
    const QHash<int, QString> stackOf = stackOfRows(sent(), o);
    EXPECT_EQ(stackOf, (QHash<int, QString>{
                           {1, "DRUMS"}, {2, "DRUMS"}, {3, "DRUMS"}, {4, "BASS"}, {5, "BASS"}}));
}

struct ColorCase {
    const char* what;
    // The colour each row shows, by track number; rows absent here read as "not known".
    QHash<int, ColorRead> shown;
    std::optional<QString> wrong;
    // The rows read, in order.
    QList<int> read;
    int ownFrom = 0;
};

ColorRead shows(std::optional<Swatch> color) {
    return {ColorRead::Kind::shown, color};
}
const ColorRead unreadable{ColorRead::Kind::unreadable, {}};

// Verifies the colour comparison over the rows of a right session: which rows are read, the
// first wrong colour named, and nothing said once colours cannot be read.
TEST(SessionCheck, shouldNameTheFirstWrongColor) {
    // 1 DRUMS, 2 Kick, 3 Snare, 4 BASS, 5 Bass, 6 FX.
    const Observed o =
        observe({C("DRUMS", 2), T("Kick"), T("Snare"), C("BASS", 1), T("Bass"), T("FX")});
    const QHash<int, ColorRead> right{{1, shows(drumsColor)}, {2, shows(drumsColor)},
                                      {3, shows(drumsColor)}, {4, shows(bassColor)},
                                      {5, shows(bassColor)},  {6, shows(std::nullopt)}};
    const auto with = [&](int number, ColorRead read) {
        QHash<int, ColorRead> shown = right;
        shown[number] = read;
        return shown;
    };
    const QList<ColorCase> cases{
        {"right colours", right, std::nullopt, {1, 2, 3, 4, 5, 6}},
        {"a member with another colour",
         with(3, shows(bassColor)),
         "the track “Snare” has another color than its group",
         {1, 2, 3}},
        {"a stack without a colour",
         with(1, shows(std::nullopt)),
         "the stack “DRUMS” has no color",
         {1}},
        {"an unsorted track with a colour",
         with(6, shows(drumsColor)),
         "the track “FX” has a color it was not sent with",
         {1, 2, 3, 4, 5, 6}},
        {"an unreadable colour ends the comparison silently",
         [&] {
             QHash<int, ColorRead> shown = with(2, unreadable);
             shown[3] = shows(bassColor);
             return shown;
         }(),
         std::nullopt,
         {1, 2}},
        {"a colour not known (the selection changed) is passed over",
         [&] {
             QHash<int, ColorRead> shown = right;
             shown.remove(2);
             return shown;
         }(),
         std::nullopt,
         {1, 2, 3, 4, 5, 6}},
        {"the project's own tracks keep the user's colour",
         with(2, shows(bassColor)),
         std::nullopt,
         {1, 3, 4, 5, 6},
         2},
    };
    const QHash<int, QString> stackOf = stackOfRows(sent(), o);
    const QHash<QString, std::optional<Swatch>> colorOf = stackColors(sent().jobs);
    for (const ColorCase& c : cases) {
        SCOPED_TRACE(c.what);
        QList<int> read;
        const auto reader = [&](const Row& r) {
            read << r.number;
            return c.shown.value(r.number);
        };
        EXPECT_EQ(firstWrongColor(o.rows, stackOf, colorOf, c.ownFrom, reader), c.wrong);
        EXPECT_EQ(read, c.read);
    }
}

// Verifies the message a send ends with: nothing for a right session, the first difference
// alone, or with the count of the others.
TEST(SessionCheck, shouldEndWithTheFirstDifferenceAndCountTheOthers) {
    EXPECT_EQ(closingMessage({}), std::nullopt);
    EXPECT_EQ(closingMessage({"the track “FX” is missing"}),
              "Done, but the session in Logic is not what was sent: the track “FX” is missing. "
              "Check it in Logic before you go on.");
    EXPECT_EQ(closingMessage({"there is no stack “BASS”", "the track “FX” is missing",
                              "Logic holds 5 tracks where 6 were expected"}),
              "Done, but the session in Logic is not what was sent: there is no stack “BASS” "
              "(and 2 more differences). Check it in Logic before you go on.");
}

} // namespace
