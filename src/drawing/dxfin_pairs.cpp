// The drawing file read as group pairs: the reader's current pair, and
// group values read as numbers.
#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "drawing/dxfin_parts.h"

namespace planox {

int32_t GroupCode = 0;
std::string_view GroupValue;
int32_t LineNumber = 0;
std::string SectionName;

namespace dxfin {

TextReader& DrawingFile() {
  static TextReader file;
  return file;
}

namespace {

// A group code: the common form (blanks, then up to nine digits) directly,
// everything else through TextToInt.
int32_t CodeValue(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  size_t digits = s.size() - i;
  if (digits == 0 || digits > 9) return GroupValueToInt32(s);
  int32_t n = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c < '0' || c > '9') return GroupValueToInt32(s);
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace

}  // namespace dxfin

namespace {

// A line beyond the reader's limit ends the read, said even while the read
// is quiet.
[[gnu::cold, gnu::noinline]] void ReportLineTooLong() {
  const bool show = Session.ShowErrors;
  Session.ShowErrors = true;
  ReportError("Ligne " + IntToText(LineNumber) + " trop longue (plus de " +
              IntToText(TextReader::MaxLineLength >> 20) + " Mo) : lecture interrompue");
  Session.ShowErrors = show;
  Session.AbortFlag = true;
}

bool LineTooLong(const TextReader& file) {
  if (!file.LineTooLong()) return false;
  ReportLineTooLong();
  return true;
}

}  // namespace

namespace dxfin {
bool endReached = false;
bool EndReached() { return endReached; }
}  // namespace dxfin

void ReadGroupPair() {
  TextReader& drawingFile = dxfin::DrawingFile();
  dxfin::endReached = false;
  std::string_view code, value;
  if (drawingFile.ReadShortLines(code, value)) {
    LineNumber += 2;
    GroupCode = dxfin::CodeValue(code);
    GroupValue = value;
    return;
  }
  ++LineNumber;
  code = drawingFile.ReadLine();
  if (LineTooLong(drawingFile)) return;
  if (drawingFile.ReadError()) {
    ReportError("Error in DXF-File Line : " + IntToText(LineNumber));
    Session.AbortFlag = true;
    drawingFile.ClearReadError();
    return;
  }
  GroupCode = dxfin::CodeValue(code);
  if (drawingFile.AtEnd()) {
    dxfin::endReached = !Session.AbortFlag;
    Session.AbortFlag = true;
  }
  GroupValue = drawingFile.ReadLine();
  ++LineNumber;
  LineTooLong(drawingFile);
}

}  // namespace planox
