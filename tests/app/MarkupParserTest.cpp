#include "app/about/MarkupParser.h"

#include <gtest/gtest.h>

#include <string>

namespace xcr {
namespace {

using Kind = MarkupItem::Kind;
using Items = std::vector<MarkupItem>;

MarkupItem text(std::string chunk) {
    return {Kind::Text, std::move(chunk), 0};
}
MarkupItem item(Kind kind) {
    return {kind, {}, 0};
}
MarkupItem fontSize(int points) {
    return {Kind::FontSize, {}, points};
}
MarkupItem link(std::string value) {
    return {Kind::LinkStart, std::move(value), 0};
}

int onlyFontSize(const std::string& markup) {
    const Items items = parseMarkup(markup);
    EXPECT_EQ(items.size(), 1u) << markup;
    return items.empty() ? -1 : items[0].number;
}

TEST(MarkupParserTest, TextSplitsAfterBlanksAndBeforeTags) {
    EXPECT_EQ(parseMarkup("By Mavrel,  x<B>y z"),
              (Items{text("By "), text("Mavrel, "), text(" "), text("x"), item(Kind::BoldOn),
                     text("y "), text("z")}));
    EXPECT_TRUE(parseMarkup("").empty());
}

TEST(MarkupParserTest, CarriageReturnBreaksTheLineAndLineFeedIsDropped) {
    EXPECT_EQ(parseMarkup("ab\r\ncd\n\r<BR>"),
              (Items{text("ab"), item(Kind::LineBreak), text("cd"), item(Kind::LineBreak),
                     item(Kind::LineBreak)}));
}

TEST(MarkupParserTest, TitleLineTakesTheFirstSizeOnly) {
    EXPECT_EQ(parseMarkup("<B><FONT  size=\"12\" size=\"10\">Pelloran Plus</FONT>"),
              (Items{item(Kind::BoldOn), fontSize(12), text("Pelloran "), text("Plus"),
                     item(Kind::FontEnd)}));
}

TEST(MarkupParserTest, TagAndAttributeNamesIgnoreCase) {
    EXPECT_EQ(parseMarkup("<br><b></B><Font SIZE=\"1\"></fOnT><ind X=\"7\"><Img Src=\"Help\">"),
              (Items{item(Kind::LineBreak), item(Kind::BoldOn), item(Kind::BoldOff), fontSize(8),
                     item(Kind::FontEnd), MarkupItem{Kind::Indent, {}, 7},
                     MarkupItem{Kind::Picture, "Help", 0}}));
}

TEST(MarkupParserTest, FontSizesOneToFiveAreStepsOthersArePoints) {
    // The attribute as written after "size=", and the point size it gives.
    const std::pair<const char*, int> cases[] = {
        {R"("1")", 8},     {R"("2")", 10}, {R"("3")", 12}, {R"("4")", 14},
        {R"("5")", 16},    {R"("6")", 6},  {R"("0")", 0},  {R"("05")", 16},
        {R"("11px")", 11}, {R"("-3")", 0}, {R"("")", 0},   {"4", 14},
    };
    for (const auto& [size, points] : cases) {
        EXPECT_EQ(onlyFontSize(std::string("<FONT size=") + size + ">"), points) << size;
    }
    EXPECT_EQ(onlyFontSize("<FONT color=\"red\" size = \"3\">"), 12);
}

TEST(MarkupParserTest, HugeNumbersStopAtTheLimit) {
    EXPECT_EQ(onlyFontSize("<FONT size=\"99999999999999999999999\">"), kMarkupNumberLimit);
    const Items items = parseMarkup("<IND x=\"4294967297\">");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].number, kMarkupNumberLimit);
}

TEST(MarkupParserTest, TagsWithoutTheirAttributeAreSkipped) {
    EXPECT_TRUE(parseMarkup("<FONT><IND><IMG><A><FONT sizes=\"3\"><IND xx=\"3\">").empty());
}

TEST(MarkupParserTest, LinkValueIsTheFirstQuotedTextWithItsCase) {
    EXPECT_EQ(parseMarkup("<A href=\"QeltModHQ\">Q</A>"),
              (Items{link("QeltModHQ"), text("Q"), item(Kind::LinkEnd)}));
    EXPECT_EQ(parseMarkup("<a title=\"first\" HREF=\"second\">"), (Items{link("first")}));
    EXPECT_EQ(parseMarkup("<A href=\"open>x"), (Items{link(""), text("x")}));
    EXPECT_EQ(parseMarkup("<A href=bare>"), (Items{link("")}));
}

TEST(MarkupParserTest, UnknownTagsAreSkipped) {
    EXPECT_EQ(parseMarkup("a<P>b<BR/><>c<<B>d</ A>"),
              (Items{text("a"), text("b"), text("c"), text("d")}));
}

TEST(MarkupParserTest, UnterminatedTagIsPlainText) {
    EXPECT_EQ(parseMarkup("x <B>y <B"),
              (Items{text("x "), item(Kind::BoldOn), text("y "), text("<B")}));
    EXPECT_EQ(parseMarkup("<IMG src=\"HELP"), (Items{text("<IMG "), text("src=\"HELP")}));
    EXPECT_EQ(parseMarkup("<A\r<B"), (Items{text("<A"), item(Kind::LineBreak), text("<B")}));
}

TEST(MarkupParserTest, UnclosedQuoteRunsToTheTagEnd) {
    EXPECT_EQ(parseMarkup("<IMG src=\"HELP>"), (Items{MarkupItem{Kind::Picture, "HELP", 0}}));
}

TEST(MarkupParserTest, LongRunOfOpeningBracketsComesBackWhole) {
    const std::string brackets(200000, '<');
    const Items items = parseMarkup(brackets);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, brackets);
}

}  // namespace
}  // namespace xcr
