#include "app/about/MarkupLayout.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

#include "app/about/AboutText.h"
#include "app/about/MarkupParser.h"

namespace xcr {
namespace {

using Kind = MarkupItem::Kind;

QFont testFont() {
    return QFont(QStringLiteral("DejaVu Sans"), 8);
}

QPixmap square(int side, Qt::GlobalColor colour) {
    QPixmap picture(side, side);
    picture.fill(colour);
    return picture;
}

NamedPictures popupPictures() {
    NamedPictures pictures;
    pictures.add(QStringLiteral("MAVREL"), square(48, Qt::darkRed));
    pictures.add(QStringLiteral("HELP"), square(48, Qt::blue));
    return pictures;
}

MarkupLayout layOut(const std::string& markup, int width = 186,
                    const NamedPictures& pictures = popupPictures()) {
    return MarkupLayout(parseMarkup(markup), width, testFont(), pictures);
}

// A line as text; a picture shows as "[w]" with its width.
QString lineText(const MarkupLayout::Line& line) {
    QString text;
    for (const auto& piece : line.pieces) {
        text +=
            piece.picture.isNull() ? piece.text : QStringLiteral("[%1]").arg(piece.rect.width());
    }
    return text;
}

QStringList allLines(const MarkupLayout& layout) {
    QStringList lines;
    for (const auto& line : layout.lines()) {
        lines << lineText(line);
    }
    return lines;
}

int advance(const QString& text, QFont font = testFont()) {
    return QFontMetrics(font).horizontalAdvance(text);
}

TEST(MarkupLayoutTest, StoredTextStandsInTheDescribedLines) {
    const MarkupLayout layout = layOut(aboutText());
    const QStringList lines = allLines(layout);
    ASSERT_GE(lines.size(), 10);
    EXPECT_EQ(lines.mid(0, 6), (QStringList{"[48]", "", "Pelloran Plus", "version 3.02", "", ""}));

    // The description and the credit wrap as the font demands; the credit starts a line.
    int credit = 6;
    while (credit < lines.size() && !lines[credit].startsWith("By ")) {
        ++credit;
    }
    ASSERT_LT(credit + 2, lines.size());
    EXPECT_EQ(lines.mid(6, credit - 6).join(""), "The ultimate (and only?) xcr file utility.");
    EXPECT_EQ(lines.mid(credit, lines.size() - credit - 2).join(""),
              "By Mavrel, Qelt Modding Project");
    EXPECT_EQ(lines[lines.size() - 2], "");
    EXPECT_EQ(lines.back(), "[48] Click here to close.");

    for (qsizetype i = 1; i < lines.size(); ++i) {
        const auto& above = layout.lines()[i - 1];
        EXPECT_EQ(layout.lines()[i].top, above.top + above.height) << i;
    }
}

TEST(MarkupLayoutTest, StoredTextFontsAndPlaces) {
    const MarkupLayout layout = layOut(aboutText());
    const auto& lines = layout.lines();
    QFont title = testFont();
    title.setBold(true);
    title.setPointSize(12);
    QFont bold = testFont();
    bold.setBold(true);

    EXPECT_EQ(lines[0].pieces[0].rect, QRect(0, 0, 48, 48));
    EXPECT_EQ(lines[1].height, QFontMetrics(testFont()).height());
    EXPECT_EQ(lines[2].height, QFontMetrics(title).height());
    EXPECT_EQ(lines[2].pieces[0].font, title);
    EXPECT_EQ(lines[3].pieces[0].font, bold);
    EXPECT_EQ(lines[3].pieces[0].rect.left(), 10);
    EXPECT_EQ(lines[3].pieces[1].rect.left(), 10 + advance("version ", bold));
    EXPECT_FALSE(lines[6].pieces[0].font.bold());
    EXPECT_EQ(lines[6].pieces[0].font.pointSize(), 8);

    // The closing picture hangs from the top, the text after it stands on the bottom.
    const auto& last = lines.back();
    EXPECT_EQ(last.height, 48);
    EXPECT_EQ(last.pieces[0].rect.top(), last.top);
    EXPECT_EQ(last.pieces[1].rect.left(), 48);
    EXPECT_EQ(last.pieces[1].rect.bottom(), last.top + 47);
}

TEST(MarkupLayoutTest, StoredTextLinksCoverTheirWords) {
    const MarkupLayout layout = layOut(aboutText());
    ASSERT_EQ(layout.links().size(), 2u);
    const auto& maker = layout.links()[0];
    const auto& close = layout.links()[1];
    EXPECT_EQ(maker.value, "qeltmodhq");
    EXPECT_EQ(close.value, "close");

    QRect makerArea;
    QString makerText;
    for (const auto& line : layout.lines()) {
        for (const auto& piece : line.pieces) {
            if (piece.link == 0) {
                makerArea = makerArea.united(piece.rect);
                makerText += piece.text;
            }
        }
    }
    EXPECT_EQ(makerText, "Qelt Modding Project");
    QRect united;
    for (const auto& rect : maker.rects) {
        united = united.united(rect);
    }
    EXPECT_EQ(united, makerArea);

    const auto& last = layout.lines().back();
    ASSERT_EQ(close.rects.size(), 1u);
    ASSERT_EQ(last.pieces.size(), 7u);
    EXPECT_EQ(last.pieces[5].text, "close");
    EXPECT_EQ(close.rects[0], last.pieces[5].rect);
    EXPECT_EQ(close.rects[0].left(), last.pieces[4].rect.right() + 1);
    EXPECT_EQ(last.pieces[6].link, -1);
    EXPECT_EQ(layout.linkAt(close.rects[0].center()), 1);
    EXPECT_EQ(layout.linkAt(maker.rects[0].topLeft()), 0);
    EXPECT_EQ(layout.linkAt(close.rects[0].topRight() + QPoint(1, 0)), -1);
}

TEST(MarkupLayoutTest, ChunkReachingTheRightEdgeStartsTheNextLine) {
    const int width = advance("aa ") + advance("bb");
    EXPECT_EQ(allLines(layOut("aa bb", width)), (QStringList{"aa ", "bb"}));
    EXPECT_EQ(allLines(layOut("aa bb", width + 1)), (QStringList{"aa bb"}));
}

TEST(MarkupLayoutTest, ChunkStaysWhenItCannotFitAnywhereOrTheLineDoesNotEndInABlank) {
    const int width = advance("aa ") + 2;
    EXPECT_EQ(allLines(layOut("aa wideword", width)), (QStringList{"aa wideword"}));
    EXPECT_EQ(allLines(layOut("aa<B>bb", width)), (QStringList{"aabb"}));
    EXPECT_EQ(allLines(layOut("<IMG src=\"help\">bb", 50)), (QStringList{"[48]bb"}));
    // A chunk exactly as wide as a line stands alone without leaving an empty line.
    const int word = advance("word");
    EXPECT_EQ(allLines(layOut("word word", word)), (QStringList{"word ", "word"}));
}

TEST(MarkupLayoutTest, LineHeightsFollowTheTallestItemOrTheFont) {
    QFont big = testFont();
    big.setPointSize(16);
    const MarkupLayout layout = layOut("<FONT size=\"5\"><BR></FONT>x<IMG src=\"HELP\">y<BR><BR>");
    ASSERT_EQ(layout.lines().size(), 3u);
    EXPECT_EQ(layout.lines()[0].height, QFontMetrics(big).height());
    const auto& mixed = layout.lines()[1];
    EXPECT_EQ(mixed.height, 48);
    EXPECT_EQ(mixed.pieces[0].rect.bottom(), mixed.top + 47);
    EXPECT_EQ(mixed.pieces[1].rect.top(), mixed.top);
    EXPECT_EQ(mixed.pieces[2].rect.left(), advance("x") + 48);
    EXPECT_EQ(layout.lines()[2].height, QFontMetrics(testFont()).height());
}

TEST(MarkupLayoutTest, IndentOnlyMovesForward) {
    const MarkupLayout layout = layOut("abc<IND x=\"2\">d<BR><IND x=\"50\">e<IND x=\"9\">f");
    const auto& lines = layout.lines();
    EXPECT_EQ(lines[0].pieces[1].rect.left(), advance("abc"));
    EXPECT_EQ(lines[1].pieces[0].rect.left(), 50);
    EXPECT_EQ(lines[1].pieces[1].rect.left(), 50 + advance("e"));
}

TEST(MarkupLayoutTest, PictureNamesIgnoreCaseAndAnUnknownOneTakesNoRoom) {
    NamedPictures pictures;
    pictures.add("Twin", square(10, Qt::red));
    pictures.add("TWIN", square(20, Qt::red));
    EXPECT_EQ(allLines(layOut("<IMG src=\"twin\">a", 186, pictures)), (QStringList{"[10]a"}));
    const MarkupLayout missing = layOut("<IMG src=\"nothing\">a", 186, pictures);
    ASSERT_EQ(allLines(missing), (QStringList{"a"}));
    EXPECT_EQ(missing.lines()[0].pieces[0].rect.left(), 0);
    EXPECT_EQ(missing.lines()[0].height, QFontMetrics(testFont()).height());
}

TEST(MarkupLayoutTest, FontEndKeepsBoldAndSizesAreHeldInRange) {
    const MarkupLayout layout =
        layOut("<B><FONT size=\"0\">a</FONT>b</B>c<FONT size=\"999999\">d<BR>");
    const auto& pieces = layout.lines()[0].pieces;
    EXPECT_EQ(pieces[0].font.pointSize(), 1);
    EXPECT_EQ(pieces[1].font.pointSize(), 8);
    EXPECT_TRUE(pieces[1].font.bold());
    EXPECT_FALSE(pieces[2].font.bold());
    EXPECT_EQ(pieces[3].font.pointSize(), 200);
}

TEST(MarkupLayoutTest, LinkOverTwoLinesHasOneRectanglePerLine) {
    const int width = advance("x aaaa ") + advance("bb");
    const MarkupLayout layout = layOut("x <A href=\"v\">aaaa bbbb</A> c", width);
    ASSERT_EQ(allLines(layout), (QStringList{"x aaaa ", "bbbb c"}));
    ASSERT_EQ(layout.links().size(), 1u);
    const auto& rects = layout.links()[0].rects;
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].left(), advance("x "));
    EXPECT_EQ(rects[0].width(), advance("aaaa "));
    EXPECT_EQ(rects[1].left(), 0);
    EXPECT_EQ(rects[1].width(), advance("bbbb"));
    EXPECT_EQ(layout.linkAt(layout.lines()[1].pieces[1].rect.center()), -1);
}

}  // namespace
}  // namespace xcr
