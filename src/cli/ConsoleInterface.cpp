#include "cli/ConsoleInterface.h"

#include <unistd.h>

#include <iostream>

#include "text/PlainText.h"

namespace quirebook {

ConsoleInterface::ConsoleInterface(bool quiet) : m_quiet(quiet), m_terminal(::isatty(2) == 1) {}

ConsoleInterface::~ConsoleInterface() {
    EndProgressLine();
}

void ConsoleInterface::EndProgressLine() {
    if (!m_progressShown) return;
    std::cerr << "\r\033[K" << std::flush;
    m_progressShown = false;
}

void ConsoleInterface::ShowMessage(const std::string& message) {
    EndProgressLine();
    std::cerr << PlainReplace(message, "\r\n", "\n") << '\n';
}

bool ConsoleInterface::AskYesNo(const std::string& question) {
    ShowMessage(question + " (answered No)");
    return false;
}

void ConsoleInterface::ShowProgress(const std::string& status, int percent) {
    if (m_quiet || !m_terminal) return;
    std::cerr << "\r\033[K[" << percent << "%] " << status << std::flush;
    m_progressShown = true;
}

}  // namespace quirebook
