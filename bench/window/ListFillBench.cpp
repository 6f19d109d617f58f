// Time from Open XCR until the entry list shows every item of an archive of 100,000
// listed entries (directory only, one byte of data each). Run by hand; prints the
// fastest and the median of several openings.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/TForm1.h"
#include "tests/app/FakeServices.h"
#include "tests/support/XcrBuilder.h"

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

    xcr::test::FakeServices fakes;
    xcr::TForm1 form(fakes.take());
    form.show();
    QApplication::processEvents();

    std::vector<double> millis;
    for (int run = 0; run < kRuns; ++run) {
        fakes.OpenDialog1->replies.push_back(path);
        const auto start = std::chrono::steady_clock::now();
        form.OpenXCR1->trigger();
        // Shown means laid out and painted, down to the last item.
        form.CheckListBox1->scrollToBottom();
        form.CheckListBox1->viewport()->grab();
        QApplication::processEvents();
        const auto end = std::chrono::steady_clock::now();
        if (form.CheckListBox1->count() != kEntries || !fakes.messages->texts.empty()) {
            std::fprintf(stderr, "open failed\n");
            return 1;
        }
        millis.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(millis.begin(), millis.end());
    std::printf("list fill, %d entries: fastest %.1f ms, median %.1f ms (%d runs)\n", kEntries,
                millis.front(), millis[millis.size() / 2], kRuns);
    return 0;
}
