// The whole program against wc -l on the generated 1 000 000-entity drawing:
// the batch conversion to every target, each run as its own process (start-up
// included, as for wc -l), and the display read of the window (header read,
// display read and display list, in a process that has the window's
// QGuiApplication) on the 100 000 and 1 000 000-entity drawings, and the
// main window opening the 1 000 000-entity drawing from the File > Open
// routine until its 1920 x 1080 drawing area is painted. Every run is
// paired with a run of wc -l on the same file; the table gives the medians,
// the ratio of the medians, the peak memory and the load average of the
// machine (one minute) when the line was measured.
//
//   bench_targets [runs]        (default 3, or PLANOX_BENCH_RUNS)
//   bench_targets --display-read DRAWING   (one timed display read; internal)
//   bench_targets --window-open DRAWING [PNG]  (one timed window open, the
//                                          painted area saved as PNG; internal)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/prompts.h"
#include "base/session.h"
#include "base/startup.h"
#include "app/planox1.h"
#include "bench/drawing/generate.h"
#include "display/quorgraf.h"
#include "drawing/dxfin.h"

namespace {

using namespace planox;
using Clock = std::chrono::steady_clock;

struct Run {
  double seconds = 0;
  double peakMiB = 0;
  std::string out;  // standard output
};

// Runs argv in dir with standard input and error on /dev/null; the time is
// the wall-clock time from the start to the end of the process.
Run Start(const std::vector<std::string>& argv, const std::string& dir) {
  char outName[] = "/tmp/planox-bench-out-XXXXXX";
  int outFd = mkstemp(outName);
  if (outFd < 0) std::abort();
  unlink(outName);
  const auto t0 = Clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    std::FILE* null = std::fopen("/dev/null", "r+");
    if (!null) _exit(126);
    dup2(fileno(null), 0);
    dup2(outFd, 1);
    dup2(fileno(null), 2);
    std::vector<char*> a;
    for (const std::string& s : argv) a.push_back(const_cast<char*>(s.c_str()));
    a.push_back(nullptr);
    execv(a[0], a.data());
    _exit(127);
  }
  int status = 0;
  rusage ru{};
  if (pid < 0 || wait4(pid, &status, 0, &ru) != pid) std::abort();
  Run r;
  r.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  r.peakMiB = static_cast<double>(ru.ru_maxrss) / 1024.0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed (status %d)\n", argv[0].c_str(), status);
    r.seconds = -1;
  }
  lseek(outFd, 0, SEEK_SET);
  char buf[256];
  ssize_t n;
  while ((n = read(outFd, buf, sizeof buf)) > 0) r.out.append(buf, static_cast<size_t>(n));
  close(outFd);
  return r;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Runs `what` `runs` times, each time right after wc -l on the same file,
// and prints the line of the table. timeOf gives the time of one run.
template <class F>
void Measure(const char* label, const std::string& drawing, const std::string& dir, int runs, F run) {
  std::vector<double> times, wc, peaks;
  for (int i = 0; i < runs; ++i) {
    wc.push_back(Start({"/usr/bin/wc", "-l", drawing}, dir).seconds);
    Run r = run();
    if (r.seconds < 0) {
      std::printf("%-28s failed\n", label);
      std::fflush(stdout);
      return;
    }
    times.push_back(r.seconds);
    peaks.push_back(r.peakMiB);
  }
  const double t = Median(times), w = Median(wc);
  double load[1] = {0};
  getloadavg(load, 1);
  std::printf("%-28s %9.3f s %9.4f s %8.1f %9.1f MiB %6.2f\n", label, t, w, t / w,
              *std::max_element(peaks.begin(), peaks.end()), load[0]);
  std::fflush(stdout);
}

// The display read as the window does it after File > Open: the header read
// for the extents, the window set on them, then the display read into the
// display list. Prints the seconds taken.
int DisplayRead(int argc, char** argv, const std::string& drawing) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  static ConsoleUi ui;
  SetUi(&ui);
  Settings.TempDir = std::filesystem::current_path().string() + "/";
  const std::filesystem::path p(drawing);
  Session.InPath = p.parent_path().string() + "/";
  Session.DrawingName = p.stem().string();
  Session.FileExtension = p.extension().string().substr(1);
  GraphWindow window;
  window.SetDrawingArea(1920, 1080);
  QuorGraf quor(window);
  quor.H_Init();
  const auto t0 = Clock::now();
  ReadDrawing(ReadHeaderOnly);
  const Extents& e = Session.DrawingExtents;
  quor.H_SetWindow(0, 0, 1, 1, static_cast<double>(e.XMin), static_cast<double>(e.YMin),
                   static_cast<double>(e.XMax), static_cast<double>(e.YMax), true, true);
  quor.H_SaveLimit();
  quor.H_Clear();
  const WorldWindow& l = quor.DrawingLimits();
  quor.H_Header(l.xmin, l.ymin, l.xmax, l.ymax);
  ReadDrawing(ReadForDisplay);
  const double s = std::chrono::duration<double>(Clock::now() - t0).count();
  RemoveWorkDir();
  if (Session.AbortFlag || quor.list().size() == 0) return 1;
  std::printf("%.6f\n", s);
  return 0;
}

