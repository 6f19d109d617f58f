#include "cli/UndoListing.h"

#include <ctime>
#include <iomanip>

#include "cli/NameText.h"

namespace xcr {

std::string saveTimeText(std::int64_t seconds) {
    const auto time = static_cast<std::time_t>(seconds);
    std::tm local{};
    char text[32];
    if (::localtime_r(&time, &local) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0) {
        return std::to_string(seconds);
    }
    return text;
}

void writeUndoHistory(std::ostream& out, const std::string& archive,
                      const std::vector<UndoStep>& steps) {
    if (steps.empty()) {
        out << archive << ": no save of it can be undone\n";
        return;
    }
    out << "step  " << std::left << std::setw(19) << "made" << std::right << "  " << std::setw(14)
        << "bytes kept"
        << "  replaced\n";
    int number = 0;
    for (const UndoStep& step : steps) {
        out << std::setw(4) << ++number << "  ";
        if (!step.stored.record) {
            out << std::setw(19) << "?"
                << "  " << std::setw(14) << step.stored.size << "  (its record cannot be read, "
                << step.stored.problem << ": cannot be undone)\n";
            continue;
        }
        const UndoRecord& record = *step.stored.record;
        out << saveTimeText(record.time) << "  " << std::setw(14) << step.stored.size << "  ";
        const char* separator = "";
        for (const UndoRecord::Replaced& entry : record.replaced) {
            out << separator << entry.index << ' ' << printableName(entry.name);
            separator = ", ";
        }
        if (record.replaced.empty()) {
            out << "(none)";
        }
        if (!step.undoable) {
            out << "  (cannot be undone: the archive was changed since this save)";
        }
        out << '\n';
    }
}

}  // namespace xcr
