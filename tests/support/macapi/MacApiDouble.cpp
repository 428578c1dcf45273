// The double of Apple's C interfaces (see MacApiDouble.h): Core Foundation objects with
// reference counts kept in a table of live objects, the accessibility calls answered by the
// simulated desktop of a SimPlatform, events recorded and delivered to it.

#include "MacApiDouble.h"

#include "platform/mac/MacActivity.h"

#include <QByteArray>

#include <ApplicationServices/ApplicationServices.h>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <libproc.h>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

using namespace Vantrel;

namespace {

enum TypeId : CFTypeID {
    stringType = 7,
    booleanType = 21,
    numberType = 22,
    arrayType = 19,
    dictionaryType = 18,
    urlType = 29,
    bundleType = 31,
    elementType = 101,
    axValueType = 102,
    nullType = 16,
    eventType = 103,
    sourceType = 104,
};

} // namespace

// Every object of the double: its type, its count and how it was made.
struct CFObject {
    explicit CFObject(CFTypeID type, const char* madeBy, bool immortal = false)
        : type(type), madeBy(madeBy), immortal(immortal) {}
    virtual ~CFObject() = default;
    CFTypeID type;
    const char* madeBy;
    bool immortal;
    long refs = 1;
};

struct __CFString : CFObject {
    __CFString(QString text, const char* madeBy, bool immortal = false)
        : CFObject(stringType, madeBy, immortal), text(std::move(text)) {}
    QString text;
};
struct __CFBoolean : CFObject {
    explicit __CFBoolean(bool value) : CFObject(booleanType, "constant", true), value(value) {}
    bool value;
};
struct __CFNumber : CFObject {
    __CFNumber() : CFObject(numberType, "CFNumberCreate") {}
    bool isFloat = false;
    std::int64_t i = 0;
    double d = 0;
};
struct __CFArray : CFObject {
    explicit __CFArray(const char* madeBy) : CFObject(arrayType, madeBy) {}
    std::vector<CFTypeRef> items; // retained
    ~__CFArray() override;
};
struct __CFDictionary : CFObject {
    __CFDictionary() : CFObject(dictionaryType, "CFDictionaryCreate") {}
    std::vector<std::pair<CFTypeRef, CFTypeRef>> entries; // retained
    ~__CFDictionary() override;
};
struct __CFURL : CFObject {
    __CFURL() : CFObject(urlType, "CFURLCreateFromFileSystemRepresentation") {}
    QString path;
};
struct __CFBundle : CFObject {
    __CFBundle() : CFObject(bundleType, "CFBundleCreate") {}
    std::unique_ptr<__CFString> identifier; // owned by the bundle, lent by CFBundleGetIdentifier
};
struct __AXUIElement : CFObject {
    __AXUIElement(Element element, pid_t pid, bool systemWide, const char* madeBy)
        : CFObject(elementType, madeBy), element(std::move(element)), pid(pid),
          systemWide(systemWide) {}
    Element element; // none for the system-wide element or an element of no process
    pid_t pid;
    bool systemWide;
};
struct __AXValue : CFObject {
    __AXValue() : CFObject(axValueType, "AXValueCreate") {}
    AXValueType kind = kAXValueTypeIllegal;
    CGPoint point{};
    CGSize size{};
    AXError error = kAXErrorSuccess;
};
struct __CFNull : CFObject {
    __CFNull() : CFObject(nullType, "constant", true) {}
};
struct __CGEvent : CFObject {
    explicit __CGEvent(const char* madeBy) : CFObject(eventType, madeBy) {}
    MacApiDouble::PostedEvent record;
    bool keyDown = false;
};
struct __CGEventSource : CFObject {
    explicit __CGEventSource(CGEventSourceStateID state)
        : CFObject(sourceType, "CGEventSourceCreate"), state(state) {}
    CGEventSourceStateID state;
};