// The main window at its start-up, then the drawing opened as File > Open
// opens it, and the 1920 x 1080 drawing area painted. Prints the seconds
// from the open to the end of the paint.
int WindowOpen(int argc, char** argv, const std::string& drawing, const char* picture) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  Settings.TempDir = std::filesystem::current_path().string() + "/";
  Thh window({});
  window.FormCreate();
  QWidget* area = window.centralWidget();
  window.show();
  QApplication::processEvents();
  window.resize(window.width() + 1921 - area->width(), window.height() + 1081 - area->height());
  QApplication::processEvents();
  if (area->width() != 1921 || area->height() != 1081) {
    std::fprintf(stderr, "drawing area %d x %d\n", area->width(), area->height());
    return 1;
  }
  const auto t0 = Clock::now();
  window.OpenDrawing(drawing);
  // The open schedules the replay of the display list into the window's
  // image; let it run, then paint the area.
  QApplication::processEvents();
  area->repaint();
  const double s = std::chrono::duration<double>(Clock::now() - t0).count();
  RemoveWorkDir();
  if (Session.AbortFlag) return 1;
  if (picture && !area->grab().save(picture, "PNG")) return 1;
  std::printf("%.6f\n", s);
  return 0;
}

// The seconds a timing process printed, or a failed run.
Run Timed(const std::vector<std::string>& argv, const std::string& dir) {
  Run r = Start(argv, dir);
  if (r.seconds >= 0) r.seconds = std::atof(r.out.c_str());
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--display-read") return DisplayRead(argc, argv, argv[2]);
  if ((argc == 3 || argc == 4) && std::string(argv[1]) == "--window-open")
    return WindowOpen(argc, argv, argv[2], argc == 4 ? argv[3] : nullptr);
  const char* env = std::getenv("PLANOX_BENCH_RUNS");
  const int runs = std::max(1, argc > 1 ? std::atoi(argv[1]) : env ? std::atoi(env) : 3);
  const std::string dir = BenchDirectory();
  const std::string work = dir + "/targets";
  std::filesystem::create_directories(work + "/tmp");
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("HOME", work.c_str(), 1);  // no stored settings or session of the user's
  setenv("TMPDIR", (work + "/tmp").c_str(), 1);
  setenv("TEMP", (work + "/tmp").c_str(), 1);
  const std::string self = std::filesystem::canonical("/proc/self/exe").string();

  std::printf("PLANOX against wc -l, medians of %d paired runs (each a process of its own)\n", runs);
  std::printf("%-28s %11s %11s %8s %13s %6s\n", "", "time", "wc -l", "ratio", "peak memory", "load");
  for (long n : {100000L, 1000000L}) {
    const std::string drawing = GenerateDrawing(dir, n);
    const std::string label = "display read " + std::string(n == 100000 ? "100k" : "1M");
    Measure(label.c_str(), drawing, work, runs, [&] { return Timed({self, "--display-read", drawing}, work); });
  }
  const std::string drawing = GenerateDrawing(dir, 1000000);
  Measure("window open 1M, 1920x1080", drawing, work, runs,
          [&] { return Timed({self, "--window-open", drawing}, work); });
  // The /C code of every target; CNC once per dialect family (DIN and ISO).
  struct Target {
    const char* label;
    const char* code;
    const char* extra;
  };
  for (const Target& t : {Target{"HP-GL", "/CPLT", ""}, Target{"Aristo", "/CART", ""},
                          Target{"Lasercomb", "/CHPG", ""}, Target{"CNC DIN 66025", "/CCNC", "/L1"},
                          Target{"CNC ISO", "/CCNC", "/L5"}, Target{"DXF", "/CDXF", ""},
                          Target{"Pascal", "/CPAS", ""}, Target{"IGES", "/CIGS", ""},
                          Target{"C", "/CC", ""}, Target{"HP-GL/2", "/CPL2", ""},
                          Target{"PostScript", "/CPS", ""}, Target{"HP-GL/2 laser", "/CHPL", ""},
                          Target{"Garmin", "/CGRM", ""}, Target{"SVG", "/CSVG", ""}}) {
    std::vector<std::string> argv = {PLANOX_PROGRAM, drawing, t.code, "/D3", "/FBENCHOUT"};
    if (*t.extra) argv.push_back(t.extra);
    Measure((std::string("convert to ") + t.label).c_str(), drawing, work, runs, [&] { return Start(argv, work); });
  }
  std::filesystem::remove_all(work);
  return 0;
}
