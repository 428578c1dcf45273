// Reading a result folder back from its manifest: the groups of its folders, the manifest an
// export writes, and the manifests refused before anything is read.

#include "core/Manifest.h"

#include "core/Engine.h"
#include "core/Errors.h"
#include "core/Export.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

using namespace Vantrel;

namespace {

RuleGroup rule(const QString& name) {
    RuleGroup g;
    g.name = name;
    return g;
}

Config rules() {
    Config cfg;
    cfg.unsortedFolder = QStringLiteral("99_UNSORTED");
    cfg.groups = {rule("DRUMS"), rule("AC/DC"), rule("VOCALS")};
    return cfg;
}

class ManifestTest : public testing::Test {
protected:
    void writeManifest(const QByteArray& json) {
        Fixtures::writeFile(dir.filePath(Engine::manifestName), json);
    }
    QTemporaryDir dir;
};

// Verifies that each folder's files come back in manifest order with the group the folder
// names: a rule group by its safe name, another numbered name as it stands, the unsorted

// Verifies that the import order lists folders and names in code-point order, which UTF-16
// order is not for characters above U+FFFF, as UTF-8 lines.
TEST(ImportOrder, shouldListFoldersAndNamesInCodePointOrder) {
    const QString drum = QString::fromUtf8("\xF0\x9F\xA5\x81"); // U+1F941, two UTF-16 units
    const QString wide = QString::fromUtf8("\xEF\xBC\xA1");     // U+FF21, one unit above them
    const struct {
        QString a, b;
        bool less;
    } pairs[] = {
        {wide, drum, true},
        {drum, wide, false},
        {"A", "B", true},
        {"AB", "A", false},
        {"A", "AB", true},
        {"A", "A", false},
        {"Z", wide, true},
        {drum + "A", drum + "B", true},
        {QString(QChar(0xD7FF)), drum, true},
    };
    for (const auto& p : pairs) {
        SCOPED_TRACE(qPrintable(p.a + " < " + p.b));
        EXPECT_EQ(Engine::codePointLess(p.a, p.b), p.less);
        EXPECT_EQ(Engine::codePointLess(p.a, p.b), p.a.toUcs4() < p.b.toUcs4());
    }
    const QMap<QString, QStringList> manifest = {
        {"02_BASS", {drum + ".wav", wide + ".wav", "B.wav", "A.wav"}},
        {"01_DRUMS", {"KICK.wav"}},
    };
    EXPECT_EQ(Engine::importOrderText(manifest),
              QStringLiteral("[01_DRUMS]\n  KICK.wav\n[02_BASS]\n  A.wav\n  B.wav\n  %1.wav\n  "
                             "%2.wav\n")
                  .arg(wide, drum)
                  .toUtf8());
}

// folder and an unnumbered folder without group.
TEST_F(ManifestTest, shouldGiveEveryFileItsFolderAndGroup) {
    QMap<QString, QStringList> manifest;
    manifest["01_DRUMS"] = QStringList{"2_KICK.wav", "1_SNARE.wav"};
    manifest["02_" + Engine::safeName("AC/DC")] = QStringList{"GTR.wav"};
    manifest["03_FX"] = QStringList{"VERB.wav"};
    manifest["99_UNSORTED"] = QStringList{"ROOM.wav"};
    manifest["Loose"] = QStringList{"NOTE.wav"};
    writeManifest(Engine::manifestJson(manifest));

    const QList<Item> items = Engine::readManifest(dir.path(), rules());

    const struct {
        QString folder;
        QString name;
        std::optional<QString> group;
    } wanted[] = {
        {"01_DRUMS", "2_KICK.wav", "DRUMS"},
        {"01_DRUMS", "1_SNARE.wav", "DRUMS"},
        {"02_" + Engine::safeName("AC/DC"), "GTR.wav", "AC/DC"},
        {"03_FX", "VERB.wav", "FX"},
        {"99_UNSORTED", "ROOM.wav", std::nullopt},
        {"Loose", "NOTE.wav", std::nullopt},
    };
    ASSERT_EQ(items.size(), qsizetype(std::size(wanted)));
    for (qsizetype i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(wanted[i].name.toStdString());
        EXPECT_EQ(items[i].folder, wanted[i].folder);
        EXPECT_EQ(items[i].newName, wanted[i].name);
        EXPECT_EQ(items[i].group, wanted[i].group);
        EXPECT_EQ(items[i].url, dir.filePath(wanted[i].folder + "/" + wanted[i].name));
    }
}

// Verifies that a sorted copy's manifest reads back as the files the copy holds.
TEST_F(ManifestTest, shouldReadBackWhatAnExportWrote) {
    const QString session = dir.filePath("Show");
    Fixtures::touchAll(session, {"01 Kick.wav", "02 Snare.wav", "03 Vox.wav", "04 Room.wav"});
    Config cfg = Config::defaults();
    const Engine::ScanResult scan = Engine::scan(session, cfg);
    const ExportResult result = Engine::exportItems(scan.items, session, ExportMode::copy);

    const QList<Item> items = Engine::readManifest(result.url, cfg);

    ASSERT_EQ(items.size(), scan.items.size());
    for (const Item& item : items) {
        SCOPED_TRACE(item.url.toStdString());
        EXPECT_TRUE(QFileInfo(item.url).isFile());
        const auto original =
            std::find_if(scan.items.cbegin(), scan.items.cend(),
                         [&](const Item& i) { return i.newName == item.newName; });
        ASSERT_NE(original, scan.items.cend());
        EXPECT_EQ(item.folder, original->folder);
        EXPECT_EQ(item.group, original->group);
    }
}

// Verifies the manifests refused with their message, before any item is read.
TEST_F(ManifestTest, shouldRefuseManifestsThatCannotBeUsed) {
    const QString unreadable =
        QStringLiteral("The manifest.json in “%1” cannot be read.").arg(dir.path());
    const QString outside = QStringLiteral("The manifest.json in “%1” names “%2”, which is not a "
                                           "place inside the folder; nothing was sent.")
                                .arg(dir.path());
    const struct {
        const char* name;
        QByteArray json; // none: no manifest at all
        QString message;
    } rows[] = {
        {"no manifest", QByteArray(),
         QStringLiteral("“%1” is not a result folder: it holds no manifest.json.").arg(dir.path())},
        {"not JSON", "{\"01_DRUMS\": [", unreadable},
        {"not an object", "[\"KICK.wav\"]", unreadable},
        {"a folder without a list", "{\"01_DRUMS\": \"KICK.wav\"}", unreadable},
        {"a name that is no text", "{\"01_DRUMS\": [1]}", unreadable},
        {"the parent as a folder", "{\"..\": [\"KICK.wav\"]}", outside.arg("..")},
        {"a folder path", "{\"01_DRUMS/../..\": [\"KICK.wav\"]}", outside.arg("01_DRUMS/../..")},
        {"a file in the parent", "{\"01_DRUMS\": [\"../../etc/passwd\"]}",
         outside.arg("01_DRUMS/../../etc/passwd")},
        {"an absolute file name", "{\"01_DRUMS\": [\"/etc/passwd\"]}",
         outside.arg("01_DRUMS//etc/passwd")},
        {"the folder itself as a file", "{\"01_DRUMS\": [\".\"]}", outside.arg("01_DRUMS/.")},
        {"an empty file name", "{\"01_DRUMS\": [\"KICK.wav\", \"\"]}", outside.arg("01_DRUMS/")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(dir.filePath(Engine::manifestName));
        if (!row.json.isNull())
            writeManifest(row.json);
        try {
            Engine::readManifest(dir.path(), rules());
            ADD_FAILURE() << "read";
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), row.message);
        }
    }
}

