#include "display/quorgraf.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "base/session.h"
#include "support/windowtest.h"

namespace planox {
namespace {

using DisplayCore = test::InWindow;

// Counts repaint requests and keeps the band and overlay calls.
struct CountingHost : WindowHost {
  int invalidations = 0, messages = 0, bandChanges = 0;
  std::function<void()> onMessages;
  void invalidateWindow() override { ++invalidations; }
  void processMessages() override {
    ++messages;
    if (onMessages) onMessages();
  }
  void setWaitCursor(bool) override {}
  void overlayLine(int, int, int, int, Rgb) override {}
  void bandChanged() override { ++bandChanges; }
  void sleepMs(int) override {}
};

// A canvas that writes down what the replay asks of it.
struct ListCanvas : Canvas {
  int w = 640, h = 480;
  std::vector<std::string> calls;
  std::vector<TextFont> fonts;
  std::vector<std::string> texts;
  std::vector<std::array<int, 4>> lines;
  std::vector<Rgb> textColours;
  Rgb pen;
  int width() const override { return w; }
  int height() const override { return h; }
  void setPen(Rgb c, PenStyle s, int wd) override {
    pen = c;
    calls.push_back("pen " + std::to_string(int(s)) + " " + std::to_string(wd));
  }
  void line(int x1, int y1, int x2, int y2) override {
    calls.push_back("line");
    lines.push_back({x1, y1, x2, y2});
  }
  void ellipse(int, int, int, int) override { calls.push_back("ellipse"); }
  void arc(int, int, int, int, int, int, int, int) override { calls.push_back("arc"); }
  void polygon(const int (&)[8], Rgb) override { calls.push_back("polygon"); }
  void text(int, int, const TextFont& f, Rgb c, const std::string& t) override {
    calls.push_back("text");
    fonts.push_back(f);
    texts.push_back(t);
    textColours.push_back(c);
  }
};

TEST(RecordNumbers, EightSignificantDigitsInGeneralFormat) {
  EXPECT_EQ(RecordReal(0), "0");
  EXPECT_EQ(RecordReal(10), "10");
  EXPECT_EQ(RecordReal(-0.001), "-0.001");
  EXPECT_EQ(RecordReal(1.23456789), "1.2345679");
  EXPECT_EQ(RecordReal(12345678), "12345678");
  EXPECT_EQ(RecordReal(123456789), "1.2345679E08");
  EXPECT_EQ(RecordReal(0.00001), "0.00001");
  EXPECT_EQ(RecordReal(0.000001), "1E-06");
  EXPECT_EQ(RecordReal(1.5e15), "1.5E15");
  EXPECT_EQ(RecordReal(-2.5e-300), "-2.5E-300");
  EXPECT_EQ(RecordReal(std::numeric_limits<double>::quiet_NaN()), "NAN");
  EXPECT_DOUBLE_EQ(RecordValue(1.23456789), 1.2345679);
  EXPECT_DOUBLE_EQ(RecordValue(123456789), 123456790);
}

// The record value is computed without the text; it must be exactly the
// value the 8-digit text reads back as, for every magnitude and at the
// halves between two 8-digit numbers, where a careless rounding goes wrong.
TEST(RecordNumbers, ValueIsExactlyTheTextReadBack) {
  auto throughText = [](double x) {
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 7);
    double v = 0;
    std::from_chars(buf, r.ptr, v);
    return v;
  };
  std::mt19937_64 random(18);
  std::vector<double> values = {1, -1, 1e7, 1e8, 99999999.5, 99999999.49, 12345678.5, 0.5, 1e-15, 1e29, 1e30,
                                5e-324, std::numeric_limits<double>::max(), std::numeric_limits<double>::min()};
  for (int i = 0; i < 200000; ++i) {
    const std::uint64_t bits = random();
    double x;
    std::memcpy(&x, &bits, sizeof x);
    if (std::isfinite(x)) values.push_back(x);
    // Drawing-sized numbers with many digits.
    values.push_back(std::ldexp(static_cast<double>(random() >> 11), -53) * std::pow(10.0, int(random() % 40) - 12));
    // Halves between 8-digit numbers, and their neighbours.
    const double half = (static_cast<double>(random() % 90000000 + 10000000) + 0.5) *
                        std::pow(10.0, int(random() % 30) - 18);
    values.push_back(half);
    values.push_back(std::nextafter(half, 0.0));
    values.push_back(std::nextafter(half, 1e300));
  }
  for (double x : values) {
    ASSERT_EQ(RecordValue(x), throughText(x)) << std::hexfloat << x;
    ASSERT_EQ(RecordValue(-x), throughText(-x)) << std::hexfloat << -x;
  }
}

TEST_F(DisplayCore, RecordFormsAndReadingThemBack) {
  w.line(0, 0, 10, 5);
  w.SetColor(4);
  w.OutTextXY(1.5, 2, "a;b;;c");
  w.SetTextStyle(0, 90, 3.5, 2.5);
  w.SleepMs(20);
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list.line(0), "4;0;0;10;5");
  EXPECT_EQ(list.line(1), "8;4");
  EXPECT_EQ(list.line(2), "6;1.5;2;a;b;;c");
  EXPECT_EQ(list.line(3), "9;3.5;2.5;0;90");
  EXPECT_EQ(list.line(4), "13;20");

