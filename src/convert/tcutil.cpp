#include "convert/tcutil.h"

#include <cmath>

#include "base/session.h"
#include "base/textconv.h"
#include "convert/oututil.h"

namespace planox {

int SourcePenColour(int pen) {
  static const int colours[] = {12, 14, 10, 11, 9, 13, 15};
  return pen >= 1 && pen <= 7 ? colours[pen - 1] : pen;
}

std::string PascalStringLiteral(const std::string& text) {
  std::string out;
  bool open = false;
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if (c < 32 || c == 127) {
      if (open) out += '\'';
      open = false;
      out += '#' + IntToText(c);
      continue;
    }
    if (!open) out += '\'';
    open = true;
    out += ch;
    if (ch == '\'') out += '\'';
  }
  if (!open && out.empty()) return "''";
  if (open) out += '\'';
  return out;
}

std::string CStringLiteral(const std::string& text) {
  std::string out = "\"";
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 32 || c >= 127) {
      // Three octal digits, so that a following digit is never taken in.
      const char digits[] = {'\\', static_cast<char>('0' + (c >> 6)), static_cast<char>('0' + ((c >> 3) & 7)),
                             static_cast<char>('0' + (c & 7))};
      out.append(digits, 4);
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

namespace {

// A number in a statement. A value written without decimal point is an
// integer literal to the compiler; one beyond the 64-bit range would not
// compile, so such a value keeps a ".0".
std::string Num(double x) {
  std::string s = PointRealText(x);
  if (std::fabs(x) >= 1e15 && s.find('.') == std::string::npos) s += ".0";
  return s;
}

// A program name the compiler accepts as an identifier.
std::string Identifier(const std::string& name) {
  std::string id;
  for (char c : name)
    id += (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ? c : '_';
  if (id.empty() || (id[0] >= '0' && id[0] <= '9')) id = "P" + id;
  return id;
}

class SourceWriter : public PlotWriter {
 public:
  explicit SourceWriter(bool pascal) : pascal_(pascal) {}

  void header() override {
    const std::string& file = Session.PlotFile;
    if (pascal_) {
      Counted(std::string("(* Programm generiert vom ") + ProgramTitle + " *)");
      Counted("(* QUORVEL Industriesoftware GmbH  *)");
      Counted("");
      Counted("Program " + Identifier(file) + ";");
      Counted("");
      Counted("uses QUORGRAF;");
      Counted("");
    } else {
      Counted("/* QUORVEL Industriesoftware GmbH */");
      Counted("/* Programm " + CommentText(BlankControls(file)) + " */");
      Counted(std::string("/* generiert vom ") + ProgramName + " */");
      Counted("");
      Counted("#include \"QuorDef.H\"");
      Counted("#include \"QuorGraf.H\"");
      Counted("");
    }
    OpenProcedure();
  }

  void trailer() override {
    if (ConversionFailed()) return;
    int n = procedureCount_;
    if (pascal_) {
      PlotExtents e = PlotterExtents();
      for (const char* l : {"end;", "", "var", "  ch : char;", "begin", "  H_Init(0);", "  H_InitGraph;",
                            "  H_ResetWindow;", "  H_DrawQuorGraphTestFrame('QuorGraph');"})
        PlotWriteLine(l);
      PlotWriteLine("  H_SetWindow(0,0,0.8,0.9," + Num(e.xMin) + "," + Num(e.yMin) + "," + Num(e.xMax) + "," +
                    Num(e.yMax) + ",true,true);");
      PlotWriteLine("  repeat");
      PlotWriteLine("    H_ClearViewPort;");
      for (int i = 1; i <= n; ++i) PlotWriteLine("    QuorDrawing" + IntToText(i) + ";");
      for (const char* l : {"    H_ZoomKey(ch);", "  until(ch=#13)or(ch=#27);", "  H_CloseGraph;", "end."})
        PlotWriteLine(l);
    } else {
      PlotExtents e = StoredExtents();
      for (const char* l : {"  }", "", "void main()", "  {", "  static char ch=0;", "  QuorGraf();",
                            "  H_Init(0);", "  H_InitGraph();", "  H_ResetWindow();",
                            "  H_DrawQuorGraphTestFrame(\"QuorGraf\");"})
        PlotWriteLine(l);
      PlotWriteLine("  H_SetWindow(0,0,0.8,0.9," + Num(e.xMin) + "," + Num(e.yMin) + "," + Num(e.xMax) + "," +
                    Num(e.yMax) + ",TRUE,TRUE);");
      PlotWriteLine("  do");
      PlotWriteLine("    {");
      PlotWriteLine("    H_ClearViewPort();");
      for (int i = 1; i <= n; ++i) PlotWriteLine("    QuorDrawing" + IntToText(i) + "();");
      for (const char* l : {"    H_ZoomKey(&ch);", "    } while(!((ch==13) || (ch==27)));", "  H_CloseGraph();",
                            "  }"})
        PlotWriteLine(l);
    }
  }

  void selectPen(int pen) override { Statement("H_SetColor(" + IntToText(SourcePenColour(pen)) + ");"); }

  void drawTo(double x, double y) override {
    Statement("H_Line(" + Num(PlotState.curX) + "," + Num(PlotState.curY) + "," + Num(x) + "," + Num(y) + ");");
  }

  void textMove(double x, double y) override { Statement("H_MoveTo(" + Num(x) + "," + Num(y) + ");"); }

  void solid(const PlotPoint& p1, const PlotPoint& p2, const PlotPoint& p3, const PlotPoint& p4) override {
    std::string s = "H_Solid(";
    for (const PlotPoint* p : {&p1, &p2, &p3, &p4}) s += Num(p->x) + "," + Num(p->y) + (p == &p4 ? "" : ",");
    Statement(s + ");");
  }

  void circle(double cx, double cy, double r) override {
    Statement("H_Circle(" + Num(cx) + "," + Num(cy) + "," + Num(r) + ");");
  }

  void arc(double cx, double cy, double a1, double a2, double r, double) override {
    Statement("H_Arc(" + Num(cx) + "," + Num(cy) + "," + Num(a1) + "," + Num(a2) + "," + Num(r) + ");");
  }

  void lineType(int code) override { Statement("H_SetLineStyle(" + IntToText(code) + ");"); }

  void textStyle(int font, double angle, double height, double width) override {
    std::string direction;
    if (pascal_) {
      direction = CommaToPoint(RealToTextField(angle, 3, 0));
      if (std::fabs(angle) >= 1e15 && direction.find('.') == std::string::npos) direction += ".0";
    } else {
      bool steep = (angle > 45 && angle < 135) || (angle > 225 && angle < 315) || (angle > -135 && angle < -45);
      direction = steep ? "1" : "0";
    }
    Statement("H_SetTextStyle(" + IntToText(font) + "," + direction + "," + Num(height) + "," + Num(width) + ");");
  }

  bool text(const std::string& text) override {
    std::string at = Num(PlotState.textX) + "," + Num(PlotState.textY) + ",";
    if (pascal_)
      PlotWriteLine("  H_OutTextXy(" + at + PascalStringLiteral(text) + ");");  // not counted
    else
      Statement("H_OutTextXY(" + at + CStringLiteral(text) + ");");
    return true;
  }

 private:
  // "*/" inside a C comment would end it early.
  static std::string CommentText(const std::string& s) {
    std::string out;
    for (char c : s) {
      if (c == '/' && !out.empty() && out.back() == '*') out += ' ';
      out += c;
    }
    return out;
  }

  void Statement(const std::string& s) { Counted("  " + s); }

  // A counted line; a procedure that has grown beyond its limit is closed
  // and the next one opened.
  void Counted(const std::string& line) {
    PlotWriteLine(line);
    if (++sourceLines_ > (pascal_ ? 350 : 250)) {
      PlotWriteLine(pascal_ ? "end;" : "  }");
      OpenProcedure();
      sourceLines_ = 0;
    }
  }

  // The first procedure's count goes on from the header lines.
  void OpenProcedure() {
    std::string n = IntToText(++procedureCount_);
    PlotWriteLine("");
    if (pascal_) {
      PlotWriteLine("procedure QuorDrawing" + n + ";");
      PlotWriteLine("(********************)");
      PlotWriteLine("begin");
    } else {
      PlotWriteLine("void QuorDrawing" + n + "()");
      PlotWriteLine("/*****************/");
      PlotWriteLine("  {");
    }
  }

  bool pascal_;
  int sourceLines_ = 0;     // lines in the current procedure
  int procedureCount_ = 0;  // procedures opened so far
};

}  // namespace

std::unique_ptr<PlotWriter> MakePascalWriter() { return std::make_unique<SourceWriter>(true); }
std::unique_ptr<PlotWriter> MakeCWriter() { return std::make_unique<SourceWriter>(false); }

}  // namespace planox
