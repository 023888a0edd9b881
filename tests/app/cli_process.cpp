#include "tests/app/cli_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <thread>

#include "platform/file.h"

extern char** environ;

namespace corvane::test {

CliProcess::CliProcess(const std::string& home, const std::vector<std::string>& args,
                       const std::string& shellScript) {
    static int counter = 0;
    const std::string stem =
        home + "/cli-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
    outFile_ = stem + ".out";
    errFile_ = stem + ".err";

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        if (v.rfind("HOME=", 0) && v.rfind("XDG_CONFIG_HOME=", 0) && v.rfind("XDG_DATA_HOME=", 0))
            env.push_back(v);
    }
    env.push_back("HOME=" + home);
    env.push_back("XDG_CONFIG_HOME=" + home + "/.config");
    env.push_back("XDG_DATA_HOME=" + home + "/.local/share");

    std::vector<std::string> argv{CORVANE_CLI_PATH};
    if (!shellScript.empty()) argv = {"/bin/bash", "-c", shellScript, CORVANE_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv, cenv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    for (auto& e : env) cenv.push_back(e.data());
    cenv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (posix_spawn(&pid_, cargv[0], &actions, nullptr, cargv.data(), cenv.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

CliProcess::~CliProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

void CliProcess::Signal(int signal) {
    if (pid_ > 0) kill(pid_, signal);
}

std::string CliProcess::OutSoFar() const {
    std::string s;
    platform::ReadWholeFile(outFile_, &s);
    return s;
}

CliResult CliProcess::Wait(std::chrono::milliseconds timeout) {
    CliResult r;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (pid_ > 0) {
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            if (WIFEXITED(status)) r.exitStatus = WEXITSTATUS(status);
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    platform::ReadWholeFile(outFile_, &r.out);
    platform::ReadWholeFile(errFile_, &r.err);
    return r;
}

CliResult RunCli(const std::string& home, const std::vector<std::string>& args,
                 std::chrono::milliseconds timeout) {
    CliProcess p(home, args);
    return p.Wait(timeout);
}

}  // namespace corvane::test
