#include "cli/EntryChooser.h"

#include <fnmatch.h>

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "archive/os/Failure.h"
#include "cli/NameText.h"

namespace xcr {

namespace {

bool matchesPattern(const std::string& pattern, const std::string& name) {
    return ::fnmatch(pattern.c_str(), name.c_str(), 0) == 0;
}

}  // namespace

std::optional<int> EntryChooser::index(const std::string& text) const {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    const int count = entries_.count();
    if (error != std::errc() || value >= count) {
        throw Failure("No entry has index " + text + ": " +
                      (count == 0 ? std::string("the archive lists no entries")
                                  : "the archive lists " + std::to_string(count) +
                                        " entries, 0 to " + std::to_string(count - 1)));
    }
    return static_cast<int>(value);
}

std::vector<int> EntryChooser::named(const std::string& name) const {
    std::vector<int> found;
    for (int i = 0; i < entries_.count(); ++i) {
        const std::string_view bytes = entries_.displayName(i);
        if (bytes == name || shownName(bytes) == name) {
            found.push_back(i);
        }
    }
    return found;
}

std::vector<int> EntryChooser::choose(const std::vector<std::string>& selectors) const {
    const int count = entries_.count();
    std::vector<char> chosen(static_cast<std::size_t>(count), selectors.empty() ? 1 : 0);
    for (const std::string& selector : selectors) {
        bool any = false;
        if (const std::optional<int> at = index(selector)) {
            chosen[static_cast<std::size_t>(*at)] = 1;
            continue;
        }
        for (int i = 0; i < count; ++i) {
            const std::string bytes(entries_.displayName(i));
            const std::string shown = shownName(bytes);
            if (bytes == selector || shown == selector || matchesPattern(selector, bytes) ||
                matchesPattern(selector, shown)) {
                chosen[static_cast<std::size_t>(i)] = 1;
                any = true;
            }
        }
        if (!any) {
            throw Failure("No entry matches \"" + selector + "\"");
        }
    }
    std::vector<int> indexes;
    for (int i = 0; i < count; ++i) {
        if (chosen[static_cast<std::size_t>(i)]) {
            indexes.push_back(i);
        }
    }
    return indexes;
}

}  // namespace xcr
