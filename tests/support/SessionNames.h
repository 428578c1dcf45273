#pragma once

#include <QString>
#include <QStringList>

#include <iterator>

namespace Vantrel::Fixtures {

// count audio file names as multitrack recorders and engineers write them: a channel number,
// a source and a take suffix ("1Kick In#01.1.wav"), all different. Shared by tests and
// benchmarks.
inline QStringList sessionNames(int count) {
    static const char* const sources[] = {
        "Kick In",      "Kick Out",     "Snare Top",      "Snare Bottom", "Hi Hat",    "Tom 1",
        "Tom 2",        "Floor Tom",    "Over Head L",    "Over Head R",  "Room L",    "Room R",
        "Bass DI",      "Bass Amp",     "Electric Gtr L", "Acoustic Gtr", "Piano L",   "Piano R",
        "Organ",        "Synth Pad",    "Vox 1",          "Lead Vox",     "BGV L",     "BGV R",
        "Track Perc L", "Track Perc R", "Click",          "Talkback",     "Crowd FHL", "Crowd FHR",
        "Cello",        "Violin 2",     "FX Riser",       "Loop 3",       "Shaker",    "Conga"};
    const int n = int(std::size(sources));
    QStringList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("%1%2#%3.%4.wav")
                     .arg(i + 1)
                     .arg(QLatin1String(sources[i % n]))
                     .arg(i % 7 + 1, 2, 10, QLatin1Char('0'))
                     .arg(i % 3 + 1);
    return names;
}

} // namespace Vantrel::Fixtures
