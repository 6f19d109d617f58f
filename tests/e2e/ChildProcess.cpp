#include "tests/e2e/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace xcr::e2e {

namespace {

using Clock = std::chrono::steady_clock;

// The argument and environment arrays are built before fork(), so that the child only
// makes async-signal-safe calls until exec.
struct ExecArguments {
    std::vector<std::string> strings;
    std::vector<char*> argv;
    std::vector<std::string> environmentStrings;
    std::vector<char*> envp;

    ExecArguments(const std::vector<std::string>& arguments,
                  const std::map<std::string, std::string>& environment)
        : strings(arguments) {
        for (auto& text : strings) {
            argv.push_back(text.data());
        }
        argv.push_back(nullptr);
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string line(*entry);
            const auto name = line.substr(0, line.find('='));
            if (environment.count(name) == 0) {
                environmentStrings.push_back(line);
            }
        }
        for (const auto& [name, value] : environment) {
            environmentStrings.push_back(name + "=" + value);
        }
        for (auto& text : environmentStrings) {
            envp.push_back(text.data());
        }
        envp.push_back(nullptr);
    }
};

// In the child: a process group of its own, killed with the test process if that dies.
void becomeGroupLeader() {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
}

// True when `pid` has ended; it is left unreaped, so that its process group id cannot be
// taken by another process before the group is killed.
bool ended(pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

// Kills whatever is left of the group and reaps the leader; returns its wait status.
int killAndReap(pid_t pid) {
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::map<std::string, std::string>& environment,
                           const std::string& logPath) {
    ExecArguments arguments(argv, environment);
    const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (log < 0) {
        throw std::runtime_error("cannot create " + logPath);
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        becomeGroupLeader();
        ::dup2(log, STDOUT_FILENO);
        ::dup2(log, STDERR_FILENO);
        ::execvpe(arguments.argv[0], arguments.argv.data(), arguments.envp.data());
        ::_exit(127);
    }
    ::close(log);
    if (pid_ < 0) {
        throw std::runtime_error("cannot start " + argv.front());
    }
    ::setpgid(pid_, pid_);
}

ChildProcess::~ChildProcess() {
    killGroup();
}

bool ChildProcess::running() {
    if (reaped_) {
        return false;
    }
    if (ended(pid_)) {
        killGroup();
    }
    return !reaped_;
}

void ChildProcess::killGroup() {
    if (reaped_) {
        return;
    }
    killAndReap(pid_);
    reaped_ = true;
}

ChildProcess::Output ChildProcess::run(const std::vector<std::string>& argv,
                                       std::chrono::milliseconds timeout) {
    ExecArguments arguments(argv, {});
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        throw std::runtime_error("cannot make a pipe");
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        becomeGroupLeader();
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDERR_FILENO);
        ::execvpe(arguments.argv[0], arguments.argv.data(), arguments.envp.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    if (pid < 0) {
        ::close(pipeEnds[0]);
        throw std::runtime_error("cannot start " + argv.front());
    }
    ::setpgid(pid, pid);

    Output output;
    const auto deadline = Clock::now() + timeout;
    bool open = true;
    while (open && Clock::now() < deadline) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd wanted{pipeEnds[0], POLLIN, 0};
        if (::poll(&wanted, 1, static_cast<int>(left.count()) + 1) <= 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (got > 0) {
            output.text.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            open = false;
        }
    }
    ::close(pipeEnds[0]);
    while (!ended(pid) && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const bool inTime = ended(pid);
    const int status = killAndReap(pid);
    if (inTime) {
        output.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    }
    return output;
}

}  // namespace xcr::e2e
