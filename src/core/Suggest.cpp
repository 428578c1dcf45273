#include "core/Suggest.h"

#include "core/Engine.h"
#include "core/IcuText.h"

#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QSet>

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <vector>

namespace Vantrel {

namespace {

// Evidence below this total never suggests: one strong word, or two weak ones that agree.
constexpr double minimumScore = 2.0;
// The winner must lead the runner-up by this much; closer than that is a tie.
constexpr double minimumLead = 0.5;
// Run-together words are read in their last word ("SynthBass" is a bass): the last word of a
// run that says something gets this much more.
constexpr double lastWordBonus = 0.5;
// A group's own words weigh this much unless the vocabulary knows the word better.
constexpr int ownWordWeight = 2;
// Pieces shorter than this are not split further into known words.
constexpr qsizetype minimumSplitLength = 3;
// Known words found inside a run-together piece have at least this many letters.
constexpr qsizetype minimumPartLength = 2;
// At most this many neighbouring pieces are joined back into one word ("Over"+"Head").
constexpr int maximumJoin = 3;

const QString vocabularyResource = QStringLiteral(":/vantrel/suggest-words.tsv");
const QString noGroupMark = QStringLiteral("-");
// The vocabulary's words of this group name a treatment of a sound, not an instrument.
const QString treatmentGroup = QStringLiteral("FX");

// A word the suggester knows: the group it points to (empty: no group) and its weight.
struct Known {
    QString group;
    int weight = 0;
    QString longForm;
    // Names what was done to a sound rather than the sound ("SFX").
    bool treatment = false;
    // One of the words of a rule group.
    bool ownWord = false;
};

// One word found in a name, with what it says.
struct Evidence {
    QString written; // as written in the name ("Kick", "OHs")
    QString chunk;   // the run of letters and digits it came from ("KickIn")
    int chunkIndex = 0;
    QString singular; // the word it is the plural of, or empty
    QString group;    // empty: belongs in no group
    double weight = 0;
    QString longForm;
    bool treatment = false;
    bool ownWord = false;
};

enum class CharKind { upper, lower, digit };

CharKind kindOf(QChar c) {
    if (c.isDigit())
        return CharKind::digit;
    if (c.isUpper())
        return CharKind::upper;
    return CharKind::lower;
}

// Drops the take suffix ("#04.1" at the end) and the leading channel number, as the
// classifier does.
QString coreOfStem(const QString& stem) {
    QString s = stem;
    const qsizetype hash = s.lastIndexOf(QLatin1Char('#'));
    if (hash >= 0) {
        qsizetype i = hash + 1;
        const qsizetype digitsStart = i;
        while (i < s.size() && s[i].isDigit())
            ++i;
        bool suffix = i > digitsStart;
        if (suffix && i < s.size() && s[i] == QLatin1Char('.')) {
            const qsizetype fractionStart = ++i;
            while (i < s.size() && s[i].isDigit())
                ++i;
            suffix = i > fractionStart;
        }
        if (suffix && i == s.size())
            s.truncate(hash);
    }
    qsizetype start = 0;
    while (start < s.size() && s[start].isDigit())
        ++start;
    if (start > 0)
        while (start < s.size() && s[start].isSpace())
            ++start;
    return s.mid(start);
}

// A part of a name by position: a run of letters and digits, or a word inside one.
struct Span {
    qsizetype start = 0;
    qsizetype end = 0;
};

// The runs of letters and digits of a name.
std::vector<Span> chunksOf(QStringView text) {
    std::vector<Span> chunks;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool inWord = i < text.size() && text[i].isLetterOrNumber();
        if (inWord && start < 0)
            start = i;
        if (!inWord && start >= 0) {
            chunks.push_back({start, i});
            start = -1;
        }
    }
    return chunks;
}

// Splits a chunk where the writer started a new word: between letters and digits, before an
// upper-case letter that follows a lower-case one, and before the last capital of a run of
// capitals that a lower-case word follows ("DIAmp": DI, Amp). A lone "s" after capitals is a
// plural and stays with them ("OHs", "BVs"). Runs of digits are left out.
std::vector<Span> piecesOf(QStringView chunk) {
    std::vector<Span> pieces;
    const auto add = [&](qsizetype start, qsizetype end) {
        if (!chunk[start].isDigit())
            pieces.push_back({start, end});
    };
    qsizetype start = 0;
    for (qsizetype i = 1; i < chunk.size(); ++i) {
        const CharKind prev = kindOf(chunk[i - 1]);
        const CharKind cur = kindOf(chunk[i]);
        bool cut = (prev == CharKind::digit) != (cur == CharKind::digit);
        if (prev == CharKind::lower && cur == CharKind::upper)
            cut = true;
        if (prev == CharKind::upper && cur == CharKind::upper && i + 1 < chunk.size() &&
            kindOf(chunk[i + 1]) == CharKind::lower) {
            const bool pluralS = chunk[i + 1] == QLatin1Char('s') &&
                                 (i + 2 == chunk.size() || kindOf(chunk[i + 2]) != CharKind::lower);
            cut = !pluralS;
        }
        if (cut) {
            add(start, i);
            start = i;
        }
    }
    if (!chunk.isEmpty())
        add(start, chunk.size());
    return pieces;
}

// Upper case letter for letter, so that positions stay the same; the vocabulary is plain ASCII.
QString upperInPlace(QStringView text) {
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = text[i].toUpper();
    return out;
}

bool isNumber(const QString& s) {
    return std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c.isDigit(); });
}

