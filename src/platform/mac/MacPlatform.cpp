#include "platform/mac/MacPlatform.h"

#include "platform/AxNames.h"
#include "platform/mac/MacActivity.h"

#include <QByteArray>
#include <QList>

#include <ApplicationServices/ApplicationServices.h>
#include <algorithm>
#include <cmath>
#include <libproc.h>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

// Ownership: every object this file gets from a function named Create or Copy is released
// exactly once, by the Owned holder below or by an element's destructor; objects taken from a
// Get function or out of an array are borrowed and retained only when kept.

namespace Vantrel {

namespace {

// Releases the object it holds when it goes out of scope.
template <typename T> class Owned {
public:
    Owned() = default;
    explicit Owned(T ref) : ref_(ref) {}
    ~Owned() {
        if (ref_)
            CFRelease(ref_);
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    T get() const { return ref_; }
    // Where a Copy function writes the object it hands over.
    T* out() { return &ref_; }
    explicit operator bool() const { return ref_ != nullptr; }

private:
    T ref_ = nullptr;
};

CFStringRef createCFString(const QString& s) {
    return CFStringCreateWithCharacters(kCFAllocatorDefault,
                                        reinterpret_cast<const UniChar*>(s.utf16()), s.size());
}

Owned<CFStringRef> cfString(const QString& s) {
    return Owned<CFStringRef>(createCFString(s));
}

QString qString(CFStringRef s) {
    const CFIndex n = CFStringGetLength(s);
    QString out(n, Qt::Uninitialized);
    CFStringGetCharacters(s, CFRange{0, n}, reinterpret_cast<UniChar*>(out.data()));
    return out;
}

// One interface object of another application. The accessibility interface hands out a new
// reference for the same object on every read, so elements are interned (see State::wrap) and
// the seam's identity comparison holds.
class MacElement final : public ElementObject {
public:
    explicit MacElement(AXUIElementRef ref) : ref(ref) {}
    ~MacElement() override { CFRelease(ref); }
    const AXUIElementRef ref; // retained
};

AXUIElementRef refOf(const Element& e) {
    auto* m = dynamic_cast<MacElement*>(e.get());
    return m ? m->ref : nullptr;
}

// The path of a process's executable, or empty.
QString executablePath(pid_t pid) {
    QByteArray buffer(PROC_PIDPATHINFO_MAXSIZE, '\0');
    const int n = proc_pidpath(pid, buffer.data(), static_cast<uint32_t>(buffer.size()));
    return n > 0 ? QString::fromUtf8(buffer.constData(), n) : QString();
}

// The bundle identifier of the application whose executable is at path (…/X.app/Contents/
// MacOS/x), read from the bundle's Info.plist; empty for a program outside a bundle.
QString bundleIdentifierOf(const QString& path) {
    const qsizetype app = path.lastIndexOf(QLatin1String(".app/Contents/MacOS/"));
    if (app < 0)
        return {};
    const QByteArray bundlePath = path.left(app + 4).toUtf8();
    Owned<CFURLRef> url(CFURLCreateFromFileSystemRepresentation(
        kCFAllocatorDefault, reinterpret_cast<const UInt8*>(bundlePath.constData()),
        bundlePath.size(), true));
    if (!url)
        return {};
    Owned<CFBundleRef> bundle(CFBundleCreate(kCFAllocatorDefault, url.get()));
    if (!bundle)
        return {};
    const CFStringRef id = CFBundleGetIdentifier(bundle.get()); // borrowed from the bundle
    return id ? qString(id) : QString();
}

// Screen and tile host used when the caller gives none.
class NoTiles final : public DragTileHost {
public:
    void showTile(const QStringList&, const Rect&) override {}
    void hideTile() override {}
};

} // namespace

struct MacPlatform::State {
    std::mutex mutex; // the interned elements and the process's event state below
    std::unordered_multimap<CFHashCode, std::weak_ptr<MacElement>> elements;
    std::size_t sweepAt = 256;
    CGEventSourceRef source = nullptr; // one for the process, released with the platform
    std::optional<Point> pointer;      // where the last mouse event put the pointer
    NoTiles noTiles;

