#pragma once

// JSON text as QJsonDocument::toJson(QJsonDocument::Indented) writes it, byte for byte, but
// written straight into the output: a listing or a journal of many thousand entries never
// exists as a document of JSON values first.

#include <QByteArray>
#include <QString>

namespace Vantrel::JsonText {

// Appends s as a JSON string, quotes included, escaped as Qt escapes it.
void appendString(QByteArray& out, const QString& s);

// Appends 4 spaces per level.
void appendIndent(QByteArray& out, int levels);

} // namespace Vantrel::JsonText
