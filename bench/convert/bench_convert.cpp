// Every plotter, laser, CNC and PostScript target converting the driver
// operations of a 100 000-entity drawing into a file. Reports output bytes
// per second and driver operations per second.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "base/prompts.h"
#include "base/session.h"
#include "convert/plot.h"

namespace {

using namespace planox;

struct Op {
  enum Kind { Pen, Line, Circle, Arc, Move, Draw, Style, Text, Type } kind;
  double a = 0, b = 0, c = 0, d = 0, e = 0;
};

// A drawing of 100 000 entities: mostly lines, then arcs, circles, short
// polylines and texts, with a pen change every thousand entities and a
// line type change every five thousand.
const std::vector<Op>& Drawing() {
  static std::vector<Op> ops = [] {
    std::vector<Op> v;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> pos(0, 400), len(-20, 20), ang(0, 360), rad(0.5, 30);
    for (int i = 0; i < 100000; ++i) {
      if (i % 1000 == 0) v.push_back({Op::Pen, double(1 + (i / 1000) % 8)});
      if (i % 5000 == 0) v.push_back({Op::Type, double((i / 5000) % 4)});
      int k = i % 20;
      double x = pos(rng), y = pos(rng);
      if (k < 12) {
        v.push_back({Op::Line, x, y, x + len(rng), y + len(rng)});
      } else if (k < 15) {
        v.push_back({Op::Arc, x, y, ang(rng), ang(rng), rad(rng)});
      } else if (k < 17) {
        v.push_back({Op::Circle, x, y, rad(rng)});
      } else if (k < 19) {
        v.push_back({Op::Move, x, y});
        for (int j = 0; j < 4; ++j) v.push_back({Op::Draw, x += len(rng), y += len(rng)});
      } else {
        v.push_back({Op::Style, 0, 5, 3});
        v.push_back({Op::Text, x, y});
      }
    }
    return v;
  }();
  return ops;
}

void Run(const std::vector<Op>& ops) {
  for (const Op& o : ops) {
    switch (o.kind) {
      case Op::Pen: PlotSelectPen(static_cast<int>(o.a)); break;
      case Op::Type: PlotLineType(static_cast<int>(o.a)); break;
      case Op::Line: PlotLine(o.a, o.b, o.c, o.d); break;
      case Op::Arc: PlotArc(o.a, o.b, o.c, o.d, o.e, 1); break;
      case Op::Circle: PlotCircle(o.a, o.b, o.c); break;
      case Op::Move: PlotMoveTo(false, o.a, o.b); break;
      case Op::Draw: PlotDrawTo(false, o.a, o.b); break;
      case Op::Style: PlotTextStyle(0, 0, o.b, o.c); break;
      case Op::Text: PlotText("Planox 123", o.a, o.b); break;
    }
  }
}

void Convert(benchmark::State& state) {
  static ScriptedUi ui;  // the beeps of texts on targets without text
  SetUi(&ui);
  int target = static_cast<int>(state.range(0));
  ResetSettings();
  Settings.NcSyntax = static_cast<uint16_t>(state.range(1));
  char tmpl[] = "/tmp/planox-bench-XXXXXX";
  std::string dir = mkdtemp(tmpl);
  char old[4096];
  if (!getcwd(old, sizeof old) || chdir(dir.c_str()) != 0) {
    state.SkipWithError("no work directory");
    return;
  }
  Session.PlotFile = "BENCH";
  const auto& ops = Drawing();
  double bytes = 0;
  for (auto _ : state) {
    PlotBegin(target, 3);
    PlotRotate(0);
    Run(ops);
    PlotEnd();
    struct stat st{};
    stat(PlotFileName().c_str(), &st);
    bytes += static_cast<double>(st.st_size);
  }
  state.counters["MB/s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsRate);
  state.counters["Mops/s"] =
      benchmark::Counter(static_cast<double>(ops.size()) * state.iterations() / 1e6, benchmark::Counter::kIsRate);
  state.counters["MB"] = bytes / 1e6 / static_cast<double>(state.iterations());
  unlink(PlotFileName().c_str());
  if (chdir(old) != 0) state.SkipWithError("cannot return");
  rmdir(dir.c_str());
  SetUi(nullptr);
}

BENCHMARK(Convert)
    ->ArgNames({"target", "dialect"})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Args({3, 1})
    ->Args({3, 2})
    ->Args({4, 1})
    ->Args({4, 2})
    ->Args({4, 3})
    ->Args({4, 4})
    ->Args({9, 1})
    ->Args({10, 1})
    ->Args({11, 1})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
