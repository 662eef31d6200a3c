#include "base/fileio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>

#include "base/terminate.h"

namespace planox {

namespace {

// The process's file-creation mask, read without changing it.
mode_t CreationMask() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "Umask:") {
      std::string octal;
      status >> octal;
      return static_cast<mode_t>(std::strtoul(octal.c_str(), nullptr, 8));
    }
  }
  mode_t m = umask(022);
  umask(m);
  return m;
}

}  // namespace

int OpenRegularFile(const std::string& path) {
  if (path.empty()) return -1;
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = EINVAL;
    return -1;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

std::FILE* OpenRegularStream(const std::string& path) {
  int fd = OpenRegularFile(path);
  if (fd < 0) return nullptr;
  std::FILE* f = fdopen(fd, "rb");
  if (!f) ::close(fd);
  return f;
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

ReplacingFile::~ReplacingFile() { Discard(); }

bool ReplacingFile::Create(const std::string& finalName) {
  Discard();
  if (finalName.empty()) {
    errno = ENOENT;
    return false;
  }
  final_ = finalName;
  struct stat st;
  bool exists = ::lstat(finalName.c_str(), &st) == 0;
  if (exists && S_ISLNK(st.st_mode)) {
    if (char* real = realpath(finalName.c_str(), nullptr)) {
      final_ = real;
      std::free(real);
    }
    exists = ::stat(final_.c_str(), &st) == 0;
  }
  // Only a regular file is replaced: a directory, a FIFO or a device under
  // the name is not the program's to put a file in place of.
  if (exists && !S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  auto slash = final_.rfind('/');
  std::string dir = slash == std::string::npos ? "" : final_.substr(0, slash + 1);
  temp_ = dir + ".planox-XXXXXX";
  // The new file takes the old one's permissions, or those a plain create
  // would have given it.
  SignalsHeld held;
  int fd = mkostemp(temp_.data(), O_CLOEXEC);
  if (fd < 0) {
    temp_.clear();
    return false;
  }
  fd_ = fd;
  slot_ = TrackPartialFile(temp_);
  fchmod(fd_, exists ? (st.st_mode & 07777) : (0666 & ~CreationMask()));
  return true;
}

bool ReplacingFile::Write(std::string_view text) {
  if (fd_ < 0) return false;
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool ReplacingFile::Truncate() { return fd_ >= 0 && ftruncate(fd_, 0) == 0 && lseek(fd_, 0, SEEK_SET) == 0; }

bool ReplacingFile::Commit() {
  if (fd_ < 0) return false;
  // On disk before it takes the final name, so that a power loss leaves
  // either the old file or the whole new one.
  bool ok = fsync(fd_) == 0 || errno == EINVAL || errno == EROFS;
  int err = errno;
  if (::close(fd_) != 0) {
    ok = false;
    err = errno;
  }
  fd_ = -1;
  if (ok && std::rename(temp_.c_str(), final_.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) ::unlink(temp_.c_str());
  ForgetPartialFile(slot_);
  slot_ = -1;
  temp_.clear();
  errno = err;
  return ok;
}

void ReplacingFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  ForgetPartialFile(slot_);
  slot_ = -1;
  temp_.clear();
}

bool ReplaceFileContent(const std::string& name, std::string_view text) {
  ReplacingFile f;
  return f.Create(name) && f.Write(text) && f.Commit();
}

}  // namespace planox
