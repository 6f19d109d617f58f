#ifndef PLATFORM_SETTINGSSTORE_H
#define PLATFORM_SETTINGSSTORE_H

#include <string>

namespace xcr {

// The desktop's store of a program's settings, kept across runs: texts by key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The text kept under `key`, or an empty text.
    virtual std::string value(const std::string& key) const = 0;
    virtual void setValue(const std::string& key, const std::string& value) = 0;
};

}  // namespace xcr

#endif  // PLATFORM_SETTINGSSTORE_H
