#ifndef ARCHIVE_JOBS_REPLACEMENTTABLE_H
#define ARCHIVE_JOBS_REPLACEMENTTABLE_H

#include <map>
#include <string>
#include <vector>

#include "archive/jobs/Replacement.h"

namespace xcr {
inline namespace jobs {

// The files chosen to replace entries of the open archive. Only replaced entries take
// room, so every entry of any archive can be replaced. Opening an archive clears it;
// a save leaves it as it is, so the next save writes the same files again.
class ReplacementTable {
public:
    void clear() { replaced_.clear(); }
    // Records `path` for entry `index` (the last choice counts), and the file it led to.
    void record(int index, const std::string& path, FileIdentity source = {});
    // Forgets the file recorded for entry `index`: the next save leaves the entry alone.
    void remove(int index) { replaced_.erase(index); }

    bool isReplaced(int index) const { return replaced_.count(index) != 0; }
    // The file recorded for entry `index`, or an empty text.
    std::string path(int index) const;
    // The replaced entries in entry order.
    std::vector<Replacement> list() const;

private:
    std::map<int, Replacement> replaced_;
};

}  // namespace jobs
}  // namespace xcr

#endif  // ARCHIVE_JOBS_REPLACEMENTTABLE_H
