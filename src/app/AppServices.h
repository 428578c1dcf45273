#pragma once

#include "audio/SndfileReader.h"
#include "core/AudioFacts.h"
#include "core/FileOps.h"
#include "platform/Platform.h"
#include "sessions/SessionExport.h"

#include <QString>

#include <functional>
#include <optional>

namespace Vantrel {

// What the application's parts work with besides their own state. Everything pointed to must
// outlive all work the parts started, including work still running after they are gone.
struct AppServices {
    // The world Logic Pro is reached through, with the screen and the clock: the send and
    // the connection check talk to it, the send log and the export's progress throttle
    // read its clock. Required: the executable chooses it (on Linux a SimPlatform).
    Platform* platform = nullptr;
    // Every file operation of the export, the put-back, the menu dump and the emptying of
    // the send log.
    FileOps* fileOps = &systemFileOps();
    // Reads the header facts during the scan and the samples in the checks after it; none:
    // no audio checks.
    const AudioReader* audio = &Audio::sndfileReader();
    // Finds Ardour's session tool for "Open In"; none when Ardour is not installed.
    std::function<std::optional<Sessions::ArdourTool>()> findArdour = [] {
        return Sessions::findArdour();
    };
    // Opens a session file in Ardour; false when it cannot.
    std::function<bool(const Sessions::ArdourTool&, const QString&)> openInArdour =
        &Sessions::openInArdour;
};

} // namespace Vantrel