namespace {

const CFObject* object(CFTypeRef ref) {
    return static_cast<const CFObject*>(ref);
}
CFObject* mutableObject(CFTypeRef ref) {
    return const_cast<CFObject*>(object(ref));
}

struct World {
    std::recursive_mutex mutex;
    SimPlatform* sim = nullptr;
    std::set<const CFObject*> live;
    std::int64_t overReleases = 0;
    std::optional<float> systemTimeout;
    std::map<int, float> appTimeouts;
    int timedOut = 0;
    QList<MacApiDouble::PostedEvent> events;
    std::optional<Point> pointer;
    bool cacheTrust = false;
    std::optional<bool> cachedTrust;
    int prompts = 0;
    int activitiesHeld = 0;
    int activitiesBegun = 0;
};

World& world() {
    static World w;
    return w;
}

template <typename T> T* track(T* obj) {
    world().live.insert(obj);
    return obj;
}

void retainItem(CFTypeRef ref) {
    CFRetain(ref);
}

bool alive(CFTypeRef ref) {
    const CFObject* o = object(ref);
    return o && (o->immortal || world().live.count(o));
}

QString pathOfPid(int pid) {
    if (pid == MacApiDouble::ownPid)
        return QStringLiteral("/Applications/Vantrel.app/Contents/MacOS/vantrel");
    if (pid == SimLogic::processId && world().sim &&
        !world().sim->accessibility().runningApplications(SimLogic::bundleId()).isEmpty())
        return QStringLiteral("/Applications/Logic Pro.app/Contents/MacOS/Logic Pro");
    return {};
}

// The time-out that applies to calls to the element's application, for the simulator.
void applyTimeout(const __AXUIElement* e) {
    World& w = world();
    std::optional<float> seconds = w.systemTimeout;
    if (const auto it = w.appTimeouts.find(e->pid); it != w.appTimeouts.end())
        seconds = it->second;
    w.sim->logic().setMessagingTimeout(
        seconds ? std::optional<Clock::Duration>(std::chrono::duration_cast<Clock::Duration>(
                      std::chrono::duration<double>(*seconds)))
                : std::nullopt);
}

// The status of a call that gets no answer from a busy application before its time-out.
int counted(int status) {
    if (status == kAXErrorCannotComplete)
        ++world().timedOut;
    return status;
}

// A checked element argument: the status to answer when it cannot be used.
std::optional<AXError> unusable(AXUIElementRef element) {
    if (!element || !alive(element) || object(element)->type != elementType)
        return kAXErrorIllegalArgument;
    if (!world().sim)
        return kAXErrorFailure;
    const auto* e = static_cast<const __AXUIElement*>(element);
    if (!e->element)
        return e->systemWide ? kAXErrorAttributeUnsupported : kAXErrorInvalidUIElement;
    return std::nullopt;
}

QString textOf(CFStringRef s) {
    return s && alive(s) && object(s)->type == stringType
               ? static_cast<const __CFString*>(
                     static_cast<const CFObject*>(static_cast<const void*>(s)))
                     ->text
               : QString();
}

CFTypeRef createFromValue(const AXValue& value, pid_t pid);

} // namespace

__CFArray::~__CFArray() {
    for (CFTypeRef item : items)
        CFRelease(item);
}

__CFDictionary::~__CFDictionary() {
    for (auto& [k, v] : entries) {
        CFRelease(k);
        CFRelease(v);
    }
}