    // The Element of ref, which the caller lends (it releases its own reference itself).
    Element wrap(AXUIElementRef ref) {
        std::lock_guard lock(mutex);
        const CFHashCode hash = CFHash(ref);
        auto [from, to] = elements.equal_range(hash);
        for (auto it = from; it != to; ++it)
            if (std::shared_ptr<MacElement> e = it->second.lock(); e && CFEqual(e->ref, ref))
                return e;
        if (elements.size() >= sweepAt) {
            std::erase_if(elements, [](const auto& entry) { return entry.second.expired(); });
            sweepAt = std::max<std::size_t>(256, elements.size() * 2);
        }
        auto e = std::make_shared<MacElement>(static_cast<AXUIElementRef>(CFRetain(ref)));
        elements.emplace(hash, e);
        return e;
    }

    // The attribute's Core Foundation value as the seam's value; monostate for other kinds.
    AXValue toValue(CFTypeRef v) {
        const CFTypeID type = CFGetTypeID(v);
        if (type == CFStringGetTypeID())
            return qString(static_cast<CFStringRef>(v));
        if (type == CFBooleanGetTypeID())
            return CFBooleanGetValue(static_cast<CFBooleanRef>(v)) != 0;
        if (type == CFNumberGetTypeID()) {
            const auto n = static_cast<CFNumberRef>(v);
            if (CFNumberIsFloatType(n)) {
                double d = 0;
                CFNumberGetValue(n, kCFNumberDoubleType, &d);
                return d;
            }
            int64_t i = 0;
            CFNumberGetValue(n, kCFNumberSInt64Type, &i);
            return static_cast<std::int64_t>(i);
        }
        if (type == AXValueGetTypeID()) {
            const auto a = static_cast<AXValueRef>(v);
            if (CGPoint p; AXValueGetType(a) == kAXValueTypeCGPoint &&
                           AXValueGetValue(a, kAXValueTypeCGPoint, &p))
                return Point{p.x, p.y};
            if (CGSize s; AXValueGetType(a) == kAXValueTypeCGSize &&
                          AXValueGetValue(a, kAXValueTypeCGSize, &s))
                return Size{s.width, s.height};
            return std::monostate{};
        }
        if (type == AXUIElementGetTypeID())
            return QList<Element>{wrap(static_cast<AXUIElementRef>(v))};
        if (type == CFArrayGetTypeID()) {
            const auto array = static_cast<CFArrayRef>(v);
            const CFIndex n = CFArrayGetCount(array);
            QList<Element> list;
            list.reserve(n);
            for (CFIndex i = 0; i < n; ++i) {
                const CFTypeRef item = CFArrayGetValueAtIndex(array, i); // borrowed
                if (CFGetTypeID(item) != AXUIElementGetTypeID())
                    return std::monostate{};
                list << wrap(static_cast<AXUIElementRef>(item));
            }
            return list;
        }
        return std::monostate{};
    }
};

namespace {

// The seam's value as a new Core Foundation object (the caller owns it); none for nothing.
CFTypeRef createCFValue(const AXValue& value) {
    if (const auto* s = std::get_if<QString>(&value))
        return createCFString(*s);
    if (const auto* b = std::get_if<bool>(&value))
        return CFRetain(*b ? kCFBooleanTrue : kCFBooleanFalse);
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
        const int64_t n = *i;
        return CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &n);
    }
    if (const auto* d = std::get_if<double>(&value))
        return CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, d);
    if (const auto* p = std::get_if<Point>(&value)) {
        const CGPoint cg{p->x, p->y};
        return AXValueCreate(kAXValueTypeCGPoint, &cg);
    }
    if (const auto* sz = std::get_if<Size>(&value)) {
        const CGSize cg{sz->width, sz->height};
        return AXValueCreate(kAXValueTypeCGSize, &cg);
    }
    if (const auto* list = std::get_if<QList<Element>>(&value)) {
        std::vector<const void*> refs;
        for (const Element& e : *list) {
            const AXUIElementRef r = refOf(e);
            if (!r)
                return nullptr;
            refs.push_back(r);
        }
        return CFArrayCreate(kCFAllocatorDefault, refs.data(), static_cast<CFIndex>(refs.size()),
                             &kCFTypeArrayCallBacks);
    }
    return nullptr;
}

} // namespace

