// Line protocol, group pairs, the header extents and the ways a read ends.
#include <sys/stat.h>
#include <unistd.h>

#include "base/textconv.h"
#include "drawing_support.h"

namespace planox::test {
namespace {

using Reader = DrawingTest;

std::vector<std::string> Lines(const std::string& bytes) {
  TextReader r;
  r.OpenMemory(bytes);
  std::vector<std::string> out;
  std::string line;
  while (!r.AtEnd()) {
    r.ReadTextLine(line);
    out.push_back(line);
  }
  return out;
}

TEST_F(Reader, TextLinesEndAtCrLfLfOrCr) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Lines("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
  // CR-only line ends keep the first character of every line.
  EXPECT_EQ(Lines("  0\rLINE\r 10\r"), (V{"  0", "LINE", " 10"}));
  EXPECT_EQ(Lines("a\r\rb"), (V{"a", "", "b"}));
  EXPECT_EQ(Lines(" x \n"), (V{" x "}));  // not trimmed
  std::string big(1 << 20, 'x');
  EXPECT_EQ(Lines(big + "\nend"), (V{big, "end"}));

  // The same through a file, across buffer boundaries.
  std::string many;
  for (int i = 0; i < 100000; ++i) many += std::to_string(i) + (i % 2 ? "\r\n" : "\r");
  WriteFile(tmp.file("l.txt"), many);
  TextReader f;
  ASSERT_TRUE(f.Open(tmp.file("l.txt")));
  std::string line;
  int n = 0;
  bool ok = true;
  while (!f.AtEnd()) {
    f.ReadTextLine(line);
    ok = ok && line == std::to_string(n);
    ++n;
  }
  EXPECT_TRUE(ok);
  EXPECT_EQ(n, 100000);
}

TEST_F(Reader, GroupCodesAndValues) {
  Use("  10\n1.5\n10 \nx\nabc\ny\n0\nEOF");
  // Leading blanks make a code, trailing blanks and letters make code 0:
  // here the pair "10 "/"x" is a code-0 pair with value x, which names
  // nothing, so the read goes on to EOF and finishes.
  ReadDrawing(ReadHeaderOnly);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(LineNumber, 8);
  EXPECT_EQ(GroupCode, 0);
  EXPECT_EQ(GroupValue, "EOF");

  // "line" in lower case is a LINE; "LINE " is not.
  rec.calls.clear();
  Read(Line(0, 0, 1, 1) + G(0, "line") + G(10, 2.0) + G(0, "LINE ") + G(10, 3.0) + Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line"), (std::vector<std::string>{"H_Line(0,0,1,1)", "H_Line(2,0,0,0)"}));
}

// Values padded with blanks after the number (written so by some
// programs) keep their number; a value that is only blanks stays 0.
TEST_F(Reader, NumbersWithTrailingBlanks) {
  Read(G(0, "LINE") + G(8, "0") + G(62, "3  ") + G(10, "1.5  ") + G(20, "2 ") + G(11, "-3.25   ") +
           G(21, "0.12500000000000000 ") + G(0, "CIRCLE") + G(8, "0") + G(10, "   ") + G(20, "0") + G(40, "2 ") +
           Eof(),
       ReadForDisplay);
  EXPECT_EQ(rec.Only("H_Line"), (std::vector<std::string>{"H_Line(1.5,2,-3.25,0.125)"}));
  EXPECT_EQ(rec.Only("H_Circle"), (std::vector<std::string>{"H_Circle(0,0,2)"}));
}

TEST_F(Reader, CrOnlyDrawingReadsCompletely) {
  std::string dxf = Section("ENTITIES", Line(1, 2, 3, 4)) + Eof();
  for (char& c : dxf)
    if (c == '\n') c = '\r';
  Read(dxf, ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(rec.Only("H_Line"), std::vector<std::string>{"H_Line(1,2,3,4)"});
}

TEST_F(Reader, HeaderExtents) {
  const Extents& e = Session.DrawingExtents;
  auto header = [](const std::string& vars) { return Section("HEADER", vars); };
  auto var = [](const std::string& name, double x, double y) {
    return G(9, name) + G(10, x) + G(20, y);
  };
  auto extentsAre = [&](long double xmin, long double ymin, long double xmax, long double ymax) {
    EXPECT_EQ(e.XMin, xmin);
    EXPECT_EQ(e.YMin, ymin);
    EXPECT_EQ(e.XMax, xmax);
    EXPECT_EQ(e.YMax, ymax);
  };
  // Extents beyond 1e10 are held at 1e7.
  Read(header(var("$EXTMIN", 0, 0) + var("$EXTMAX", 1e20, 1e20)) + Eof(), ReadHeaderOnly);
  EXPECT_EQ(e.XMin, 0);
  EXPECT_EQ(e.XMax, 1e7L);
  EXPECT_EQ(e.YMax, 1e7L);
  EXPECT_FALSE(Session.ShowErrors);  // header-only read with extents stops after the header

  Read(header(var("$EXTMIN", -1e12, 5) + var("$EXTMAX", 9, 9)) + Eof(), ReadForDisplay);
  EXPECT_EQ(e.XMin, -1e7L);
  EXPECT_EQ(e.YMin, 5);
  EXPECT_TRUE(Session.ShowErrors);

  // Limits alone; extents win over limits that follow them.
  Read(header(var("$LIMMIN", 1, 2) + var("$LIMMAX", 30, 40)) + Eof(), ReadHeaderOnly);
  EXPECT_EQ(e.XMin, 1);
  EXPECT_EQ(e.YMax, 40);
  Read(header(var("$EXTMIN", 5, 6) + var("$EXTMAX", 7, 8) + var("$LIMMIN", 1, 2) +
              var("$LIMMAX", 30, 40)) +
           Eof(),
       ReadHeaderOnly);
  extentsAre(5, 6, 7, 8);

  // A decimal comma is read as a point; blanks inside header values go.
  Read(header(G(9, "$EXTMIN") + G(10, "12,5") + G(20, " 1 ") + var("$EXTMAX", 20, 20)) + Eof(),
       ReadHeaderOnly);
  EXPECT_EQ(e.XMin, 12.5L);
  EXPECT_EQ(e.YMin, 1);

  // Without header extents the bounding box of everything becomes them;
  // a vertical drawing gets x 0 to 100.
  Read(header(G(9, "$ACADVER") + G(1, "AC1009")) + Section("ENTITIES", Line(3, 1, 3, 9)) + Eof(),
       ReadHeaderOnly);
  EXPECT_EQ(e.XMin, 0);
  EXPECT_EQ(e.XMax, 100);
  EXPECT_EQ(e.YMin, 1);
  EXPECT_EQ(e.YMax, 9);
  EXPECT_TRUE(Session.ShowErrors);

  // Header extents that are a point, inverted (an empty drawing's markers)
  // or cannot be read are no extents: the bounding box is taken.
  for (const auto& [min, max] : {std::pair{0.0, 0.0}, {1e20, -1e20}, {9.0, 1.0}}) {
    SCOPED_TRACE(min);
    Read(header(var("$EXTMIN", min, min) + var("$EXTMAX", max, max)) + Section("ENTITIES", Line(3, 1, 8, 9)) +
             Eof(),
         ReadHeaderOnly);
    extentsAre(3, 1, 8, 9);
  }

  // Nothing at all: the empty box, uncorrected.
  Read(Section("ENTITIES", "") + Eof(), ReadHeaderOnly);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(e.XMin, 1e30L);
  EXPECT_EQ(e.XMax, -1e30L);

  // A three-character text at the origin: only its end point counts.
  Read(G(0, "TEXT") + G(1, "abc") + G(10, 0.0) + G(20, 0.0) + G(40, 2.0) + Eof(), ReadHeaderOnly);
  EXPECT_EQ(BoundingBox.XMin, 6);
  EXPECT_EQ(BoundingBox.XMax, 6);
  EXPECT_EQ(BoundingBox.YMin, 0);
  EXPECT_EQ(e.XMin, 0);
  EXPECT_EQ(e.XMax, 100);
  EXPECT_EQ(e.YMax, 100);
}

TEST_F(Reader, ReadsThatEndEarly) {
  // Missing file: shown; nothing read.
  Session.DrawingName = "missing";
  ReadDrawing(ReadForDisplay);
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(Boxes().back(), "pas de fichier ouvert");
  EXPECT_TRUE(rec.calls.empty());

  // A file that ends without EOF: what was read is converted, the output
  // closed, and a warning names the line.
  Session.AbortFlag = false;
  Read(Section("ENTITIES", Line(0, 0, 1, 1)), ReadForConversion);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(rec.Only("PlotEnd").size(), 1u);
  EXPECT_EQ(rec.Only("PlotLine(").size(), 1u);
  EXPECT_EQ(Boxes().back().rfind("Fin du fichier DXF sans EOF \x85 la ligne ", 0), 0u) << Boxes().back();

  // A binary DXF is refused before anything is read as text.
  Session.AbortFlag = false;
  rec.calls.clear();
  Read(std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + "\0\0LINE", ReadForDisplay);
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(Boxes().back(), "Fichier DXF binaire : lecture impossible");
  EXPECT_EQ(rec.calls, std::vector<std::string>{"H_ClearViewPort()"});

  // A directory of the drawing's name is no drawing.
  Session.AbortFlag = false;
  ASSERT_EQ(::mkdir(tmp.file("D.dxf").c_str(), 0700), 0);
  Session.DrawingName = "D";
  ReadDrawing(ReadForDisplay);
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(Boxes().back(), "pas de fichier ouvert");

  // Bytes after EOF are never looked at.
  Session.AbortFlag = false;
  rec.calls.clear();
  Read(Line(0, 0, 1, 1) + Eof() + "\x01\x02 garbage\0\n0\nLINE\n", ReadForDisplay);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(rec.Only("H_Line").size(), 1u);
}

TEST_F(Reader, ConversionOutput) {
  std::string ents = Section("ENTITIES", Line(0, 0, 1, 1));
  Settings.SyntaxCode = 5;
  Settings.DeviceCode = 3;
  Settings.Rotate90 = 'J';
  // Several ENTITIES sections start the output once.
  Read(ents + ents + Eof(), ReadForConversion);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(rec.Only("PlotBegin"), std::vector<std::string>{"PlotBegin(5,3)"});
  EXPECT_EQ(rec.calls[1], "PlotRotate(90)");
  EXPECT_EQ(rec.calls.back(), "PlotEnd()");
  EXPECT_EQ(rec.Only("PlotLine(").size(), 2u);

  // The output channel does not open: the read ends with the message.
  rec.calls.clear();
  rec.failPlotBegin = true;
  Read(ents + Eof(), ReadForConversion);
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(Boxes().back(), "Ung\x81ltiger Dateiname oder kein Schreibrecht");
  EXPECT_TRUE(rec.Only("PlotLine(").empty());
  EXPECT_TRUE(rec.Only("PlotEnd").empty());
  Session.AbortFlag = false;
  Settings.DeviceCode = 2;
  Read(ents + Eof(), ReadForConversion);
  EXPECT_EQ(Boxes().back(), "Angesprochene Schnittstelle nicht bereit");
  rec.failPlotBegin = false;

  // Converting the drawing onto itself is refused, whatever the spelling
  // of the extension; another drawing of the same name elsewhere is not.
  Session.AbortFlag = false;
  Settings.DeviceCode = 3;
  rec.calls.clear();
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(tmp.path().c_str()), 0);
  Use(ents + Eof(), "plan");
  Session.FileExtension = "DXF";
  Session.PlotFile = "plan";
  ReadDrawing(ReadForConversion);
  EXPECT_EQ(Boxes().back(), "Noms des fichiers d'origine et de destination identiques !");
  EXPECT_TRUE(Session.AbortFlag);  // a refused conversion has failed
  Session.AbortFlag = false;
  EXPECT_TRUE(rec.calls.empty());
  EXPECT_EQ(ReadFile(tmp.file("plan.dxf")), ents + Eof());
  Session.InPath = tmp.path() + "/sub";
  ASSERT_EQ(std::system(("mkdir -p '" + Session.InPath + "'").c_str()), 0);
  WriteFile(Session.InPath + "/plan.dxf", ents + Eof());
  ReadDrawing(ReadForConversion);
  EXPECT_EQ(rec.Only("PlotBegin").size(), 1u);
  ASSERT_EQ(chdir(cwd), 0);
}

TEST_F(Reader, ChooseAndRead) {
  WriteFile(tmp.file("Plan.dxf"),
            Section("HEADER", G(9, "$EXTMIN") + G(10, 1.0) + G(20, 2.0) + G(9, "$EXTMAX") +
                                  G(10, 3.0) + G(20, 4.0)) +
                Eof());
  ui.answerText(tmp.file("Plan.dxf"));
  ChooseAndReadDrawing(ReadHeaderOnly);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Session.DrawingName, "Plan");
  EXPECT_EQ(Session.PlotFile, "Plan");
  EXPECT_EQ(Session.DrawingExtents.XMax, 3);
  ASSERT_FALSE(ui.records.empty());
  EXPECT_EQ(ui.records[0].text, "*.dxf");

  // The extension is matched case-insensitively on disk.
  Session.FileExtension = "DXF";
  ReadDrawing(ReadHeaderOnly);
  EXPECT_FALSE(Session.AbortFlag);
  EXPECT_EQ(Session.DrawingExtents.YMax, 4);

  ChooseAndReadDrawing(ReadHeaderOnly);  // cancelled: nothing read
  EXPECT_TRUE(Session.AbortFlag);
  EXPECT_EQ(Session.DrawingName, "Plan");
}

}  // namespace
}  // namespace planox::test

