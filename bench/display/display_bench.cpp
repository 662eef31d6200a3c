// Recording and replay of generated drawings: 100 000 and 1 000 000
// entities into images of the default drawing area (1014 x 708, a
// 1024 x 768 screen) and of 1920 x 1080, the zoom key on the 100 000 drawing,
// and, for comparison, the same list held as text records and parsed at
// every replay.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <random>

#include "base/session.h"
#include "display/qtcanvas.h"
#include "display/quorgraf.h"

namespace planox {
namespace {

// A drawing of n entities over a 1000 x 700 world: mostly short lines, with
// arcs, circles, solids, texts and a colour change every 40 entities.
void Record(QuorGraf& q, int n) {
  std::mt19937 rnd(12345);
  std::uniform_real_distribution<double> pos(0, 1000), len(-15, 15), ang(0, 360), rad(0.5, 12);
  q.H_SetWindow(0, 0, 1, 1, 0, 0, 1000, 700, true, true);
  q.H_SaveLimit();
  q.H_Clear();
  q.H_Header(0, 0, 1000, 700);
  for (int i = 0; i < n; ++i) {
    if (i % 40 == 0) q.H_SetColor(1 + (i / 40) % 15);
    if (i % 500 == 0) q.H_SetLineStyleName(i % 1000 ? "DASHED" : "CONTINUOUS");
    const double x = pos(rnd), y = pos(rnd) * 0.7;
    const int kind = i % 100;
    if (kind < 80)
      q.H_Line(x, y, x + len(rnd), y + len(rnd));
    else if (kind < 88)
      q.H_Arc(x, y, ang(rnd), ang(rnd), rad(rnd));
    else if (kind < 95)
      q.H_Circle(x, y, rad(rnd));
    else if (kind < 98)
      q.H_Solid(x, y, x + 3, y, x + 3, y + 2, x, y + 2);
    else {
      q.H_SetTextStyle(0, (i % 7) * 15, 2.5, 2.5);
      q.H_OutTextXY(x, y, "TXT-" + std::to_string(i));
    }
  }
}

struct Drawing {
  GraphWindow window;
  QuorGraf quor{window};
  explicit Drawing(int n, int w, int h) {
    window.SetDrawingArea(w, h);
    quor.H_Init();
    Record(quor, n);
  }
};

void Replay(GraphWindow& g, QImage& img) {
  img.fill(Qt::white);
  ImageCanvas c(img);
  g.Replay(c);
}

void BM_Record(benchmark::State& state) {
  const int n = int(state.range(0));
  GraphWindow w;
  QuorGraf q(w);
  q.H_Init();
  for (auto _ : state) Record(q, n);
  state.counters["records"] = double(q.list().size());
}
BENCHMARK(BM_Record)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_Replay(benchmark::State& state) {
  const int n = int(state.range(0)), w = int(state.range(1)), h = int(state.range(2));
  Drawing d(n, w, h);
  QImage img(w + 1, h + 1, QImage::Format_RGB32);
  for (auto _ : state) Replay(d.window, img);
}
BENCHMARK(BM_Replay)
    ->Args({100000, 1014, 708})
    ->Args({100000, 1920, 1080})
    ->Args({1000000, 1014, 708})
    ->Args({1000000, 1920, 1080})
    ->Unit(benchmark::kMillisecond);

// One keypad + press and the repaint it asks for.
void BM_ZoomKey(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  Drawing d(100000, w, h);
  QImage img(w + 1, h + 1, QImage::Format_RGB32);
  int k = 0;
  for (auto _ : state) {
    d.window.processKey(++k % 2 ? 107 : 27);
    Replay(d.window, img);
  }
}
BENCHMARK(BM_ZoomKey)->Args({1014, 708})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

// One arrow press (pan) and its repaint.
void BM_PanKey(benchmark::State& state) {
  Drawing d(100000, 1920, 1080);
  QImage img(1921, 1081, QImage::Format_RGB32);
  int k = 0;
  for (auto _ : state) {
    d.window.processKey(++k % 2 ? 37 : 39);
    Replay(d.window, img);
  }
}
BENCHMARK(BM_PanKey)->Unit(benchmark::kMillisecond);

// 20 000 records of one kind, to see what each costs: solid lines, dashed
// lines, arcs, circles, solids, texts at 7 angles, upright texts.
void BM_Kind(benchmark::State& state) {
  const int kind = int(state.range(0));
  GraphWindow g;
  g.SetDrawingArea(1920, 1080);
  QuorGraf q(g);
  q.H_Init();
  q.H_SetWindow(0, 0, 1, 1, 0, 0, 1000, 700, true, true);
  q.H_SetColor(12);
  if (kind == 1) q.H_SetLineStyle(3);
  std::mt19937 rnd(1);
  std::uniform_real_distribution<double> pos(0, 1000), len(-15, 15), ang(0, 360), rad(0.5, 12);
  for (int i = 0; i < 20000; ++i) {
    const double x = pos(rnd), y = pos(rnd) * 0.7;
    switch (kind) {
      case 0:
      case 1: q.H_Line(x, y, x + len(rnd), y + len(rnd)); break;
      case 2: q.H_Arc(x, y, ang(rnd), ang(rnd), rad(rnd)); break;
      case 3: q.H_Circle(x, y, rad(rnd)); break;
      case 4: q.H_Solid(x, y, x + 3, y, x + 3, y + 2, x, y + 2); break;
      case 5:
      case 6:
        q.H_SetTextStyle(0, kind == 5 ? (i % 7) * 15 : 0, 2.5, 2.5);
        q.H_OutTextXY(x, y, "TXT-" + std::to_string(i));
        break;
    }
  }
  QImage img(1921, 1081, QImage::Format_RGB32);
  for (auto _ : state) Replay(g, img);
}
BENCHMARK(BM_Kind)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

// The text form: the list written as text records and read back, as a
// replay from text would have to parse every record each time.
void BM_ParseTextRecords(benchmark::State& state) {
  Drawing d(int(state.range(0)), 1014, 708);
  std::vector<std::string> lines;
  for (size_t i = 0; i < d.quor.list().size(); ++i) lines.push_back(d.quor.list().line(i));
  for (auto _ : state) {
    DisplayList parsed;
    for (const std::string& l : lines) parsed.appendLine(l);
    benchmark::DoNotOptimize(parsed.size());
  }
}
BENCHMARK(BM_ParseTextRecords)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace planox

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
