#ifndef ARCHIVE_OS_KERNELCOPY_H
#define ARCHIVE_OS_KERNELCOPY_H

#include <atomic>

namespace xcr {
inline namespace os {

// Where the kernel copies between files: where that is faster than a buffer (the
// default), wherever it can, or nowhere, as between file systems it cannot copy across.
enum class KernelCopy { WhereFaster, WhereverPossible, Never };

namespace internal {
inline std::atomic<KernelCopy> kernelCopyMode{KernelCopy::WhereFaster};
}  // namespace internal

inline void setKernelCopy(KernelCopy mode) {
    internal::kernelCopyMode.store(mode);
}
inline KernelCopy kernelCopy() {
    return internal::kernelCopyMode.load(std::memory_order_relaxed);
}

}  // namespace os
}  // namespace xcr

#endif  // ARCHIVE_OS_KERNELCOPY_H
