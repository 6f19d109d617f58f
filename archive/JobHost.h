#ifndef ARCHIVE_JOBHOST_H
#define ARCHIVE_JOBHOST_H

#include <string>

namespace xcr {

// What a background job asks of the window. A job calls these from its worker thread;
// the window carries each out on its own thread, in the order issued, and reads see the
// window's state at the moment of reading.
class JobHost {
public:
    virtual ~JobHost() = default;

    // The list: number of items, item text (the display name), check mark.
    virtual int entryCount() = 0;
    virtual std::string entryName(int index) = 0;
    virtual bool isChecked(int index) = 0;

    virtual void setProgressMax(int maximum) = 0;
    virtual void setProgress(int position) = 0;

    // Shows the folder chooser and waits for it; returns the extraction folder as it
    // stands when the chooser closes (the earlier choice after a cancel; empty if no
    // folder was ever confirmed in this run).
    virtual std::string chooseExtractionFolder() = 0;

    // The system's default alert sound.
    virtual void beep() = 0;

    // Enables Extract, Replace, the File menu and the list, in this order.
    virtual void releaseLock() = 0;
};

}  // namespace xcr

#endif  // ARCHIVE_JOBHOST_H
