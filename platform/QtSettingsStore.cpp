#include "platform/QtSettingsStore.h"

namespace xcr {

QtSettingsStore::QtSettingsStore()
    : settings_(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("pelloran"),
                QStringLiteral("pelloran")) {}

std::string QtSettingsStore::value(const std::string& key) const {
    return settings_.value(QString::fromStdString(key)).toByteArray().toStdString();
}

void QtSettingsStore::setValue(const std::string& key, const std::string& value) {
    settings_.setValue(QString::fromStdString(key), QByteArray::fromStdString(value));
    settings_.sync();
}

}  // namespace xcr
