#include "automation/AxDump.h"

#include "automation/LogicBridge.h"
#include "platform/AxNames.h"

#include <QJsonArray>
#include <QJsonValue>

namespace Vantrel::AxDump {

namespace {

// The text attributes a dump holds, and their keys in it.
const std::pair<const QString*, const char*> textKeys[] = {
    {&Ax::Attr::subrole, "subrole"},
    {&Ax::Attr::title, "title"},
    {&Ax::Attr::description, "description"},
    {&Ax::Attr::identifier, "identifier"},
};

std::optional<QJsonValue> jsonOf(const AXValue& v) {
    if (const auto* s = std::get_if<QString>(&v))
        return QJsonValue(*s);
    if (const auto* b = std::get_if<bool>(&v))
        return QJsonValue(*b);
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return QJsonValue(static_cast<qint64>(*i));
    if (const auto* d = std::get_if<double>(&v))
        return QJsonValue(*d);
    return std::nullopt;
}

void addLines(const QJsonObject& node, int level, QString& out) {
    QStringList parts{node.value("role").toString()};
    if (node.contains("subrole"))
        parts << node.value("subrole").toString();
    if (node.contains("title"))
        parts << QStringLiteral("“%1”").arg(node.value("title").toString());
    if (node.contains("description"))
        parts << QStringLiteral("description=“%1”").arg(node.value("description").toString());
    if (node.contains("identifier"))
        parts << QStringLiteral("id=%1").arg(node.value("identifier").toString());
    if (node.contains("value")) {
        const QJsonValue v = node.value("value");
        parts << QStringLiteral("value=%1")
                     .arg(v.isBool()     ? QString::fromLatin1(v.toBool() ? "true" : "false")
                          : v.isDouble() ? QString::number(v.toDouble())
                                         : QStringLiteral("“%1”").arg(v.toString()));
    }
    if (node.contains("enabled") && !node.value("enabled").toBool())
        parts << QStringLiteral("disabled");
    if (node.contains("frame")) {
        const QJsonObject f = node.value("frame").toObject();
        parts << QStringLiteral("(%1, %2, %3 × %4)")
                     .arg(f.value("x").toDouble())
                     .arg(f.value("y").toDouble())
                     .arg(f.value("width").toDouble())
                     .arg(f.value("height").toDouble());
    }
    QStringList actions;
    for (const QJsonValue& a : node.value("actions").toArray())
        actions << a.toString();
    if (!actions.isEmpty())
        parts << QStringLiteral("[%1]").arg(actions.join(QStringLiteral(", ")));
    out += QString(level * 2, QLatin1Char(' ')) + parts.join(QLatin1Char(' ')) + QLatin1Char('\n');
    for (const QJsonValue& child : node.value("children").toArray())
        addLines(child.toObject(), level + 1, out);
}

} // namespace

QJsonObject dumpElement(Platform& platform, const Element& element, int depth) {
    Accessibility& ax = platform.accessibility();
    QJsonObject node;
    const auto text = [&](const QString& name) -> std::optional<QString> {
        const AttributeRead r = ax.attribute(element, name);
        const auto* s = std::get_if<QString>(&r.value);
        return r.status == AXResult::success && s ? std::optional(*s) : std::nullopt;
    };
    node.insert("role", text(Ax::Attr::role).value_or(QString()));
    for (const auto& [attribute, key] : textKeys)
        if (const auto t = text(*attribute))
            node.insert(QLatin1String(key), *t);
    if (const AttributeRead v = ax.attribute(element, Ax::Attr::value);
        v.status == AXResult::success)
        if (const auto json = jsonOf(v.value))
            node.insert("value", *json);
    if (const AttributeRead e = ax.attribute(element, Ax::Attr::enabled);
        e.status == AXResult::success && std::holds_alternative<bool>(e.value))
        node.insert("enabled", std::get<bool>(e.value));
    const AttributeRead pos = ax.attribute(element, Ax::Attr::position);
    const AttributeRead size = ax.attribute(element, Ax::Attr::size);
    if (const auto* p = std::get_if<Point>(&pos.value)) {
        if (const auto* s = std::get_if<Size>(&size.value)) {
            node.insert(
                "frame",
                QJsonObject{{"x", p->x}, {"y", p->y}, {"width", s->width}, {"height", s->height}});
        }
    }
    const QStringList actions = ax.actionNames(element);
    if (!actions.isEmpty())
        node.insert("actions", QJsonArray::fromStringList(actions));
    if (depth > 0) {
        const AttributeRead kids = ax.attribute(element, Ax::Attr::children);
        if (const auto* list = std::get_if<QList<Element>>(&kids.value); list && !list->isEmpty()) {
            QJsonArray children;
            for (const Element& child : *list)
                children.append(dumpElement(platform, child, depth - 1));
            node.insert("children", children);
        }
    }
    return node;
}

std::optional<QJsonObject> dumpLogic(Platform& platform, int depth) {
    const std::optional<RunningApp> logic = LogicBridge::logicApp(platform);
    if (!logic)
        return std::nullopt;
    const Element app = platform.accessibility().applicationElement(logic->pid);
    if (!app)
        return std::nullopt;
    return dumpElement(platform, app, depth);
}

QString asText(const QJsonObject& tree) {
    QString out;
    addLines(tree, 0, out);
    return out;
}

} // namespace Vantrel::AxDump