  // Every text record reads back to the same record.
  DisplayList copy;
  for (size_t i = 0; i < list.size(); ++i) copy.appendLine(list.line(i));
  for (size_t i = 0; i < list.size(); ++i) EXPECT_EQ(copy.line(i), list.line(i));
  EXPECT_EQ(copy.text(2), "a;b;;c");

  // Unreadable codes draw nothing; unreadable fields are 0.
  DisplayList odd;
  odd.appendLine("x;1;2");
  odd.appendLine("");
  odd.appendLine("8;abc");
  odd.appendLine("4;1,5;2");
  odd.appendLine("6;1;2");
  EXPECT_EQ(odd.code(0), 0);
  EXPECT_EQ(odd.code(1), 0);
  EXPECT_EQ(odd.line(2), "8;0");
  EXPECT_EQ(odd.line(3), "4;1.5;2;0;0");
  EXPECT_EQ(odd.text(4), "");
}

// A long list is held in blocks: records of every length, texts and
// unreadable lines keep their fields and texts across the block edges.
TEST(DisplayListBlocks, RecordsKeepTheirFieldsAcrossBlockEdges) {
  DisplayList list;
  std::vector<std::string> expected;
  for (int i = 0; expected.size() < 100000; ++i) {
    const double v = i * 0.25;
    switch (i % 5) {
      case 0: list.append(RecLine, {v, v + 1, v + 2, v + 3}); break;
      case 1: list.append(RecArc, {v, 1, 2, 3, 4, 5, 6, v}); break;
      case 2: list.appendText(v, 1, "t" + std::to_string(i)); break;
      case 3: list.appendLine("x" + std::to_string(i)); break;
      default: list.append(RecColor, {double(i % 16)}); break;
    }
    expected.push_back(list.line(list.size() - 1));
  }
  DisplayList copy;
  for (size_t i = 0; i < list.size(); ++i) {
    ASSERT_EQ(list.line(i), expected[i]) << i;
    copy.appendLine(expected[i]);
  }
  for (size_t i = 0; i < list.size(); ++i) ASSERT_EQ(copy.line(i), expected[i]) << i;
  EXPECT_EQ(expected[2], "6;0.5;1;t2");
  EXPECT_EQ(list.text(99997), "t99997");
  EXPECT_EQ(list.text(99998), "x99998");
  EXPECT_EQ(list.field(99996, 7), 99996 * 0.25);
}

TEST_F(DisplayCore, MappingKeepsTheAspectRule) {
  w.SetWindow(0, 0, 1, 1, 0, 0, 10, 10, true, false);
  EXPECT_EQ(w.ViewportPixels(), (Rect32{0, 0, 640, 480}));
  EXPECT_DOUBLE_EQ(double(w.scaleX()), 48);
  EXPECT_DOUBLE_EQ(double(w.scaleY()), 48);
  EXPECT_EQ(w.X(5), 240);
  EXPECT_EQ(w.Y(5), 240);
  EXPECT_EQ(list.line(0), "10;0;0;640;480;0;0;10;10");

  // World units are square on every shape of drawing area.
  for (auto [width, height] : {std::pair{800, 480}, {1280, 1000}, {480, 800}}) {
    w.SetDrawingArea(width, height);
    w.SetWindow(0, 0, 1, 1, 0, 0, 10, 10, true, false);
    EXPECT_DOUBLE_EQ(double(w.scaleX()), double(w.scaleY())) << width << "x" << height;
    EXPECT_DOUBLE_EQ(double(w.scaleX()), std::min(width, height) / 10.0) << width << "x" << height;
  }
  w.SetDrawingArea(800, 480);

  // Without the aspect rule each axis fills the viewport; the inset takes a
  // pixel from every side.
  w.SetWindow(0, 0, 1, 1, 0, 0, 10, 10, false, true);
  EXPECT_EQ(w.ViewportPixels(), (Rect32{1, 1, 799, 479}));
  EXPECT_DOUBLE_EQ(double(w.scaleX()), 79.8);
  EXPECT_EQ(w.X(10), 799);
  EXPECT_EQ(w.Y(10), 1);
}

