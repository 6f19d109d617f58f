#include "app/EntryDrag.h"

#include <stdlib.h>

#include <QDrag>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "archive/Failure.h"
#include "archive/SafeName.h"

namespace xcr {

EntryDrag::~EntryDrag() {
    for (const std::string& folder : folders_) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
}

std::vector<std::string> EntryDrag::extract(int row) {
    const CheckMarks& checked = *session_.marks;
    auto carried = std::make_shared<CheckMarks>(session_.entries.count());
    for (int i = 0; i < session_.entries.count(); ++i) {
        carried->set(i, checked.isChecked(row) ? checked.isChecked(i) : i == row);
    }
    std::string folder = systemTempFolder() + "/pelloran-drag-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
        throw Failure(cannotCreateText(folder, systemReason()));
    }
    folders_.push_back(folder);
    ExtractionRequest request =
        session_.extractionRequest(holdArchive(session_.archivePath), folder);
    request.marks = carried;
    const JobOutcome outcome = runExtraction(std::move(request), progress_);
    if (!outcome.ok()) {
        throw Failure(outcome.failure);
    }
    std::vector<std::string> files;
    for (int i = 0; i < session_.entries.count(); ++i) {
        const std::string file = folder + safeFileName(session_.entries.displayName(i));
        if (carried->isChecked(i) && std::find(files.begin(), files.end(), file) == files.end()) {
            files.push_back(file);
        }
    }
    return files;
}

void EntryDrag::start(int row, QWidget* source) {
    QList<QUrl> urls;
    for (const std::string& file : extract(row)) {
        urls << QUrl::fromLocalFile(QFile::decodeName(file.c_str()));
    }
    auto* data = new QMimeData;
    data->setUrls(urls);
    auto* drag = new QDrag(source);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}

}  // namespace xcr
