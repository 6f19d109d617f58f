#include "platform/FileUriList.h"

#include <algorithm>

namespace xcr {

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// Not std::isalnum: the program's locale must not widen the set.
bool isUnreserved(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

char lowered(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether `text` starts with `lowercase`, letters compared without case.
bool startsWithNoCase(std::string_view text, std::string_view lowercase) {
    return text.size() >= lowercase.size() &&
           std::equal(lowercase.begin(), lowercase.end(), text.begin(),
                      [](char wanted, char c) { return lowered(c) == wanted; });
}

}  // namespace

std::string fileUriOf(std::string_view path) {
    std::string uri = "file://";
    for (const char c : path) {
        if (isUnreserved(c) || c == '/') {
            uri += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            uri += '%';
            uri += kHexDigits[byte >> 4];
            uri += kHexDigits[byte & 0xF];
        }
    }
    return uri;
}

std::string fileUriListOf(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths) {
        list += fileUriOf(path) + "\r\n";
    }
    return list;
}

std::vector<std::string> urisIn(std::string_view list) {
    std::vector<std::string> uris;
    while (!list.empty()) {
        const std::size_t end = std::min(list.find('\n'), list.size());
        std::string_view line = list.substr(0, end);
        list.remove_prefix(std::min(end + 1, list.size()));
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!line.empty() && line.front() != '#') {
            uris.emplace_back(line);
        }
    }
    return uris;
}

std::optional<std::string> localPathOf(std::string_view uri) {
    if (!startsWithNoCase(uri, "file://")) {
        return std::nullopt;
    }
    uri.remove_prefix(7);
    const std::size_t hostEnd = std::min(uri.find('/'), uri.size());
    const std::string_view host = uri.substr(0, hostEnd);
    if (!host.empty() && !(host.size() == 9 && startsWithNoCase(host, "localhost"))) {
        return std::nullopt;
    }
    uri.remove_prefix(hostEnd);
    if (uri.empty() || uri.find_first_of("?#") != std::string_view::npos) {
        return std::nullopt;
    }
    std::string path;
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] != '%') {
            path += uri[i];
            continue;
        }
        const int high = i + 2 < uri.size() ? hexValue(uri[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(uri[i + 2]) : -1;
        if (low < 0 || (high == 0 && low == 0)) {
            return std::nullopt;
        }
        path += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return path;
}

}  // namespace xcr