TEST_F(DisplayCore, AResizeMapsEveryWindowRecordAnew) {
  w.SetWindow(0.1L, 0.05L, 0.95L, 0.95L, 0, 0, 36.9L, 32, true, true);
  w.Header(0, 0, 100, 100);
  w.line(0, 0, 100, 100);
  w.processKey(107);  // zoomed in
  const long double xBefore = w.x0();
  w.Resize(800, 600);
  EXPECT_EQ(list.line(0), "10;81;31;759;569;0;0;36.9;32");
  EXPECT_EQ(list.line(1), "10;1;1;799;599;0;0;100;100");
  EXPECT_EQ(w.ViewportPixels(), (Rect32{1, 1, 799, 599}));
  // The same part of the world, on square units that fill the new height.
  EXPECT_NEAR(double(w.x0()), double(xBefore), 0.2);
  EXPECT_DOUBLE_EQ(double(w.scaleX()), double(w.scaleY()));
  w.Clear();
  w.Resize(640, 480);  // an empty list: nothing to map
  EXPECT_TRUE(list.empty());
}

TEST_F(DisplayCore, ZeroSizeWindowsKeepTheOldMapping) {
  w.SetWindow(0, 0, 1, 1, 0, 0, 10, 10, true, false);
  const long double sx = w.scaleX();
  w.SetWindow(0, 0, 1, 1, 5, 0, 5, 10, true, false);
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(list.size(), 2u);  // the record is still written
  EXPECT_EQ(w.scaleX(), sx);
  Session.AbortFlag = false;
  w.SetWindow(0, 0, 1, 1, 0, 0, std::numeric_limits<double>::infinity(), 10, true, false);
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(w.scaleX(), sx);
  // A zoom rectangle without width changes nothing.
  w.SetScale(10, 10, 10, 300);
  EXPECT_EQ(w.ZoomRect(), (Rect32{0, 0, 640, 480}));
}

TEST(Rounding, TiesToEvenAndClamped) {
  EXPECT_EQ(RoundPixel(2.5L), 2);
  EXPECT_EQ(RoundPixel(3.5L), 4);
  EXPECT_EQ(RoundPixel(-2.5L), -2);
  EXPECT_EQ(RoundPixel(1e300L), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundPixel(-1e300L), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundPixel(std::numeric_limits<long double>::quiet_NaN()), 0);
}

TEST_F(DisplayCore, CachesSuppressRepeatedSelections) {
  w.SetColor(5);
  w.SetColor(5);
  w.SetColor(17);  // above the highest colour: nothing
  w.SetColor(16);
  w.SetLineStyle(0);  // the cache starts at 0
  w.SetLineStyle(3);
  w.SetLineStyle(3);
  w.SetLineWidth(2);
  w.SetLineWidth(2);
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list.line(0), "8;5");
  EXPECT_EQ(list.line(1), "8;16");
  EXPECT_EQ(list.line(2), "11;3");
  EXPECT_EQ(list.line(3), "12;2");
  EXPECT_EQ(w.GetColor(), 16);
  w.SetColorAcad(1);
  EXPECT_EQ(list.line(4), "8;12");

  // A repaint sets the style cache to 99 and the width cache to 1.
  ListCanvas c;
  w.Replay(c);
  w.SetLineStyle(3);
  w.SetLineWidth(1);
  w.SetLineWidth(2);
  ASSERT_EQ(list.size(), 7u);
  EXPECT_EQ(list.line(5), "11;3");
  EXPECT_EQ(list.line(6), "12;2");

  // An emptied list holds no selection: the same ones are recorded again.
  w.Clear();
  w.SetColor(12);
  w.SetLineStyle(3);
  w.SetLineWidth(2);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list.line(0), "8;12");
  EXPECT_EQ(list.line(1), "11;3");
  EXPECT_EQ(list.line(2), "12;2");
}

