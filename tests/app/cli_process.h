// Runs the built corvane-cli in a child process with a private home, for the
// end-to-end tests.
#pragma once

#include <sys/types.h>
#include <chrono>
#include <string>
#include <vector>

namespace corvane::test {

struct CliResult {
    int exitStatus = -1;  // -1: killed or did not end
    std::string out;
    std::string err;
};

class CliProcess {
public:
    // Starts corvane-cli with `args`; HOME, XDG_CONFIG_HOME and XDG_DATA_HOME
    // point into `home`. With `shellScript`, bash runs it with corvane-cli
    // as $0 and `args` as "$@" (for limits and pipes).
    CliProcess(const std::string& home, const std::vector<std::string>& args,
               const std::string& shellScript = {});
    ~CliProcess();
    void Signal(int signal);
    // Waits for the end (killing the process after `timeout`).
    CliResult Wait(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // What the process printed so far.
    std::string OutSoFar() const;

private:
    pid_t pid_ = -1;
    std::string outFile_, errFile_;
};

// Starts, waits, returns.
CliResult RunCli(const std::string& home, const std::vector<std::string>& args,
                 std::chrono::milliseconds timeout = std::chrono::seconds(20));

}  // namespace corvane::test
