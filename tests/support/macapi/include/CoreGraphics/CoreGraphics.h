#pragma once

// The part of Quartz Event Services and Quartz Display Services that the Mac backend calls,
// declared with Apple's types, values and ownership rules, for the Linux build of the backend
// against the test double (macapi/).

#include <CoreFoundation/CoreFoundation.h>
#include <stdbool.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef double CGFloat;
typedef struct {
    CGFloat x;
    CGFloat y;
} CGPoint;
typedef struct {
    CGFloat width;
    CGFloat height;
} CGSize;
typedef struct {
    CGPoint origin;
    CGSize size;
} CGRect;

typedef uint32_t CGDirectDisplayID;
CGDirectDisplayID CGMainDisplayID(void);
CGRect CGDisplayBounds(CGDirectDisplayID display);

typedef struct __CGEvent* CGEventRef;
typedef struct __CGEventSource* CGEventSourceRef;
typedef uint16_t CGKeyCode;
typedef uint64_t CGEventFlags;

typedef uint32_t CGEventType;
enum {
    kCGEventNull = 0,
    kCGEventLeftMouseDown = 1,
    kCGEventLeftMouseUp = 2,
    kCGEventMouseMoved = 5,
    kCGEventLeftMouseDragged = 6,
    kCGEventKeyDown = 10,
    kCGEventKeyUp = 11,
    kCGEventScrollWheel = 22,
};

typedef uint32_t CGMouseButton;
enum { kCGMouseButtonLeft = 0, kCGMouseButtonRight = 1, kCGMouseButtonCenter = 2 };

typedef uint32_t CGScrollEventUnit;
enum { kCGScrollEventUnitPixel = 0, kCGScrollEventUnitLine = 1 };

typedef uint32_t CGEventField;
enum {
    kCGMouseEventNumber = 0,
    kCGMouseEventClickState = 1,
    kCGMouseEventButtonNumber = 3,
    kCGMouseEventDeltaX = 4,
    kCGMouseEventDeltaY = 5,
    kCGKeyboardEventKeycode = 9,
    kCGScrollWheelEventDeltaAxis1 = 11,
    kCGScrollWheelEventDeltaAxis2 = 12,
};

typedef uint32_t CGEventTapLocation;
enum { kCGHIDEventTap = 0, kCGSessionEventTap = 1, kCGAnnotatedSessionEventTap = 2 };

typedef int32_t CGEventSourceStateID;
enum {
    kCGEventSourceStatePrivate = -1,
    kCGEventSourceStateCombinedSessionState = 0,
    kCGEventSourceStateHIDSystemState = 1,
};

CGEventSourceRef CGEventSourceCreate(CGEventSourceStateID stateID);
CGEventRef CGEventCreateKeyboardEvent(CGEventSourceRef source, CGKeyCode virtualKey, bool keyDown);
void CGEventKeyboardSetUnicodeString(CGEventRef event, unsigned long stringLength,
                                     const UniChar* unicodeString);
CGEventRef CGEventCreateMouseEvent(CGEventSourceRef source, CGEventType mouseType,
                                   CGPoint mouseCursorPosition, CGMouseButton mouseButton);
// wheel1 and up to two more wheels (int32_t each, as many as wheelCount says).
CGEventRef CGEventCreateScrollWheelEvent(CGEventSourceRef source, CGScrollEventUnit units,
                                         uint32_t wheelCount, int32_t wheel1, ...);
void CGEventSetFlags(CGEventRef event, CGEventFlags flags);
void CGEventSetIntegerValueField(CGEventRef event, CGEventField field, int64_t value);
int64_t CGEventGetIntegerValueField(CGEventRef event, CGEventField field);
void CGEventPost(CGEventTapLocation tap, CGEventRef event);

#ifdef __cplusplus
}
#endif