extern "C" {

static __CFBoolean trueObject(true);
static __CFBoolean falseObject(false);
const CFBooleanRef kCFBooleanTrue = &trueObject;
const CFBooleanRef kCFBooleanFalse = &falseObject;
static __CFNull nullObject;
const CFNullRef kCFNull = &nullObject;
const CFAllocatorRef kCFAllocatorDefault = nullptr;
const CFArrayCallBacks kCFTypeArrayCallBacks{0, nullptr, nullptr, nullptr, nullptr};
const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks{0,       nullptr, nullptr,
                                                             nullptr, nullptr, nullptr};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks{0, nullptr, nullptr, nullptr,
                                                                 nullptr};
static __CFString promptKey(QStringLiteral("AXTrustedCheckOptionPrompt"), "constant", true);
const CFStringRef kAXTrustedCheckOptionPrompt = &promptKey;

CFTypeRef CFRetain(CFTypeRef cf) {
    std::lock_guard lock(world().mutex);
    if (alive(cf) && !object(cf)->immortal)
        ++mutableObject(cf)->refs;
    else if (!alive(cf))
        ++world().overReleases; // a retain of a dead object is the same fault
    return cf;
}

void CFRelease(CFTypeRef cf) {
    std::lock_guard lock(world().mutex);
    if (!alive(cf)) {
        ++world().overReleases;
        return;
    }
    CFObject* o = mutableObject(cf);
    if (o->immortal || --o->refs > 0)
        return;
    world().live.erase(o);
    delete o;
}

CFTypeID CFGetTypeID(CFTypeRef cf) {
    std::lock_guard lock(world().mutex);
    return alive(cf) ? object(cf)->type : 0;
}

Boolean CFEqual(CFTypeRef a, CFTypeRef b) {
    std::lock_guard lock(world().mutex);
    if (a == b)
        return true;
    if (!alive(a) || !alive(b) || object(a)->type != object(b)->type)
        return false;
    switch (object(a)->type) {
    case stringType:
        return static_cast<const __CFString*>(object(a))->text ==
               static_cast<const __CFString*>(object(b))->text;
    case elementType: {
        const auto* x = static_cast<const __AXUIElement*>(object(a));
        const auto* y = static_cast<const __AXUIElement*>(object(b));
        return x->element == y->element && x->pid == y->pid && x->systemWide == y->systemWide;
    }
    default:
        return false;
    }
}

CFHashCode CFHash(CFTypeRef cf) {
    std::lock_guard lock(world().mutex);
    if (!alive(cf))
        return 0;
    if (object(cf)->type == elementType)
        return std::hash<const void*>()(
            static_cast<const __AXUIElement*>(object(cf))->element.get());
    if (object(cf)->type == stringType)
        return qHash(static_cast<const __CFString*>(object(cf))->text);
    return std::hash<const void*>()(cf);
}

CFTypeID CFStringGetTypeID(void) {
    return stringType;
}

CFStringRef CFStringCreateWithCharacters(CFAllocatorRef, const UniChar* chars, CFIndex n) {
    std::lock_guard lock(world().mutex);
    return track(new __CFString(QString(reinterpret_cast<const QChar*>(chars), n),
                                "CFStringCreateWithCharacters"));
}

CFIndex CFStringGetLength(CFStringRef s) {
    return textOf(s).size();
}

void CFStringGetCharacters(CFStringRef s, CFRange range, UniChar* buffer) {
    const QString text = textOf(s).mid(range.location, range.length);
    std::memcpy(buffer, text.utf16(), static_cast<std::size_t>(text.size()) * sizeof(UniChar));
}

CFTypeID CFBooleanGetTypeID(void) {
    return booleanType;
}

CFTypeID CFNullGetTypeID(void) {
    return nullType;
}

Boolean CFBooleanGetValue(CFBooleanRef b) {
    return b == kCFBooleanTrue;
}

CFTypeID CFNumberGetTypeID(void) {
    return numberType;
}

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType type, const void* value) {
    std::lock_guard lock(world().mutex);
    auto* n = new __CFNumber;
    switch (type) {
    case kCFNumberSInt32Type: {
        int32_t v;
        std::memcpy(&v, value, sizeof v);
        n->i = v;
        break;
    }
    case kCFNumberSInt64Type:
        std::memcpy(&n->i, value, sizeof n->i);
        break;
    case kCFNumberDoubleType:
        n->isFloat = true;
        std::memcpy(&n->d, value, sizeof n->d);
        break;
    default:
        delete n;
        return nullptr;
    }
    return track(n);
}

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType type, void* value) {
    std::lock_guard lock(world().mutex);
    if (!alive(number))
        return false;
    const auto* n = static_cast<const __CFNumber*>(object(number));
    if (type == kCFNumberSInt64Type) {
        const int64_t v = n->isFloat ? static_cast<int64_t>(n->d) : n->i;
        std::memcpy(value, &v, sizeof v);
        return !n->isFloat;
    }
    if (type == kCFNumberDoubleType) {
        const double v = n->isFloat ? n->d : static_cast<double>(n->i);
        std::memcpy(value, &v, sizeof v);
        return true;
    }
    return false;
}

Boolean CFNumberIsFloatType(CFNumberRef number) {
    std::lock_guard lock(world().mutex);
    return alive(number) && static_cast<const __CFNumber*>(object(number))->isFloat;
}

CFTypeID CFArrayGetTypeID(void) {
    return arrayType;
}

CFArrayRef CFArrayCreate(CFAllocatorRef, const void** values, CFIndex n, const CFArrayCallBacks*) {
    std::lock_guard lock(world().mutex);
    auto* a = new __CFArray("CFArrayCreate");
    for (CFIndex i = 0; i < n; ++i) {
        retainItem(values[i]);
        a->items.push_back(values[i]);
    }
    return track(a);
}

CFIndex CFArrayGetCount(CFArrayRef a) {
    std::lock_guard lock(world().mutex);
    return alive(a) ? static_cast<CFIndex>(static_cast<const __CFArray*>(object(a))->items.size())
                    : 0;
}

const void* CFArrayGetValueAtIndex(CFArrayRef a, CFIndex i) {
    std::lock_guard lock(world().mutex);
    if (!alive(a))
        return nullptr;
    const auto& items = static_cast<const __CFArray*>(object(a))->items;
    return i >= 0 && static_cast<std::size_t>(i) < items.size() ? items[static_cast<std::size_t>(i)]
                                                                : nullptr;
}

CFTypeID CFDictionaryGetTypeID(void) {
    return dictionaryType;
}

