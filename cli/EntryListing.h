#ifndef CLI_ENTRYLISTING_H
#define CLI_ENTRYLISTING_H

#include <ostream>

#include "archive/format/EntryTable.h"

namespace xcr {

// Every listed entry as a table with a heading: index, data offset, data size, display
// name and stored name, one line each, the names as the window shows them.
void writeEntryTable(std::ostream& out, const EntryTable& entries);

// The same as a JSON array of objects with the fields index, name (the display name),
// stored_name, offset and size.
void writeEntryJson(std::ostream& out, const EntryTable& entries);

}  // namespace xcr

#endif  // CLI_ENTRYLISTING_H
