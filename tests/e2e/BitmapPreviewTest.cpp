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

// Checks of what the picture area shows against the expected picture.
class PictureArea {
public:
    explicit PictureArea(QImage picture) : picture_(std::move(picture)) {}

    // The picture at its natural size at `offset`, pixel for pixel, background around it.
    ClientCheck exactlyAt(QPoint offset) const {
        return [this, offset](const QImage& client) {
            const QPoint at = Layout::kPictureArea.topLeft() + offset;
            Faults faults = Layout::faults(client, QRect(at, picture_.size()));
            const int unlike = pixels::mismatches(client, at, picture_);
            if (unlike > 0) {
                faults.push_back(std::to_string(unlike) + " picture pixels differ");
            }
            return faults;
        };
    }

    // The picture scaled to `size` at the area's top-left corner. The filtering is the
    // program's choice, so each pixel is compared within a tolerance with the picture
    // scaled both ways, and a few edge pixels may differ.
    ClientCheck scaledTo(QSize size) const {
        return [this, size](const QImage& client) {
            const QRect drawn(Layout::kPictureArea.topLeft(), size);
            Faults faults = Layout::faults(client, drawn);
            const QImage sharp =
                picture_.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            const QImage smooth =
                picture_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            const int limit = size.width() * size.height() / 20;
            const int unlike = std::min(pixels::mismatches(client, drawn.topLeft(), sharp, 40),
                                        pixels::mismatches(client, drawn.topLeft(), smooth, 40));
            if (unlike > limit) {
                faults.push_back(std::to_string(unlike) + " of the scaled picture's pixels differ");
            }
            const QRect extent = pixels::extentUnlike(client, Layout::kPictureArea,
                                                      client.pixel(Layout::kGap.center()));
            if (extent != drawn) {
                faults.push_back("drawn over " + std::to_string(extent.width()) + "x" +
                                 std::to_string(extent.height()) + " instead of " +
                                 std::to_string(size.width()) + "x" +
                                 std::to_string(size.height()));
            }
            return faults;
        };
    }

private:
    QImage picture_;
};

// Presses a mouse button at `from` in the picture area and lets it go at `to`.
void drag(ProgramUnderTest& program, QPoint from, QPoint to, int button) {
    const QPoint area = Layout::kPictureArea.topLeft();
    Desktop::moveMouse(program.toScreen(area + from));
    Desktop::press(button);
    Desktop::moveMouse(program.toScreen(area + (from + to) / 2));
    Desktop::moveMouse(program.toScreen(area + to));
    Desktop::release(button);
}

TEST_F(BitmapPreview, ShownAtOneToOneZoomedFittedAndDragged) {
    ProgramUnderTest program;
    const QImage picture = hillsPicture(program.archivePath());
    ASSERT_EQ(picture.size(), QSize(96, 64));
    const PictureArea area(picture);
    program.openArchive(program.archivePath());

    program.clickEntry(kHills);
    EXPECT_TRUE(program.settlesOn(area.exactlyAt({0, 0}))) << "1:1";
    // scripts/screenshot.sh asks for a picture of the window in this state.
    if (const char* path = std::getenv("XCR_E2E_SCREENSHOT")) {
        ASSERT_TRUE(program.windowShot().save(QString::fromLocal8Bit(path)));
    }

    program.clickButton(kZoomIn);
    EXPECT_TRUE(program.settlesOn(area.scaledTo({120, 80}))) << "zoom 125 %";

    // The longer side fills the area; the other is 410 / 1.5 truncated.
    program.clickButton(kFitToWindow);
    EXPECT_TRUE(program.settlesOn(area.scaledTo({410, 273}))) << "fit";

    program.clickButton(kZoomOneToOne);
    ASSERT_TRUE(program.settlesOn(area.exactlyAt({0, 0}))) << "back to 1:1";

    // Pressed at one point of the picture and released 50 right and 30 down of it.
    drag(program, {20, 20}, {70, 50}, 1);
    EXPECT_TRUE(program.settlesOn(area.exactlyAt({50, 30}))) << "dragged";

    // Any button drags; this time back by 30 left and 10 up.
    drag(program, {80, 60}, {50, 50}, 3);
    EXPECT_TRUE(program.settlesOn(area.exactlyAt({20, 20}))) << "dragged with the right button";
}

}  // namespace
}  // namespace xcr::e2e