CFDictionaryRef CFDictionaryCreate(CFAllocatorRef, const void** keys, const void** values,
                                   CFIndex n, const CFDictionaryKeyCallBacks*,
                                   const CFDictionaryValueCallBacks*) {
    std::lock_guard lock(world().mutex);
    auto* d = new __CFDictionary;
    for (CFIndex i = 0; i < n; ++i) {
        retainItem(keys[i]);
        retainItem(values[i]);
        d->entries.emplace_back(keys[i], values[i]);
    }
    return track(d);
}

const void* CFDictionaryGetValue(CFDictionaryRef d, const void* key) {
    std::lock_guard lock(world().mutex);
    if (!alive(d))
        return nullptr;
    for (const auto& [k, v] : static_cast<const __CFDictionary*>(object(d))->entries)
        if (CFEqual(k, key))
            return v;
    return nullptr;
}

CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef, const UInt8* buffer,
                                                 CFIndex length, Boolean) {
    std::lock_guard lock(world().mutex);
    auto* u = new __CFURL;
    u->path = QString::fromUtf8(reinterpret_cast<const char*>(buffer), length);
    return track(u);
}

CFBundleRef CFBundleCreate(CFAllocatorRef, CFURLRef url) {
    std::lock_guard lock(world().mutex);
    if (!alive(url))
        return nullptr;
    const QString path = static_cast<const __CFURL*>(object(url))->path;
    QString id;
    if (path == QLatin1String("/Applications/Logic Pro.app"))
        id = SimLogic::bundleId();
    else if (path == QLatin1String("/Applications/Vantrel.app"))
        id = QStringLiteral("audio.brismo.Vantrel");
    else
        return nullptr;
    auto* b = new __CFBundle;
    b->identifier = std::make_unique<__CFString>(id, "CFBundleGetIdentifier", true);
    return track(b);
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle) {
    std::lock_guard lock(world().mutex);
    return alive(bundle) ? static_cast<const __CFBundle*>(object(bundle))->identifier.get()
                         : nullptr;
}

// --- Accessibility.

Boolean AXIsProcessTrusted(void) {
    std::lock_guard lock(world().mutex);
    World& w = world();
    if (!w.sim)
        return false;
    if (w.cacheTrust && w.cachedTrust == false)
        return false;
    const bool trusted = w.sim->accessibility().isTrusted();
    if (w.cacheTrust && !trusted)
        w.cachedTrust = false;
    return trusted;
}

Boolean AXIsProcessTrustedWithOptions(CFDictionaryRef options) {
    std::lock_guard lock(world().mutex);
    if (options) {
        const void* prompt = CFDictionaryGetValue(options, kAXTrustedCheckOptionPrompt);
        if (prompt == kCFBooleanTrue && world().sim) {
            ++world().prompts;
            world().sim->accessibility().promptForTrust();
        }
    }
    return AXIsProcessTrusted();
}

CFTypeID AXUIElementGetTypeID(void) {
    return elementType;
}

AXUIElementRef AXUIElementCreateApplication(pid_t pid) {
    std::lock_guard lock(world().mutex);
    World& w = world();
    Element app = w.sim && pid == SimLogic::processId
                      ? w.sim->accessibility().applicationElement(pid)
                      : nullptr;
    return track(new __AXUIElement(std::move(app), pid, false, "AXUIElementCreateApplication"));
}

AXUIElementRef AXUIElementCreateSystemWide(void) {
    std::lock_guard lock(world().mutex);
    return track(new __AXUIElement(nullptr, 0, true, "AXUIElementCreateSystemWide"));
}

AXError AXUIElementCopyAttributeValue(AXUIElementRef element, CFStringRef attribute,
                                      CFTypeRef* value) {
    std::lock_guard lock(world().mutex);
    if (!value || !alive(attribute))
        return kAXErrorIllegalArgument;
    *value = nullptr;
    if (const auto bad = unusable(element))
        return *bad;
    const auto* e = static_cast<const __AXUIElement*>(object(element));
    applyTimeout(e);
    const AttributeRead r = world().sim->accessibility().attribute(e->element, textOf(attribute));
    if (r.status != kAXErrorSuccess)
        return counted(r.status);
    if (std::holds_alternative<std::monostate>(r.value))
        return kAXErrorNoValue;
    *value = createFromValue(r.value, e->pid);
    return *value ? kAXErrorSuccess : kAXErrorFailure;
}

