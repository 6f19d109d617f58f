#include "app/TForm1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLayout>
#include <QScreen>

#include "app/FormGeometry.h"
#include "app/FormLook.h"
#include "app/Resources.h"
#include "app/WindowTitle.h"
#include "app/about/AboutLink.h"
#include "app/about/AboutPictures.h"
#include "archive/jobs/ReplacementSource.h"
#include "archive/os/Failure.h"

namespace xcr {

namespace {

// The file the name leads to now, which the save takes. A name that leads to none (gone
// already, not a regular file) is recorded all the same: Save names the reason.
FileIdentity fileChosen(const std::string& path) {
    try {
        return identifyReplacement(path);
    } catch (const Failure&) {
        return {};
    }
}

QString glyphPath(int button) {
    return QStringLiteral(":/glyphs/SpeedButton%1.bmp").arg(button);
}

}  // namespace

TForm1::TForm1(FormServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), guard_(*services_.messages, this) {
    loadResources();
    applyFormLook(*this);

    auto* client = new QWidget(this);
    client->setFixedSize(FormGeometry::kClient);
    setCentralWidget(client);
    createControls(client);
    createMenu();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    createEntryMenu();
    lock_ = std::make_unique<JobLock>(
        QList<QWidget*>{SpeedButton2, SpeedButton3, File1, CheckListBox1, PopupMenu1});
    progress_ = std::make_unique<WindowProgress>(*ProgressBar1, *services_.beeper);
    JvThread1 = new JobRunner(*lock_, this);
    JvThread2 = new JobRunner(*lock_, this);
    for (auto* runner : {JvThread1, JvThread2}) {
        connect(runner, &JobRunner::ended, this, &TForm1::jobEnded);
    }
    JvThread3 = new JobRunner(*lock_, this);
    connect(JvThread3, &JobRunner::ended, this, &TForm1::undoEnded);
    JvThread4 = new JobRunner(*lock_, this);
    connect(JvThread4, &JobRunner::ended, this, &TForm1::dragExtracted);
    JvThread5 = new JobRunner(*lock_, this);
    connect(JvThread5, &JobRunner::ended, this, &TForm1::editCopyMade);
    // Offered only for the archive exactly as its last recorded save left it.
    connect(File1, &QMenu::aboutToShow, this,
            [this] { UndoLastSave1->setEnabled(lastSaveUndo_.applies(session_)); });
    createPreviews();
    CheckListBox1->showReplacements(&session_.replacements);
    folderReplace_ = std::make_unique<FolderReplaceCommand>(
        session_, *services_.JvBrowseFolder2, *services_.JvBrowseFolder1, *services_.messages);
    replacementsCommand_ =
        std::make_unique<ReplacementsCommand>(session_, *services_.replacementsDialog);
    modPatch_ = std::make_unique<ModPatchCommand>(session_, *services_.patchOpenDialog,
                                                  *services_.patchSaveDialog, *services_.messages);
    entryDrag_ = std::make_unique<EntryDrag>(session_, *services_.fileDrag);
    connect(CheckListBox1, &CheckListBox::entryDragged, this,
            [this](int row) { guard_.run([&] { CheckListBox1StartDrag(row); }); });
    editing_ = std::make_unique<EntryEditing>(
        session_,
        EntryEditing::Desktop{*services_.shell, *services_.applications,
                              *services_.applicationChooser, *services_.settings, *services_.notes,
                              *services_.messages},
        *CheckListBox1, [this] { return lock_->isHeld(); });
    connect(editing_.get(), &EntryEditing::replacementsChanged, CheckListBox1,
            &CheckListBox::replacementsChanged);
    connect(CheckListBox1, &CheckListBox::entryMenuRequested, this,
            [this](const QPoint& at) { guard_.run([&] { CheckListBox1ContextPopup(at); }); });
    new ArchiveDrop(  // owned by the window
        *this, *CheckListBox1,
        {[this] { return File1->isEnabled(); },
         [this](const std::string& path) { openConfirmed(path); },
         [this] { return SpeedButton3->isEnabled(); },
         [this](int index, const std::string& path) { recordReplacement(index, path); }});
    About = std::make_unique<AboutPopup>(
        this, *services_.screen, *services_.clock, *services_.pump, aboutPictures(),
        [this](const QString& anchor) { guard_.run([&] { AboutAnchorClick(anchor); }); });

    bind(OpenXCR1, &QAction::triggered, &TForm1::OpenXCR1Click);
    bind(SaveXCR1, &QAction::triggered, &TForm1::SaveXCR1Click);
    bind(UndoLastSave1, &QAction::triggered, &TForm1::UndoLastSave1Click);
    bind(Exit1, &QAction::triggered, &TForm1::Exit1Click);
    bind(ReplaceFromFolder1, &QAction::triggered, &TForm1::ReplaceFromFolder1Click);
    bind(Replacements1, &QAction::triggered, &TForm1::Replacements1Click);
    bind(ApplyModPatch1, &QAction::triggered, &TForm1::ApplyModPatch1Click);
    bind(ExportModPatch1, &QAction::triggered, &TForm1::ExportModPatch1Click);
    bind(OpenInDefaultApplication1, &QAction::triggered, &TForm1::OpenInDefaultApplication1Click);
    bind(OpenWith1, &QAction::triggered, &TForm1::OpenWith1Click);
    bind(Extract1, &QAction::triggered, &TForm1::Extract1Click);
    bind(Replace1, &QAction::triggered, &TForm1::Replace1Click);
    bind(ForgetReplacement1, &QAction::triggered, &TForm1::ForgetReplacement1Click);
    bind(CheckListBox1, &CheckListBox::entryClicked, &TForm1::CheckListBox1Click);
    bind(SpeedButton1, &QToolButton::clicked, &TForm1::SpeedButton1Click);
    bind(About1, &QAction::triggered, &TForm1::About1Click);
    bind(SpeedButton2, &QToolButton::clicked, &TForm1::SpeedButton2Click);
    bind(SpeedButton3, &QToolButton::clicked, &TForm1::SpeedButton3Click);
    bind(SpeedButton4, &QToolButton::clicked, &TForm1::SpeedButton4Click);
    bind(SpeedButton5, &QToolButton::clicked, &TForm1::SpeedButton5Click);
    bind(SpeedButton6, &QToolButton::clicked, &TForm1::SpeedButton6Click);
    bind(SpeedButton7, &QToolButton::clicked, &TForm1::SpeedButton7Click);
    bind(SpeedButton8, &QToolButton::clicked, &TForm1::SpeedButton8Click);
    bind(SpeedButton9, &QToolButton::clicked, &TForm1::SpeedButton9Click);
    connect(Image1, &ImageControl::mousePressed, this,
            [this](int x, int y) { guard_.run([&] { Image1MouseDown(x, y); }); });
    connect(Image1, &ImageControl::mouseReleased, this,
            [this](int x, int y) { guard_.run([&] { Image1MouseUp(x, y); }); });
    CheckListBox1->setFocus();
}

TForm1::~TForm1() {
    // Only reached with a job running when the window is destroyed without closing; the
    // job may be waiting on this thread, so events are handled until it has ended.
    closeWhenIdle_ = false;
    while (jobsRunning()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    modPatch_->sweep(true);
    session_.staging.removeIfEmpty();
}

void TForm1::createControls(QWidget* client) {
    CheckListBox1 = new CheckListBox(client);
    CheckListBox1->setGeometry(FormGeometry::kList);
    const char* hints[] = {"Play Wav", "Extract",  "Replace",       "Select all", "Deselect all",
                           "Zoom in",  "Zoom out", "Fit to window", "Zoom 1:1"};
    SpeedButton** buttons[FormGeometry::kButtonCount] = {
        &SpeedButton1, &SpeedButton2, &SpeedButton3, &SpeedButton4, &SpeedButton5,
        &SpeedButton6, &SpeedButton7, &SpeedButton8, &SpeedButton9};
    for (int i = 0; i < FormGeometry::kButtonCount; ++i) {
        *buttons[i] = new SpeedButton(QString::fromUtf8(hints[i]), glyphPath(i + 1), client);
        (*buttons[i])->move(FormGeometry::button(i + 1).topLeft());
    }
    SpeedButton1->setEnabled(false);

    ProgressBar1 = new QProgressBar(client);
    ProgressBar1->setGeometry(FormGeometry::kProgressBar);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFocusPolicy(Qt::NoFocus);

    Panel1 = new QFrame(client);
    Panel1->setFrameStyle(QFrame::NoFrame);
    Panel1->setGeometry(FormGeometry::kPictureArea);
    Image1 = new ImageControl(Panel1);
}

void TForm1::createPreviews() {
    const EntrySource source{[this] { return session_.archivePath; }, session_.entries,
                             session_.staging};
    dispatch_ = std::make_unique<EntryDispatch>(
        session_.entries, [this](bool enabled) { SpeedButton1->setEnabled(enabled); },
        [this](int index) { showimage(index); });
    bitmapPreview_ = std::make_unique<BitmapPreview>(*Image1, source);
    soundPreview_ = std::make_unique<SoundPreview>(*services_.JvWavePlayer1, source);
}

void TForm1::createMenu() {
    MainMenu1 = menuBar();
    File1 = MainMenu1->addMenu(QStringLiteral("File"));
    OpenXCR1 = File1->addAction(QStringLiteral("Open XCR"));
    SaveXCR1 = File1->addAction(QStringLiteral("Save XCR"));
    ReplaceFromFolder1 = File1->addAction(QStringLiteral("Replace from folder"));
    Replacements1 = File1->addAction(QStringLiteral("Replacements\u2026"));
    ApplyModPatch1 = File1->addAction(QStringLiteral("Apply mod patch\u2026"));
    ExportModPatch1 = File1->addAction(QStringLiteral("Export replacements as mod patch\u2026"));
    UndoLastSave1 = File1->addAction(QStringLiteral("Undo last save"));
    UndoLastSave1->setEnabled(false);
    Exit1 = File1->addAction(QStringLiteral("Exit"));
    About1 = MainMenu1->addAction(QStringLiteral("About"));
}

void TForm1::createEntryMenu() {
    PopupMenu1 = new QMenu(this);
    OpenInDefaultApplication1 =
        PopupMenu1->addAction(QStringLiteral("Open in default application"));
    OpenWith1 = PopupMenu1->addAction(QStringLiteral("Open with\u2026"));
    PopupMenu1->addSeparator();
    Extract1 = PopupMenu1->addAction(QStringLiteral("Extract\u2026"));
    Replace1 = PopupMenu1->addAction(QStringLiteral("Replace\u2026"));
    ForgetReplacement1 = PopupMenu1->addAction(QStringLiteral("Forget replacement"));
}

void TForm1::OpenXCR1Click() {
    // A cancel leaves the list, its marks, the replacements and the title as they are.
    if (services_.OpenDialog1->execute(this)) {
        openArchive(services_.OpenDialog1->fileName());
    }
}

void TForm1::openArchive(const std::string& path) {
    if (path.empty()) {
        return;
    }
    std::string notice;
    try {
        notice = session_.open(path);
    } catch (...) {
        editing_->stopAll();
        showEntries();
        throw;
    }
    editing_->archiveOpened();
    showEntries();
    setWindowTitle(QFile::decodeName(archiveWindowTitle(path).c_str()));
    if (!notice.empty()) {
        services_.messages->inform(this, notice);
    }
}

void TForm1::openStarted(const std::string& path) {
    constexpr std::string_view kPatchSuffix = ".xcrpatch";
    if (path.size() > kPatchSuffix.size() &&
        QString::fromStdString(path.substr(path.size() - kPatchSuffix.size()))
                .compare(QString::fromUtf8(kPatchSuffix.data()), Qt::CaseInsensitive) == 0) {
        modPatch_->offer(this, path);
    } else {
        openConfirmed(path);
    }
}

void TForm1::showEntries() {
    CheckListBox1->setEntries(session_.entries.names(), session_.marks);
}

void TForm1::SpeedButton1Click() {
    soundPreview_->play(CheckListBox1->itemIndex());
}

void TForm1::CheckListBox1Click() {
    dispatch_->select(CheckListBox1->itemIndex());
}

void TForm1::showimage(int index) {
    bitmapPreview_->show(index);
}

void TForm1::SpeedButton2Click() {
    extractTo(nullptr);
}

void TForm1::extractTo(std::shared_ptr<const CheckMarks> marks) {
    JobTicket ticket = JvThread1->reserve();
    if (!ticket) {
        return;
    }
    // The archive is held before the chooser shows, so that the chooser only shows for
    // an archive that can be read, and nothing changes it while the user chooses.
    HeldArchive archive = HeldArchive::attempt(session_.archivePath);
    std::string folder;
    if (archive.isOpen() && services_.JvBrowseFolder1->execute(this)) {
        folder = services_.JvBrowseFolder1->folder();
    }
    auto request = std::make_shared<ExtractionRequest>(
        session_.extractionRequest(std::move(archive), std::move(folder)));
    if (marks) {
        request->marks = std::move(marks);
    }
    startJob(*JvThread1, std::move(ticket),
             [this, request] { return JvThread1Execute(std::move(*request)); });
}

void TForm1::SpeedButton3Click() {
    const int index = CheckListBox1->itemIndex();
    // A cancel records nothing, also after an earlier confirmation.
    if (index < 0 || !services_.OpenDialog2->execute(this)) {
        return;
    }
    const std::string path = services_.OpenDialog2->fileName();
    if (!path.empty()) {
        recordReplacement(index, path);
    }
}

void TForm1::recordReplacement(int index, const std::string& path) {
    session_.replacements.record(index, path, fileChosen(path));
    CheckListBox1->replacementsChanged();
}

void TForm1::ReplaceFromFolder1Click() {
    folderReplace_->run(this);
    CheckListBox1->replacementsChanged();
}

void TForm1::Replacements1Click() {
    if (replacementsCommand_->run(this)) {
        CheckListBox1->replacementsChanged();
    }
}

void TForm1::ApplyModPatch1Click() {
    modPatch_->apply(this);
    CheckListBox1->replacementsChanged();
}

void TForm1::ExportModPatch1Click() {
    modPatch_->exportReplacements(this);
}

void TForm1::CheckListBox1ContextPopup(const QPoint& at) {
    const int index = CheckListBox1->itemIndex();
    const bool idle = !lock_->isHeld() && index >= 0;
    for (QAction* item : {OpenInDefaultApplication1, OpenWith1, Extract1, Replace1}) {
        item->setEnabled(idle);
    }
    ForgetReplacement1->setEnabled(idle && session_.replacements.isReplaced(index));
    PopupMenu1->popup(at);
}

void TForm1::OpenInDefaultApplication1Click() {
    editEntry(false);
}

void TForm1::OpenWith1Click() {
    editEntry(true);
}

void TForm1::editEntry(bool askApplication) {
    const int index = CheckListBox1->itemIndex();
    JobTicket ticket = JvThread5->reserve();
    if (index < 0 || !ticket || !editing_->plan(this, index, askApplication)) {
        return;
    }
    auto request = std::make_shared<EditCopyRequest>(
        editing_->copyRequest(HeldArchive::attempt(session_.archivePath)));
    std::shared_ptr<EditCopyMade> made = editing_->made();
    startJob(*JvThread5, std::move(ticket),
             [this, request, made] { return runEditCopy(std::move(*request), *progress_, *made); });
}

void TForm1::editCopyMade(const JobOutcome& outcome) {
    if (outcome.ok() && !closeWhenIdle_) {
        editing_->copyMade(this);
    }
    jobEnded(outcome);
}

void TForm1::Extract1Click() {
    const int index = CheckListBox1->itemIndex();
    if (index >= 0) {
        auto only = std::make_shared<CheckMarks>(session_.entries.count());
        only->set(index, true);
        extractTo(std::move(only));
    }
}

void TForm1::Replace1Click() {
    SpeedButton3Click();
}

void TForm1::ForgetReplacement1Click() {
    const int index = CheckListBox1->itemIndex();
    session_.replacements.remove(index);
    editing_->stopWatching(index);
    CheckListBox1->replacementsChanged();
}

void TForm1::SpeedButton4Click() {
    CheckListBox1->setAllChecked(true);
}

void TForm1::SpeedButton5Click() {
    CheckListBox1->setAllChecked(false);
}

void TForm1::SpeedButton6Click() {
    bitmapPreview_->zoomIn();
}

void TForm1::SpeedButton7Click() {
    bitmapPreview_->zoomOut();
}

void TForm1::Image1MouseUp(int x, int y) {
    bitmapPreview_->release(x, y);
}

void TForm1::SpeedButton8Click() {
    bitmapPreview_->fitToWindow();
}

void TForm1::SpeedButton9Click() {
    bitmapPreview_->zoomOneToOne();
}

void TForm1::Image1MouseDown(int x, int y) {
    bitmapPreview_->press(x, y);
}

void TForm1::CheckListBox1StartDrag(int row) {
    JobTicket ticket = JvThread4->reserve();
    if (!ticket) {
        return;
    }
    auto request = std::make_shared<ExtractionRequest>(entryDrag_->prepare(row));
    startJob(*JvThread4, std::move(ticket),
             [this, request] { return JvThread1Execute(std::move(*request)); });
}

JobOutcome TForm1::JvThread1Execute(ExtractionRequest request) {
    return runExtraction(std::move(request), *progress_);
}

void TForm1::SaveXCR1Click() {
    if (editing_->settling()) {
        // Its file may be half written, or about to be renamed over.
        services_.messages->show(
            this, "An edited entry is still being written. Save XCR again in a moment.");
        return;
    }
    JobTicket ticket = JvThread2->reserve();
    if (ticket) {
        auto request = std::make_shared<SaveRequest>(session_.saveRequest(
            HeldArchive::attempt(session_.archivePath, HeldArchive::Access::ReadWrite)));
        startJob(*JvThread2, std::move(ticket),
                 [this, request] { return JvThread2Execute(std::move(*request)); });
    }
}

void TForm1::UndoLastSave1Click() {
    JobTicket ticket = JvThread3->reserve();
    if (ticket) {
        auto request = std::make_shared<UndoRequest>(lastSaveUndo_.request(session_));
        startJob(*JvThread3, std::move(ticket),
                 [this, request] { return runUndo(std::move(*request), *progress_); });
    }
}

void TForm1::About1Click() {
    About->rollUp();
}

void TForm1::AboutAnchorClick(const QString& anchor) {
    followAboutLink(anchor, *services_.shell, *About);
}

JobOutcome TForm1::JvThread2Execute(SaveRequest request) {
    return runSave(std::move(request), *progress_);
}

void TForm1::Exit1Click() {
    close();
}

void TForm1::showEvent(QShowEvent* event) {
    if (!centred_ && screen() != nullptr) {
        centred_ = true;
        // A window manager adds its frame only once the window shows: it is asked ahead,
        // so that the window is centred by its outer edges.
        QRect frame = frameGeometry();
        const QRect client = geometry();
        const QMargins known(client.left() - frame.left(), client.top() - frame.top(),
                             frame.right() - client.right(), frame.bottom() - client.bottom());
        QMargins expected;
        if (windowHandle() != nullptr) {
            expected = services_.frameMargins->expected(*windowHandle());
        }
        if (expected.isNull()) {
            expected = known;
        }
        frame = client.marginsAdded(expected);
        frame.moveCenter(screen()->availableGeometry().center());
        // move() places the frame as far as Qt knows it.
        move(frame.topLeft() +
             QPoint(expected.left() - known.left(), expected.top() - known.top()));
    }
    QMainWindow::showEvent(event);
}

void TForm1::startJob(JobRunner& runner, JobTicket ticket, JobRunner::Body body) {
    try {
        runner.start(std::move(ticket), std::move(body));
    } catch (...) {
        // No job will report an end: a close asked for meanwhile happens now.
        if (closeWhenIdle_) {
            QMetaObject::invokeMethod(this, &TForm1::close, Qt::QueuedConnection);
        }
        throw;
    }
}

bool TForm1::jobsRunning() const {
    return JvThread1->runningCount() > 0 || JvThread2->runningCount() > 0 ||
           JvThread3->runningCount() > 0 || JvThread4->runningCount() > 0 ||
           JvThread5->runningCount() > 0;
}

void TForm1::jobEnded(const JobOutcome& outcome) {
    if (outcome.savedEntries) {
        session_.saved(*outcome.savedEntries);
    }
    if (!outcome.ok()) {
        services_.messages->show(this, outcome.failure);
    } else if (!outcome.warning.empty()) {
        services_.messages->show(this, outcome.warning);
    }
    if (closeWhenIdle_ && !lock_->isHeld()) {
        close();
    }
}

void TForm1::undoEnded(const JobOutcome& outcome) {
    if (outcome.savedEntries) {
        session_.undone(*outcome.savedEntries);
        editing_->archiveOpened();
        showEntries();
    }
    jobEnded(outcome);
}

void TForm1::dragExtracted(const JobOutcome& outcome) {
    // A window closing meanwhile has gone out of sight: nothing to drag from.
    if (outcome.ok() && !closeWhenIdle_) {
        entryDrag_->handOver(*CheckListBox1);
    }
    jobEnded(outcome);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A job may be under way (or about to start, its lock taken), and a save must never
    // be cut off: the window goes out of sight now and closes once the job has ended.
    if (lock_->isHeld()) {
        closeWhenIdle_ = true;
        hide();
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

}  // namespace xcr
