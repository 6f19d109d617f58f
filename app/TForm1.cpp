#include "app/TForm1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLayout>
#include <QScreen>

#include "app/FormGeometry.h"
#include "app/Resources.h"
#include "app/about/AboutLink.h"
#include "app/about/AboutPictures.h"
#include "archive/DisplayName.h"
#include "archive/ExtractionJob.h"
#include "archive/File.h"
#include "archive/SaveJob.h"

namespace xcr {

namespace {

QString glyphPath(int button) {
    return QStringLiteral(":/glyphs/SpeedButton%1.bmp").arg(button);
}

}  // namespace

TForm1::TForm1(FormServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), guard_(*services_.messages, this) {
    loadResources();
    setWindowIcon(QIcon(QStringLiteral(":/icon/pelloran.ico")));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    setFont(font);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    setPalette(colours);

    auto* client = new QWidget(this);
    client->setFixedSize(FormGeometry::kClient);
    setCentralWidget(client);
    createControls(client);
    createMenu();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    lock_ = std::make_unique<JobLock>(
        QList<QWidget*>{SpeedButton2, SpeedButton3, File1, CheckListBox1});
    host_ = std::make_unique<WindowJobHost>(
        WindowJobHost::Parts{this, CheckListBox1, ProgressBar1, lock_.get(),
                             services_.JvBrowseFolder1.get(), services_.beeper.get()});
    JvThread1 = new JobRunner(this);
    JvThread2 = new JobRunner(this);
    for (auto* runner : {JvThread1, JvThread2}) {
        connect(runner, &JobRunner::ended, this, &TForm1::jobEnded);
    }
    createPreviews();
    About = std::make_unique<AboutPopup>(
        this, *services_.screen, *services_.clock, *services_.pump, aboutPictures(),
        [this](const QString& anchor) { guard_.run([&] { AboutAnchorClick(anchor); }); });

    bind(OpenXCR1, &QAction::triggered, &TForm1::OpenXCR1Click);
    bind(SaveXCR1, &QAction::triggered, &TForm1::SaveXCR1Click);
    bind(Exit1, &QAction::triggered, &TForm1::Exit1Click);
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
    session_.staging.removeIfEmpty();
}

void TForm1::createControls(QWidget* client) {
    CheckListBox1 = new CheckListBox(client);
    CheckListBox1->setGeometry(FormGeometry::kList);
    const char* hints[] = {"Play Wav", "Extract",  "Replace",       "Select all", "Deselect all",
                           "Zoom in",  "Zoom out", "Fit to window", "Zoom 1:1"};
    SpeedButton* buttons[FormGeometry::kButtonCount];
    for (int i = 0; i < FormGeometry::kButtonCount; ++i) {
        buttons[i] = new SpeedButton(QString::fromUtf8(hints[i]), glyphPath(i + 1), client);
        buttons[i]->move(FormGeometry::button(i + 1).topLeft());
    }
    SpeedButton1 = buttons[0];
    SpeedButton2 = buttons[1];
    SpeedButton3 = buttons[2];
    SpeedButton4 = buttons[3];
    SpeedButton5 = buttons[4];
    SpeedButton6 = buttons[5];
    SpeedButton7 = buttons[6];
    SpeedButton8 = buttons[7];
    SpeedButton9 = buttons[8];
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
    const EntrySource source{[this] { return services_.OpenDialog1->fileName(); }, session_.entries,
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
    Exit1 = File1->addAction(QStringLiteral("Exit"));
    About1 = MainMenu1->addAction(QStringLiteral("About"));
}

void TForm1::OpenXCR1Click() {
    services_.OpenDialog1->execute(this);
    const std::string path = services_.OpenDialog1->fileName();
    if (path.empty()) {
        return;
    }
    CheckListBox1->clear();
    session_.entries.clear();
    session_.replacements.resetFor(0);
    File archive = File::open(path, File::Access::Read);
    session_.entries.assign(archive);
    archive.close();
    session_.replacements.resetFor(session_.entries.count());
    CheckListBox1->setNames(session_.entries.displayNames());
    setWindowTitle(QFile::decodeName(archiveWindowTitle(path).c_str()));
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
    const std::string archivePath = services_.OpenDialog1->fileName();
    startJob(*JvThread1, [this, archivePath] { return JvThread1Execute(archivePath); });
}

void TForm1::SpeedButton3Click() {
    const int index = CheckListBox1->itemIndex();
    if (index < 0) {
        return;
    }
    services_.OpenDialog2->execute(this);
    const std::string path = services_.OpenDialog2->fileName();
    if (!path.empty()) {
        session_.replacements.record(index, path);
    }
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

JobOutcome TForm1::JvThread1Execute(const std::string& archivePath) {
    return runExtraction(archivePath, session_.entries, *host_);
}

void TForm1::SaveXCR1Click() {
    const std::string archivePath = services_.OpenDialog1->fileName();
    startJob(*JvThread2, [this, archivePath] { return JvThread2Execute(archivePath); });
}

void TForm1::About1Click() {
    About->rollUp();
}

void TForm1::AboutAnchorClick(const QString& anchor) {
    followAboutLink(anchor, *services_.shell, *About);
}

JobOutcome TForm1::JvThread2Execute(const std::string& archivePath) {
    return runSave(archivePath, session_, *host_);
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

void TForm1::startJob(JobRunner& runner, JobRunner::Body body) {
    // Held means a job has not released it yet: its command is out of reach.
    if (!lock_->take()) {
        return;
    }
    try {
        runner.start(std::move(body));
    } catch (...) {
        settleLock();
        throw;
    }
    settleLock();
}

bool TForm1::jobsRunning() const {
    return JvThread1->runningCount() > 0 || JvThread2->runningCount() > 0;
}

void TForm1::settleLock() {
    if (lock_->isHeld() && !jobsRunning()) {
        lock_->release();
    }
}

void TForm1::jobEnded(const JobOutcome& outcome) {
    settleLock();
    if (!outcome.ok()) {
        services_.messages->show(this, outcome.failure);
    }
    if (closeWhenIdle_ && !jobsRunning()) {
        close();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A job may be waiting on this window, and a save must never be cut off: the
    // window goes out of sight now and closes once the last job has reported its end.
    if (jobsRunning()) {
        closeWhenIdle_ = true;
        hide();
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

}  // namespace xcr
