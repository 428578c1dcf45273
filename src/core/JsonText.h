#pragma once

// JSON text as QJsonDocument::toJson(QJsonDocument::Indented) writes it, byte for byte, but
// written straight into the output: a listing or a journal of many thousand entries never
// exists as a document of JSON values first.

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

namespace Vantrel::JsonText {

// Appends s as a JSON string, quotes included, escaped as Qt escapes it.
void appendString(QByteArray& out, const QString& s);

// Appends 4 spaces per level.
void appendIndent(QByteArray& out, int levels);

// Reads JSON text in place, one value at a time, for readers that keep only some of what it
// holds: no document of every value is built. Reads as QJsonDocument::fromJson does, its
// leniencies included (control characters in strings, any escaped character as itself, "1."),
// so that a journal any version wrote reads the same; every method answers false on text that
// is not JSON, after which the reader is of no use.
class Reader {
public:
    explicit Reader(const QByteArray& text);

    // Consumes c when it is the next byte after white space.
    bool take(char c);
    // The next byte after white space, 0 at the end of the text.
    char peek();
    // A string value (the next thing), unescaped.
    bool readString(QString& out);
    // A true or false literal; the next thing must be one.
    bool readBool(bool& out);
    // Passes over one value of any kind, with everything in it.
    bool skipValue();
    // Whether nothing but white space is left.
    bool atEnd();

private:
    bool skipValueAt(int depth);
    bool literal(const char* word);
    bool number();
    void skipSpace();

    const char* p_;
    const char* end_;
    QStringDecoder utf8_{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
};

} // namespace Vantrel::JsonText