// Verifies that a FIFO in the manifest's place is refused at once instead of waiting for a
// writer that never comes.
TEST_F(ManifestTest, shouldRefuseAFifoWithoutWaiting) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(Engine::manifestName)).constData(), 0600), 0);
    try {
        Engine::readManifest(dir.path(), rules());
        ADD_FAILURE() << "read";
    } catch (const FileError& e) {
        EXPECT_EQ(e.code(), EINVAL) << e.message().toStdString();
    }
}

// Verifies that a result folder is sendable only when it lists tracks and every one of them is
// a file at its place; the refusal names the first missing ones.
TEST_F(ManifestTest, shouldRefuseToSendNothingOrMissingTracks) {
    const auto sentence = [&](const QList<Item>& items) -> QString {
        try {
            Engine::checkTracksPresent(items, dir.path());
            return {};
        } catch (const Error& e) {
            return e.message();
        }
    };
    QMap<QString, QStringList> manifest;
    manifest["01_DRUMS"] = QStringList{"01_KICK.wav", "02_SNARE.wav", "03_HAT.wav", "04_TOM.wav"};
    writeManifest(Engine::manifestJson(manifest));
    QDir(dir.path()).mkdir("01_DRUMS");
    const QList<Item> items = Engine::readManifest(dir.path(), rules());

    EXPECT_EQ(sentence({}),
              QStringLiteral("The manifest.json in “%1” lists no tracks; nothing was sent.")
                  .arg(dir.path()));

    QDir(dir.filePath("01_DRUMS")).mkdir("01_KICK.wav"); // a folder is no track
    Fixtures::writeFile(dir.filePath("01_DRUMS/03_HAT.wav"));
    EXPECT_EQ(sentence(items),
              QStringLiteral("3 of the 4 tracks that the manifest.json in “%1” lists are not in "
                             "their place (“01_DRUMS/01_KICK.wav”, “01_DRUMS/02_SNARE.wav”, "
                             "“01_DRUMS/04_TOM.wav”); nothing was sent.")
                  .arg(dir.path()));

    QDir(dir.filePath("01_DRUMS")).rmdir("01_KICK.wav");
    for (const char* name : {"01_KICK.wav", "02_SNARE.wav", "04_TOM.wav"})
        Fixtures::writeFile(dir.filePath("01_DRUMS/") + name);
    EXPECT_EQ(sentence(items), QString());

    // The same tracks reached through a group folder that is a link to a folder elsewhere.
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir(dir.filePath("01_DRUMS"))
                    .rename(dir.filePath("01_DRUMS"), elsewhere.filePath("drums")));
    ASSERT_TRUE(QFile::link(elsewhere.filePath("drums"), dir.filePath("01_DRUMS")));
    EXPECT_EQ(sentence(items),
              QStringLiteral("The folder “01_DRUMS” in “%1” is a symbolic link, so its tracks may "
                             "lie outside the result folder; nothing was sent.")
                  .arg(dir.path()));
}

} // namespace
