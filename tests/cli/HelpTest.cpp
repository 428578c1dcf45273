// The usage text and what is made from it: each command's --help, the usage after a usage
// error, the manual page and the bash completion.
#include "cli/Help.h"

#include "cli/CliRun.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Vantrel;
using CliTesting::cli;
using CliTesting::CliRun;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// The option as it appears in the manual page: hyphens escaped.
QByteArray roffName(const QString& option) {
    return option.toUtf8().replace("-", "\\-");
}

// Verifies that every command answers --help (and -h) with its own help, whatever else is on
// the line, and that the program's --help names every command with its summary.
TEST(Help, shouldPrintEachCommandsHelp) {
    ASSERT_FALSE(Cli::commands().isEmpty());
    for (const Cli::CommandHelp& command : Cli::commands()) {
        SCOPED_TRACE(command.name.toStdString());
        for (const QStringList& args : {QStringList{command.name, "--help"},
                                        QStringList{command.name, "--json", "x", "-h"}}) {
            const CliRun r = cli(args);
            EXPECT_EQ(r.exitCode, 0);
            EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
            EXPECT_EQ(QString::fromUtf8(r.out), Cli::commandHelpText(command));
        }
        const QString text = Cli::commandHelpText(command);
        EXPECT_TRUE(text.startsWith("usage: vantrel-cli " + command.name + ' '));
        for (const Cli::OptionHelp& o : command.options)
            EXPECT_TRUE(text.contains("\n  " + o.option + '\n')) << o.option.toStdString();
    }

    const CliRun all = cli({"--help"});
    EXPECT_EQ(all.exitCode, 0);
    for (const Cli::CommandHelp& command : Cli::commands())
        EXPECT_TRUE(all.out.contains(
            ("  " + command.name.leftJustified(13, ' ') + command.summary + '\n').toUtf8()))
            << command.name.toStdString();
    EXPECT_TRUE(all.out.startsWith(Cli::usageText().toUtf8()));
    EXPECT_EQ(cli({"--version"}).out, "vantrel-cli " VANTREL_VERSION "\n");
}

// Verifies that "--help" after "--" is an argument like any other, not a request for help.
TEST(Help, shouldTakeHelpAfterDoubleDashAsAnArgument) {
    const CliRun r = cli({"classify", "--", "--help"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("--help\n  tokens:")) << r.out.toStdString();
}

// Verifies that a usage error prints the usage of the command at fault only, and the whole
// usage when the command itself is unknown.
TEST(Help, shouldPrintTheUsageOfTheCommandAtFault) {
    const struct {
        QStringList args;
        QString usage;
    } cases[] = {
        {{"send", "folder"}, Cli::usageOf(*Cli::commandNamed("send"))},
        {{"scan"}, Cli::usageOf(*Cli::commandNamed("scan"))},
        {{"put-back", "a", "b"}, Cli::usageOf(*Cli::commandNamed("put-back"))},
        {{"sort"}, Cli::usageText()},
        {{}, Cli::usageText()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.startsWith("vantrel-cli: ")) << r.err.toStdString();
        EXPECT_TRUE(r.err.endsWith(c.usage.toUtf8())) << r.err.toStdString();
    }
}

// Verifies the manual page: the program prints the page the build installed, it has a section
// for every command with every option, and groff reads it without a warning.
TEST(Help, shouldMakeAWellFormedManualPageOfEveryCommand) {
    const CliRun r = cli({"--man-page"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, Cli::manPage());
    EXPECT_EQ(readAll(QStringLiteral(VANTREL_MAN_PAGE)), r.out);

    const QByteArray page = r.out;
    EXPECT_TRUE(page.startsWith(".TH VANTREL\\-CLI 1 "));
    for (const char* section : {".SH NAME\n", ".SH SYNOPSIS\n", ".SH DESCRIPTION\n",
                                ".SH COMMANDS\n", ".SH EXIT STATUS\n"})
        EXPECT_TRUE(page.contains(section)) << section;
    for (const Cli::CommandHelp& command : Cli::commands()) {
        SCOPED_TRACE(command.name.toStdString());
        EXPECT_TRUE(page.contains(".SS " + roffName(command.name) + '\n'));
        for (const Cli::OptionHelp& o : command.options)
            EXPECT_TRUE(page.contains(".TP\n\\fB" + roffName(o.name()) + "\\fR"))
                << o.option.toStdString();
    }
    // Only ASCII reaches roff; typographic quotes become named glyphs.
    for (const char c : page)
        EXPECT_TRUE(c > 0) << "a byte beyond ASCII in the page";
    EXPECT_TRUE(page.contains("\\[u201C]"));

    const QString groff = QStandardPaths::findExecutable(QStringLiteral("groff"));
    if (groff.isEmpty())
        GTEST_SKIP() << "groff is not installed (scripts/deps installs groff-base)";
    QProcess p;
    p.start(groff, {"-man", "-Tutf8", "-ww", "-z"});
    p.write(page);
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardError(), QByteArray());
}

// Verifies the bash completion that the build installs: commands, each command's options, the
// values of --mode and --quirk, and folders for a command's FOLDER.
TEST(Help, shouldCompleteCommandsOptionsAndValuesInBash) {
    const QString bash = QStandardPaths::findExecutable(QStringLiteral("bash"));
    if (bash.isEmpty())
        GTEST_SKIP() << "bash is not installed";
    const QByteArray script = readAll(QStringLiteral(VANTREL_BASH_COMPLETION));
    EXPECT_EQ(cli({"--bash-completion"}).out, script);
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Session One"));
    QFile(dir.filePath("Sessions.txt")).open(QIODevice::WriteOnly);

    const struct {
        QStringList words; // the command line, the last word being completed
        QStringList expected;
    } cases[] = {
        {{"vantrel-cli", "s"}, {"scan", "send"}},
        {{"vantrel-cli", "--v"}, {"--version"}},
        {{"vantrel-cli", "organize", "--"},
         {"--in-place", "--copy", "--config", "--json", "--help"}},
        {{"vantrel-cli", "send", "x", "--mode", ""}, {"fast", "grouped", "slow", "stacks-only"}},
        {{"vantrel-cli", "logic-menus", "--quirk", "not-r"}, {"not-running"}},
        {{"vantrel-cli", "scan", "Sess"}, {"Session One"}},
        {{"vantrel-cli", "scan", "--config", "Sess"}, {"Session One", "Sessions.txt"}},
        {{"vantrel-cli", "put-back", "--"}, {"--help"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words.join(' ').toStdString());
        QString words;
        for (const QString& w : c.words)
            words += " '" + w + "'";
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(bash, {"--norc", "--noprofile", "-c",
                       "source \"$0\"; COMP_WORDS=(" + words +
                           "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _vantrel_cli; "
                           "printf '%s\\n' \"${COMPREPLY[@]}\"",
                       QStringLiteral(VANTREL_BASH_COMPLETION)});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.readAllStandardError(), QByteArray());
        QStringList got = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
        got.removeAll(QString());
        QStringList expected = c.expected;
        got.sort();
        expected.sort();
        EXPECT_EQ(got.join('|').toStdString(), expected.join('|').toStdString());
    }
}

} // namespace
