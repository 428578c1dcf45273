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

ParsedArgs parseArgs(const QStringList& list, const OptionSpec& spec) {
    ParsedArgs args;
    const auto other = [&spec](const QString& a) {
        if (!spec.othersMessage.isEmpty())
            throw UsageError{spec.othersMessage.arg(a)};
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
        if (spec.flags.contains(a)) {
            for (const QStringList& group : spec.exclusive) {
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
        const auto valued = std::find_if(spec.valued.cbegin(), spec.valued.cend(),
                                         [&a](const auto& option) { return option.first == a; });
        if (valued != spec.valued.cend()) {
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

void err(const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

} // namespace Vantrel::Cli
