#include "app/about/MarkupParser.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>

namespace xcr {
namespace {

using Kind = MarkupItem::Kind;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool sameLetters(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

// The decimal number at the start of a value, up to the first non-digit; none reads as 0.
int leadingNumber(std::string_view value) {
    int number = 0;
    for (const char c : value) {
        if (c < '0' || c > '9') {
            break;
        }
        number = std::min(number * 10 + (c - '0'), kMarkupNumberLimit);
    }
    return number;
}

// Sizes 1 to 5 are the classic steps; any other number is a point size.
int fontPoints(int size) {
    constexpr int kSteps[] = {8, 10, 12, 14, 16};
    return size >= 1 && size <= 5 ? kSteps[size - 1] : size;
}

// A tag's inside, without "<" and ">": its name, then attributes name="value".
class Tag {
public:
    explicit Tag(std::string_view inside) : inside_(inside) {
        nameEnd_ = 0;
        while (nameEnd_ < inside_.size() && !isSpace(inside_[nameEnd_])) {
            ++nameEnd_;
        }
    }

    bool is(std::string_view name) const { return sameLetters(inside_.substr(0, nameEnd_), name); }

    // The value of the first attribute with this name.
    std::optional<std::string_view> attribute(std::string_view wanted) const {
        std::size_t pos = nameEnd_;
        const std::size_t end = inside_.size();
        while (pos < end) {
            while (pos < end && isSpace(inside_[pos])) {
                ++pos;
            }
            const std::size_t nameStart = pos;
            while (pos < end && !isSpace(inside_[pos]) && inside_[pos] != '=') {
                ++pos;
            }
            const std::string_view name = inside_.substr(nameStart, pos - nameStart);
            while (pos < end && isSpace(inside_[pos])) {
                ++pos;
            }
            std::string_view value;
            if (pos < end && inside_[pos] == '=') {
                ++pos;
                while (pos < end && isSpace(inside_[pos])) {
                    ++pos;
                }
                value = readValue(pos);
            }
            if (!name.empty() && sameLetters(name, wanted)) {
                return value;
            }
        }
        return std::nullopt;
    }

    // The text between the first pair of double quotes after the name; empty without a pair.
    std::string_view firstQuoted() const {
        const std::size_t open = inside_.find('"', nameEnd_);
        if (open == std::string_view::npos) {
            return {};
        }
        const std::size_t close = inside_.find('"', open + 1);
        if (close == std::string_view::npos) {
            return {};
        }
        return inside_.substr(open + 1, close - open - 1);
    }

private:
    // A quoted value runs to the next quote (or the end); a bare one to the next blank.
    std::string_view readValue(std::size_t& pos) const {
        const std::size_t end = inside_.size();
        if (pos < end && inside_[pos] == '"') {
            const std::size_t start = ++pos;
            while (pos < end && inside_[pos] != '"') {
                ++pos;
            }
            const std::string_view value = inside_.substr(start, pos - start);
            if (pos < end) {
                ++pos;
            }
            return value;
        }
        const std::size_t start = pos;
        while (pos < end && !isSpace(inside_[pos])) {
            ++pos;
        }
        return inside_.substr(start, pos - start);
    }

    std::string_view inside_;
    std::size_t nameEnd_;
};

class Parser {
public:
    std::vector<MarkupItem> run(std::string_view text) {
        // Once no ">" follows some "<", none follows any later "<" either.
        bool closingLeft = true;
        for (std::size_t pos = 0; pos < text.size(); ++pos) {
            const char c = text[pos];
            if (c == '<' && closingLeft) {
                const std::size_t close = text.find('>', pos + 1);
                if (close != std::string_view::npos) {
                    flushText();
                    takeTag(Tag(text.substr(pos + 1, close - pos - 1)));
                    pos = close;
                    continue;
                }
                closingLeft = false;
            }
            if (c == '\r') {
                flushText();
                items_.push_back({Kind::LineBreak, {}, 0});
            } else if (c != '\n') {
                chunk_.push_back(c);
                if (c == ' ') {
                    flushText();
                }
            }
        }
        flushText();
        return std::move(items_);
    }

private:
    void flushText() {
        if (!chunk_.empty()) {
            items_.push_back({Kind::Text, std::move(chunk_), 0});
            chunk_.clear();
        }
    }

    void takeTag(const Tag& tag) {
        if (tag.is("BR")) {
            items_.push_back({Kind::LineBreak, {}, 0});
        } else if (tag.is("B")) {
            items_.push_back({Kind::BoldOn, {}, 0});
        } else if (tag.is("/B")) {
            items_.push_back({Kind::BoldOff, {}, 0});
        } else if (tag.is("FONT")) {
            if (const auto size = tag.attribute("size")) {
                items_.push_back({Kind::FontSize, {}, fontPoints(leadingNumber(*size))});
            }
        } else if (tag.is("/FONT")) {
            items_.push_back({Kind::FontEnd, {}, 0});
        } else if (tag.is("IND")) {
            if (const auto x = tag.attribute("x")) {
                items_.push_back({Kind::Indent, {}, leadingNumber(*x)});
            }
        } else if (tag.is("A")) {
            if (tag.attribute("href")) {
                items_.push_back({Kind::LinkStart, std::string(tag.firstQuoted()), 0});
            }
        } else if (tag.is("/A")) {
            items_.push_back({Kind::LinkEnd, {}, 0});
        } else if (tag.is("IMG")) {
            if (const auto src = tag.attribute("src")) {
                items_.push_back({Kind::Picture, std::string(*src), 0});
            }
        }
    }

    std::vector<MarkupItem> items_;
    std::string chunk_;
};

}  // namespace

std::vector<MarkupItem> parseMarkup(std::string_view text) {
    return Parser().run(text);
}

}  // namespace xcr
