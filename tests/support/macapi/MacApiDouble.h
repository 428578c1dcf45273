#pragma once

// Control of the double of Apple's interfaces (include/: Core Foundation, Quartz events and
// displays, the accessibility interface, libproc): the system it answers for is the simulated
// desktop of a SimPlatform, with the simulated Logic Pro as a running application and this
// program as another. It keeps Apple's rules and counts every breach:
// - Core Foundation's ownership: every object a Create or Copy call returns must be released
//   exactly once; liveObjects() counts those not yet released, overReleases() the releases of
//   objects already gone (or never made);
// - the accessibility result codes: kAXErrorInvalidUIElement for an element of no process or a
//   gone interface object, kAXErrorAttributeUnsupported, kAXErrorCannotComplete when an answer
//   takes longer than the messaging time-out of the element's application (the system's
//   default, 6 s, unless set), kAXErrorAPIDisabled while this program is not trusted;
// - the messaging time-out: per application, or for all of them through the system-wide element;
// - posted events: every field recorded; a dragged event reaches other applications only when it
//   carries its movement (kCGMouseEventDeltaX/Y) and moves at most maxDragStep points, a
//   scroll-wheel event only when its lines lie within ±maxWheelLines.

#include "platform/sim/SimPlatform.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>

namespace Vantrel::MacApiDouble {

inline constexpr double maxDragStep = 20.0;
inline constexpr int maxWheelLines = 10;
// The pid of this program in the process list; the simulated Logic Pro has its own.
inline constexpr int ownPid = 501;

// One event as posted.
struct PostedEvent {
    std::uint32_t type = 0; // CGEventType
    std::uint32_t tap = 0;  // CGEventTapLocation
    std::uint16_t keyCode = 0;
    QString unicode; // set with CGEventKeyboardSetUnicodeString
    std::uint64_t flags = 0;
    Point point;
    std::int32_t wheel1 = 0;
    std::map<std::uint32_t, std::int64_t> fields; // CGEventSetIntegerValueField
    bool delivered = false;                       // reached the simulated desktop
    bool activityHeld = false;                    // an App Nap activity was held when posted
};

// Makes the double answer for sim (until uninstall), with a fresh record and no objects alive.
void install(SimPlatform& sim);
void uninstall();

// Objects returned by Create or Copy calls and not yet released.
std::int64_t liveObjects();
// CFRelease calls on objects that were no longer (or never) alive.
std::int64_t overReleases();
// A line per live object: its type and how it was made.
QStringList liveObjectReport();

// The messaging time-out in seconds the system applies to calls to the process: the one set for
// its application element, else the system-wide one, else none (the default).
std::optional<float> messagingTimeout(int pid);
// How many calls answered kAXErrorCannotComplete because they outlasted the time-out.
int timedOutCalls();

QList<PostedEvent> postedEvents();

// AXIsProcessTrusted keeps its first false answer until the process restarts, as macOS does
// when the permission is switched on while the program runs (with on).
void setTrustCachedUntilRestart(bool on);
// The program starts again: the cached trust answer is forgotten.
void restartProcess();
// How many times AXIsProcessTrustedWithOptions was asked to prompt.
int trustPrompts();

// App Nap activities begun and not ended, and begun in all.
int activitiesHeld();
int activitiesBegun();

} // namespace Vantrel::MacApiDouble
