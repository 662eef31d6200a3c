#include "help/helperr.h"

#include <algorithm>

#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "base/vektor.h"
#include "help/helptext.h"

namespace planox {

namespace {

ErrorHelpDialog errorHelpDialog = nullptr;

bool sameKey(const std::string& a, const std::string& b) {
  return a.compare(0, ErrorKeyLength, b, 0, ErrorKeyLength) == 0;
}

}  // namespace

std::string ErrorHelpFileName() { return HelpDirectory() + LowerText(ProgramName) + ".err"; }

void SetErrorHelpDialog(ErrorHelpDialog dialog) { errorHelpDialog = dialog; }

void ShowErrorLog() {
  for (const std::string& a : CommandLine())
    if (UpperText(a) == "/NOGUI") return;
  const std::vector<std::string>& log = ErrorLog();
  if (log.empty()) {
    ShowInfo("Aucune erreur dans les calculs");
    return;
  }
  Session.AbortFlag = false;
  const int count = static_cast<int>(log.size());
  ChoiceList.clear();
  for (const std::string& m : log) ChoiceList.push_back(LeftText(m, 65));
  ChoiceList.push_back("Continuer...");
  HelpNumber = 2070;
  int i = Settings.HelpLevel >= 2 ? 1 : count + 1;
  for (;;) {
    HelpNumber = 1210;
    i = AskChoice("S\x82lectionner Message Erreur ou annuler avec ESC", count + 1, i);
    if (Session.AbortFlag || i == count + 1) break;
    ShowErrorHelp(i);
    if (Session.AbortFlag) break;
    if (++i >= count + 1) break;
  }
}

void ShowErrorHelp(int n) {
  const std::vector<std::string>& log = ErrorLog();
  if (n < 1 || n > static_cast<int>(log.size())) return;
  const std::string file = ErrorHelpFileName();
  CheckInputFile(file);
  if (Session.AbortFlag) return;
  const std::string& message = log[n - 1];
  HelpLines in(file);
  std::string line, cause, remedy;
  for (;;) {
    if (!in.next(line)) {
      ShowTitledBox("Message", "Aucune description de l'aide n'est disponible pour ce message d'erreur.");
      return;
    }
    if (sameKey(line, message)) break;
  }
  in.next(cause);
  in.next(remedy);
  if (errorHelpDialog) errorHelpDialog(message, cause, remedy);
  else ShowTitledBox(message, cause + " " + remedy);
}

void SaveErrorHelp(const std::string& message, const std::string& cause, const std::string& remedy) {
  const std::string source = ErrorHelpFileName();
  CheckInputFile(source);
  if (Session.AbortFlag) return;
  HelpLines in(source);
  std::string out, line;
  for (;;) {
    if (!in.next(line)) {
      Ui().messageBox("", message + " not found.");
      return;
    }
    out += line + "\r\n";
    if (sameKey(line, message)) break;
  }
  in.next(line);
  out += cause + "\r\n";
  in.next(line);
  out += remedy + "\r\n";
  while (in.next(line)) out += line + "\r\n";
  ReplaceHelpFile(source, out);
}

}  // namespace planox
