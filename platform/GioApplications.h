#ifndef PLATFORM_GIOAPPLICATIONS_H
#define PLATFORM_GIOAPPLICATIONS_H

#include "platform/Applications.h"

namespace xcr {

// The desktop's registry of applications as GLib's GIO reads it (the desktop entries and
// the MIME associations), and its launching of them.
class GioApplications final : public Applications {
public:
    std::vector<DesktopApplication> forFile(const std::string& path) override;
    std::string launch(const std::string& id, const std::string& path) override;
};

}  // namespace xcr

#endif  // PLATFORM_GIOAPPLICATIONS_H