TEST_F(DisplayCore, ShortArcsBecomeChords) {
  w.Arc(0, 0, 0, 360, 10);  // no sweep: a zero-length line
  w.Arc(0, 0, 0, 3.9, 10);
  w.Arc(1, 2, 0, 90, 10);
  w.Arc(0, 0, 350, 10, 10);  // across 0 degrees: a sweep of 20
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list.code(0), RecLine);
  EXPECT_EQ(list.field(0, 0), list.field(0, 2));
  EXPECT_NEAR(list.field(0, 3), 0, 1e-12);
  EXPECT_EQ(list.code(1), RecLine);
  EXPECT_NEAR(list.field(1, 3), 10 * std::sin(3.9 * M_PI / 180), 1e-6);
  EXPECT_EQ(list.code(2), RecArc);
  EXPECT_EQ(list.field(2, 0), -9);
  EXPECT_EQ(list.field(2, 3), 12);
  EXPECT_EQ(list.field(2, 4), 11);
  EXPECT_NEAR(list.field(2, 7), 12, 1e-6);
  EXPECT_EQ(list.code(3), RecArc);
}

// The ends of an arc are worked out in double precision where that gives
// the recorded value of the extended computation, and in extended precision
// where it might not: an end at next to nothing (a centre on an axis at a
// quarter turn) or on a half of the last recorded digit.
TEST_F(DisplayCore, ArcEndsAreRecordedAsTheExtendedComputationGivesThem) {
  constexpr long double pi = 3.141592653589793238462643383279502884L;
  auto extended = [&](double x, double r, double a, bool sine) {
    const long double s = a * pi / 180;
    return RecordValue(double(x + (long double)r * (sine ? std::sin(s) : std::cos(s))));
  };
  std::mt19937_64 random(18);
  std::uniform_real_distribution<double> u(0, 1);
  const double radii[] = {1, 0.123456785, 1.23456785, 10, 2.5, 1e-9, 1234.5};
  for (int i = 0; i < 20000; ++i) {
    list.clear();
    const double x = i % 2 ? 0 : std::round((u(random) - 0.5) * 1e5) / 100, y = i % 3 ? 0 : u(random) * 100;
    const double r = i % 4 ? radii[i % 7] : u(random) * 50;
    const double a1 = i % 5 ? (i / 5) % 24 * 15 : u(random) * 720 - 360, a2 = a1 + 10 + i % 300;
    w.Arc(x, y, a1, a2, r);
    ASSERT_EQ(list.code(0), RecArc);
    ASSERT_EQ(list.field(0, 4), extended(x, r, a1, false)) << x << " " << r << " " << a1;
    ASSERT_EQ(list.field(0, 5), extended(y, r, a1, true)) << y << " " << r << " " << a1;
    ASSERT_EQ(list.field(0, 6), extended(x, r, a2, false)) << x << " " << r << " " << a2;
    ASSERT_EQ(list.field(0, 7), extended(y, r, a2, true)) << y << " " << r << " " << a2;
  }
}

TEST_F(DisplayCore, HeaderAndWindowOperations) {
  w.SetWindow(0, 0, 1, 1, 0, 0, 100, 100, true, true);
  w.Header(0, 0, 200, 100);
  EXPECT_EQ(w.ViewportPixels(), (Rect32{1, 1, 639, 479}));
  EXPECT_EQ(w.DrawingLimits.xmax, 200);
  w.ReSetWindow();
  EXPECT_EQ(w.ViewportPixels(), (Rect32{0, 0, 640, 480}));
  EXPECT_FALSE(w.keepAspect());
  w.RestoreLimit();
  EXPECT_EQ(w.World().xmax, 200);
  EXPECT_TRUE(w.keepAspect());
  EXPECT_EQ(w.EinX(0.5L), 100);
  EXPECT_TRUE(GraphWindow::GetDirection(90));
  EXPECT_TRUE(GraphWindow::GetDirection(-90));
  EXPECT_FALSE(GraphWindow::GetDirection(45));
  EXPECT_FALSE(GraphWindow::GetDirection(180));

  // The logo: 57 filled quadrilaterals, 13 blue, 41 magenta, 3 blue.
  list.clear();
  w.DrawQuorvelLogo();
  std::string colours;
  int solids = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list.code(i) == RecColor) colours += list.line(i) + " ";
    if (list.code(i) == RecSolid) ++solids;
  }
  EXPECT_EQ(solids, 57);
  EXPECT_EQ(colours, "8;9 8;13 8;9 ");
}

