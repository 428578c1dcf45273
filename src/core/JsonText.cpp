#include "core/JsonText.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Vantrel::JsonText {

namespace {

char hexDigit(unsigned value) {
    return char(value < 10 ? '0' + value : 'a' + value - 10);
}

// The bytes appendString() writes for s, without the quotes.
qsizetype escapedLength(const QString& s) {
    qsizetype length = 0;
    const auto* p = reinterpret_cast<const char16_t*>(s.constData());
    const char16_t* const end = p + s.size();
    while (p != end) {
        const char16_t u = *p++;
        if (u < 0x80) {
            if (u >= 0x20 && u != '"' && u != '\\')
                length += 1;
            else if (u == '"' || u == '\\' || u == 0x8 || u == 0xc || u == 0xa || u == 0xd ||
                     u == 0x9)
                length += 2;
            else
                length += 6;
        } else if (u < 0x800) {
            length += 2;
        } else if (QChar::isSurrogate(u)) {
            if (QChar::isHighSurrogate(u) && p != end && QChar::isLowSurrogate(*p)) {
                ++p;
                length += 4;
            } else {
                length += 6;
            }
        } else {
            length += 3;
        }
    }
    return length;
}

} // namespace

void appendString(QByteArray& out, const QString& s) {
    // Written through a pointer into room made once: at most 6 bytes per UTF-16 unit (an
    // escape), and the quotes. Where the room already made for the text (a journal reserves
    // what it needs) is short of that, the exact length counts, and the room grows
    // geometrically, so that many appends stay linear.
    const qsizetype start = out.size();
    qsizetype most = start + 6 * s.size() + 2;
    if (out.capacity() < most) {
        most = start + escapedLength(s) + 2;
        if (out.capacity() < most)
            out.reserve(std::max(most, 2 * out.capacity()));
    }
    out.resize(most);
    char* w = out.data() + start;
    const auto put = [&w](char c) { *w++ = c; };
    const auto escape = [&w](char16_t u) {
        *w++ = '\\';
        *w++ = 'u';
        for (int shift = 12; shift >= 0; shift -= 4)
            *w++ = hexDigit((u >> shift) & 0xf);
    };
    put('"');
    const auto* p = reinterpret_cast<const char16_t*>(s.constData());
    const char16_t* const end = p + s.size();
    while (p != end) {
#if defined(__SSE2__)
        // Eight units at a time while they are all printable ASCII but '"' and '\\', written
        // as they are (the common case by far: file names, folders and groups); any other
        // unit is written one at a time below. The room made above holds 6 bytes per unit.
        if (end - p >= 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            // As signed 16-bit numbers, units from 0x8000 up are negative: below 0x20.
            const __m128i printable = _mm_and_si128(_mm_cmpgt_epi16(v, _mm_set1_epi16(0x1f)),
                                                    _mm_cmplt_epi16(v, _mm_set1_epi16(0x80)));
            const __m128i special = _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16('"')),
                                                 _mm_cmpeq_epi16(v, _mm_set1_epi16('\\')));
            if (_mm_movemask_epi8(_mm_andnot_si128(special, printable)) == 0xffff) {
                _mm_storel_epi64(reinterpret_cast<__m128i*>(w), _mm_packus_epi16(v, v));
                w += 8;
                p += 8;
                continue;
            }
        }
#endif
        const char16_t u = *p++;
        if (u < 0x80) {
            if (u >= 0x20 && u != '"' && u != '\\') {
                put(char(u));
                continue;
            }
            switch (u) {
            case '"':
                put('\\');
                put('"');
                break;
            case '\\':
                put('\\');
                put('\\');
                break;
            case 0x8:
                put('\\');
                put('b');
                break;
            case 0xc:
                put('\\');
                put('f');
                break;
            case 0xa:
                put('\\');
                put('n');
                break;
            case 0xd:
                put('\\');
                put('r');
                break;
            case 0x9:
                put('\\');
                put('t');
                break;
            default:
                escape(u);
            }
        } else if (u < 0x800) {
            put(char(0xc0 | (u >> 6)));
            put(char(0x80 | (u & 0x3f)));
        } else if (QChar::isSurrogate(u)) {
            if (QChar::isHighSurrogate(u) && p != end && QChar::isLowSurrogate(*p)) {
                const char32_t c = QChar::surrogateToUcs4(u, *p++);
                put(char(0xf0 | (c >> 18)));
                put(char(0x80 | ((c >> 12) & 0x3f)));
                put(char(0x80 | ((c >> 6) & 0x3f)));
                put(char(0x80 | (c & 0x3f)));
            } else {
                escape(u);
            }
        } else {
            put(char(0xe0 | (u >> 12)));
            put(char(0x80 | ((u >> 6) & 0x3f)));
            put(char(0x80 | (u & 0x3f)));
        }
    }
    put('"');
    out.resize(w - out.constData());
}

