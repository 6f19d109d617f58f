// Time from Open XCR until the entry list shows every item: of an archive of 100,000
// listed entries (directory only, one byte of data each), the fastest and the median of
// several openings; then of a hostile file, 20 GiB and almost all of it a hole, whose
// header declares 2^31 - 1 records (about four million fit in the first 2 GiB, which is
// all a reader of this format lists), with the program's peak memory. Run by hand.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/TForm1.h"
#include "tests/app/FakeServices.h"
#include "tests/support/XcrBuilder.h"

namespace {

// Opens `path` through the window and returns the milliseconds until the list is laid
// out and painted down to its last item, or a negative number when the opening failed.
double openAndShow(xcr::TForm1& form, xcr::test::FakeServices& fakes, const std::string& path) {
    fakes.OpenDialog1->replies.push_back(path);
    const auto start = std::chrono::steady_clock::now();
    form.OpenXCR1->trigger();
    form.CheckListBox1->scrollToBottom();
    form.CheckListBox1->viewport()->grab();
    QApplication::processEvents();
    const auto end = std::chrono::steady_clock::now();
    if (!fakes.messages->texts.empty()) {
        std::fprintf(stderr, "open failed: %s\n", fakes.messages->texts.front().c_str());
        return -1;
    }
    return std::chrono::duration<double, std::milli>(end - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    constexpr int kEntries = 100000;
    constexpr int kRuns = 7;

    xcr::test::TempDir dir;
    const std::string path = dir.file("big.xcr");
    xcr::test::XcrBuilder builder;
    for (int i = 0; i < kEntries; ++i) {
        builder.add("folder\\entry" + std::to_string(i) + ".bmp", xcr::test::Bytes{1});
    }
    builder.writeTo(path);
    const std::string hostile = dir.file("hostile.xcr");
    xcr::test::Bytes head = xcr::test::XcrBuilder().add("first.bmp", "x").build();
    xcr::test::putNumber(head, 20, 0x7FFFFFFF);
    xcr::test::writeFileBytes(hostile, head);
    if (::truncate(hostile.c_str(), std::int64_t{20} << 30) != 0) {
        std::fprintf(stderr, "cannot make the sparse file\n");
        return 1;
    }

    xcr::test::FakeServices fakes;
    xcr::TForm1 form(fakes.take());
    form.show();
    QApplication::processEvents();

    std::vector<double> millis;
    for (int run = 0; run < kRuns; ++run) {
        millis.push_back(openAndShow(form, fakes, path));
        if (millis.back() < 0 || form.CheckListBox1->count() != kEntries) {
            return 1;
        }
    }
    std::sort(millis.begin(), millis.end());
    std::printf("list fill, %d entries: fastest %.1f ms, median %.1f ms (%d runs)\n", kEntries,
                millis.front(), millis[millis.size() / 2], kRuns);

    const double hostileMillis = openAndShow(form, fakes, hostile);
    if (hostileMillis < 0) {
        return 1;
    }
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("hostile 20 GiB sparse file: %d entries listed in %.2f s, peak %.0f MiB\n",
                form.CheckListBox1->count(), hostileMillis / 1000,
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    std::printf("  targets: 100,000 entries < 1 s; hostile file within 20 s, peak < 400 MiB\n");
    return 0;
}