MacPlatform::MacPlatform(Clock& clock, Screen* screen, DragTileHost* tiles)
    : clock_(clock), screen_(screen), tiles_(tiles), state_(std::make_unique<State>()) {
    // Events carry the state of the hardware's keys combined with their own flags, as a person's
    // input would.
    state_->source = CGEventSourceCreate(kCGEventSourceStateCombinedSessionState);
}

MacPlatform::~MacPlatform() {
    if (state_->source)
        CFRelease(state_->source);
}

DragTileHost& MacPlatform::dragTiles() {
    return tiles_ ? *tiles_ : state_->noTiles;
}

std::shared_ptr<void> MacPlatform::holdActivity(const QString& reason) {
    void* token = vantrelMacBeginActivity(reason.toUtf8().constData());
    if (!token)
        return nullptr;
    return std::shared_ptr<void>(token, [](void* t) { vantrelMacEndActivity(t); });
}

// --- Accessibility.

bool MacPlatform::isTrusted() {
    return AXIsProcessTrusted() != 0;
}

void MacPlatform::promptForTrust() {
    const void* keys[] = {kAXTrustedCheckOptionPrompt};
    const void* values[] = {kCFBooleanTrue};
    Owned<CFDictionaryRef> options(CFDictionaryCreate(kCFAllocatorDefault, keys, values, 1,
                                                      &kCFTypeDictionaryKeyCallBacks,
                                                      &kCFTypeDictionaryValueCallBacks));
    AXIsProcessTrustedWithOptions(options.get());
}

QList<RunningApp> MacPlatform::runningApplications(const QString& bundleId) {
    // The list can grow between the two calls: ask for room to spare.
    const int count = proc_listallpids(nullptr, 0);
    if (count <= 0)
        return {};
    std::vector<pid_t> pids(static_cast<std::size_t>(count) + 64);
    const int n = proc_listallpids(pids.data(), static_cast<int>(pids.size() * sizeof(pid_t)));
    if (n <= 0)
        return {};
    pids.resize(std::min<std::size_t>(static_cast<std::size_t>(n), pids.size()));
    QList<RunningApp> apps;
    for (const pid_t pid : pids) {
        if (pid <= 0)
            continue;
        const QString path = executablePath(pid);
        if (path.isEmpty())
            continue;
        const QString id = bundleIdentifierOf(path);
        if (id == bundleId)
            apps << RunningApp{pid, id};
    }
    return apps;
}

bool MacPlatform::activate(const RunningApp& app) {
    // Setting the application's AXFrontmost brings it to the front whether or not Vantrel is the
    // active application; the system's activation requests may be declined while it is not.
    const Element element = applicationElement(app.pid);
    return element && setAttribute(element, Ax::Attr::frontmost, true) == AXResult::success;
}

Element MacPlatform::applicationElement(std::int64_t pid) {
    if (pid <= 0 || executablePath(static_cast<pid_t>(pid)).isEmpty())
        return nullptr; // the function would return an element for any number
    Owned<AXUIElementRef> app(AXUIElementCreateApplication(static_cast<pid_t>(pid)));
    if (!app)
        return nullptr;
    AXUIElementSetMessagingTimeout(app.get(), messagingTimeout);
    return state_->wrap(app.get());
}