AXError AXUIElementCopyMultipleAttributeValues(AXUIElementRef element, CFArrayRef attributes,
                                               AXCopyMultipleAttributeOptions options,
                                               CFArrayRef* values) {
    std::lock_guard lock(world().mutex);
    if (!values || !alive(attributes) || object(attributes)->type != arrayType)
        return kAXErrorIllegalArgument;
    *values = nullptr;
    if (const auto bad = unusable(element))
        return *bad;
    QStringList names;
    for (const CFTypeRef name : static_cast<const __CFArray*>(object(attributes))->items) {
        if (!alive(name) || object(name)->type != stringType)
            return kAXErrorIllegalArgument;
        names << textOf(static_cast<CFStringRef>(name));
    }
    const auto* e = static_cast<const __AXUIElement*>(object(element));
    applyTimeout(e);
    const QList<AttributeRead> reads = world().sim->accessibility().attributes(e->element, names);
    // A call that failed before reaching an attribute (no permission, a dead element, no answer
    // in time) fails as a whole, as a single read does; the simulator gives every read its status.
    const auto perAttribute = [](int status) {
        return status == kAXErrorSuccess || status == kAXErrorAttributeUnsupported ||
               status == kAXErrorNoValue;
    };
    if (!reads.isEmpty() && !perAttribute(reads.first().status))
        return counted(reads.first().status);
    auto* array = new __CFArray("AXUIElementCopyMultipleAttributeValues");
    for (const AttributeRead& r : reads) {
        CFTypeRef item = nullptr;
        if (r.status == kAXErrorSuccess && !std::holds_alternative<std::monostate>(r.value))
            item = createFromValue(r.value, e->pid);
        else if (r.status == kAXErrorSuccess || r.status == kAXErrorNoValue)
            item = kCFNull;
        if (!item && (options & kAXCopyMultipleAttributeOptionStopOnError)) {
            CFRelease(track(array));
            return r.status;
        }
        if (!item) {
            auto* error = track(new __AXValue);
            error->madeBy = "AXUIElementCopyMultipleAttributeValues";
            error->kind = kAXValueTypeAXError;
            error->error = r.status;
            item = error;
        }
        array->items.push_back(item); // the array holds the only count of each new item
    }
    *values = track(array);
    return kAXErrorSuccess;
}

AXError AXUIElementSetAttributeValue(AXUIElementRef element, CFStringRef attribute,
                                     CFTypeRef value) {
    std::lock_guard lock(world().mutex);
    if (!alive(attribute) || !alive(value))
        return kAXErrorIllegalArgument;
    if (const auto bad = unusable(element))
        return *bad;
    const auto* e = static_cast<const __AXUIElement*>(object(element));
    AXValue v;
    switch (object(value)->type) {
    case stringType:
        v = static_cast<const __CFString*>(object(value))->text;
        break;
    case booleanType:
        v = value == kCFBooleanTrue;
        break;
    case numberType: {
        const auto* n = static_cast<const __CFNumber*>(object(value));
        v = n->isFloat ? AXValue(n->d) : AXValue(n->i);
        break;
    }
    case axValueType: {
        const auto* a = static_cast<const __AXValue*>(object(value));
        if (a->kind == kAXValueTypeCGPoint)
            v = Point{a->point.x, a->point.y};
        else if (a->kind == kAXValueTypeCGSize)
            v = Size{a->size.width, a->size.height};
        else
            return kAXErrorIllegalArgument;
        break;
    }
    case arrayType: {
        QList<Element> list;
        for (CFTypeRef item : static_cast<const __CFArray*>(object(value))->items) {
            if (object(item)->type != elementType)
                return kAXErrorIllegalArgument;
            list << static_cast<const __AXUIElement*>(object(item))->element;
        }
        v = list;
        break;
    }
    default:
        return kAXErrorIllegalArgument;
    }
    applyTimeout(e);
    return counted(world().sim->accessibility().setAttribute(e->element, textOf(attribute), v));
}

AXError AXUIElementPerformAction(AXUIElementRef element, CFStringRef action) {
    std::lock_guard lock(world().mutex);
    if (!alive(action))
        return kAXErrorIllegalArgument;
    if (const auto bad = unusable(element))
        return *bad;
    const auto* e = static_cast<const __AXUIElement*>(object(element));
    applyTimeout(e);
    return counted(world().sim->accessibility().performAction(e->element, textOf(action)));
}

AXError AXUIElementCopyActionNames(AXUIElementRef element, CFArrayRef* names) {
    std::lock_guard lock(world().mutex);
    if (!names)
        return kAXErrorIllegalArgument;
    *names = nullptr;
    if (const auto bad = unusable(element))
        return *bad;
    const auto* e = static_cast<const __AXUIElement*>(object(element));
    auto* array = track(new __CFArray("AXUIElementCopyActionNames"));
    for (const QString& action : world().sim->accessibility().actionNames(e->element))
        array->items.push_back(track(new __CFString(action, "array item")));
    *names = array;
    return kAXErrorSuccess;
}

