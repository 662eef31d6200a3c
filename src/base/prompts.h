// Prompts, message boxes, file choice and the wait cursor, and the failure
// convention that goes with them: an operation that fails or is cancelled
// reports (while Session.ShowErrors is on) and sets Session.AbortFlag; the
// caller tests the flag after each step and returns.
//
// Everything reaches the user through one seam, UserInterface, with three
// implementations: the Qt dialogs (app/dialogs), the console form for batch
// runs and machines without a display (ConsoleUi) and a scripted one for
// tests (ScriptedUi). Texts on both sides of the seam are code page 850.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

namespace planox {

// The number of the help text and picture that belong to the next prompt.
extern int HelpNumber;
// The choice texts that the caller fills before AskChoice.
extern std::vector<std::string> ChoiceList;

// Message box kinds.
inline constexpr int BoxError = 12;
inline constexpr int BoxHelp = 3;
inline constexpr int BoxInfo = 0;

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // The four modal dialogs. Each returns false when the user cancelled
  // (Escape or "Annuler"); the value argument is then left as it was.
  // choices: a list dialog for more than 7 entries, a radio dialog else;
  // current is 1-based.
  virtual bool choiceDialog(const std::string& prompt, const std::vector<std::string>& choices, int& current) = 0;
  virtual bool yesNoDialog(const std::string& prompt, char& answer) = 0;  // 'J' / 'N'
  virtual bool textDialog(const std::string& prompt, int maxLength, std::string& text) = 0;
  // Yes 1, No 0, Cancel -1.
  virtual int yesNoCancelBox(const std::string& caption, const std::string& question) = 0;
  virtual void messageBox(const std::string& caption, const std::string& text) = 0;
  // The open and save dialogs: the chosen full name, empty on Cancel.
  virtual std::string openFileDialog(const std::string& filter, const std::string& startDir) = 0;
  virtual std::string saveFileDialog(const std::string& filter, const std::string& startDir) = 0;
  virtual void setWaitCursor(bool on) = 0;
  virtual void beep() = 0;
  // Progress of a long piece of work (a read, a print): Begin names it, Step
  // gives the share done in percent and returns false once the user asked
  // to cancel, End closes it. Begin and End nest; the outermost pair owns
  // what is shown. The forms show nothing for work that ends quickly.
  virtual void progressBegin(const std::string& what) = 0;
  virtual bool progressStep(int percent) = 0;
  virtual void progressEnd() = 0;
};

// The interface in use (a ConsoleUi on standard error until one is set).
UserInterface& Ui();
void SetUi(UserInterface* ui);  // nullptr restores the console form

// Help buttons of the prompts call these; they do nothing until help
// texts and pictures are installed.
using HelpHook = void (*)(int helpNumber);
void SetHelpHooks(HelpHook text, HelpHook picture);
void ShowHelpText(int helpNumber);
void ShowHelpPicture(int helpNumber);

// Prompts: each returns with AbortFlag set when the user cancels and then
// leaves the caller's value unchanged.
int AskChoice(const std::string& prompt, int n, int current);
char AskYesNo(const std::string& prompt, char current);
bool AskYesNoBool(const std::string& prompt, bool current);
std::string AskText(const std::string& prompt, int maxLength, const std::string& current);
double AskReal(const std::string& prompt, double current, double low, double high);
long long AskInteger(const std::string& prompt, long long current, long long a, long long b);
bool AskYesNoCancel(const std::string& question);

// Messages.
void ShowBox(const std::string& text, int kind);
void ShowError(const std::string& text);
void ReportError(const std::string& text);
void ShowInfo(const std::string& text);
void ShowTitledBox(const std::string& caption, const std::string& text);

// Guarded text-file operations: each sets AbortFlag and reports on failure.
bool GuardedRewrite(std::FILE*& f, const std::string& name);
void GuardedWriteLine(std::FILE* f, const std::string& line, const char* lineEnd = "\r\n");
void GuardedClose(std::FILE*& f);
// Sets AbortFlag and reports a failed write with the guarded operations'
// texts: "disquette pleine" when err says the disk is full, else text.
void ReportIoFailure(int err, const std::string& text);
void CheckInputFile(const std::string& name);
void CheckOutputFile(const std::string& name);
void SetOverwriteConfirmation(bool on);

// File choice. Returns the chosen directory (with separator) and sets name
// to the full name or, with nameOnly, to the name without directory and
// extension; recordExtension also stores the extension (at most 3
// characters) in Session.FileExtension. Cancel sets AbortFlag.
std::string ChooseFile(const std::string& pattern, const std::string& startDir, std::string& name,
                       bool nameOnly, bool recordExtension);

