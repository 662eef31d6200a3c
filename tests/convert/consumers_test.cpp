// The outputs read by the programs that read them in the field: every
// PostScript output rendered by Ghostscript, every HP-GL, HP-GL/2 and the
// HP-GL part of the laser job rendered by hp2xx, the CNC dialects read by
// the toolpath engine of a G-code controller. The tools come with the
// dependency script; a missing tool fails the test.
#include <cmath>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <vector>

#include "display/shpin.h"
#include "plottest.h"

namespace planox::test {
namespace {

struct Pt {
  double x, y;
};

// The drawing, in mm: a frame, a circle, an arc off whole degrees, a
// solid, a polyline and a text. Ink is looked for at these points.
void Drawing() {
  PlotSelectPen(1);
  PlotLine(10, 10, 90, 10);
  PlotLine(90, 10, 90, 90);
  PlotLine(90, 90, 10, 90);
  PlotLine(10, 90, 10, 10);
  PlotCircle(50, 50, 20);
  PlotArc(50, 50, 10.5, 100.25, 30, 1);
  PlotSelectPen(2);
  PlotSolid({70, 20}, {80, 20}, {80, 30}, {70, 30});
  PlotMoveTo(false, 20, 20);
  PlotDrawTo(false, 40, 25);
  PlotDrawTo(false, 30, 40);
  PlotTextStyle(0, 0, 8, 6);
  PlotTextAlign(0, 0);
  PlotText("HHH", 20, 70);
  // After a label the plotter's pen stands at its end: a relative path
  // must start from a known point again.
  PlotLine(30, 84, 85, 84);
}

std::vector<Pt> Segment(Pt a, Pt b, int n = 8) {
  std::vector<Pt> v;
  for (int i = 0; i <= n; ++i) v.push_back({a.x + (b.x - a.x) * i / n, a.y + (b.y - a.y) * i / n});
  return v;
}

std::vector<Pt> InkPoints() {
  std::vector<Pt> v;
  Pt frame[5] = {{10, 10}, {90, 10}, {90, 90}, {10, 90}, {10, 10}};
  for (int i = 0; i < 4; ++i)
    for (Pt p : Segment(frame[i], frame[i + 1])) v.push_back(p);
  for (int a = 0; a < 360; a += 30) v.push_back({50 + 20 * std::cos(a * M_PI / 180), 50 + 20 * std::sin(a * M_PI / 180)});
  for (double a = 11; a <= 100; a += 11) v.push_back({50 + 30 * std::cos(a * M_PI / 180), 50 + 30 * std::sin(a * M_PI / 180)});
  v.push_back({75, 25});  // inside the solid
  for (Pt p : Segment({20, 20}, {40, 25})) v.push_back(p);
  for (Pt p : Segment({40, 25}, {30, 40})) v.push_back(p);
  for (Pt p : Segment({30, 84}, {85, 84})) v.push_back(p);
  return v;
}
// Points that must stay blank: the centre of the circle, open areas.
const Pt Blank[] = {{50, 50}, {60, 80}, {35, 60}, {80, 60}};

struct Bitmap {
  int w = 0, h = 0;
  std::vector<uint8_t> bits;
  bool ink(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) return false;
    return (bits[static_cast<size_t>(y) * ((w + 7) / 8) + x / 8] >> (7 - x % 8)) & 1;
  }
  bool inkNear(double x, double y, int r) const {
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx)
        if (ink(static_cast<int>(std::lround(x)) + dx, static_cast<int>(std::lround(y)) + dy)) return true;
    return false;
  }
  bool any() const {
    for (uint8_t b : bits)
      if (b) return true;
    return false;
  }
};

Bitmap ReadPbm(const std::string& name) {
  Bitmap b;
  std::string d = ReadFile(name);
  std::istringstream in(d);
  std::string magic;
  in >> magic;
  auto skip = [&] {
    while (in >> std::ws && in.peek() == '#') {
      std::string line;
      std::getline(in, line);
    }
  };
  skip();
  in >> b.w;
  skip();
  in >> b.h;
  in.get();
  if (magic != "P4" || b.w <= 0 || b.h <= 0) return Bitmap{};
  size_t size = static_cast<size_t>((b.w + 7) / 8) * b.h;
  b.bits.resize(size);
  in.read(reinterpret_cast<char*>(b.bits.data()), static_cast<std::streamsize>(size));
  if (static_cast<size_t>(in.gcount()) != size) return Bitmap{};
  return b;
}