// Every vocabulary key and looked-up word is upper case; plain ASCII takes the short way.
QString plainText(const QString& word) {
    const bool ascii =
        std::all_of(word.cbegin(), word.cend(), [](QChar c) { return c.unicode() < 0x80; });
    return ascii ? word.toUpper() : Icu::upper(word);
}

} // namespace

// ---- Vocabulary

Vocabulary Vocabulary::parse(const QByteArray& text) {
    Vocabulary v;
    const QList<QByteArray> lines = text.split('\n');
    for (const QByteArray& rawLine : lines) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 3)
            continue;
        const QString word = plainText(fields[0].trimmed());
        const QString group = fields[1].trimmed();
        bool ok = false;
        const int weight = fields[2].trimmed().toInt(&ok);
        if (word.isEmpty() || group.isEmpty() || !ok || weight < 0)
            continue;
        Entry e;
        e.group = group == noGroupMark ? QString() : plainText(group);
        e.weight = weight;
        if (fields.size() > 3)
            e.longForm = fields[3].trimmed();
        v.entries.insert(word, e);
    }
    return v;
}

std::optional<Vocabulary> Vocabulary::loadFrom(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return parse(bytes);
}

const Vocabulary& Vocabulary::builtIn() {
    static const Vocabulary v = [] {
        // The file is compiled into the core library; it is always there.
        return loadFrom(vocabularyResource).value_or(Vocabulary{});
    }();
    return v;
}

// ---- Suggester

// Looks words up by view, without making a string of every piece tried.
struct ViewHash {
    using is_transparent = void;
    size_t operator()(QStringView v) const { return qHash(v); }
};
struct ViewEqual {
    using is_transparent = void;
    bool operator()(QStringView a, QStringView b) const { return a == b; }
};

struct Suggester::Impl {
    std::unordered_map<QString, Known, ViewHash, ViewEqual> words;
    qsizetype longestWord = 0;

    // The word itself, then the word without a plural ending; singular is set for a plural.
    const Known* find(QStringView upper, QStringView* singular) const {
        auto it = words.find(upper);
        if (it != words.end())
            return &it->second;
        if (upper.size() >= 3 && upper.endsWith(QLatin1Char('S'))) {
            const QStringView base = upper.chopped(1);
            it = words.find(base);
            if (it != words.end()) {
                *singular = base;
                return &it->second;
            }
        }
        return nullptr;
    }

    // Splits a run-together word into known words (each also as a plural), covering all of
    // it with as few words as possible; a last L or R is a side ("OHL"). Empty when it cannot
    // be covered.
    std::vector<Span> split(QStringView upper) const {
        std::vector<Span> parts = cover(upper);
        if (parts.empty() && upper.size() > minimumPartLength &&
            (upper.endsWith(QLatin1Char('L')) || upper.endsWith(QLatin1Char('R'))))
            parts = cover(upper.chopped(1));
        return parts;
    }

    std::vector<Span> cover(QStringView upper) const {
        const qsizetype n = upper.size();
        constexpr int none = std::numeric_limits<int>::max();
        std::vector<int> best(n + 1, none);
        std::vector<qsizetype> from(n + 1, -1);
        best[0] = 0;
        for (qsizetype end = minimumPartLength; end <= n; ++end) {
            const qsizetype shortest = std::max<qsizetype>(0, end - longestWord - 1);
            for (qsizetype start = end - minimumPartLength; start >= shortest; --start) {
                if (best[start] == none || best[start] + 1 >= best[end])
                    continue;
                QStringView singular;
                if (find(upper.sliced(start, end - start), &singular)) {
                    best[end] = best[start] + 1;
                    from[end] = start;
                }
            }
        }
        std::vector<Span> parts;
        if (best[n] == none)
            return parts;
        for (qsizetype end = n; end > 0; end = from[end])
            parts.insert(parts.begin(), Span{from[end], end});
        return parts;
    }

