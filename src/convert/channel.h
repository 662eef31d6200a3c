// The output channel of a conversion: a file in the current directory, a
// parallel port or a serial port (with its line settings). File output is
// buffered; on a port every write is passed on at once so that a plotter
// receives each command as it is written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/fileio.h"

namespace planox {

// The device a port channel opens: PLANOX_COMn / PLANOX_LPTn when set,
// else /dev/ttyS(n-1) / /dev/lp(n-1).
std::string SerialDevicePath(int port);
std::string ParallelDevicePath(int port);

// Name of output channel 1..3 (serial port, parallel port, file); empty
// when the code is out of range.
std::string ChannelName(int deviceCode);

class OutputChannel {
 public:
  ~OutputChannel();
  // device 1 serial (SerialPort and the line codes of Settings), 2 parallel
  // (LptPort), 3 the file fileName. False when it cannot be opened. A file
  // is written beside its name and only takes that name when close
  // succeeds; a port is written directly.
  bool open(int device, const std::string& fileName);
  // The probe of a new conversion: one empty line, then a file starts
  // empty again and a port is opened anew. False on a failure.
  bool probe();
  // False when the text could not be written (also for earlier buffered
  // text that failed now).
  bool write(std::string_view text);
  // The text and CR LF, passed on together.
  bool writeLine(std::string_view text);
  // Writes out what is buffered and closes; a file then takes its name.
  // False on a failure (a file is then removed).
  bool close();
  // Closes without keeping anything: a file is removed, its old version
  // stays.
  void discard();
  bool isOpen() const { return fd_ >= 0; }
  // The file name or the port's device.
  const std::string& name() const { return path_; }

 private:
  static constexpr std::size_t kBufferSize = 65536;
  bool openPort();
  bool flush();
  // Writes all of text; false on a failure.
  bool writeOut(std::string_view text);
  int fd_ = -1;
  bool immediate_ = false;
  int device_ = 3;
  std::string path_;
  ReplacingFile file_;
  std::string buffer_;
};

}  // namespace planox