AXError AXUIElementGetPid(AXUIElementRef element, pid_t* pid) {
    std::lock_guard lock(world().mutex);
    if (!pid || !alive(element) || object(element)->type != elementType)
        return kAXErrorIllegalArgument;
    *pid = static_cast<const __AXUIElement*>(object(element))->pid;
    return kAXErrorSuccess;
}

AXError AXUIElementSetMessagingTimeout(AXUIElementRef element, float seconds) {
    std::lock_guard lock(world().mutex);
    if (!alive(element) || object(element)->type != elementType || seconds < 0)
        return kAXErrorIllegalArgument;
    const auto* e = static_cast<const __AXUIElement*>(object(element));
    World& w = world();
    if (e->systemWide) {
        w.systemTimeout = seconds == 0 ? std::nullopt : std::optional<float>(seconds);
    } else if (seconds == 0) {
        w.appTimeouts.erase(e->pid);
    } else {
        w.appTimeouts[e->pid] = seconds;
    }
    return kAXErrorSuccess;
}

CFTypeID AXValueGetTypeID(void) {
    return axValueType;
}

AXValueRef AXValueCreate(AXValueType type, const void* value) {
    std::lock_guard lock(world().mutex);
    auto* v = new __AXValue;
    v->kind = type;
    if (type == kAXValueTypeCGPoint)
        std::memcpy(&v->point, value, sizeof v->point);
    else if (type == kAXValueTypeCGSize)
        std::memcpy(&v->size, value, sizeof v->size);
    else {
        delete v;
        return nullptr;
    }
    return track(v);
}

AXValueType AXValueGetType(AXValueRef value) {
    std::lock_guard lock(world().mutex);
    return alive(value) ? static_cast<const __AXValue*>(object(value))->kind
                        : AXValueType(kAXValueTypeIllegal);
}

Boolean AXValueGetValue(AXValueRef value, AXValueType type, void* out) {
    std::lock_guard lock(world().mutex);
    if (!alive(value))
        return false;
    const auto* v = static_cast<const __AXValue*>(object(value));
    if (v->kind != type)
        return false;
    if (type == kAXValueTypeCGPoint)
        std::memcpy(out, &v->point, sizeof v->point);
    else if (type == kAXValueTypeCGSize)
        std::memcpy(out, &v->size, sizeof v->size);
    else
        std::memcpy(out, &v->error, sizeof v->error);
    return true;
}

// --- Displays and events.

CGDirectDisplayID CGMainDisplayID(void) {
    return 1;
}

CGRect CGDisplayBounds(CGDirectDisplayID display) {
    std::lock_guard lock(world().mutex);
    if (display != 1 || !world().sim)
        return CGRect{};
    const Rect r = world().sim->screen().mainFrame();
    return CGRect{{r.origin.x, r.origin.y}, {r.size.width, r.size.height}};
}

CGEventSourceRef CGEventSourceCreate(CGEventSourceStateID state) {
    std::lock_guard lock(world().mutex);
    return track(new __CGEventSource(state));
}

CGEventRef CGEventCreateKeyboardEvent(CGEventSourceRef source, CGKeyCode key, bool down) {
    std::lock_guard lock(world().mutex);
    if (source && !alive(source))
        return nullptr;
    auto* e = new __CGEvent("CGEventCreateKeyboardEvent");
    e->record.type = down ? kCGEventKeyDown : kCGEventKeyUp;
    e->record.keyCode = key;
    e->keyDown = down;
    return track(e);
}

void CGEventKeyboardSetUnicodeString(CGEventRef event, unsigned long length, const UniChar* chars) {
    std::lock_guard lock(world().mutex);
    if (alive(event))
        static_cast<__CGEvent*>(event)->record.unicode =
            QString(reinterpret_cast<const QChar*>(chars), static_cast<qsizetype>(length));
}

CGEventRef CGEventCreateMouseEvent(CGEventSourceRef source, CGEventType type, CGPoint at,
                                   CGMouseButton button) {
    std::lock_guard lock(world().mutex);
    if ((source && !alive(source)) || button != kCGMouseButtonLeft)
        return nullptr;
    auto* e = new __CGEvent("CGEventCreateMouseEvent");
    e->record.type = type;
    e->record.point = {at.x, at.y};
    return track(e);
}

