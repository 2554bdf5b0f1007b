#include "app/ExternalPrograms.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "text/FileDescriptor.h"

extern char** environ;

namespace quirebook {

namespace {

// The argument vector as posix_spawn wants it: pointers into `arguments`, ended by a null.
std::vector<char*> ArgumentVector(const std::vector<std::string>& arguments) {
    std::vector<char*> vector;
    vector.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments)
        vector.push_back(const_cast<char*>(argument.c_str()));
    vector.push_back(nullptr);
    return vector;
}

// Owns a posix_spawn_file_actions_t for the length of one spawn.
class SpawnFileActions {
  public:
    SpawnFileActions() { ::posix_spawn_file_actions_init(&m_actions); }
    ~SpawnFileActions() { ::posix_spawn_file_actions_destroy(&m_actions); }
    SpawnFileActions(const SpawnFileActions&) = delete;
    SpawnFileActions& operator=(const SpawnFileActions&) = delete;
    posix_spawn_file_actions_t* Get() { return &m_actions; }

  private:
    posix_spawn_file_actions_t m_actions;
};

// Waits for the child `pid` to end, however often a signal interrupts the wait; its status.
int WaitForChild(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// Owns a posix_spawnattr_t for the length of one spawn. Every program starts with no signal
// blocked and the stop and file-size signals at their defaults, whatever this process has
// blocked or ignored for itself; `ownGroup` puts it in a process group of its own.
class SpawnAttributes {
  public:
    explicit SpawnAttributes(bool ownGroup = false) {
        ::posix_spawnattr_init(&m_attributes);
        sigset_t none;
        sigset_t defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        for (const int signal : {SIGINT, SIGTERM, SIGPIPE, SIGXFSZ}) sigaddset(&defaults, signal);
        short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
        if (ownGroup) flags |= POSIX_SPAWN_SETPGROUP;
        m_ready = ::posix_spawnattr_setsigmask(&m_attributes, &none) == 0 &&
                  ::posix_spawnattr_setsigdefault(&m_attributes, &defaults) == 0 &&
                  ::posix_spawnattr_setpgroup(&m_attributes, 0) == 0 &&
                  ::posix_spawnattr_setflags(&m_attributes, flags) == 0;
    }
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&m_attributes); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    posix_spawnattr_t* Get() { return &m_attributes; }
    bool Ready() const { return m_ready; }

  private:
    posix_spawnattr_t m_attributes;
    bool m_ready = false;
};

}  // namespace

std::string RunConsoleCommand(const std::vector<std::string>& arguments,
                              const std::string& workingFolder) {
    return RunConsoleProgram(arguments, workingFolder, std::chrono::milliseconds::zero()).Output;
}

ConsoleRun RunConsoleProgram(const std::vector<std::string>& arguments,
                             const std::string& workingFolder, std::chrono::milliseconds timeout) {
    ConsoleRun run;
    if (arguments.empty()) return run;
    int ends[2];
    // Close-on-exec, so that no other program this process starts inherits the pipe and keeps
    // it open after this child has ended.
    if (::pipe2(ends, O_CLOEXEC) != 0) return run;
    FileDescriptor readEnd(ends[0]);
    FileDescriptor writeEnd(ends[1]);

    SpawnFileActions actions;
    // dup2 clears close-on-exec on the copies, so the child writes both streams into the pipe.
    if (::posix_spawn_file_actions_adddup2(actions.Get(), writeEnd.Get(), STDOUT_FILENO) != 0 ||
        ::posix_spawn_file_actions_adddup2(actions.Get(), writeEnd.Get(), STDERR_FILENO) != 0)
        return run;
    if (!workingFolder.empty() &&
        ::posix_spawn_file_actions_addchdir_np(actions.Get(), workingFolder.c_str()) != 0)
        return run;
    // A program with a time limit gets a process group of its own, so that the programs it
    // starts can be stopped with it.
    const bool limited = timeout > std::chrono::milliseconds::zero();
    SpawnAttributes attributes(limited);
    if (!attributes.Ready()) return run;

    std::vector<char*> argv = ArgumentVector(arguments);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv[0], actions.Get(), attributes.Get(), argv.data(), environ) != 0)
        return run;
    run.Started = true;
    // Only the child may hold the write end now, so the reads below end when the child does.
    writeEnd.Close();

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[4096];
    for (;;) {
        if (limited) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd ready{readEnd.Get(), POLLIN, 0};
            const int polled =
                left.count() > 0 ? ::poll(&ready, 1, static_cast<int>(left.count())) : 0;
            if (polled < 0 && errno == EINTR) continue;
            if (polled <= 0) {
                run.TimedOut = true;
                ::kill(-pid, SIGKILL);
                break;
            }
        }
        const ssize_t got = ::read(readEnd.Get(), buffer, sizeof buffer);
        if (got > 0) {
            run.Output.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    readEnd.Close();
    const int status = WaitForChild(pid);
    if (!run.TimedOut && WIFEXITED(status)) run.ExitStatus = WEXITSTATUS(status);
    return run;
}

std::string ProgramOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string_view folders = path == nullptr ? "" : path;
    while (!folders.empty()) {
        const std::size_t colon = std::min(folders.find(':'), folders.size());
        const std::string folder(folders.substr(0, colon));
        folders.remove_prefix(std::min(colon + 1, folders.size()));
        if (folder.empty()) continue;
        const std::string candidate = folder + "/" + name;
        struct stat status {};
        if (::stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

bool StartDetached(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return false;
    // A short-lived intermediate process starts the program and ends at once; this process
    // reaps the intermediate, and the program, orphaned, is reaped by the system when it ends.
    // Everything the intermediate needs is prepared before the fork, where it only spawns and
    // exits, so the fork is safe in a process with several threads too. The intermediate's exit
    // status carries posix_spawnp's result, so a program that cannot be started is reported.
    std::vector<char*> argv = ArgumentVector(arguments);
    SpawnAttributes attributes;
    if (!attributes.Ready()) return false;
    const pid_t intermediate = ::fork();
    if (intermediate < 0) return false;
    if (intermediate == 0) {
        pid_t program = 0;
        const int error =
            ::posix_spawnp(&program, argv[0], nullptr, attributes.Get(), argv.data(), environ);
        ::_exit(error == 0 ? 0 : 1);
    }
    const int status = WaitForChild(intermediate);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace quirebook
