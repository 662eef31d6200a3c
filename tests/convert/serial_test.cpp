// A conversion to a serial port: a pseudo-terminal stands in for the
// port (PLANOX_COM2 names its slave side), the bytes arrive unchanged at
// the master side and the line carries the configured speed and framing.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

#include "plottest.h"

namespace planox::test {
namespace {

class Serial : public Defaults {};

std::string Drain(int fd) {
  std::string s;
  char buf[4096];
  pollfd p{fd, POLLIN, 0};
  while (poll(&p, 1, 200) > 0 && (p.revents & POLLIN)) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) break;
    s.append(buf, static_cast<size_t>(n));
  }
  return s;
}

void Lines() {
  PlotSelectPen(3);
  PlotLine(0, 0, 12.5, 7);
  PlotCircle(20, 20, 5);
  PlotArc(20, 20, 10, 80.5, 8, 1);
}

TEST_F(Serial, PseudoTerminalReceivesTheOutput) {
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  std::string slave = ptsname(master);
  // Held open so that the line settings can be read after the driver closed
  // its side.
  int watch = open(slave.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(watch, 0);
  setenv("PLANOX_COM2", slave.c_str(), 1);

  // A pseudo-terminal keeps speed and stop bits but always has eight data
  // bits without parity; 7E2 and 8O1 therefore show their framing only
  // where the terminal can hold it.
  struct Line {
    int baud, bits, stop, parity;
    speed_t speed;
    bool framed;  // the terminal can hold data bits and parity
  };
  for (Line l : {Line{5, 2, 2, 1, B1200, true}, Line{8, 2, 1, 1, B9600, true}, Line{1, 2, 1, 1, B110, true},
                 Line{6, 1, 2, 3, B2400, false}, Line{7, 2, 1, 2, B4800, false}}) {
    for (int target : {TargetHpgl, TargetCnc}) {
      SCOPED_TRACE(std::to_string(l.baud) + "/" + std::to_string(target));
      std::string file = Convert(target, Lines);  // the same conversion into a file
      Settings.SerialPort = 2;
      Settings.BaudRateCode = l.baud;
      Settings.DataBitsCode = l.bits;
      Settings.StopBits = l.stop;
      Settings.ParityCode = l.parity;
      PlotBegin(target, 1);
      ASSERT_FALSE(Session.AbortFlag);
      PlotRotate(0);
      Lines();
      PlotEnd();
      EXPECT_FALSE(Session.AbortFlag);
      // The probe's blank line, then exactly what the file holds.
      EXPECT_EQ(Drain(master), "\r\n" + file);

      termios t{};
      ASSERT_EQ(tcgetattr(watch, &t), 0);
      EXPECT_EQ(cfgetospeed(&t), l.speed);
      EXPECT_EQ(cfgetispeed(&t), l.speed);
      EXPECT_EQ((t.c_cflag & CSTOPB) != 0, l.stop == 2);
      if (l.framed) {
        EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(t.c_cflag & PARENB, 0u);
      }
      EXPECT_EQ(t.c_oflag & OPOST, 0u);  // CR LF passes untouched
      ResetSettings();
    }
  }
  unsetenv("PLANOX_COM2");
  close(watch);
  close(master);

  // A port that is not there.
  setenv("PLANOX_COM1", "/dev/planox-no-such-port", 1);
  PlotBegin(TargetHpgl, 1);
  unsetenv("PLANOX_COM1");
  EXPECT_TRUE(Session.AbortFlag);
}

}  // namespace
}  // namespace planox::test
