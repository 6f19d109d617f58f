// Opening the demo archive through the real Open XCR dialog, and the window's layout.
#include <gtest/gtest.h>

#include "tests/e2e/Deadline.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/EndToEndTest.h"
#include "tests/e2e/Layout.h"
#include "tests/e2e/Pixels.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace xcr::e2e {
namespace {

using OpenArchive = EndToEndTest;

constexpr int kDemoEntries = 4;
constexpr int kDark = 110;  // text is darker than this in every channel

// Whether list row `row` shows a name: dark text right of the check box.
bool rowHasText(const QImage& client, int row) {
    const QRect text(24, Layout::listRow(row).top() + 1, 150, 11);
    for (int y = text.top(); y <= text.bottom(); ++y) {
        for (int x = text.left(); x <= text.right(); ++x) {
            const QRgb colour = client.pixel(x, y);
            if (qRed(colour) < kDark && qGreen(colour) < kDark && qBlue(colour) < kDark) {
                return true;
            }
        }
    }
    return false;
}

// A check: the list shows names in its first `rows` rows and none below.
ClientCheck listShows(int rows) {
    return [rows](const QImage& client) {
        int shown = 0;
        while (shown < 20 && rowHasText(client, shown)) {
            ++shown;
        }
        return shown == rows ? Faults{}
                             : Faults{"the list shows " + std::to_string(shown) + " names, not " +
                                      std::to_string(rows)};
    };
}

bool titleIs(ProgramUnderTest& program, const std::string& expected) {
    return pollUntil(5000ms, [&] { return program.title() == expected; });
}

TEST_F(OpenArchive, TypedPathOpensTheArchiveAndFillsTheList) {
    ProgramUnderTest program;
    EXPECT_EQ(program.title(), "Pelloran Plus 3");
    ASSERT_TRUE(program.settlesOn(listShows(0))) << "at start";

    program.openArchive(program.archivePath());

    EXPECT_TRUE(titleIs(program, "Pelloran Plus 3 - demo.xcr")) << program.title();
    EXPECT_TRUE(program.settlesOn(listShows(kDemoEntries)));
}

TEST_F(OpenArchive, WindowShowsEveryControlInItsPlace) {
    ProgramUnderTest program;
    program.openArchive(program.archivePath());
    ASSERT_TRUE(titleIs(program, "Pelloran Plus 3 - demo.xcr")) << program.title();

    EXPECT_TRUE(program.settlesOn([](const QImage& client) {
        Faults faults = Layout::faults(client);
        for (const auto& fault : listShows(kDemoEntries)(client)) {
            faults.push_back(fault);
        }
        return faults;
    }));
}

TEST_F(OpenArchive, WindowOpensCentredByItsFrame) {
    ProgramUnderTest program;
    const auto frame = Desktop::frameGeometry(program.mainWindow());
    ASSERT_TRUE(frame.has_value());
    const QSize screen = Desktop::screenshot().size();
    const QPoint offCentre = frame->center() - QRect(QPoint(0, 0), screen).center();
    EXPECT_LE(offCentre.manhattanLength(), 1) << offCentre.x() << ", " << offCentre.y();
}

TEST_F(OpenArchive, NameTypedWithoutExtensionGetsXcrAppended) {
    ProgramUnderTest program;
    const std::string path = program.archivePath();
    program.openArchive(path.substr(0, path.size() - 4));

    EXPECT_TRUE(titleIs(program, "Pelloran Plus 3 - demo.xcr")) << program.title();
    EXPECT_TRUE(program.settlesOn(listShows(kDemoEntries)));
}

}  // namespace
}  // namespace xcr::e2e
