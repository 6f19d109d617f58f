// The whole window opening a hostile file: 20 GiB, almost all of it a hole, whose header
// declares 2^31 - 1 records. About four million records fit in the first 2 GiB, which is
// all a reader of this format lists. Prints the time until the list shows its last item,
// and the program's peak memory. Run by hand.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/TForm1.h"
#include "tests/app/FakeServices.h"
#include "tests/support/XcrBuilder.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    xcr::test::TempDir dir;
    const std::string path = dir.file("hostile.xcr");
    xcr::test::Bytes head = xcr::test::XcrBuilder().add("first.bmp", "x").build();
    xcr::test::putNumber(head, 20, 0x7FFFFFFF);
    xcr::test::writeFileBytes(path, head);
    if (::truncate(path.c_str(), std::int64_t{20} << 30) != 0) {
        std::fprintf(stderr, "bench: cannot make the sparse file\n");
        return 1;
    }

    xcr::test::FakeServices fakes;
    xcr::TForm1 form(fakes.take());
    form.show();
    QApplication::processEvents();
    fakes.OpenDialog1->replies.push_back(path);
    const auto start = std::chrono::steady_clock::now();
    form.OpenXCR1->trigger();
    form.CheckListBox1->scrollToBottom();
    form.CheckListBox1->viewport()->grab();
    QApplication::processEvents();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!fakes.messages->texts.empty()) {
        std::fprintf(stderr, "bench: %s\n", fakes.messages->texts.front().c_str());
        return 1;
    }
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("hostile 20 GiB sparse file: %d entries listed in %.2f s, peak %.0f MiB\n",
                form.CheckListBox1->count(), seconds,
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    std::printf("  targets: within 20 s, peak under 400 MiB\n");
    return 0;
}
