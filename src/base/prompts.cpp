#include "base/prompts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <iostream>

#include "base/fileio.h"
#include "base/session.h"
#include "base/textconv.h"

namespace planox {

int HelpNumber = 0;
std::vector<std::string> ChoiceList;

namespace {

UserInterface* currentUi = nullptr;
HelpHook helpTextHook = nullptr;
HelpHook helpPictureHook = nullptr;
bool overwriteConfirmation = true;

// Dialog captions and messages (code page 850).
constexpr const char* CaptionChoice = "Choisir";
constexpr const char* CaptionData = "Donn\x82" "e";

void setAbort() { Session.AbortFlag = true; }

// The text dialog behind AskText and the number prompts; false on cancel.
bool askText(const std::string& prompt, int maxLength, std::string& text) {
  std::string t = text;
  if (!Ui().textDialog(prompt, maxLength, t)) {
    setAbort();
    return false;
  }
  if (maxLength > 0 && static_cast<int>(t.size()) > maxLength) t.resize(maxLength);
  text = t;
  return true;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

void reportInvalidPresentation(const std::string& text) {
  Ui().beep();
  ShowError("Pr\x82sentation non valide \"" + text + "\" !");
  Session.AbortFlag = false;
}

void reportRange(const std::string& low, const std::string& high) {
  Ui().beep();
  ShowError("Donn\x82" "e valide: " + low + " .. " + high + " !");
}

// The repeated prompt of AskReal and AskInteger: Value is double or
// long long, Parse the matching parser and Format the matching formatter.
template <typename Value, typename Parse, typename Format>
Value askNumber(const std::string& prompt, int maxLength, Value current, Value low, Value high,
                Parse parse, Format format) {
  Value value = current;
  for (;;) {
    const std::string shown = format(value);
    std::string text = shown;
    if (!askText(prompt, maxLength, text)) return current;
    if (text == shown) return value;
    Value v{};
    if (!parse(text, v)) {
      reportInvalidPresentation(text);
      continue;
    }
    if (v < low || v > high) {
      // Ask again from the last valid value: presetting the rejected one
      // would let a plain OK return a value outside the range.
      reportRange(format(low), format(high));
      continue;
    }
    return v;
  }
}

// The messages of the run-time I/O errors the guarded operations report.
bool diskFull(int err) { return err == ENOSPC || err == EDQUOT || err == EFBIG; }

void reportIo(const std::string& text) {
  setAbort();
  ReportError(text);
}

}  // namespace

UserInterface& Ui() {
  static ConsoleUi console;
  return currentUi ? *currentUi : console;
}

void SetUi(UserInterface* ui) { currentUi = ui; }

void SetHelpHooks(HelpHook text, HelpHook picture) {
  helpTextHook = text;
  helpPictureHook = picture;
}

void ShowHelpText(int helpNumber) {
  if (helpTextHook) helpTextHook(helpNumber);
}

void ShowHelpPicture(int helpNumber) {
  if (helpPictureHook) helpPictureHook(helpNumber);
}

// ---- Prompts ----

int AskChoice(const std::string& prompt, int n, int current) {
  if (n < 1) n = 1;
  int chosen = (current < 1 || current > n) ? 1 : current;
  std::vector<std::string> choices(ChoiceList.begin(),
                                   ChoiceList.begin() + std::min<size_t>(ChoiceList.size(), n));
  choices.resize(n);
  if (!Ui().choiceDialog(prompt, choices, chosen)) {
    setAbort();
    return current;
  }
  return std::clamp(chosen, 1, n);
}

char AskYesNo(const std::string& prompt, char current) {
  char answer = (std::toupper(static_cast<unsigned char>(current)) == 'N') ? 'N' : 'J';
  if (!Ui().yesNoDialog(prompt, answer)) {
    setAbort();
    return current;
  }
  return std::toupper(static_cast<unsigned char>(answer)) == 'N' ? 'N' : 'J';
}

bool AskYesNoBool(const std::string& prompt, bool current) {
  return AskYesNo(prompt, current ? 'J' : 'N') == 'J';
}

std::string AskText(const std::string& prompt, int maxLength, const std::string& current) {
  std::string text = current;
  askText(prompt, maxLength, text);
  return text;
}

double AskReal(const std::string& prompt, double current, double low, double high) {
  return askNumber<double>(prompt, 30, current, low, high, ParseTypedReal,
                           [](double x) { return RealToText(x); });
}

long long AskInteger(const std::string& prompt, long long current, long long a, long long b) {
  if (b < a) std::swap(a, b);
  return askNumber<long long>(prompt, 12, current, a, b, ParseTypedInteger,
                              [](long long x) { return IntToText(x); });
}

bool AskYesNoCancel(const std::string& question) {
  int r = Ui().yesNoCancelBox(ProgramTitle, question);
  if (r > 0) return true;
  if (r < 0) setAbort();
  return false;
}

// ---- Messages ----

void ShowBox(const std::string& text, int kind) {
  const char* caption = kind == BoxError ? "Erreur : " : kind == BoxHelp ? "Aide" : "Message:";
  Ui().messageBox(caption, text);
}

void ShowError(const std::string& text) { ShowBox(text, BoxError); }

void ReportError(const std::string& text) {
  if (Session.ShowErrors) ShowError(text);
}

void ShowInfo(const std::string& text) { ShowBox(text, BoxInfo); }

void ShowTitledBox(const std::string& caption, const std::string& text) {
  Ui().messageBox(caption, text);
}

// ---- Guarded file operations ----

bool GuardedRewrite(std::FILE*& f, const std::string& name) {
  if (f) {
    std::fclose(f);
    f = nullptr;
  }
  f = std::fopen(name.c_str(), "wb");
  if (f) return true;
  reportIo(diskFull(errno) ? "disquette pleine" : "erreur d'\x82" "criture");
  return false;
}

void GuardedWriteLine(std::FILE* f, const std::string& line, const char* lineEnd) {
  if (Session.AbortFlag) return;
  if (!f) {
    reportIo("erreur d'acc\x8as au fichier");
    return;
  }
  errno = 0;
  std::fwrite(line.data(), 1, line.size(), f);
  if (lineEnd) std::fputs(lineEnd, f);
  if (std::fflush(f) != 0 || std::ferror(f)) {
    int err = errno;
    std::clearerr(f);
    reportIo(diskFull(err) ? "disquette pleine" : "erreur d'acc\x8as au fichier");
  }
}

void GuardedClose(std::FILE*& f) {
  if (!f) return;
  // After a failed write the flag is already set and the failure reported;
  // the close then usually fails for the same reason and stays quiet.
  const bool quiet = Session.AbortFlag;
  errno = 0;
  int r = std::fclose(f);
  f = nullptr;
  if (r == 0) return;
  int err = errno;
  setAbort();
  if (!quiet) ReportError(diskFull(err) ? "disquette pleine" : "erreur de fermeture du fichier");
}

void ReportIoFailure(int err, const std::string& text) { reportIo(diskFull(err) ? "disquette pleine" : text); }

void CheckInputFile(const std::string& name) {
  // A directory, a FIFO or a device is no input file.
  int fd = OpenRegularFile(name);
  bool ok = fd >= 0;
  if (ok) ::close(fd);
  if (!ok) reportIo("fichier " + name + " introuvable ou acc\x8as impossible !");
}

void CheckOutputFile(const std::string& name) {
  struct stat st{};
  const bool exists = !name.empty() && ::lstat(name.c_str(), &st) == 0;
  if (exists && name.find("actuel") == std::string::npos && overwriteConfirmation) {
    HelpNumber = 3055;
    if (!AskYesNoCancel(name + " Existe d\x82j\x85.   Titre ?")) setAbort();
  }
  if (Session.AbortFlag) return;

  // The probe that the name can be written. An existing file is opened for
  // appending, which neither truncates nor removes it; only a file the probe
  // created itself is deleted again.
  bool ok = false;
  if (!name.empty()) {
    if (exists) {
      int fd = ::open(name.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_NONBLOCK);
      if (fd >= 0) ok = ::close(fd) == 0;
    } else {
      int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY, 0666);
      if (fd >= 0) {
        ok = ::close(fd) == 0;
        ok = (::unlink(name.c_str()) == 0) && ok;
      }
    }
  }
  if (!ok) reportIo("Nom de fichier non valide \"" + name + "\" !");
}

void SetOverwriteConfirmation(bool on) { overwriteConfirmation = on; }

// ---- File choice, cursor, title ----

std::string ChooseFile(const std::string& pattern, const std::string& startDir, std::string& name,
                       bool nameOnly, bool recordExtension) {
  std::string full = Ui().openFileDialog(pattern, startDir);
  if (full.empty()) {
    setAbort();
    return "";
  }
  const std::string dir = DirectoryPart(full);
  if (recordExtension) {
    std::string base = full.substr(dir.size());
    auto dot = base.rfind('.');
    Session.FileExtension = dot == std::string::npos ? "" : LeftText(base.substr(dot + 1), 3);
  }
  name = nameOnly ? NameWithoutExtension(full) : full;
  return dir;
}

void WaitCursorOn() { Ui().setWaitCursor(true); }
void WaitCursorOff() { Ui().setWaitCursor(false); }

std::string TitleText() {
  const std::string& name = Session.DrawingName;
  if (name.empty()) return ProgramTitle;
  std::string file = name;
  auto slash = file.find_last_of('/');
  if (file.find('.', slash == std::string::npos ? 0 : slash + 1) == std::string::npos)
    file += "." + Session.FileExtension;
  return std::string(ProgramTitle) + "  -  " + file;
}

// ---- Console form ----

namespace {

bool interactive() { return ::isatty(0) == 1; }

// A progress line is on the terminal without its line end.
bool progressLineOpen = false;

void endProgressLine() {
  if (!progressLineOpen) return;
  std::fputc('\n', stderr);
  progressLineOpen = false;
}

void consoleLine(const std::string& caption, const std::string& text) {
  endProgressLine();
  std::string line = Cp850ToUtf8(caption) + " " + Cp850ToUtf8(text) + "\n";
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

// One line from the terminal (converted to code page 850); false at the end
// of the input.
bool readLine(std::string& line) {
  std::string s;
  if (!std::getline(std::cin, s)) {
    std::cin.clear();
    return false;
  }
  if (!s.empty() && s.back() == '\r') s.pop_back();
  line = Utf8ToCp850(s);
  return true;
}

// Yes / no answers typed at the terminal: oui, ja, yes or non, nein, no.
int yesNoLetter(const std::string& s) {
  std::string t(trimmed(s));
  if (t.empty()) return 0;
  char c = static_cast<char>(std::toupper(static_cast<unsigned char>(t[0])));
  if (c == 'O' || c == 'J' || c == 'Y') return 1;
  if (c == 'N') return -1;
  return 2;
}

}  // namespace

bool ConsoleUi::choiceDialog(const std::string& prompt, const std::vector<std::string>& choices,
                             int& current) {
  consoleLine(CaptionChoice, prompt);
  for (size_t i = 0; i < choices.size(); ++i)
    consoleLine("  " + IntToText(static_cast<long long>(i + 1)), choices[i]);
  const int n = static_cast<int>(choices.size());
  if (!interactive()) {
    consoleLine(CaptionChoice, "-> " + IntToText(current));
    return true;
  }
  for (;;) {
    std::fprintf(stderr, "[%d] ", current);
    std::fflush(stderr);
    std::string line;
    if (!readLine(line)) return false;
    if (trimmed(line).empty()) return true;
    long long k = 0;
    if (ParseTypedInteger(line, k) && k >= 1 && k <= n) {
      current = static_cast<int>(k);
      return true;
    }
  }
}

bool ConsoleUi::yesNoDialog(const std::string& prompt, char& answer) {
  const char* yes = "Oui";
  const char* no = "Non";
  consoleLine(CaptionData, prompt);
  if (!interactive()) {
    consoleLine(CaptionData, std::string("-> ") + (answer == 'N' ? no : yes));
    return true;
  }
  for (;;) {
    std::fprintf(stderr, "(O/N) [%s] ", answer == 'N' ? no : yes);
    std::fflush(stderr);
    std::string line;
    if (!readLine(line)) return false;
    switch (yesNoLetter(line)) {
      case 0: return true;
      case 1: answer = 'J'; return true;
      case -1: answer = 'N'; return true;
      default: break;
    }
  }
}

bool ConsoleUi::textDialog(const std::string& prompt, int maxLength, std::string& text) {
  consoleLine(CaptionData, prompt);
  if (!interactive()) {
    consoleLine(CaptionData, "-> " + text);
    return true;
  }
  std::fputs(("[" + Cp850ToUtf8(text) + "] ").c_str(), stderr);
  std::fflush(stderr);
  std::string line;
  if (!readLine(line)) return false;
  if (!line.empty()) text = maxLength > 0 ? line.substr(0, maxLength) : line;
  return true;
}

int ConsoleUi::yesNoCancelBox(const std::string& caption, const std::string& question) {
  consoleLine(caption, question);
  if (!interactive()) {
    // Nobody can answer: take Yes, as the Enter key on the box would.
    consoleLine(caption, "-> Oui");
    return 1;
  }
  for (;;) {
    std::fputs("(O/N/A) [O] ", stderr);
    std::fflush(stderr);
    std::string line;
    if (!readLine(line)) return -1;
    std::string t(trimmed(line));
    if (!t.empty() && (t[0] == 'A' || t[0] == 'a' || t[0] == 'C' || t[0] == 'c')) return -1;
    switch (yesNoLetter(t)) {
      case 0:
      case 1: return 1;
      case -1: return 0;
      default: break;
    }
  }
}

void ConsoleUi::messageBox(const std::string& caption, const std::string& text) {
  consoleLine(caption, text);
}

std::string ConsoleUi::openFileDialog(const std::string&, const std::string&) { return ""; }
std::string ConsoleUi::saveFileDialog(const std::string&, const std::string&) { return ""; }
void ConsoleUi::setWaitCursor(bool) {}

void ConsoleUi::beep() {
  std::fputc('\a', stderr);
  std::fflush(stderr);
}

void ConsoleUi::progressBegin(const std::string& what) {
  if (progressDepth_++ > 0) return;
  progressWhat_ = what;
  shownPercent_ = -1;
  progressStart_ = std::chrono::steady_clock::now();
}

bool ConsoleUi::progressStep(int percent) {
  if (progressDepth_ == 0 || percent == shownPercent_ || !isatty(STDERR_FILENO)) return true;
  if (shownPercent_ < 0 && std::chrono::steady_clock::now() - progressStart_ < progressDelay) return true;
  shownPercent_ = percent;
  std::fprintf(stderr, "\r%s %s %3d %%", ProgramTitle, Cp850ToUtf8(progressWhat_).c_str(), percent);
  std::fflush(stderr);
  progressLineOpen = true;
  return true;
}

void ConsoleUi::progressEnd() {
  if (progressDepth_ == 0 || --progressDepth_ > 0) return;
  endProgressLine();
  std::fflush(stderr);
}

// ---- Scripted form ----

std::vector<std::string> ScriptedUi::boxTexts() const {
  std::vector<std::string> out;
  for (const Record& r : records)
    if (r.kind == "box") out.push_back(r.text);
  return out;
}

bool ScriptedUi::next(Answer& a) {
  if (answers.empty()) return false;
  a = answers.front();
  answers.pop_front();
  return !a.cancel;
}

bool ScriptedUi::choiceDialog(const std::string& prompt, const std::vector<std::string>& choices,
                              int& current) {
  records.push_back({"choice", CaptionChoice, prompt, HelpNumber, choices, IntToText(current)});
  Answer a;
  if (!next(a)) return false;
  if (a.number >= 1 && a.number <= static_cast<int>(choices.size())) current = a.number;
  return true;
}

bool ScriptedUi::yesNoDialog(const std::string& prompt, char& answer) {
  records.push_back({"yesno", CaptionData, prompt, HelpNumber, {}, std::string(1, answer)});
  Answer a;
  if (!next(a)) return false;
  answer = a.yesNo;
  return true;
}

bool ScriptedUi::textDialog(const std::string& prompt, int, std::string& text) {
  records.push_back({"text", CaptionData, prompt, HelpNumber, {}, text});
  Answer a;
  if (!next(a)) return false;
  text = a.text;
  return true;
}

int ScriptedUi::yesNoCancelBox(const std::string& caption, const std::string& question) {
  records.push_back({"yesnocancel", caption, question, HelpNumber, {}, ""});
  Answer a;
  if (!next(a)) return -1;
  return a.number > 0 ? 1 : a.number < 0 ? -1 : 0;
}

void ScriptedUi::messageBox(const std::string& caption, const std::string& text) {
  records.push_back({"box", caption, text, HelpNumber, {}, ""});
}

std::string ScriptedUi::openFileDialog(const std::string& filter, const std::string& startDir) {
  records.push_back({"open", "", filter, HelpNumber, {startDir}, ""});
  Answer a;
  return next(a) ? a.text : "";
}

std::string ScriptedUi::saveFileDialog(const std::string& filter, const std::string& startDir) {
  records.push_back({"save", "", filter, HelpNumber, {startDir}, ""});
  Answer a;
  return next(a) ? a.text : "";
}

void ScriptedUi::setWaitCursor(bool on) { waitCursorOn = on ? 1 : 0; }

void ScriptedUi::beep() { ++beeps; }

void ScriptedUi::progressBegin(const std::string& what) {
  progressNames.push_back(what);
  ++progressOpen;
}

bool ScriptedUi::progressStep(int percent) {
  progressSteps.push_back(percent);
  return percent < cancelAtPercent;
}

void ScriptedUi::progressEnd() { --progressOpen; }

// ---- Progress ----

namespace {
bool workCancelled = false;
}  // namespace

bool WorkCancelled() { return workCancelled; }

ProgressReport::ProgressReport(const std::string& what) {
  workCancelled = false;
  Ui().progressBegin(what);
}

ProgressReport::~ProgressReport() { Ui().progressEnd(); }

bool ProgressReport::Step(uint64_t done, uint64_t total) {
  if (cancelled_) return false;
  const int percent = total == 0 ? 100 : static_cast<int>(std::min<uint64_t>(done, total) * 100 / total);
  if (Ui().progressStep(percent)) return true;
  cancelled_ = workCancelled = true;
  Session.AbortFlag = true;
  return false;
}

}  // namespace planox
