// Reading speed of the DXF reader: a header-only read, a display read and
// a conversion read of generated R12 drawings (100 000 and 1 000 000
// entities) into sinks that do nothing, next to counting the lines of the
// same file the way wc -l does (and wc -l itself). Also the large drawings
// of the shared corpus when it is there.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/prompts.h"
#include "base/session.h"
#include "base/startup.h"
#include "bench/drawing/generate.h"
#include "drawing/dxfin.h"
#include "drawing/sinks.h"

namespace {

using namespace planox;

class SilentUi : public ConsoleUi {
 public:
  void messageBox(const std::string&, const std::string&) override {}
  void setWaitCursor(bool) override {}
};

void Use(const std::string& path) {
  Session.InPath = std::filesystem::path(path).parent_path().string() + "/";
  std::string base = std::filesystem::path(path).filename().string();
  Session.DrawingName = base.substr(0, base.rfind('.'));
  Session.FileExtension = base.substr(base.rfind('.') + 1);
  Session.PlotFile = "benchout";
}

long FileBytes(const std::string& path) {
  return static_cast<long>(std::filesystem::file_size(path));
}

void Counters(benchmark::State& state, long bytes, long entities) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
  state.counters["entities/s"] = benchmark::Counter(
      static_cast<double>(entities) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  state.counters["maxrss_MB"] = static_cast<double>(ru.ru_maxrss) / 1024.0;
}

void Read(benchmark::State& state, const std::string& path, int mode, long entities) {
  Use(path);
  for (auto _ : state) {
    Session.AbortFlag = false;
    ReadDrawing(mode);
    if (Session.AbortFlag) state.SkipWithError("the read failed");
  }
  Counters(state, FileBytes(path), entities);
}

// Counting line feeds through a large buffer, as wc -l does.
void CountLines(benchmark::State& state, const std::string& path) {
  std::vector<char> buf(1 << 18);
  long lines = 0;
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    lines = 0;
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), f)) > 0) {
      const char* p = buf.data();
      const char* end = p + n;
      while ((p = static_cast<const char*>(std::memchr(p, '\n', end - p)))) {
        ++lines;
        ++p;
      }
    }
    std::fclose(f);
    benchmark::DoNotOptimize(lines);
  }
  Counters(state, FileBytes(path), 0);
}

void WcL(benchmark::State& state, const std::string& path) {
  std::string cmd = "wc -l '" + path + "' > /dev/null";
  for (auto _ : state) {
    if (std::system(cmd.c_str()) != 0) state.SkipWithError("wc failed");
  }
  Counters(state, FileBytes(path), 0);
}

void Register(const std::string& label, const std::string& path, long entities) {
  auto reg = [&](const std::string& what, auto fn) {
    benchmark::RegisterBenchmark((what + "/" + label).c_str(), fn)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.5);
  };
  reg("wc_l", [path](benchmark::State& s) { WcL(s, path); });
  reg("count_lines", [path](benchmark::State& s) { CountLines(s, path); });
  reg("header_only", [path, entities](benchmark::State& s) {
    Read(s, path, ReadHeaderOnly, entities);
  });
  reg("display", [path, entities](benchmark::State& s) {
    Read(s, path, ReadForDisplay, entities);
  });
  reg("conversion", [path, entities](benchmark::State& s) {
    Read(s, path, ReadForConversion, entities);
  });
}

}  // namespace

int main(int argc, char** argv) {
  static SilentUi ui;
  SetUi(&ui);
  SetGraphicsSink(nullptr);
  SetPlotSink(nullptr);
  const std::string benchDir = BenchDirectory();
  Settings.TempDir = benchDir + "/";
  if (chdir(benchDir.c_str()) != 0) return 1;  // conversion output lands here

  Register("100k", GenerateDrawing(benchDir, 100000), 100000);
  Register("1M", GenerateDrawing(benchDir, 1000000), 1000000);
  std::string corpus = std::string(PLANOX_SOURCE_DIR) + "/../shared/dxf-corpus";
  for (const char* f : {"dxf-parser/blocks.dxf", "ezdxf/usa.dxf"}) {
    std::string p = corpus + "/" + f;
    if (std::filesystem::exists(p)) Register(std::filesystem::path(f).stem().string(), p, 0);
  }

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  RemoveWorkDir();
  return 0;
}
