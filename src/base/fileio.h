// Opening files where a regular file is expected, and writing a file so
// that its final name only ever shows a complete file.
//
// Every file the program reads as a file of its own (drawings, the
// configuration, the session, ARISTO.TXT, help files, work files) is
// opened through OpenRegularFile: a FIFO, a device or a directory planted
// under such a name is refused at once instead of hanging the program or
// being read as something it is not.
//
// Outputs that replace a file (conversion outputs, the session file, the
// configuration) are written through ReplacingFile: the bytes go to a
// fresh file beside the final name, which is renamed over it only when
// everything was written and closed. A failure, a cancel or a signal
// leaves the previous file as it was and no partial file behind.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace planox {

// A descriptor open for reading on path when it names a regular file, or
// -1 (errno set) for a missing file, a directory, a FIFO or a device; the
// open never waits on a FIFO or a device.
int OpenRegularFile(const std::string& path);
// The same as a stdio stream ("rb"), nullptr when not a regular file.
std::FILE* OpenRegularStream(const std::string& path);
// True when path names a regular file (following links).
bool IsRegularFile(const std::string& path);

class ReplacingFile {
 public:
  ReplacingFile() = default;
  ~ReplacingFile();  // discards what was not committed
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Creates a new file beside finalName (a link is followed, so the file
  // it points at is the one replaced). False when that cannot be done or
  // when finalName is something other than a regular file; errno tells
  // why.
  bool Create(const std::string& finalName);
  bool IsOpen() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  // Writes all of text; false on a failure (a full disk, for one).
  bool Write(std::string_view text);
  // Starts the file again from empty.
  bool Truncate();
  // Flushes, closes and renames over the final name; on any failure the
  // new file is removed and false returned.
  bool Commit();
  // Closes and removes the new file; the final name is untouched.
  void Discard();

 private:
  int fd_ = -1;
  int slot_ = -1;  // the entry in the list a signal cleans up
  std::string temp_, final_;
};

// Writes text as the whole content of name through a ReplacingFile.
bool ReplaceFileContent(const std::string& name, std::string_view text);

}  // namespace planox