AttributeRead MacPlatform::attribute(const Element& element, const QString& name) {
    const AXUIElementRef ref = refOf(element);
    if (!ref)
        return {AXResult::illegalArgument, {}};
    Owned<CFStringRef> attribute = cfString(name);
    Owned<CFTypeRef> value;
    const AXError status = AXUIElementCopyAttributeValue(ref, attribute.get(), value.out());
    if (status != kAXErrorSuccess)
        return {status, {}};
    if (!value)
        return {kAXErrorNoValue, {}};
    return {AXResult::success, state_->toValue(value.get())};
}

QList<AttributeRead> MacPlatform::attributes(const Element& element, const QStringList& names) {
    const auto all = [&](int status) { return QList<AttributeRead>(names.size(), {status, {}}); };
    const AXUIElementRef ref = refOf(element);
    if (!ref)
        return all(AXResult::illegalArgument);
    std::vector<const void*> refs;
    refs.reserve(names.size());
    for (const QString& name : names)
        refs.push_back(createCFString(name));
    // The array retains the names it holds.
    Owned<CFArrayRef> attributes(CFArrayCreate(kCFAllocatorDefault, refs.data(),
                                               static_cast<CFIndex>(refs.size()),
                                               &kCFTypeArrayCallBacks));
    for (const void* name : refs)
        CFRelease(name);
    Owned<CFArrayRef> values;
    // Options 0: an attribute that fails reads as an error value in its place, so one missing
    // attribute does not cost the others.
    const AXError status =
        AXUIElementCopyMultipleAttributeValues(ref, attributes.get(), 0, values.out());
    if (status != kAXErrorSuccess)
        return all(status);
    if (!values || CFArrayGetCount(values.get()) != static_cast<CFIndex>(names.size()))
        return all(AXResult::failure);
    QList<AttributeRead> reads;
    reads.reserve(names.size());
    for (CFIndex i = 0; i < CFArrayGetCount(values.get()); ++i) {
        const CFTypeRef v = CFArrayGetValueAtIndex(values.get(), i); // borrowed
        AXError error = kAXErrorSuccess;
        if (!v || CFGetTypeID(v) == CFNullGetTypeID())
            reads.append(AttributeRead{kAXErrorNoValue, {}});
        else if (CFGetTypeID(v) == AXValueGetTypeID() &&
                 AXValueGetType(static_cast<AXValueRef>(v)) == kAXValueTypeAXError &&
                 AXValueGetValue(static_cast<AXValueRef>(v), kAXValueTypeAXError, &error))
            reads.append(AttributeRead{error, {}});
        else
            reads.append(AttributeRead{AXResult::success, state_->toValue(v)});
    }
    return reads;
}

int MacPlatform::setAttribute(const Element& element, const QString& name, const AXValue& value) {
    const AXUIElementRef ref = refOf(element);
    if (!ref)
        return AXResult::illegalArgument;
    Owned<CFTypeRef> cf(createCFValue(value));
    if (!cf)
        return AXResult::illegalArgument;
    Owned<CFStringRef> attribute = cfString(name);
    return AXUIElementSetAttributeValue(ref, attribute.get(), cf.get());
}

int MacPlatform::performAction(const Element& element, const QString& action) {
    const AXUIElementRef ref = refOf(element);
    if (!ref)
        return AXResult::illegalArgument;
    Owned<CFStringRef> name = cfString(action);
    return AXUIElementPerformAction(ref, name.get());
}

QStringList MacPlatform::actionNames(const Element& element) {
    const AXUIElementRef ref = refOf(element);
    if (!ref)
        return {};
    Owned<CFArrayRef> names;
    if (AXUIElementCopyActionNames(ref, names.out()) != kAXErrorSuccess || !names)
        return {};
    QStringList list;
    for (CFIndex i = 0, n = CFArrayGetCount(names.get()); i < n; ++i) {
        const CFTypeRef name = CFArrayGetValueAtIndex(names.get(), i); // borrowed
        if (CFGetTypeID(name) == CFStringGetTypeID())
            list << qString(static_cast<CFStringRef>(name));
    }
    return list;
}

