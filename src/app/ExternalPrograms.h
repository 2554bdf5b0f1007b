// Running other programs: a console program whose output is read back, and programs (an editor,
// the desktop's opener) started to go on by themselves. Programs are started from an argument
// vector, never through a shell, so no argument is ever read as shell syntax.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace quirebook {

// Runs the program arguments[0] (searched on PATH when it holds no "/") with the rest as its
// arguments, in `workingFolder` (the current folder when empty), and gives everything it wrote
// to standard output and standard error, in the order written, once it has ended. Standard input
// is the caller's. Empty when the program cannot be started (not found, not executable, the
// working folder missing) or when `arguments` is empty.
std::string RunConsoleCommand(const std::vector<std::string>& arguments,
                              const std::string& workingFolder);

// How a console program ran.
struct ConsoleRun {
    bool Started = false;
    bool TimedOut = false;  // it was stopped when its time was up
    int ExitStatus = -1;    // its exit code when it ended by itself
    std::string Output;     // standard output and standard error, in the order written
};

// RunConsoleCommand, and when `timeout` is not zero the program, and every process it started,
// is killed once that time has passed.
ConsoleRun RunConsoleProgram(const std::vector<std::string>& arguments,
                             const std::string& workingFolder, std::chrono::milliseconds timeout);

// The full path of the executable `name` found first on PATH; empty when there is none.
std::string ProgramOnPath(const std::string& name);

// Starts the program arguments[0] with the rest as its arguments and returns without waiting
// for it. It leaves no zombie behind when it ends. True when the program was started.
bool StartDetached(const std::vector<std::string>& arguments);

}  // namespace quirebook
