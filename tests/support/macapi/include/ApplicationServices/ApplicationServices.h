#pragma once

// The accessibility interface of HIServices as the Mac backend calls it, declared with Apple's
// types, result codes and ownership rules (AXUIElement.h, AXValue.h, AXError.h), for the Linux
// build of the backend against the test double (macapi/).

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>
#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t AXError;
enum {
    kAXErrorSuccess = 0,
    kAXErrorFailure = -25200,
    kAXErrorIllegalArgument = -25201,
    kAXErrorInvalidUIElement = -25202,
    kAXErrorInvalidUIElementObserver = -25203,
    kAXErrorCannotComplete = -25204,
    kAXErrorAttributeUnsupported = -25205,
    kAXErrorActionUnsupported = -25206,
    kAXErrorNotificationUnsupported = -25207,
    kAXErrorNotImplemented = -25208,
    kAXErrorAPIDisabled = -25211,
    kAXErrorNoValue = -25212,
};

typedef const struct __AXUIElement* AXUIElementRef;
typedef const struct __AXValue* AXValueRef;

typedef uint32_t AXValueType;
enum {
    kAXValueTypeCGPoint = 1,
    kAXValueTypeCGSize = 2,
    kAXValueTypeCGRect = 3,
    kAXValueTypeCFRange = 4,
    kAXValueTypeAXError = 5,
    kAXValueTypeIllegal = 0,
};

Boolean AXIsProcessTrusted(void);
// options: a dictionary that may hold kAXTrustedCheckOptionPrompt = kCFBooleanTrue.
Boolean AXIsProcessTrustedWithOptions(CFDictionaryRef options);
extern const CFStringRef kAXTrustedCheckOptionPrompt;

CFTypeID AXUIElementGetTypeID(void);
AXUIElementRef AXUIElementCreateApplication(pid_t pid);
AXUIElementRef AXUIElementCreateSystemWide(void);
AXError AXUIElementCopyAttributeValue(AXUIElementRef element, CFStringRef attribute,
                                      CFTypeRef* value);
// values: on success, an array with the value of each attribute in the attributes' order: kCFNull
// for none, or, with options 0, an AXValueRef of kAXValueTypeAXError holding the attribute's
// error; with kAXCopyMultipleAttributeOptionStopOnError the call fails at the first error.
typedef uint32_t AXCopyMultipleAttributeOptions;
enum { kAXCopyMultipleAttributeOptionStopOnError = 0x1 };
AXError AXUIElementCopyMultipleAttributeValues(AXUIElementRef element, CFArrayRef attributes,
                                               AXCopyMultipleAttributeOptions options,
                                               CFArrayRef* values);
AXError AXUIElementSetAttributeValue(AXUIElementRef element, CFStringRef attribute,
                                     CFTypeRef value);
AXError AXUIElementPerformAction(AXUIElementRef element, CFStringRef action);
AXError AXUIElementCopyActionNames(AXUIElementRef element, CFArrayRef* names);
AXError AXUIElementGetPid(AXUIElementRef element, pid_t* pid);
// Seconds; 0 restores the default. On the system-wide element it sets the time-out for every
// application; on an application's element, for that application only.
AXError AXUIElementSetMessagingTimeout(AXUIElementRef element, float timeoutInSeconds);

CFTypeID AXValueGetTypeID(void);
AXValueRef AXValueCreate(AXValueType theType, const void* valuePtr);
AXValueType AXValueGetType(AXValueRef value);
Boolean AXValueGetValue(AXValueRef value, AXValueType theType, void* valuePtr);

#ifdef __cplusplus
}
#endif