namespace planox::test {
namespace {

// Values are read exactly as TextToReal reads them (blanks after the
// number aside), also on the reader's quick path for plain decimals.
TEST_F(Reader, NumbersAsTextToRealReadsThem) {
  const char* values[] = {"0",      "12.5",    "  -0.25",  "1,5",      "+3.",   ".5",
                          "1,5,7",  "1.5 ",    "1e3",      "-1.2E-3",  "abc",   "",
                          ".",      "-",       "0.1",      "123456789012345",
                          "1234567890123456789", "0.000000000000001", "4503599627370497",
                          "9.999999999999999"};
  for (const char* v : values) {
    SCOPED_TRACE(v);
    rec.calls.clear();
    Read(G(0, "LINE") + G(10, v) + Eof(), ReadForDisplay);
    std::string_view text(v);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    double expected = TextToReal(text);
    ASSERT_EQ(rec.Only("H_Line(").size(), 1u);
    EXPECT_EQ(rec.Only("H_Line(")[0], "H_Line(" + Num(expected) + ",0,0,0)");
  }
  // Bit-exact on a sample of generated decimals.
  for (int i = 0; i < 200; ++i) {
    std::string v = std::to_string(i * 7919 % 100000) + "." + std::to_string(i * 104729 % 1000000);
    rec.calls.clear();
    Read(G(0, "CIRCLE") + G(40, v) + Eof(), ReadHeaderOnly);
    ASSERT_EQ(BoundingBox.XMax, static_cast<long double>(TextToReal(v))) << v;
  }
  // Bit-exact on the 16 and 17-digit values today's programs write, with
  // their signs, blanks, a "," and the forms that leave the quick path.
  const std::string longValues[] = {
      "0.1234567890123456",  "-1234567.123456789", " +0.30000000000000004", "12345678901234567.5",
      "-0.0000000000000000", "9007199254740993",   "1,2345678901234567",    "1.2345678901234567e3",
      "0.1234567890123456x", "1.23456789012345678901234567890123456789",
      std::string(400, '9'), "-" + std::string(330, '1') + ".5",          "4.9406564584124654e-324"};
  for (const std::string& v : longValues) {
    rec.calls.clear();
    Read(G(0, "POINT") + G(10, v) + G(20, "0") + Eof(), ReadHeaderOnly);
    const double expected = TextToReal(v);
    ASSERT_EQ(BoundingBox.XMax, static_cast<long double>(expected)) << v;
  }
}

}  // namespace
}  // namespace planox::test
