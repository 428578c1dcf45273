#include "automation/SendMode.h"

#include <array>
#include <utility>

namespace Vantrel {

namespace {

constexpr std::array<std::pair<SendMode, const char*>, 4> kModeNames{{
    {SendMode::fast, "fast"},
    {SendMode::grouped, "grouped"},
    {SendMode::slow, "slow"},
    {SendMode::stacksOnly, "stacks-only"},
}};

} // namespace

QString sendModeName(SendMode mode) {
    for (const auto& [m, name] : kModeNames) {
        if (m == mode)
            return QLatin1String(name);
    }
    return {};
}

std::optional<SendMode> sendModeNamed(const QString& name) {
    for (const auto& [m, text] : kModeNames) {
        if (name == QLatin1String(text))
            return m;
    }
    return std::nullopt;
}

QString sendLogText(const SendReport& report) {
    return report.kind == SendReport::Kind::note ? QStringLiteral("  ") + report.text : report.text;
}

QString sendLogLine(double seconds, double fraction, const QString& status) {
    // QString::asprintf formats numbers in the C locale, whatever the process's locale is.
    return QString::asprintf("%5.1fs %3.0f%%  ", seconds, fraction * 100) + status;
}

QString sendLogLine(double seconds, const SendReport& report) {
    return sendLogLine(seconds, report.fraction, sendLogText(report));
}

QString SendOutcome::logLine() const {
    return ok ? QStringLiteral("OK") : QStringLiteral("ERROR: ") + result;
}

} // namespace Vantrel
