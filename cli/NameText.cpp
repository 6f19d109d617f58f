#include "cli/NameText.h"

namespace xcr {

namespace {

void appendCharacter(std::string& text, unsigned char byte) {
    if (byte < 0x80) {
        text += static_cast<char>(byte);
    } else {
        text += static_cast<char>(0xC0 | byte >> 6);
        text += static_cast<char>(0x80 | (byte & 0x3F));
    }
}

bool isControl(unsigned char byte) {
    return byte < 0x20 || (byte >= 0x7F && byte < 0xA0);
}

}  // namespace

std::string shownName(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        appendCharacter(text, static_cast<unsigned char>(c));
    }
    return text;
}

std::string printableName(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (isControl(byte)) {
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xF];
        } else {
            appendCharacter(text, byte);
        }
    }
    return text;
}

}  // namespace xcr
