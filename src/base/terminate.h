// Ending by a signal. SIGTERM, SIGINT and SIGHUP remove the partial output
// files and the work folders of this run and end the program with the exit
// code 128 + the signal. In the window form the first signal asks the
// window to close the normal way instead (the program still ends with
// 128 + the signal), unless an output is being written or a second signal
// comes: those end at once like the console form.
#pragma once

#include <signal.h>

#include <string>

namespace planox {

// window: the main window is up and polls TerminationRequested.
void InstallTerminationHandlers(bool window);
// The signal that asked the window to close, 0 while none did.
int TerminationRequested();

// Files and folders a signal removes. TrackPartialFile returns the entry
// to hand to ForgetPartialFile (-1 when the list is full).
int TrackPartialFile(const std::string& path);
void ForgetPartialFile(int entry);
void TrackWorkFolder(const std::string& dir);
// Holds the termination signals off while it lives, so that a file made
// and tracked in its scope is never made without being tracked.
class SignalsHeld {
 public:
  SignalsHeld();
  ~SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t old_;
};
void ForgetWorkFolders();

}  // namespace planox
