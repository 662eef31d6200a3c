// The DXF writer's entity operations.
#include "drawing/dxfout.h"
#include "drawing_support.h"

namespace planox::test {
namespace {

using Writer = DrawingTest;

std::string Written(const std::function<void(DxfWriter&)>& f, const std::string& path) {
  DxfWriter w;
  EXPECT_TRUE(w.Create(path));
  f(w);
  w.DxfEnd();
  EXPECT_FALSE(w.Failed());
  return ReadFile(path);
}

TEST_F(Writer, EntityGroups) {
  const std::string path = tmp.file("w.dxf");
  EXPECT_EQ(Written([](DxfWriter& w) { w.DxfLine(1, 2, 3, 4); }, path),
            "  0\r\nLINE\r\n  8\r\n0\r\n 10\r\n1.000000\r\n 20\r\n2.000000\r\n 11\r\n3.000000\r\n"
            " 21\r\n4.000000\r\n  0\r\nEOF\r\n");
  // Arcs from 0 to 360 (or equal angles) are circles.
  EXPECT_EQ(Written([](DxfWriter& w) { w.DxfArc(0, 0, 0, 360, 1); }, path),
            Written([](DxfWriter& w) { w.DxfCircle(0, 0, 1); }, path));
  EXPECT_EQ(Written([](DxfWriter& w) { w.DxfArc(0, 0, 359.999999, 0, 1); }, path),
            Written([](DxfWriter& w) { w.DxfCircle(0, 0, 1); }, path));
  std::string arc = Written(
      [](DxfWriter& w) {
        w.DxfSetLayer("3");
        w.DxfArc(-1.5, 0.25, 10, 20, 2);
      },
      path);
  EXPECT_EQ(arc,
            "  0\r\nARC\r\n  8\r\n3\r\n 10\r\n-1.500000\r\n 20\r\n0.250000\r\n 40\r\n2.000000\r\n"
            " 50\r\n10.000000\r\n 51\r\n20.000000\r\n  0\r\nEOF\r\n");

  // Text: 41, 50, 51 in the compact form with a point, whatever the
  // separator; height 0 gives the width ratio without dividing.
  Settings.DecimalSeparator = 2;
  Settings.TextWidthRatio = 0.75;
  Settings.DxfDecimals = 2;
  std::string text = Written(
      [](DxfWriter& w) {
        w.DxfTextStyle(0, 0, 12.5);
        w.DxfText("Ab", 1, 2);
      },
      path);
  EXPECT_EQ(text,
            "  0\r\nTEXT\r\n  8\r\n0\r\n 10\r\n1.00\r\n 20\r\n2.00\r\n 40\r\n0.00\r\n  1\r\nAb\r\n"
            "  7\r\nSTANDARD\r\n 41\r\n0.75\r\n 50\r\n12.5\r\n 51\r\n0\r\n  0\r\nEOF\r\n");
  Settings.DxfDecimals = 99;  // out of range: 6
  EXPECT_EQ(DxfRealText(-0.0000000001), "0.000000");
  EXPECT_EQ(DxfRealText(1234567.5), "1234567.500000");
  EXPECT_EQ(DxfRealText(1e300).size(), 308u);

  std::string ins = Written([](DxfWriter& w) { w.DxfInsert("DOOR", 1, 2, 3, 4, 90); }, path);
  EXPECT_NE(ins.find("  2\r\nDOOR\r\n 10\r\n1.000000\r\n 20\r\n2.000000\r\n 41\r\n3.000000\r\n"
                     " 42\r\n4.000000\r\n 50\r\n90.000000\r\n"),
            std::string::npos);

  // The copy holds every group as written.
  std::vector<DxfGroup> copy;
  DxfWriter w;
  w.SetCopy(&copy);
  w.DxfSolid(0, 0, 1, 0, 1, 1, 0, 1);
  w.DxfEnd();
  ASSERT_EQ(copy.size(), 11u);
  EXPECT_EQ(copy[0].value, "SOLID");
  EXPECT_EQ(copy[7].code, 22);
  EXPECT_EQ(copy[10].value, "EOF");
}

}  // namespace
}  // namespace planox::test
