#include "tests/e2e/Layout.h"

#include "tests/e2e/Pixels.h"

namespace xcr::e2e {

namespace {

constexpr int kGreyTolerance = 16;
constexpr int kMinGlyphPixels = 40;

std::string where(const QRect& area) {
    return std::to_string(area.x()) + "," + std::to_string(area.y()) + " " +
           std::to_string(area.width()) + "x" + std::to_string(area.height());
}

class Checker {
public:
    explicit Checker(const QImage& client) : client_(client) {
        // The gap between the list and the picture area is always plain background.
        background_ = client.pixel(Layout::kGap.center());
    }

    void plain(const QRect& area, const std::string& what) {
        const int unlike = pixels::countUnlike(client_, area, background_);
        if (unlike > 0) {
            faults_.push_back(what + " at " + where(area) + " has " + std::to_string(unlike) +
                              " pixels that are not background");
        }
    }

    void drawn(QPoint at, const std::string& what) {
        if (pixels::near(client_.pixel(at), background_)) {
            faults_.push_back(what + ": nothing drawn at " + std::to_string(at.x()) + "," +
                              std::to_string(at.y()));
        }
    }

    // A glyph: enough pixels off the background, grey ones only when disabled.
    QImage glyph(int number, bool greyed) {
        const QRect area = Layout::button(number);
        const QImage shown = client_.copy(area);
        int drawnPixels = 0;
        int coloured = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb colour = shown.pixel(x, y);
                if (!pixels::near(colour, background_, 4)) {
                    ++drawnPixels;
                    coloured += pixels::grey(colour, kGreyTolerance) ? 0 : 1;
                }
            }
        }
        const std::string name = "button " + std::to_string(number);
        if (drawnPixels < kMinGlyphPixels) {
            faults_.push_back(name + " shows no glyph at " + where(area));
        } else if (greyed && coloured > 0) {
            faults_.push_back(name + " is not greyed (" + std::to_string(coloured) +
                              " coloured pixels)");
        } else if (!greyed && coloured == 0) {
            faults_.push_back(name + " shows a grey glyph although it is enabled");
        }
        return shown;
    }

    std::vector<std::string> faults_;

private:
    const QImage& client_;
    QRgb background_;
};

}  // namespace

std::vector<std::string> Layout::faults(const QImage& client, const QRect& picture) {
    Checker check(client);
    const QRect list = kList;
    const QRect bar = kProgressBar;

    // List: a one-pixel bevel on each side, background right outside it.
    check.plain({0, 0, 1, list.bottom() + 1}, "left of the list");
    check.drawn({list.left(), list.center().y()}, "left edge of the list");
    check.drawn({list.right(), list.center().y()}, "right edge of the list");
    check.drawn({list.center().x(), list.top()}, "top edge of the list");
    check.drawn({list.center().x(), list.bottom()}, "bottom edge of the list");
    check.plain({0, list.bottom() + 1, kGap.left(), kButtonTop - list.bottom() - 1},
                "space between list and buttons");

    // Buttons: one unbroken row of nine, the first ("Play Wav") disabled at start.
    std::vector<QImage> glyphs;
    for (int number = 1; number <= kButtonCount; ++number) {
        glyphs.push_back(check.glyph(number, number == 1));
    }
    for (std::size_t a = 0; a < glyphs.size(); ++a) {
        for (std::size_t b = a + 1; b < glyphs.size(); ++b) {
            if (glyphs[a] == glyphs[b]) {
                check.faults_.push_back("buttons " + std::to_string(a + 1) + " and " +
                                        std::to_string(b + 1) + " look the same");
            }
        }
    }
    check.plain({0, kButtonTop, 1, kButtonSize}, "left of the buttons");
    check.plain({0, kButtonTop + kButtonSize, kGap.left(), bar.top() - kButtonTop - kButtonSize},
                "space between buttons and progress bar");

    // Progress bar: its frame on all four sides, background around it.
    check.plain({0, bar.top(), 1, bar.height()}, "left of the progress bar");
    check.drawn({bar.left(), bar.center().y()}, "left end of the progress bar");
    check.drawn({bar.right(), bar.center().y()}, "right end of the progress bar");
    check.drawn({bar.center().x(), bar.top()}, "top of the progress bar");
    check.drawn({bar.center().x(), bar.bottom()}, "bottom of the progress bar");

    // Gap column and the picture area outside the picture.
    check.plain(kGap, "gap between list and picture area");
    const QRect area = kPictureArea;
    const QRect shown = picture & area;
    if (shown.isEmpty()) {
        check.plain(area, "picture area");
    } else {
        check.plain({area.left(), area.top(), area.width(), shown.top() - area.top()},
                    "picture area above the picture");
        check.plain({area.left(), shown.bottom() + 1, area.width(), area.bottom() - shown.bottom()},
                    "picture area below the picture");
        check.plain({area.left(), shown.top(), shown.left() - area.left(), shown.height()},
                    "picture area left of the picture");
        check.plain({shown.right() + 1, shown.top(), area.right() - shown.right(), shown.height()},
                    "picture area right of the picture");
    }
    return check.faults_;
}

}  // namespace xcr::e2e
