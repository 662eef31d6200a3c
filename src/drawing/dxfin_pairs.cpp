// The drawing file read as group pairs: a buffered line reader that takes
// CR LF, LF or CR as line end, the reader's current pair, and group values
// read as numbers.
#include <sys/stat.h>

#include <bit>
#include <charconv>
#include <cstring>

#include "app/fileio.h"
#include "app/prompts.h"
#include "app/session.h"
#include "app/textconv.h"
#include "drawing/dxfin_parts.h"

namespace planox {

int32_t GroupCode = 0;
std::string GroupValue;
int32_t LineNumber = 0;
std::string SectionName;

namespace {
constexpr size_t BufferSize = 1 << 18;


// The first CR or LF in [p, end), or end. DXF lines are a few bytes long,
// so eight bytes are tested at a time rather than calling library searches.
const char* FindLineEnd(const char* p, const char* end) {
  constexpr uint64_t ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
  while (end - p >= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    uint64_t lf = w ^ (ones * '\n'), cr = w ^ (ones * '\r');
    uint64_t hit = ((lf - ones) & ~lf & highs) | ((cr - ones) & ~cr & highs);
    if (hit) {
      // The lowest flagged byte is exact; flags above it may be false ones.
      if constexpr (std::endian::native == std::endian::little)
        return p + (std::countr_zero(hit) >> 3);
      break;
    }
    p += 8;
  }
  while (p < end && *p != '\n' && *p != '\r') ++p;
  return p;
}

}  // namespace

TextReader::TextReader() = default;
TextReader::~TextReader() { Close(); }

bool TextReader::Open(const std::string& name) {
  Close();
  file_ = OpenRegularStream(name);
  if (!file_) return false;
  std::setvbuf(file_, nullptr, _IONBF, 0);  // the reader buffers itself
  struct stat st {};
  size_ = fstat(fileno(file_), &st) == 0 && st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  read_ = 0;
  buffer_.resize(BufferSize);
  data_ = buffer_.data();
  pos_ = len_ = 0;
  eof_ = error_ = tooLong_ = false;
  open_ = true;
  return true;
}

void TextReader::OpenMemory(std::string_view bytes) {
  Close();
  data_ = bytes.data();
  pos_ = 0;
  len_ = bytes.size();
  eof_ = true;
  error_ = tooLong_ = false;
  open_ = true;
}

void TextReader::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  open_ = false;
  data_ = nullptr;
  pos_ = len_ = 0;
  eof_ = true;
  if (spill_.capacity() > 4096) std::string().swap(spill_);  // after a very long line
}

bool TextReader::Fill() {
  if (eof_ || !file_) return false;
  if (pos_ > 0 && pos_ < len_) std::memmove(buffer_.data(), buffer_.data() + pos_, len_ - pos_);
  len_ -= pos_;
  pos_ = 0;
  if (len_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);  // one very long line
  data_ = buffer_.data();
  size_t n = std::fread(buffer_.data() + len_, 1, buffer_.size() - len_, file_);
  if (n == 0) {
    if (std::ferror(file_)) error_ = true;
    eof_ = true;
    return false;
  }
  len_ += n;
  read_ += n;
  if (progress_) progress_->Step(read_, size_);
  return true;
}

bool TextReader::AtEnd() {
  if (pos_ < len_) return false;
  return !Fill();
}

std::string_view TextReader::Peek(size_t n) {
  while (len_ - pos_ < n && Fill()) {
  }
  return std::string_view(data_ + pos_, std::min(n, len_ - pos_));
}

void TextReader::ReadTextLine(std::string& line) {
  line.clear();
  for (;;) {
    if (pos_ >= len_ && !Fill()) return;
    const char* start = data_ + pos_;
    const char* end = data_ + len_;
    const char* p = FindLineEnd(start, end);
    line.append(start, p);
    pos_ += static_cast<size_t>(p - start);
    if (line.size() > MaxLineLength) {
      // Nothing after it can be trusted: the file reads as ended.
      tooLong_ = eof_ = true;
      pos_ = len_ = 0;
      line.clear();
      return;
    }
    if (p == end) continue;  // the line goes on in the next buffer
    ++pos_;
    if (*p == '\r') {
      // A line feed directly after the carriage return belongs to it.
      if (pos_ >= len_) Fill();
      if (pos_ < len_ && data_[pos_] == '\n') ++pos_;
    }
    return;
  }
}

