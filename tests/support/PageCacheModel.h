#ifndef TESTS_SUPPORT_PAGECACHEMODEL_H
#define TESTS_SUPPORT_PAGECACHEMODEL_H

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/XcrBuilder.h"

namespace xcr::test {

// The files and folders under some folders: each one's path to its bytes, none for a folder.
using Tree = std::map<std::string, std::optional<Bytes>>;

// Makes what lies at `under` + each root exactly `tree`. A file whose name stays keeps its
// inode, as it does through a power cut: a journal and an undo record name their archive
// by its inode.
void writeTree(const Tree& tree, const std::vector<std::string>& roots,
               const std::string& under = {});

// One state the disk can be left in by a power cut.
struct PowerCut {
    std::string when;       // the call it came after, and how the unflushed writes fared
    bool afterEnd = false;  // the work had returned
    Tree tree;
};

// Runs `work` with the core's system calls passed through a model of the kernel's page
// cache, and returns every different state of `roots` a power cut after any of those calls
// can leave: each file as its last flush left it (as it was before the work, if never
// flushed), with any of the sectors written since; each folder's names as its last flush
// left them, with the first few of the changes made since, in order, as a journaled file
// system commits them. Per call, four choices: nothing unflushed kept, everything kept,
// and two at random. `ownProcess` runs the work in a child process, so that once it ends
// an undo record's part, named after its writing process, is one a crash cut off.
std::vector<PowerCut> powerCutsOf(const std::vector<std::string>& roots,
                                  const std::function<void()>& work, bool ownProcess = false);

}  // namespace xcr::test

#endif  // TESTS_SUPPORT_PAGECACHEMODEL_H
