#pragma once

// The one text of the command line's usage: every command's synopsis, summary, description and
// options. `vantrel-cli --help`, each command's `--help`, the usage printed on a usage error,
// the manual page and the bash completion are all made from it, so a new command adds one
// entry to commands() (in Help.cpp) and its dispatch in main.cpp, and nothing else.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace Vantrel::Cli {

// One option of a command.
struct OptionHelp {
    // The option as typed, with its value's name when it takes one: "--config FILE".
    QString option;
    // What it does, one or more sentences.
    QString text;
    // The values it accepts, for completion; empty for any value (a FILE completes file names).
    QStringList choices;

    // "--config" of "--config FILE".
    QString name() const { return option.section(QLatin1Char(' '), 0, 0); }
    // "FILE" of "--config FILE"; empty for a flag.
    QString valueName() const { return option.section(QLatin1Char(' '), 1); }
};

// What a command's positional arguments are, for completion.
enum class Positional { none, folder, words };

// One command of vantrel-cli.
struct CommandHelp {
    QString name;
    // The lines of its synopsis, each after "vantrel-cli ": "scan FOLDER [--json]".
    QStringList synopsis;
    // One line: what it does.
    QString summary;
    // Paragraphs separated by blank lines.
    QString description;
    QList<OptionHelp> options;
    Positional positional = Positional::none;
};

// Every command, in the order the usage lists them.
const QList<CommandHelp>& commands();
// The command of that name; null for none.
const CommandHelp* commandNamed(const QString& name);

// "usage: vantrel-cli scan FOLDER …" with every command's synopsis, one a line.
QString usageText();
// The synopsis lines of one command, the first after "usage: ".
QString usageOf(const CommandHelp& command);
// The whole usage: the synopses, the commands' summaries and the common options.
QString helpText();
// One command's help: synopsis, description and options.
QString commandHelpText(const CommandHelp& command);
// The manual page vantrel-cli(1) in roff (man macros), made from the same texts.
QByteArray manPage();
// A bash completion script for vantrel-cli, made from the same texts.
QByteArray bashCompletion();

} // namespace Vantrel::Cli