void WaitCursorOn();
void WaitCursorOff();

// The progress of one piece of work through Ui(), from construction to
// destruction. Step reports done of total; when the user cancels it sets
// AbortFlag (as every cancel does) and returns false.
class ProgressReport {
 public:
  explicit ProgressReport(const std::string& what);
  ~ProgressReport();
  ProgressReport(const ProgressReport&) = delete;
  ProgressReport& operator=(const ProgressReport&) = delete;
  bool Step(uint64_t done, uint64_t total);

 private:
  bool cancelled_ = false;
};

// True when the user cancelled the last piece of work that showed its
// progress (false again once the next one begins).
bool WorkCancelled();

// How long work runs before its progress is shown.
inline constexpr std::chrono::milliseconds ProgressDelay{500};

// The main window title: program title, "  -  " and the current file.
std::string TitleText();

// Console form: messages as one line on standard error (caption, a blank,
// text); a question reads a line from standard input when that is a
// terminal and otherwise takes its preset answer at once.
class ConsoleUi : public UserInterface {
 public:
  bool choiceDialog(const std::string& prompt, const std::vector<std::string>& choices, int& current) override;
  bool yesNoDialog(const std::string& prompt, char& answer) override;
  bool textDialog(const std::string& prompt, int maxLength, std::string& text) override;
  int yesNoCancelBox(const std::string& caption, const std::string& question) override;
  void messageBox(const std::string& caption, const std::string& text) override;
  std::string openFileDialog(const std::string& filter, const std::string& startDir) override;
  std::string saveFileDialog(const std::string& filter, const std::string& startDir) override;
  void setWaitCursor(bool on) override;
  void beep() override;
  // On a terminal: one line on standard error per outermost piece of work
  // that lasts, its name and the percentage, rewritten in place.
  void progressBegin(const std::string& what) override;
  bool progressStep(int percent) override;
  void progressEnd() override;
  std::chrono::milliseconds progressDelay = ProgressDelay;

 private:
  int progressDepth_ = 0;
  int shownPercent_ = -1;
  std::string progressWhat_;
  std::chrono::steady_clock::time_point progressStart_;
};

// Scripted form for tests: answers come from a queue, every dialog and box
// is recorded with its caption, text and the HelpNumber at the time.
class ScriptedUi : public UserInterface {
 public:
  struct Record {
    std::string kind;  // "choice", "yesno", "text", "yesnocancel", "box", "open", "save"
    std::string caption;
    std::string text;
    int helpNumber = 0;
    std::vector<std::string> choices;  // "open" and "save": the start directory
    // What the dialog showed preselected: the text, the choice number or
    // "J" / "N".
    std::string preset;
  };
  struct Answer {
    bool cancel = false;
    std::string text;  // text dialogs and file dialogs
    int number = 0;    // choice index, or yes/no/cancel as 1/0/-1
    char yesNo = 'J';
  };

  // Queue helpers.
  void answerText(const std::string& t) { answers.push_back({false, t, 0, 'J'}); }
  void answerChoice(int n) { answers.push_back({false, "", n, 'J'}); }
  void answerYesNo(char c) { answers.push_back({false, "", 0, c}); }
  void answerYesNoCancel(int v) { answers.push_back({false, "", v, 'J'}); }
  void answerCancel() { answers.push_back({true, "", 0, 'J'}); }
  // The texts of the message boxes shown so far.
  std::vector<std::string> boxTexts() const;

  std::deque<Answer> answers;  // an empty queue cancels every dialog
  std::vector<Record> records;
  int beeps = 0;
  int waitCursorOn = 0;  // 1 while the wait cursor is on
  // Every piece of work begun, every percentage stepped; the user cancels
  // at the first step at or above cancelAtPercent.
  std::vector<std::string> progressNames;
  std::vector<int> progressSteps;
  int progressOpen = 0;
  int cancelAtPercent = 1000;

  bool choiceDialog(const std::string& prompt, const std::vector<std::string>& choices, int& current) override;
  bool yesNoDialog(const std::string& prompt, char& answer) override;
  bool textDialog(const std::string& prompt, int maxLength, std::string& text) override;
  int yesNoCancelBox(const std::string& caption, const std::string& question) override;
  void messageBox(const std::string& caption, const std::string& text) override;
  std::string openFileDialog(const std::string& filter, const std::string& startDir) override;
  std::string saveFileDialog(const std::string& filter, const std::string& startDir) override;
  void setWaitCursor(bool on) override;
  void beep() override;
  void progressBegin(const std::string& what) override;
  bool progressStep(int percent) override;
  void progressEnd() override;

 private:
  bool next(Answer& a);
};

}  // namespace planox
