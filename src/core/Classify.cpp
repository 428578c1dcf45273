#include "core/Engine.h"
#include "core/IcuText.h"
#include "core/NameTable.h"

#include <unicode/locid.h>
#include <unicode/regex.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Vantrel::Engine {

namespace {

const QString tracksGroup = QStringLiteral("TRACKS");

std::unique_ptr<icu::RegexPattern> compile(const icu::UnicodeString& pattern, uint32_t flags = 0) {
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    std::unique_ptr<icu::RegexPattern> p(
        icu::RegexPattern::compile(pattern, flags, parseError, status));
    if (U_FAILURE(status))
        return nullptr;
    return p;
}

// The fixed patterns of the tokenizer, compiled once for the process. A compiled pattern is
// immutable and may be shared by threads; each use makes its own matcher.
struct FixedPatterns {
    std::unique_ptr<icu::RegexPattern> takeSuffix = compile(u"#\\d+(\\.\\d+)?$");
    std::unique_ptr<icu::RegexPattern> channel = compile(u"^\\d+\\s*");
    std::unique_ptr<icu::RegexPattern> trackWord = compile(u"^TRACK\\s*", UREGEX_CASE_INSENSITIVE);
    std::unique_ptr<icu::RegexPattern> leadingTrack =
        compile(u"^\\d*\\s*track\\b", UREGEX_CASE_INSENSITIVE);
};

const FixedPatterns& fixed() {
    static const FixedPatterns patterns;
    return patterns;
}

// Replaces every match in text by replacement, taken literally; matcher is reused.
icu::UnicodeString replaceAll(icu::RegexMatcher& m, const icu::UnicodeString& text,
                              const icu::UnicodeString& replacement) {
    UErrorCode status = U_ZERO_ERROR;
    m.reset(text);
    icu::UnicodeString out;
    int32_t last = 0;
    while (m.find(status) && U_SUCCESS(status)) {
        const int32_t start = m.start(status);
        const int32_t end = m.end(status);
        out.append(text, last, start - last);
        out.append(replacement);
        last = end;
    }
    if (last == 0)
        return text;
    out.append(text, last, text.length() - last);
    return out;
}

std::unique_ptr<icu::RegexMatcher> matcherFor(const icu::RegexPattern& pattern) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> m(pattern.matcher(status));
    return U_SUCCESS(status) ? std::move(m) : nullptr;
}

bool matches(icu::RegexMatcher& m, const icu::UnicodeString& text) {
    UErrorCode status = U_ZERO_ERROR;
    m.reset(text);
    return m.find(status) && U_SUCCESS(status);
}

// Quotes every character that has a meaning in a pattern.
icu::UnicodeString escapePattern(const QString& text) {
    static const QString special = QStringLiteral("\\^$.|?*+()[]{}#-&~ ");
    QString out;
    out.reserve(text.size() * 2);
    for (const QChar c : text) {
        if (special.contains(c))
            out += QLatin1Char('\\');
        out += c;
    }
    return Icu::toIcu(out);
}

// Every run of characters outside A-Z and 0-9 becomes one space; ends trimmed.
icu::UnicodeString squeezeSeparators(const icu::UnicodeString& text) {
    icu::UnicodeString out;
    bool gap = false;
    for (int32_t i = 0; i < text.length(); ++i) {
        const char16_t u = text.charAt(i);
        if ((u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')) {
            if (gap && !out.isEmpty())
                out.append(char16_t(' '));
            out.append(u);
            gap = false;
        } else {
            gap = true;
        }
    }
    return out;
}

// Plain ASCII as the fast path reads it: printable characters only. Control characters (line
// ends, tabs) and everything beyond ASCII take the general path, where "$", "\\s" and "\\b"
// have their full Unicode meaning.
bool printableAscii(QStringView s) {
    return std::all_of(s.cbegin(), s.cend(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7f; });
}

bool printableAscii(const QString& s) {
    return printableAscii(QStringView(s));
}

bool asciiDigit(char16_t c) {
    return c >= '0' && c <= '9';
}

// A word character of the patterns' "\\b" among printable ASCII: letters, digits and "_".
bool asciiWord(char16_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || asciiDigit(c) || c == '_';
}

// Whether "\\b" holds at position at of printable ASCII text.
bool asciiBoundary(std::u16string_view text, size_t at) {
    const bool before = at > 0 && asciiWord(text[at - 1]);
    const bool after = at < text.size() && asciiWord(text[at]);
    return before != after;
}

// Whether text at "at" starts with word, ASCII letters compared without case.
bool startsWithNoCase(std::u16string_view text, size_t at, std::u16string_view word) {
    if (text.size() - at < word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        char16_t c = text[at + i];
        if (c >= 'A' && c <= 'Z')
            c = char16_t(c + ('a' - 'A'));
        if (c != word[i])
            return false;
    }
    return true;
}

size_t skipSpaces(std::u16string_view text, size_t at) {
    while (at < text.size() && text[at] == ' ')
        ++at;
    return at;
}

size_t skipDigits(std::u16string_view text, size_t at) {
    while (at < text.size() && asciiDigit(text[at]))
        ++at;
    return at;
}

} // namespace

