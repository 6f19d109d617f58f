#include "app/ReplacementsCommand.h"

#include <sys/stat.h>

#include <QFile>

namespace xcr {

namespace {

std::int64_t sizeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

}  // namespace

bool ReplacementsCommand::run(QWidget* parent) {
    std::vector<ReplacementRow> rows;
    for (const Replacement& replacement : session_.replacements.list()) {
        const std::string_view name = session_.entries.displayName(replacement.index);
        rows.push_back({replacement.index,
                        QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())),
                        QFile::decodeName(replacement.path.c_str()),
                        session_.entries.placement(replacement.index).size,
                        sizeOf(replacement.path)});
    }
    const std::vector<int> removed = dialog_.execute(parent, rows);
    for (const int index : removed) {
        session_.replacements.remove(index);
    }
    return !removed.empty();
}

}  // namespace xcr
