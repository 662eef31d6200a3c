// Entity readers: text decoding and defaults, polylines with bulges,
// solids and the groups every reader takes.
#include "base/vektor.h"
#include "drawing_support.h"

namespace planox::test {
namespace {

using Entities = DrawingTest;
using V = std::vector<std::string>;

std::string Vertex(double x, double y, double bulge = 0, const std::string& layer = "") {
  std::string v = G(0, "VERTEX");
  if (!layer.empty()) v += G(8, layer);
  v += G(10, x) + G(20, y);
  if (bulge != 0) v += G(42, bulge);
  return v;
}

TEST_F(Entities, TextDefaults) {
  // Defaults: height 3.5, width factor 1; 41 = 0 is 1; the last group 1
  // wins. (MTEXT: modern_test.cpp.)
  Settings.ScreenTextRatio = 1.25;  // 1.25 x 0.8 = 1
  Read(G(0, "TEXT") + G(1, "a") + G(1, "%%c5") + G(10, 1.0) + G(20, 2.0) + G(0, "TEXT") +
           G(1, "b") + G(40, 2.0) + G(41, 0.0) + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_SetTextStyle"),
            (V{"H_SetTextStyle(2,0,3.5,3.5)", "H_SetTextStyle(2,0,2,2)"}));
  EXPECT_EQ(rec.Only("H_OutTextXY"), (V{"H_OutTextXY(1,2,\x9D" "5)", "H_OutTextXY(0,0,b)"}));
  EXPECT_EQ(rec.Only("H_SetTextJustify").size(), 2u);
  EXPECT_EQ(TextCount, 2u);
}

TEST_F(Entities, EntityGroups) {
  // z values, thickness, colour and line type on the entity are ignored;
  // non-numeric values are 0.
  Read(G(0, "LINE") + G(10, 1.0) + G(20, 2.0) + G(30, 9.0) + G(11, "x") + G(21, 4.0) +
           G(62, "1") + G(6, "DASHED") + G(39, 5.0) + G(0, "CIRCLE") + G(10, 1.0) +
           G(20, 1.0) + G(40, 2.0) + G(210, 0.0) + G(0, "ARC") + G(10, 3.0) + G(40, 1.0) +
           G(50, 270.0) + G(51, 90.0) + G(0, "TRACE") + G(10, 1.0) + G(11, 2.0) + G(12, 3.0) +
           G(13, 4.0) + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line"), V{"H_Line(1,2,0,4)"});
  EXPECT_EQ(rec.Only("H_Circle"), V{"H_Circle(1,1,2)"});
  EXPECT_EQ(rec.Only("H_Arc"), V{"H_Arc(3,0,270,90,1)"});
  EXPECT_EQ(rec.Only("H_Solid"), V{"H_Solid(1,0,2,0,4,0,3,0)"});
  EXPECT_EQ(ElementCount, 4u);
  // Box: the line, the whole circle of the arc and of the circle.
  EXPECT_EQ(BoundingBox.XMin, -1);
  EXPECT_EQ(BoundingBox.XMax, 4);
  EXPECT_EQ(BoundingBox.YMin, -1);
  EXPECT_EQ(BoundingBox.YMax, 4);

  // Values that are no numbers a reader can use (nan, inf, overflow) count
  // as 0; an entity whose transformed geometry is not finite is dropped.
  rec.calls.clear();
  Read(Section("BLOCKS", Block("B", G(0, "CIRCLE") + G(40, 1e300))) + G(0, "LINE") +
           G(10, "nan") + G(20, "inf") + G(11, "1e999") + G(21, "-1e308") + G(0, "CIRCLE") +
           G(40, "1e308") + Insert("B", 0, 0, 0, 1e300, 1) + Eof(),
       ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(rec.Only("H_Line"), V{"H_Line(0,0,0,-1e+308)"});
  EXPECT_EQ(rec.Only("H_Circle"), V{"H_Circle(0,0,1e+308)"});
}

TEST_F(Entities, Polylines) {
  std::string tables = Section("TABLES", LayerEntry("0", 7) + LayerEntry("P", 1) +
                                             LayerEntry("V", 2) + LayerEntry("W", 3));
  // Bulge 1 from (0,0) to (10,0): one half circle, counter-clockwise from
  // the start point, on the layer of the second vertex.
  Read(tables + G(0, "POLYLINE") + G(8, "P") + G(66, "1") + G(70, "0") + Vertex(0, 0, 1, "W") +
           Vertex(10, 0, 0, "V") + G(0, "SEQEND") + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.calls, (V{"H_ClearViewPort()", "H_SetLineStyleName(CONTINUOUS)",
                          "H_SetColor(14)", "H_Arc(5,0,180,0,5)"}));
  rec.calls.clear();
  ReadDrawing(ReadForConversion);
  EXPECT_EQ(rec.Only("PlotArc"), V{"PlotArc(5,0,180,0,5,180)"});

  // Bulge -1: the angles change places, the sweep is -180.
  rec.calls.clear();
  Read(tables + G(0, "POLYLINE") + Vertex(0, 0, -1) + Vertex(10, 0) + G(0, "SEQEND") + Eof(),
       ReadForConversion);
  EXPECT_EQ(rec.Only("PlotArc"), V{"PlotArc(5,0,0,180,5,-180)"});

  // A closed rectangle: four lines, the closing one on the polyline layer;
  // a vertex without layer keeps the one before.
  std::string rect = Vertex(0, 0, 0, "V") + Vertex(4, 0, 0, "W") + Vertex(4, 3) + Vertex(0, 3) +
                     G(0, "SEQEND");
  rec.calls.clear();
  Read(tables + G(0, "POLYLINE") + G(8, "P") + G(70, "1") + rect + Eof(), ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line"), (V{"H_Line(0,0,4,0)", "H_Line(4,0,4,3)", "H_Line(4,3,0,3)",
                                   "H_Line(0,3,0,0)"}));
  EXPECT_EQ(rec.Only("H_SetColor"),
            (V{"H_SetColor(10)", "H_SetColor(10)", "H_SetColor(10)", "H_SetColor(12)"}));
  EXPECT_EQ(ElementCount, 4u);
  rec.calls.clear();
  Read(tables + G(0, "POLYLINE") + G(8, "P") + G(70, "129") + rect + Eof(), ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line").size(), 3u);

  // Without a layer anywhere the segments are output on slot 1.
  rec.calls.clear();
  Read(tables + G(0, "POLYLINE") + Vertex(0, 0) + Vertex(1, 1) + G(0, "SEQEND") + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_SetColor"), V{"H_SetColor(15)"});

  // A POLYLINE without VERTEX is dropped; the read goes on.
  rec.calls.clear();
  Read(G(0, "POLYLINE") + G(70, "1") + Line(0, 0, 1, 1) + Eof(), ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(rec.Only("H_Line"), V{"H_Line(0,0,1,1)"});

  // A vertex list without SEQEND ends at the next entity.
  rec.calls.clear();
  Read(G(0, "POLYLINE") + Vertex(0, 0) + Vertex(2, 0) + Line(5, 5, 6, 6) + Eof(), ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line"), (V{"H_Line(0,0,2,0)", "H_Line(5,5,6,6)"}));

  // Coinciding points with a bulge: radius 0, logged, still emitted.
  ClearErrorLog();
  rec.calls.clear();
  Read(G(0, "POLYLINE") + Vertex(3, 3, 0.5) + Vertex(3, 3) + G(0, "SEQEND") + Eof(),
       ReadForDisplay);
  ASSERT_EQ(rec.Only("H_Arc").size(), 1u);
  EXPECT_EQ(rec.Only("H_Arc")[0].substr(0, 10), "H_Arc(3,3,");
  ASSERT_FALSE(ErrorLog().empty());
  EXPECT_EQ(ErrorLog().back(), "GetArcCenter l12=0");
}

TEST_F(Entities, SolidCornerOrder) {
  std::string solid = G(0, "SOLID") + G(10, 0.0) + G(20, 0.0) + G(11, 1.0) + G(21, 0.0) +
                      G(12, 0.0) + G(22, 1.0) + G(13, 1.0) + G(23, 1.0);
  Read(solid + Eof(), ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Solid"), V{"H_Solid(0,0,1,0,1,1,0,1)"});
  rec.calls.clear();
  ReadDrawing(ReadForConversion);
  EXPECT_EQ(rec.Only("PlotSolid"), V{"PlotSolid(0,0,1,0,1,1,0,1)"});
  EXPECT_TRUE(rec.Only("PlotLineType").empty());  // solids select no line type

  // In a block the outline order is stored as 10..13 and replayed as is.
  rec.calls.clear();
  Read(Section("BLOCKS", Block("S", solid)) + Insert("S", 10, 0) + Eof(), ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Solid"), V{"H_Solid(10,0,11,0,11,1,10,1)"});
  std::string file = ReadFile(WorkDir() + "$S.dx$");
  EXPECT_NE(file.find(" 12\r\n1.000000\r\n 22\r\n1.000000\r\n 13\r\n0.000000\r\n 23\r\n1.000000"),
            std::string::npos);
}

}  // namespace
}  // namespace planox::test
