#pragma once

// Which Logic Pro a program drives, chosen in one place for the app and vantrel-cli.

#include <QtGlobal>

namespace Vantrel {

// The simulated Logic Pro (SimPlatform), or the real one through Apple's interfaces
// (MacPlatform).
enum class Backend { simulated, mac };

// Whether this program was built for macOS, the only system the real Logic Pro runs on.
#ifdef Q_OS_MACOS
inline constexpr bool builtForMac = true;
#else
inline constexpr bool builtForMac = false;
#endif

// The backend of a run: the simulator when the user asks for it (--simulate) and on every
// system but macOS; MacPlatform on macOS otherwise.
Backend chooseBackend(bool simulateAsked, bool onMac = builtForMac);

} // namespace Vantrel
