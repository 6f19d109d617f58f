// About rolls the popup up at the bottom right of the screen; its "close" link hides it.
#include <gtest/gtest.h>

#include "tests/e2e/Deadline.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/EndToEndTest.h"
#include "tests/e2e/Pixels.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace xcr::e2e {
namespace {

using AboutPopup = EndToEndTest;

const QSize kPopupSize(200, 224);
constexpr int kRightMargin = 20;

// The popup window, once it is shown.
std::string findPopup(ProgramUnderTest& program, std::chrono::milliseconds timeout) {
    std::string popup;
    pollUntil(timeout, [&] {
        for (const auto& window : Desktop::windows(program.pid(), ".*")) {
            const auto place = Desktop::geometry(window);
            if (place && place->size() == kPopupSize) {
                popup = window;
                return true;
            }
        }
        return false;
    });
    return popup;
}

// The popup's places on the screen from its first appearance until it has stood still
// for a while (it moves every 50 ms while it rises); empty when it never came to rest.
std::vector<QRect> watchRollUp(ProgramUnderTest& program) {
    const std::string popup = findPopup(program, 5000ms);
    if (popup.empty()) {
        return {};
    }
    std::vector<QRect> places;
    auto stillSince = std::chrono::steady_clock::now();
    const bool settled = pollUntil(
        5000ms,
        [&] {
            const auto place = Desktop::geometry(popup);
            if (place && (places.empty() || places.back() != *place)) {
                places.push_back(*place);
                stillSince = std::chrono::steady_clock::now();
            }
            return std::chrono::steady_clock::now() - stillSince > 400ms;
        },
        5ms);
    return settled ? places : std::vector<QRect>{};
}

bool linkBlue(QRgb colour) {
    return qBlue(colour) > 170 && qRed(colour) < 90 && qGreen(colour) < 90;
}

// The "close" link is the lowest line of blue link text in the popup.
QRect closeLink(const QImage& popup) {
    int lowest = -1;
    for (int y = 0; y < popup.height(); ++y) {
        for (int x = 0; x < popup.width(); ++x) {
            if (linkBlue(popup.pixel(x, y))) {
                lowest = y;
            }
        }
    }
    QRect link;
    for (int y = std::max(0, lowest - 12); y <= lowest; ++y) {
        for (int x = 0; x < popup.width(); ++x) {
            if (linkBlue(popup.pixel(x, y))) {
                link |= QRect(x, y, 1, 1);
            }
        }
    }
    return link;
}

void expectRoseToTheBottomRight(const std::vector<QRect>& places, const QSize& screen) {
    ASSERT_GE(places.size(), 3u) << "the popup did not rise in steps";
    const QRect final = places.back();
    EXPECT_EQ(final.right() + 1, screen.width() - kRightMargin);
    // Its bottom stands on the usable screen's bottom, less at most one caption bar.
    EXPECT_LE(final.bottom() + 1, screen.height());
    EXPECT_GE(final.bottom() + 1, screen.height() - 64);
    for (std::size_t i = 1; i < places.size(); ++i) {
        EXPECT_EQ(places[i].left(), final.left());
        EXPECT_LT(places[i].top(), places[i - 1].top()) << "step " << i << " did not rise";
    }
    EXPECT_GE(places.front().top(), final.top() + 20) << "it was first seen in its final place";
}

TEST_F(AboutPopup, RisesAtTheBottomRightAndCloseLinkHidesIt) {
    ProgramUnderTest program;
    const QSize screen = Desktop::screenshot().size();

    program.chooseAbout();
    const auto places = watchRollUp(program);
    ASSERT_FALSE(places.empty()) << "no popup of 200 x 224 came to rest";
    expectRoseToTheBottomRight(places, screen);

    // Sky blue on the left fading to white on the right.
    const QRect popupRect = places.back();
    const QImage popup = Desktop::screenshot().copy(popupRect);
    EXPECT_TRUE(pixels::near(popup.pixel(6, 120), qRgb(166, 202, 240), 24));
    EXPECT_TRUE(pixels::near(popup.pixel(193, 120), qRgb(253, 254, 255), 24));

    const QRect link = closeLink(popup);
    ASSERT_FALSE(link.isEmpty()) << "no link text found in the popup";
    EXPECT_GT(link.top(), popupRect.height() / 2) << "the close link is not low in the popup";
    Desktop::click(popupRect.topLeft() + link.center());
    EXPECT_TRUE(pollUntil(3000ms, [&] { return findPopup(program, 0ms).empty(); }))
        << "the close link did not hide the popup";
    EXPECT_TRUE(program.running());

    // About again rolls it up anew from the bottom.
    program.chooseAbout();
    const auto again = watchRollUp(program);
    ASSERT_FALSE(again.empty()) << "About did not show the popup again";
    expectRoseToTheBottomRight(again, screen);
}

}  // namespace
}  // namespace xcr::e2e
