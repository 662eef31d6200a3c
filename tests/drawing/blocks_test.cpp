// Block definitions, their work files, insertion transforms and nesting.
#include <sys/stat.h>

#include <filesystem>

#include "base/startup.h"
#include "drawing/report.h"
#include "drawing_support.h"

namespace planox::test {
namespace {

using Blocks = DrawingTest;
using V = std::vector<std::string>;

bool Exists(const std::string& name) {
  struct stat st {};
  return ::stat(name.c_str(), &st) == 0;
}

TEST_F(Blocks, InsertTransforms) {
  // Rotation 90, scales 2, 2: the unit line from (10,5) to (10,7).
  Read(Section("BLOCKS", Block("L", Line(0, 0, 1, 0))) +
           Section("ENTITIES", Insert("L", 10, 5, 90, 2, 2)) + Eof(),
       ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(rec.calls, (V{"H_ClearViewPort()", "H_SetLineStyleName(CONTINUOUS)",
                          "H_SetColor(15)", "H_Line(10,5,10,7)"}));
  EXPECT_EQ(InsertDepth, 0);
  EXPECT_EQ(BlockTransform.ScaleX, 1);

  // Nested: A holds B at (1,0); A at (10,0) turned by 90 puts B's origin at
  // (10,1) with B's contents turned as well.
  rec.calls.clear();
  Read(Section("BLOCKS", Block("B", Line(0, 0, 1, 0)) + Block("A", Insert("B", 1, 0))) +
           Section("ENTITIES", Insert("A", 10, 0, 90)) + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line"), V{"H_Line(10,1,10,2)"});

  // The base point of a block lands on the insertion point, at every level
  // of nesting: B (base 1,1) in A (base 2,0) at (3,0), A at (10,0).
  auto based = [](const std::string& name, double x, double y, const std::string& entities) {
    return G(0, "BLOCK") + G(8, "0") + G(2, name) + G(70, "0") + G(10, x) + G(20, y) + entities + G(0, "ENDBLK");
  };
  rec.calls.clear();
  Read(Section("BLOCKS", based("S", 5, 5, Line(5, 5, 6, 5)) + based("B", 1, 1, Line(1, 1, 2, 1)) +
                             based("A", 2, 0, Insert("B", 3, 0))) +
           Section("ENTITIES", Insert("S", 10, 5, 90, 2, 2) + Insert("A", 10, 0)) + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line"), (V{"H_Line(10,5,10,7)", "H_Line(11,0,12,0)"}));

  // Circle radius follows the scale; arcs turn with the insertion; text
  // keeps its own rotation and takes the y scale for its height. (Scales
  // that differ or mirror: modern_test.cpp.)
  rec.calls.clear();
  std::string body = G(0, "CIRCLE") + G(8, "0") + G(10, 1.0) + G(40, 1.0) + G(0, "ARC") +
                     G(40, 1.0) + G(50, 0.0) + G(51, 90.0) + G(0, "TEXT") + G(1, "t") +
                     G(40, 1.0) + G(50, 10.0);
  Settings.ScreenTextRatio = 1.25;
  Read(Section("BLOCKS", Block("C", body)) + Insert("C", 0, 0, 0, 3, 3) +
           Insert("C", 0, 0, 45, 2, 2) + Eof(),
       ReadForDisplay);
  V circles = rec.Only("H_Circle");
  ASSERT_EQ(circles.size(), 2u);
  EXPECT_EQ(circles[0], "H_Circle(3,0,3)");
  EXPECT_EQ(rec.Only("H_Arc"), (V{"H_Arc(0,0,0,90,3)", "H_Arc(0,0,45,135,2)"}));
  EXPECT_EQ(rec.Only("H_SetTextStyle"),
            (V{"H_SetTextStyle(2,10,3,3)", "H_SetTextStyle(2,10,2,2)"}));

  // DIMENSION inserts its block at 12/22 as it stands; 10/20 and 50 are
  // not its insertion, and the slant (52), text line spacing (41) and
  // measured value (42) neither turn nor scale it.
  rec.calls.clear();
  Read(Section("BLOCKS", Block("*D1", Line(0, 0, 1, 0))) + G(0, "DIMENSION") + G(2, "*D1") +
           G(10, 50.0) + G(20, 50.0) + G(50, 45.0) + G(12, 3.0) + G(22, 4.0) + G(52, 90.0) +
           G(41, 2.0) + G(42, 10.0) + Eof(),
       ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(rec.Only("H_Line"), V{"H_Line(3,4,4,4)"});

  // Conversion goes through the same replay and the plot pipeline.
  rec.calls.clear();
  Settings.PlotScale = 10;
  Read(Section("BLOCKS", Block("L", Line(0, 0, 1, 0))) + Insert("L", 10, 5, 90, 2, 2) + Eof(),
       ReadForConversion);
  EXPECT_EQ(rec.Only("PlotLine("), V{"PlotLine(100,50,100,70)"});
}

TEST_F(Blocks, WorkFilesAndNames) {
  std::string dir = WorkDir();
  ASSERT_EQ(dir.compare(0, tmp.path().size(), tmp.path()), 0);
  ASSERT_NE(dir, tmp.path() + "/");  // a private folder inside TempDir
  Read(Section("BLOCKS", Block("*U3", Line(0, 0, 1, 1)) + Block("BATHROOM1", Line(0, 0, 1, 0)) +
                             Block("BATHROOM2", Line(0, 0, 2, 0)) +
                             Block("../../x", Line(0, 0, 3, 0)) + Block("a/b\\c\x01", "")) +
           Section("ENTITIES", G(0, "INSERT") + G(2, "*U3") + Insert("BATHROOM1", 0, 0) +
                                   Insert("../../x", 0, 0)) +
           Eof(),
       ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(BlockCount, 5);
  // Blocks keep their whole names: BATHROOM1 is not BATHROOM2.
  EXPECT_EQ(BlockTable[1], "*U3");
  EXPECT_EQ(BlockTable[2], "BATHROOM1");
  EXPECT_EQ(BlockTable[4], "../../x");  // the table keeps the name
  EXPECT_TRUE(Exists(dir + "$%2AU3.dx$"));
  EXPECT_TRUE(Exists(dir + "$BATHROOM1.dx$"));
  EXPECT_TRUE(Exists(dir + "$%2E%2E%2F%2E%2E%2Fx.dx$"));
  EXPECT_TRUE(Exists(dir + "$a%2Fb%5Cc%01.dx$"));
  EXPECT_FALSE(Exists(tmp.path() + "/x.dx$"));
  EXPECT_EQ(rec.Only("H_Line"), (V{"H_Line(0,0,1,1)", "H_Line(0,0,1,0)", "H_Line(0,0,3,0)"}));

  // The work file is a DXF fragment ending in EOF, layers as slot - 1.
  EXPECT_EQ(ReadFile(dir + "$%2AU3.dx$"),
            "  0\r\nLINE\r\n  8\r\n0\r\n 10\r\n0.000000\r\n 20\r\n0.000000\r\n 11\r\n1.000000\r\n"
            " 21\r\n1.000000\r\n  0\r\nEOF\r\n");

  // ShowBlock replays a stored block without reading the drawing; a work
  // file this program did not write is read from disk.
  rec.calls.clear();
  ReadDrawing(ShowBlock, "BATHROOM2");
  EXPECT_EQ(rec.calls, (V{"H_SetLineStyleName(CONTINUOUS)", "H_SetColor(15)", "H_Line(0,0,2,0)"}));
  WriteFile(dir + "$DISK.dx$", "  0\r\nCIRCLE\r\n  8\r\n0\r\n 40\r\n2.5\r\n  0\r\nEOF\r\n");
  rec.calls.clear();
  ReadDrawing(ShowBlock, "DISK");
  EXPECT_EQ(rec.Only("H_Circle"), V{"H_Circle(0,0,2.5)"});
  EXPECT_FALSE(Session.AbortFlag);

  // The next read deletes the work files.
  Read(Eof(), ReadHeaderOnly);
  EXPECT_FALSE(Exists(dir + "$%2AU3.dx$"));
  EXPECT_FALSE(Exists(dir + "$DISK.dx$"));
  ReadDrawing(ShowBlock, "*U3");
  EXPECT_TRUE(Session.AbortFlag);

  // Names that differ only in bytes a file name cannot hold keep their
  // own work files.
  Session.AbortFlag = false;
  rec.calls.clear();
  Read(Section("BLOCKS", Block("DOOR 1", Line(0, 0, 1, 0)) + Block("DOOR_1", Line(0, 0, 2, 0)) +
                             Block("A/B", Line(0, 0, 3, 0)) + Block("A_B", Line(0, 0, 4, 0)) +
                             Block("A%2FB", Line(0, 0, 5, 0))) +
           Section("ENTITIES", Insert("DOOR 1", 0, 0) + Insert("A/B", 0, 0) + Insert("A%2FB", 0, 0)) + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line"), (V{"H_Line(0,0,1,0)", "H_Line(0,0,3,0)", "H_Line(0,0,5,0)"}));

  // Names longer than a file name can be stay apart too.
  const std::string longName(300, '/');
  rec.calls.clear();
  Read(Section("BLOCKS", Block(longName + "1", Line(0, 0, 6, 0)) + Block(longName + "2", Line(0, 0, 7, 0))) +
           Section("ENTITIES", Insert(longName + "1", 0, 0) + Insert(longName + "2", 0, 0)) + Eof(),
       ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(rec.Only("H_Line"), (V{"H_Line(0,0,6,0)", "H_Line(0,0,7,0)"}));
}

TEST_F(Blocks, LayersCarriedThroughWorkFiles) {
  std::string tables = Section("TABLES", LayerEntry("0", 7) + LayerEntry("RED", 1) +
                                             LayerEntry("HIDDEN", 2, "CONTINUOUS", 65));
  Read(tables +
           Section("BLOCKS", Block("K", Line(0, 0, 1, 0, "RED") + Line(0, 0, 2, 0, "HIDDEN") +
                                            G(0, "CIRCLE") + G(40, 1.0))) +
           Insert("K", 0, 0) + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.calls, (V{"H_ClearViewPort()", "H_SetLineStyleName(CONTINUOUS)",
                          "H_SetColor(12)", "H_Line(0,0,1,0)", "H_SetLineStyleName(CONTINUOUS)",
                          "H_SetColor(15)", "H_Circle(0,0,1)"}));
  EXPECT_EQ(ElementCount, 3u);  // the line on the hidden layer counts
  EXPECT_EQ(LayerCount, 3);     // no layer named after a slot number
}

TEST_F(Blocks, NestingAndMissingBlocks) {
  // A block that inserts itself: the insertion at depth 5 is left out and
  // counted, the message comes once, and the read goes on.
  Read(Section("BLOCKS", Block("SELF", Line(0, 0, 1, 0) + Insert("SELF", 1, 0))) +
           Insert("SELF", 0, 0) + Insert("SELF", 0, 9) + Line(7, 7, 8, 8) + Eof(),
       ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Boxes(), V{"Error blocknr 5"});
  EXPECT_EQ(rec.Only("H_Line").size(), 9u);  // four levels twice, then the line after
  EXPECT_EQ(Report().count(Loss::TooDeep), 2);
  EXPECT_EQ(InsertDepth, 0);
  EXPECT_EQ(BlockTransform.OriginX, 0);

  // Four levels are fine.
  Session.AbortFlag = false;
  rec.calls.clear();
  Read(Section("BLOCKS", Block("D", Line(0, 0, 1, 0)) + Block("C", Insert("D", 1, 0)) +
                             Block("B", Insert("C", 1, 0)) + Block("A", Insert("B", 1, 0))) +
           Insert("A", 1, 0) + Eof(),
       ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(rec.Only("H_Line"), V{"H_Line(4,0,5,0)"});

  // Inserting a block defined later (or never): left out and counted.
  rec.calls.clear();
  Read(Insert("LATER", 0, 0) + Line(0, 0, 1, 1) + Section("BLOCKS", Block("LATER", "")) + Eof(),
       ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(rec.Only("H_Line").size(), 1u);
  EXPECT_EQ(Report().count(Loss::UndefinedBlock), 1);

  // A work file that cannot be created is shown and ends the read.
  Session.AbortFlag = false;
  std::string dir = WorkDir();
  ASSERT_EQ(::chmod(dir.c_str(), 0500), 0);
  if (::access(dir.c_str(), W_OK) != 0) {  // not when running as root
    Read(Section("BLOCKS", Block("X", "")) + Eof(), ReadForDisplay);
    EXPECT_TRUE(Session.AbortFlag);
    EXPECT_EQ(Boxes().back(), "Invalid temp Directory or File System");
  }
  ::chmod(dir.c_str(), 0700);

  // A drawing that ends inside a block definition leaves a complete file.
  Session.AbortFlag = false;
  Read(Section("BLOCKS", G(0, "BLOCK") + G(2, "OPEN") + Line(0, 0, 1, 1)), ReadForDisplay);
  EXPECT_FALSE(InBlockDefinition);
  std::string f = ReadFile(WorkDir() + "$OPEN.dx$");
  ASSERT_GE(f.size(), 10u);
  EXPECT_EQ(f.substr(f.size() - 10), "  0\r\nEOF\r\n");
}

}  // namespace
}  // namespace planox::test
