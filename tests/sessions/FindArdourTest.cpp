// Which Ardour the session export uses: its session tool and the program that opens a session.
#include "sessions/ArdourSession.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Vantrel;

namespace {

struct FindCase {
    const char* name;
    // Files per folder: "bin/ardour7-lua"; a trailing "-" makes one that is not executable.
    QStringList files;
    // The folders searched, in order.
    QStringList folders;
    // The tool and the program found, relative to the temporary folder; empty: none.
    QString lua;
    int version;
    QString gui;
};

void PrintTo(const FindCase& c, std::ostream* os) {
    *os << c.name;
}

class FindArdour : public testing::TestWithParam<FindCase> {};

// Verifies the choice among the folders searched: the newest session tool of Ardour 7 or later
// whatever the folders' order (an older one earlier on the path is passed over), Ardour 6 never,
// a file that cannot be run never, and Ardour itself of the tool's version before the plain
// "ardour", in the folders' order, or none.
TEST_P(FindArdour, shouldChooseTheNewestToolAndItsArdour) {
    const FindCase& c = GetParam();
    QTemporaryDir dir;
    for (QString file : c.files) {
        const bool runnable = !file.endsWith(QLatin1Char('-'));
        if (!runnable)
            file.chop(1);
        const QString path = dir.filePath(file);
        Fixtures::writeFile(path, "#!/bin/sh\n");
        if (runnable)
            QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
    }
    QStringList folders;
    for (const QString& f : c.folders)
        folders << dir.filePath(f);
    const std::optional<Sessions::ArdourTool> found = Sessions::findArdour(folders);
    if (c.lua.isEmpty()) {
        EXPECT_EQ(found, std::nullopt);
        return;
    }
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->lua, dir.filePath(c.lua));
    EXPECT_EQ(found->version, c.version);
    EXPECT_EQ(found->gui,
              c.gui.isEmpty() ? std::nullopt : std::optional<QString>(dir.filePath(c.gui)));
}

const FindCase findCases[] = {
    {"debianPackage",
     {"usr/bin/ardour7-lua", "usr/bin/ardour"},
     {"usr/bin"},
     "usr/bin/ardour7-lua",
     7,
     "usr/bin/ardour"},
    {"newestWhereverItIs",
     {"a/ardour7-lua", "a/ardour7", "b/ardour8-lua", "b/ardour8"},
     {"a", "b"},
     "b/ardour8-lua",
     8,
     "b/ardour8"},
    {"versionedArdourBeforePlain",
     {"a/ardour", "b/ardour8-lua", "b/ardour8"},
     {"a", "b"},
     "b/ardour8-lua",
     8,
     "b/ardour8"},
    {"plainArdourInTheFoldersOrder",
     {"a/ardour", "b/ardour8-lua", "b/ardour"},
     {"a", "b"},
     "b/ardour8-lua",
     8,
     "a/ardour"},
    {"toolWithoutArdour", {"a/ardour7-lua"}, {"a"}, "a/ardour7-lua", 7, ""},
    {"ardour6IsTooOld", {"a/ardour6-lua", "a/ardour6"}, {"a"}, "", 0, ""},
    {"notRunnable", {"a/ardour8-lua-", "a/ardour7-lua"}, {"a"}, "a/ardour7-lua", 7, ""},
    {"nothing", {}, {"a"}, "", 0, ""},
};

INSTANTIATE_TEST_SUITE_P(Sessions, FindArdour, testing::ValuesIn(findCases),
                         [](const testing::TestParamInfo<FindCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
