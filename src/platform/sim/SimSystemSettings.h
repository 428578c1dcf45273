#pragma once

// The simulated system's own settings: which programs the user has allowed, under Privacy &
// Security > Accessibility, to control the computer. They belong to the simulated system, not to
// any program: they are kept in a file of their own, apart from every program's settings, and
// stay as the user set them across launches, as the system remembers them.

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <mutex>

namespace Vantrel {

class SimSystemSettings {
public:
    // The program the simulated desktop runs, as it is listed under Accessibility.
    static QString programName();
    // Where the simulated system keeps its settings: "vantrel-sim/system-settings.json" in the
    // user's generic configuration folder.
    static QString defaultPath();

    // The settings kept in the file at path; a missing or unreadable file allows nothing, as on
    // a freshly installed system. Every change is written back at once.
    explicit SimSystemSettings(QString path);
    SimSystemSettings(const SimSystemSettings&) = delete;
    SimSystemSettings& operator=(const SimSystemSettings&) = delete;

    // The programs listed under Accessibility, in the order shown: this program always.
    QStringList accessibilityList() const;
    // Whether the switch of a program under Accessibility is on.
    bool accessibilityAllowed(const QString& program) const;
    // Turns the switch of a program on or off, keeps it in the file (a failed write leaves the
    // switch set for this run only) and tells every observer.
    void setAccessibilityAllowed(const QString& program, bool allowed);

    // Calls f after every change of a switch, on the thread that made it; returns a handle for
    // unobserve.
    int observe(std::function<void()> f);
    void unobserve(int handle);

private:
    void write() const;

    const QString path_;
    mutable std::mutex mutex_;
    std::map<QString, bool> accessibility_;
    std::map<int, std::function<void()>> observers_;
    int nextHandle_ = 1;
};

} // namespace Vantrel
