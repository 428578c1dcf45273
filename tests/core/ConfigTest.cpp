#include "core/Config.h"

#include "core/ConfigProblem.h"
#include "core/Errors.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <ostream>
#include <sys/resource.h>

namespace Vantrel {

void PrintTo(const Config& cfg, std::ostream* os) {
    *os << cfg.toJson().toStdString();
}

namespace {

using Fixtures::readFile;
using Fixtures::snapshot;
using Fixtures::writeFile;

// The stored values of a configuration: group ids are fresh for every group read, so tests that
// compare what was read with what was written clear them first.
Config withoutIds(Config cfg) {
    for (RuleGroup& g : cfg.groups)
        g.id = QUuid();
    return cfg;
}

// A readable file with one group; `group` and `extra` are spliced into the group object and the
// top-level object.
QByteArray oneGroupFile(const char* group = "", const char* extra = "") {
    return QByteArray(R"({"groups": [{"name": "DRUMS", "aliases": ["KICK"])") + group +
           R"(}], "source_aliases": {}, "unsorted_folder": "OTHER")" + extra + "}";
}

// What the built-in configuration looks like on disk, byte for byte.
const char* const kDefaultsFile = R"json({
    "group_in_name": false,
    "groups": [
        {
            "aliases": [
                "DRUMS",
                "DRUM",
                "KICK",
                "SNARE",
                "TOM",
                "TOMS",
                "HAT",
                "HATS",
                "HIHAT",
                "OH",
                "OVERHEAD",
                "CYMBAL",
                "PERC",
                "SHAKER",
                "TAMB",
                "CONGA",
                "CLAP",
                "SPDSX"
            ],
            "name": "DRUMS"
        },
        {
            "aliases": [
                "BASS",
                "SUB"
            ],
            "name": "BASS"
        },
        {
            "aliases": [
                "EGS",
                "EG",
                "ELECTRIC"
            ],
            "name": "EGS"
        },
        {
            "aliases": [
                "AGS",
                "AG",
                "ACOUSTIC"
            ],
            "name": "AGS"
        },
        {
            "aliases": [
                "KEYS",
                "KEY",
                "PIANO",
                "PAD",
                "SYNTH",
                "ORGAN",
                "RHODES"
            ],
            "name": "KEYS"
        },
        {
            "aliases": [
                "STRINGS",
                "CELLO",
                "VIOLIN",
                "VIOLA"
            ],
            "name": "STRINGS"
        },
        {
            "aliases": [
                "TRACKS",
                "LOOP",
                "LOOPS"
            ],
            "name": "TRACKS"
        },
        {
            "aliases": [
                "VOCALS",
                "VOCAL",
                "VOX",
                "LEAD",
                "BGV",
                "BV",
                "CHOIR",
                "HARMONY"
            ],
            "name": "VOCALS"
        },
        {
            "aliases": [
                "FX",
                "BOOM",
                "SWELL",
                "RISER",
                "IMPACT",
                "SWEEP"
            ],
            "name": "FX"
        },
        {
            "aliases": [
                "UTILITY",
                "CLICK",
                "PROGRAM",
                "AUX",
                "CUE",
                "GUIDE",
                "MD"
            ],
            "name": "UTILITY"
        },
        {
            "aliases": [
                "CROWD",
                "FHL",
                "FHR"
            ],
            "name": "CROWD"
        }
    ],
    "number_tracks": true,
    "source_aliases": {
        "HI HAT": "HIHAT",
        "KICK IN": "KICK_IN",
        "KICK OUT": "KICK_OUT",
        "OVER HEAD": "OH",
        "SNARE BOTTOM": "SNARE_BTM",
        "SNARE BTM": "SNARE_BTM",
        "SNARE TOP": "SNARE_TOP"
    },
    "unsorted_folder": "99_UNSORTED"
}
)json";

