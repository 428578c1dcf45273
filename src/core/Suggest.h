#pragma once

#include "core/Config.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace Vantrel {

// What recording engineers write for an instrument: a word, the default group it belongs in
// and how much it says. Read from a small text file of one entry a line:
//
//     WORD <tab> GROUP <tab> WEIGHT [<tab> long form]
//
// GROUP is a default group's name, or "-" for things that belong in no default group (brass,
// woodwinds); WEIGHT 0 marks a word that says nothing about the group but is known, so that
// longer run-together words can be read around it ("IN" of "KICKIN"). The long form is set for
// abbreviations ("GTR" -> "guitar") and shows in the reason. "#" starts a comment line.
struct Vocabulary {
    struct Entry {
        // A default group's name; empty for "belongs in no group".
        QString group;
        int weight = 0;
        // The written-out word of an abbreviation; empty otherwise.
        QString longForm;
        bool operator==(const Entry&) const = default;
    };
    // Keyed by the upper-case word.
    QHash<QString, Entry> entries;

    // The vocabulary that ships with the program.
    static const Vocabulary& builtIn();
    // Parses the file format; lines that do not parse are left out.
    static Vocabulary parse(const QByteArray& text);
    // Reads a vocabulary file; none when it cannot be read.
    static std::optional<Vocabulary> loadFrom(const QString& path);
};

// A group proposed for a track the rules leave unsorted, with a sentence saying why.
struct Suggestion {
    QString group;
    // Short, for a tooltip: "Kick in “KickIn”", "VOX, short for vocals".
    QString reason;
    // The classifier's token that carried the evidence: adding it to the group's words makes
    // the rules sort this name by themselves. Empty when the name has no such token.
    QString word;
    bool operator==(const Suggestion&) const = default;
};

// Reads file-name stems more loosely than the classifier: it splits words at case changes and
// digits, reads plurals and run-together words, and knows the engineers' abbreviations. A
// group's own words take precedence over the vocabulary. It suggests only when one group is
// clearly ahead; weak or split evidence gives none. Built once per configuration; suggest() is
// const and keeps no state, so one suggester may serve several threads.
class Suggester {
public:
    explicit Suggester(const Config& cfg, const Vocabulary& vocabulary = Vocabulary::builtIn());
    ~Suggester();
    Suggester(Suggester&&) noexcept;
    Suggester& operator=(Suggester&&) noexcept;

    // The suggestion for a stem from its words alone, whatever the classifier says of it.
    std::optional<Suggestion> suggest(const QString& stem) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

namespace Engine {

// The suggestion for a stem that the classifier leaves unsorted; none when it has a group.
// Makes a classifier and a suggester for the one stem: for many, keep a Suggester.
std::optional<Suggestion> suggest(const QString& stem, const Config& cfg);

// The word to add to a group's words so that the classifier sorts stem by itself: the first
// of its tokens with at least two characters that is not a number, or empty when there is
// none.
QString learnableWord(const QString& stem, const Config& cfg);

} // namespace Engine

} // namespace Vantrel
