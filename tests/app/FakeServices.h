#ifndef TESTS_APP_FAKESERVICES_H
#define TESTS_APP_FAKESERVICES_H

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/FormServices.h"
#include "tests/app/AboutTestDoubles.h"
#include "tests/support/XcrBuilder.h"

namespace xcr::test {

// An open dialog that answers from a queue: a path confirms it, nullopt cancels; an
// empty queue cancels. Like the real one it keeps its last confirmed name.
class FakeFileDialog : public FileDialog {
public:
    bool execute(QWidget*) override {
        ++shown;
        std::optional<std::string> reply;
        if (!replies.empty()) {
            reply = replies.front();
            replies.pop_front();
        }
        if (reply) {
            name = *reply;
        }
        return reply.has_value();
    }
    std::string fileName() const override { return name; }
    void openIn(const std::string& folder) override { openedIn = folder; }

    std::deque<std::optional<std::string>> replies;
    std::string name;
    std::string openedIn;
    int shown = 0;
};

// A folder chooser that confirms `answer` (or cancels when it is empty) after running
// `onShow`, which a test uses to act while a job waits on the chooser.
class FakeFolderChooser : public FolderChooser {
public:
    bool execute(QWidget*) override {
        ++shown;
        if (onShow) {
            onShow();
        }
        if (answer.empty()) {
            return false;
        }
        chosen = answer;
        return true;
    }
    std::string folder() const override { return chosen; }
    void openOn(const std::string& folder) override { openedOn = folder; }

    std::string answer;
    std::string openedOn;
    std::string chosen;
    std::function<void()> onShow;
    int shown = 0;
};

// A Replacements dialog that keeps the rows it was shown and removes `remove`.
class FakeReplacementsDialog : public ReplacementsDialog {
public:
    std::vector<int> execute(QWidget*, const std::vector<ReplacementRow>& shown) override {
        rows = shown;
        return remove;
    }
    std::vector<ReplacementRow> rows;
    std::vector<int> remove;
};

class FakeMessageBox : public MessageBox {
public:
    void show(QWidget*, const std::string& text) override {
        texts.push_back(text);
        if (onShow) {
            onShow();
        }
    }
    void inform(QWidget*, const std::string& text) override { notices.push_back(text); }
    std::vector<std::string> texts;
    std::vector<std::string> notices;
    std::function<void()> onShow;
};

class FakeBeeper : public Beeper {
public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

// Keeps the bytes of every file it is asked to play.
class FakeWavePlayer : public WavePlayer {
public:
    bool play(const std::string& path) override {
        played.push_back(readFileBytes(path));
        return true;
    }
    std::vector<Bytes> played;
};

class FakeFrameMargins : public FrameMargins {
public:
    QMargins expected(QWindow&) override { return margins; }
    QMargins margins;
};

// Keeps what every drag carried; the button counts as held unless a test lets it go.
class FakeFileDrag : public FileDrag {
public:
    bool buttonHeld() const override { return held; }
    void drag(QWidget&, const std::string& uriList) override { uriLists.push_back(uriList); }
    bool held = true;
    std::vector<std::string> uriLists;
};

// The applications a test makes up for every file; launching keeps the id and the path,
// and fails with `failure` when one is set.
class FakeApplications : public Applications {
public:
    std::vector<DesktopApplication> forFile(const std::string&) override { return choices; }
    std::string launch(const std::string& id, const std::string& path) override {
        launched.emplace_back(id, path);
        return failure;
    }
    std::vector<DesktopApplication> choices;
    std::vector<std::pair<std::string, std::string>> launched;
    std::string failure;
};

// Chooses `answer` (-1 cancels) and keeps the choice it was asked to preselect.
class FakeApplicationChooser : public ApplicationChooser {
public:
    int choose(QWidget*, const QString&, const std::vector<DesktopApplication>&,
               int preselected) override {
        preselections.push_back(preselected);
        return answer;
    }
    int answer = -1;
    std::vector<int> preselections;
};

class FakeSettingsStore : public SettingsStore {
public:
    std::string value(const std::string& key) const override {
        const auto found = values.find(key);
        return found == values.end() ? std::string() : found->second;
    }
    void setValue(const std::string& key, const std::string& value) override {
        values[key] = value;
    }
    std::map<std::string, std::string> values;
};

class FakeStatusNote : public StatusNote {
public:
    void show(QWidget&, const QString& text) override { texts << text; }
    QStringList texts;
};

// Every service of the window replaced by a fake; the pointers stay valid while the
// window that took the services lives.
struct FakeServices {
    FakeFileDialog* OpenDialog1 = new FakeFileDialog;
    FakeFileDialog* OpenDialog2 = new FakeFileDialog;
    FakeFileDialog* patchOpenDialog = new FakeFileDialog;
    FakeFileDialog* patchSaveDialog = new FakeFileDialog;
    FakeFolderChooser* JvBrowseFolder1 = new FakeFolderChooser;
    FakeFolderChooser* JvBrowseFolder2 = new FakeFolderChooser;
    FakeReplacementsDialog* replacementsDialog = new FakeReplacementsDialog;
    FakeMessageBox* messages = new FakeMessageBox;
    FakeBeeper* beeper = new FakeBeeper;
    FakeWavePlayer* JvWavePlayer1 = new FakeWavePlayer;
    FakeScreen* screen = new FakeScreen(QSize(1024, 738));
    FakeClock* clock = new FakeClock(0);
    FakePump* pump = new FakePump(*clock);
    FakeShell* shell = new FakeShell;
    FakeFrameMargins* frameMargins = new FakeFrameMargins;
    FakeFileDrag* fileDrag = new FakeFileDrag;
    FakeApplications* applications = new FakeApplications;
    FakeApplicationChooser* applicationChooser = new FakeApplicationChooser;
    std::shared_ptr<FakeSettingsStore> settings = std::make_shared<FakeSettingsStore>();
    FakeStatusNote* notes = new FakeStatusNote;

    FormServices take() {
        FormServices services;
        services.OpenDialog1.reset(OpenDialog1);
        services.OpenDialog2.reset(OpenDialog2);
        services.patchOpenDialog.reset(patchOpenDialog);
        services.patchSaveDialog.reset(patchSaveDialog);
        services.JvBrowseFolder1.reset(JvBrowseFolder1);
        services.JvBrowseFolder2.reset(JvBrowseFolder2);
        services.replacementsDialog.reset(replacementsDialog);
        services.messages.reset(messages);
        services.beeper.reset(beeper);
        services.JvWavePlayer1.reset(JvWavePlayer1);
        services.screen.reset(screen);
        services.clock.reset(clock);
        services.pump.reset(pump);
        services.shell.reset(shell);
        services.frameMargins.reset(frameMargins);
        services.fileDrag.reset(fileDrag);
        services.applications.reset(applications);
        services.applicationChooser.reset(applicationChooser);
        services.settings = settings;
        services.notes.reset(notes);
        return services;
    }
};

}  // namespace xcr::test

#endif  // TESTS_APP_FAKESERVICES_H