std::string_view TextReader::ReadLine() {
  const char* start = data_ + pos_;
  const char* end = data_ + len_;
  const char* p = FindLineEnd(start, end);
  // A carriage return at the end of the buffer may have its line feed in
  // the next one.
  if (p < end && (*p == '\n' || p + 1 < end)) {
    pos_ += static_cast<size_t>(p - start) + 1;
    if (*p == '\r' && p[1] == '\n') ++pos_;
    return std::string_view(start, static_cast<size_t>(p - start));
  }
  ReadTextLine(spill_);
  return spill_;
}

void ReadTextLine(TextReader& file, std::string& line) { file.ReadTextLine(line); }

namespace dxfin {

TextReader& DrawingFile() {
  static TextReader file;
  return file;
}

bool IsKeyword(std::string_view value, std::string_view upper) {
  if (value.size() != upper.size()) return false;
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upper[i]) return false;
  }
  return true;
}

// Some programs pad a value with blanks after the number: they are not
// part of it.
std::string_view WithoutTrailingBlanks(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A value as TextToReal reads it. The common form (blanks, sign, digits
// with one "." or ",") is converted here: up to 15 digits exactly in one
// step (an integer below 2^53 divided by an exact power of ten rounds
// correctly), longer ones with a "." or none, as today's programs write
// them, by the library's correctly rounded conversion.
long double Real(std::string_view s) {
  s = WithoutTrailingBlanks(s);
  static const double powers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* p = s.data();
  const char* end = p + s.size();
  while (p < end && *p == ' ') ++p;
  bool negative = false;
  if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
  // The digits before and after the decimal point; a mantissa of more than
  // 15 digits may wrap, but is then not used.
  uint64_t mantissa = 0;
  const char* first = p;
  while (p < end && static_cast<unsigned char>(*p - '0') < 10)
    mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - '0');
  long digits = p - first, decimals = 0;
  bool comma = false;
  if (p < end && (*p == '.' || *p == ',')) {
    comma = *p == ',';
    const char* point = ++p;
    while (p < end && static_cast<unsigned char>(*p - '0') < 10)
      mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - '0');
    decimals = p - point;
    digits += decimals;
  }
  if (p != end || digits == 0 || (digits > 15 && comma)) return TextToReal(s);
  double x;
  if (digits > 15) {
    auto res = std::from_chars(first, end, x);
    if (res.ec != std::errc() || res.ptr != end) return TextToReal(s);
  } else {
    x = static_cast<double>(mantissa);
    if (decimals > 0) x /= powers[decimals];
  }
  return negative ? -x : x;
}

int32_t Int32(std::string_view s) {
  long long n = TextToInt(WithoutTrailingBlanks(s));
  if (n < INT32_MIN || n > INT32_MAX) return 0;
  return static_cast<int32_t>(n);
}

namespace {

// A group code: the common form (blanks, then up to nine digits) directly,
// everything else through TextToInt.
int32_t CodeValue(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  size_t digits = s.size() - i;
  if (digits == 0 || digits > 9) return Int32(s);
  int32_t n = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c < '0' || c > '9') return Int32(s);
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace

}  // namespace dxfin

namespace {

// A line beyond the reader's limit ends the read, said even while the read
// is quiet.
bool LineTooLong(const TextReader& file) {
  if (!file.LineTooLong()) return false;
  const bool show = Session.ShowErrors;
  Session.ShowErrors = true;
  ReportError("Ligne " + IntToText(LineNumber) + " trop longue (plus de " +
              IntToText(TextReader::MaxLineLength >> 20) + " Mo) : lecture interrompue");
  Session.ShowErrors = show;
  Session.AbortFlag = true;
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
  ++LineNumber;
  std::string_view code = drawingFile.ReadLine();
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
  GroupValue.assign(drawingFile.ReadLine());
  ++LineNumber;
  LineTooLong(drawingFile);
}

}  // namespace planox
