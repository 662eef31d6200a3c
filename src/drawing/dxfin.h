// The DXF reader and the entity emitters. ReadDrawing reads the current
// drawing file (Session.InPath + DrawingName + "." + FileExtension) from the
// first line to "0"/"EOF" and sends every entity, as it is read, to the
// sink of the read mode: the graphics sink for display, the plot sink for
// conversion, the current block work file inside a block definition, or
// nowhere (header only). Blocks are drawn by replaying their work files
// under an insertion transform.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/dxfinvar.h"

namespace planox {

class ProgressReport;

// A text file read line by line with any of CR LF, LF or CR as line end.
// Only a regular file is opened. A line longer than MaxLineLength (no DXF
// line needs more) ends the reading: LineTooLong is then set and the file
// reads as ended.
class TextReader {
 public:
  static constexpr size_t MaxLineLength = 4 << 20;

  TextReader();
  ~TextReader();
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  bool Open(const std::string& name);
  // Reads from a byte string the caller keeps alive.
  void OpenMemory(std::string_view bytes);
  void Close();
  bool IsOpen() const { return open_; }
  // No more characters to read.
  bool AtEnd();
  // Set when reading failed; the caller clears it.
  bool ReadError() const { return error_; }
  void ClearReadError() { error_ = false; }
  bool LineTooLong() const { return tooLong_; }
  // The first bytes of the file without consuming them (at most n).
  std::string_view Peek(size_t n);
  // Reports the share of the file read after every block read from it
  // (nullptr: none). The report may set AbortFlag (the user cancelled).
  void SetProgress(ProgressReport* progress) { progress_ = progress; }

  // One line without its terminator.
  void ReadTextLine(std::string& line);
  // The same as a view, valid until the next read: into the buffer when the
  // whole line is there, else into a copy the reader keeps.
  std::string_view ReadLine();

 private:
  bool Fill();

  std::FILE* file_ = nullptr;
  ProgressReport* progress_ = nullptr;
  uint64_t size_ = 0, read_ = 0;  // the file's size at Open, bytes read since
  bool open_ = false;
  bool error_ = false;
  bool eof_ = false;
  bool tooLong_ = false;
  std::vector<char> buffer_;
  const char* data_ = nullptr;
  size_t pos_ = 0, len_ = 0;
  std::string spill_;
};

void ReadTextLine(TextReader& file, std::string& line);

// Texts and names of entities are kept to this many bytes; the rest of a
// longer value is left out.
inline constexpr size_t MaxTextLength = 65536;

// The reader's current group pair and line counter.
extern int32_t GroupCode;
extern std::string GroupValue;
extern int32_t LineNumber;
extern std::string SectionName;

void ReadGroupPair();

// mode: ReadHeaderOnly, ReadForConversion, ReadForDisplay or ShowBlock;
// blockName is used by ShowBlock only.
void ReadDrawing(int mode, const std::string& blockName = "");
void ChooseAndReadDrawing(int mode);

// The name of the drawing file ReadDrawing opens: the existing file whose
// name matches case-insensitively when the exact spelling is not there.
std::string DrawingFileName();
// The work file of a block: WorkDir() + "$" + name + ".dx$", with bytes a
// file name cannot safely hold (and "%") written as "%" and their hex code.
std::string BlockFileName(std::string_view storedName);
// Forgets the in-memory copies of the block work files.
void ForgetBlockFiles();

int ScreenColour(int colour);
// A colour number folded into 0..15 for the pen table.
int PenColour(int colour);

// Emitters: mode, layer slot, geometry in drawing units and degrees.
void EmitLine(int mode, int slot, long double x1, long double y1, long double x2, long double y2);
void EmitCircle(int mode, int slot, long double cx, long double cy, long double r);
void EmitArc(int mode, int slot, long double cx, long double cy, long double r, long double start,
             long double end, long double sweep);
void EmitText(int mode, int slot, const std::string& text, long double x, long double y,
              long double height, long double widthFactor, long double rotation,
              long double oblique);
// Corners in outline order.
void EmitSolid(int mode, int slot, const long double (&x)[4], const long double (&y)[4]);

void InsertBlock(int mode, int slot, const std::string& name, long double x, long double y,
                 long double rotation, long double xScale, long double yScale);
void ReplayBlock(int mode, const std::string& name, long double x, long double y,
                 long double rotation, long double xScale, long double yScale);

}  // namespace planox
