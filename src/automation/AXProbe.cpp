#include "automation/AXProbe.h"

#include "automation/LogicBridge.h"
#include "platform/AxNames.h"

#include <array>

namespace Vantrel::AXProbe {

namespace {

// The modifiers key() knows, in the order they are pressed.
struct Modifier {
    QLatin1String name;
    std::uint16_t keyCode;
    std::uint64_t flag;
};
constexpr std::array<Modifier, 4> modifiers{{
    {QLatin1String("cmd"), 55, EventFlags::command},
    {QLatin1String("shift"), 56, EventFlags::shift},
    {QLatin1String("opt"), 58, EventFlags::option},
    {QLatin1String("ctrl"), 59, EventFlags::control},
}};

QList<Element> elementList(Platform& platform, const Element& element, const QString& attribute) {
    AXValue v = read(platform, element, attribute);
    if (auto* list = std::get_if<QList<Element>>(&v))
        return std::move(*list);
    return {};
}

// The application element of the running Logic Pro; none when it is not running.
Element logicElement(Platform& platform) {
    const std::optional<RunningApp> app = LogicBridge::logicApp(platform);
    if (!app)
        return {};
    return platform.accessibility().applicationElement(app->pid);
}

// The elements a title of a menu path is looked for among: the children of current, each
// "AXMenu" child replaced by that menu's children.
QList<Element> menuCandidates(Platform& platform, const Element& current) {
    QList<Element> candidates;
    for (const Element& child : kids(platform, current)) {
        if (str(platform, child, Ax::Attr::role) == Ax::Role::menu)
            candidates += kids(platform, child);
        else
            candidates << child;
    }
    return candidates;
}

// The first candidate below current titled exactly title; none when there is none.
Element menuStep(Platform& platform, const Element& current, const QString& title) {
    for (const Element& candidate : menuCandidates(platform, current)) {
        if (str(platform, candidate, Ax::Attr::title) == title)
            return candidate;
    }
    return {};
}

} // namespace

AXValue read(Platform& platform, const Element& element, const QString& attribute) {
    if (!element)
        return {};
    for (int attempt = 0;; ++attempt) {
        AttributeRead r = platform.accessibility().attribute(element, attribute);
        if (r.status == AXResult::success)
            return std::move(r.value);
        if (r.status != AXResult::cannotComplete || attempt >= readRetries)
            return {};
        platform.clock().sleepFor(readRetryPause);
    }
}

QList<AXValue> readAll(Platform& platform, const Element& element, const QStringList& attributes) {
    QList<AXValue> values(attributes.size());
    if (!element || attributes.isEmpty())
        return values;
    for (int attempt = 0;; ++attempt) {
        const QList<AttributeRead> reads = platform.accessibility().attributes(element, attributes);
        bool busy = false;
        for (qsizetype i = 0; i < attributes.size() && i < reads.size(); ++i) {
            if (reads[i].status == AXResult::success)
                values[i] = reads[i].value;
            busy = busy || reads[i].status == AXResult::cannotComplete;
        }
        if (!busy || attempt >= readRetries)
            return values;
        platform.clock().sleepFor(readRetryPause);
    }
}

const QHash<QString, std::uint16_t>& codes() {
    static const QHash<QString, std::uint16_t> table{
        {QStringLiteral("return"), 36}, {QStringLiteral("tab"), 48},
        {QStringLiteral("escape"), 53}, {QStringLiteral("space"), 49},
        {QStringLiteral("delete"), 51}, {QStringLiteral("down"), 125},
        {QStringLiteral("up"), 126},    {QStringLiteral("a"), 0},
        {QStringLiteral("g"), 5},       {QStringLiteral("o"), 31},
        {QStringLiteral("d"), 2},       {QStringLiteral("z"), 6},
    };
    return table;
}

Element find(Platform& platform, const Element& root, int depth,
             const std::function<bool(const Element&)>& pred) {
    if (!root)
        return {};
    if (pred(root))
        return root;
    if (depth >= maxSearchDepth)
        return {};
    for (const Element& child : kids(platform, root)) {
        if (Element found = find(platform, child, depth + 1, pred))
            return found;
    }
    return {};
}

QList<Element> kids(Platform& platform, const Element& element) {
    return elementList(platform, element, Ax::Attr::children);
}

QString str(Platform& platform, const Element& element, const QString& attribute) {
    AXValue v = read(platform, element, attribute);
    if (auto* text = std::get_if<QString>(&v))
        return std::move(*text);
    return {};
}

Element element(Platform& platform, const Element& of, const QString& attribute) {
    const QList<Element> list = elementList(platform, of, attribute);
    return list.isEmpty() ? Element() : list.first();
}

QList<Element> windows(Platform& platform) {
    return elementList(platform, logicElement(platform), Ax::Attr::windows);
}

Element menuItem(Platform& platform, const Element& menuBar, const QStringList& path) {
    Element current = menuBar;
    for (const QString& title : path) {
        current = menuStep(platform, current, title);
        if (!current)
            return {};
    }
    return current;
}

std::optional<int> menuPathResult(Platform& platform, const QStringList& path) {
    if (path.isEmpty())
        return std::nullopt;
    const Element menuBar = element(platform, logicElement(platform), Ax::Attr::menuBar);
    if (!menuBar)
        return std::nullopt;

    if (const Element item = menuItem(platform, menuBar, path))
        return platform.accessibility().performAction(item, Ax::Action::press);

    // Through the menus: each press but the last opens the next menu, which needs a moment
    // before its items can be found.
    Element current = menuBar;
    for (qsizetype i = 0; i < path.size(); ++i) {
        current = menuStep(platform, current, path[i]);
        if (!current)
            return std::nullopt;
        const int status = platform.accessibility().performAction(current, Ax::Action::press);
        if (i == path.size() - 1)
            return status;
        platform.clock().sleepFor(menuOpenPause);
    }
    return std::nullopt; // not reached: the path is not empty
}

void key(Platform& platform, const QString& keyName, const QString& mods) {
    const auto code = codes().constFind(keyName);
    if (code == codes().cend())
        return;

    const QStringList pieces = mods.split(QLatin1Char('+'), Qt::SkipEmptyParts);
    QList<const Modifier*> held;
    for (const Modifier& m : modifiers) {
        if (pieces.contains(m.name))
            held << &m;
    }

    Input& input = platform.input();
    Clock& clock = platform.clock();
    std::uint64_t flags = 0;
    for (const Modifier* m : held) {
        flags |= m->flag;
        input.postKey({m->keyCode, true, flags, std::nullopt});
        clock.sleepFor(modifierDownPause);
    }
    input.postKey({*code, true, flags, std::nullopt});
    clock.sleepFor(keyPause);
    input.postKey({*code, false, flags, std::nullopt});
    clock.sleepFor(keyPause);
    for (auto m = held.crbegin(); m != held.crend(); ++m) {
        flags &= ~(*m)->flag;
        input.postKey({(*m)->keyCode, false, flags, std::nullopt});
        clock.sleepFor(keyPause);
    }
}

void type(Platform& platform, const QString& text) {
    Input& input = platform.input();
    for (const QChar unit : text) {
        input.postKey({0, true, 0, unit.unicode()});
        input.postKey({0, false, 0, unit.unicode()});
        platform.clock().sleepFor(typedUnitPause);
    }
}

} // namespace Vantrel::AXProbe
