// The sender's core: progress, the one wait, bringing Logic Pro to the front, menus, the
// locators of windows and track rows, clicks and selection.

#include "automation/AXProbe.h"
#include "automation/LogicBridge.h"
#include "automation/LogicSender.h"
#include "automation/MenuLocator.h"
#include "platform/AxNames.h"

#include <QCoreApplication>

#include <algorithm>

namespace Vantrel {

using namespace std::chrono_literals;

namespace {

const QString& kDescription = Ax::Attr::description;
const QString kOptionsTitle = QStringLiteral("Add Selected Files to Tracks");
const QString& kSelectedChildren = Ax::Attr::selectedChildren;

bool enabledNotFalse(const AXValue& v) {
    const bool* b = std::get_if<bool>(&v);
    return !(b && !*b);
}

} // namespace

LogicSender::LogicSender(Platform& platform)
    : reads_(platform), platform_(reads_), tickT_(platform.clock().now()) {}

// --- Small helpers.

void LogicSender::report(const QString& status, double fraction) {
    if (onProgress)
        onProgress(SendReport{SendReport::Kind::status, status, fraction});
}

void LogicSender::report(const QString& status, SendPhase phase, double within) {
    report(status, progressOf(phase, within));
}

void LogicSender::note(const QString& text, double fraction) {
    if (onProgress)
        onProgress(SendReport{SendReport::Kind::note, text, fraction});
}

void LogicSender::pause(std::chrono::milliseconds d) {
    platform_.clock().sleepFor(d);
}

void LogicSender::throwIfCancelled() {
    if (cancelled.load())
        throw CancelledError();
}

double LogicSender::seconds(Clock::Duration d) const {
    return std::chrono::duration<double>(d).count();
}

AXValue LogicSender::read(const Element& element, const QString& attribute) {
    return AXProbe::read(platform_, element, attribute);
}

QString LogicSender::str(const Element& element, const QString& attribute) {
    return AXProbe::str(platform_, element, attribute);
}

bool LogicSender::press(const Element& element) {
    return element &&
           platform_.accessibility().performAction(element, Ax::Action::press) == AXResult::success;
}

void LogicSender::mouse(MouseEventType type, Point p, std::uint64_t flags, std::int64_t clicks) {
    platform_.input().postMouse(MouseEvent{type, p, flags, clicks});
}

void LogicSender::optionClick(Point p, std::chrono::milliseconds afterMove,
                              std::chrono::milliseconds afterPress,
                              std::chrono::milliseconds afterRelease) {
    mouse(MouseEventType::moved, p);
    pause(afterMove);
    mouse(MouseEventType::leftDown, p, EventFlags::option, 1);
    pause(afterPress);
    mouse(MouseEventType::leftUp, p, EventFlags::option, 1);
    if (afterRelease.count() > 0)
        pause(afterRelease);
}

Element LogicSender::findIn(const Element& root, const std::function<bool(const Element&)>& pred) {
    return AXProbe::find(platform_, root, 0, pred);
}

Element LogicSender::findInWindows(const std::function<bool(const Element&)>& pred) {
    for (const Element& w : AXProbe::windows(platform_)) {
        if (Element found = findIn(w, pred))
            return found;
    }
    return {};
}

Element LogicSender::firstWindow(const std::function<bool(const Element&)>& pred) {
    for (const Element& w : AXProbe::windows(platform_)) {
        // What the locators ask of a window, in one call.
        platform_.accessibility().attributes(w, {Ax::Attr::title, Ax::Attr::subrole,
                                                 Ax::Attr::identifier, kDescription,
                                                 Ax::Attr::children});
        if (pred(w))
            return w;
    }
    return {};
}

void LogicSender::checkPreconditions(const QString& notRunningMessage) {
    if (!platform_.accessibility().isTrusted())
        throw SendError(QCoreApplication::translate(
            "Vantrel::Sender", "Vantrel needs Accessibility permission (System Settings "
                               "> Privacy & Security > Accessibility)."));
    if (!LogicBridge::logicApp(platform_))
        throw SendError(notRunningMessage);
    // Logic's windows may read empty while it is in the background: then it comes to the front
    // before they are read.
    if (AXProbe::windows(platform_).isEmpty())
        front();
    // A dialog Logic opened by itself (a new project's "New Tracks", its startup questions) is
    // the user's to answer: the send stops before it touches anything. The questions an import
    // asks are answered at every wait.
    const Element dialog = firstWindow([&](const Element& w) {
        return str(w, Ax::Attr::subrole) == Ax::Subrole::dialog && !isOptionsWindow(w) &&
               !isAlert(w);
    });
    if (dialog) {
        const QString title = str(dialog, Ax::Attr::title);
        throw SendError(title.isEmpty()
                            ? QCoreApplication::translate("Vantrel::Sender",
                                                          "Logic Pro is showing a dialog: close it "
                                                          "in Logic Pro, then send again.")
                            : QCoreApplication::translate("Vantrel::Sender",
                                                          "Logic Pro is showing “%1”: close it in "
                                                          "Logic Pro, then send again.")
                                  .arg(title));
    }
}

// --- Waiting and progress.

bool LogicSender::waitUntil(const QString& what, Clock::Duration timeout,
                            const std::function<bool()>& condition,
                            std::chrono::milliseconds poll) {
    Q_UNUSED(what);
    Clock& clock = platform_.clock();
    const Clock::Duration deadline = clock.now() + timeout;
    for (;;) {
        if (condition())
            return true;
        throwIfCancelled();
        if (clock.now() > deadline)
            return false;
        // A question Logic asks late (the tempo, the options of a drop) blocks it until
        // answered, whatever the step waits for.
        if (!answeringDialogs_) {
            answeringDialogs_ = true;
            try {
                answerDialogs();
            } catch (...) {
                answeringDialogs_ = false;
                throw;
            }
            answeringDialogs_ = false;
        }
        clock.sleepFor(poll);
    }
}

void LogicSender::waitFor(const QString& what, Clock::Duration timeout,
                          const std::function<bool()>& condition, std::chrono::milliseconds poll) {
    if (!waitUntil(what, timeout, condition, poll))
        throw SendError(QCoreApplication::translate("Vantrel::Sender",
                                                    "Logic didn't respond (waiting for %1). "
                                                    "Nothing else was changed after this point.")
                            .arg(what));
}

void LogicSender::bestEffort(const std::function<void()>& step) {
    throwIfCancelled();
    try {
        step();
    } catch (const SendError&) {
        // The step's failure is not the send's: it goes on. CancelledError is no SendError.
    }
}

void LogicSender::tick(const QString& label) {
    if (!profile)
        return;
    const Clock::Duration now = platform_.clock().now();
    note(QString::asprintf("%.2fs ", seconds(now - tickT_)) + label);
    tickT_ = now;
}

// --- Logic Pro in front, ready, its menus.

bool LogicSender::isFront() {
    const std::optional<RunningApp> app = LogicBridge::logicApp(platform_);
    if (!app)
        return false;
    const Element e = platform_.accessibility().applicationElement(app->pid);
    const AXValue v = read(e, Ax::Attr::frontmost);
    const bool* b = std::get_if<bool>(&v);
    return b && *b;
}

void LogicSender::front() {
    const std::optional<RunningApp> app = LogicBridge::logicApp(platform_);
    if (!app)
        throw SendError(QCoreApplication::translate("Vantrel::Sender", "Logic Pro isn't running."));
    if (!isFront()) {
        platform_.accessibility().activate(*app);
        waitFor(QCoreApplication::translate("Vantrel::Sender", "Logic to come to the front"), 4s,
                [this] { return isFront(); });
        pause(300ms);
    }
    // Another window of Logic's own (the Mixer, another project) in front of the project
    // window would take the clicks and the drop meant for the track list: the project window
    // is raised. Dialogs in front are left alone; they are answered or waited for.
    const QList<Element> windows = AXProbe::windows(platform_);
    const Element main = mainWindow();
    if (main && !windows.isEmpty() && windows.first() != main &&
        str(windows.first(), Ax::Attr::subrole) == Ax::Subrole::standardWindow) {
        platform_.accessibility().performAction(main, Ax::Action::raise);
        pause(150ms);
    }
}

Element LogicSender::mainWindow() {
    const std::optional<RunningApp> app = LogicBridge::logicApp(platform_);
    if (!app)
        return {};
    const Element appElement = platform_.accessibility().applicationElement(app->pid);
    return AXProbe::element(platform_, appElement, Ax::Attr::mainWindow);
}

void LogicSender::waitUntilReady() {
    const Clock::Duration start = platform_.clock().now();
    const QStringList path{QStringLiteral("Track"), QStringLiteral("New Audio Track")};
    // Readiness is a courtesy: the steps that follow wait for what they need themselves, so a
    // time-out is not a failure.
    waitUntil(QStringLiteral("Logic to be ready"), 25s, [&] {
        const Element item = menuItem(path);
        return item && enabledNotFalse(read(item, Ax::Attr::enabled));
    });
    const double waited = seconds(platform_.clock().now() - start);
    if (waited > 0.3)
        note(QCoreApplication::translate("Vantrel::Sender", "(waited %1 s for Logic to be ready)")
                 .arg(waited, 0, 'f', 1));
    pause(250ms);
}

Element LogicSender::menuItem(const QStringList& path) {
    const std::optional<RunningApp> app = LogicBridge::logicApp(platform_);
    if (!app)
        return {};
    const Element appElement = platform_.accessibility().applicationElement(app->pid);
    const Element menuBar = AXProbe::element(platform_, appElement, Ax::Attr::menuBar);
    if (!menuBar)
        return {};
    // By its English titles; in another language, by its key equivalent and place.
    if (const Element item = AXProbe::menuItem(platform_, menuBar, path))
        return item;
    return MenuLocator::locate(platform_, menuBar, path);
}

void LogicSender::choose(const QStringList& path, bool verified) {
    const QString what =
        QCoreApplication::translate("Vantrel::Sender", "menu “%1”").arg(path.last());
    waitFor(what, 30s, [&] {
        const Element item = menuItem(path);
        return item && enabledNotFalse(read(item, Ax::Attr::enabled));
    });
    // Menus in English go by their titles, through the menus when an item is not reachable
    // before its menu opens; menus in another language by the item the locator finds.
    std::optional<int> status;
    const Element located = menuItem(path);
    if (located && str(located, Ax::Attr::title) != path.last())
        status = platform_.accessibility().performAction(located, Ax::Action::press);
    else
        status = AXProbe::menuPathResult(platform_, path);
    if (status && *status == AXResult::success)
        return;
    const QString joined = path.join(QStringLiteral(" > "));
    if (status && verified) {
        note(QCoreApplication::translate("Vantrel::Sender", "(Logic answered %1 to “%2”; going on)")
                 .arg(*status)
                 .arg(joined));
        return;
    }
    throw SendError(
        status ? QCoreApplication::translate("Vantrel::Sender",
                                             "Couldn't use the menu item “%1” (Logic answered %2).")
                     .arg(joined)
                     .arg(*status)
               : QCoreApplication::translate("Vantrel::Sender",
                                             "Couldn't use the menu item “%1” (Logic "
                                             "answered nothing: the item was not "
                                             "found).")
                     .arg(joined));
}

// --- Locators.

Element LogicSender::window(const QString& identifier) {
    return firstWindow(
        [&](const Element& w) { return str(w, Ax::Attr::identifier) == identifier; });
}

bool LogicSender::isOptionsWindow(const Element& w) {
    // "Add Selected Files to Tracks" by its title in English; in any language, the dialog with
    // the choice of new or existing tracks (two radio buttons) and the stems check box.
    if (str(w, Ax::Attr::title) == kOptionsTitle)
        return true;
    if (str(w, Ax::Attr::subrole) != Ax::Subrole::dialog ||
        str(w, Ax::Attr::identifier) == Ax::Id::openPanel)
        return false;
    int radios = 0, boxes = 0;
    for (const Element& child : AXProbe::kids(platform_, w)) {
        const QString role = str(child, Ax::Attr::role);
        if (role == Ax::Role::radioGroup)
            radios += int(std::ranges::count_if(AXProbe::kids(platform_, child), [&](auto& r) {
                return str(r, Ax::Attr::role) == Ax::Role::radioButton;
            }));
        else if (role == Ax::Role::checkBox)
            ++boxes;
    }
    return radios == 2 && boxes == 1;
}

bool LogicSender::isAlert(const Element& w) {
    // Described "alert" in English; in any language, by the identifiers of its buttons
    // ("action-button-1", "action-button-2"), which are not translated.
    if (str(w, kDescription) == u"alert")
        return true;
    if (str(w, Ax::Attr::subrole) != Ax::Subrole::dialog)
        return false;
    for (const Element& child : AXProbe::kids(platform_, w)) {
        if (str(child, Ax::Attr::role) == Ax::Role::button &&
            str(child, Ax::Attr::identifier).startsWith(Ax::Id::actionButtonPrefix))
            return true;
    }
    return false;
}

Element LogicSender::optionsWindow() {
    return firstWindow([&](const Element& w) { return isOptionsWindow(w); });
}

Element LogicSender::alert() {
    return firstWindow([&](const Element& w) { return isAlert(w); });
}

Element LogicSender::dontImportButton(const Element& question) {
    // "Don’t Import" is one of the two buttons, not always the same one: it is found by its
    // title, else as the alert's cancel button (the one Escape presses).
    if (const Element titled = findIn(question, [&](const Element& e) {
            const QString t = str(e, Ax::Attr::title);
            return t == u"Don\u2019t Import" || t == u"Don't Import";
        }))
        return titled;
    return AXProbe::element(platform_, question, Ax::Attr::cancelButton);
}

Element LogicSender::colorWindow() {
    // Titled "Color" in English, wherever it stands among the windows; in another language,
    // Logic's floating window (the palette is the one the track list opens; its title is
    // translated, its kind is not).
    if (const Element titled =
            firstWindow([&](const Element& w) { return str(w, Ax::Attr::title) == u"Color"; }))
        return titled;
    return firstWindow(
        [&](const Element& w) { return str(w, Ax::Attr::subrole) == Ax::Subrole::floatingWindow; });
}

Element LogicSender::sheet() {
    for (const Element& w : AXProbe::windows(platform_)) {
        for (const Element& child : AXProbe::kids(platform_, w)) {
            if (str(child, Ax::Attr::role) == Ax::Role::sheet)
                return child;
        }
    }
    return {};
}

std::optional<Rect> LogicSender::projectWindowFrame() {
    // The project in front is Logic's main window, whatever other windows come first (a Mixer
    // window, another project behind it, a dialog).
    const Element w = mainWindow();
    if (!w)
        return std::nullopt;
    return frame(w);
}

namespace {

// The parts of the track list by their descriptions, in English ("Track Headers" in older
// versions): the way to them when their structure is not the one expected.
bool describedAs(const QString& description, LogicSender::TrackListPart part) {
    switch (part) {
    case LogicSender::TrackListPart::header:
        return description == u"Tracks header" || description == u"Track Headers";
    case LogicSender::TrackListPart::ruler:
        return description == u"Tracks time ruler";
    case LogicSender::TrackListPart::contents:
        return description == u"Tracks contents";
    }
    return false;
}

} // namespace

Element LogicSender::trackListPart(const Element& window, TrackListPart part) {
    // The track list is a split group of two split groups: the first holds a scroll area whose
    // group is the header (one row per track), the second the time ruler (a layout area) and a
    // scroll area whose group holds the rows' lanes. Descriptions are translated with Logic's
    // language; this structure is not.
    const auto role = [&](const Element& e) { return str(e, Ax::Attr::role); };
    const auto childOfRole = [&](const Element& e, QStringView wanted) {
        for (const Element& child : AXProbe::kids(platform_, e))
            if (role(child) == wanted)
                return child;
        return Element();
    };
    const auto groupInScrollArea = [&](const Element& e) {
        const Element scroll = childOfRole(e, Ax::Role::scrollArea);
        return scroll ? childOfRole(scroll, Ax::Role::group) : Element();
    };
    Element found;
    findIn(window, [&](const Element& e) {
        if (role(e) != Ax::Role::splitGroup)
            return false;
        QList<Element> halves;
        for (const Element& child : AXProbe::kids(platform_, e))
            if (role(child) == Ax::Role::splitGroup)
                halves << child;
        if (halves.size() != 2)
            return false;
        const Element header = groupInScrollArea(halves[0]);
        const Element ruler = childOfRole(halves[1], Ax::Role::layoutArea);
        const Element contents = groupInScrollArea(halves[1]);
        if (!header || !ruler || !contents)
            return false;
        found = part == TrackListPart::header  ? header
                : part == TrackListPart::ruler ? ruler
                                               : contents;
        return true;
    });
    if (found)
        return found;
    return findIn(window,
                  [&](const Element& e) { return describedAs(str(e, kDescription), part); });
}

Element LogicSender::tracksHeader() {
    if (cachedHeader_) {
        const AXValue children = read(cachedHeader_, Ax::Attr::children);
        if (std::holds_alternative<QList<Element>>(children) &&
            str(cachedHeader_, kDescription) == cachedHeaderDescription_)
            return cachedHeader_;
    }
    // The track list of the project in front; another project's behind it is never read.
    cachedHeader_ = {};
    if (const Element main = mainWindow()) {
        cachedHeader_ = trackListPart(main, TrackListPart::header);
    } else {
        for (const Element& w : AXProbe::windows(platform_))
            if ((cachedHeader_ = trackListPart(w, TrackListPart::header)))
                break;
    }
    cachedHeaderDescription_ = str(cachedHeader_, kDescription);
    return cachedHeader_;
}

bool LogicSender::nameFieldFocused() {
    const std::optional<RunningApp> app = LogicBridge::logicApp(platform_);
    if (!app)
        return false;
    // The focused element of the application, else a focused text field of the track rows.
    const Element appElement = platform_.accessibility().applicationElement(app->pid);
    if (const Element focused =
            AXProbe::element(platform_, appElement, Ax::Attr::focusedUIElement)) {
        if (str(focused, Ax::Attr::role) == Ax::Role::textField)
            return true;
    }
    // The field being edited belongs to the selected row, as a rule; else any row on screen.
    QList<TrackRow> rows = selectedRows();
    if (rows.isEmpty()) {
        const std::optional<QList<TrackRow>> shown = rowsOnScreen(false);
        if (!shown)
            return false;
        rows = *shown;
    }
    for (const TrackRow& r : std::as_const(rows)) {
        const Element field = nameFieldOf(r.element);
        const AXValue v = read(field, Ax::Attr::focused);
        const bool* b = std::get_if<bool>(&v);
        if (b && *b) {
            focusedField_ = field;
            return true;
        }
    }
    return false;
}

std::optional<Point> LogicSender::rowSpot(const Element& row) {
    // The name field, found by its role: a single click on it selects the row, and no other
    // control (Mute, Solo, Record, the arrow) is there, however wide the header is.
    const Element field = nameFieldOf(row);
    const std::optional<Rect> f = field ? frame(field) : std::nullopt;
    if (!f || f->size.width <= 4 || f->size.height <= 4)
        return std::nullopt;
    return f->center();
}

bool LogicSender::focusedFieldHolds() {
    const AXValue v = read(focusedField_, Ax::Attr::focused);
    const bool* b = std::get_if<bool>(&v);
    return b && *b;
}

Element LogicSender::nameFieldOf(const Element& row) {
    const QList<Element> children = AXProbe::kids(platform_, row);
    for (auto it = children.crbegin(); it != children.crend(); ++it)
        if (str(*it, Ax::Attr::role) == Ax::Role::textField)
            return *it;
    return findIn(row,
                  [&](const Element& e) { return str(e, Ax::Attr::role) == Ax::Role::textField; });
}

bool LogicSender::typeIntoNameField(const QString& text) {
    // Every key is typed only while Logic is in front and its name field has the focus: a key
    // meant for the field that reaches Logic without it is a key command (record, mute, solo).
    // The field found focused is asked first; only when it says no are the others looked at.
    const auto focused = [this] { return focusedFieldHolds() || nameFieldFocused(); };
    for (const QChar unit : text) {
        if (!isFront() || !focused())
            return false;
        AXProbe::type(platform_, QString(unit));
    }
    return isFront() && focused();
}

QList<Element> LogicSender::trackHeaders() {
    const Element container = tracksHeader();
    QList<Element> headers;
    if (!container)
        return headers;
    for (const Element& child : AXProbe::kids(platform_, container)) {
        if (str(child, Ax::Attr::role) == Ax::Role::layoutItem)
            headers << child;
    }
    return headers;
}

QStringList LogicSender::trackNames() {
    QStringList names;
    if (const std::optional<QList<TrackRow>> rows = allRows(false)) {
        for (const TrackRow& r : *rows)
            names << r.name;
    }
    return names;
}

std::optional<Rect> LogicSender::frame(const Element& element) {
    // Both in one call.
    const QList<AXValue> values =
        AXProbe::readAll(platform_, element, {Ax::Attr::position, Ax::Attr::size});
    const Point* p = std::get_if<Point>(&values[0]);
    const Size* s = std::get_if<Size>(&values[1]);
    if (!p || !s)
        return std::nullopt;
    return Rect{*p, *s};
}

std::optional<bool> LogicSender::isOpen(const Element& element) {
    const AXValue v = read(element, Ax::Attr::value);
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return *i == 1;
    if (const auto* d = std::get_if<double>(&v))
        return *d == 1.0;
    if (const auto* b = std::get_if<bool>(&v))
        return *b;
    return std::nullopt;
}

int LogicSender::n2count(const Element& element) {
    const AXValue v = read(element, kSelectedChildren);
    if (const auto* list = std::get_if<QList<Element>>(&v))
        return int(list->size());
    return -1;
}

Element LogicSender::triangleOf(const Element& header) {
    // The arrow follows the row's splitter; older versions show it as a button, the one that
    // has an open state. Only the first children are looked at.
    const QList<Element> children = AXProbe::kids(platform_, header);
    for (const Element& child : children.mid(0, 3)) {
        const QString role = str(child, Ax::Attr::role);
        if (role == Ax::Role::disclosureTriangle)
            return child;
        if (role == Ax::Role::button && isOpen(child).has_value())
            return child;
    }
    return {};
}

bool LogicSender::safelyVisible(const std::optional<Rect>& f) {
    if (!f)
        return false;
    const std::optional<Rect> p = projectWindowFrame();
    if (!p)
        return false;
    const double top = f->origin.y;
    const double bottom = f->origin.y + f->size.height;
    // Below the ruler and the arrangement track and above the bottom bar, with a few points'
    // slack on either side.
    return top > p->origin.y + Ax::Layout::rowsTop - 6 &&
           bottom < p->origin.y + p->size.height - (Ax::Layout::bottomBar - 4);
}

// --- Clicks and selection.

void LogicSender::click(Point p, int count, std::uint64_t flags) {
    mouse(MouseEventType::leftDown, p, flags, count);
    pause(25ms);
    mouse(MouseEventType::leftUp, p, flags, count);
    pause(25ms);
}

void LogicSender::selectByClicks(const QList<Element>& headers) {
    QList<std::pair<double, Element>> byTop;
    for (const Element& h : headers) {
        if (const std::optional<Rect> f = frame(h))
            byTop.append({f->origin.y, h});
    }
    std::stable_sort(byTop.begin(), byTop.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (qsizetype j = 0; j < byTop.size(); ++j) {
        const std::optional<Point> spot = rowSpot(byTop[j].second);
        if (!spot)
            continue;
        const Point p = *spot;
        const std::uint64_t flags = j == 0 ? 0 : EventFlags::command;
        mouse(MouseEventType::moved, p);
        pause(20ms);
        mouse(MouseEventType::leftDown, p, flags, 1);
        pause(25ms);
        mouse(MouseEventType::leftUp, p, flags, 1);
        pause(25ms);
        pause(25ms);
    }
    pause(80ms);
}

void LogicSender::select(const QList<Element>& headers, const Element& container) {
    const int n = int(headers.size());
    const auto selectedCount = [&] { return n2count(container); };
    for (int a = 0; a < 6; ++a) {
        platform_.accessibility().setAttribute(container, kSelectedChildren, headers);
        pause(a == 0 ? 80ms : 120ms);
        const int count = selectedCount();
        if (count < 0 || count == n)
            return;
        if (a >= 1) {
            selectByClicks(headers);
            // Looks again every 40 ms, for 200 ms.
            if (waitUntil(
                    QStringLiteral("the selection"), 200ms, [&] { return selectedCount() == n; },
                    40ms))
                return;
        }
        if (a >= 2)
            note(QCoreApplication::translate("Vantrel::Sender", "(%1 of %n tracks selected; again)",
                                             nullptr, int(n))
                     .arg(n2count(container)));
    }
}

void LogicSender::selectLastTrack() {
    const Element container = tracksHeader();
    if (!container)
        return;
    const std::optional<int> count = trackCount();
    if (!count || *count == 0)
        return;
    std::optional<QList<TrackRow>> rows = rowsOnScreen(false);
    if (!rows || rows->isEmpty())
        return;
    platform_.accessibility().setAttribute(container, kSelectedChildren,
                                           QList<Element>{rows->last().element});
    pause(150ms);
}

} // namespace Vantrel
