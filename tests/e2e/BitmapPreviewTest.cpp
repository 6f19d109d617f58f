// A click on the bitmap entry previews it; zoom, fit and dragging move what is shown.
#include <gtest/gtest.h>

#include "tests/e2e/ArchiveImage.h"
#include "tests/e2e/Deadline.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/EndToEndTest.h"
#include "tests/e2e/Layout.h"
#include "tests/e2e/Pixels.h"
#include "tests/e2e/ProgramUnderTest.h"

namespace xcr::e2e {
namespace {

using BitmapPreview = EndToEndTest;

constexpr int kHills = 0;
constexpr int kZoomIn = 6;
constexpr int kFitToWindow = 8;
constexpr int kZoomOneToOne = 9;

QImage hillsPicture(const std::string& archivePath) {
    const ArchiveImage archive(test::readFileBytes(archivePath));
    const test::Bytes data = archive.data(archive.entries()[kHills]);
    return QImage::fromData(data.data(), static_cast<int>(data.size()), "BMP")
        .convertToFormat(QImage::Format_RGB32);
}

// What the picture area shows, checked against the expected picture at `place`.
class PictureArea {
public:
    explicit PictureArea(QImage picture) : picture_(std::move(picture)) {}

    // The picture at its natural size, pixel for pixel, and background around it.
    bool showsExactly(const QImage& client, QPoint offset) {
        const QPoint at = Layout::kPictureArea.topLeft() + offset;
        const QRect drawn(at, picture_.size());
        report_ = Layout::faults(client, drawn);
        const int unlike = pixels::mismatches(client, at, picture_);
        if (unlike > 0) {
            report_.push_back(std::to_string(unlike) + " picture pixels differ");
        }
        return report_.empty();
    }

    // The picture scaled to `size` at the area's top-left corner. The filtering is the
    // program's choice, so each pixel is compared within a tolerance with the picture
    // scaled both ways, and a few edge pixels may differ.
    bool showsScaled(const QImage& client, QSize size) {
        const QRect drawn(Layout::kPictureArea.topLeft(), size);
        report_ = Layout::faults(client, drawn);
        const QImage sharp = picture_.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        const QImage smooth =
            picture_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const int limit = size.width() * size.height() / 20;
        const int unlike = std::min(pixels::mismatches(client, drawn.topLeft(), sharp, 40),
                                    pixels::mismatches(client, drawn.topLeft(), smooth, 40));
        if (unlike > limit) {
            report_.push_back(std::to_string(unlike) + " of the scaled picture's pixels differ");
        }
        const QRect extent =
            pixels::extentUnlike(client, Layout::kPictureArea, client.pixel(Layout::kGap.center()));
        if (extent != drawn) {
            report_.push_back("drawn over " + std::to_string(extent.width()) + "x" +
                              std::to_string(extent.height()) + " instead of " +
                              std::to_string(size.width()) + "x" + std::to_string(size.height()));
        }
        return report_.empty();
    }

    std::string report() const { return ::testing::PrintToString(report_); }

private:
    QImage picture_;
    std::vector<std::string> report_;
};

TEST_F(BitmapPreview, ShownAtOneToOneZoomedFittedAndDragged) {
    ProgramUnderTest program;
    const QImage picture = hillsPicture(program.archivePath());
    ASSERT_EQ(picture.size(), QSize(96, 64));
    PictureArea area(picture);
    program.openArchive(program.archivePath());

    program.clickEntry(kHills);
    program.parkMouse();
    EXPECT_TRUE(program.waitForClient(5000ms,
                                      [&](const QImage& c) {
                                          return area.showsExactly(c, {0, 0});
                                      }))
        << "1:1: " << area.report() << " " << program.lastShotPath();
    // scripts/screenshot.sh asks for a picture of the window in this state.
    if (const char* path = std::getenv("XCR_E2E_SCREENSHOT")) {
        ASSERT_TRUE(program.windowShot().save(QString::fromLocal8Bit(path)));
    }

    program.clickButton(kZoomIn);
    program.parkMouse();
    EXPECT_TRUE(program.waitForClient(5000ms,
                                      [&](const QImage& c) {
                                          return area.showsScaled(c, {120, 80});
                                      }))
        << "zoom 125 %: " << area.report() << " " << program.lastShotPath();

    // The longer side fills the area; the other is 410 / 1.5 truncated.
    program.clickButton(kFitToWindow);
    program.parkMouse();
    EXPECT_TRUE(program.waitForClient(5000ms,
                                      [&](const QImage& c) {
                                          return area.showsScaled(c, {410, 273});
                                      }))
        << "fit: " << area.report() << " " << program.lastShotPath();

    program.clickButton(kZoomOneToOne);
    program.parkMouse();
    ASSERT_TRUE(program.waitForClient(5000ms,
                                      [&](const QImage& c) {
                                          return area.showsExactly(c, {0, 0});
                                      }))
        << "back to 1:1: " << area.report() << " " << program.lastShotPath();

    // Pressed at one point of the picture and released 50 right and 30 down of it.
    const QPoint grip = Layout::kPictureArea.topLeft() + QPoint(20, 20);
    Desktop::moveMouse(program.toScreen(grip));
    Desktop::press();
    Desktop::moveMouse(program.toScreen(grip + QPoint(25, 15)));
    Desktop::moveMouse(program.toScreen(grip + QPoint(50, 30)));
    Desktop::release();
    program.parkMouse();
    EXPECT_TRUE(program.waitForClient(5000ms,
                                      [&](const QImage& c) {
                                          return area.showsExactly(c, {50, 30});
                                      }))
        << "dragged: " << area.report() << " " << program.lastShotPath();

    // Any button drags; this time back by 30 left and 10 up.
    const QPoint second = Layout::kPictureArea.topLeft() + QPoint(80, 60);
    Desktop::moveMouse(program.toScreen(second));
    Desktop::press(3);
    Desktop::moveMouse(program.toScreen(second - QPoint(30, 10)));
    Desktop::release(3);
    program.parkMouse();
    EXPECT_TRUE(program.waitForClient(5000ms,
                                      [&](const QImage& c) {
                                          return area.showsExactly(c, {20, 20});
                                      }))
        << "dragged with the right button: " << area.report() << " " << program.lastShotPath();
}

}  // namespace
}  // namespace xcr::e2e
