// Text files read line by line: the one line reader of the program, for
// drawings, configuration and session files alike. Lines end with any of
// CR LF, LF or CR; each caller decides what a line too long for it means.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace planox {

class ProgressReport;

// A text file read line by line with any of CR LF, LF or CR as line end.
// Only a regular file is opened. A line longer than MaxLineLength (no line
// the program reads needs more) ends the reading: LineTooLong is then set
// and the file reads as ended.
class TextReader {
 public:
  static constexpr size_t MaxLineLength = 4 << 20;

  TextReader();
  ~TextReader();
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  bool Open(const std::string& name);
  // Reads from a stream the caller opened and closes.
  void Attach(std::FILE* stream);
  // Reads from a byte string the caller keeps alive.
  void OpenMemory(std::string_view bytes);
  void Close();
  bool IsOpen() const { return open_; }
  // No more characters to read.
  bool AtEnd() { return pos_ >= len_ && !Fill(); }
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
  // Two lines as two ReadLine calls would give them, when both are short
  // and wholly in the buffer; false, with nothing read, otherwise. The
  // drawing reader takes group pairs this way.
  bool ReadShortLines(std::string_view& first, std::string_view& second);

 private:
  bool Fill();

  std::FILE* file_ = nullptr;
  bool owned_ = false;  // file_ is closed by Close
  ProgressReport* progress_ = nullptr;
  uint64_t size_ = 0, read_ = 0;  // the file's size when attached, bytes read since
  bool open_ = false;
  bool error_ = false;
  bool eof_ = false;
  bool tooLong_ = false;
  std::vector<char> buffer_;
  const char* data_ = nullptr;
  size_t pos_ = 0, len_ = 0;
  std::string spill_;
};

// The next line, of which at most maxLength bytes are kept (the rest of a
// longer line is skipped): for files whose lines have a length of their
// own, such as the session and help files. False at the end of the file.
bool ReadLimitedLine(TextReader& file, std::string& line, size_t maxLength);

}  // namespace planox
