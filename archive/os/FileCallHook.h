#ifndef ARCHIVE_OS_FILECALLHOOK_H
#define ARCHIVE_OS_FILECALLHOOK_H

#include <atomic>

namespace xcr {
inline namespace os {

// Where tests step into the file layer. Before each of its calls that can fail (open,
// create, read, write, copy, flush, status, truncate, checked close, delete, rename), the
// layer asks the installed hook whether this call fails; a hook may also stop the process
// there, as a crash would. The programs install none: a call then costs one relaxed load.
class FileCallHook {
public:
    using Hook = bool (*)();

    static void install(Hook hook) { hook_.store(hook); }
    static bool failNow() {
        const Hook hook = hook_.load(std::memory_order_relaxed);
        return hook != nullptr && hook();
    }

private:
    static inline std::atomic<Hook> hook_{nullptr};
};

}  // namespace os
}  // namespace xcr

#endif  // ARCHIVE_OS_FILECALLHOOK_H