// --- Input: posted at the session tap, from a source that combines the session's key and
// button state with the event's own.

void MacPlatform::postKey(const KeyEvent& event) {
    Owned<CGEventRef> e(CGEventCreateKeyboardEvent(state_->source, event.keyCode, event.down));
    if (!e)
        return;
    if (event.unit) {
        const UniChar unit = *event.unit;
        CGEventKeyboardSetUnicodeString(e.get(), 1, &unit);
    }
    CGEventSetFlags(e.get(), event.flags);
    CGEventPost(kCGSessionEventTap, e.get());
}

void MacPlatform::postMouse(const MouseEvent& event) {
    if (event.type == MouseEventType::scrollWheel) {
        // Small steps: a request of many lines goes out as several events of at most
        // maxWheelLines each, cut to maxScrollLines in all.
        int left = static_cast<int>(
            std::clamp<std::int64_t>(event.wheelLines, -maxScrollLines, maxScrollLines));
        while (left != 0) {
            const int step = std::clamp(left, -maxWheelLines, maxWheelLines);
            left -= step;
            Owned<CGEventRef> e(CGEventCreateScrollWheelEvent(
                state_->source, kCGScrollEventUnitLine, 1, static_cast<int32_t>(step)));
            if (!e)
                return;
            CGEventSetFlags(e.get(), event.flags);
            CGEventPost(kCGSessionEventTap, e.get());
        }
        return;
    }

    const auto post = [&](Point at, std::optional<Point> from) {
        Owned<CGEventRef> e(CGEventCreateMouseEvent(state_->source,
                                                    static_cast<CGEventType>(event.type),
                                                    CGPoint{at.x, at.y}, kCGMouseButtonLeft));
        if (!e)
            return;
        CGEventSetIntegerValueField(e.get(), kCGMouseEventClickState, event.clickState);
        if (from) {
            // Other applications see a drag only through the movement its events carry.
            CGEventSetIntegerValueField(e.get(), kCGMouseEventDeltaX,
                                        std::llround(at.x) - std::llround(from->x));
            CGEventSetIntegerValueField(e.get(), kCGMouseEventDeltaY,
                                        std::llround(at.y) - std::llround(from->y));
        }
        CGEventSetFlags(e.get(), event.flags);
        CGEventPost(kCGSessionEventTap, e.get());
    };

    std::optional<Point> from;
    {
        std::lock_guard lock(state_->mutex);
        from = state_->pointer;
        state_->pointer = event.point;
    }
    if (event.type != MouseEventType::leftDragged && event.type != MouseEventType::moved) {
        post(event.point, std::nullopt);
        return;
    }
    if (!from) {
        post(event.point, Point{event.point});
        return;
    }
    // A long move goes out in steps of at most maxDragStep points, each event carrying the
    // movement since the one before.
    const double dx = event.point.x - from->x;
    const double dy = event.point.y - from->y;
    const int steps = std::max(
        1, static_cast<int>(std::ceil(std::max(std::abs(dx), std::abs(dy)) / maxDragStep)));
    Point previous = *from;
    for (int i = 1; i <= steps; ++i) {
        const Point at = i == steps ? event.point
                                    : Point{std::round(from->x + dx * i / steps),
                                            std::round(from->y + dy * i / steps)};
        post(at, previous);
        previous = at;
    }
}

// --- The main display, when the caller gives no screen.

Rect MacPlatform::mainFrame() {
    const CGRect r = CGDisplayBounds(CGMainDisplayID());
    return {{r.origin.x, r.origin.y}, {r.size.width, r.size.height}};
}

Rect MacPlatform::visibleFrame() {
    // Quartz has no visible frame; the menu bar is 25 points high on displays without a notch
    // (the app hands in Qt's screen, which knows the real one).
    constexpr double menuBar = 25;
    Rect r = mainFrame();
    r.origin.y += menuBar;
    r.size.height = std::max(0.0, r.size.height - menuBar);
    return r;
}

} // namespace Vantrel
