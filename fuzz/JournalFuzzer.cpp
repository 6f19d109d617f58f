// Feeds arbitrary bytes to the journal reader as the journal beside an archive. The
// header is decoded as it stands; a header that decodes is then made to name the archive
// (its identity and name patched in, its checksum made anew), so that the body reader
// and the check against the archive are reached too. Nothing is ever applied.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/format/XcrLayout.h"
#include "archive/store/HeldArchive.h"

namespace {

struct Scene {
    std::string folder;
    xcr::HeldArchive archive;
};

// An archive of two entries in a private folder, held for the whole run.
Scene& scene() {
    static Scene* made = [] {
        auto* s = new Scene;
        char pattern[] = "/tmp/journal-fuzz-XXXXXX";
        s->folder = ::mkdtemp(pattern);
        std::vector<unsigned char> bytes(3000, 0);
        xcr::layout::writeNumber(bytes.data() + xcr::layout::kRecordCountPos, 3);
        xcr::layout::writeNumber(bytes.data() + xcr::layout::kTotalSizePos, 3000);
        xcr::layout::writeNumber(bytes.data() + xcr::layout::offsetPos(0), 2000);
        xcr::layout::writeNumber(bytes.data() + xcr::layout::offsetPos(0) + 4, 500);
        xcr::layout::writeNumber(bytes.data() + xcr::layout::offsetPos(1), 2500);
        xcr::layout::writeNumber(bytes.data() + xcr::layout::offsetPos(1) + 4, 500);
        const std::string path = s->folder + "/a.xcr";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != 3000 || ::close(fd) != 0) {
            std::abort();
        }
        s->archive = xcr::HeldArchive::open(path, xcr::HeldArchive::Access::Read);
        return s;
    }();
    return *made;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Scene& s = scene();
    std::vector<unsigned char> bytes(data, data + size);
    xcr::journal::Header header;
    const auto state = xcr::journal::decodeHeader(bytes.data(), bytes.size(), header);
    if (state == xcr::journal::HeaderState::Checked) {
        const xcr::journal::Header own = s.archive.journalHeader();
        header.archive = own.archive;
        header.archiveName = own.archiveName;
        const auto patched = xcr::journal::encodeHeader(header);
        std::copy(patched.begin(), patched.end(), bytes.begin());
    }
    const std::string journal = s.archive.journalPath();
    const int fd = ::open(journal.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        ::close(fd) != 0) {
        std::abort();
    }
    (void)s.archive.describeJournal();
    return 0;
}
