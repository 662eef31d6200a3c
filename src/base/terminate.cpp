#include "base/terminate.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>

namespace planox {

namespace {

// Fixed storage the signal handler can read without allocating: an entry
// is in use while its flag is set, and its path is complete before that.
struct Entry {
  std::atomic<int> used{0};
  char path[PATH_MAX];
};
constexpr int kEntries = 8;
Entry partialFiles[kEntries];
Entry workFolders[kEntries];

std::atomic<int> windowForm{0};
volatile std::sig_atomic_t requested = 0;

int Store(Entry (&list)[kEntries], const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  for (int i = 0; i < kEntries; ++i) {
    int expected = 0;
    if (!list[i].used.compare_exchange_strong(expected, 2)) continue;  // 2: being filled
    std::memcpy(list[i].path, path.c_str(), path.size() + 1);
    list[i].used = 1;
    return i;
  }
  return -1;
}

bool AnyPartialFile() {
  for (auto& e : partialFiles)
    if (e.used == 1) return true;
  return false;
}

// Empties a work folder (it holds plain files only) and removes it, with
// system calls alone.
void RemoveFolder(const char* path) {
  int dir = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    alignas(8) char buffer[4096];
    for (;;) {
      long n = syscall(SYS_getdents64, dir, buffer, sizeof buffer);
      if (n <= 0) break;
      for (long at = 0; at < n;) {
        struct Dirent {
          unsigned long long ino;
          long long off;
          unsigned short reclen;
          unsigned char type;
          char name[1];
        };
        auto* d = reinterpret_cast<Dirent*>(buffer + at);
        if (std::strcmp(d->name, ".") != 0 && std::strcmp(d->name, "..") != 0) unlinkat(dir, d->name, 0);
        at += d->reclen;
      }
    }
    ::close(dir);
  }
  ::rmdir(path);
}

void CleanUpAndEnd(int sig) {
  for (auto& e : partialFiles)
    if (e.used == 1) ::unlink(e.path);
  for (auto& e : workFolders)
    if (e.used == 1) RemoveFolder(e.path);
  _exit(128 + sig);
}

void OnSignal(int sig) {
  if (windowForm && requested == 0 && !AnyPartialFile()) {
    requested = sig;
    return;
  }
  CleanUpAndEnd(sig);
}

}  // namespace

void InstallTerminationHandlers(bool window) {
  windowForm = window ? 1 : 0;
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&sa.sa_mask, sig);
  sa.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    // A signal the caller ignores (nohup, a background job) stays ignored.
    struct sigaction old {};
    if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    sigaction(sig, &sa, nullptr);
  }
}

int TerminationRequested() { return requested; }

int TrackPartialFile(const std::string& path) { return Store(partialFiles, path); }

void ForgetPartialFile(int entry) {
  if (entry >= 0 && entry < kEntries) partialFiles[entry].used = 0;
}

void TrackWorkFolder(const std::string& dir) { Store(workFolders, dir); }

SignalsHeld::SignalsHeld() {
  sigset_t held;
  sigemptyset(&held);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&held, sig);
  pthread_sigmask(SIG_BLOCK, &held, &old_);
}

SignalsHeld::~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }

void ForgetWorkFolders() {
  for (auto& e : workFolders) e.used = 0;
}

}  // namespace planox
