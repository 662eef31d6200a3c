// Entities of drawings from today's CAD programs, as the sinks receive
// them: light polylines, ellipses, splines, hatches, points, faces,
// leaders, attributes, tables, arrays, mirrored entities and MTEXT.
#include <cmath>
#include <regex>

#include "drawing/dxftext.h"
#include "drawing/notread.h"
#include "drawing_support.h"

namespace planox::test {
namespace {

using Modern = DrawingTest;
using V = std::vector<std::string>;

// The numbers of a record such as "H_Line(1,2,3,4)".
std::vector<double> Args(const std::string& record) {
  std::vector<double> v;
  size_t open = record.find('(');
  std::string inner = record.substr(open + 1, record.size() - open - 2);
  std::stringstream ss(inner);
  std::string part;
  while (std::getline(ss, part, ',')) v.push_back(std::stod(part));
  return v;
}

// The lines of a display read as one polyline: every line starts where the
// one before ended; returns the points.
std::vector<std::pair<double, double>> Chain(const V& lines) {
  std::vector<std::pair<double, double>> pts;
  for (const std::string& l : lines) {
    auto a = Args(l);
    if (pts.empty()) pts.push_back({a[0], a[1]});
    EXPECT_NEAR(pts.back().first, a[0], 1e-9) << l;
    EXPECT_NEAR(pts.back().second, a[1], 1e-9) << l;
    pts.push_back({a[2], a[3]});
  }
  return pts;
}

std::string Extrusion(double z) { return G(210, 0.0) + G(220, 0.0) + G(230, z); }

std::string LwPolyline(const std::vector<std::array<double, 3>>& v, int flags,
                       const std::string& extra = "") {
  std::string s = G(0, "LWPOLYLINE") + G(8, "0") + G(90, std::to_string(v.size())) +
                  G(70, std::to_string(flags)) + extra;
  for (const auto& p : v) {
    s += G(10, p[0]) + G(20, p[1]);
    if (p[2] != 0) s += G(42, p[2]);
  }
  return s;
}

TEST_F(Modern, LightPolylines) {
  // Closed, a bulge of 1 on the first segment: a half circle, then lines
  // back to the start, the same calls a POLYLINE gives.
  Read(LwPolyline({{0, 0, 1}, {10, 0, 0}, {10, 5, 0}, {0, 5, 0}}, 1) + Eof(), ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Arc"), V{"H_Arc(5,0,180,0,5)"});
  EXPECT_EQ(rec.Only("H_Line"), (V{"H_Line(10,0,10,5)", "H_Line(10,5,0,5)", "H_Line(0,5,0,0)"}));
  rec.calls.clear();
  ReadDrawing(ReadForConversion);
  EXPECT_EQ(rec.Only("PlotArc"), V{"PlotArc(5,0,180,0,5,180)"});
  // Open: no closing line; a bulge on the last vertex then means nothing.
  rec.calls.clear();
  Read(LwPolyline({{0, 0, 0}, {10, 0, 0.5}}, 0) + Eof(), ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line"), V{"H_Line(0,0,10,0)"});
  EXPECT_TRUE(rec.Only("H_Arc").empty());
  // Seen from below: mirrored in x, the bulge turns the other way.
  rec.calls.clear();
  Read(LwPolyline({{0, 0, 1}, {10, 0, 0}}, 0, Extrusion(-1)) + Eof(), ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Arc"), V{"H_Arc(-5,0,180,0,5)"});
  // A bulge with no vertex before it, and an empty one, harm nothing.
  rec.calls.clear();
  Read(G(0, "LWPOLYLINE") + G(42, 1.0) + G(20, 3.0) + G(0, "LWPOLYLINE") + Eof(), ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_TRUE(rec.Only("H_").size() == 1u);  // the clear only
}

TEST_F(Modern, Ellipses) {
  // Half an ellipse (half axes 10 and 5) from parameter 0 to pi: lines
  // within the tolerance of a twenty-thousandth of the extents (0..180).
  std::string half = G(0, "ELLIPSE") + G(8, "0") + G(10, 0.0) + G(20, 0.0) + G(11, 10.0) +
                     G(21, 0.0) + G(40, 0.5) + G(41, 0.0) + G(42, M_PI);
  Read(half + Eof(), ReadForDisplay);
  auto pts = Chain(rec.Only("H_Line"));
  ASSERT_GT(pts.size(), 20u);
  EXPECT_NEAR(pts.front().first, 10, 1e-9);
  EXPECT_NEAR(pts.back().first, -10, 1e-9);
  double tol = 180.0 / 20000, top = 0;
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    double mx = (pts[i].first + pts[i + 1].first) / 2, my = (pts[i].second + pts[i + 1].second) / 2;
    EXPECT_LE(std::hypot(mx, my) * (1 / std::sqrt(mx * mx / 100 + my * my / 25) - 1), tol);
    top = std::max(top, pts[i].second);
  }
  EXPECT_NEAR(top, 5, tol);
  EXPECT_EQ(ElementCount, pts.size() - 1);

  // Converted at ten times, the chords are finer (0.01 mm on paper), and
  // the window draws the same ones, so what it shows is what is plotted.
  Settings.PlotScale = 10;
  rec.calls.clear();
  Read(half + Eof(), ReadForDisplay);
  const V shown = rec.Only("H_Line");
  EXPECT_GT(shown.size(), pts.size());
  rec.calls.clear();
  ReadDrawing(ReadForConversion);
  const V plotted = rec.Only("PlotLine(");
  ASSERT_EQ(plotted.size(), shown.size());
  EXPECT_NEAR(Args(plotted[1])[0], 10 * Args(shown[1])[0], 1e-6);
  Settings.PlotScale = 1;  // for the cases below

  // Seen from below the parameter runs clockwise: the lower half.
  rec.calls.clear();
  Read(half + Extrusion(-1) + Eof(), ReadForDisplay);
  for (const auto& p : Chain(rec.Only("H_Line"))) EXPECT_LE(p.second, 1e-6);

  // A circle given as an ellipse is an arc or a circle.
  rec.calls.clear();
  Read(G(0, "ELLIPSE") + G(10, 1.0) + G(20, 1.0) + G(11, 0.0) + G(21, 2.0) + G(40, 1.0) +
           G(41, 0.0) + G(42, M_PI / 2) + G(0, "ELLIPSE") + G(11, 3.0) + G(40, 1.0) + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Arc"), V{"H_Arc(1,1,90,180,2)"});
  EXPECT_EQ(rec.Only("H_Circle"), V{"H_Circle(0,0,3)"});
  EXPECT_TRUE(rec.Only("H_Line").empty());
}

TEST_F(Modern, Splines) {
  // Clamped cubic: the Bezier curve from (0,0) to (100,0), highest at
  // three quarters of the control height.
  auto spline = [](const std::string& body) { return G(0, "SPLINE") + G(8, "0") + body; };
  std::string knots = G(40, 0.0) + G(40, 0.0) + G(40, 0.0) + G(40, 0.0) + G(40, 1.0) +
                      G(40, 1.0) + G(40, 1.0) + G(40, 1.0);
  Read(spline(G(70, "8") + G(71, "3") + G(72, "8") + G(73, "4") + knots + G(10, 0.0) +
              G(20, 0.0) + G(10, 0.0) + G(20, 100.0) + G(10, 100.0) + G(20, 100.0) +
              G(10, 100.0) + G(20, 0.0)) +
           Eof(),
       ReadForDisplay);
  auto pts = Chain(rec.Only("H_Line"));
  ASSERT_GT(pts.size(), 10u);
  EXPECT_NEAR(pts.front().first, 0, 1e-9);
  EXPECT_NEAR(pts.back().first, 100, 1e-9);
  double top = 0;
  for (const auto& p : pts) top = std::max(top, p.second);
  EXPECT_NEAR(top, 75, 0.01);

  // Rational quadratic: a quarter circle of radius 100 exactly.
  rec.calls.clear();
  Read(spline(G(70, "12") + G(71, "2") + G(40, 0.0) + G(40, 0.0) + G(40, 0.0) + G(40, 1.0) +
              G(40, 1.0) + G(40, 1.0) + G(41, 1.0) + G(41, std::sqrt(0.5)) + G(41, 1.0) +
              G(10, 100.0) + G(20, 0.0) + G(10, 100.0) + G(20, 100.0) + G(10, 0.0) +
              G(20, 100.0)) +
           Eof(),
       ReadForDisplay);
  pts = Chain(rec.Only("H_Line"));
  ASSERT_GT(pts.size(), 10u);
  for (const auto& p : pts) EXPECT_NEAR(std::hypot(p.first, p.second), 100, 1e-6);

  // Fit points only: through each of them.
  rec.calls.clear();
  Read(spline(G(71, "3") + G(74, "3") + G(11, 0.0) + G(21, 0.0) + G(11, 50.0) + G(21, 30.0) +
              G(11, 100.0) + G(21, 0.0)) +
           Eof(),
       ReadForDisplay);
  pts = Chain(rec.Only("H_Line"));
  bool through = false;
  for (const auto& p : pts) through |= std::hypot(p.first - 50, p.second - 30) < 1e-9;
  EXPECT_TRUE(through);
}

TEST_F(Modern, Hatches) {
  // A solid hatch with an edge path: a line, a half circle, two lines.
  std::string edges = G(92, "1") + G(93, "4") + G(72, "1") + G(10, 0.0) + G(20, 0.0) +
                      G(11, 10.0) + G(21, 0.0) + G(72, "2") + G(10, 10.0) + G(20, 5.0) +
                      G(40, 5.0) + G(50, -90.0) + G(51, 90.0) + G(73, "1") + G(72, "1") +
                      G(10, 10.0) + G(20, 10.0) + G(11, 0.0) + G(21, 10.0) + G(72, "1") +
                      G(10, 0.0) + G(20, 10.0) + G(11, 0.0) + G(21, 0.0) + G(97, "0");
  auto hatch = [&](const std::string& name, int solid, const std::string& paths) {
    return G(0, "HATCH") + G(8, "0") + G(10, 0.0) + G(20, 0.0) + G(30, 0.0) + G(2, name) +
           G(70, std::to_string(solid)) + G(71, "0") + G(91, "1") + paths + G(75, "0") +
           G(76, "1") + G(98, "1") + G(10, 5.0) + G(20, 5.0);
  };
  Read(hatch("SOLID", 1, edges) + Eof(), ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line"),
            (V{"H_Line(0,0,10,0)", "H_Line(10,10,0,10)", "H_Line(0,10,0,0)"}));
  EXPECT_EQ(rec.Only("H_Arc"), V{"H_Arc(10,5,-90,90,5)"});
  // The fill covers the square and the half disc, within the tolerance.
  double area = 0;
  for (const std::string& s : rec.Only("H_Solid")) {
    auto a = Args(s);
    for (int i = 0; i < 4; ++i)
      area += (a[2 * i] * a[(2 * i + 3) % 8] - a[(2 * i + 2) % 8] * a[2 * i + 1]) / 2;
  }
  EXPECT_NEAR(area, 100 + M_PI * 25 / 2, 0.1);
  // In a conversion the solids go to the driver.
  EXPECT_GT(rec.Only("H_Solid").size(), 4u);
  rec.calls.clear();
  ReadDrawing(ReadForConversion);
  EXPECT_GT(rec.Only("PlotSolid").size(), 4u);

  // A pattern hatch with a polyline path (bulge 1 on the first side) and
  // an island: outlines only.
  std::string square = G(92, "2") + G(72, "1") + G(73, "1") + G(93, "4") + G(10, 0.0) +
                       G(20, 0.0) + G(42, 1.0) + G(10, 10.0) + G(20, 0.0) + G(42, 0.0) +
                       G(10, 10.0) + G(20, 10.0) + G(42, 0.0) + G(10, 0.0) + G(20, 10.0) +
                       G(42, 0.0) + G(97, "0");
  rec.calls.clear();
  Read(hatch("ANSI31", 0, square) + Eof(), ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Arc"), V{"H_Arc(5,0,180,0,5)"});
  EXPECT_EQ(rec.Only("H_Line").size(), 3u);
  EXPECT_TRUE(rec.Only("H_Solid").empty());

  // Counts that promise more than is there end the paths, not the read.
  rec.calls.clear();
  Read(G(0, "HATCH") + G(70, "1") + G(91, "1000000") + G(92, "2") + G(93, "99999") +
           G(10, 1.0) + G(0, "HATCH") + G(91, "2") + G(92, "0") + G(93, "5") + G(72, "4") +
           G(94, "99") + G(95, "3") + G(40, 1.0) + Line(0, 0, 1, 1) + Eof(),
       ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(rec.Only("H_Line"), V{"H_Line(0,0,1,1)"});
}

TEST_F(Modern, PointsFacesLeadersAttributesTables) {
  std::string body =
      G(0, "POINT") + G(8, "0") + G(10, 3.0) + G(20, 4.0) + G(0, "3DFACE") + G(10, 0.0) +
      G(20, 0.0) + G(11, 1.0) + G(21, 0.0) + G(12, 1.0) + G(22, 1.0) + G(13, 1.0) + G(23, 1.0) +
      G(70, "2") + G(0, "LEADER") + G(71, "1") + G(76, "3") + G(10, 0.0) + G(20, 0.0) +
      G(10, 5.0) + G(20, 5.0) + G(10, 9.0) + G(20, 5.0);
  Read(body + Eof(), ReadForDisplay);
  // The point is a dot; the face's second edge is hidden and its fourth
  // corner is the third; the leader is a line through its vertices.
  EXPECT_EQ(rec.Only("H_Line"), (V{"H_Line(3,4,3,4)", "H_Line(0,0,1,0)", "H_Line(1,1,0,0)",
                                   "H_Line(0,0,5,5)", "H_Line(5,5,9,5)"}));
  rec.calls.clear();
  ReadDrawing(ReadForConversion);
  EXPECT_EQ(rec.Only("PlotCircle"), V{"PlotCircle(3,4,0)"});

  // Attributes after an INSERT: the visible ones as texts, centred as TEXT
  // is (72), their vertical place from group 74; an ACAD_TABLE inserts its
  // block.
  rec.calls.clear();
  Read(Section("BLOCKS", Block("*T1", Line(0, 0, 1, 0)) + Block("E", "")) + Insert("E", 0, 0) +
           G(0, "ATTRIB") + G(10, 1.0) + G(20, 2.0) + G(40, 2.0) + G(1, "AB") + G(2, "TAG") +
           G(70, "0") + G(72, "1") + G(74, "3") + G(11, 10.0) + G(21, 20.0) + G(0, "ATTRIB") +
           G(10, 1.0) + G(20, 2.0) + G(1, "HIDDEN") + G(70, "1") + G(0, "SEQEND") +
           G(0, "ACAD_TABLE") + G(2, "*T1") + G(10, 5.0) + G(20, 5.0) + G(11, 0.0) +
           G(21, 1.0) + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_OutTextXY"), V{"H_OutTextXY(" + Num(10 - 2 * 0.85) + ",18,AB)"});
  EXPECT_EQ(rec.Only("H_Line"), V{"H_Line(5,5,5,6)"});

  // A multileader: its leader line runs on to the leader's landing, the
  // dogleg from there; the text is placed as MTEXT. The codes mean other
  // things outside the sections, and a text or point there is not drawn.
  rec.calls.clear();
  Read(G(0, "MULTILEADER") + G(8, "0") + G(304, "not drawn") + G(300, "CONTEXT_DATA{") +
           G(10, 99.0) + G(20, 99.0) + G(41, 3.0) + G(304, "Hel\\Plo") + G(12, 0.0) + G(22, 10.0) +
           G(171, "1") + G(302, "LEADER{") + G(10, 10.0) + G(20, 5.0) + G(11, 1.0) + G(21, 0.0) +
           G(40, 2.0) + G(304, "LEADER_LINE{") + G(10, 0.0) + G(20, 0.0) + G(10, 5.0) + G(20, 5.0) +
           G(305, "}") + G(303, "}") + G(301, "}") + G(10, 1.0) + G(20, 1.0) + G(304, "not drawn") +
           Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line"), (V{"H_Line(0,0,5,5)", "H_Line(5,5,10,5)", "H_Line(10,5,12,5)"}));
  EXPECT_EQ(rec.Only("H_OutTextXY"), (V{"H_OutTextXY(0,7,Hel)", "H_OutTextXY(0,2,lo)"}));
}

TEST_F(Modern, TextsPlacedAndDecoded) {
  Settings.ScreenTextRatio = 1.25;  // screen width = height x width factor
  auto text = [](const std::string& value, const std::string& extra) {
    return G(0, "TEXT") + G(8, "0") + G(10, 1.0) + G(20, 1.0) + G(40, 2.0) + G(1, value) + extra;
  };
  // Centred on the second point; aligned between the two points (the
  // height follows); the special codes in every occurrence.
  double w = 4 * 2 * 0.85;
  Read(text("ABCD", G(72, "1") + G(11, 10.0) + G(21, 5.0)) +
           text("ABCD", G(72, "3") + G(11, 1.0) + G(21, 1 + 2 * w)) +
           text("%%c12 %%C13 45%%d %%p1 %%%", "") + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_OutTextXY"),
            (V{"H_OutTextXY(" + Num(10 - w / 2) + ",5,ABCD)", "H_OutTextXY(1,1,ABCD)",
               "H_OutTextXY(1,1,\x9D" "12 \x9D" "13 45\xF8 \xF1" "1 %)"}));
  EXPECT_EQ(rec.Only("H_SetTextStyle"),
            (V{"H_SetTextStyle(2,0,2,2)", "H_SetTextStyle(2,90,4,4)", "H_SetTextStyle(2,0,2,2)"}));

  // MTEXT: chunks joined, formatting removed, lines one below the other at
  // 5/3 of the height; group 41 is the box, not a width factor.
  rec.calls.clear();
  Read(G(0, "MTEXT") + G(8, "0") + G(10, 0.0) + G(20, 10.0) + G(40, 3.0) + G(41, 400.0) +
           G(71, "1") + G(3, "{\\fArial|b1;Hel") + G(1, "lo}\\PWorld \\H2x;big") + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_OutTextXY"), (V{"H_OutTextXY(0,7,Hello)", "H_OutTextXY(0,2,World big)"}));
  EXPECT_EQ(rec.Only("H_SetTextStyle"), (V{"H_SetTextStyle(2,0,3,3)", "H_SetTextStyle(2,0,3,3)"}));
  // The embedded object newer programs add after group 101 repeats the
  // codes with other meanings (direction, location, column width).
  rec.calls.clear();
  Read(G(0, "MTEXT") + G(8, "0") + G(10, 0.0) + G(20, 10.0) + G(40, 3.0) + G(1, "Hello") +
           G(101, "Embedded Object") + G(70, "1") + G(10, 1.0) + G(20, 0.0) + G(11, 0.0) +
           G(21, 10.0) + G(40, 40.0) + G(44, 40.0) + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_OutTextXY"), V{"H_OutTextXY(0,7,Hello)"});
  EXPECT_EQ(rec.Only("H_SetTextStyle"), V{"H_SetTextStyle(2,0,3,3)"});

  // Encodings: UTF-8 from AC1021 on, the code page before, \U+ in both.
  auto header = [](const std::string& version, const std::string& page) {
    return Section("HEADER", G(9, "$ACADVER") + G(1, version) + G(9, "$DWGCODEPAGE") + G(3, page));
  };
  rec.calls.clear();
  Read(header("AC1021", "ANSI_1252") + text("\xC3\x9C" "bersicht \\U+00E9 \xC3\x9F", "") + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_OutTextXY"), V{"H_OutTextXY(1,1,\x9A" "bersicht \x82 \xE1)"});
  rec.calls.clear();
  Read(header("AC1015", "ANSI_1252") + text("\xDC" "bersicht \\U+00E9 \xDF", "") + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_OutTextXY"), V{"H_OutTextXY(1,1,\x9A" "bersicht \x82 \xE1)"});
  // Inside a block the text is decoded once, when the block is read.
  rec.calls.clear();
  Read(header("AC1015", "ANSI_1252") + Section("BLOCKS", Block("B", text("\xDC", ""))) +
           Insert("B", 0, 0) + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_OutTextXY"), V{"H_OutTextXY(1,1,\x9A)"});
}

TEST_F(Modern, MirroredAndStretched) {
  // An arc seen from below (extrusion 0,0,-1) is drawn mirrored in x.
  Read(G(0, "ARC") + G(10, 10.0) + G(20, 0.0) + G(40, 2.0) + G(50, 0.0) + G(51, 90.0) +
           Extrusion(-1) + G(0, "CIRCLE") + G(10, 10.0) + G(20, 3.0) + G(40, 1.0) + Extrusion(-1) +
           Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Arc"), V{"H_Arc(-10,0,90,180,2)"});
  EXPECT_EQ(rec.Only("H_Circle"), V{"H_Circle(-10,3,1)"});

  // An INSERT seen from below mirrors its block, arcs included.
  std::string block = Section("BLOCKS", Block("B", Line(0, 0, 1, 0) + G(0, "ARC") + G(10, 0.0) +
                                                       G(20, 0.0) + G(40, 1.0) + G(50, 0.0) +
                                                       G(51, 90.0)));
  rec.calls.clear();
  Read(block + Insert("B", 5, 0) + Extrusion(-1) + Eof(), ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line"), V{"H_Line(-5,0,-6,0)"});
  EXPECT_EQ(rec.Only("H_Arc"), V{"H_Arc(-5,0,90,180,1)"});
  // The same by a negative x scale.
  rec.calls.clear();
  Read(block + Insert("B", -5, 0, 0, -1, 1) + Eof(), ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line"), V{"H_Line(-5,0,-6,0)"});
  EXPECT_EQ(rec.Only("H_Arc"), V{"H_Arc(-5,0,90,180,1)"});

  // A circle under a non-uniform scale becomes an ellipse of lines.
  rec.calls.clear();
  Read(Section("BLOCKS", Block("C", G(0, "CIRCLE") + G(40, 1.0))) + Insert("C", 0, 0, 0, 30, 10) +
           Eof(),
       ReadForDisplay);
  EXPECT_TRUE(rec.Only("H_Circle").empty());
  auto pts = Chain(rec.Only("H_Line"));
  ASSERT_GT(pts.size(), 20u);
  for (const auto& p : pts) EXPECT_NEAR(p.first * p.first / 900 + p.second * p.second / 100, 1, 1e-9);
}

TEST_F(Modern, InsertArrays) {
  // Two columns 10 apart, three rows 20 apart: six insertions, row by row.
  std::string block = Section("BLOCKS", Block("B", Line(0, 0, 1, 0)));
  Read(block + Insert("B", 0, 0) + G(70, "2") + G(71, "3") + G(44, 10.0) + G(45, 20.0) + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line"),
            (V{"H_Line(0,0,1,0)", "H_Line(10,0,11,0)", "H_Line(0,20,1,20)", "H_Line(10,20,11,20)",
               "H_Line(0,40,1,40)", "H_Line(10,40,11,40)"}));
  // Turned by 90 degrees the array turns with it.
  rec.calls.clear();
  Read(block + Insert("B", 0, 0, 90) + G(70, "2") + G(44, 10.0) + Eof(), ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line"), (V{"H_Line(0,0,0,1)", "H_Line(0,10,0,11)"}));
  // Absurd counts are capped, not obeyed.
  rec.calls.clear();
  Read(block + Insert("B", 0, 0) + G(70, "2000000000") + G(71, "2000000000") + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line").size(), 10000u);
}

TEST_F(Modern, LayerColourZeroAndEntitiesNotRead) {
  Read(Section("TABLES", LayerEntry("Z", 0)) +
           Section("ENTITIES", Line(0, 0, 1, 1, "Z") + G(0, "IMAGE") + G(0, "3DSOLID") +
                                   G(0, "IMAGE") + G(0, "ATTDEF") + G(0, "VERTEX")) +
           Section("OBJECTS", G(0, "DICTIONARY") + G(0, "XRECORD")) + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_SetColor"), V{"H_SetColor(15)"});
  EXPECT_EQ(EntitiesNotRead, (std::map<std::string, uint32_t>{{"3DSOLID", 1}, {"IMAGE", 2}}));
}

}  // namespace
}  // namespace planox::test
