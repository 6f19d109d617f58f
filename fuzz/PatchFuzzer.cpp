// Feeds arbitrary bytes to the mod patch reader as a patch file: the header and table are
// decoded and bounded, every entry's bytes are streamed and checked, and a patch that
// reads is matched against a small archive, as apply would before it writes anything.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/format/XcrLayout.h"
#include "archive/os/Failure.h"
#include "archive/patch/PatchFile.h"
#include "archive/patch/PatchFit.h"
#include "archive/store/OpenedArchive.h"

namespace {

struct Scene {
    std::string folder;
    xcr::OpenedArchive archive;
};

void writeFile(const std::string& path, const std::uint8_t* bytes, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0 || ::write(fd, bytes, size) != static_cast<ssize_t>(size) || ::close(fd) != 0) {
        std::abort();
    }
}

// An archive of two entries named "a" and one named "b", held for the whole run.
Scene& scene() {
    static Scene* made = [] {
        auto* s = new Scene;
        char pattern[] = "/tmp/patch-fuzz-XXXXXX";
        s->folder = ::mkdtemp(pattern);
        namespace layout = xcr::layout;
        std::vector<unsigned char> bytes(3000, 7);
        std::fill(bytes.begin(), bytes.begin() + layout::recordPos(4), 0);
        layout::writeNumber(bytes.data() + layout::kRecordCountPos, 4);
        layout::writeNumber(bytes.data() + layout::kTotalSizePos, 3000);
        const char* names[] = {"a", "a", "b"};
        for (int i = 0; i < 3; ++i) {
            bytes[layout::recordPos(i)] = static_cast<unsigned char>(names[i][0]);
            layout::writeNumber(bytes.data() + layout::offsetPos(i), 2400 + 200 * i);
            layout::writeNumber(bytes.data() + layout::offsetPos(i) + 4, 200);
        }
        const std::string path = s->folder + "/a.xcr";
        writeFile(path, bytes.data(), bytes.size());
        s->archive = xcr::openArchive(path);
        return s;
    }();
    return *made;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Scene& s = scene();
    const std::string path = s.folder + "/p.xcrpatch";
    writeFile(path, data, size);
    try {
        xcr::PatchFile patch = xcr::PatchFile::open(path);
        patch.verify();
        const xcr::PatchFit fit = xcr::fitPatch(patch, s.archive.archive, s.archive.entries);
        (void)fit.refusal(patch, "a.xcr", [](std::string_view name) { return std::string(name); });
    } catch (const xcr::Failure&) {
        // A refusal is the expected answer to most inputs.
    }
    return 0;
}
