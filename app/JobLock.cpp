#include "app/JobLock.h"

namespace xcr {

JobLock::JobLock(QList<QWidget*> controls) {
    for (auto* control : controls) {
        controls_.append(control);
    }
}

bool JobLock::take() {
    const bool wasFree = !held_;
    held_ = true;
    for (const auto& control : controls_) {
        if (control) {
            control->setEnabled(false);
        }
    }
    return wasFree;
}

void JobLock::release() {
    held_ = false;
    for (const auto& control : controls_) {
        if (control) {
            control->setEnabled(true);
        }
    }
}

}  // namespace xcr