// Verifies that words splits at U+0020 only and drops empty pieces.
TEST(ConfigWords, splitsAtPlainSpacesOnly) {
    struct Case {
        const char* name;
        QString input;
        QStringList expected;
    };
    const Case cases[] = {
        {"surrounding and doubled spaces", QStringLiteral("  KICK   SNARE  "), {"KICK", "SNARE"}},
        {"empty text", QString(), {}},
        {"only spaces", QStringLiteral("   "), {}},
        {"tab stays inside a word", QStringLiteral("KICK\tIN SNARE"), {"KICK\tIN", "SNARE"}},
        {"newline stays inside a word", QStringLiteral("A\nB"), {"A\nB"}},
        {"no-break space is not a separator", QStringLiteral("KICK\u00A0IN"), {"KICK\u00A0IN"}},
        {"case is kept", QStringLiteral("Kick snare"), {"Kick", "snare"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Config::words(c.input), c.expected);
    }
}

// Verifies that the built-in configuration keeps one set of distinct group ids for the run.
TEST(ConfigDefaults, keepsDistinctIdsForTheRun) {
    const Config first = Config::defaults();
    const Config again = Config::defaults();
    ASSERT_EQ(first.groups.size(), 11);
    EXPECT_EQ(first, again);
    QSet<QUuid> ids;
    for (const RuleGroup& g : first.groups) {
        EXPECT_FALSE(g.id.isNull()) << g.name.toStdString();
        ids.insert(g.id);
    }
    EXPECT_EQ(ids.size(), first.groups.size());
}

// Verifies the saved built-in configuration: key order, types, indentation and every value.
TEST(ConfigDefaults, savesTheExpectedFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("config.json"));
    Config::defaults().saveTo(path);
    EXPECT_EQ(readFile(path).toStdString(), std::string(kDefaultsFile));
}

// Tests that use the user's configuration file (inside the private test home) start and end
// without it.
class UserConfigFile : public testing::Test {
protected:
    void SetUp() override {
        // Only ever inside the private test location, never the user's real folder.
        ASSERT_TRUE(QStandardPaths::isTestModeEnabled());
        removeFolder();
    }
    void TearDown() override { removeFolder(); }
    static void removeFolder() {
        QDir(QFileInfo(Config::filePath()).absolutePath()).removeRecursively();
    }
};

// Verifies that a missing configuration file gives the defaults and that loading writes nothing.
TEST_F(UserConfigFile, missingFileLoadsAsDefaultsAndIsNotCreated) {
    const QString path = Config::filePath();
    ASSERT_TRUE(path.endsWith(QStringLiteral("/Vantrel/config.json")));
    ASSERT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(Config::load(), Config::defaults());
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(path).absolutePath()));
}

// Verifies that any file that is not a readable configuration gives exactly the defaults.
TEST(ConfigLoad, unreadableFileGivesDefaults) {
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"empty file", ""},
        {"malformed JSON", R"({"groups": [)"},
        {"top-level array", R"([{"name": "DRUMS", "aliases": []}])"},
        {"empty groups with valid other keys",
         R"({"groups": [], "source_aliases": {"A B": "A_B"}, "unsorted_folder": "X",)"
         R"( "number_tracks": false, "group_in_name": true})"},
        {"groups missing", R"({"source_aliases": {}, "unsorted_folder": "X"})"},
        {"groups not an array", R"({"groups": {}, "source_aliases": {}, "unsorted_folder": "X"})"},
        {"group not an object",
         R"({"groups": ["DRUMS"], "source_aliases": {}, "unsorted_folder": "X"})"},
        {"group without aliases",
         R"({"groups": [{"name": "DRUMS"}], "source_aliases": {}, "unsorted_folder": "X"})"},
        {"group without name",
         R"({"groups": [{"aliases": []}], "source_aliases": {}, "unsorted_folder": "X"})"},
        {"aliases null",
         R"({"groups": [{"name": "DRUMS", "aliases": null}], "source_aliases": {}, "unsorted_folder": "X"})"},
        {"name not a string", oneGroupFile().replace(R"("DRUMS")", "7")},
        {"alias not a string", oneGroupFile().replace(R"(["KICK"])", R"(["KICK", 3])")},
        {"color a string", oneGroupFile(R"(, "color": "red")")},
        {"number_tracks a string", oneGroupFile("", R"(, "number_tracks": "yes")")},
        {"group_in_name a number", oneGroupFile("", R"(, "group_in_name": 1)")},
        {"source_aliases missing", oneGroupFile().replace(R"("source_aliases": {}, )", "")},
        {"source_aliases an array",
         oneGroupFile().replace(R"("source_aliases": {})", R"("source_aliases": [])")},
        {"source alias value not a string",
         oneGroupFile().replace(R"("source_aliases": {})", R"("source_aliases": {"A B": 1})")},
        {"unsorted_folder missing", oneGroupFile().replace(R"(, "unsorted_folder": "OTHER")", "")},
        {"unsorted_folder null", oneGroupFile().replace(R"("OTHER")", "null")},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("config.json"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(path, c.bytes);
        EXPECT_EQ(Config::loadFrom(path), Config::defaults());
    }
    SCOPED_TRACE("path is a folder");
    EXPECT_EQ(Config::loadFrom(dir.path()), Config::defaults());
}

