#include "core/Config.h"
#include "core/Engine.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

using namespace Vantrel;
using Vantrel::Fixtures::touchAll;

namespace {

class Scan : public testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    static QStringList fileNames(const QList<Item>& items) {
        QStringList names;
        for (const Item& item : items)
            names << item.fileName();
        return names;
    }
};

// Verifies the worked examples: group, order, source, folder and new name of each file.
TEST_F(Scan, shouldNameWorkedExamples) {
    touchAll(dir.path(), {"1Kick In#04.1.wav", "47Track Perc L#03.1.wav", "65Click#03.1.wav"});
    const struct {
        const char* file;
        std::int64_t order;
        const char* group;
        const char* source;
        const char* folder;
        const char* plain;
        const char* withGroup;
    } rows[] = {
        {"1Kick In#04.1.wav", 1, "DRUMS", "KICK_IN", "01_DRUMS", "01_KICK_IN.wav",
         "DRUMS_01_KICK_IN.wav"},
        {"47Track Perc L#03.1.wav", 47, "TRACKS", "PERC_L", "07_TRACKS", "01_PERC_L.wav",
         "TRACKS_01_PERC_L.wav"},
        {"65Click#03.1.wav", 65, "UTILITY", "CLICK", "10_UTILITY", "01_CLICK.wav",
         "UTILITY_01_CLICK.wav"},
    };
    for (const bool groupInName : {false, true}) {
        SCOPED_TRACE(groupInName ? "group in name" : "plain");
        Config cfg = Config::defaults();
        cfg.groupInName = groupInName;
        const Engine::ScanResult r = Engine::scan(dir.path(), cfg);
        ASSERT_EQ(r.items.size(), 3);
        EXPECT_TRUE(r.skipped.isEmpty());
        for (int i = 0; i < 3; ++i) {
            const Item& item = r.items[i];
            SCOPED_TRACE(rows[i].file);
            EXPECT_EQ(item.url, path(QString::fromUtf8(rows[i].file)));
            EXPECT_EQ(item.order, rows[i].order);
            EXPECT_EQ(item.group, QString::fromUtf8(rows[i].group));
            EXPECT_EQ(item.source, QString::fromUtf8(rows[i].source));
            EXPECT_EQ(item.folder, QString::fromUtf8(rows[i].folder));
            EXPECT_EQ(item.newName,
                      QString::fromUtf8(groupInName ? rows[i].withGroup : rows[i].plain));
        }
    }
}

// Verifies which entries are audio, which are skipped and which are not seen at all.
TEST_F(Scan, shouldListOnlyRegularFilesDirectlyInside) {
    touchAll(dir.path(), {"Kick.WAV", "Snare.Aif", "Vox.flac", "Notes.txt", "Loop.ogg", "README",
                          ".hidden.wav", ".DS_Store", "Sub/Inner.wav"});
    ASSERT_TRUE(QFile::link(path("Kick.WAV"), path("Link.wav")));
    ASSERT_TRUE(QFile::link(path("Sub"), path("LinkedDir.wav")));
    ASSERT_TRUE(QFile::link(path("missing.wav"), path("Dangling.wav")));
    ASSERT_TRUE(QDir().mkpath(path("Folder.wav")));

    const Engine::ScanResult r = Engine::scan(dir.path(), Config::defaults());
    EXPECT_EQ(fileNames(r.items), (QStringList{"Kick.WAV", "Snare.Aif", "Vox.flac"}));
    EXPECT_EQ(r.skipped, (QStringList{"Loop.ogg", "Notes.txt", "README"}));
    EXPECT_EQ(r.items[0].newName, QStringLiteral("01_KICK.wav"));
}

// Verifies natural name order of the items, whatever order the directory lists them in.
TEST_F(Scan, shouldListInNaturalNameOrder) {
    touchAll(dir.path(), {"10 Tom.wav", "2 Tom.wav", "b Vox.wav", "A Vox.wav", "a2 Vox.wav"});
    const Engine::ScanResult r = Engine::scan(dir.path(), Config::defaults());
    EXPECT_EQ(fileNames(r.items),
              (QStringList{"2 Tom.wav", "10 Tom.wav", "A Vox.wav", "a2 Vox.wav", "b Vox.wav"}));
}

// Verifies that a folder that is empty, missing or not a folder gives two empty lists.
TEST_F(Scan, shouldGiveEmptyListsForNothingToScan) {
    touchAll(dir.path(), {"file.wav"});
    QDir().mkpath(path("empty"));
    for (const QString& folder : {path("empty"), path("missing"), path("file.wav")}) {
        SCOPED_TRACE(folder.toStdString());
        const Engine::ScanResult r = Engine::scan(folder, Config::defaults());
        EXPECT_TRUE(r.items.isEmpty());
        EXPECT_TRUE(r.skipped.isEmpty());
    }
}

// Verifies that the items carry absolute paths even for a relative folder.
TEST_F(Scan, shouldGiveAbsolutePathsForRelativeFolder) {
    touchAll(dir.path(), {"Sess/1 Kick.wav"});
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const Engine::ScanResult r = Engine::scan(QStringLiteral("Sess/"), Config::defaults());
    QDir::setCurrent(old);
    ASSERT_EQ(r.items.size(), 1);
    EXPECT_EQ(r.items[0].url, path("Sess/1 Kick.wav"));
}

// Verifies that every scan gives fresh item ids.
TEST_F(Scan, shouldGiveFreshIdsEveryScan) {
    touchAll(dir.path(), {"1 Kick.wav"});
    const Item a = Engine::scan(dir.path(), Config::defaults()).items.value(0);
    const Item b = Engine::scan(dir.path(), Config::defaults()).items.value(0);
    EXPECT_NE(a.id, b.id);
    EXPECT_EQ(a.url, b.url);
}

// Verifies that a file whose name is not valid UTF-8 is left alone with a reason while the rest
// are scanned, and that a folder that cannot be read says why.
TEST_F(Scan, shouldSayWhatItCannotRead) {
    touchAll(dir.path(), {"1 Kick.wav", "2 Snare.wav"});
    const QByteArray bad = QFile::encodeName(path("3 Tom")) + "\xff\xfe.wav";
    FILE* f = std::fopen(bad.constData(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);

    const Engine::ScanResult r = Engine::scan(dir.path(), Config::defaults());
    EXPECT_EQ(fileNames(r.items), (QStringList{"1 Kick.wav", "2 Snare.wav"}));
    ASSERT_EQ(r.leftAlone.size(), 1);
    EXPECT_TRUE(r.leftAlone[0].contains("its name is not valid UTF-8"))
        << r.leftAlone[0].toStdString();
    EXPECT_EQ(r.error, std::nullopt);

    const struct {
        const char* name;
        QString folder;
        const char* reason;
    } cases[] = {
        {"missing", path("missing"), "No such file or directory"},
        {"a file", path("1 Kick.wav"), "Not a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Engine::scan(c.folder, Config::defaults()).error,
                  QStringLiteral("Couldn't read “%1”: %2.").arg(c.folder, c.reason));
    }
}

} // namespace
