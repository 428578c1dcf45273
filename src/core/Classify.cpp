#include "core/Engine.h"
#include "core/IcuText.h"

#include <unicode/locid.h>
#include <unicode/regex.h>
#include <unicode/uchar.h>

#include <algorithm>
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

} // namespace

// The matchers are made once per classifier and reset for every stem; ICU matchers are not
// shared between threads, which is why a classifier belongs to one thread at a time.
struct Classifier::Impl {
    struct Alias {
        std::unique_ptr<icu::RegexPattern> pattern;
        std::unique_ptr<icu::RegexMatcher> matcher;
        icu::UnicodeString key;
        icu::UnicodeString value;
    };
    std::vector<Alias> aliases;
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
        if (matcher)
            d->aliases.push_back(
                {std::move(pattern), std::move(matcher), Icu::toIcu(upperKey), Icu::toIcu(value)});
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

Classification Classifier::classify(const QString& rawStem) const {
    const QString stem = composed(rawStem);
    QStringList tokens = tokenize(stem);
    const auto joined = [&tokens] { return tokens.join(QLatin1Char('_')); };

    if (d->hasTracks && matches(*d->leadingTrack, Icu::toIcu(stem)))
        return {tracksGroup, joined()};

    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString token = tokens[i];
        const QStringList pieces = token.split(QLatin1Char('_'), Qt::SkipEmptyParts);
        const QString head = pieces.isEmpty() ? token : pieces.first();
        for (const RuleGroup& g : d->groups) {
            if (!g.aliases.contains(token) && !g.aliases.contains(head))
                continue;
            if (token == g.name)
                tokens.removeAt(i);
            return {g.name, joined()};
        }
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
    const auto* u = reinterpret_cast<const char16_t*>(stem.utf16());
    while (end < stem.size()) {
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
    bool ok = false;
    const qlonglong value = stem.left(end).toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace Vantrel::Engine
