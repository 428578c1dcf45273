// The application model and a rules file that could not be read: kept, told, never overwritten.
#include "app/AppModelFixture.h"
#include "core/ConfigProblem.h"
#include "core/Errors.h"
#include "support/FaultyFileOps.h"

#include <cerrno>

namespace Vantrel::AppTesting {
namespace {

using Fixtures::readFile;
using Fixtures::writeFile;

// A configuration's stored values: group ids are fresh for every group read.
Config stored(Config cfg) {
    for (RuleGroup& g : cfg.groups)
        g.id = QUuid();
    return cfg;
}

class RulesFileTest : public AppModelFixture {
protected:
    const QString path = Config::filePath();
    const QByteArray broken = "{\"groups\": [{\"name\": \"GTR\", \"aliases\": [\"EG\",]}]";
};

// Verifies that a broken rules file is copied aside at start-up, the user is told where, and a
// later save replaces only the original.
TEST_F(RulesFileTest, shouldKeepABrokenFileAndTellTheUserAtStart) {
    writeFile(path, broken);
    AppModel model(services());
    const QString kept = path + QStringLiteral(".unreadable");
    // The message says where the file goes wrong.
    const QString problem = configProblem(broken);
    EXPECT_TRUE(problem.startsWith(QStringLiteral("line 1, column "))) << problem.toStdString();
    EXPECT_EQ(model.errorMessage(),
              QStringLiteral("Your rules file “%1” could not be read (%3), so Vantrel is using "
                             "the built-in rules. The file is kept as “%2”.")
                  .arg(path, kept, problem));
    EXPECT_EQ(model.rules().config(), Config::defaults());
    EXPECT_EQ(readFile(path), broken) << "nothing is written back at start";
    EXPECT_EQ(readFile(kept), broken);

    model.setErrorMessage(std::nullopt);
    EXPECT_TRUE(model.rules().saveRules(rules()));
    EXPECT_EQ(stored(Config::load()), stored(rules()));
    EXPECT_EQ(readFile(kept), broken);
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".unreadable 2")));

    // Told once: the next start finds a readable file and says nothing.
    AppModel next(services());
    EXPECT_EQ(next.errorMessage(), std::nullopt);
}

// Verifies that a file broken while the program runs is kept before a save replaces it.
TEST_F(RulesFileTest, shouldKeepAFileBrokenSinceStartBeforeSaving) {
    AppModel model(services());
    ASSERT_EQ(model.errorMessage(), std::nullopt);
    writeFile(path, broken);
    EXPECT_TRUE(model.rules().saveRules(rules()));
    EXPECT_EQ(readFile(path + QStringLiteral(".unreadable")), broken);
    EXPECT_EQ(stored(Config::load()), stored(rules()));
}

// Verifies that when the broken file cannot be kept, the save is refused and the file stays.
TEST_F(RulesFileTest, shouldNotSaveOverAFileItCouldNotKeep) {
    writeFile(path, broken);
    FaultyFileOps ops;
    ops.countOnly({FileOp::copy, FileOp::move});
    ops.failAt(1, ENOSPC); // at start: the copy
    ops.failAt(2, EROFS);  // at start: the move
    ops.failAt(3, ENOSPC); // at save: the copy
    ops.failAt(4, EROFS);  // at save: the move
    AppModel model(services(&ops));
    ASSERT_TRUE(model.errorMessage().has_value());
    EXPECT_TRUE(model.errorMessage()->startsWith(
        QStringLiteral("Your rules file “%1” could not be read (%2), so Vantrel is using the "
                       "built-in rules. Couldn't keep a copy of it: ")
            .arg(path, configProblem(broken))))
        << model.errorMessage()->toStdString();

    model.setErrorMessage(std::nullopt);
    EXPECT_FALSE(model.rules().saveRules(rules()));
    ASSERT_TRUE(model.errorMessage().has_value());
    EXPECT_TRUE(model.errorMessage()->startsWith(QStringLiteral("Couldn't save rules: ")));
    EXPECT_EQ(readFile(path), broken);
    EXPECT_EQ(model.rules().config(), Config::defaults());
}

} // namespace
} // namespace Vantrel::AppTesting