class Consumers : public Defaults {
 protected:
  TempDir dir;
  std::string save(const std::string& name, const std::string& content) {
    std::string f = dir.file(name);
    WriteFile(f, content);
    return f;
  }
};

// Ghostscript at 72 dpi: one pixel per point. The prologue puts the
// origin at (20, 20) points, or turns the page with the origin at (420,
// 20); one mm is 72 / 25.4 points.
TEST_F(Consumers, GhostscriptRendersPostscript) {
  ASSERT_TRUE(HaveTool("gs")) << "gs is missing: run scripts/install-deps.sh";
  for (char rotate : {'N', 'J'}) {
    SCOPED_TRACE(rotate);
    Settings.Rotate90 = rotate;
    {
      std::string ps = Convert(TargetPostscript, Drawing);
      ASSERT_FALSE(ps.empty());
      std::string src = save("d.ps", ps), pbm = dir.file("d.pbm"), log;
      int rc = Shell("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pbmraw -r72 -g612x792 -sOutputFile=" + pbm + " " + src, log);
      ASSERT_EQ(rc, 0) << log;
      EXPECT_EQ(log.find("Error"), std::string::npos) << log;
      Bitmap b = ReadPbm(pbm);
      ASSERT_TRUE(b.any());
      auto pixel = [&](Pt p) {
        double k = 72 / 25.4;
        return rotate == 'N' ? Pt{20 + p.x * k, 792 - (20 + p.y * k)} : Pt{420 - p.y * k, 792 - (20 + p.x * k)};
      };
      for (Pt p : InkPoints()) {
        Pt q = pixel(p);
        EXPECT_TRUE(b.inkNear(q.x, q.y, 2)) << p.x << "," << p.y;
      }
      for (Pt p : Blank) {
        Pt q = pixel(p);
        EXPECT_FALSE(b.inkNear(q.x, q.y, 2)) << p.x << "," << p.y;
      }
      // The text: ink in its box.
      bool text = false;
      for (double x = 21; x < 40; x += 0.5) text |= b.inkNear(pixel({x, 73}).x, pixel({x, 73}).y, 0);
      EXPECT_TRUE(text);
    }
  }
}

// hp2xx with a fixed range of plotter units (0..4000 on 100 mm at 100
// dpi) so that drawing millimetres land on known pixels.
// filled: solids are filled (HP-GL/2, laser); those also lower the pen at
// a circle's centre before "CI", which leaves a dot there.
void CheckHpgl(const std::string& hpgl, const TempDir& dir, bool filled) {
  std::string src = dir.file("d.hpgl"), pbm = dir.file("d.pbm"), log;
  WriteFile(src, hpgl);
  int rc = Shell("hp2xx -m pbm -x 0 -X 4000 -y 0 -Y 4000 -w 100 -h 100 -d 100 -f " + pbm + " " + src, log);
  ASSERT_EQ(rc, 0) << log;
  EXPECT_NE(log.find("HPGL command(s) ignored: 0"), std::string::npos) << log;
  EXPECT_NE(log.find("Unexpected event(s):  0"), std::string::npos) << log;
  Bitmap b = ReadPbm(pbm);
  ASSERT_TRUE(b.any());
  const double k = 100 / 25.4;
  auto pixel = [&](Pt p) { return Pt{p.x * k, (b.h - 1) - p.y * k}; };
  for (Pt p : InkPoints()) {
    if (!filled && p.x == 75 && p.y == 25) continue;
    Pt q = pixel(p);
    EXPECT_TRUE(b.inkNear(q.x, q.y, 3)) << p.x << "," << p.y;
  }
  for (Pt p : Blank) {
    if (filled && p.x == 50 && p.y == 50) continue;
    Pt q = pixel(p);
    EXPECT_FALSE(b.inkNear(q.x, q.y, 2)) << p.x << "," << p.y;
  }
  bool text = false;
  for (double x = 21; x < 40; x += 0.5) text |= b.inkNear(pixel({x, 73}).x, pixel({x, 73}).y, 0);
  EXPECT_TRUE(text);
}

