// The drawing file read as group pairs: the reader's current pair, and
// group values read as numbers. While a drawing is read, a second thread
// reads ahead: it splits the file into pairs and reads their numbers, and
// this thread takes them in batches.
#include <signal.h>

#include <array>
#include <condition_variable>
#include <mutex>
#include <thread>

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
  if (s.size() == 3) {  // the usual right-aligned "  0", " 10", "100"
    const auto digit = [](char c) { return static_cast<unsigned>(c - '0'); };
    const unsigned a = digit(s[0]), b = digit(s[1]), c = digit(s[2]);
    if (c < 10) {
      if (s[0] == ' ' && s[1] == ' ') return static_cast<int32_t>(c);
      if (s[0] == ' ' && b < 10) return static_cast<int32_t>(b * 10 + c);
      if (a < 10 && b < 10) return static_cast<int32_t>(a * 100 + b * 10 + c);
    }
  }
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

bool endReached = false;

}  // namespace dxfin

namespace {

// The number of the current pair when the read-ahead thread read it.
long double pairNumber = 0;
bool pairHasNumber = false;

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

// What taking one group pair from the file met besides the pair; every
// event but None ends the read ahead.
enum class PairEvent : uint8_t { None, ReadError, CodeTooLong, EndAfterCode, ValueTooLong };

struct RawPair {
  int32_t code = 0;
  PairEvent event = PairEvent::None;
  std::string_view value;
};

// Takes one group pair from the file. It changes nothing but the file, so
// that the read-ahead thread can run it.
RawPair TakePair(TextReader& file) {
  RawPair p;
  std::string_view code;
  if (file.ReadShortLines(code, p.value)) {
    p.code = dxfin::CodeValue(code);
    return p;
  }
  code = file.ReadLine();
  if (file.LineTooLong()) {
    p.event = PairEvent::CodeTooLong;
    return p;
  }
  if (file.ReadError()) {
    file.ClearReadError();
    p.event = PairEvent::ReadError;
    return p;
  }
  p.code = dxfin::CodeValue(code);
  const bool end = file.AtEnd();
  p.value = file.ReadLine();
  if (file.LineTooLong()) p.event = PairEvent::ValueTooLong;
  else if (end) p.event = PairEvent::EndAfterCode;
  return p;
}

// Makes a pair taken from the file the reader's current pair, and says
// what taking it met.
void ApplyPair(const RawPair& p) {
  if (p.event == PairEvent::CodeTooLong || p.event == PairEvent::ReadError) {
    ++LineNumber;
    if (p.event == PairEvent::CodeTooLong) {
      ReportLineTooLong();
    } else {
      ReportError("Error in DXF-File Line : " + IntToText(LineNumber));
      Session.AbortFlag = true;
    }
    return;
  }
  GroupCode = p.code;
  if (p.event == PairEvent::EndAfterCode) {
    dxfin::endReached = !Session.AbortFlag;
    Session.AbortFlag = true;
  }
  GroupValue = p.value;
  LineNumber += 2;
  if (p.event == PairEvent::ValueTooLong) ReportLineTooLong();
}

// Group codes whose values are reals.
bool RealCode(int32_t c) {
  return (c >= 10 && c <= 59) || (c >= 110 && c <= 149) || (c >= 210 && c <= 239) || (c >= 460 && c <= 469) ||
         (c >= 1010 && c <= 1059);
}

// The read-ahead thread and the batches of pairs it hands over.
class ReadAhead {
 public:
  ~ReadAhead() { Stop(); }

  // Starts reading the drawing file ahead; its progress is then reported
  // from here as the pairs are taken.
  void Start(TextReader& file) {
    Stop();
    file_ = &file;
    progress_ = file.Progress();
    file.SetProgress(nullptr);
    produced_ = consumed_ = 0;
    current_ = nullptr;
    stop_ = finished_ = false;
    thread_ = std::thread([this] { Produce(); });
  }