CGEventRef CGEventCreateScrollWheelEvent(CGEventSourceRef source, CGScrollEventUnit units,
                                         uint32_t wheelCount, int32_t wheel1, ...) {
    std::lock_guard lock(world().mutex);
    if ((source && !alive(source)) || wheelCount < 1 || wheelCount > 3)
        return nullptr;
    auto* e = new __CGEvent("CGEventCreateScrollWheelEvent");
    e->record.type = kCGEventScrollWheel;
    e->record.wheel1 = wheel1;
    e->record.fields[kCGScrollWheelEventDeltaAxis1] = wheel1;
    va_list more;
    va_start(more, wheel1);
    for (uint32_t i = 1; i < wheelCount; ++i)
        e->record.fields[kCGScrollWheelEventDeltaAxis1 + i] = va_arg(more, int32_t);
    va_end(more);
    e->record.point = world().pointer.value_or(Point{});
    (void)units;
    return track(e);
}

void CGEventSetFlags(CGEventRef event, CGEventFlags flags) {
    std::lock_guard lock(world().mutex);
    if (alive(event))
        static_cast<__CGEvent*>(event)->record.flags = flags;
}

void CGEventSetIntegerValueField(CGEventRef event, CGEventField field, int64_t value) {
    std::lock_guard lock(world().mutex);
    if (alive(event))
        static_cast<__CGEvent*>(event)->record.fields[field] = value;
}

int64_t CGEventGetIntegerValueField(CGEventRef event, CGEventField field) {
    std::lock_guard lock(world().mutex);
    if (!alive(event))
        return 0;
    const auto& fields = static_cast<__CGEvent*>(event)->record.fields;
    const auto it = fields.find(field);
    return it == fields.end() ? 0 : it->second;
}

void CGEventPost(CGEventTapLocation tap, CGEventRef event) {
    std::unique_lock lock(world().mutex);
    World& w = world();
    if (!alive(event) || !w.sim)
        return;
    MacApiDouble::PostedEvent r = static_cast<__CGEvent*>(event)->record;
    r.tap = tap;
    r.activityHeld = w.activitiesHeld > 0;
    const auto field = [&](CGEventField f) -> std::optional<std::int64_t> {
        const auto it = r.fields.find(f);
        return it == r.fields.end() ? std::nullopt : std::optional(it->second);
    };
    Input& input = w.sim->input();
    switch (r.type) {
    case kCGEventKeyDown:
    case kCGEventKeyUp: {
        KeyEvent k{r.keyCode, r.type == kCGEventKeyDown, r.flags, std::nullopt};
        if (r.unicode.size() == 1)
            k.unit = r.unicode.at(0).unicode();
        r.delivered = true;
        w.events << r;
        input.postKey(k);
        return;
    }
    case kCGEventScrollWheel:
        r.point = w.pointer.value_or(Point{});
        r.delivered = std::abs(r.wheel1) <= MacApiDouble::maxWheelLines;
        w.events << r;
        if (r.delivered)
            input.postMouse(MouseEvent{MouseEventType::scrollWheel, r.point, r.flags, 0, r.wheel1});
        return;
    case kCGEventLeftMouseDown:
    case kCGEventLeftMouseUp:
    case kCGEventMouseMoved:
    case kCGEventLeftMouseDragged: {
        const Point from = w.pointer.value_or(r.point);
        if (r.type == kCGEventLeftMouseDragged) {
            // Other applications follow a drag by the movement each event carries.
            const std::int64_t dx = std::llround(r.point.x) - std::llround(from.x);
            const std::int64_t dy = std::llround(r.point.y) - std::llround(from.y);
            r.delivered = field(kCGMouseEventDeltaX) == dx && field(kCGMouseEventDeltaY) == dy &&
                          std::hypot(double(dx), double(dy)) <= MacApiDouble::maxDragStep;
        } else {
            r.delivered = true;
        }
        w.pointer = r.point;
        w.events << r;
        if (r.delivered)
            input.postMouse(MouseEvent{static_cast<MouseEventType>(r.type), r.point, r.flags,
                                       field(kCGMouseEventClickState).value_or(0), 0});
        return;
    }
    default:
        w.events << r;
        return;
    }
}

// --- libproc.

int proc_listallpids(void* buffer, int size) {
    std::lock_guard lock(world().mutex);
    std::vector<int> pids{1, MacApiDouble::ownPid};
    if (!pathOfPid(SimLogic::processId).isEmpty())
        pids.push_back(static_cast<int>(SimLogic::processId));
    if (!buffer)
        return static_cast<int>(pids.size());
    const int fit = std::min<int>(static_cast<int>(pids.size()), size / int(sizeof(int)));
    std::memcpy(buffer, pids.data(), static_cast<std::size_t>(fit) * sizeof(int));
    return fit;
}

int proc_pidpath(int pid, void* buffer, uint32_t size) {
    std::lock_guard lock(world().mutex);
    const QByteArray path = pathOfPid(pid).toUtf8();
    if (path.isEmpty() || !buffer || path.size() + 1 > static_cast<qsizetype>(size)) {
        errno = path.isEmpty() ? ESRCH : ENOMEM;
        return 0;
    }
    std::memcpy(buffer, path.constData(), static_cast<std::size_t>(path.size()) + 1);
    return static_cast<int>(path.size());
}

