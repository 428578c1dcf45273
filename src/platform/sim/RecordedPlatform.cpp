#include "platform/sim/RecordedPlatform.h"

#include "platform/AxNames.h"
#include "platform/sim/SimElement.h"
#include "platform/sim/SimLogic.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <stdexcept>

namespace Vantrel {

namespace {

constexpr Rect mainScreen{{0, 0}, {1440, 900}};
constexpr double menuBar = 25;

} // namespace

RecordedPlatform::RecordedPlatform(const QJsonObject& tree, Clock& clock) : clock_(clock) {
    app_ = build(tree);
    QList<Element> windows;
    for (const auto& child : app_->children()) {
        if (child->role() == Ax::Role::menuBar)
            app_->set(Ax::Attr::menuBar, QList<Element>{child});
        else if (child->role() == Ax::Role::window)
            windows << child;
    }
    app_->set(Ax::Attr::windows, windows);
    app_->set(Ax::Attr::frontmost, true);
}

RecordedPlatform::~RecordedPlatform() = default;

QJsonObject RecordedPlatform::readDump(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("Couldn't read “%1”: %2.").arg(path, file.errorString()).toStdString());
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject() ||
        !doc.object().value(QStringLiteral("role")).isString())
        throw std::runtime_error(
            QStringLiteral("“%1” is not a dump of an accessibility tree (vantrel-cli ax-dump "
                           "--json writes one).")
                .arg(path)
                .toStdString());
    return doc.object();
}

std::shared_ptr<SimElement> RecordedPlatform::build(const QJsonObject& node) {
    auto e = SimElement::make(this, node.value(QStringLiteral("role")).toString());
    const std::pair<const char*, const QString*> texts[] = {{"subrole", &Ax::Attr::subrole},
                                                            {"title", &Ax::Attr::title},
                                                            {"description", &Ax::Attr::description},
                                                            {"identifier", &Ax::Attr::identifier}};
    for (const auto& [key, attribute] : texts)
        if (node.contains(QLatin1String(key)))
            e->set(*attribute, node.value(QLatin1String(key)).toString());
    if (node.contains(QStringLiteral("value"))) {
        const QJsonValue v = node.value(QStringLiteral("value"));
        if (v.isBool())
            e->set(Ax::Attr::value, v.toBool());
        else if (v.isDouble()) {
            const double d = v.toDouble();
            if (d == static_cast<double>(static_cast<std::int64_t>(d)))
                e->set(Ax::Attr::value, static_cast<std::int64_t>(d));
            else
                e->set(Ax::Attr::value, d);
        } else
            e->set(Ax::Attr::value, v.toString());
    }
    if (node.contains(QStringLiteral("enabled")))
        e->set(Ax::Attr::enabled, node.value(QStringLiteral("enabled")).toBool());
    if (node.contains(QStringLiteral("frame"))) {
        const QJsonObject f = node.value(QStringLiteral("frame")).toObject();
        e->frame = Rect{{f.value("x").toDouble(), f.value("y").toDouble()},
                        {f.value("width").toDouble(), f.value("height").toDouble()}};
    }
    for (const QJsonValue& child : node.value(QStringLiteral("children")).toArray())
        e->add(build(child.toObject()));
    QStringList actions;
    for (const QJsonValue& a : node.value(QStringLiteral("actions")).toArray())
        actions << a.toString();
    if (!actions.isEmpty())
        actions_[e.get()] = actions;
    return e;
}

SimElement* RecordedPlatform::own(const Element& e) const {
    auto* el = dynamic_cast<SimElement*>(e.get());
    return el && el->owner() == this ? el : nullptr;
}

QList<RunningApp> RecordedPlatform::runningApplications(const QString& bundleId) {
    if (bundleId != SimLogic::bundleId())
        return {};
    return {RunningApp{SimLogic::processId, bundleId}};
}

bool RecordedPlatform::activate(const RunningApp& app) {
    return app.pid == SimLogic::processId;
}

Element RecordedPlatform::applicationElement(std::int64_t pid) {
    return pid == SimLogic::processId ? Element(app_) : nullptr;
}

AttributeRead RecordedPlatform::attribute(const Element& element, const QString& name) {
    const SimElement* e = own(element);
    if (!e)
        return {AXResult::illegalArgument, {}};
    return e->read(name);
}

int RecordedPlatform::setAttribute(const Element& element, const QString&, const AXValue&) {
    return own(element) ? AXResult::attributeUnsupported : AXResult::illegalArgument;
}

int RecordedPlatform::performAction(const Element& element, const QString& action) {
    if (!own(element))
        return AXResult::illegalArgument;
    return actionNames(element).contains(action) ? AXResult::success : AXResult::actionUnsupported;
}

QStringList RecordedPlatform::actionNames(const Element& element) {
    const SimElement* e = own(element);
    if (!e)
        return {};
    const auto it = actions_.find(e);
    return it == actions_.end() ? QStringList() : it->second;
}

Rect RecordedPlatform::mainFrame() {
    return mainScreen;
}

Rect RecordedPlatform::visibleFrame() {
    return {{0, menuBar}, {mainScreen.size.width, mainScreen.size.height - menuBar}};
}

} // namespace Vantrel
