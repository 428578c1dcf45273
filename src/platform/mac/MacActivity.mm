// App Nap would slow the sender's 100 ms polls and its paced events while Logic Pro is in front
// and Vantrel is in the background; an activity held for the send's length keeps it away.

#include "platform/mac/MacActivity.h"

#import <Foundation/Foundation.h>

void* vantrelMacBeginActivity(const char* reasonUtf8) {
    NSString* reason = [NSString stringWithUTF8String:reasonUtf8];
    id<NSObject> activity = [NSProcessInfo.processInfo
        beginActivityWithOptions:NSActivityUserInitiated | NSActivityLatencyCritical
                          reason:reason];
    return (__bridge_retained void*)activity;
}

void vantrelMacEndActivity(void* token) {
    if (!token)
        return;
    id<NSObject> activity = (__bridge_transfer id<NSObject>)token;
    [NSProcessInfo.processInfo endActivity:activity];
}
