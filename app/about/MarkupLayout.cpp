#include "app/about/MarkupLayout.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace xcr {
namespace {

// Point sizes from the text are held to a range a font can be drawn in without the glyphs
// taking unbounded memory.
constexpr int kSmallestPoints = 1;
constexpr int kLargestPoints = 200;

}  // namespace

class MarkupLayoutBuilder {
public:
    MarkupLayoutBuilder(MarkupLayout& layout, int width, const QFont& font,
                        const NamedPictures& pictures)
        : layout_(layout), width_(width), baseFont_(font), font_(font), pictures_(pictures) {}

    void take(const MarkupItem& item) {
        using Kind = MarkupItem::Kind;
        switch (item.kind) {
            case Kind::Text:
                placeText(QString::fromStdString(item.text));
                break;
            case Kind::LineBreak:
                finishLine();
                break;
            case Kind::BoldOn:
            case Kind::BoldOff:
                bold_ = item.kind == Kind::BoldOn;
                font_.setBold(bold_);
                break;
            case Kind::FontSize:
                font_.setPointSize(std::clamp(item.number, kSmallestPoints, kLargestPoints));
                break;
            case Kind::FontEnd:
                font_ = baseFont_;
                font_.setBold(bold_);
                break;
            case Kind::Indent:
                x_ = std::max(x_, item.number);
                break;
            case Kind::LinkStart:
                layout_.links_.push_back({QString::fromStdString(item.text), {}});
                link_ = static_cast<int>(layout_.links_.size()) - 1;
                break;
            case Kind::LinkEnd:
                link_ = -1;
                break;
            case Kind::Picture:
                placePicture(QString::fromStdString(item.text));
                break;
        }
    }

    void finish() {
        if (!line_.pieces.empty()) {
            finishLine();
        }
    }

private:
    // A chunk that would reach the right edge moves to the next line, unless it is wider
    // than a whole line or the line's text so far does not end in a blank.
    void placeText(const QString& text) {
        const QFontMetrics metrics(font_);
        const int width = metrics.horizontalAdvance(text);
        if (endsInBlank_ && x_ + width >= width_ && width <= width_) {
            finishLine();
        }
        MarkupLayout::Piece piece;
        piece.rect = QRect(x_, 0, width, metrics.height());
        piece.text = text;
        piece.font = font_;
        piece.ascent = metrics.ascent();
        piece.link = link_;
        line_.pieces.push_back(std::move(piece));
        x_ += width;
        endsInBlank_ = text.endsWith(QLatin1Char(' '));
    }

    void placePicture(const QString& name) {
        const QPixmap* picture = pictures_.find(name);
        if (picture == nullptr || picture->isNull()) {
            return;
        }
        MarkupLayout::Piece piece;
        piece.rect = QRect(QPoint(x_, 0), picture->size());
        piece.picture = *picture;
        line_.pieces.push_back(std::move(piece));
        x_ += picture->width();
        endsInBlank_ = false;
    }

    // Pictures hang from the top of the line, text stands on its bottom.
    void finishLine() {
        int height = 0;
        for (const auto& piece : line_.pieces) {
            height = std::max(height, piece.rect.height());
        }
        if (line_.pieces.empty()) {
            height = QFontMetrics(font_).height();
        }
        line_.top = top_;
        line_.height = height;
        for (auto& piece : line_.pieces) {
            const int offset = piece.picture.isNull() ? height - piece.rect.height() : 0;
            piece.rect.moveTop(top_ + offset);
            if (piece.link >= 0) {
                addToLink(piece.link, piece.rect);
            }
        }
        layout_.lines_.push_back(std::move(line_));
        line_ = {};
        top_ += height;
        x_ = 0;
        endsInBlank_ = false;
        lineLinks_.clear();
    }

    // One rectangle per link and line: the pieces of a link on one line are united.
    void addToLink(int link, const QRect& rect) {
        auto& rects = layout_.links_[static_cast<std::size_t>(link)].rects;
        if (std::find(lineLinks_.begin(), lineLinks_.end(), link) != lineLinks_.end()) {
            rects.back() = rects.back().united(rect);
        } else {
            lineLinks_.push_back(link);
            rects.push_back(rect);
        }
    }

    MarkupLayout& layout_;
    const int width_;
    const QFont baseFont_;
    QFont font_;
    const NamedPictures& pictures_;
    bool bold_ = false;
    int link_ = -1;
    int x_ = 0;
    int top_ = 0;
    bool endsInBlank_ = false;
    MarkupLayout::Line line_;
    std::vector<int> lineLinks_;
};

MarkupLayout::MarkupLayout(const std::vector<MarkupItem>& items, int width, const QFont& font,
                           const NamedPictures& pictures) {
    MarkupLayoutBuilder builder(*this, width, font, pictures);
    for (const auto& item : items) {
        builder.take(item);
    }
    builder.finish();
}

int MarkupLayout::linkAt(QPoint point) const {
    for (std::size_t i = 0; i < links_.size(); ++i) {
        for (const QRect& rect : links_[i].rects) {
            if (rect.contains(point)) {
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

void MarkupLayout::paint(QPainter& painter, const QColor& textColour, int hoveredLink) const {
    for (const auto& line : lines_) {
        for (const auto& piece : line.pieces) {
            if (!piece.picture.isNull()) {
                painter.drawPixmap(piece.rect.topLeft(), piece.picture);
                continue;
            }
            QFont font = piece.font;
            font.setUnderline(piece.link >= 0 && piece.link == hoveredLink);
            painter.setFont(font);
            painter.setPen(piece.link >= 0 ? kLinkColour : textColour);
            painter.drawText(QPoint(piece.rect.left(), piece.rect.top() + piece.ascent),
                             piece.text);
        }
    }
}

}  // namespace xcr
