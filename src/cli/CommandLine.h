#pragma once

// What every command of vantrel-cli shares: the one argument parser, the usage error, and
// writing to the standard streams.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace Vantrel::Cli {

// A command line that cannot be used as given: exit status 2, the message on stderr after
// "vantrel-cli: ", then the command's usage (the program's whole usage for no command).
struct UsageError {
    QString message;
};

// What a command accepts besides its positional arguments.
struct OptionSpec {
    // Options without a value, such as "--json".
    QStringList flags;
    // Options taking the next argument as their value, with the value's name for the message
    // "<option> needs a <name>", such as {"--config", "FILE"}; they may be repeated.
    QList<std::pair<QString, QString>> valued;
    // Groups of flags of which only one may be given (repeating it is fine).
    QList<QStringList> exclusive;
    // When set, every argument that is not one of the options above fails with this message,
    // its %1 being the argument; positional arguments included.
    QString othersMessage;
};

// A parsed command line. Arguments after "--", and arguments not beginning with "--", are
// positional.
struct ParsedArgs {
    QStringList positional;
    QStringList flags;
    QHash<QString, QStringList> values;

    bool has(const QString& flag) const { return flags.contains(flag); }
    // The option's last value, when given.
    std::optional<QString> last(const QString& option) const;
    // Every value of a repeated option, in order.
    QStringList all(const QString& option) const { return values.value(option); }
};

// Parses the arguments after the command's name; throws UsageError ("unknown option X",
// "X needs a NAME", "choose one of A and B", or the options' othersMessage).
ParsedArgs parseArgs(const QStringList& list, const OptionSpec& options);

// Writes to stdout as it is.
void out(const QByteArray& bytes);
// Writes to stdout in UTF-8.
void out(const QString& text);
// Writes text meant for a person to stdout in UTF-8, its control characters written as escapes.
void outText(const QString& text);
// Writes a line to stderr in UTF-8, its control characters written as escapes.
void err(const QString& text);

// text with its control characters (other than line breaks) written as escapes, so that a file
// name cannot move the cursor, clear the screen or change the terminal's settings.
QString terminalSafe(const QString& text);

} // namespace Vantrel::Cli
