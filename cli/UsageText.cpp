#include "cli/UsageText.h"

#include <sstream>
#include <vector>

namespace xcr {

namespace {

// The text after "NAME: " (or after the first `mark`), and the name before it.
bool split(const std::string& text, const std::string& mark, std::string& name, std::string& rest) {
    const std::size_t at = text.find(mark);
    if (at == std::string::npos) {
        return false;
    }
    name = text.substr(0, at);
    rest = text.substr(at + mark.size());
    return true;
}

bool startsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

// The parser lists the arguments left over, last first; the first given is named.
std::string leftOverText(const std::string& list) {
    std::istringstream words(list);
    std::vector<std::string> left;
    for (std::string word; words >> word;) {
        left.insert(left.begin(), word);
    }
    for (const std::string& word : left) {
        if (word.size() > 1 && word.front() == '-') {
            return "unknown option " + word;
        }
    }
    return left.empty() ? list : "\"" + left.front() + "\" is one argument too many";
}

}  // namespace

std::string usageText(const CLI::ParseError& error) {
    const std::string text = error.what();
    std::string name;
    std::string rest;
    if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr &&
        split(text, ": ", name, rest)) {
        return rest;
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr &&
        split(text, ": ", name, rest)) {
        if (startsWith(rest, "At Most ")) {
            return "give " + name + " once";
        }
        std::string count;
        std::string missing;
        std::string type;
        std::string after;
        if (split(rest, " required ", count, missing) && split(missing, " missing", type, after)) {
            return name + " needs its " + type;
        }
    }
    if (dynamic_cast<const CLI::ExcludesError*>(&error) != nullptr &&
        split(text, " excludes ", name, rest)) {
        return name + " and " + rest + " cannot be given together";
    }
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr &&
        split(text, " is required", name, rest) && name != "A subcommand") {
        return "the " + name + " is missing";
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr && split(text, ": ", name, rest)) {
        return leftOverText(rest);
    }
    // Only a switch given a value (--json=x) fails to convert: every option value is text,
    // and --steps is checked before.
    std::string value;
    if (dynamic_cast<const CLI::ConversionError*>(&error) != nullptr &&
        split(text, "Could not convert: ", name, rest) && split(rest, " = ", name, value)) {
        return name + " takes no value";
    }
    return text;
}

}  // namespace xcr