// The matchers are made once per classifier and reset for every stem; ICU matchers are not
// shared between threads, which is why a classifier belongs to one thread at a time.
struct Classifier::Impl {
    struct Alias {
        std::unique_ptr<icu::RegexPattern> pattern;
        std::unique_ptr<icu::RegexMatcher> matcher;
        icu::UnicodeString key;
        icu::UnicodeString value;
        // The same key and value for the ASCII path.
        std::u16string asciiKey;
        std::u16string asciiValue;
    };
    std::vector<Alias> aliases;
    // Whether every alias's key and value are printable ASCII and no key is empty: then a
    // printable ASCII stem stays ASCII through tokenizing and the ASCII path reads it.
    bool asciiAliases = true;
    // Every group word with the position of the first group that has it.
    NameTable<qsizetype, false> groupOfWord;
    std::unique_ptr<icu::RegexMatcher> takeSuffix;
    std::unique_ptr<icu::RegexMatcher> channel;
    std::unique_ptr<icu::RegexMatcher> trackWord;
    std::unique_ptr<icu::RegexMatcher> leadingTrack;
    QList<RuleGroup> groups;
    bool hasTracks = false;
};

Classifier::Classifier(const Config& cfg) : d(std::make_unique<Impl>()) {
    const FixedPatterns& p = fixed();
    d->takeSuffix = matcherFor(*p.takeSuffix);
    d->channel = matcherFor(*p.channel);
    d->trackWord = matcherFor(*p.trackWord);
    d->leadingTrack = matcherFor(*p.leadingTrack);
    d->groups = cfg.groups;
    d->hasTracks = std::any_of(cfg.groups.cbegin(), cfg.groups.cend(),
                               [](const RuleGroup& g) { return g.name == tracksGroup; });
    for (qsizetype i = 0; i < cfg.groups.size(); ++i)
        for (const QString& word : cfg.groups[i].aliases) {
            bool inserted = false;
            qsizetype& group = d->groupOfWord.find(word, inserted);
            if (inserted)
                group = i;
        }

    // Longest key first; keys of equal length in the map's (key) order.
    std::vector<std::pair<QString, QString>> pairs;
    for (auto it = cfg.sourceAliases.cbegin(); it != cfg.sourceAliases.cend(); ++it)
        pairs.emplace_back(it.key(), it.value());
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    for (const auto& [key, value] : pairs) {
        const QString upperKey = Icu::upper(key);
        auto pattern = compile(u"\\b" + escapePattern(upperKey) + u"\\b");
        if (!pattern)
            continue;
        auto matcher = matcherFor(*pattern);
        if (!matcher)
            continue;
        d->asciiAliases = d->asciiAliases && !upperKey.isEmpty() && printableAscii(upperKey) &&
                          printableAscii(value);
        d->aliases.push_back({std::move(pattern), std::move(matcher), Icu::toIcu(upperKey),
                              Icu::toIcu(value), upperKey.toStdU16String(),
                              value.toStdU16String()});
    }
}

Classifier::~Classifier() = default;
Classifier::Classifier(Classifier&&) noexcept = default;
Classifier& Classifier::operator=(Classifier&&) noexcept = default;

