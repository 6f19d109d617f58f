#ifndef TESTS_E2E_CHILDPROCESS_H
#define TESTS_E2E_CHILDPROCESS_H

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace xcr::e2e {

// A process started in a process group of its own. The whole group is killed and reaped
// when the object goes, on every path, so no test leaves a process behind.
class ChildProcess {
public:
    struct Output {
        int exitCode = -1;  // -1 when the process did not end by itself in time
        std::string text;   // what it wrote to its standard output
    };

    // Starts `argv` with `environment` added to this process's environment. Standard
    // output and error go to `logPath`.
    ChildProcess(const std::vector<std::string>& argv,
                 const std::map<std::string, std::string>& environment, const std::string& logPath);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    // True while the process has not ended.
    bool running();

    // Runs a short tool to its end and captures its standard output; a tool that has not
    // ended within `timeout` is killed.
    static Output run(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);

private:
    void killGroup();

    pid_t pid_ = -1;
    bool reaped_ = false;
};

}  // namespace xcr::e2e

#endif  // TESTS_E2E_CHILDPROCESS_H
