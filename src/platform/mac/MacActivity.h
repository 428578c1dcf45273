#pragma once

// Keeps App Nap away while Vantrel drives another application: on macOS an NSProcessInfo
// activity (MacActivity.mm), the only interface for it; in the Linux build a recording double.

#ifdef __cplusplus
extern "C" {
#endif

// Begins a user-initiated, latency-critical activity; the token ends it.
void* vantrelMacBeginActivity(const char* reasonUtf8);
void vantrelMacEndActivity(void* token);

#ifdef __cplusplus
}
#endif
