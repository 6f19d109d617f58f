#ifndef CLI_UNDOLISTING_H
#define CLI_UNDOLISTING_H

#include <ostream>
#include <string>
#include <vector>

#include "archive/undo/UndoHistory.h"

namespace xcr {

// The archive's undo records, newest first, as a table with a heading: the step (1 is
// the save `xcrtool undo` undoes first), when the save was made, the bytes its record
// keeps and the entries it replaced by index and name; a record that cannot be undone
// says why. A line saying so when there are none.
void writeUndoHistory(std::ostream& out, const std::string& archive,
                      const std::vector<UndoStep>& steps);

// When a save was made, as local time.
std::string saveTimeText(std::int64_t seconds);

}  // namespace xcr

#endif  // CLI_UNDOLISTING_H