TEST_F(DisplayCore, ZoomAndPanKeys) {
  CountingHost host;
  w.setHost(&host);
  w.SetWindow(0, 0, 1, 1, 0, 0, 640, 480, true, false);
  w.processKey(107);  // keypad +
  EXPECT_EQ(w.ZoomRect(), (Rect32{7, 5, 633, 475}));
  EXPECT_EQ(host.invalidations, 1);
  // A key outside the table repeats the remembered action without a repaint.
  w.processKey('A');
  EXPECT_EQ(host.invalidations, 1);
  EXPECT_EQ(w.ZoomRect().right - w.ZoomRect().left, 614);
  w.processKey(27);
  EXPECT_EQ(w.ZoomRect(), (Rect32{0, 0, 640, 480}));
  w.processKey(109);  // keypad -
  EXPECT_EQ(w.ZoomRect(), (Rect32{-6, -5, 646, 485}));
  w.processKey(116);
  EXPECT_EQ(w.ZoomRect(), (Rect32{0, 0, 640, 480}));
  w.processKey(38);  // up: 0.02 * 480 = 9.6 -> 10
  EXPECT_EQ(w.ZoomRect(), (Rect32{0, -10, 640, 470}));
  w.processKey(116);
  w.processKey(33);  // page up: 48
  EXPECT_EQ(w.ZoomRect(), (Rect32{0, -48, 640, 432}));
  w.processKey(116);
  w.processKey(37);  // left: 12.8 -> 13
  EXPECT_EQ(w.ZoomRect(), (Rect32{13, 0, 653, 480}));
  w.processKey(39);
  w.processKey(40);
  EXPECT_EQ(w.ZoomRect(), (Rect32{0, 10, 640, 490}));
  EXPECT_EQ(w.KeyAction[0], 0);
  EXPECT_EQ(w.KeyAction[1], 'P');
  // Absurd factors leave a usable rectangle.
  Settings.Zoom = 0;
  w.processKey(107);
  w.processKey(107);
  EXPECT_GT(w.ZoomRect().right, w.ZoomRect().left);
}

TEST_F(DisplayCore, RubberBandFromEitherCorner) {
  CountingHost host;
  w.setHost(&host);
  w.SetWindow(0, 0, 1, 1, 0, 0, 640, 480, false, false);
  w.FormMouseDown(MouseButton::Left, 100, 100);
  EXPECT_TRUE(w.dragging());
  w.FormMouseMove(250, 150);
  w.FormMouseUp(300, 200);
  EXPECT_FALSE(w.dragging());
  const Rect32 forward = w.ZoomRect();
  EXPECT_EQ(forward, (Rect32{100, 280, 300, 380}));
  w.FormMouseDown(MouseButton::Right, 0, 0);
  EXPECT_EQ(w.ZoomRect(), (Rect32{0, 0, 640, 480}));
  w.FormMouseDown(MouseButton::Left, 300, 200);
  w.FormMouseUp(100, 100);
  EXPECT_EQ(w.ZoomRect(), forward);
  // A band without height zooms nothing.
  w.FormMouseDown(MouseButton::Left, 10, 50);
  w.FormMouseUp(200, 50);
  EXPECT_EQ(w.ZoomRect(), forward);

  // With square world units the drawing fills only part of the viewport;
  // the band still selects what lies under it: the world square 10..20
  // fills the view afterwards from its lower-left corner.
  w.SetWindow(0, 0, 1, 1, 0, 0, 100, 100, true, false);
  ASSERT_EQ(w.X(100), 480);
  w.FormMouseDown(MouseButton::Left, 48, 432);
  w.FormMouseUp(96, 384);
  EXPECT_EQ(w.X(10), 0);
  EXPECT_EQ(w.Y(10), 480);
  EXPECT_EQ(w.X(20), 480);
  EXPECT_EQ(w.Y(20), 0);

  // A double click and the press after it show the whole drawing again.
  w.DrawingLimits = {0, 0, 50, 50};
  w.FormDblClick();
  w.FormMouseDown(MouseButton::Left, 5, 5);
  EXPECT_FALSE(w.dragging());
  EXPECT_EQ(w.ZoomRect(), (Rect32{0, 0, 640, 480}));
  EXPECT_EQ(w.World().xmax, 1);  // the window of ReSetWindow
}

