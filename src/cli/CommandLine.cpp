#include "cli/CommandLine.h"

#include <algorithm>
#include <cstdio>

namespace Vantrel::Cli {

std::optional<QString> ParsedArgs::last(const QString& option) const {
    const QStringList given = values.value(option);
    if (given.isEmpty())
        return std::nullopt;
    return given.last();
}

ParsedArgs parseArgs(const QStringList& list, const OptionSpec& options) {
    ParsedArgs args;
    const auto other = [&options](const QString& a) {
        if (!options.othersMessage.isEmpty())
            throw UsageError{options.othersMessage.arg(a)};
    };
    bool optionsEnded = false;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString& a = list[i];
        if (optionsEnded || !a.startsWith(QLatin1String("--"))) {
            other(a);
            args.positional << a;
            continue;
        }
        if (a == QLatin1String("--")) {
            other(a);
            optionsEnded = true;
            continue;
        }
        if (options.flags.contains(a)) {
            for (const QStringList& group : options.exclusive) {
                if (!group.contains(a))
                    continue;
                for (const QString& g : group) {
                    if (g != a && args.has(g))
                        throw UsageError{QStringLiteral("choose one of %1")
                                             .arg(group.join(QStringLiteral(" and ")))};
                }
            }
            args.flags << a;
            continue;
        }
        const auto valued = std::find_if(options.valued.cbegin(), options.valued.cend(),
                                         [&a](const auto& option) { return option.first == a; });
        if (valued != options.valued.cend()) {
            if (++i == list.size())
                throw UsageError{QStringLiteral("%1 needs a %2").arg(a, valued->second)};
            args.values[a] << list[i];
            continue;
        }
        other(a);
        throw UsageError{QStringLiteral("unknown option %1").arg(a)};
    }
    return args;
}

void out(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void out(const QString& text) {
    out(text.toUtf8());
}

void outText(const QString& text) {
    out(terminalSafe(text).toUtf8());
}

QString terminalSafe(const QString& text) {
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\n') || u == 0x7f)
            safe += QString::asprintf("\\x%02X", unsigned(u));
        else if (u >= 0x80 && u <= 0x9f)
            safe += QString::asprintf("\\u%04X", unsigned(u));
        else
            safe += c;
    }
    return safe;
}

void err(const QString& text) {
    const QByteArray bytes = terminalSafe(text).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

} // namespace Vantrel::Cli
