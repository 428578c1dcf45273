#pragma once

// The track list as the sender last read it: every row (number, name, whether it is a stack's
// row and whether that stack is open, its element while it was on screen) and the count of the
// sender's changes to Logic Pro when it was read. Reading the whole list costs a call per row
// (and scrolling, where only the rows on screen are in the tree), so the rows are read once
// after a change and kept while no change can have altered them:
//
// - any change the sender makes (a write, an action, a key or mouse event) makes them unknown,
//   unless the step that made it says what it did to the rows: nothing (a selection, a colour, a
//   question answered), a stack made from known rows, a stack closed, tracks added at the end;
// - the person at the machine may change the selection at any time, which no row shows here;
// - nothing that decides whether a session is right is taken from here: the closing check reads
//   Logic afresh.
//
// Where the rows hold tells holds(); every other rule about them is here too, so that they can
// be tied to Logic's own notices of change later.

#include "platform/Platform.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace Vantrel {

// One track row as the track list shows it: its number (Logic numbers every track, the tracks
// of closed stacks included), its name, whether it is a stack's row and whether that stack is
// open. element is the row's element while it was on screen at the read, else none.
struct TrackRow {
    Element element;
    int number = 0;
    QString name;
    bool stack = false;
    std::optional<bool> open;
};

class TrackList {
public:
    // --- The rows kept.

    // Whether the rows kept still hold after `changes` changes of the sender in all.
    bool holds(long long changes) const { return rows_ && changes == changes_; }
    // The rows kept; valid only while holds().
    const QList<TrackRow>& rows() const { return *rows_; }
    // The rows as just read, after `changes` changes.
    void keep(const QList<TrackRow>& rows, long long changes);
    // Forgets the rows: they are read again when next needed.
    void invalidate() { rows_.reset(), tailOpen_ = false; }
    // Whether tracks may have come in at the end since the rows were read (the rows kept are
    // the start of the list, unless a read of the end says otherwise).
    bool tailOpen() const { return tailOpen_; }

    // What a step did to the rows, from `since` (the changes when it began) to `now`: when the
    // rows held at its start or were read during it (before its own changes to the rows), they
    // are brought up to date; else they stay unknown.
    // Nothing: a selection, a colour, a dialog answered, the list scrolled.
    void unchanged(long long since, long long now);
    // Tracks may have come in at the end (an import).
    void appended(long long since, long long now);
    // A stack named name was made (its row numbered number) from the rows numbered members;
    // open tells whether it stands open.
    void stackMade(long long since, long long now, int number, const QString& name,
                   const QList<int>& members, bool open);
    // The open stack numbered number, holding size tracks, was closed.
    void stackClosed(long long since, long long now, int number, int size);

    // --- The rules, as pure functions.

    // The list after a stack named name was made from the rows numbered members, its row
    // numbered number: every other row keeps its order, the stack's row stands at number with
    // the members right below it (in their order) while it is open, and the rows are numbered
    // again. None when the rows do not tell it for sure: a closed stack among them (its tracks
    // are not rows, so numbers jump), a member that is no row or a stack, a number out of the
    // list.
    static std::optional<QList<TrackRow>> afterStack(const QList<TrackRow>& rows, int number,
                                                     const QString& name, const QList<int>& members,
                                                     bool open);
    // The list after the open stack numbered number closed: its size tracks below it are no
    // rows any more; numbers do not change. None when the stack is no open stack's row.
    static std::optional<QList<TrackRow>> afterClosing(const QList<TrackRow>& rows, int number,
                                                       int size);
    // The list whose start is kept and whose end was read again: the rows of tail replace
    // those of kept from the first row of tail on. None unless the first row of tail is a row
    // of kept (same number and name): otherwise the rows before the tail may have changed too.
    static std::optional<QList<TrackRow>> withTail(const QList<TrackRow>& kept,
                                                   const QList<TrackRow>& tail);
    // The rows of the tracks named, found by name among the rows that are neither stacks nor
    // tracks of an open stack made in this send (madeStacks, of stackSizes tracks each); a
    // track of this send (numbered above ownFrom) rather than one the project held, else the
    // lowest number. Every row is taken once; names not found are missing.
    struct Picked {
        QList<TrackRow> found;
        QStringList missing;
    };
    static Picked freeRowsNamed(const QList<TrackRow>& rows, const QStringList& names,
                                const QSet<QString>& madeStacks,
                                const QHash<QString, int>& stackSizes, int ownFrom);
    // A row's number and name from its description: the number is the first number outside
    // the name; the name is name (the name field's) when given, else the text in quotes.
    // None when the description holds no number (or, without name, no quoted name).
    static std::optional<std::pair<int, QString>> parseRow(const QString& description,
                                                           const std::optional<QString>& name);

private:
    // Whether the rows were current at some moment since the step that began at since.
    bool heldAt(long long since) const;

    std::optional<QList<TrackRow>> rows_;
    long long changes_ = 0;
    bool tailOpen_ = false;
};

} // namespace Vantrel
