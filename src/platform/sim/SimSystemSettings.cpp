#include "platform/sim/SimSystemSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

#include <utility>
#include <vector>

namespace Vantrel {

namespace {

const QString kAccessibility = QStringLiteral("accessibility");

} // namespace

QString SimSystemSettings::programName() {
    return QStringLiteral("Vantrel");
}

QString SimSystemSettings::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vantrel-sim/system-settings.json");
}

SimSystemSettings::SimSystemSettings(QString path) : path_(std::move(path)) {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonObject list =
        QJsonDocument::fromJson(file.readAll()).object().value(kAccessibility).toObject();
    for (auto it = list.begin(); it != list.end(); ++it)
        if (it.value().isBool())
            accessibility_[it.key()] = it.value().toBool();
}

QStringList SimSystemSettings::accessibilityList() const {
    std::lock_guard lock(mutex_);
    QStringList list{programName()};
    for (const auto& [program, allowed] : accessibility_)
        if (program != programName())
            list.append(program);
    return list;
}

bool SimSystemSettings::accessibilityAllowed(const QString& program) const {
    std::lock_guard lock(mutex_);
    const auto it = accessibility_.find(program);
    return it != accessibility_.end() && it->second;
}

void SimSystemSettings::setAccessibilityAllowed(const QString& program, bool allowed) {
    std::vector<std::function<void()>> observers;
    {
        std::lock_guard lock(mutex_);
        accessibility_[program] = allowed;
        write();
        for (const auto& [handle, f] : observers_)
            observers.push_back(f);
    }
    for (const auto& f : observers)
        f();
}

int SimSystemSettings::observe(std::function<void()> f) {
    std::lock_guard lock(mutex_);
    const int handle = nextHandle_++;
    observers_[handle] = std::move(f);
    return handle;
}

void SimSystemSettings::unobserve(int handle) {
    std::lock_guard lock(mutex_);
    observers_.erase(handle);
}

void SimSystemSettings::write() const {
    QJsonObject list;
    for (const auto& [program, allowed] : accessibility_)
        list.insert(program, allowed);
    QJsonObject root;
    root.insert(kAccessibility, list);

    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(QJsonDocument(root).toJson(QJsonDocument::Indented));
    file.commit();
}

} // namespace Vantrel
