#include "tests/support/ToolProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

extern char** environ;

namespace xcr::test {

namespace {

// An unnamed file to take one stream of the child's.
int captureFile() {
    const int fd = ::open("/tmp", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw std::runtime_error("cannot make a capture file");
    }
    return fd;
}

std::string contentsOf(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::pread(fd, buffer, sizeof buffer, off_t(text.size()))) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

int statusOf(int wait) {
    return WIFEXITED(wait) ? WEXITSTATUS(wait) : 128 + WTERMSIG(wait);
}

}  // namespace

ToolProcess::ToolProcess(const std::vector<std::string>& argv, const std::string& folder,
                         bool outputUnread)
    : out_(captureFile()), err_(captureFile()) {
    std::vector<char*> arguments;
    for (const std::string& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    // A pipe whose reading end is closed before the child starts, so its first write fails.
    int unread[2] = {-1, -1};
    if (outputUnread) {
        if (::pipe2(unread, O_CLOEXEC) != 0) {
            throw std::runtime_error("cannot make a pipe");
        }
        ::close(unread[0]);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outputUnread ? unread[1] : out_, 1);
    posix_spawn_file_actions_adddup2(&actions, err_, 2);
    const int failed =
        ::posix_spawn(&pid_, arguments[0], &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (outputUnread) {
        ::close(unread[1]);
    }
    if (failed != 0) {
        throw std::runtime_error("cannot start " + argv.at(0));
    }
}

ToolProcess::~ToolProcess() {
    if (running()) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    ::close(out_);
    ::close(err_);
}

bool ToolProcess::running() {
    int wait = 0;
    if (status_ == -1 && ::waitpid(pid_, &wait, WNOHANG) == pid_) {
        status_ = statusOf(wait);
    }
    return status_ == -1;
}

void ToolProcess::signal(int number) {
    ::kill(pid_, number);
}

ToolProcess::Result ToolProcess::finish() {
    int wait = 0;
    if (status_ == -1 && ::waitpid(pid_, &wait, 0) == pid_) {
        status_ = statusOf(wait);
    }
    return {status_, contentsOf(out_), contentsOf(err_)};
}

}  // namespace xcr::test
