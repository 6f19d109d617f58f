#include "app/EntryDrag.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>

#include "archive/os/Failure.h"
#include "archive/paths/SafeName.h"
#include "platform/FileUriList.h"

namespace xcr {

EntryDrag::EntryDrag(const ArchiveSession& session, FileDrag& desktop, const std::string& parent)
    : session_(session),
      desktop_(desktop),
      folder_(StagingFolder::createIn(parent, kFolderPrefix)) {}

EntryDrag::~EntryDrag() {
    if (folder_.hasPath()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_.path(), ignored);
    }
}

ExtractionRequest EntryDrag::prepare(int row) {
    const CheckMarks& checked = *session_.marks;
    auto carried = std::make_shared<CheckMarks>(session_.entries.count());
    for (int i = 0; i < session_.entries.count(); ++i) {
        carried->set(i, checked.isChecked(row) ? checked.isChecked(i) : i == row);
    }
    // A folder per drag: a file manager may still be copying an earlier drag's files.
    std::string folder = folder_.fileInside("XXXXXX");
    if (::mkdtemp(folder.data()) == nullptr) {
        throw Failure(cannotCreateText(folder, systemReason()));
    }
    files_.clear();
    for (int i = 0; i < session_.entries.count(); ++i) {
        const std::string file = folder + safeFileName(session_.entries.displayName(i));
        if (carried->isChecked(i) &&
            std::find(files_.begin(), files_.end(), file) == files_.end()) {
            files_.push_back(file);
        }
    }
    ExtractionRequest request =
        session_.extractionRequest(HeldArchive::attempt(session_.archivePath), std::move(folder));
    request.marks = std::move(carried);
    return request;
}

void EntryDrag::handOver(QWidget& source) {
    if (desktop_.buttonHeld()) {
        desktop_.drag(source, fileUriListOf(files_));
    }
    files_.clear();
}

}  // namespace xcr
