// The listing and the journal are written as text straight away; their bytes must be what
// QJsonDocument writes for the same values, since a reader compares a listing's bytes to know
// one of its own, also one written before.

#include "core/Export.h"
#include "core/Manifest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <optional>

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
    // Plain ASCII is written eight units at a time: escapes and wider characters at the
    // edges of such blocks, and a plain block next to them.
    QStringLiteral("1234567\"89abcdef\\ghijklmnopqrstu"),
    QString::fromUtf8("abcdefgh\x7f ijklmn\x1fopqrstuvwx\x20\x7e"),
    QStringLiteral("abcdefg") + QChar(0x80) + QStringLiteral("hijklmnop") + QChar(0xFFFF) +
        QStringLiteral("qrstuvw") + QChar(0x7FF),
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

// The journal as QJsonDocument reads it, the reference for the reader that walks the text.
std::optional<Journal> qtReadJournal(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        return std::nullopt;
    Journal journal;
    journal.knowsListings = false;
    for (const QJsonValue entry : doc.array()) {
        const QJsonValue listing = entry[QStringLiteral("listing")];
        const QJsonValue hash = entry[QStringLiteral("sha256")];
        if (entry.isObject() && listing.isString() && hash.isString()) {
            journal.listings.push_back({listing.toString(), hash.toString().toLatin1()});
            journal.knowsListings = true;
            continue;
        }
        const QJsonValue from = entry[QStringLiteral("from")];
        const QJsonValue to = entry[QStringLiteral("to")];
        if (!entry.isObject() || !from.isString() || !to.isString())
            return std::nullopt;
        const QJsonValue newFolder = entry[QStringLiteral("newFolder")];
        journal.knowsFolders = journal.knowsFolders && newFolder.isBool();
        journal.append({from.toString(), to.toString()}, newFolder.toBool(false),
                       entry[QStringLiteral("aside")].toBool(false));
    }
    return journal;
}

void expectSameJournal(const std::optional<Journal>& read, const std::optional<Journal>& qt) {
    ASSERT_EQ(read.has_value(), qt.has_value());
    if (!read)
        return;
    EXPECT_EQ(read->moves, qt->moves);
    EXPECT_EQ(read->newFolder, qt->newFolder);
    EXPECT_EQ(read->aside, qt->aside);
    EXPECT_EQ(read->listings, qt->listings);
    EXPECT_EQ(read->knowsFolders, qt->knowsFolders);
    EXPECT_EQ(read->knowsListings, qt->knowsListings);
}

// Verifies that the journal is read from its text exactly as QJsonDocument reads it, for the
// journals this program writes and for texts written by hand or damaged.
TEST(JsonText, journalsAreReadAsQtReadsThem) {
    Journal written;
    for (qsizetype i = 0; i < oddNames.size(); ++i)
        written.append({QStringLiteral("/S/") + oddNames[i], QStringLiteral("/S/F/") + oddNames[i]},
                       i % 2 == 0, i == 1);
    written.addListing(Engine::manifestName, "{}");
    const QByteArray text = Engine::journalJson(written);
    ASSERT_TRUE(Engine::readJournal(text).has_value());
    expectSameJournal(Engine::readJournal(text), qtReadJournal(text));

    const char* const texts[] = {
        "[]",
        " \t\r\n[ ] \n",
        R"([{"to": "/S/b", "from": "/S/a"}])",
        R"([{"from": "/S/a", "to": "/S/b", "newFolder": true, "aside": true}])",
        R"([{"from": "/S/a", "to": "/S/b", "newFolder": "yes", "aside": 1}])",
        R"([{"from": "/S/a", "to": "/S/b", "newFolder": null}])",
        R"([{"from": "/S/x", "from": "/S/a", "to": "/S/b"}])",
        R"([{"from": "/S/a", "to": "/S/b", "to": 3}])",
        R"([{"from": "/S/a", "to": "/S/b", "more": {"k": [1, -2.5e+3, 0, true, null, {}]}}])",
        R"([{"from": "/S/\u00e9\ud83e\udd41\"\\\/\b\f\n\r\t", "to": "/S/b"}])",
        R"([{"from": "/S/\uD800 lone", "to": "/S/b"}])",
        R"([{"listing": "manifest.json", "sha256": "ab"}, {"from": "/S/a", "to": "/S/b"}])",
        R"([{"listing": "manifest.json", "sha256": 5, "from": "/S/a", "to": "/S/b"}])",
        R"([{"listing": "manifest.json"}])",
        R"([{"from": "/S/a"}])",
        R"([{"from": 1, "to": "/S/b"}])",
        R"([{}])",
        R"([1])",
        R"([[]])",
        R"({"from": "/S/a", "to": "/S/b"})",
        R"("journal")",
        "",
        R"([{"from": "/S/a", "to": "/S/b"},])",
        R"([{"from": "/S/a", "to": "/S/b"}] x)",
        R"([{"from": "/S/a", "to": "/S/b"})",
        R"([{"from": "/S/a", "to": "/S/b)",
        R"([{"from": "/S/a", "to": "/S/b", "n": 01}])",
        R"([{"from": "/S/a", "to": "/S/b", "n": 1.}])",
        R"([{"from": "/S/a", "to": "/S/b", "n": -}])",
        R"([{"from": "/S/a", "to": "/S/b", "n": 1e}])",
        R"([{"from": "/S/a", "to": "/S/b", "n": -0.e-7}])",
        R"([{"from": "/S/a", "to": "/S/b", "n": 1 2}])",
        R"([{"from": "/S/a", "to": "/S/b", "n": tru}])",
        R"([{"from": "/S/\x", "to": "/S/b"}])",
        R"([{"from": "/S/\u12", "to": "/S/b"}])",
        "[{\"from\": \"/S/a\tb\", \"to\": \"/S/b\"}]",
        "[{\"from\": \"/S/\xff\xfe\", \"to\": \"/S/b\"}]",
        "[{\"from\": \"/S/\xc3\", \"to\": \"/S/b\"}]",
    };
    for (const char* t : texts) {
        SCOPED_TRACE(t);
        expectSameJournal(Engine::readJournal(t), qtReadJournal(t));
    }
    // Nesting as deep as Qt reads, and deeper.
    for (const int depth : {1000, 5000}) {
        SCOPED_TRACE(depth);
        const QByteArray deep = R"([{"from": "/S/a", "to": "/S/b", "deep": )" +
                                QByteArray(depth, '[') + QByteArray(depth, ']') + "}]";
        expectSameJournal(Engine::readJournal(deep), qtReadJournal(deep));
    }
}

} // namespace
