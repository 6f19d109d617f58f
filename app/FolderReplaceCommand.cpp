#include "app/FolderReplaceCommand.h"

#include <QString>

#include "archive/jobs/FolderReplacements.h"
#include "archive/os/Failure.h"

namespace xcr {

void FolderReplaceCommand::run(QWidget* parent) {
    if (session_.archivePath.empty()) {
        return;
    }
    HeldArchive archive = HeldArchive::attempt(session_.archivePath);
    if (!archive.isOpen()) {
        throw Failure(archive.failure());
    }
    chooser_.openOn(extraction_.folder());
    if (!chooser_.execute(parent)) {
        return;
    }
    const FolderReplacements found =
        FolderReplacements::match(chooser_.folder(), archive, session_.entries);
    for (const FolderReplacements::Match& match : found.recorded) {
        session_.replacements.record(match.replacement.index, match.replacement.path,
                                     match.replacement.source);
    }
    // Names are shown as the entry list shows them, one byte a character.
    const auto shown = [](std::string_view name) {
        return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()))
            .toLocal8Bit()
            .toStdString();
    };
    messages_.inform(parent, found.summary(shown, "Recorded"));
}

}  // namespace xcr
