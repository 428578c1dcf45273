// The listing and the journal are written as text straight away; their bytes must be what
// QJsonDocument writes for the same values, since a reader compares a listing's bytes to know
// one of its own, also one written before.

#include "core/Export.h"
#include "core/Manifest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace Vantrel;
using Vantrel::Engine::Journal;

namespace {

// Names that every escape and every length of UTF-8 meets.
const QStringList oddNames = {
    QStringLiteral("01_KICK_IN.wav"),
    QStringLiteral("quote \" backslash \\ slash /.wav"),
    QString::fromUtf8("tab\tnewline\ncr\rbs\bff\f\x01\x1f\x7f.wav"),
    QString::fromUtf8("A\xC3\xA9 Ae\xCC\x81 \xE2\x80\xA8 \xE2\x82\xAC.wav"),
    QString::fromUtf8("\xF0\x9F\xA5\x81 drum.wav"),
    QString(QChar(0xD800)) + QStringLiteral("lone high"),
    QStringLiteral("lone low") + QChar(0xDC00),
    QString(),
};

QByteArray qtManifest(const QMap<QString, QStringList>& manifest) {
    QJsonObject root;
    for (auto it = manifest.cbegin(); it != manifest.cend(); ++it)
        root.insert(it.key(), QJsonArray::fromStringList(it.value()));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray qtJournal(const Journal& journal) {
    QJsonArray array;
    for (qsizetype i = 0; i < journal.moves.size(); ++i) {
        QJsonObject entry{{QStringLiteral("from"), journal.moves[i].from},
                          {QStringLiteral("to"), journal.moves[i].to},
                          {QStringLiteral("newFolder"), bool(journal.newFolder[i])}};
        if (journal.aside[i])
            entry.insert(QStringLiteral("aside"), true);
        array.append(entry);
    }
    for (const auto& [name, hash] : journal.listings)
        array.append(QJsonObject{{QStringLiteral("listing"), name},
                                 {QStringLiteral("sha256"), QString::fromLatin1(hash)}});
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

TEST(JsonText, listingsAreWrittenAsQtWritesThem) {
    const QMap<QString, QStringList> cases[] = {
        {},
        {{QStringLiteral("01_DRUMS"), {}}},
        {{QStringLiteral("01_DRUMS"), {QStringLiteral("01_KICK.wav")}}},
        {{QStringLiteral("01_DRUMS"), oddNames}, {QStringLiteral("02_B\"ASS"), oddNames.mid(2)}},
        {{oddNames[3], {oddNames[4]}}, {oddNames[5], {oddNames[6]}}},
    };
    for (const auto& manifest : cases) {
        SCOPED_TRACE(qtManifest(manifest).toStdString());
        EXPECT_EQ(Engine::manifestJson(manifest), qtManifest(manifest));
    }
}

TEST(JsonText, journalsAreWrittenAsQtWritesThem) {
    Journal empty;
    Journal journal;
    for (qsizetype i = 0; i < oddNames.size(); ++i)
        journal.append({QStringLiteral("/S/") + oddNames[i], QStringLiteral("/S/F/") + oddNames[i]},
                       i % 2 == 0, i == 1);
    journal.addListing(Engine::manifestName, "{}");
    journal.addListing(Engine::importOrderName, "");
    Journal listingsOnly;
    listingsOnly.addListing(Engine::manifestName, "{}");
    for (const Journal* j : {&empty, &journal, &listingsOnly}) {
        SCOPED_TRACE(qtJournal(*j).toStdString());
        EXPECT_EQ(Engine::journalJson(*j), qtJournal(*j));
    }
}

} // namespace
