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
void AppendNum(std::string& out, double x) {
  const std::size_t start = out.size();
  AppendRealText(out, x, true);
  if (std::fabs(x) >= 1e15 && out.find('.', start) == std::string::npos) out += ".0";
}

std::string Num(double x) {
  std::string s;
  AppendNum(s, x);
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

  void selectPen(int pen) override {
    call("H_SetColor(");
    AppendInt(stmt_, SourcePenColour(pen));
    endCall();
  }

  void drawTo(double x, double y) override {
    call("H_Line(");
    args({PlotState.curX, PlotState.curY, x, y});
    endCall();
  }

  void textMove(double x, double y) override {
    call("H_MoveTo(");
    args({x, y});
    endCall();
  }

  void solid(const PlotPoint& p1, const PlotPoint& p2, const PlotPoint& p3, const PlotPoint& p4) override {
    call("H_Solid(");
    args({p1.x, p1.y, p2.x, p2.y, p3.x, p3.y, p4.x, p4.y});
    endCall();
  }

  void circle(double cx, double cy, double r) override {
    call("H_Circle(");
    args({cx, cy, r});
    endCall();
  }

  void arc(double cx, double cy, double a1, double a2, double r, double) override {
    call("H_Arc(");
    args({cx, cy, a1, a2, r});
    endCall();
  }

  void lineType(int code) override {
    call("H_SetLineStyle(");
    AppendInt(stmt_, code);
    endCall();
  }

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

  // A call is built in stmt_ and written as a statement: its name, the
  // arguments appended straight to it, its end.
  void call(const char* name) {
    stmt_.assign("  ");
    stmt_ += name;
  }
  void args(std::initializer_list<double> values) {
    for (const double& v : values) {
      if (&v != values.begin()) stmt_ += ',';
      AppendNum(stmt_, v);
    }
  }
  void endCall() {
    stmt_ += ");";
    Counted(stmt_);
  }

  // A counted line; a procedure that has grown beyond its limit is closed
  // and the next one opened.
  void Counted(std::string_view line) {
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
  std::string stmt_;
  int sourceLines_ = 0;     // lines in the current procedure
  int procedureCount_ = 0;  // procedures opened so far
};

}  // namespace

std::unique_ptr<PlotWriter> MakePascalWriter() { return std::make_unique<SourceWriter>(true); }
std::unique_ptr<PlotWriter> MakeCWriter() { return std::make_unique<SourceWriter>(false); }

}  // namespace planox