namespace {

// The composed (NFC) form of a stem: a name reads the same whichever form the file system or the
// program that wrote it chose ("é" as one character or as "e" and a combining accent).
QString composed(const QString& stem) {
    const bool plain =
        std::all_of(stem.cbegin(), stem.cend(), [](QChar c) { return c.unicode() < 0x300; });
    return plain ? stem : stem.normalized(QString::NormalizationForm_C);
}

} // namespace

QStringList Classifier::tokenize(const QString& rawStem) const {
    if (d->asciiAliases && printableAscii(rawStem))
        return tokenizeAscii(rawStem);
    return tokenizeGeneral(rawStem);
}

QStringList Classifier::tokenizeGeneral(const QString& rawStem) const {
    icu::UnicodeString s = Icu::toIcu(composed(rawStem));
    // Each pattern is tried only when its literal part or first character can be there.
    if (s.indexOf(char16_t('#')) >= 0)
        s = replaceAll(*d->takeSuffix, s, {});
    if (!s.isEmpty() && u_isdigit(s.char32At(0)))
        s = replaceAll(*d->channel, s, {});
    s = replaceAll(*d->trackWord, s, {});
    s.toUpper(icu::Locale::getRoot());
    s = squeezeSeparators(s);
    for (const Impl::Alias& alias : d->aliases) {
        if (s.indexOf(alias.key) >= 0)
            s = replaceAll(*alias.matcher, s, alias.value);
    }
    return Icu::toQt(s).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The patterns of tokenizeGeneral() worked out by hand for printable ASCII, where "\d" is 0-9,
// "\s" is the space, "$" is the end and case is ASCII case; no ICU call.
QStringList Classifier::tokenizeAscii(const QString& stem) const {
    // Read where it stands: the patterns only cut the stem's ends.
    std::u16string_view s(reinterpret_cast<const char16_t*>(stem.constData()), size_t(stem.size()));
    // "#\d+(\.\d+)?$": only the last "#" can start it, the rest holding no "#".
    if (const size_t hash = s.rfind(u'#'); hash != std::u16string_view::npos) {
        size_t at = skipDigits(s, hash + 1);
        bool take = at > hash + 1;
        if (take && at < s.size()) {
            const size_t fraction = at + 1;
            at = s[at] == '.' ? skipDigits(s, fraction) : at;
            take = at > fraction && at == s.size();
        }
        if (take)
            s = s.substr(0, hash);
    }
    // "^\d+\s*", then "^TRACK\s*" without case.
    if (!s.empty() && asciiDigit(s[0]))
        s.remove_prefix(skipSpaces(s, skipDigits(s, 0)));
    if (startsWithNoCase(s, 0, u"track"))
        s.remove_prefix(skipSpaces(s, 5));
    // Upper-cased, then every run outside A-Z and 0-9 one space; in this thread's buffer, whose
    // room serves the next stem again.
    thread_local std::u16string text;
    text.clear();
    text.reserve(s.size());
    bool gap = false;
    for (char16_t u : s) {
        if (u >= 'a' && u <= 'z')
            u = char16_t(u - ('a' - 'A'));
        if ((u >= 'A' && u <= 'Z') || asciiDigit(u)) {
            if (gap && !text.empty())
                text += u' ';
            text += u;
            gap = false;
        } else {
            gap = true;
        }
    }
    // "\bKEY\b" replaced by the value, matches found in the text before the replacement.
    for (const Impl::Alias& alias : d->aliases) {
        const std::u16string& key = alias.asciiKey;
        size_t from = text.find(key);
        if (from == std::u16string::npos)
            continue;
        std::u16string out;
        size_t last = 0;
        for (; from != std::u16string::npos; from = text.find(key, from)) {
            const size_t end = from + key.size();
            if (asciiBoundary(text, from) && asciiBoundary(text, end)) {
                out.append(text, last, from - last);
                out += alias.asciiValue;
                last = from = end;
            } else {
                ++from;
            }
        }
        if (last > 0) {
            out.append(text, last);
            text = std::move(out);
        }
    }
    QStringList tokens;
    for (size_t at = 0; at < text.size();) {
        const size_t space = std::min(text.find(u' ', at), text.size());
        if (space > at)
            tokens.push_back(
                QString(reinterpret_cast<const QChar*>(text.data() + at), qsizetype(space - at)));
        at = space + 1;
    }
    return tokens;
}

Classification Classifier::classify(const QString& rawStem) const {
    if (d->asciiAliases && printableAscii(rawStem)) {
        // "^\d*\s*track\b" without case.
        const std::u16string_view s(reinterpret_cast<const char16_t*>(rawStem.constData()),
                                    size_t(rawStem.size()));
        const size_t word = skipSpaces(s, skipDigits(s, 0));
        const bool leadingTrack = startsWithNoCase(s, word, u"track") && asciiBoundary(s, word + 5);
        return classifyTokens(tokenizeAscii(rawStem), leadingTrack);
    }
    return classifyGeneral(rawStem);
}

Classification Classifier::classifyGeneral(const QString& rawStem) const {
    const QString stem = composed(rawStem);
    const bool leadingTrack = d->hasTracks && matches(*d->leadingTrack, Icu::toIcu(stem));
    return classifyTokens(tokenizeGeneral(stem), leadingTrack);
}

Classification Classifier::classifyTokens(QStringList tokens, bool leadingTrack) const {
    const auto joined = [&tokens] { return tokens.join(QLatin1Char('_')); };

    if (d->hasTracks && leadingTrack)
        return {tracksGroup, joined()};

    // The first token that is a word of a group, itself or by its first "_" piece, goes to
    // the first group that has it.
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString& token = tokens[i];
        qsizetype group = d->groups.size();
        if (const qsizetype* found = d->groupOfWord.lookup(token))
            group = *found;
        if (token.contains(QLatin1Char('_'))) {
            const QStringList pieces = token.split(QLatin1Char('_'), Qt::SkipEmptyParts);
            const QString head = pieces.isEmpty() ? token : pieces.first();
            if (const qsizetype* found = d->groupOfWord.lookup(head))
                group = std::min(group, *found);
        }
        if (group == d->groups.size())
            continue;
        const QString& name = d->groups[group].name;
        if (token == name)
            tokens.removeAt(i);
        return {name, joined()};
    }

    const bool leftRight =
        !tokens.isEmpty() && std::all_of(tokens.cbegin(), tokens.cend(), [](const QString& t) {
            return t == QLatin1String("L") || t == QLatin1String("R");
        });
    if (leftRight && d->hasTracks)
        return {tracksGroup, joined()};
    return {std::nullopt, joined()};
}

