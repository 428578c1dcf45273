#pragma once

// The comparison of a session read back from Logic Pro with the jobs that were sent: pure
// functions over values, apart from the colour reader a caller hands in. The sender reads the
// track list (opening closed stacks to see their tracks) and the colours; these functions say
// what differs, as sentences for the user, the most telling first.

#include "automation/SendJobs.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace Vantrel::SessionCheck {

// One row of the track list as read back: its track number, its name, whether it is a stack's
// row and, for a stack, whether it is open (none when unreadable).
struct Row {
    int number = 0;
    QString name;
    bool stack = false;
    std::optional<bool> open;
    bool operator==(const Row&) const = default;
};

// One row of the top level of the track list: a stack's row or a track outside every stack,
// by kind and name; number is its track number when read from Logic.
struct TopRow {
    QString name;
    bool stack = false;
    int number = 0;
};

// What the send was to leave in Logic.
struct Expected {
    QList<SendJob> jobs;
    // The run arranges the session: the order of the top level and the fold state of the
    // stacks it made count, and so do the colours.
    bool arranged = false;
    // The send brought its own tracks (imported files) rather than stacking the project's.
    bool imports = true;
    // How many tracks the project held when the send began, and their names (counted).
    int tracksAtStart = 0;
    QHash<QString, int> namesAtStart;
    // The stacks made in this send.
    QSet<QString> madeStacks;
};

// What was read back.
struct Observed {
    // The rows as first read, with the stacks' fold state.
    QList<Row> folded;
    // Every row once the closed stacks were opened: the same as folded when none was closed.
    QList<Row> rows;
};

// Track names as a note or a problem lists them: "A, B, C".
QString joined(const QStringList& names);

// The order the jobs ask for: the stacks in job order, then the unsorted tracks in theirs.
QList<TopRow> wantedOrder(const QList<SendJob>& jobs);

// The differences between the session read back and the one expected, without the colours:
// every stack once with exactly its members, no track twice, no member outside its stack, the
// number of tracks; when arranged, also the order of the top level and every stack made in
// this send closed. Empty when the session is right.
QStringList compareSession(const Expected& expected, const Observed& observed);

// The stack each row of observed.rows is or is in, by track number (rows outside every stack
// are absent): the partition compareSession judges.
QHash<int, QString> stackOfRows(const Expected& expected, const Observed& observed);

// Each job's stack and its colour (none: the stack gets no colour).
QHash<QString, std::optional<Swatch>> stackColors(const QList<SendJob>& jobs);

// A row's colour as read through Logic: shown (color: its palette cell, or none for no
// colour), unknown for this row (a person changed the selection meanwhile: nothing to compare),
// or unreadable (Logic does not show colours: nothing more can be compared).
struct ColorRead {
    enum class Kind { shown, unknown, unreadable };
    Kind kind = Kind::unknown;
    std::optional<Swatch> color;
};
using ColorReader = std::function<ColorRead(const Row&)>;

// Reads, row by row, the colour of each row whose colour the send decides (stackOf: the stack a
// row is or is in; colorOf: each stack's colour; rows numbered up to ownFrom that are no stack
// are the user's) and names the first that differs. Stops at the first difference, and at the
// first colour that cannot be read (then nothing is said).
std::optional<QString> firstWrongColor(const QList<Row>& rows, const QHash<int, QString>& stackOf,
                                       const QHash<QString, std::optional<Swatch>>& colorOf,
                                       int ownFrom, const ColorReader& read);

// The message a send that went through ends with when the session differs: the first
// difference named, the number of the others counted. None when problems is empty.
std::optional<QString> closingMessage(const QStringList& problems);

} // namespace Vantrel::SessionCheck