    QList<Evidence> evidenceOf(const QString& stem) const {
        QList<Evidence> out;
        const QString name = coreOfStem(stem);
        const std::vector<Span> chunks = chunksOf(name);
        for (int c = 0; c < int(chunks.size()); ++c) {
            const QStringView chunk =
                QStringView(name).sliced(chunks[c].start, chunks[c].end - chunks[c].start);
            const QString upper = upperInPlace(chunk);
            const auto add = [&](Span at, const Known& k, QStringView singular) {
                Evidence e;
                e.written = chunk.sliced(at.start, at.end - at.start).toString();
                e.chunk = chunk.toString();
                e.chunkIndex = c;
                e.singular = singular.toString();
                e.group = k.group;
                e.weight = k.weight;
                e.longForm = k.longForm;
                e.treatment = k.treatment;
                e.ownWord = k.ownWord;
                out << e;
            };
            const auto textOf = [&upper](Span at) {
                return QStringView(upper).sliced(at.start, at.end - at.start);
            };

            const std::vector<Span> pieces = piecesOf(chunk);
            for (size_t i = 0; i < pieces.size();) {
                // Neighbouring pieces that make one known word are read as that word.
                size_t taken = 0;
                for (size_t join = std::min<size_t>(maximumJoin, pieces.size() - i); join >= 2;
                     --join) {
                    // Only pieces that touch: "Hi1Hat" is not a hi-hat.
                    bool together = true;
                    for (size_t k = i + 1; k < i + join; ++k)
                        together = together && pieces[k].start == pieces[k - 1].end;
                    const Span joined{pieces[i].start, pieces[i + join - 1].end};
                    QStringView singular;
                    if (together) {
                        if (const Known* k = find(textOf(joined), &singular)) {
                            add(joined, *k, singular);
                            taken = join;
                            break;
                        }
                    }
                }
                if (taken > 0) {
                    i += taken;
                    continue;
                }
                const Span piece = pieces[i++];
                QStringView singular;
                if (const Known* k = find(textOf(piece), &singular)) {
                    add(piece, *k, singular);
                    continue;
                }
                if (piece.end - piece.start < minimumSplitLength)
                    continue;
                for (const Span& part : split(textOf(piece))) {
                    const Span at{piece.start + part.start, piece.start + part.end};
                    QStringView partSingular;
                    if (const Known* k = find(textOf(at), &partSingular))
                        add(at, *k, partSingular);
                }
            }
        }
        return out;
    }
};

Suggester::Suggester(const Config& cfg, const Vocabulary& vocabulary)
    : d(std::make_unique<Impl>()) {
    QSet<QString> groupNames;
    for (const RuleGroup& g : cfg.groups)
        groupNames.insert(g.name);
    // The vocabulary first; a word whose group the rules do not have still counts as known, so
    // that the words around it are read, but says nothing.
    for (auto it = vocabulary.entries.cbegin(); it != vocabulary.entries.cend(); ++it) {
        Known k;
        k.group = it->group;
        k.weight = it->group.isEmpty() || groupNames.contains(it->group) ? it->weight : 0;
        k.longForm = it->longForm;
        k.treatment = it->group == treatmentGroup;
        d->words.insert_or_assign(it.key(), k);
    }
    // A group's own words take precedence: the earliest group that lists a word owns it.
    QSet<QString> owned;
    for (const RuleGroup& g : cfg.groups) {
        for (const QString& alias : g.aliases) {
            if (alias.isEmpty() || owned.contains(alias))
                continue;
            owned.insert(alias);
            Known& k = d->words[alias];
            const bool vocabularyAgrees = k.group == g.name && k.weight > 0;
            k.weight = vocabularyAgrees ? k.weight : ownWordWeight;
            if (!vocabularyAgrees)
                k.longForm.clear();
            k.group = g.name;
            k.ownWord = true;
        }
    }
    for (const auto& [word, known] : d->words)
        d->longestWord = std::max(d->longestWord, word.size());
}

Suggester::~Suggester() = default;
Suggester::Suggester(Suggester&&) noexcept = default;
Suggester& Suggester::operator=(Suggester&&) noexcept = default;