// Verifies how optional keys, nulls, empty colour lists and unknown keys read.
TEST(ConfigLoad, readsOptionalKeys) {
    struct Case {
        const char* name;
        QByteArray bytes;
        std::optional<QList<int>> color;
        bool numberTracks;
        bool groupInName;
    };
    const Case cases[] = {
        {"options and color absent", oneGroupFile(), std::nullopt, true, false},
        {"options and color null",
         oneGroupFile(R"(, "color": null)", R"(, "number_tracks": null, "group_in_name": null)"),
         std::nullopt, true, false},
        {"options set", oneGroupFile("", R"(, "number_tracks": false, "group_in_name": true)"),
         std::nullopt, false, true},
        {"empty color kept", oneGroupFile(R"(, "color": [])"), QList<int>{}, true, false},
        {"color kept", oneGroupFile(R"(, "color": [5, 2])"), QList<int>{5, 2}, true, false},
        {"color outside the grid kept", oneGroupFile(R"(, "color": [30, -1, 7])"),
         QList<int>{30, -1, 7}, true, false},
        // A colour that names no cell is no colour; the rest of the file stands.
        {"color not integers", oneGroupFile(R"(, "color": [1.5, 2])"), QList<int>{}, true, false},
        {"color holds null", oneGroupFile(R"(, "color": [null, 2])"), QList<int>{}, true, false},
        {"color beyond any integer", oneGroupFile(R"(, "color": [1, 1e300])"), QList<int>{}, true,
         false},
        {"unknown keys ignored",
         oneGroupFile(R"(, "comment": {"x": 1})", R"(, "version": [1], "extra": null)"),
         std::nullopt, true, false},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("config.json"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(path, c.bytes);
        Config expected;
        expected.groups = {RuleGroup{QUuid(), QStringLiteral("DRUMS"), {"KICK"}, c.color}};
        expected.unsortedFolder = QStringLiteral("OTHER");
        expected.numberTracks = c.numberTracks;
        expected.groupInName = c.groupInName;
        EXPECT_EQ(withoutIds(Config::loadFrom(path)), expected);
    }
}

// Verifies that group names and aliases are upper-cased in full Unicode and nothing else is.
TEST(ConfigLoad, upperCasesGroupNamesAndAliasesOnly) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("config.json"));
    writeFile(path, R"({"groups": [{"name": "drums", "aliases": ["kick", "straße", "Tom"]},)"
                    R"( {"name": "größe", "aliases": []}],)"
                    R"( "source_aliases": {"kick in": "kick_in"},)"
                    R"( "unsorted_folder": "99_unsorted"})");
    const Config cfg = Config::loadFrom(path);
    ASSERT_EQ(cfg.groups.size(), 2);
    EXPECT_EQ(cfg.groups[0].name, QStringLiteral("DRUMS"));
    EXPECT_EQ(cfg.groups[0].aliases, (QStringList{"KICK", "STRASSE", "TOM"}));
    EXPECT_EQ(cfg.groups[1].name, QStringLiteral("GRÖSSE"));
    EXPECT_EQ(cfg.sourceAliases, (QMap<QString, QString>{{"kick in", "kick_in"}}));
    EXPECT_EQ(cfg.unsortedFolder, QStringLiteral("99_unsorted"));
}

// Verifies that two loads of one file give unequal configurations with equal stored values.
TEST(ConfigLoad, givesFreshIdsOnEveryLoad) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("config.json"));
    writeFile(path, oneGroupFile(R"(, "color": [5, 2])"));
    const Config first = Config::loadFrom(path);
    const Config second = Config::loadFrom(path);
    EXPECT_NE(first, second);
    EXPECT_EQ(withoutIds(first), withoutIds(second));
}

// Verifies that save creates the missing folder, replaces the previous longer file, and that
// load then restores every stored value.
TEST_F(UserConfigFile, saveThenLoadRoundTripsEveryStoredValue) {
    Config cfg;
    cfg.groups = {
        RuleGroup{
            QUuid::createUuid(), QStringLiteral("DRUMS"), {"KICK", "SNARE\tTOP"}, std::nullopt},
        RuleGroup{QUuid::createUuid(), QStringLiteral("GTR"), {"GTR", "ÉLAN"}, QList<int>{5, 2}},
        RuleGroup{QUuid::createUuid(), QStringLiteral("VOCALS"), {}, QList<int>{}},
        RuleGroup{QUuid::createUuid(), QStringLiteral("ODD"), {"X"}, QList<int>{30, -1, 7}},
    };
    cfg.sourceAliases = {{"kick in", "Kick_In"}, {"OVER HEAD", "OH"}, {"“Q”", "é"}};
    cfg.unsortedFolder = QStringLiteral("zz Unsorted");
    cfg.numberTracks = false;
    cfg.groupInName = true;

    Config::defaults().save();
    cfg.save();
    const Config loaded = Config::load();
    EXPECT_EQ(withoutIds(loaded), withoutIds(cfg));
}

