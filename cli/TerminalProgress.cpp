#include "cli/TerminalProgress.h"

#include <unistd.h>

#include <algorithm>

namespace xcr {

TerminalProgress::TerminalProgress(std::string label)
    : label_(std::move(label)), shown_(::isatty(STDERR_FILENO) == 1) {}

TerminalProgress::~TerminalProgress() {
    if (drawn_ > 0) {
        draw(std::string(drawn_, ' '));
        draw("");
    }
}

void TerminalProgress::setMaximum(int maximum) {
    maximum_ = maximum;
}

void TerminalProgress::setPosition(int position) {
    const int percent = maximum_ > 0 ? static_cast<int>(100LL * position / maximum_) : 100;
    if (!shown_ || percent == percent_) {
        return;
    }
    percent_ = percent;
    const std::string text = label_ + " " + std::to_string(percent) + "%";
    draw(text);
    drawn_ = std::max(drawn_, text.size());
}

void TerminalProgress::draw(const std::string& text) {
    const std::string line = "\r" + text;
    // A progress line that cannot be written is not worth failing the job for.
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
}

}  // namespace xcr
