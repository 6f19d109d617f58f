#include "archive/patch/PatchFit.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <set>

#include "archive/jobs/ReplacementSource.h"
#include "archive/os/Failure.h"
#include "archive/os/Folder.h"
#include "archive/patch/PatchStreams.h"

namespace xcr {
inline namespace patch {

bool PatchFit::fits() const {
    return count(State::Differs) + count(State::Missing) + count(State::Ambiguous) == 0;
}

int PatchFit::count(State state) const {
    return static_cast<int>(std::count_if(
        items.begin(), items.end(), [state](const Item& item) { return item.state == state; }));
}

std::string PatchFit::refusal(const PatchFile& patch, const std::string& archive,
                              const std::function<std::string(std::string_view)>& shown) const {
    std::string clauses;
    for (const Item& item : items) {
        const PatchEntry& entry = patch.entries().at(item.patchEntry);
        const std::string name = "\"" + shown(entry.storedName) + "\"";
        std::string clause;
        switch (item.state) {
            case State::Differs:
                clause = "entry " + std::to_string(item.index) + " " + name +
                         " holds neither the bytes the patch was made from nor the patch's";
                break;
            case State::Missing:
                clause = "no entry is named " + name;
                break;
            case State::Ambiguous:
                clause = "several entries are named " + name + ", none of them entry " +
                         std::to_string(entry.index);
                break;
            default:
                continue;
        }
        clauses += (clauses.empty() ? "" : "; ") + clause;
    }
    if (clauses.empty()) {
        return {};
    }
    return "Cannot apply " + patch.path() + " to " + archive + ": " + clauses + kLeftUnchanged;
}

PatchFit fitPatch(const PatchFile& patch, HeldArchive& archive, const EntryTable& entries) {
    const std::vector<PatchEntry>& wanted = patch.entries();
    // One pass over the archive's names finds every entry of a name the patch has.
    std::map<std::string_view, std::vector<int>> named;
    for (const PatchEntry& entry : wanted) {
        named[entry.storedName];
    }
    for (int i = 0; i < entries.count(); ++i) {
        const auto found = named.find(entries.storedName(i));
        if (found != named.end()) {
            found->second.push_back(i);
        }
    }
    PatchFit fit;
    std::set<int> taken;
    for (std::size_t p = 0; p < wanted.size(); ++p) {
        const PatchEntry& entry = wanted[p];
        const std::vector<int>& candidates = named[entry.storedName];
        PatchFit::Item item{p, -1, PatchFit::State::Missing};
        if (candidates.size() == 1) {
            item.index = candidates.front();
        } else if (std::find(candidates.begin(), candidates.end(), entry.index) !=
                   candidates.end()) {
            item.index = entry.index;
        } else if (!candidates.empty()) {
            item.state = PatchFit::State::Ambiguous;
        }
        if (item.index >= 0 && !taken.insert(item.index).second) {
            item = {p, -1, PatchFit::State::Ambiguous};
        }
        if (item.index >= 0) {
            const EntryTable::Placement placement = entries.placement(item.index);
            item.state = PatchFit::State::Differs;
            if (placement.offset >= 0 &&
                (placement.size == entry.size || placement.size == entry.originalSize)) {
                const std::uint64_t sum = [&]() -> std::uint64_t {
                    try {
                        return streamRange(archive.file(), placement.offset, placement.size);
                    } catch (const Failure&) {
                        throw Failure("Cannot read " + archive.path() + ": the data of entry " +
                                      std::to_string(item.index) + " runs past its end");
                    }
                }();
                if (placement.size == entry.size && sum == entry.checksum) {
                    item.state = PatchFit::State::Applied;
                } else if (placement.size == entry.originalSize && sum == entry.originalChecksum) {
                    item.state = PatchFit::State::Replace;
                }
            }
        }
        fit.items.push_back(item);
    }
    return fit;
}

std::vector<Replacement> stagePatch(PatchFile& patch, const PatchFit& fit,
                                    const OutputFolder& folder) {
    static std::atomic<int> staged{0};
    std::vector<std::string> written;
    std::vector<Replacement> replacements;
    try {
        if (!folder.isOpen()) {
            throw Failure(noStagingFolderText(folder.path()));
        }
        for (const PatchFit::Item& item : fit.items) {
            if (item.state != PatchFit::State::Replace) {
                continue;
            }
            const std::string name = "patch-" + std::to_string(::getpid()) + "-" +
                                     std::to_string(++staged) + "-" + std::to_string(item.index);
            const std::string path = folder.path() + "/" + name;
            File file = File::createPrivate(folder.fd(), name, path);
            written.push_back(name);
            patch.copyEntry(item.patchEntry, file);
            file.closeWritten();
            replacements.push_back({item.index, path, identifyReplacement(path)});
        }
    } catch (...) {
        for (const std::string& name : written) {
            folder.remove(name);
        }
        throw;
    }
    std::sort(replacements.begin(), replacements.end(),
              [](const Replacement& a, const Replacement& b) { return a.index < b.index; });
    return replacements;
}

void sweepStaged(const OutputFolder& folder, const std::vector<Replacement>& kept) {
    if (!folder.isOpen()) {
        return;
    }
    std::set<std::string> keptPaths;
    for (const Replacement& replacement : kept) {
        keptPaths.insert(replacement.path);
    }
    for (const std::string& name : namesOrNone(folder.fd())) {
        if (keptPaths.count(folder.path() + "/" + name) == 0) {
            folder.remove(name);
        }
    }
}

}  // namespace patch
}  // namespace xcr