TEST_F(DisplayCore, ReplayMapsAndSurvivesBadNumbers) {
  w.SetWindow(0, 0, 1, 1, 0, 0, 640, 480, true, false);
  w.line(0, 0, 100, 50);
  const double huge = 1e300, nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
  w.line(-huge, 10, huge, 10);  // clipped to the canvas
  w.line(nan, 0, 1, 1);
  w.line(inf, 0, 1, 1);
  w.circle(10, 10, 1e200);
  w.Arc(10, 10, 0, 90, 1e200);
  w.Solid(0, 0, huge, 0, huge, huge, 0, huge);
  w.SetTextStyle(0, 0, 1e9, 1e9);
  w.OutTextXY(10, 10, "too high");
  w.SetTextStyle(0, 1e300, 3.5, 3.5);
  w.OutTextXY(10, 10, "odd angle");
  w.SetTextStyle(0, 90, 10, 5);
  w.OutTextXY(10, 10, "x;y");
  list.append(RecLineWidth, {1e9});
  list.append(RecSleep, {1e12});
  w.line(0, 0, 1, 1);
  ListCanvas c;
  EXPECT_TRUE(w.Replay(c));
  ASSERT_EQ(c.lines.size(), 3u);
  EXPECT_EQ(c.lines[0], (std::array<int, 4>{0, 480, 100, 430}));
  EXPECT_EQ(c.lines[1][0], -4);  // clipped just outside the canvas
  EXPECT_EQ(c.lines[1][2], 644);
  EXPECT_EQ(c.lines[1][1], 470);
  ASSERT_EQ(c.texts.size(), 2u);  // the 1e9 high text cannot be shown
  EXPECT_EQ(c.texts[1], "x;y");
  EXPECT_EQ(c.fonts[1].height, 16);  // 10 * 1.6
  EXPECT_EQ(c.fonts[1].width, 4);    // 5 * 1.1 * 0.8 = 4.4
  EXPECT_EQ(c.fonts[1].escapement, 900);
  EXPECT_EQ(c.calls[c.calls.size() - 2], "pen 0 100");  // the pen width is clamped

  // A window record without width stops the replay.
  list.append(RecWindow, {0, 0, 640, 480, 0, 0, 0, 10});
  w.line(0, 0, 1, 1);
  ListCanvas c2;
  EXPECT_FALSE(w.Replay(c2));
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(c2.lines.size(), 3u);
}

TEST_F(DisplayCore, ReplayColoursAndThePrinter) {
  Settings.BackgroundColour = 0x00ff00;  // green background
  w.SetWindow(0, 0, 1, 1, 0, 0, 640, 480, true, false);
  w.SetColor(4);
  w.line(0, 0, 10, 10);
  w.OutTextXY(5, 5, "t");
  w.SetColor(0);
  w.line(0, 0, 10, 10);
  ListCanvas c;
  w.Replay(c);
  EXPECT_EQ(c.textColours.at(0), (Rgb{255, 0, 0}));
  EXPECT_EQ(c.pen, (Rgb{0, 255, 0}));

  Settings.ColourGraphics = false;
  ListCanvas mono;
  w.Replay(mono);
  EXPECT_EQ(mono.textColours.at(0), (Rgb{0, 0, 0}));

  // While printing, the graphics go to both canvases, texts to the printer only.
  Settings.ColourGraphics = true;
  ListCanvas win, prn;
  prn.w = 6400;
  prn.h = 4800;
  PrinterTarget target;
  target.canvas = &prn;
  target.pageWidth = 6400;
  target.pageHeight = 4800;
  w.Replay(win, &target);
  EXPECT_EQ(win.lines.size(), 2u);
  EXPECT_EQ(prn.lines.size(), 2u);
  EXPECT_TRUE(win.texts.empty());
  ASSERT_EQ(prn.texts.size(), 1u);
  EXPECT_EQ(prn.lines[0], (std::array<int, 4>{0, 4800, 100, 4700}));
  EXPECT_EQ(prn.textColours[0], (Rgb{0, 0, 0}));  // monochrome print mode
}

