#include "cli/StopSignals.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "text/ScratchPaths.h"

namespace quirebook {

namespace {
std::atomic<bool> stopping{false};
}

void WaitIfStopping() {
    // The stop signals are blocked in this thread: only the watcher's _exit ends the wait.
    if (stopping)
        for (;;) ::pause();
}

void HandleStopSignals() {
    ::signal(SIGXFSZ, SIG_IGN);
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    if (::pthread_sigmask(SIG_BLOCK, &stops, nullptr) != 0) return;
    std::thread([stops] {
        int signal = 0;
        while (::sigwait(&stops, &signal) != 0) {
        }
        stopping = true;
        RemoveAllScratch();
        // The other threads may be half way through any step: end at once, running no
        // destructors and no handlers that could write after the scratch is gone.
        ::_exit(128 + signal);
    }).detach();
}

}  // namespace quirebook
