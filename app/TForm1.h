#ifndef APP_TFORM1_H
#define APP_TFORM1_H

#include <QAction>
#include <QFrame>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <memory>

#include "app/ArchiveDrop.h"
#include "app/CheckListBox.h"
#include "app/CommandGuard.h"
#include "app/EntryDrag.h"
#include "app/EntryEditing.h"
#include "app/FolderReplaceCommand.h"
#include "app/FormServices.h"
#include "app/JobLock.h"
#include "app/JobRunner.h"
#include "app/LastSaveUndo.h"
#include "app/ModPatchCommand.h"
#include "app/ReplacementsCommand.h"
#include "app/SpeedButton.h"
#include "app/WindowProgress.h"
#include "app/about/AboutPopup.h"
#include "archive/session/ArchiveSession.h"
#include "preview/BitmapPreview.h"
#include "preview/EntryDispatch.h"
#include "preview/ImageControl.h"
#include "preview/SoundPreview.h"

namespace xcr {

// The main window: wires its controls to the archive commands. Controls carry their
// component names so that every handler reads as the command it is.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(FormServices services, QWidget* parent = nullptr);
    ~TForm1() override;

    const ArchiveSession& session() const { return session_; }

    // Opens the archive at `path` as Open XCR does with a confirmed file.
    void openArchive(const std::string& path);
    // The same with a failure shown in a message box, as Open XCR shows it.
    void openConfirmed(const std::string& path) {
        guard_.run([this, &path] { openArchive(path); });
    }

    // What the program was started with: an archive is opened as openConfirmed() opens
    // it; a mod patch (named *.xcrpatch, as the desktop hands one over) is only offered
    // to Apply mod patch…, which needs the archive it is for to be open first.
    void openStarted(const std::string& path);

    // Runs `handler` when `signal` fires, with its failure shown in a message box.
    template <typename Sender, typename Signal>
    void bind(Sender* sender, Signal signal, void (TForm1::*handler)());

    void OpenXCR1Click();
    void SpeedButton1Click();
    void CheckListBox1Click();
    void showimage(int index);
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SaveXCR1Click();
    void UndoLastSave1Click();
    void About1Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void Image1MouseUp(int x, int y);
    void SpeedButton8Click();
    void SpeedButton9Click();
    void Image1MouseDown(int x, int y);
    void CheckListBox1StartDrag(int row);
    void AboutAnchorClick(const QString& anchor);
    // The job bodies, on their worker threads.
    JobOutcome JvThread1Execute(ExtractionRequest request);
    JobOutcome JvThread2Execute(SaveRequest request);
    void Exit1Click();
    void ReplaceFromFolder1Click();
    void Replacements1Click();
    void ApplyModPatch1Click();
    void ExportModPatch1Click();
    // The entry list's menu, on the selected entry.
    void CheckListBox1ContextPopup(const QPoint& at);
    void OpenInDefaultApplication1Click();
    void OpenWith1Click();
    void Extract1Click();
    void Replace1Click();
    void ForgetReplacement1Click();

    CheckListBox* CheckListBox1;
    SpeedButton* SpeedButton1;
    SpeedButton* SpeedButton2;
    SpeedButton* SpeedButton3;
    SpeedButton* SpeedButton4;
    SpeedButton* SpeedButton5;
    SpeedButton* SpeedButton6;
    SpeedButton* SpeedButton7;
    SpeedButton* SpeedButton8;
    SpeedButton* SpeedButton9;
    QProgressBar* ProgressBar1;
    QFrame* Panel1;
    ImageControl* Image1;
    QMenuBar* MainMenu1;
    QMenu* File1;
    QAction* OpenXCR1;
    QAction* SaveXCR1;
    QAction* ReplaceFromFolder1;
    QAction* Replacements1;
    QAction* ApplyModPatch1;
    QAction* ExportModPatch1;
    QAction* UndoLastSave1;
    QAction* Exit1;
    QAction* About1;
    QMenu* PopupMenu1;
    QAction* OpenInDefaultApplication1;
    QAction* OpenWith1;
    QAction* Extract1;
    QAction* Replace1;
    QAction* ForgetReplacement1;
    JobRunner* JvThread1;  // extraction
    JobRunner* JvThread2;  // save
    JobRunner* JvThread3;  // undo of the last save
    JobRunner* JvThread4;  // extraction of the entries dragged out
    JobRunner* JvThread5;  // copy of an entry to edit
    std::unique_ptr<AboutPopup> About;

signals:
    // The window has closed for good; the application ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls(QWidget* client);
    void createMenu();
    void createPreviews();
    void createEntryMenu();
    // Extracts the entries `marks` checks (the list's when none are given) to a folder
    // the user chooses.
    void extractTo(std::shared_ptr<const CheckMarks> marks);
    void editEntry(bool askApplication);
    void editCopyMade(const JobOutcome& outcome);
    void showEntries();
    void recordReplacement(int index, const std::string& path);
    void startJob(JobRunner& runner, JobTicket ticket, JobRunner::Body body);
    bool jobsRunning() const;
    void jobEnded(const JobOutcome& outcome);
    void undoEnded(const JobOutcome& outcome);
    void dragExtracted(const JobOutcome& outcome);

    FormServices services_;
    ArchiveSession session_;
    CommandGuard guard_;
    std::unique_ptr<JobLock> lock_;
    std::unique_ptr<WindowProgress> progress_;
    LastSaveUndo lastSaveUndo_;
    std::unique_ptr<EntryDispatch> dispatch_;
    std::unique_ptr<BitmapPreview> bitmapPreview_;
    std::unique_ptr<SoundPreview> soundPreview_;
    std::unique_ptr<FolderReplaceCommand> folderReplace_;
    std::unique_ptr<ReplacementsCommand> replacementsCommand_;
    std::unique_ptr<ModPatchCommand> modPatch_;
    std::unique_ptr<EntryDrag> entryDrag_;
    std::unique_ptr<EntryEditing> editing_;
    bool centred_ = false;
    bool closeWhenIdle_ = false;
};

template <typename Sender, typename Signal>
void TForm1::bind(Sender* sender, Signal signal, void (TForm1::*handler)()) {
    connect(sender, signal, this,
            [this, handler] { guard_.run([this, handler] { (this->*handler)(); }); });
}

}  // namespace xcr

#endif  // APP_TFORM1_H
