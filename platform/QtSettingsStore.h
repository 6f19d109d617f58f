#ifndef PLATFORM_QTSETTINGSSTORE_H
#define PLATFORM_QTSETTINGSSTORE_H

#include <QSettings>

#include "platform/SettingsStore.h"

namespace xcr {

// The toolkit's settings of the program (on this desktop, an ini file in the user's
// configuration folder). Values are the bytes given, kept as they are.
class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();

    std::string value(const std::string& key) const override;
    void setValue(const std::string& key, const std::string& value) override;

private:
    QSettings settings_;
};

}  // namespace xcr

#endif  // PLATFORM_QTSETTINGSSTORE_H
