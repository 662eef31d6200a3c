#include "convert/channel.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "base/session.h"

namespace planox {

std::string ChannelName(int deviceCode) {
  static const char* const names[3] = {"serial Port", "parallel Port", "File"};
  return deviceCode >= 1 && deviceCode <= 3 ? names[deviceCode - 1] : "";
}

namespace {

std::string PortPath(const char* envPrefix, const char* devicePrefix, int port) {
  if (port >= 1 && port <= 4) {
    std::string var = envPrefix + std::to_string(port);
    const char* v = std::getenv(var.c_str());
    if (v && *v) return v;
  }
  return devicePrefix + std::to_string(port - 1);
}

speed_t BaudRate(int code) {
  static const speed_t rates[] = {B110, B150, B300, B600, B1200, B2400, B4800, B9600};
  return code >= 1 && code <= 8 ? rates[code - 1] : B9600;
}

// Raw 8-bit output with the configured speed, data bits, stop bits and
// parity; modem lines are ignored so that a port without carrier opens.
bool ConfigureSerial(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return false;
  t.c_iflag = IGNBRK;
  t.c_oflag = 0;
  t.c_lflag = 0;
  t.c_cflag = CREAD | CLOCAL;
  t.c_cflag |= Settings.DataBitsCode == 1 ? CS7 : CS8;
  if (Settings.StopBits == 2) t.c_cflag |= CSTOPB;
  if (Settings.ParityCode == 2) t.c_cflag |= PARENB | PARODD;
  if (Settings.ParityCode == 3) t.c_cflag |= PARENB;
  for (auto& c : t.c_cc) c = 0;
  t.c_cc[VMIN] = 1;
  speed_t speed = BaudRate(Settings.BaudRateCode);
  cfsetospeed(&t, speed);
  cfsetispeed(&t, speed);
  if (tcsetattr(fd, TCSANOW, &t) == 0) return true;
  // A pseudo-terminal (a port redirected for a test or a virtual port)
  // has no data bits or parity and keeps CS8 whatever it is given; the C
  // library then reports the setting as failed although the rest holds.
  const char* name = ttyname(fd);
  termios now{};
  return name && std::string(name).rfind("/dev/pts/", 0) == 0 && tcgetattr(fd, &now) == 0 &&
         cfgetospeed(&now) == speed && (now.c_cflag & CSTOPB) == (t.c_cflag & CSTOPB);
}

}  // namespace

std::string SerialDevicePath(int port) { return PortPath("PLANOX_COM", "/dev/ttyS", port); }
std::string ParallelDevicePath(int port) { return PortPath("PLANOX_LPT", "/dev/lp", port); }

OutputChannel::~OutputChannel() { discard(); }

bool OutputChannel::open(int device, const std::string& fileName) {
  discard();
  buffer_.clear();
  device_ = device;
  if (device == 3) {
    path_ = fileName;
    immediate_ = false;
    if (!file_.Create(fileName)) return false;
    fd_ = file_.Fd();
    return true;
  }
  int port = device == 1 ? Settings.SerialPort : Settings.LptPort;
  path_ = device == 1 ? SerialDevicePath(port) : ParallelDevicePath(port);
  immediate_ = true;
  return openPort();
}

bool OutputChannel::openPort() {
  int flags = O_WRONLY | O_NOCTTY | O_CLOEXEC;
  // A file named in place of a port is created like an output file; a
  // device is never created.
  if (path_.rfind("/dev/", 0) != 0) flags |= O_CREAT | O_TRUNC;
  // Do not wait for a carrier, a printer or the reader of a pipe: a port
  // that is not ready fails here instead of hanging the program.
  flags |= O_NONBLOCK;
  if (path_.empty()) return false;
  int fd = ::open(path_.c_str(), flags, 0666);
  if (fd < 0) return false;
  if (device_ == 1 && isatty(fd)) {
    if (!ConfigureSerial(fd)) {
      ::close(fd);
      return false;
    }
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  fd_ = fd;
  return true;
}

bool OutputChannel::probe() {
  if (!write("\r\n") || !flush()) return false;
  if (device_ == 3) return file_.Truncate();
  if (::close(fd_) != 0) {
    fd_ = -1;
    return false;
  }
  fd_ = -1;
  return openPort();
}

bool OutputChannel::flush() {
  const bool ok = writeOut(buffer_);
  buffer_.clear();
  return ok;
}

bool OutputChannel::writeOut(std::string_view text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool OutputChannel::write(std::string_view text) {
  if (fd_ < 0) return false;
  // A text as large as the buffer follows what is buffered directly.
  if (text.size() >= kBufferSize) return flush() && writeOut(text);
  buffer_.append(text);
  if (immediate_ || buffer_.size() >= kBufferSize) return flush();
  return true;
}

bool OutputChannel::writeLine(std::string_view text) {
  if (fd_ < 0) return false;
  buffer_.append(text);
  buffer_.append("\r\n");
  if (immediate_ || buffer_.size() >= kBufferSize) return flush();
  return true;
}

bool OutputChannel::close() {
  if (fd_ < 0) return true;
  bool ok = flush();
  int fd = fd_;
  fd_ = -1;
  if (device_ == 3) {
    if (!ok) {
      file_.Discard();
      return false;
    }
    return file_.Commit();
  }
  // A port: what was sent is gone; the close may still report a failure.
  return ::close(fd) == 0 && ok;
}

void OutputChannel::discard() {
  buffer_.clear();
  if (device_ == 3) {
    file_.Discard();
  } else if (fd_ >= 0) {
    ::close(fd_);
  }
  fd_ = -1;
}

}  // namespace planox
