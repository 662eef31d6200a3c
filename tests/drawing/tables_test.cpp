// Layer and line-type tables, block names, counters, layer flags, colours
// and the style calls that go with every entity.
#include "drawing_support.h"

namespace planox::test {
namespace {

using Tables = DrawingTest;
using V = std::vector<std::string>;

std::string Ltype(const std::string& name) { return G(0, "LTYPE") + G(2, name) + G(70, "64"); }

TEST_F(Tables, LayerAndLineTypeEntries) {
  std::string tables =
      Section("TABLES", G(0, "TABLE") + G(2, "LTYPE") + Ltype("DASHED") + Ltype("DOTTED") +
                            G(0, "ENDTAB") + G(0, "TABLE") + G(2, "LAYER") +
                            LayerEntry("0", 7) + LayerEntry("Wall", 300, "DASHED") +
                            LayerEntry("WALL", -7, "NOSUCH") + G(0, "layer") + G(2, "low") +
                            G(62, "     3") + G(70, "321") + G(0, "ENDTAB"));
  Read(tables + Eof(), ReadForDisplay);
  EXPECT_EQ(LineTypeCount, 2);
  EXPECT_EQ(LineTypeTable[1], "DASHED");
  EXPECT_EQ(LineTypeTable[0], "CONTINUOUS");
  ASSERT_EQ(LayerCount, 4);
  EXPECT_EQ(LayerTable[2].Name, "Wall");
  EXPECT_EQ(LayerTable[2].Colour, 44);  // 300 mod 256
  EXPECT_EQ(LayerTable[2].LineType, 1);
  EXPECT_EQ(LayerTable[3].Colour, -7);
  EXPECT_EQ(LayerTable[3].LineType, 0);  // unknown line type
  EXPECT_EQ(LayerTable[4].Name, "low");
  EXPECT_EQ(LayerTable[4].Colour, 3);
  EXPECT_EQ(LayerTable[4].Flags, 65);  // 321, low 8 bits
  EXPECT_EQ(FindLayer("Wall"), 2);
  EXPECT_EQ(FindLayer("WALL"), 3);

  // An entity on an undeclared layer takes slot 1's style and adds the
  // layer; the next one on it finds the new slot.
  rec.calls.clear();
  Read(tables + Line(0, 0, 1, 0, "NEW") + Line(0, 0, 2, 0, "NEW") + Line(0, 0, 3, 0, "Wall") +
           Eof(),
       ReadForDisplay);
  EXPECT_EQ(LayerCount, 5);
  EXPECT_EQ(LayerTable[5].Name, "NEW");
  EXPECT_EQ(LayerTable[5].Colour, 7);
  EXPECT_EQ(LayerTable[5].LineType, 1);
  EXPECT_EQ(rec.calls,
            (V{"H_ClearViewPort()", "H_SetLineStyleName(CONTINUOUS)", "H_SetColor(15)",
               "H_Line(0,0,1,0)", "H_SetLineStyleName(DASHED)", "H_SetColor(15)",
               "H_Line(0,0,2,0)", "H_SetLineStyleName(DASHED)", "H_SetColor(12)",
               "H_Line(0,0,3,0)"}));

  // Long names: the table keeps 24 characters and finds the layer by them.
  std::string longName(40, 'L');
  Read(Section("TABLES", LayerEntry(longName, 3)) + Line(0, 0, 1, 1, longName) + Eof(),
       ReadForDisplay);
  EXPECT_EQ(LayerTable[1].Name, std::string(24, 'L'));
  EXPECT_EQ(rec.calls.back(), "H_Line(0,0,1,1)");
  EXPECT_EQ(rec.calls[rec.calls.size() - 2], "H_SetColor(10)");
}

TEST_F(Tables, TableLimits) {
  std::string layers, ltypes;
  for (int i = 1; i <= 260; ++i) layers += LayerEntry("L" + std::to_string(i), i % 16);
  for (int i = 1; i <= 55; ++i) ltypes += Ltype("T" + std::to_string(i));
  Read(Section("TABLES", ltypes + layers) + Eof(), ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(LayerCount, 255);
  EXPECT_EQ(LayerTable[255].Name, "L260");  // the last slot is overwritten
  EXPECT_EQ(LineTypeCount, 50);
  EXPECT_EQ(LineTypeTable[50], "T55");
  EXPECT_TRUE(Boxes().empty());  // messages are silent during a read

  // Full table: an unknown name is reported and answered with 255; a
  // match in slot 255 counts as not found.
  EXPECT_EQ(FindLayer("L254"), 254);
  EXPECT_EQ(FindLayer("L260"), 255);
  EXPECT_EQ(FindLayer("other"), 255);
  EXPECT_EQ(Boxes().back(), "Layername other not found");
  EXPECT_EQ(FindLineType("T49"), 49);
  EXPECT_EQ(FindLineType("T55"), 0);
  EXPECT_EQ(Boxes().back(), "Linetypename T55 not found");

  // More than 500 block definitions: the table stops at 500.
  std::string blocks;
  for (int i = 1; i <= 505; ++i) blocks += Block("B" + std::to_string(i), Line(0, 0, 1, 1));
  Read(Section("BLOCKS", blocks) + Section("ENTITIES", Insert("B505", 0, 0)) + Eof(),
       ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(BlockCount, 500);
  EXPECT_EQ(BlockTable[500], "B500");
  EXPECT_EQ(rec.Only("H_Line").back(), "H_Line(0,0,1,1)");
}

TEST_F(Tables, CountersAndLayerFlags) {
  std::string tables = Section("TABLES", LayerEntry("0", 1) + LayerEntry("OFF", 2, "", 65) +
                                             LayerEntry("ON", 3, "", 1));
  std::string ents = Line(0, 0, 1, 1, "OFF") + Line(0, 0, 2, 2, "ON") + G(0, "CIRCLE") +
                     G(8, "OFF") + G(40, 1.0) + G(0, "TEXT") + G(8, "OFF") + G(1, "t") +
                     G(0, "MTEXT") + G(1, "m");
  std::string blocks = Section("BLOCKS", Block("A", "") + Block("B", ""));
  Read(tables + blocks + Section("ENTITIES", ents) + Eof(), ReadForDisplay);
  EXPECT_EQ(ElementCount, 3u);  // the entities on OFF are counted
  EXPECT_EQ(TextCount, 2u);
  EXPECT_EQ(BlockCount, 2);
  EXPECT_EQ(rec.Only("H_Line"), V{"H_Line(0,0,2,2)"});
  EXPECT_TRUE(rec.Only("H_Circle").empty());
  EXPECT_EQ(rec.Only("H_OutTextXY").size(), 1u);

  // Conversion: nothing on OFF is plotted; counters and blocks carry on.
  rec.calls.clear();
  ReadDrawing(ReadForConversion);
  EXPECT_EQ(rec.Only("PlotLine("), V{"PlotLine(0,0,2,2)"});
  EXPECT_EQ(ElementCount, 3u);
  EXPECT_EQ(BlockCount, 4);
  EXPECT_EQ(BlockTable[4], "B");
  ReadDrawing(ReadForDisplay);
  EXPECT_EQ(BlockCount, 2);

  // Colours: 1..7 to the light palette colours, 8 unchanged, others folded.
  EXPECT_EQ(ScreenColour(1), 12);
  EXPECT_EQ(ScreenColour(7), 15);
  EXPECT_EQ(ScreenColour(8), 8);
  EXPECT_EQ(ScreenColour(0), 0);
  EXPECT_EQ(ScreenColour(-2), 14);
  EXPECT_EQ(ScreenColour(44), 12);
  EXPECT_EQ(PenColour(-7), 7);
  EXPECT_EQ(PenColour(255), 15);
  EXPECT_EQ(PenColour(12), 12);
}

TEST_F(Tables, PlotPipelineAndStyles) {
  Settings.PlotScale = 2;
  Settings.PlotOriginX = 10;
  Settings.PlotOriginY = 20;
  Settings.TextWidthRatio = 0.5;
  Settings.PenNumbers[3] = 6;
  std::string tables = Section("TABLES", Ltype("DASHDOT") + Ltype("CENTER") +
                                             LayerEntry("A", 3, "DASHDOT") +
                                             LayerEntry("B", 19, "CENTER"));
  std::string ents = Line(1, 2, 3, 4, "A") + G(0, "CIRCLE") + G(8, "B") + G(10, 1.0) +
                     G(20, 1.0) + G(40, 2.0) + G(0, "ARC") + G(8, "A") + G(40, 1.0) +
                     G(50, 10.0) + G(51, 20.0) + G(0, "TEXT") + G(8, "A") + G(1, "Hi") +
                     G(10, 1.0) + G(40, 2.0) + G(41, 3.0) + G(50, 30.0) + G(0, "SOLID") +
                     G(8, "A") + G(11, 1.0) + G(12, 0.0) + G(22, 1.0) + G(13, 1.0) + G(23, 1.0);
  Read(tables + Section("ENTITIES", ents) + Eof(), ReadForConversion);
  EXPECT_EQ(rec.calls,
            (V{"PlotBegin(10,3)", "PlotRotate(0)", "PlotLineType(2)", "PlotSelectPen(6)",
               "PlotLine(12,24,16,28)", "PlotLineType(0)", "PlotSelectPen(6)",
               "PlotCircle(12,22,4)", "PlotLineType(2)", "PlotSelectPen(6)",
               "PlotArc(10,20,10,20,2,1)", "PlotSelectPen(6)", "PlotTextStyle(0,30,4,6)",
               "PlotTextAlign(0,0)", "PlotText(Hi,12,20)", "PlotSelectPen(6)",
               "PlotSolid(10,20,12,20,12,22,10,22)", "PlotEnd()"}));

  rec.calls.clear();
  Settings.ScreenTextRatio = 1;
  ReadDrawing(ReadForDisplay);
  EXPECT_EQ(rec.Only("H_SetLineStyleName"),
            (V{"H_SetLineStyleName(DASHDOT)", "H_SetLineStyleName(CENTER)",
               "H_SetLineStyleName(DASHDOT)", "H_SetLineStyleName(DASHDOT)",
               "H_SetLineStyleName(DASHDOT)"}));
  EXPECT_EQ(rec.Only("H_SetTextStyle"), V{"H_SetTextStyle(2,30,2,4.8)"});
  EXPECT_EQ(rec.Only("H_OutTextXY"), V{"H_OutTextXY(1,0,Hi)"});
  EXPECT_EQ(rec.Only("H_SetColor")[1], "H_SetColor(10)");  // colour 19 folded to 3
}

}  // namespace
}  // namespace planox::test