TEST_F(DisplayCore, ReplayPausesForMessagesAndCanBeCancelled) {
  CountingHost host;
  w.setHost(&host);
  w.SetWindow(0, 0, 1, 1, 0, 0, 640, 480, true, false);
  for (int i = 0; i < 120000; ++i) w.line(0, 0, 1, 1);
  ListCanvas c;
  EXPECT_TRUE(w.Replay(c));
  EXPECT_EQ(host.messages, 3);
  // A list emptied during a pause ends the replay.
  host.onMessages = [&] {
    if (host.messages == 5) list.clear();
  };
  ListCanvas c2;
  w.Replay(c2);
  EXPECT_EQ(c2.lines.size(), 49999u);  // the first record is the window
  for (int i = 0; i < 10; ++i) w.line(0, 0, 1, 1);
  host.onMessages = [&] { w.cancelReplay(); };
  EXPECT_FALSE(w.Replay(c2));
}

TEST_F(DisplayCore, APrintReplayShowsProgressAndCanBeCancelled) {
  CountingHost host;
  w.setHost(&host);
  w.SetWindow(0, 0, 1, 1, 0, 0, 640, 480, true, false);
  for (int i = 0; i < 200000; ++i) w.line(0, 0, 1, 1);
  ListCanvas win, prn, win2, prn2;
  prn.w = prn2.w = 6400;
  prn.h = prn2.h = 4800;
  PrinterTarget target;
  target.canvas = &prn;
  target.pageWidth = 6400;
  target.pageHeight = 4800;
  EXPECT_TRUE(w.Replay(win, &target));
  EXPECT_EQ(ui.progressNames, std::vector<std::string>{"Impression"});
  EXPECT_EQ(ui.progressSteps, (std::vector<int>{0, 24, 49, 74, 99, 100}));
  EXPECT_EQ(ui.progressOpen, 0);
  // The window's own repaints show no progress.
  ListCanvas c;
  EXPECT_TRUE(w.Replay(c));
  EXPECT_EQ(ui.progressNames.size(), 1u);
  // Cancelled halfway: the print stops there and says so.
  ui.cancelAtPercent = 49;
  target.canvas = &prn2;
  EXPECT_FALSE(w.Replay(win2, &target));
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(prn2.lines.size(), 99999u);
  EXPECT_EQ(ui.progressOpen, 0);
}

TEST_F(DisplayCore, DrawingInterface) {
  GraphWindow win;
  QuorGraf q(win);
  q.H_Line(0, 0, 1, 1);  // before H_Init: nothing to record into
  q.H_Init();
  EXPECT_EQ(win.list(), &q.list());
  EXPECT_EQ(&CurrentGraphicsSink(), &q);
  q.H_SetLineStyleName("DASHED");
  q.H_SetLineStyleName("dotted");
  q.H_OutTextXY(0, 0, std::string("\x81", 1));  // code page 850 u-umlaut
  ASSERT_EQ(q.list().size(), 3u);
  EXPECT_EQ(q.list().line(0), "11;3");
  EXPECT_EQ(q.list().line(1), "11;0");
  EXPECT_EQ(q.list().text(2), "\xc3\xbc");
  q.H_Clear();
  EXPECT_TRUE(q.list().empty());

  q.H_CheckFile("/no such/dir/a b.dxf");
  EXPECT_TRUE(Session.AbortFlag);
  ASSERT_EQ(ui.records.size(), 1u);
  EXPECT_EQ(ui.records[0].text, "/nosuch/dir/ab.dxf pas trouver !");
  Session.AbortFlag = false;
  q.H_CheckFile(test::SourceDir() + "/CMakeLists.txt");
  EXPECT_FALSE(Session.AbortFlag);
  q.H_Done();
  EXPECT_EQ(win.list(), nullptr);
  EXPECT_NE(&CurrentGraphicsSink(), &q);
}

}  // namespace
}  // namespace planox
