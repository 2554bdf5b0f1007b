// Running other programs: a console program whose output is read back, and programs (an editor,
// the desktop's opener) started to go on by themselves. Programs are started from an argument
// vector, never through a shell, so no argument is ever read as shell syntax.
#pragma once

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

// Starts the program arguments[0] with the rest as its arguments and returns without waiting
// for it. It leaves no zombie behind when it ends. True when the program was started.
bool StartDetached(const std::vector<std::string>& arguments);

}  // namespace quirebook
