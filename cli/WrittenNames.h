#ifndef CLI_WRITTENNAMES_H
#define CLI_WRITTENNAMES_H

#include <ostream>

#include "archive/format/EntryTable.h"
#include "archive/jobs/JobProgress.h"

namespace xcr {

// The progress of an extraction told as the names of the files it writes, one a line,
// each once its entry is complete: what -v shows. Names are given as they are in the
// folder, under the folders of their stored names when those are written too.
class WrittenNames : public JobProgress {
public:
    WrittenNames(const EntryTable& entries, std::ostream& out, bool folderParts)
        : entries_(entries), out_(out), folderParts_(folderParts) {}

    void setMaximum(int) override {}
    // The extraction reports an entry's index once its file has taken its name.
    void setPosition(int index) override;
    void beep() override {}

private:
    const EntryTable& entries_;
    std::ostream& out_;
    bool folderParts_;
};

}  // namespace xcr

#endif  // CLI_WRITTENNAMES_H
