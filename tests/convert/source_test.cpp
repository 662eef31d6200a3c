// The Turbo Pascal and Turbo C conversion targets: statements, procedure
// splitting, header and main program, and the generated programs compiled
// by fpc and gcc against stand-ins for the toolbox unit and headers.
#include <unistd.h>

#include <fstream>

#include "base/textconv.h"
#include "convert/tcutil.h"
#include "writertest.h"

namespace planox::test {
namespace {

using SourceWriterTest = WriterTest;

// The stand-ins for the toolbox unit and headers (tests/convert/standin)
// declare exactly the routines and argument lists the programs may call.
std::string StandIns() { return SourceDir() + "/tests/convert/standin"; }

// Compiles the output; the compiler's messages when it fails.
std::string CompileError(const std::string& dir, const std::string& file, bool pascal) {
  int rc = 0;
  std::string log;
  if (pascal)
    log = Shell("cd " + Quoted(dir) + " && fpc -vew -FU. -Fu" + Quoted(StandIns()) + " " + Quoted(file), rc);
  else
    log = Shell("cd " + Quoted(dir) + " && gcc -c -Werror=implicit-function-declaration -Werror=int-conversion"
                " -Werror=incompatible-pointer-types -Werror=overflow -I" + Quoted(StandIns()) + " -o prog.o " + Quoted(file), rc);
  return rc == 0 ? std::string() : log.empty() ? "compiler failed" : log;
}

// The procedures of a generated program: for each, its lines between the
// opening and the closing line.
std::vector<std::vector<std::string>> Procedures(const std::vector<std::string>& l, bool pascal) {
  std::vector<std::vector<std::string>> procs;
  const std::string open = pascal ? "begin" : "  {", close = pascal ? "end;" : "  }";
  bool inside = false;
  for (size_t i = 0; i < l.size(); ++i) {
    if (StartsWith(l[i], pascal ? "procedure QuorDrawing" : "void QuorDrawing") && i + 2 < l.size() &&
        l[i + 2] == open) {
      procs.emplace_back();
      inside = true;
      i += 2;
    } else if (inside && l[i] == close) {
      inside = false;
    } else if (inside) {
      procs.back().push_back(l[i]);
    }
  }
  return procs;
}

void ThousandLines() {
  PlotSelectPen(1);
  for (int i = 0; i < 1000; ++i) PlotLine(i, 0, i, 10);
}

void TextSample() {
  PlotSelectPen(9);
  PlotTextStyle(0, 90, 2.5, 2);
  PlotTextAlign(0, 0);
  PlotText("it's", 1, 2);
  PlotTextStyle(1, 45, 2.5, 2);
  PlotText("say \"hi\"", 3, 4);
}

TEST_F(SourceWriterTest, SmallDrawingsMatchGolden) {
  Session.DrawingExtents = {0, 0, 100, 200};
  Settings.PlotScale = 2;
  ExpectGolden("sample.pas", Convert(TargetPascal, [] {
    SampleDrawing();
    TextSample();
  }));
  ExpectGolden("sample.c", Convert(TargetC, [] {
    SampleDrawing();
    TextSample();
  }));
}

TEST_F(SourceWriterTest, StatementsColoursAndDirections) {
  std::vector<std::string> p = CrLfLines(Convert(TargetPascal, [] {
    SampleDrawing();
    TextSample();
  }));
  ASSERT_GE(p.size(), 12u);
  EXPECT_EQ(std::vector<std::string>(p.begin(), p.begin() + 11),
            (std::vector<std::string>{"(* Programm generiert vom Planox *)", "(* QUORVEL Industriesoftware GmbH  *)", "",
                                      "Program PLOT;", "", "uses QUORGRAF;", "", "", "procedure QuorDrawing1;",
                                      "(********************)", "begin"}));
  EXPECT_EQ(p[11], "  H_SetColor(12);");  // pen 1
  EXPECT_EQ(CountOf(p, "  H_SetColor(9);"), 1);
  EXPECT_EQ(CountOf(p, "  H_SetTextStyle(0, 90,2.5,2);"), 1);
  EXPECT_EQ(CountOf(p, "  H_OutTextXy(1,2,'it''s');"), 1);

  std::vector<std::string> c = CrLfLines(Convert(TargetC, TextSample));
  EXPECT_EQ(std::vector<std::string>(c.begin(), c.begin() + 7),
            (std::vector<std::string>{"/* QUORVEL Industriesoftware GmbH */", "/* Programm PLOT */",
                                      "/* generiert vom planox */", "", "#include \"QuorDef.H\"",
                                      "#include \"QuorGraf.H\"", ""}));
  EXPECT_EQ(CountOf(c, "  H_SetTextStyle(0,1,2.5,2);"), 1);  // 90 degrees
  EXPECT_EQ(CountOf(c, "  H_SetTextStyle(1,0,2.5,2);"), 1);  // 45 degrees exactly
  EXPECT_EQ(CountOf(c, "  H_MoveTo(1,2);"), 1);
  EXPECT_EQ(CountOf(c, "  H_OutTextXY(3,4,\"say \\\"hi\\\"\");"), 1);

  EXPECT_EQ(SourcePenColour(7), 15);
  EXPECT_EQ(SourcePenColour(16), 16);
  EXPECT_EQ(PascalStringLiteral("a\r\nb"), "'a'#13#10'b'");
  EXPECT_EQ(PascalStringLiteral(""), "''");
  EXPECT_EQ(CStringLiteral("a\\\x01" "7\x84"), "\"a\\\\\\0017\\204\"");
}

TEST_F(SourceWriterTest, ProceduresSplitAtTheirLimits) {
  Session.DrawingExtents = {0, 0, 999, 10};
  std::string thousand = Convert(TargetPascal, ThousandLines);
  ExpectGolden("thousand.pas", thousand);
  std::vector<std::string> p = CrLfLines(thousand);
  auto procs = Procedures(p, true);
  ASSERT_EQ(procs.size(), 3u);
  EXPECT_EQ(procs[0].size(), 344u);  // with the 7 header lines, 351 counted
  EXPECT_EQ(procs[1].size(), 351u);
  EXPECT_EQ(procs[2].size(), 306u);
  std::vector<std::string> tail(p.end() - 19, p.end());
  EXPECT_EQ(tail, (std::vector<std::string>{
                      "end;", "", "var", "  ch : char;", "begin", "  H_Init(0);", "  H_InitGraph;",
                      "  H_ResetWindow;", "  H_DrawQuorGraphTestFrame('QuorGraph');",
                      "  H_SetWindow(0,0,0.8,0.9,0,0,999,10,true,true);", "  repeat", "    H_ClearViewPort;",
                      "    QuorDrawing1;", "    QuorDrawing2;", "    QuorDrawing3;", "    H_ZoomKey(ch);",
                      "  until(ch=#13)or(ch=#27);", "  H_CloseGraph;", "end."}));

  std::vector<std::string> c = CrLfLines(Convert(TargetC, ThousandLines));
  auto functions = Procedures(c, false);
  ASSERT_EQ(functions.size(), 5u);
  EXPECT_EQ(functions[0].size(), 244u);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(functions[i].size(), 251u);
  EXPECT_EQ(CountOf(c, "    QuorDrawing5();"), 1);
  EXPECT_EQ(c.back(), "  }");

  // Pascal texts are not counted: one procedure holds far more lines.
  std::vector<std::string> t = CrLfLines(Convert(TargetPascal, [] {
    PlotSelectPen(1);
    PlotTextStyle(0, 0, 2, 2);
    for (int i = 0; i < 300; ++i) PlotText("T", i, 0);
  }));
  auto textProcs = Procedures(t, true);
  ASSERT_EQ(textProcs.size(), 1u);
  EXPECT_EQ(textProcs[0].size(), 602u);
}

TEST_F(SourceWriterTest, CompilersAcceptTheOutput) {
  struct Case {
    const char* name;
    std::function<void()> drawing;
  } cases[] = {{"sample", [] { SampleDrawing(); TextSample(); }}, {"thousand", ThousandLines}, {"bad", BadDrawing}};
  Session.DrawingExtents = {0, 0, 100, 200};
  for (const Case& k : cases) {
    for (bool pascal : {true, false}) {
      Session.PlotFile = std::string("T_") + k.name;
      Convert(pascal ? TargetPascal : TargetC, k.drawing);
      EXPECT_EQ(CompileError(dir.path(), outputName, pascal), "") << outputName;
    }
  }
  // A file name that is no identifier still gives a program name.
  Session.PlotFile = "12-PLOT";
  std::string p = Convert(TargetPascal, SampleDrawing);
  EXPECT_NE(p.find("Program P12_PLOT;"), std::string::npos);
  EXPECT_EQ(CompileError(dir.path(), outputName, true), "");
}

TEST_F(SourceWriterTest, FailedConversionLeavesNoProgram) {
  PlotBegin(TargetC, 3);
  ThousandLines();
  Session.AbortFlag = true;
  PlotEnd();
  EXPECT_NE(access("PLOT.c", F_OK), 0);
}

}  // namespace
}  // namespace planox::test