// --- App Nap (the C face of the Foundation call, MacActivity.h).

void* vantrelMacBeginActivity(const char*) {
    std::lock_guard lock(world().mutex);
    ++world().activitiesHeld;
    ++world().activitiesBegun;
    static int token;
    return &token;
}

void vantrelMacEndActivity(void*) {
    std::lock_guard lock(world().mutex);
    --world().activitiesHeld;
}

} // extern "C"

namespace {

CFTypeRef createFromValue(const AXValue& value, pid_t pid) {
    if (const auto* s = std::get_if<QString>(&value))
        return track(new __CFString(*s, "AXUIElementCopyAttributeValue"));
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? kCFBooleanTrue : kCFBooleanFalse;
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
        auto* n = track(new __CFNumber);
        n->madeBy = "AXUIElementCopyAttributeValue";
        n->i = *i;
        return n;
    }
    if (const auto* d = std::get_if<double>(&value)) {
        auto* n = track(new __CFNumber);
        n->madeBy = "AXUIElementCopyAttributeValue";
        n->isFloat = true;
        n->d = *d;
        return n;
    }
    if (const auto* p = std::get_if<Point>(&value)) {
        auto* v = track(new __AXValue);
        v->madeBy = "AXUIElementCopyAttributeValue";
        v->kind = kAXValueTypeCGPoint;
        v->point = {p->x, p->y};
        return v;
    }
    if (const auto* sz = std::get_if<Size>(&value)) {
        auto* v = track(new __AXValue);
        v->madeBy = "AXUIElementCopyAttributeValue";
        v->kind = kAXValueTypeCGSize;
        v->size = {sz->width, sz->height};
        return v;
    }
    if (const auto* list = std::get_if<QList<Element>>(&value)) {
        // A new reference for every element on every read, as the system gives; the array holds
        // the only count of each.
        auto* a = track(new __CFArray("AXUIElementCopyAttributeValue"));
        for (const Element& e : *list)
            a->items.push_back(track(new __AXUIElement(e, pid, false, "array item")));
        return a;
    }
    return nullptr;
}

} // namespace

namespace Vantrel::MacApiDouble {

void install(SimPlatform& sim) {
    std::lock_guard lock(world().mutex);
    World& w = world();
    w.sim = &sim;
    w.live.clear();
    w.overReleases = 0;
    w.systemTimeout.reset();
    w.appTimeouts.clear();
    w.timedOut = 0;
    w.events.clear();
    w.pointer.reset();
    w.cacheTrust = false;
    w.cachedTrust.reset();
    w.prompts = 0;
    w.activitiesHeld = 0;
    w.activitiesBegun = 0;
}

void uninstall() {
    std::lock_guard lock(world().mutex);
    world().sim = nullptr;
}

std::int64_t liveObjects() {
    std::lock_guard lock(world().mutex);
    return static_cast<std::int64_t>(world().live.size());
}

std::int64_t overReleases() {
    std::lock_guard lock(world().mutex);
    return world().overReleases;
}

QStringList liveObjectReport() {
    std::lock_guard lock(world().mutex);
    QStringList lines;
    for (const CFObject* o : world().live)
        lines << QStringLiteral("type %1 from %2 (%3 references)")
                     .arg(o->type)
                     .arg(QLatin1String(o->madeBy))
                     .arg(o->refs);
    return lines;
}

std::optional<float> messagingTimeout(int pid) {
    std::lock_guard lock(world().mutex);
    if (const auto it = world().appTimeouts.find(pid); it != world().appTimeouts.end())
        return it->second;
    return world().systemTimeout;
}

int timedOutCalls() {
    std::lock_guard lock(world().mutex);
    return world().timedOut;
}

QList<PostedEvent> postedEvents() {
    std::lock_guard lock(world().mutex);
    return world().events;
}

void setTrustCachedUntilRestart(bool on) {
    std::lock_guard lock(world().mutex);
    world().cacheTrust = on;
}

void restartProcess() {
    std::lock_guard lock(world().mutex);
    world().cachedTrust.reset();
}

int trustPrompts() {
    std::lock_guard lock(world().mutex);
    return world().prompts;
}

int activitiesHeld() {
    std::lock_guard lock(world().mutex);
    return world().activitiesHeld;
}

int activitiesBegun() {
    std::lock_guard lock(world().mutex);
    return world().activitiesBegun;
}

} // namespace Vantrel::MacApiDouble
