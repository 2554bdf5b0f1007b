// How the command ends when it is told to stop: Ctrl-C (SIGINT) or SIGTERM removes the process's
// own scratch (its temporary work area, a book half written) and ends the process with status
// 128 + the signal's number; the book a run was replacing stays as it was.
#pragma once

namespace quirebook {

// Call first thing in main, before any thread starts: the stop signals are blocked in every
// thread and taken by a watcher thread of their own. A write over the file size limit fails
// with an error (EFBIG) instead of ending the process, so that the failure is reported.
void HandleStopSignals();

// Call where the command is about to end on its own, before it reports anything. Returns at once
// unless a stop signal is being handled; then it never returns and the process ends with the
// signal's status. (While the scratch is removed the work in progress may fail for want of its
// files: that failure is the stop's doing and must not be reported or decide the status.)
void WaitIfStopping();

}  // namespace quirebook
