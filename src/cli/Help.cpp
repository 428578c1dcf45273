#include "cli/Help.h"

#include "platform/sim/SimLogic.h"

#include <algorithm>

namespace Vantrel::Cli {

namespace {

QString s(const char* utf8) {
    return QString::fromUtf8(utf8);
}

const QString configOption = QStringLiteral("--config FILE");
const QString configText = QStringLiteral(
    "Use the rules of this configuration file instead of the user's. A file that cannot be "
    "used is named in a warning and the built-in rules are used.");

QList<CommandHelp> makeCommands() {
    QList<CommandHelp> list;
    list << CommandHelp{
        s("scan"),
        {s("scan FOLDER [--config FILE] [--suggest] [--json]")},
        s("Show how the audio files of a folder would be sorted."),
        s("Reads the audio files directly inside FOLDER and prints, for each, its group, its "
          "place in the session order and the folder and name it would get. Nothing is "
          "changed on disk. Files that are not audio are listed as left alone."),
        {{s("--suggest"),
          s("Also print a suggested group for every file that the rules leave unsorted."),
          {}},
         {configOption, configText, {}},
         {s("--json"), s("Print one JSON document instead of the table."), {}}},
        Positional::folder};
    list << CommandHelp{
        s("classify"),
        {s("classify [--config FILE] [--suggest] [--json] STEM...")},
        s("Show how file names are read and which group each gets."),
        s("For each STEM (a file name without its extension) prints the words the name is read "
          "into, the group the rules choose (or none) and the source text."),
        {{s("--suggest"), s("Also print a suggested group for every unsorted STEM."), {}},
         {configOption, configText, {}},
         {s("--json"), s("Print one JSON array instead of the text."), {}}},
        Positional::words};
    list << CommandHelp{
        s("organize"),
        {s("organize FOLDER (--in-place | --copy) [--config FILE] [--json]")},
        s("Sort the audio files of a folder into numbered group folders."),
        s("With --copy, makes a sorted copy next to FOLDER, named after it plus “ SORTED”, "
          "with one numbered folder per group; files are cloned where the disk allows it and "
          "copied otherwise. With --in-place, moves and renames the files inside FOLDER and "
          "keeps the journal “Vantrel undo.json”, from which put-back restores them.\n\n"
          "Nothing is ever overwritten. Ctrl-C stops between two files and undoes what was "
          "done so far."),
        {{s("--in-place"), s("Organize FOLDER itself."), {}},
         {s("--copy"), s("Make a sorted copy next to FOLDER."), {}},
         {configOption, configText, {}},
         {s("--json"), s("Print the result folder and the note as JSON."), {}}},
        Positional::folder};
    list << CommandHelp{
        s("put-back"),
        {s("put-back FOLDER")},
        s("Put the files of a folder organized in place back where they were."),
        s("Moves every file that organize --in-place moved back to its old name, as its "
          "journal records, and removes the group folders it made when they are empty. A file "
          "that is no longer at its new place is skipped and named in the note."),
        {},
        Positional::folder};
    list << CommandHelp{
        s("demo"),
        {s("demo FOLDER")},
        s("Write a demo recording session to try the other commands on."),
        s("Creates FOLDER with short audio files named as a multitrack recorder names them. "
          "Existing files are never overwritten."),
        {},
        Positional::folder};
    list << CommandHelp{
        s("check"),
        {s("check FOLDER [--json]")},
        s("Check the audio of a folder's files before anything moves."),
        s("Reads the header of every audio file directly inside FOLDER (sample rate, channels, "
          "bit depth, length), then each file's samples once, and reports what a mixing "
          "engineer checks first: sample rates or bit depths that differ from the rest, silent "
          "files, stereo files whose two channels are the same, clipped runs, files much "
          "shorter than the others, and files whose format cannot be read. Nothing is changed "
          "on disk. Ctrl-C stops the check."),
        {{s("--json"),
          s("Print the files' facts and the findings as one JSON document instead of the "
            "table."),
          {}}},
        Positional::folder};
    QStringList quirks = SimLogic::quirkNames();
    list << CommandHelp{
        s("logic-menus"),
        {s("logic-menus [--simulate] [--quirk NAME]... [--world FILE]")},
        s("Check the connection to the simulated Logic Pro by reading its menus."),
        s("Does what the app's “Check Logic Connection…” does, against the simulated Logic "
          "Pro: writes every menu item into “logic-menus.txt” in the configuration folder and "
          "prints it with the app's message."),
        {{s("--simulate"),
          s("Read the simulated Logic Pro, as on this system always; on a Mac the real one is "
            "read without it."),
          {}},
         {s("--quirk NAME"),
          s("Switch on a deviation of the simulated Logic Pro, such as not-running or "
            "not-trusted; may be repeated. send --list-quirks lists them all."),
          quirks},
         {s("--world FILE"),
          s("Read the menus of a recorded world instead: a tree that ax-dump --json wrote."),
          {}}},
        Positional::none};
    list << CommandHelp{
        s("ax-dump"),
        {s("ax-dump [--simulate] [--world FILE] [--quirk NAME[=VALUE]]... [--depth N] [--json]")},
        s("Write Logic Pro's accessibility tree."),
        s("Walks the running Logic Pro's accessibility tree from its application element and "
          "writes every element: role, subrole, title, description, identifier, value, "
          "whether it is enabled, frame, actions and children. Here it reads the simulated "
          "Logic Pro (--simulate); the real one is read on a Mac. The JSON can be read back "
          "with --world, and by logic-menus --world, as a recorded world for the steps that "
          "only read."),
        {{s("--simulate"), s("Read the simulated Logic Pro; required on this system."), {}},
         {s("--world FILE"),
          s("Start the simulated Logic Pro from a tree that ax-dump --json wrote."),
          {}},
         {s("--quirk NAME[=VALUE]"),
          s("Switch on a deviation of the simulated Logic Pro; may be repeated. send "
            "--list-quirks lists them all."),
          quirks},
         {s("--depth N"),
          s("Leave out the elements deeper than N levels below the application (40 by "
            "default)."),
          {}},
         {s("--json"), s("Write the tree as JSON, keys sorted, rather than indented text."), {}}},
        Positional::none};
    list << CommandHelp{
        s("send"),
        {s("send FOLDER --simulate [--mode MODE] [--config FILE] [--profile NAME] [--seed N] "
           "[--quirk NAME[=VALUE]]... [--realtime] [--json]"),
         s("send --list-quirks")},
        s("Send a sorted folder's tracks to the simulated Logic Pro."),
        s("Reads the result folder that organize made (its “manifest.json”), builds the "
          "session in the simulated Logic Pro as the app's send does, and prints the result, "
          "the send log and the tracks and stacks the simulated Logic Pro ends up holding. "
          "Exits with 1 when the send fails.\n\n"
          "Ctrl-C cancels the send as the send panel's Cancel does: it stops at its next "
          "wait, prints “Cancelled.” and exits with 1."),
        {{s("--simulate"), s("Drive the simulated Logic Pro; required."), {}},
         {s("--mode MODE"),
          s("fast (every file in one drag, the default), grouped (group by group), slow (one "
            "file at a time through the import dialog) or stacks-only (stacks of the tracks "
            "already in the project)."),
          {s("fast"), s("grouped"), s("slow"), s("stacks-only")}},
         {configOption, configText, {}},
         {s("--profile NAME"),
          s("Switch on a named set of deviations: realistic (rows off screen absent, the "
            "options window, a late tempo question, Logic busy after an import, rare read "
            "errors), as the real Logic Pro behaves."),
          SimLogic::profileNames()},
         {s("--seed N"),
          s("Seed of the simulated Logic Pro's random choices, so that a run can be "
            "replayed; 1 by default."),
          {}},
         {s("--quirk NAME[=VALUE]"),
          s("Switch on a deviation of the simulated Logic Pro, with a value where it takes "
            "one (a time in seconds, a probability, a width in points, a count); may be repeated."),
          quirks},
         {s("--realtime"), s("Let the simulated Logic Pro take its real time."), {}},
         {s("--json"), s("Print the result, the log and the session as JSON."), {}},
         {s("--list-quirks"), s("List the deviations of the simulated Logic Pro."), {}}},
        Positional::folder};
    list << CommandHelp{
        s("export-session"),
        {s("export-session RESULT --to ardour|dawproject [--output PATH] [--json]")},
        s("Make a session for another DAW from a sorted folder."),
        s("Reads the result folder that organize made (its “manifest.json”) and makes a session "
          "holding one track per file, named after it, in the order a send uses: each group's "
          "tracks together, in the group's colour, the unsorted tracks last, every file's audio "
          "at the session start.\n\n"
          "--to ardour builds an Ardour session through Ardour's own session tool "
          "(ardour7-lua or later, which must be installed): a route group per group, mono or "
          "stereo tracks as the files are, the audio read where it lies in RESULT. --to "
          "dawproject writes a DAWproject file, which Bitwig Studio, Studio One and Cubase "
          "open, with a group track per group and the audio inside the file.\n\n"
          "By default the session goes beside RESULT: the Ardour session in a folder named "
          "after it plus “ Ardour”, the DAWproject file named after it plus “.dawproject”. "
          "Nothing is ever overwritten: a name already taken is an error. Ctrl-C stops the "
          "export and leaves nothing behind."),
        {{s("--to DAW"),
          s("ardour (an Ardour session) or dawproject (a DAWproject file); required."),
          {s("ardour"), s("dawproject")}},
         {s("--output PATH"),
          s("Make the session at PATH instead: the Ardour session's folder, whose name names "
            "the session, or the DAWproject file (“.dawproject” is added when missing)."),
          {}},
         {s("--json"), s("Print what was made as JSON."), {}}},
        Positional::folder};
    return list;
}

// text broken into lines of at most width characters, each after indent spaces.
QString wrapped(const QString& text, int indent, int width = 79) {
    QString result;
    const QString pad(indent, QLatin1Char(' '));
    const QStringList paragraphs = text.split(QStringLiteral("\n\n"));
    for (qsizetype p = 0; p < paragraphs.size(); ++p) {
        if (p > 0)
            result += QLatin1Char('\n');
        QString line;
        for (const QString& word : paragraphs[p].split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (!line.isEmpty() && indent + line.size() + 1 + word.size() > width) {
                result += pad + line + QLatin1Char('\n');
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
        if (!line.isEmpty())
            result += pad + line + QLatin1Char('\n');
    }
    return result;
}

QString optionsText(const QList<OptionHelp>& options) {
    QString text;
    for (const OptionHelp& o : options) {
        text += QStringLiteral("  ") + o.option + QLatin1Char('\n');
        text += wrapped(o.text, 6);
    }
    return text;
}

const QList<OptionHelp> commonOptions{
    {QStringLiteral("--help"),
     QStringLiteral("Print the usage, or a command's usage after it."),
     {}},
    {QStringLiteral("--version"), QStringLiteral("Print the version."), {}}};

// text escaped for roff: backslashes, hyphens, a leading dot or quote, and every character
// beyond ASCII as a named Unicode glyph, so the page reads the same under any input encoding.
QString roff(const QString& text) {
    QString escaped;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            escaped += QStringLiteral("\\e");
        else if (c == QLatin1Char('-'))
            escaped += QStringLiteral("\\-");
        else if (c.unicode() > 0x7e)
            escaped += QStringLiteral("\\[u%1]").arg(
                QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
        else
            escaped += c;
    }
    if (escaped.startsWith(QLatin1Char('.')) || escaped.startsWith(QLatin1Char('\'')))
        escaped.prepend(QStringLiteral("\\&"));
    return escaped;
}

// An option for the page: its name in bold, its value's name in italics.
QString roffOption(const OptionHelp& o) {
    QString line = QStringLiteral("\\fB") + roff(o.name()) + QStringLiteral("\\fR");
    if (!o.valueName().isEmpty())
        line += QStringLiteral(" \\fI") + roff(o.valueName()) + QStringLiteral("\\fR");
    return line;
}

QString roffParagraphs(const QString& text) {
    QString page;
    for (const QString& p : text.split(QStringLiteral("\n\n")))
        page += QStringLiteral(".PP\n") + roff(p) + QLatin1Char('\n');
    return page;
}

QString roffOptions(const QList<OptionHelp>& options) {
    QString page;
    for (const OptionHelp& o : options)
        page += QStringLiteral(".TP\n") + roffOption(o) + QLatin1Char('\n') + roff(o.text) +
                QLatin1Char('\n');
    return page;
}

QString bashWords(const QStringList& words) {
    return QLatin1Char('"') + words.join(QLatin1Char(' ')) + QLatin1Char('"');
}

// One synopsis line after its lead ("usage: vantrel-cli " or its indent), broken before an
// option where it would pass 79 characters, continued under the command's first argument.
QString synopsisLine(const QString& lead, const QString& line) {
    const qsizetype hang = lead.size() + line.indexOf(QLatin1Char(' ')) + 1;
    QString text = lead;
    qsizetype column = lead.size();
    bool first = true;
    for (const QString& word : line.split(QLatin1Char(' '))) {
        if (!first && column + 1 + word.size() > 79 && word.startsWith(QLatin1Char('['))) {
            text += QLatin1Char('\n') + QString(hang, QLatin1Char(' '));
            column = hang;
        } else if (!first) {
            text += QLatin1Char(' ');
            ++column;
        }
        text += word;
        column += word.size();
        first = false;
    }
    return text + QLatin1Char('\n');
}

} // namespace

const QList<CommandHelp>& commands() {
    static const QList<CommandHelp> list = makeCommands();
    return list;
}

const CommandHelp* commandNamed(const QString& name) {
    const auto& list = commands();
    const auto found = std::find_if(list.cbegin(), list.cend(),
                                    [&name](const CommandHelp& c) { return c.name == name; });
    return found == list.cend() ? nullptr : &*found;
}

QString usageOf(const CommandHelp& command) {
    QString text;
    for (const QString& line : command.synopsis)
        text +=
            synopsisLine((text.isEmpty() ? QStringLiteral("usage: ") : QStringLiteral("       ")) +
                             QStringLiteral("vantrel-cli "),
                         line);
    return text;
}

QString usageText() {
    QString text;
    for (const CommandHelp& command : commands())
        for (const QString& line : command.synopsis)
            text += synopsisLine(
                (text.isEmpty() ? QStringLiteral("usage: ") : QStringLiteral("       ")) +
                    QStringLiteral("vantrel-cli "),
                line);
    return text;
}

QString helpText() {
    QString text = usageText();
    text += QStringLiteral("\nSorts the audio files of a recording session into groups for "
                           "mixing, from the command line.\n\nCommands:\n");
    for (const CommandHelp& command : commands())
        text += QStringLiteral("  ") + command.name.leftJustified(13, QLatin1Char(' ')) +
                command.summary + QLatin1Char('\n');
    text += QStringLiteral("\nOptions:\n") + optionsText(commonOptions);
    text += QStringLiteral("\nEach command's options: vantrel-cli COMMAND --help. Exit status: "
                           "0 done, 1 failed (the message on stderr), 2 bad usage.\n");
    return text;
}

QString commandHelpText(const CommandHelp& command) {
    QString text = usageOf(command);
    text +=
        QLatin1Char('\n') + wrapped(command.summary + QLatin1Char(' ') + command.description, 0);
    if (!command.options.isEmpty())
        text += QStringLiteral("\nOptions:\n") + optionsText(command.options);
    return text;
}

QByteArray manPage() {
    QString page = QStringLiteral(".TH VANTREL\\-CLI 1 \"\" \"Vantrel %1\" \"User Commands\"\n")
                       .arg(QStringLiteral(VANTREL_VERSION));
    // No hyphenation: paths and option names must stay whole.
    page += QStringLiteral(".nh\n");
    page += QStringLiteral(".SH NAME\nvantrel\\-cli \\- sort the audio files of a recording "
                           "session into groups for mixing\n");
    page += QStringLiteral(".SH SYNOPSIS\n.nf\n");
    for (const CommandHelp& command : commands())
        for (const QString& line : command.synopsis)
            page += QStringLiteral("\\fBvantrel\\-cli\\fR ") + roff(line) + QLatin1Char('\n');
    page += QStringLiteral("\\fBvantrel\\-cli\\fR \\fB\\-\\-help\\fR | \\fB\\-\\-version\\fR\n");
    page += QStringLiteral(".fi\n");
    page += QStringLiteral(".SH DESCRIPTION\n") +
            roffParagraphs(QStringLiteral(
                "vantrel-cli is the headless companion of the Vantrel app. It reads the file "
                "names of a session's tracks, sorts them into rule groups, organizes the "
                "folder or makes a sorted copy of it, puts an organized folder back, and "
                "drives the simulated Logic Pro as the app does."));
    page += QStringLiteral(".SH COMMANDS\n");
    for (const CommandHelp& command : commands()) {
        page += QStringLiteral(".SS ") + roff(command.name) + QLatin1Char('\n');
        page += QStringLiteral(".nf\n");
        for (const QString& line : command.synopsis)
            page += QStringLiteral("\\fBvantrel\\-cli\\fR ") + roff(line) + QLatin1Char('\n');
        page += QStringLiteral(".fi\n");
        page += roffParagraphs(command.summary + QLatin1Char(' ') + command.description);
        page += roffOptions(command.options);
    }
    page += QStringLiteral(".SH OPTIONS\n") + roffOptions(commonOptions);
    page += QStringLiteral(".SH EXIT STATUS\n"
                           ".TP\n0\nThe command did what was asked.\n"
                           ".TP\n1\nIt failed; the message is on the standard error.\n"
                           ".TP\n2\nThe command line cannot be used as given; the usage follows "
                           "the message.\n");
    page += QStringLiteral(".SH FILES\n") +
            QStringLiteral(".TP\n\\fI$XDG_DATA_HOME/Vantrel/config.json\\fR\n") +
            roff(QStringLiteral("The user's rules, shared with the app; "
                                "$XDG_DATA_HOME is ~/.local/share when unset.")) +
            QStringLiteral("\n.TP\n\\fI$XDG_DATA_HOME/Vantrel/logic\\-menus.txt\\fR\n") +
            roff(QStringLiteral("The menus read by logic-menus.")) + QLatin1Char('\n');
    page += QStringLiteral(".SH SEE ALSO\n\\fBvantrel\\fR, the app, in the desktop's "
                           "launcher.\n");
    return page.toUtf8();
}

QByteArray bashCompletion() {
    QStringList names;
    for (const CommandHelp& command : commands())
        names << command.name;
    QString script =
        QStringLiteral(
            "# bash completion for vantrel-cli; made by vantrel-cli from its usage text.\n"
            "# Replies are read a line each, so names with spaces stay whole.\n"
            "_vantrel_cli()\n"
            "{\n"
            "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
            "    COMPREPLY=()\n"
            "    if [[ $COMP_CWORD -eq 1 ]]; then\n"
            "        mapfile -t COMPREPLY < <(compgen -W %1 -- \"$cur\")\n"
            "        return\n"
            "    fi\n"
            "    case ${COMP_WORDS[1]} in\n")
            .arg(bashWords(names +
                           QStringList{QStringLiteral("--help"), QStringLiteral("--version")}));
    for (const CommandHelp& command : commands()) {
        script += QStringLiteral("    %1)\n").arg(command.name);
        QStringList optionNames;
        QString valued;
        for (const OptionHelp& o : command.options) {
            optionNames << o.name();
            if (o.valueName().isEmpty())
                continue;
            const QString reply =
                !o.choices.isEmpty()
                    ? QStringLiteral("compgen -W %1 -- \"$cur\"").arg(bashWords(o.choices))
                : o.valueName() == QLatin1String("FILE") ? QStringLiteral("compgen -f -- \"$cur\"")
                                                         : QStringLiteral("compgen -d -- \"$cur\"");
            valued += QStringLiteral("        %1) mapfile -t COMPREPLY < <(%2); return ;;\n")
                          .arg(o.name(), reply);
        }
        optionNames << QStringLiteral("--help");
        if (!valued.isEmpty())
            script += QStringLiteral("        case $prev in\n") + valued +
                      QStringLiteral("        esac\n");
        const QString positional =
            command.positional == Positional::folder
                ? QStringLiteral("            mapfile -t COMPREPLY < <(compgen -d -- \"$cur\")\n")
                : QStringLiteral("            :\n");
        script += QStringLiteral("        if [[ $cur == -* ]]; then\n"
                                 "            mapfile -t COMPREPLY < <(compgen -W %1 -- \"$cur\")\n"
                                 "        else\n%2"
                                 "        fi\n"
                                 "        ;;\n")
                      .arg(bashWords(optionNames), positional);
    }
    script += QStringLiteral("    esac\n"
                             "}\n"
                             "complete -o filenames -F _vantrel_cli vantrel-cli\n");
    return script.toUtf8();
}

} // namespace Vantrel::Cli