TEST_F(Consumers, Hp2xxRendersTheHpglFamily) {
  ASSERT_TRUE(HaveTool("hp2xx")) << "hp2xx is missing: run scripts/install-deps.sh";
  {
    SCOPED_TRACE("HP-GL");
    CheckHpgl(Convert(TargetHpgl, Drawing), dir, false);
  }
  {
    SCOPED_TRACE("HP-GL/2");
    CheckHpgl(Convert(TargetHpgl2, Drawing), dir, true);
  }
  {
    SCOPED_TRACE("HPGL-Laser");
    std::string job = Convert(TargetHpglLaser, Drawing);
    // The HP-GL/2 part between entering and leaving HP-GL/2 mode.
    size_t a = job.find("\x1b%0B"), e = job.find("\x1b%0A");
    ASSERT_NE(a, std::string::npos);
    ASSERT_NE(e, std::string::npos);
    EXPECT_EQ(job.substr(0, 2), "\x1b" "E");
    EXPECT_EQ(job.substr(job.size() - 4), "\x1b" "E\r\n");
    CheckHpgl(job.substr(a + 4, e - a - 4), dir, true);
  }
  {
    SCOPED_TRACE("HP-GL with stroked text");
    ASSERT_TRUE(LoadShapeFont(DataDir() + "/TXT.SHP"));
    Settings.UseShapeFont = Settings.LoadShapeFont = 'J';
    std::string out = Convert(TargetHpgl, Drawing);
    ClearShapeFont();
    EXPECT_EQ(out.find("LB"), std::string::npos);
    CheckHpgl(out, dir, false);
  }
}

}  // namespace
}  // namespace planox::test