namespace {

bool isTokenText(const QString& s) {
    return !s.isEmpty() && std::all_of(s.cbegin(), s.cend(), [](QChar c) {
        return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
               (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
    });
}

// The classifier reads a run of ASCII letters and digits as one token: the evidence's whole
// run when it is one, else the word itself.
QString tokenOf(const Evidence& e) {
    const QString chunk = plainText(e.chunk);
    if (isTokenText(chunk))
        return chunk;
    const QString word = plainText(e.written);
    return isTokenText(word) ? word : QString();
}

QString reasonFor(const Evidence& e) {
    const bool whole = e.written == e.chunk;
    const QString shortWord = e.written.toUpper();
    if (!e.longForm.isEmpty() && !e.singular.isEmpty())
        return whole ? QCoreApplication::translate("Vantrel::Suggestions",
                                                   "%1, plural of %2, short for %3")
                           .arg(e.written, e.singular, e.longForm)
                     : QCoreApplication::translate("Vantrel::Suggestions",
                                                   "%1 in “%2”, plural of %3, short for %4")
                           .arg(e.written, e.chunk, e.singular, e.longForm);
    if (!e.longForm.isEmpty())
        return whole
                   ? QCoreApplication::translate("Vantrel::Suggestions", "%1, short for %2")
                         .arg(shortWord, e.longForm)
                   : QCoreApplication::translate("Vantrel::Suggestions", "%1 in “%2”, short for %3")
                         .arg(shortWord, e.chunk, e.longForm);
    if (!e.singular.isEmpty() && whole)
        return QCoreApplication::translate("Vantrel::Suggestions", "%1, plural of %2")
            .arg(e.written, e.singular);
    if (!whole)
        return QCoreApplication::translate("Vantrel::Suggestions", "%1 in “%2”")
            .arg(e.written, e.chunk);
    if (e.ownWord)
        return QCoreApplication::translate("Vantrel::Suggestions", "%1, one of the words of %2")
            .arg(e.written, e.group);
    return QCoreApplication::translate("Vantrel::Suggestions", "%1, usually %2")
        .arg(e.written, e.group);
}

} // namespace

std::optional<Suggestion> Suggester::suggest(const QString& stem) const {
    QList<Evidence> evidence = d->evidenceOf(stem);
    evidence.removeIf([](const Evidence& e) { return e.weight <= 0; });
    if (evidence.isEmpty())
        return std::nullopt;
    // In a run of several words the last one names the thing ("SynthBass" is a bass), unless
    // it names a treatment ("VocalSFX" is a vocal); words apart from each other weigh the same.
    for (qsizetype first = 0; first < evidence.size();) {
        qsizetype end = first;
        while (end < evidence.size() && evidence[end].chunkIndex == evidence[first].chunkIndex)
            ++end;
        if (end - first > 1) {
            for (qsizetype i = end - 1; i >= first; --i) {
                if (!evidence[i].treatment) {
                    evidence[i].weight += lastWordBonus;
                    break;
                }
            }
        }
        first = end;
    }

    // Totals per group, in the order the groups first appear; empty is "no group".
    QList<std::pair<QString, double>> totals;
    for (const Evidence& e : evidence) {
        auto it = std::find_if(totals.begin(), totals.end(),
                               [&e](const auto& t) { return t.first == e.group; });
        if (it == totals.end())
            totals.append({e.group, e.weight});
        else
            it->second += e.weight;
    }
    std::stable_sort(totals.begin(), totals.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    const auto& [group, score] = totals.first();
    const double runnerUp = totals.size() > 1 ? totals[1].second : 0.0;
    if (group.isEmpty() || score < minimumScore || score - runnerUp < minimumLead)
        return std::nullopt;

    // The strongest word of the winner speaks for it; the last one among equals.
    const Evidence* best = nullptr;
    for (const Evidence& e : evidence)
        if (e.group == group && (!best || e.weight >= best->weight))
            best = &e;

    Suggestion s;
    s.group = group;
    s.reason = reasonFor(*best);
    s.word = tokenOf(*best);
    return s;
}

namespace Engine {

std::optional<Suggestion> suggest(const QString& stem, const Config& cfg) {
    if (classify(stem, cfg).group)
        return std::nullopt;
    return Suggester(cfg).suggest(stem);
}

QString learnableWord(const QString& stem, const Config& cfg) {
    for (const QString& token : tokenize(stem, cfg.sourceAliases)) {
        if (token.size() < 2 || isNumber(token))
            continue;
        return token;
    }
    return {};
}

} // namespace Engine

} // namespace Vantrel