QStringList tokenize(const QString& stem, const QMap<QString, QString>& aliases) {
    Config cfg;
    cfg.sourceAliases = aliases;
    return Classifier(cfg).tokenize(stem);
}

Classification classify(const QString& stem, const Config& cfg) {
    return Classifier(cfg).classify(stem);
}

std::optional<std::int64_t> sessionOrder(const QString& stem) {
    // The leading run of numeric characters decides; it gives an order only when it is plain
    // ASCII digits that fit a signed 64-bit integer.
    qsizetype end = 0;
    bool ascii = true;
    const auto* u = reinterpret_cast<const char16_t*>(stem.constData());
    while (end < stem.size()) {
        if (u[end] < 0x80) { // ASCII: only 0-9 have a numeric value
            if (!asciiDigit(u[end]))
                break;
            ++end;
            continue;
        }
        UChar32 c;
        qsizetype next = end;
        U16_NEXT(u, next, stem.size(), c);
        if (u_getNumericValue(c) == U_NO_NUMERIC_VALUE)
            break;
        ascii = ascii && c >= '0' && c <= '9';
        end = next;
    }
    if (end == 0 || !ascii)
        return std::nullopt;
    // Read from a copy on the stack, as toLongLong() reads it: no string made per file.
    char digits[64];
    if (end > qsizetype(sizeof digits)) {
        bool ok = false;
        const qlonglong value = stem.left(end).toLongLong(&ok, 10);
        return ok ? std::optional<std::int64_t>(value) : std::nullopt;
    }
    std::copy(u, u + end, digits);
    std::int64_t value = 0;
    const std::from_chars_result r = std::from_chars(digits, digits + end, value);
    if (r.ec != std::errc() || r.ptr != digits + end)
        return std::nullopt;
    return value;
}

} // namespace Vantrel::Engine
