// Names written composed (NFC) and decomposed (NFD), side by side on disk: both are scanned,
// named alike, organized and put back under exactly the bytes they had. (A Mac volume hands
// out names in either form; the program must never pass them through a conversion.)

#include "core/Config.h"
#include "core/Engine.h"
#include "core/Export.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dirent.h>
#include <set>
#include <string>

using namespace Vantrel;
using namespace Vantrel::Fixtures;

namespace {

// The raw bytes of every entry directly inside folder.
std::set<std::string> rawNames(const QString& folder) {
    std::set<std::string> names;
    DIR* dir = opendir(folder.toUtf8().constData());
    if (!dir)
        return names;
    while (const dirent* e = readdir(dir))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
            names.insert(e->d_name);
    closedir(dir);
    return names;
}

TEST(Normalization, composedAndDecomposedNamesGoThroughByteForByte) {
    QTemporaryDir dir;
    const QString session = dir.filePath("Session");
    // "1 Kick Aé.wav" composed (U+00E9) and "2 Kick Aé.wav" decomposed (e + U+0301).
    const QByteArray composed = "1 Kick A\xC3\xA9.wav";
    const QByteArray decomposed = "2 Kick A"
                                  "e\xCC\x81"
                                  ".wav";
    writeFile(session + "/" + QString::fromUtf8(composed), "K");
    writeFile(session + "/" + QString::fromUtf8(decomposed), "S");
    const std::set<std::string> before = rawNames(session);
    ASSERT_EQ(before, (std::set<std::string>{composed.toStdString(), decomposed.toStdString()}));

    const Engine::ScanResult scan = Engine::scan(session, Config::defaults());
    EXPECT_TRUE(scan.leftAlone.isEmpty());
    ASSERT_EQ(scan.items.size(), 2);
    // Both spellings read as one source and are numbered in session order.
    EXPECT_EQ(scan.items[0].source, scan.items[1].source);
    EXPECT_TRUE(scan.items[0].newName.startsWith("01_")) << scan.items[0].newName.toStdString();
    EXPECT_TRUE(scan.items[1].newName.startsWith("02_")) << scan.items[1].newName.toStdString();

    Engine::exportItems(scan.items, session, ExportMode::inPlace);
    const QString folder = session + "/" + scan.items[0].folder;
    EXPECT_EQ(rawNames(folder), (std::set<std::string>{scan.items[0].newName.toStdString(),
                                                       scan.items[1].newName.toStdString()}));

    Engine::undo(session);
    EXPECT_EQ(rawNames(session), before);
    EXPECT_EQ(readFile(session + "/" + QString::fromUtf8(decomposed)), "S");
}

} // namespace
