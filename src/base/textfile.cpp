#include "base/textfile.h"

#include <sys/stat.h>

#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/fileio.h"
#include "base/prompts.h"

namespace planox {

namespace {

constexpr size_t BufferSize = 1 << 18;

#if defined(__SSE2__)
// Bit i set where p[i] is a CR or LF, for the sixteen bytes from p.
unsigned LineEnds16(const char* p) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  return static_cast<unsigned>(_mm_movemask_epi8(
      _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\r')))));
}
#endif

// The first CR or LF in [p, end), or end. DXF lines are a few bytes long,
// so sixteen (or eight) bytes are tested at a time rather than calling
// library searches.
const char* FindLineEnd(const char* p, const char* end) {
#if defined(__SSE2__)
  for (; end - p >= 16; p += 16)
    if (const unsigned hit = LineEnds16(p)) return p + std::countr_zero(hit);
#endif
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
  Attach(file_);
  owned_ = true;
  return true;
}

void TextReader::Attach(std::FILE* stream) {
  if (stream != file_) Close();
  file_ = stream;
  owned_ = false;
  struct stat st {};
  size_ = fstat(fileno(file_), &st) == 0 && st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  read_ = 0;
  buffer_.resize(BufferSize);
  data_ = buffer_.data();
  pos_ = len_ = 0;
  eof_ = error_ = tooLong_ = false;
  open_ = true;
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
  if (file_ && owned_) std::fclose(file_);
  file_ = nullptr;
  owned_ = false;
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

bool TextReader::ReadShortLines(std::string_view& first, std::string_view& second) {
#if defined(__SSE2__)
  // Both lines end within sixteen bytes, and a byte follows the second
  // line's end, so a CR there is seen with the LF after it.
  const char* start = data_ + pos_;
  if (error_ || len_ - pos_ < 17) return false;
  const unsigned ends = LineEnds16(start);
  if (!ends) return false;
  const unsigned e1 = static_cast<unsigned>(std::countr_zero(ends));
  unsigned s2 = e1 + 1;
  if (start[e1] == '\r' && start[s2] == '\n') ++s2;
  const unsigned rest = s2 < 16 ? ends & (~0u << s2) : 0;
  if (!rest) return false;
  const unsigned e2 = static_cast<unsigned>(std::countr_zero(rest));
  first = std::string_view(start, e1);
  second = std::string_view(start + s2, e2 - s2);
  pos_ += e2 + 1;
  if (start[e2] == '\r' && start[e2 + 1] == '\n') ++pos_;
  return true;
#else
  (void)first, (void)second;
  return false;
#endif
}

bool ReadLimitedLine(TextReader& file, std::string& line, size_t maxLength) {
  if (file.AtEnd()) return false;
  file.ReadTextLine(line);
  if (line.size() > maxLength) line.resize(maxLength);
  return true;
}

}  // namespace planox