namespace planox::test {
namespace {

bool Near(double a, double b) { return std::fabs(a - b) < 0.002; }

// The cuts of the drawing (moves at depth) in order: each line, the circle
// as one full arc from (70, 50) (two half circles in dialect 5), the arc
// from P(10.5) to P(100.25), the solid's outline and the polyline.
// Dialect 4 drills the circle instead. centre(m) is the arc centre as the
// consumer understood it.
void ExpectCuts(const std::vector<Move>& moves, int dialect, const std::function<Pt(const Move&)>& centre,
                const std::string& log) {
  auto P = [](double a, double r) { return Pt{50 + r * std::cos(a * M_PI / 180), 50 + r * std::sin(a * M_PI / 180)}; };
  struct Cut {
    Pt a, b;
    bool arc;
    Pt centre;
  };
  std::vector<Cut> want = {{{10, 10}, {90, 10}, false, {}}, {{90, 10}, {90, 90}, false, {}},
                           {{90, 90}, {10, 90}, false, {}}, {{10, 90}, {10, 10}, false, {}}};
  if (dialect == 5) {
    want.push_back({{70, 50}, {30, 50}, true, {50, 50}});
    want.push_back({{30, 50}, {70, 50}, true, {50, 50}});
  } else if (dialect != 4) {
    want.push_back({{70, 50}, {70, 50}, true, {50, 50}});
  }
  want.push_back({P(10.5, 30), P(100.25, 30), true, {50, 50}});
  Pt solid[5] = {{70, 20}, {80, 20}, {80, 30}, {70, 30}, {70, 20}};
  for (int k = 0; k < 4; ++k) want.push_back({solid[k], solid[k + 1], false, {}});
  want.push_back({{20, 20}, {40, 25}, false, {}});
  want.push_back({{40, 25}, {30, 40}, false, {}});
  want.push_back({{30, 84}, {85, 84}, false, {}});

  std::vector<Move> cuts;
  bool drilled = false;
  for (const Move& m : moves) {
    if (m.z1 < 0 && m.z2 < 0) cuts.push_back(m);
    // A plunge at the circle's centre.
    if (m.kind == "line" && m.z2 < 0 && m.z1 > 0 && Near(m.x2, 50) && Near(m.y2, 50)) drilled = true;
  }
  EXPECT_EQ(drilled, dialect == 4);
  ASSERT_EQ(cuts.size(), want.size()) << log;
  for (size_t k = 0; k < want.size(); ++k) {
    SCOPED_TRACE(k);
    const Move& m = cuts[k];
    EXPECT_EQ(m.kind, want[k].arc ? "arc" : "line");
    EXPECT_TRUE(Near(m.x1, want[k].a.x) && Near(m.y1, want[k].a.y)) << m.x1 << "," << m.y1;
    EXPECT_TRUE(Near(m.x2, want[k].b.x) && Near(m.y2, want[k].b.y)) << m.x2 << "," << m.y2;
    EXPECT_TRUE(Near(m.z1, -0.3));
    if (want[k].arc) {
      Pt c = centre(m);
      EXPECT_TRUE(Near(c.x, want[k].centre.x) && Near(c.y, want[k].centre.y)) << c.x << "," << c.y;
      // Every arc of the drawing runs counter-clockwise; only the ISO
      // dialect says so in the ISO sense.
      if (dialect == 5) {
        EXPECT_EQ(m.motion, "G3");
      }
    }
  }
  // The program ends at (0, 0) with the tool up.
  EXPECT_TRUE(Near(moves.back().x2, 0) && Near(moves.back().y2, 0) && moves.back().z2 > 0);
}

TEST_F(Consumers, ToolpathEngineReadsCnc) {
  ASSERT_TRUE(HaveTool("node")) << "node is missing: run scripts/install-deps.sh";
  ASSERT_TRUE(std::ifstream(SourceDir() + "/tests/convert/node/node_modules/gcode-toolpath/package.json").good())
      << "gcode-toolpath is missing: run scripts/install-deps.sh";
  for (int dialect : {1, 3, 4, 5}) {
    SCOPED_TRACE(dialect);
    Settings.NcSyntax = dialect;
    std::string file = save("d.cnc", Convert(TargetCnc, Drawing));
    std::string log;
    std::vector<Move> moves = Toolpath(file, log);
    ASSERT_FALSE(moves.empty()) << log;
    // The engine takes I and J relative to the start point: dialects 3 and
    // 5 write them so, dialects 1 and 4 write the absolute centre.
    bool relative = dialect == 3 || dialect == 5;
    ExpectCuts(moves, dialect, [relative](const Move& m) { return relative ? Pt{m.i, m.j} : Pt{m.i - m.x1, m.j - m.y1}; },
               log);
  }
}

TEST_F(Consumers, Rs274ReadsIsoGcode) {
  ASSERT_TRUE(HaveTool("rs274")) << "rs274 is missing: run scripts/install-deps.sh";
  Settings.NcSyntax = 5;
  std::string file = save("d.ngc", Convert(TargetCnc, Drawing));
  std::string log;
  std::vector<Move> moves = Rs274Moves(file, log);
  ASSERT_FALSE(moves.empty()) << log;
  ExpectCuts(moves, 5, [](const Move& m) { return Pt{m.i, m.j}; }, log);
}

// The SVG page: mm to pixels of a rendering at dpi, through the viewBox
// and the outer transform (y up; turned by 90 degrees with rotate).
struct Page {
  double left = 0, top = 0, width = 0, height = 0;
  bool rotated = false;
  double k = 1;
  Pt pixel(Pt p) const {
    Pt u = rotated ? Pt{-p.y, -p.x} : Pt{p.x, -p.y};
    return {(u.x - left) * k, (u.y - top) * k};
  }
};

Page PageOf(const std::string& svg, double dpi) {
  Page page;
  std::smatch m;
  static const std::regex box("viewBox=\"(\\S+) (\\S+) (\\S+) (\\S+)\"");
  if (std::regex_search(svg, m, box)) {
    page.left = std::stod(m[1]);
    page.top = std::stod(m[2]);
    page.width = std::stod(m[3]);
    page.height = std::stod(m[4]);
  }
  page.rotated = svg.find("matrix(0 -1 -1 0 0 0)") != std::string::npos;
  page.k = dpi / 25.4;
  return page;
}

// rsvg-convert at 100 dpi (a hairline of 0.1 mm still leaves ink).
TEST_F(Consumers, RsvgRendersSvg) {
  ASSERT_TRUE(HaveTool("rsvg-convert")) << "rsvg-convert is missing: run scripts/install-deps.sh";
  for (char rotate : {'N', 'J'}) {
    SCOPED_TRACE(rotate);
    Settings.Rotate90 = rotate;
    std::string svg = Convert(TargetSvg, Drawing);
    std::string src = save("d.svg", svg), png = dir.file("d.png"), pbm = dir.file("d.pbm"), log;
    ASSERT_EQ(Shell("rsvg-convert -d 100 -p 100 -o " + png + " " + src, log), 0) << log;
    ASSERT_EQ(Shell(Python3() + " " + SourceDir() + "/tests/convert/tools/png2pbm.py " + png + " " + pbm, log), 0) << log;
    Bitmap b = ReadPbm(pbm);
    Page page = PageOf(svg, 100);
    ASSERT_TRUE(b.any());
    EXPECT_NEAR(b.w, page.width * page.k, 1);
    EXPECT_NEAR(b.h, page.height * page.k, 1);
    for (Pt p : InkPoints()) {
      Pt q = page.pixel(p);
      EXPECT_TRUE(b.inkNear(q.x, q.y, 2)) << p.x << "," << p.y;
    }
    for (Pt p : Blank) {
      Pt q = page.pixel(p);
      EXPECT_FALSE(b.inkNear(q.x, q.y, 2)) << p.x << "," << p.y;
    }
    bool text = false;
    for (double x = 21; x < 40; x += 0.5) text |= b.inkNear(page.pixel({x, 73}).x, page.pixel({x, 73}).y, 0);
    EXPECT_TRUE(text);
  }
}

// Inkscape opens the files at the size written: its PDF page is the
// document's width and height.
TEST_F(Consumers, InkscapeReadsTheSvgSize) {
  ASSERT_TRUE(HaveTool("inkscape")) << "inkscape is missing: run scripts/install-deps.sh";
  std::vector<std::string> files;
  for (char rotate : {'N', 'J'}) {
    Settings.Rotate90 = rotate;
    files.push_back(save(std::string("d") + rotate + ".svg", Convert(TargetSvg, Drawing)));
  }
  Settings.PlotScale = 0.5;
  files.push_back(save("line.svg", Convert(TargetSvg, [] { PlotSelectPen(3); PlotLine(-5, 2, 1000, 2); })));
  std::string args, log;
  for (const std::string& f : files) args += " " + f;
  ASSERT_EQ(Shell("HOME=" + dir.path() + " timeout 300 inkscape --export-type=pdf" + args, log), 0) << log;
  static const std::regex size("width=\"([0-9.]+)mm\" height=\"([0-9.]+)mm\"");
  static const std::regex media("/MediaBox \\[ *0 +0 +([0-9.]+) +([0-9.]+) *\\]");
  for (const std::string& f : files) {
    SCOPED_TRACE(f);
    std::string svg = ReadFile(f), pdf = ReadFile(f.substr(0, f.size() - 3) + "pdf");
    std::smatch written, read;
    ASSERT_TRUE(std::regex_search(svg, written, size));
    ASSERT_TRUE(std::regex_search(pdf, read, media)) << log;
    EXPECT_NEAR(std::stod(read[1]), std::stod(written[1]) * 72 / 25.4, 0.01);
    EXPECT_NEAR(std::stod(read[2]), std::stod(written[2]) * 72 / 25.4, 0.01);
  }
}

}  // namespace
}  // namespace planox::test