  // Waits for the thread to end; the file is then where it stopped reading.
  void Stop() {
    if (!thread_.joinable()) return;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
    file_->SetProgress(progress_);
    current_ = nullptr;
  }

  bool Running() const { return thread_.joinable(); }

  // Makes the next pair read ahead the reader's current pair. False when
  // the thread has ended and every pair is taken: the file then goes on
  // where the thread stopped.
  bool TakeNext() {
    if (!current_ || next_ == current_->pairs.size()) {
      std::unique_lock<std::mutex> lock(mutex_);
      if (current_) ++consumed_;
      changed_.notify_all();
      changed_.wait(lock, [&] { return produced_ > consumed_ || finished_; });
      if (produced_ == consumed_) {
        lock.unlock();
        Stop();
        return false;
      }
      current_ = &batches_[consumed_ % batches_.size()];
      next_ = 0;
    }
    const Queued& q = current_->pairs[next_++];
    if (q.read != 0 && progress_) progress_->Step(q.read, file_->Size());
    ApplyPair(q.pair);
    pairNumber = q.number;
    pairHasNumber = q.hasNumber;
    return true;
  }

 private:
  struct Queued {
    RawPair pair;  // the value in the batch's text, from offset on
    size_t offset = 0;
    long double number = 0;
    uint64_t read = 0;  // the file was read up to here while taking the pair
    bool hasNumber = false;
  };
  struct Batch {
    std::vector<Queued> pairs;
    std::string text;  // the values, one after the other
  };
  static constexpr size_t BatchPairs = 4096;

  void Produce() {
    // Signals stay with the thread that started the read.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    for (size_t n = 0;; ++n) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return stop_ || produced_ - consumed_ < batches_.size(); });
        if (stop_) return;
      }
      Batch& b = batches_[n % batches_.size()];
      b.pairs.clear();
      b.text.clear();
      if (b.text.capacity() > (1u << 20)) std::string().swap(b.text);  // after a very long value
      bool ended = false;
      while (b.pairs.size() < BatchPairs && !ended) {
        const uint64_t before = file_->BytesRead();
        const RawPair p = TakePair(*file_);
        Queued q;
        q.read = file_->BytesRead() != before ? file_->BytesRead() : 0;
        q.pair = p;
        q.offset = b.text.size();
        b.text.append(p.value);
        if (p.event == PairEvent::None && RealCode(p.code)) {
          q.number = GroupValueToReal(p.value);
          q.hasNumber = true;
        }
        b.pairs.push_back(q);
        ended = p.event != PairEvent::None;
      }
      for (Queued& q : b.pairs) q.pair.value = std::string_view(b.text).substr(q.offset, q.pair.value.size());
      {
        std::lock_guard<std::mutex> lock(mutex_);
        ++produced_;
        finished_ = ended;
      }
      changed_.notify_all();
      if (ended) return;
    }
  }

  TextReader* file_ = nullptr;
  ProgressReport* progress_ = nullptr;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::array<Batch, 3> batches_;
  size_t produced_ = 0, consumed_ = 0;  // batches handed over and given back
  bool stop_ = false, finished_ = false;
  // The batch being taken (this thread only).
  const Batch* current_ = nullptr;
  size_t next_ = 0;
};

ReadAhead readAhead;

}  // namespace

namespace dxfin {
bool EndReached() { return endReached; }

void StartReadAhead() { readAhead.Start(DrawingFile()); }
void StopReadAhead() { readAhead.Stop(); }

bool CurrentNumber(long double& x) {
  if (!pairHasNumber) return false;
  x = pairNumber;
  return true;
}
}  // namespace dxfin

void ReadGroupPair() {
  dxfin::endReached = false;
  pairHasNumber = false;
  if (readAhead.Running() && readAhead.TakeNext()) return;
  ApplyPair(TakePair(dxfin::DrawingFile()));
}

}  // namespace planox
