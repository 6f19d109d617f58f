#ifndef ARCHIVE_PATHS_OUTPUTFILE_H
#define ARCHIVE_PATHS_OUTPUTFILE_H

#include <string>
#include <string_view>

#include "archive/os/File.h"
#include "archive/os/OutputFolder.h"

namespace xcr {
inline namespace paths {

// The output file of one entry. Its bytes go to a fresh temporary file in the folder,
// which takes the entry's safe file name only in commit(): whatever held the name before
// (a file, a hard link, a link dangling or not) is replaced, never opened or written
// through, and a file outside the folder is never reached. Until the commit the name is
// untouched; a file that is never committed is removed when this goes.
class OutputFile {
public:
    // Fails with "Cannot create file <folder><safe name>" when the name can mean no file
    // of the folder ("", ".", ".."), the folder could not be opened, or the temporary
    // file cannot be created.
    OutputFile(const OutputFolder& folder, std::string_view displayName);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Where the entry's bytes are written.
    File& file() { return file_; }
    // Closes the file and puts it in place of the name. A folder that holds a folder of
    // that name keeps it, and this fails with "Cannot create file %s".
    void commit();

private:
    const OutputFolder& folder_;
    std::string path_;
    std::string name_;
    std::string temporary_;
    File file_;
    bool committed_ = false;
};

}  // namespace paths
}  // namespace xcr

#endif  // ARCHIVE_PATHS_OUTPUTFILE_H
