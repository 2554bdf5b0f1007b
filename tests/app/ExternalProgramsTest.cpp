// Tests of running other programs: captured output, the working folder, arguments that must
// not be read as shell syntax, and no descriptors or child processes left behind.
#include "app/ExternalPrograms.h"

#include <sys/wait.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "app/FakePrograms.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

std::size_t OpenDescriptorCount() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

// True when this process has no child, running or ended and unreaped.
bool HasNoChild() {
    return ::waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD;
}

// Waits up to five seconds for process `id` to end (gone, or ended and waiting to be reaped by
// whoever adopted it); false when it still runs.
bool WaitUntilEnded(pid_t id) {
    const std::string stat = "/proc/" + std::to_string(id) + "/stat";
    for (int i = 0; i < 500; ++i) {
        std::ifstream file(stat);
        std::string pidField, name, state;
        // The name field is in parentheses and holds no space for the programs used here.
        if (!(file >> pidField >> name >> state) || state == "Z" || state == "X") return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(RunConsoleCommand, CapturesBothStreamsInTheOrderWritten) {
    EXPECT_EQ(RunConsoleCommand({"/bin/sh", "-c", "echo out; echo err >&2; echo again"}, ""),
              "out\nerr\nagain\n");
    // More than a pipe holds: the output is read while the child writes, not after it ends.
    const std::string big = RunConsoleCommand(
        {"sh", "-c", "head -c 300000 /dev/zero | tr '\\000' a; echo end >&2"}, "");
    ASSERT_EQ(big.size(), 300004u);
    EXPECT_EQ(big.substr(299998), "aaend\n");
    // The result does not depend on the child's exit status.
    EXPECT_EQ(RunConsoleCommand({"sh", "-c", "echo failing; exit 3"}, ""), "failing\n");
}

TEST(RunConsoleCommand, GivesNothingWhenTheProgramCannotStart) {
    TempFolder temp;
    EXPECT_EQ(RunConsoleCommand({}, ""), "");
    EXPECT_EQ(RunConsoleCommand({"quirebook-no-such-program"}, ""), "");
    EXPECT_EQ(RunConsoleCommand({temp / "missing"}, ""), "");
    testing::WriteScript(temp / "notExecutable", "echo hi");
    fs::permissions(temp / "notExecutable", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(RunConsoleCommand({temp / "notExecutable"}, ""), "");
    // A working folder that is not there is no reason to run the program somewhere else.
    EXPECT_EQ(RunConsoleCommand({"/bin/echo", "hi"}, temp / "missing"), "");
}

TEST(RunConsoleCommand, RunsInTheWorkingFolder) {
    TempFolder temp;
    fs::create_directories(temp / "a folder");
    const std::string folder = fs::canonical(temp / "a folder").string();
    EXPECT_EQ(RunConsoleCommand({"/bin/pwd"}, folder), folder + "\n");
    EXPECT_EQ(RunConsoleCommand({"/bin/pwd"}, ""), fs::current_path().string() + "\n");
}

TEST(RunConsoleCommand, PassesEveryArgumentVerbatim) {
    TempFolder temp;
    const std::vector<std::string> arguments = {
        "a b", "\"quoted\" 'too'", "$(touch x)", "`touch y`", "; touch z", "*", "", "-n"};
    std::vector<std::string> command = {"/usr/bin/printf", "[%s]\\n"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    std::string expected;
    for (const std::string& argument : arguments) expected += "[" + argument + "]\n";
    EXPECT_EQ(RunConsoleCommand(command, temp.Path()), expected);
    EXPECT_TRUE(fs::is_empty(temp.Path())) << "a shell read an argument";
}

TEST(RunConsoleCommand, LeavesNoDescriptorOrChildBehind) {
    const std::size_t before = OpenDescriptorCount();
    RunConsoleCommand({"/bin/echo", "hi"}, "");
    RunConsoleCommand({"quirebook-no-such-program"}, "");
    EXPECT_EQ(OpenDescriptorCount(), before);
    EXPECT_TRUE(HasNoChild());
}

TEST(RunConsoleProgram, StopsAProgramAndItsChildrenWhenItsTimeIsUp) {
    const TempFolder folder;
    const std::string marker = folder.Path() + "/late";
    const auto start = std::chrono::steady_clock::now();
    // The child's child sleeps in the background, holding the output pipe open, and would write
    // the marker afterwards: both must be stopped. The shell prints that child's process id.
    const ConsoleRun run = RunConsoleProgram(
        {"/bin/sh", "-c", "(sleep 2; touch '" + marker + "') & echo $!; sleep 30"}, "",
        std::chrono::milliseconds(300));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(run.Started);
    EXPECT_TRUE(run.TimedOut);
    const pid_t background = std::stoi(run.Output);
    EXPECT_EQ(run.Output, std::to_string(background) + "\n");
    EXPECT_TRUE(WaitUntilEnded(background)) << "the background child still runs";
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_TRUE(HasNoChild());
}

TEST(RunConsoleProgram, GivesTheExitStatusOfAProgramThatEndsInTime) {
    const ConsoleRun run =
        RunConsoleProgram({"/bin/sh", "-c", "echo out; exit 3"}, "", std::chrono::seconds(10));
    EXPECT_FALSE(run.TimedOut);
    EXPECT_EQ(run.ExitStatus, 3);
    EXPECT_EQ(run.Output, "out\n");
    EXPECT_FALSE(
        RunConsoleProgram({"quirebook-no-such-program"}, "", std::chrono::seconds(1)).Started);
}

TEST(StartDetached, StartsWithoutWaitingAndLeavesNoZombie) {
    TempFolder temp;
    const std::string marker = temp / "marker";
    testing::WriteScript(temp / "slow", "sleep 1; printf '%s|' \"$@\" > '" + marker +
                                            ".tmp'; mv '" + marker + ".tmp' '" + marker + "'");
    ASSERT_TRUE(StartDetached({temp / "slow", "a b", "$(touch x)"}));
    EXPECT_FALSE(fs::exists(marker)) << "waited for the program";
    // The program is not this process's child, and the process that started it has been reaped.
    EXPECT_TRUE(HasNoChild());
    EXPECT_EQ(testing::WaitForFile(marker), "a b|$(touch x)|");
    EXPECT_FALSE(fs::exists(temp / "x"));

    EXPECT_FALSE(StartDetached({}));
    EXPECT_FALSE(StartDetached({"quirebook-no-such-program"}));
    EXPECT_FALSE(StartDetached({temp / "missing"}));
    EXPECT_TRUE(HasNoChild());
}

}  // namespace
}  // namespace quirebook