// Verifies that save writes names as they are and that only loading upper-cases them.
TEST(ConfigSave, writesNamesAsTheyAre) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("config.json"));
    Config cfg = Config::defaults();
    cfg.groups = {RuleGroup{QUuid(), QStringLiteral("gtr"), {"strat"}, std::nullopt}};
    cfg.saveTo(path);
    const QByteArray bytes = readFile(path);
    EXPECT_TRUE(bytes.contains(R"("name": "gtr")")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains(R"("strat")")) << bytes.toStdString();
    EXPECT_EQ(Config::loadFrom(path).groups.value(0).name, QStringLiteral("GTR"));
}

// Verifies that a save that cannot create its folder or its file throws a FileError naming the
// place and carrying the system's reason.
TEST(ConfigSave, failureNamesThePlace) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString blocker = dir.filePath(QStringLiteral("plain-file"));
    writeFile(blocker, "x");
    const QString folder = dir.filePath(QStringLiteral("existing-folder"));
    ASSERT_TRUE(QDir().mkpath(folder));

    struct Case {
        const char* name;
        QString path;
        QString named;
    };
    const Case cases[] = {
        {"parent below a regular file", blocker + QStringLiteral("/Vantrel/config.json"),
         blocker + QStringLiteral("/Vantrel")},
        {"target is a folder", folder, folder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            Config::defaults().saveTo(c.path);
            ADD_FAILURE() << "no error";
        } catch (const FileError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("“") + c.named + QStringLiteral("”")))
                << e.what();
            EXPECT_FALSE(e.reason().isEmpty()) << e.what();
            EXPECT_TRUE(e.message().endsWith(QLatin1Char('.'))) << e.what();
        }
    }
    EXPECT_EQ(readFile(blocker), QByteArray("x"));
}

// Lowers the file size limit of the process for one scope, so that writes beyond it fail
// with EFBIG (even for root, unlike permissions).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool active() const { return active_; }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
    bool active_ = false;
};

// Verifies that a save that fails while writing leaves the previous file whole and no stray
// temporary file beside it.
TEST(ConfigSave, failedWriteKeepsThePreviousFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("config.json"));
    const QByteArray previous = oneGroupFile();
    writeFile(path, previous);
    const auto before = snapshot(dir.path());

    // Nothing may be written to any file while the limit holds, test output included.
    bool limited = false;
    std::optional<FileError> error;
    {
        FileSizeLimit limit(256);
        limited = limit.active();
        try {
            Config::defaults().saveTo(path);
        } catch (const FileError& e) {
            error = e;
        }
    }
    ASSERT_TRUE(limited);
    ASSERT_TRUE(error.has_value()) << "the save did not fail";
    EXPECT_TRUE(error->message().contains(path)) << error->what();
    EXPECT_EQ(snapshot(dir.path()), before);
    EXPECT_EQ(withoutIds(Config::loadFrom(path)), withoutIds(*Config::fromJson(previous)));
}

} // namespace
// Verifies that the reason a configuration cannot be used names the place or the key.
TEST(ConfigLoad, shouldSayWhatMakesAFileUnusable) {
    const struct {
        const char* name;
        QByteArray bytes;
        const char* problem;
    } cases[] = {
        {"a syntax error", "{\n  \"groups\": [\n    {\"name\": }\n", "line 3, column 15: "},
        {"groups missing", R"({"source_aliases": {}, "unsorted_folder": "X"})",
         "“groups” is missing or not a list"},
        {"a name not text", oneGroupFile().replace(R"("DRUMS")", "7"),
         "the “name” of group 1 is not text"},
        {"an option of the wrong kind", oneGroupFile("", R"(, "group_in_name": 1)"),
         "“group_in_name” is not true or false"},
        {"no groups", R"({"groups": [], "source_aliases": {}, "unsorted_folder": "X"})",
         "it has no rule groups"},
        {"usable", oneGroupFile(), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString problem = configProblem(c.bytes);
        if (*c.problem == 0) {
            EXPECT_EQ(problem, QString());
        } else {
            EXPECT_TRUE(problem.startsWith(QString::fromUtf8(c.problem))) << problem.toStdString();
        }
    }
}

} // namespace Vantrel
