#include "core/JsonText.h"

namespace Vantrel::JsonText {

namespace {

char hexDigit(unsigned value) {
    return char(value < 10 ? '0' + value : 'a' + value - 10);
}

void appendEscape(QByteArray& out, char16_t u) {
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += hexDigit((u >> shift) & 0xf);
}

} // namespace

void appendString(QByteArray& out, const QString& s) {
    out += '"';
    const auto* p = reinterpret_cast<const char16_t*>(s.constData());
    const char16_t* const end = p + s.size();
    while (p != end) {
        const char16_t u = *p++;
        if (u < 0x80) {
            if (u >= 0x20 && u != '"' && u != '\\') {
                out += char(u);
                continue;
            }
            out += '\\';
            switch (u) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case 0x8:
                out += 'b';
                break;
            case 0xc:
                out += 'f';
                break;
            case 0xa:
                out += 'n';
                break;
            case 0xd:
                out += 'r';
                break;
            case 0x9:
                out += 't';
                break;
            default:
                out += "u00";
                out += hexDigit(u >> 4);
                out += hexDigit(u & 0xf);
            }
        } else if (u < 0x800) {
            out += char(0xc0 | (u >> 6));
            out += char(0x80 | (u & 0x3f));
        } else if (QChar::isSurrogate(u)) {
            if (QChar::isHighSurrogate(u) && p != end && QChar::isLowSurrogate(*p)) {
                const char32_t c = QChar::surrogateToUcs4(u, *p++);
                out += char(0xf0 | (c >> 18));
                out += char(0x80 | ((c >> 12) & 0x3f));
                out += char(0x80 | ((c >> 6) & 0x3f));
                out += char(0x80 | (c & 0x3f));
            } else {
                appendEscape(out, u);
            }
        } else {
            out += char(0xe0 | (u >> 12));
            out += char(0x80 | ((u >> 6) & 0x3f));
            out += char(0x80 | (u & 0x3f));
        }
    }
    out += '"';
}

void appendIndent(QByteArray& out, int levels) {
    out.append(qsizetype(4 * levels), ' ');
}

} // namespace Vantrel::JsonText