void appendIndent(QByteArray& out, int levels) {
    out.append(qsizetype(4 * levels), ' ');
}

Reader::Reader(const QByteArray& text)
    : p_(text.constData()), end_(text.constData() + text.size()) {}

void Reader::skipSpace() {
    while (p_ != end_ && (*p_ == ' ' || *p_ == '\n' || *p_ == '\r' || *p_ == '\t'))
        ++p_;
}

char Reader::peek() {
    skipSpace();
    return p_ == end_ ? 0 : *p_;
}

bool Reader::take(char c) {
    if (peek() != c || c == 0)
        return false;
    ++p_;
    return true;
}

bool Reader::atEnd() {
    skipSpace();
    return p_ == end_;
}

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool Reader::readString(QString& out) {
    if (!take('"'))
        return false;
    out.clear();
    for (;;) {
        // A run of plain bytes, decoded at once.
        const char* run = p_;
        while (p_ != end_ && *p_ != '"' && *p_ != '\\')
            ++p_;
        if (p_ != run) {
            const QByteArrayView bytes(run, p_ - run);
            if (out.isEmpty() && p_ != end_ && *p_ == '"')
                out = utf8_.decode(bytes);
            else
                out += utf8_.decode(bytes);
            if (utf8_.hasError())
                return false;
        }
        if (p_ == end_)
            return false;
        if (*p_++ == '"')
            return true;
        if (p_ == end_)
            return false;
        switch (*p_++) {
        case '"':
            out += QLatin1Char('"');
            break;
        case '\\':
            out += QLatin1Char('\\');
            break;
        case '/':
            out += QLatin1Char('/');
            break;
        case 'b':
            out += QLatin1Char('\b');
            break;
        case 'f':
            out += QLatin1Char('\f');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'u': {
            if (end_ - p_ < 4)
                return false;
            int unit = 0;
            for (int i = 0; i < 4; ++i) {
                const int digit = hexValue(*p_++);
                if (digit < 0)
                    return false;
                unit = unit * 16 + digit;
            }
            out += QChar(char16_t(unit));
            break;
        }
        default:
            // QJsonDocument takes any other escaped byte as itself.
            out += QLatin1Char(p_[-1]);
            break;
        }
    }
}

bool Reader::literal(const char* word) {
    const char* q = p_;
    for (; *word; ++word, ++q) {
        if (q == end_ || *q != *word)
            return false;
    }
    p_ = q;
    return true;
}

bool Reader::readBool(bool& out) {
    const char c = peek();
    if (c == 't' && literal("true"))
        out = true;
    else if (c == 'f' && literal("false"))
        out = false;
    else
        return false;
    return true;
}

bool Reader::number() {
    const auto digits = [this] {
        const char* start = p_;
        while (p_ != end_ && *p_ >= '0' && *p_ <= '9')
            ++p_;
        return p_ != start;
    };
    if (p_ != end_ && *p_ == '-')
        ++p_;
    if (p_ != end_ && *p_ == '0')
        ++p_;
    else if (!digits())
        return false;
    // As QJsonDocument reads: a fraction may have no digits.
    if (p_ != end_ && *p_ == '.') {
        ++p_;
        digits();
    }
    if (p_ != end_ && (*p_ == 'e' || *p_ == 'E')) {
        ++p_;
        if (p_ != end_ && (*p_ == '+' || *p_ == '-'))
            ++p_;
        if (!digits())
            return false;
    }
    return true;
}

bool Reader::skipValue() {
    return skipValueAt(0);
}

bool Reader::skipValueAt(int depth) {
    // As deep as QJsonDocument reads.
    if (depth > 1024)
        return false;
    QString ignored;
    switch (peek()) {
    case '"':
        return readString(ignored);
    case 't':
        return literal("true");
    case 'f':
        return literal("false");
    case 'n':
        return literal("null");
    case '[':
        ++p_;
        if (take(']'))
            return true;
        do {
            if (!skipValueAt(depth + 1))
                return false;
        } while (take(','));
        return take(']');
    case '{':
        ++p_;
        if (take('}'))
            return true;
        do {
            if (!readString(ignored) || !take(':') || !skipValueAt(depth + 1))
                return false;
        } while (take(','));
        return take('}');
    default:
        return number();
    }
}

} // namespace Vantrel::JsonText
