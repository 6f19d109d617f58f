// Test entry for tests that need a QApplication: runs without a display or a sound device.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <string>

namespace {

// Every window sweeps its temporary folder for the private folders of ended runs, saves
// keep their undo records in the state folder and edited entries in the cache folder: the tests get
// folders of their own beside the test program rather than the machine's or the user's.
void useFoldersBesideTheProgram() {
    char self[4096];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        return;
    }
    std::string folder(self, static_cast<std::size_t>(length));
    folder = folder.substr(0, folder.rfind('/')) + "/tmp";
    ::mkdir(folder.c_str(), 0700);
    setenv("TMPDIR", folder.c_str(), 1);
    setenv("XDG_STATE_HOME", (folder + "/state").c_str(), 1);
    setenv("XDG_CACHE_HOME", (folder + "/cache").c_str(), 1);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    useFoldersBesideTheProgram();
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
