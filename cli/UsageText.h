#ifndef CLI_USAGETEXT_H
#define CLI_USAGETEXT_H

#include <CLI/Error.hpp>
#include <string>

namespace xcr {

// What a usage error says to the user, in this tool's words rather than the parser's:
// "give --output once" for "--output: At Most 1 required but received 2". A check of an
// argument (cli/ArgumentChecks.h) speaks for itself; a text not known here is kept.
std::string usageText(const CLI::ParseError& error);

}  // namespace xcr

#endif  // CLI_USAGETEXT_H
