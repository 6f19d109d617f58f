#ifndef ARCHIVE_JOBS_JOBPROGRESS_H
#define ARCHIVE_JOBS_JOBPROGRESS_H

namespace xcr {
inline namespace jobs {

// What a running job reports while it works, from its worker thread: the range and the
// position of its progress, and the save's alert sound. The receiver carries each report out
// in the order given; none of them is waited for.
class JobProgress {
public:
    virtual ~JobProgress() = default;

    virtual void setMaximum(int maximum) = 0;
    virtual void setPosition(int position) = 0;
    virtual void beep() = 0;
};

}  // namespace jobs
}  // namespace xcr

#endif  // ARCHIVE_JOBS_JOBPROGRESS_H
