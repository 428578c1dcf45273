#include "app/Settings.h"

#include <QSettings>
#include <QString>
#include <QVariant>

namespace Vantrel::Settings {

namespace {

const QString kWalkthroughDone = QStringLiteral("walkthroughDone");
const QString kOrganizeInPlace = QStringLiteral("organizeInPlace");

QSettings store() {
    return QSettings(QStringLiteral("Vantrel"), QStringLiteral("Vantrel"));
}

bool readBool(const QString& key, bool fallback) {
    const QVariant value = store().value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    // The settings file on Linux keeps every value as text.
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text == QLatin1String("true"))
            return true;
        if (text == QLatin1String("false"))
            return false;
    }
    return fallback;
}

void writeBool(const QString& key, bool value) {
    store().setValue(key, value);
}

} // namespace

bool walkthroughDone() {
    return readBool(kWalkthroughDone, false);
}

void setWalkthroughDone(bool done) {
    writeBool(kWalkthroughDone, done);
}

bool organizeInPlace() {
    return readBool(kOrganizeInPlace, true);
}

void setOrganizeInPlace(bool inPlace) {
    writeBool(kOrganizeInPlace, inPlace);
}

} // namespace Vantrel::Settings
