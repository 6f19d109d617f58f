#ifndef CLI_ENTRYTOSTANDARDOUTPUT_H
#define CLI_ENTRYTOSTANDARDOUTPUT_H

#include "archive/format/EntryTable.h"
#include "archive/os/File.h"

namespace xcr {

// Writes the data of one entry of `archive` to standard output through a bounded buffer.
// Data past the end of the archive fails naming the archive and where the data ends, once
// the bytes before are written; a failed write with "Cannot write to standard output" and
// the reason, or, when its reader went away, quietly with kClosedOutputStatus.
void writeEntryToStandardOutput(File& archive, EntryTable::Placement placement);

}  // namespace xcr

#endif  // CLI_ENTRYTOSTANDARDOUTPUT_H
