#ifndef TESTS_SUPPORT_TOOLPROCESS_H
#define TESTS_SUPPORT_TOOLPROCESS_H

#include <sys/types.h>

#include <string>
#include <vector>

namespace xcr::test {

// A built program run as a child process in `folder`, its standard input empty and its
// standard output and error captured apart; or, with `outputUnread`, its standard output
// a pipe that no one reads. Killed when the object goes, if still running.
class ToolProcess {
public:
    struct Result {
        int status = -1;  // the exit status, or 128 + n after signal n
        std::string out;
        std::string err;
    };

    ToolProcess(const std::vector<std::string>& argv, const std::string& folder,
                bool outputUnread = false);
    ~ToolProcess();
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    bool running();
    void signal(int number);
    // Waits for the end.
    Result finish();

private:
    pid_t pid_ = -1;
    int status_ = -1;
    int out_;
    int err_;
};

}  // namespace xcr::test

#endif  // TESTS_SUPPORT_TOOLPROCESS_H
