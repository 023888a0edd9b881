#include "tests/support/str2str_caster.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "net/connection_helpers.h"
#include "tests/support/scripted_caster.h"

extern char** environ;

namespace corvane::test {
namespace {

bool WaitFor(const auto& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string candidate = dirs.substr(start, end - start) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return {};
}

Str2StrCaster::Str2StrCaster(const std::string& program, std::uint16_t port,
                             const std::string& mountpoint)
    : port_(port) {
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::string out = "ntripc://qadlu:qadlu@:" + std::to_string(port) + "/" + mountpoint;
    std::string args[] = {"str2str", "-out", out};
    char* argv[] = {args[0].data(), args[1].data(), args[2].data(), nullptr};
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    input_ = fds[1];
}

Str2StrCaster::~Str2StrCaster() {
    if (input_ >= 0) close(input_);
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status;
    const bool ended =
        WaitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, std::chrono::seconds(3));
    if (!ended) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
}

bool Str2StrCaster::WaitListening() const {
    return WaitFor(
        [&] {
            platform::SocketHandle probe = ConnectTimeout(LoopbackAddress(port_), 1, 100);
            platform::CloseSocket(probe);
            return probe != platform::kInvalidSocket;
        },
        std::chrono::seconds(5));
}

bool Str2StrCaster::Write(const char* data, std::size_t n) {
    return write(input_, data, n) == static_cast<ssize_t>(n);
}

}  // namespace corvane::test