#include <dirent.h>

namespace planox::test {
namespace {

// Every golden output goes through its consumer as well.
TEST_F(Consumers, GoldenOutputsAreReadable) {
  std::string golden = SourceDir() + "/tests/convert/golden";
  DIR* d = opendir(golden.c_str());
  ASSERT_NE(d, nullptr);
  std::vector<std::string> names;
  while (dirent* e = readdir(d)) names.push_back(e->d_name);
  closedir(d);
  int checked = 0;
  for (const std::string& n : names) {
    std::string f = golden + "/" + n, ext = n.substr(n.find_last_of('.') + 1), log;
    SCOPED_TRACE(n);
    if (ext == "ps") {
      EXPECT_EQ(Shell("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage " + f, log), 0) << log;
      EXPECT_EQ(log.find("Error"), std::string::npos) << log;
    } else if (ext == "plt" || ext == "pl2" || ext == "hpl") {
      std::string s = ReadFile(f);
      if (ext == "hpl") s = s.substr(s.find("\x1b%0B") + 4, s.find("\x1b%0A") - s.find("\x1b%0B") - 4);
      std::string src = save("g.hpgl", s);
      // A fixed range: hp2xx fails on sizing some one-line pictures itself.
      EXPECT_EQ(Shell("hp2xx -m pbm -x -400 -X 4000 -y -400 -Y 4000 -f " + dir.file("g.pbm") + " " + src, log), 0)
          << log;
      EXPECT_NE(log.find("HPGL command(s) ignored: 0"), std::string::npos) << log;
      EXPECT_NE(log.find("Unexpected event(s):  0"), std::string::npos) << log;
    } else if (ext == "cnc" && n.rfind("cnc2", 0) != 0) {
      std::vector<Move> moves = Toolpath(f, log);
      EXPECT_FALSE(moves.empty()) << log;
      if (n.rfind("iso", 0) == 0) {
        moves = Rs274Moves(f, log);
        EXPECT_FALSE(moves.empty()) << log;
      }
    } else if (ext == "svg") {
      EXPECT_EQ(Shell(Python3() + " " + SourceDir() + "/tests/convert/tools/svgstat.py " + f, log), 0) << log;
      EXPECT_EQ(Shell("rsvg-convert -o " + dir.file("g.png") + " " + f, log), 0) << log;
    } else {
      continue;
    }
    ++checked;
  }
  EXPECT_EQ(checked, 40);  // 4 PostScript, 8 HP-GL family, 6 CNC, 10 ISO, 12 SVG
}

}  // namespace
}  // namespace planox::test
