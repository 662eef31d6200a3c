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
#include "drawing/dxfin.h"
#include "drawing/sinks.h"

namespace {

using namespace planox;

class SilentUi : public ConsoleUi {
 public:
  void messageBox(const std::string&, const std::string&) override {}
  void setWaitCursor(bool) override {}
};

std::string benchDir;

void Pair(std::FILE* f, int code, const char* value) { std::fprintf(f, "%3d\n%s\n", code, value); }
void Pair(std::FILE* f, int code, double value) { std::fprintf(f, "%3d\n%.6f\n", code, value); }
void Pair(std::FILE* f, int code, int value) { std::fprintf(f, "%3d\n%6d\n", code, value); }

// A deterministic R12 drawing: tables, three nested blocks and n entities
// cycling through lines, arcs, circles, texts, bulged polylines and inserts.
std::string Generate(long n) {
  std::string name = benchDir + "/gen" + std::to_string(n) + ".dxf";
  if (std::filesystem::exists(name)) return name;
  std::FILE* f = std::fopen(name.c_str(), "wb");
  if (!f) std::abort();
  Pair(f, 0, "SECTION");
  Pair(f, 2, "HEADER");
  Pair(f, 9, "$ACADVER");
  Pair(f, 1, "AC1009");
  Pair(f, 0, "ENDSEC");
  Pair(f, 0, "SECTION");
  Pair(f, 2, "TABLES");
  Pair(f, 0, "TABLE");
  Pair(f, 2, "LTYPE");
  for (const char* lt : {"CONTINUOUS", "DASHED", "DOTTED"}) {
    Pair(f, 0, "LTYPE");
    Pair(f, 2, lt);
    Pair(f, 70, 64);
  }
  Pair(f, 0, "ENDTAB");
  Pair(f, 0, "TABLE");
  Pair(f, 2, "LAYER");
  const char* layers[] = {"0", "WALLS", "DOORS", "WINDOWS", "TEXT", "DIMS", "FURNITURE", "HIDDEN"};
  for (int i = 0; i < 8; ++i) {
    Pair(f, 0, "LAYER");
    Pair(f, 2, layers[i]);
    Pair(f, 70, i == 7 ? 65 : 0);
    Pair(f, 62, i + 1);
    Pair(f, 6, i % 3 == 0 ? "CONTINUOUS" : i % 3 == 1 ? "DASHED" : "DOTTED");
  }
  Pair(f, 0, "ENDTAB");
  Pair(f, 0, "ENDSEC");
  Pair(f, 0, "SECTION");
  Pair(f, 2, "BLOCKS");
  auto blockStart = [&](const char* b) {
    Pair(f, 0, "BLOCK");
    Pair(f, 8, "0");
    Pair(f, 2, b);
    Pair(f, 70, 0);
    Pair(f, 10, 0.0);
    Pair(f, 20, 0.0);
  };
  auto line = [&](const char* layer, double x1, double y1, double x2, double y2) {
    Pair(f, 0, "LINE");
    Pair(f, 8, layer);
    Pair(f, 10, x1);
    Pair(f, 20, y1);
    Pair(f, 30, 0.0);
    Pair(f, 11, x2);
    Pair(f, 21, y2);
    Pair(f, 31, 0.0);
  };
  auto insert = [&](const char* b, double x, double y, double rot) {
    Pair(f, 0, "INSERT");
    Pair(f, 8, "0");
    Pair(f, 2, b);
    Pair(f, 10, x);
    Pair(f, 20, y);
    Pair(f, 30, 0.0);
    Pair(f, 41, 1.0);
    Pair(f, 42, 1.0);
    Pair(f, 50, rot);
  };
  blockStart("LEAF");
  line("WALLS", 0, 0, 1, 0);
  line("WALLS", 1, 0, 1, 1);
  Pair(f, 0, "ARC");
  Pair(f, 8, "DOORS");
  Pair(f, 10, 0.0);
  Pair(f, 20, 0.0);
  Pair(f, 40, 1.0);
  Pair(f, 50, 0.0);
  Pair(f, 51, 90.0);
  Pair(f, 0, "ENDBLK");
  blockStart("BRANCH");
  insert("LEAF", 0, 0, 0);
  insert("LEAF", 2, 0, 90);
  Pair(f, 0, "CIRCLE");
  Pair(f, 8, "FURNITURE");
  Pair(f, 10, 1.0);
  Pair(f, 20, 1.0);
  Pair(f, 40, 0.5);
  Pair(f, 0, "ENDBLK");
  blockStart("TREE");
  insert("BRANCH", 0, 0, 0);
  insert("BRANCH", 0, 3, 45);
  Pair(f, 0, "ENDBLK");
  Pair(f, 0, "ENDSEC");
  Pair(f, 0, "SECTION");
  Pair(f, 2, "ENTITIES");
  unsigned seed = 12345;
  auto rnd = [&] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<double>((seed >> 8) % 1000000) / 1000.0;
  };
  for (long i = 0; i < n; ++i) {
    const char* layer = layers[i % 8];
    switch (i % 10) {
      case 0: case 1: case 2: case 3:
        line(layer, rnd(), rnd(), rnd(), rnd());
        break;
      case 4:
        Pair(f, 0, "ARC");
        Pair(f, 8, layer);
        Pair(f, 10, rnd());
        Pair(f, 20, rnd());
        Pair(f, 30, 0.0);
        Pair(f, 40, rnd() / 10);
        Pair(f, 50, rnd() / 3);
        Pair(f, 51, rnd() / 3);
        break;
      case 5:
        Pair(f, 0, "CIRCLE");
        Pair(f, 8, layer);
        Pair(f, 10, rnd());
        Pair(f, 20, rnd());
        Pair(f, 30, 0.0);
        Pair(f, 40, rnd() / 10);
        break;
      case 6:
        Pair(f, 0, "TEXT");
        Pair(f, 8, "TEXT");
        Pair(f, 10, rnd());
        Pair(f, 20, rnd());
        Pair(f, 30, 0.0);
        Pair(f, 40, 2.5);
        Pair(f, 1, "Room 12 %%c40");
        Pair(f, 50, 0.0);
        break;
      case 7:
      case 8: {
        Pair(f, 0, "POLYLINE");
        Pair(f, 8, layer);
        Pair(f, 66, 1);
        Pair(f, 70, 1);
        double x = rnd(), y = rnd();
        for (int v = 0; v < 4; ++v) {
          Pair(f, 0, "VERTEX");
          Pair(f, 8, layer);
          Pair(f, 10, x + (v == 1 || v == 2 ? 5 : 0));
          Pair(f, 20, y + (v >= 2 ? 3 : 0));
          Pair(f, 30, 0.0);
          if (v == 1) Pair(f, 42, 0.5);
        }
        Pair(f, 0, "SEQEND");
        Pair(f, 8, layer);
        break;
      }
      default:
        insert("TREE", rnd(), rnd(), rnd() / 3);
        break;
    }
  }
  Pair(f, 0, "ENDSEC");
  Pair(f, 0, "EOF");
  std::fclose(f);
  return name;
}

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
  const char* dir = std::getenv("PLANOX_BENCH_DIR");
  benchDir = dir ? dir : (std::filesystem::temp_directory_path() / "planox-bench").string();
  std::filesystem::create_directories(benchDir);
  Settings.TempDir = benchDir + "/";
  if (chdir(benchDir.c_str()) != 0) return 1;  // conversion output lands here

  Register("100k", Generate(100000), 100000);
  Register("1M", Generate(1000000), 1000000);
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
