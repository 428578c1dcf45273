// The track list the sender keeps between reads: how a stack made, a stack closed and tracks
// come in at the end change the rows kept, which rows a group takes, and when the rows kept
// still hold.

#include "automation/TrackList.h"

#include <gtest/gtest.h>

using namespace Vantrel;

namespace {

// Rows written as "number:name" separated by spaces; a name starting with + is an open
// stack's row, with - a closed one's.
QList<TrackRow> rowsOf(const char* text) {
    QList<TrackRow> rows;
    for (const QString& token : QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype colon = token.indexOf(u':');
        TrackRow r;
        r.number = token.left(colon).toInt();
        r.name = token.mid(colon + 1);
        if (r.name.startsWith(u'+') || r.name.startsWith(u'-')) {
            r.stack = true;
            r.open = r.name.startsWith(u'+');
            r.name = r.name.mid(1);
        }
        rows << r;
    }
    return rows;
}

QString textOf(const std::optional<QList<TrackRow>>& rows) {
    if (!rows)
        return QStringLiteral("none");
    QStringList out;
    for (const TrackRow& r : *rows)
        out << QStringLiteral("%1:%2%3")
                   .arg(r.number)
                   .arg(r.stack ? (r.open == true ? QStringLiteral("+") : QStringLiteral("-"))
                                : QString())
                   .arg(r.name);
    return out.join(u' ');
}

TEST(TrackList, AfterStackMovesTheMembersUnderTheStacksRow) {
    struct Case {
        const char* rows;
        int number;
        QList<int> members;
        bool open;
        const char* after;
    };
    const Case cases[] = {
        // Neighbours at the top; the stack takes the first one's place.
        {"1:a 2:b 3:c", 1, {1, 2}, true, "1:+S 2:a 3:b 4:c"},
        // Members apart: the rows between move down below the stack's tracks.
        {"1:a 2:b 3:c 4:d", 2, {2, 4}, true, "1:a 2:+S 3:b 4:d 5:c"},
        // Logic may place the stack elsewhere: its number tells where.
        {"1:a 2:b 3:c 4:d", 3, {1, 2}, true, "1:c 2:d 3:+S 4:a 5:b"},
        // Made closed: its tracks are no rows, the numbers after it jump over them.
        {"1:a 2:b 3:c", 1, {1, 2}, false, "1:-S 4:c"},
        // Closed stacks already there: their hidden tracks are counted from the numbers.
        {"1:-X 4:-Y 7:a 8:b", 7, {7, 8}, true, "1:-X 4:-Y 7:+S 8:a 9:b"},
        {"1:-X 4:a 5:b 6:c", 4, {5, 6}, true, "1:-X 4:+S 5:b 6:c 7:a"},
        // Open stacks keep their tracks below them.
        {"1:+X 2:x1 3:a", 3, {3}, true, "1:+X 2:x1 3:+S 4:a"},
        // Not told for sure: a member that is no row or is a stack, a number off the list, a
        // closed stack last (how many tracks it hides is unknown) before the stack's place.
        {"1:a 2:b", 1, {1, 5}, true, "none"},
        {"1:+X 2:a", 1, {1, 2}, true, "none"},
        {"1:a 2:b", 9, {1}, true, "none"},
        {"1:a 2:-X", 4, {1}, true, "none"},
        // A gap after a row that is no closed stack: something unknown is hidden there.
        {"1:a 3:b", 1, {1}, true, "none"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textOf(TrackList::afterStack(rowsOf(c.rows), c.number, QStringLiteral("S"),
                                               c.members, c.open)),
                  QString::fromUtf8(c.after))
            << c.rows << " stack at " << c.number;
}

TEST(TrackList, AfterClosingHidesTheStacksTracks) {
    struct Case {
        const char* rows;
        int number;
        int size;
        const char* after;
    };
    const Case cases[] = {
        {"1:+S 2:a 3:b 4:c", 1, 2, "1:-S 4:c"},
        {"1:-X 4:+S 5:a", 4, 1, "1:-X 4:-S"},
        {"1:+S 2:a", 1, 2, "none"},      // fewer rows below than tracks
        {"1:-S 4:c", 1, 2, "none"},      // already closed
        {"1:a 2:b", 1, 1, "none"},       // no stack
        {"1:+S 2:+T 3:a", 1, 1, "none"}, // a stack's row cannot be its track
    };
    for (const Case& c : cases)
        EXPECT_EQ(textOf(TrackList::afterClosing(rowsOf(c.rows), c.number, c.size)),
                  QString::fromUtf8(c.after))
            << c.rows;
}

TEST(TrackList, WithTailJoinsAtARowBothHold) {
    struct Case {
        const char* kept;
        const char* tail;
        const char* all;
    };
    const Case cases[] = {
        {"1:-X 4:-Y", "4:-Y 7:a 8:b", "1:-X 4:-Y 7:a 8:b"},
        {"1:a 2:b 3:c", "3:c 4:d", "1:a 2:b 3:c 4:d"},
        {"1:a 2:b", "2:z 3:d", "none"}, // another track where b was: the start changed too
        {"1:a 2:b", "5:d", "none"},     // no row in common
        {"1:a 2:b", "", "none"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textOf(TrackList::withTail(rowsOf(c.kept), rowsOf(c.tail))),
                  QString::fromUtf8(c.all))
            << c.kept << " + " << c.tail;
}

TEST(TrackList, FreeRowsNamedSkipsStacksAndTheirTracks) {
    struct Case {
        const char* rows;
        QStringList names;
        int ownFrom;
        const char* found;
        QStringList missing;
    };
    const QSet<QString> made{QStringLiteral("S")};
    const QHash<QString, int> sizes{{QStringLiteral("S"), 2}};
    const Case cases[] = {
        {"1:a 2:b 3:c", {"c", "a"}, 0, "3:c 1:a", {}},
        // The tracks of the open stack made before are taken; a closed one hides its own.
        {"1:+S 2:a 3:b 4:a 5:c", {"a", "b"}, 0, "4:a", {"b"}},
        {"1:-S 4:a", {"a"}, 0, "4:a", {}},
        // A name twice: the oldest free one, but a track of this send before the project's.
        {"1:a 2:a 3:a", {"a", "a"}, 0, "1:a 2:a", {}},
        {"1:a 2:a 3:a", {"a"}, 1, "2:a", {}},
        // A stack's row is never a track, even with the name.
        {"1:+a 2:x", {"a"}, 0, "", {"a"}},
    };
    for (const Case& c : cases) {
        const TrackList::Picked picked =
            TrackList::freeRowsNamed(rowsOf(c.rows), c.names, made, sizes, c.ownFrom);
        EXPECT_EQ(textOf(picked.found), QString::fromUtf8(c.found)) << c.rows;
        EXPECT_EQ(picked.missing, c.missing) << c.rows;
    }
}

TEST(TrackList, RowsHoldOnlyWhileEveryChangeIsAccountedFor) {
    const QList<TrackRow> rows = rowsOf("1:a 2:b 3:c");
    TrackList list;
    EXPECT_FALSE(list.holds(0));
    list.keep(rows, 5);
    EXPECT_TRUE(list.holds(5));
    EXPECT_FALSE(list.holds(6)); // a change no one accounted for

    // A step that changes no row, begun while they held: they hold after it.
    list.unchanged(5, 9);
    EXPECT_TRUE(list.holds(9));
    // One begun after an unaccounted change does not make them hold again.
    list.unchanged(11, 12);
    EXPECT_FALSE(list.holds(12));

    // A stack made: the rows are what it did to them.
    list.keep(rows, 20);
    list.stackMade(20, 30, 1, QStringLiteral("S"), {1, 2}, true);
    ASSERT_TRUE(list.holds(30));
    EXPECT_EQ(textOf(list.rows()), QStringLiteral("1:+S 2:a 3:b 4:c"));
    list.stackClosed(30, 33, 1, 2);
    ASSERT_TRUE(list.holds(33));
    EXPECT_EQ(textOf(list.rows()), QStringLiteral("1:-S 4:c"));

    // Tracks come in: the rows kept are the start of the list only, and no stack is made
    // from them until the end was read again.
    list.appended(33, 40);
    EXPECT_TRUE(list.holds(40));
    EXPECT_TRUE(list.tailOpen());
    list.stackMade(40, 45, 4, QStringLiteral("T"), {4}, true);
    EXPECT_FALSE(list.holds(45));

    // A stack made from rows that did not hold when it began: unknown.
    list.keep(rows, 50);
    list.stackMade(52, 60, 1, QStringLiteral("S"), {1}, true);
    EXPECT_FALSE(list.holds(60));
}

} // namespace
