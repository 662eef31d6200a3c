#include "help/hbild.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "base/fileio.h"
#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "convert/channel.h"
#include "help/helptext.h"

namespace planox {

namespace {

PictureWindow pictureWindow = nullptr;

constexpr int MaxIndexLines = 130;

// One quoted field from position p; false when the field does not begin
// with a quotation mark.
bool field(const std::string& line, size_t& p, std::string& value) {
  value.clear();
  if (p >= line.size()) return true;
  if (line[p] != '"') return false;
  size_t end = line.find('"', p + 1);
  if (end == std::string::npos) end = line.size();
  value = line.substr(p + 1, end - p - 1);
  p = std::min(line.size(), end + 1);
  return true;
}

// The index without line `drop` and with `insert` before line `before`
// (both 1-based, 0 for none; before = N + 1 appends).
bool rewriteIndex(const std::string& file, const std::vector<PictureIndexLine>& lines, int drop,
                  const PictureIndexLine* insert, int before) {
  std::string text;
  const int n = static_cast<int>(lines.size());
  for (int k = 1; k <= n + 1; ++k) {
    if (insert && k == before) text += PictureIndexText(*insert) + "\r\n";
    if (k <= n && k != drop) text += PictureIndexText(lines[k - 1]) + "\r\n";
  }
  return ReplaceHelpFile(file, text);
}

// The picture name of a list entry: its first 8 characters without blanks,
// in lower case.
std::string pictureName(int k) {
  if (k < 1 || k > static_cast<int>(ChoiceList.size())) return "";
  return LowerText(RemoveBlanks(LeftText(ChoiceList[k - 1], 8)));
}

// A new line: a .plt file of the help folder and its description.
bool askNewLine(const std::string& dir, PictureIndexLine& l) {
  std::string name;
  ChooseFile("*.plt", dir, name, true, false);
  if (Session.AbortFlag) return false;
  HelpNumber = 2310;
  std::string description = AskText("Information de l'Aide-Image", 50, "");
  if (Session.AbortFlag) return false;
  l = {LeftText(name, 8), description};
  return true;
}

// The line an action works on: the selected one, or one the user chooses.
int chooseLine(int selected, int n, const std::string& prompt) {
  if (selected >= 1 && selected <= n) return selected;
  return AskChoice(prompt, n, 1);
}

void printPicture(const std::string& file) {
  HelpNumber = 2365;
  const long long port =
      AskInteger("Printer Interface (max = " + IntToText(3) + ", default=1)", 1, 1, 4);
  if (Session.AbortFlag) return;
  HelpNumber = 2370;
  const char laser = AskYesNo("Envoyer la s\x82quence de commande pour imprimante laser HPGL2 ?", 'J');
  if (Session.AbortFlag) return;
  CheckInputFile(file);
  if (Session.AbortFlag) return;
  const int in = OpenRegularFile(file);
  if (in < 0) return;
  OutputChannel port_;
  const uint16_t kept = Settings.LptPort;
  Settings.LptPort = static_cast<uint16_t>(port);
  const bool opened = port_.open(2, "");
  Settings.LptPort = kept;
  bool ok = opened;
  if (ok && laser == 'J') ok = port_.write("\x1b" "E" "\x1b" "%0B");
  char buffer[16384];
  for (ssize_t n; ok && (n = ::read(in, buffer, sizeof buffer)) > 0;) ok = port_.write(std::string_view(buffer, static_cast<size_t>(n)));
  ::close(in);
  if (ok && laser == 'J') ok = port_.write("\x1b%0A\x1b" "E");
  ok = port_.close() && ok;
  if (!ok) {
    Session.AbortFlag = true;
    ReportError("LPT" + IntToText(port) + " : erreur d'acc\x8as au port");
  }
}

}  // namespace

std::string PictureIndexFileName() { return HelpDirectory() + LowerText(ProgramName) + ".dbh"; }

std::vector<PictureIndexLine> ReadPictureIndex(const std::string& fileName) {
  std::vector<PictureIndexLine> lines;
  HelpLines in(fileName);
  std::string line;
  while (static_cast<int>(lines.size()) < MaxIndexLines && in.next(line)) {
    if (TrimText(line).empty()) continue;
    PictureIndexLine l;
    size_t p = 0;
    bool ok = field(line, p, l.name);
    if (ok && p < line.size()) {
      if (line[p] == ',') ++p;
      else ok = false;
      ok = ok && field(line, p, l.description);
    }
    if (!ok) ReportError("Fichier DBH erreur");
    lines.push_back(l);
  }
  return lines;
}

std::string PictureIndexText(const PictureIndexLine& l) {
  return "\"" + l.name + "\",\"" + l.description + "\"";
}

int FillPictureList(const std::vector<PictureIndexLine>& lines) {
  ChoiceList.clear();
  for (const PictureIndexLine& l : lines) ChoiceList.push_back(LeftText(PadRight(LeftText(l.name, 8), 8) + ": " + l.description, 65));
  ChoiceList.push_back("-----  Elargir  -----");
  ChoiceList.push_back("-----  Eteindre  -----");
  ChoiceList.push_back("-----  Modifier  ------");
  ChoiceList.push_back("-----  Ins\x82rer ------");
  ChoiceList.push_back("-----  imprime/tracer HP-GL/2  ------");
  return static_cast<int>(lines.size());
}

void SetPictureWindow(PictureWindow window) { pictureWindow = window; }

void ShowHelpPictures() {
  int current = 0;  // the picture last drawn
  bool first = true;
  for (;;) {
    const std::string index = PictureIndexFileName();
    if (!IsRegularFile(index)) {
      // Without an index any .plt file can be looked at.
      std::string chosen;
      const std::string dir = ChooseFile("*.plt", HelpDirectory(), chosen, false, false);
      if (Session.AbortFlag) break;
      Settings.PltDir = dir;
      ShowHelpPictureFile(chosen);
      if (Session.AbortFlag) break;
      continue;
    }
    const std::vector<PictureIndexLine> lines = ReadPictureIndex(index);
    Session.AbortFlag = false;
    const int n = FillPictureList(lines);
    HelpNumber = 2300;
    int target = 1, selected = current;
    if (first) {
      first = false;
    } else {
      const PictureWindowAnswer a = pictureWindow ? pictureWindow(ChoiceList, n, current) : PictureWindowAnswer{true};
      if (a.ok) {
        Session.AbortFlag = true;
        break;
      }
      selected = a.selected;
      switch (a.action) {
        case 0: target = a.selected; break;
        case 1: target = n + 1; break;
        case 2: target = n + 4; break;
        case 3: target = n + 2; break;
        case 9: target = n + 3; break;
        default: target = 0; break;
      }
    }
    if (target < 1) break;
    const std::string dir = DirectoryPart(index);
    if (target <= n) {
      current = target;
      ShowHelpPictureFile(dir + pictureName(target) + ".plt");
    } else if (target == n + 1) {
      PictureIndexLine l;
      if (askNewLine(dir, l)) rewriteIndex(index, lines, 0, &l, n + 1);
    } else if (target == n + 2) {
      HelpNumber = 2320;
      int k = 0;
      if (selected >= 1 && selected <= n) {
        if (AskYesNo("Eteindre ?", 'J') == 'N' || Session.AbortFlag) break;
        k = selected;
      } else {
        k = AskChoice("S\x82lectionner la ligne \x85 suppr....", n, 1);
      }
      if (!Session.AbortFlag && n > 0) {
        rewriteIndex(index, lines, k, nullptr, 0);
        current = 0;
      }
    } else if (target == n + 3) {
      HelpNumber = 2330;
      const int k = chooseLine(selected, n, "S\x82lectionner la ligne \x85 modifier...");
      if (!Session.AbortFlag && n > 0) {
        HelpNumber = 2340;
        PictureIndexLine l;
        l.name = AskText("Nom du fichier (Sans terminaison .plt)", 8, lines[k - 1].name);
        HelpNumber = 2330;
        if (!Session.AbortFlag)
          l.description = AskText("Information de l'Aide-Image", 50, ChoiceList[k - 1].size() > 10 ? ChoiceList[k - 1].substr(10, 50) : "");
        if (!Session.AbortFlag) rewriteIndex(index, lines, k, &l, k);
      }
    } else if (target == n + 4) {
      HelpNumber = 2350;
      const int k = chooseLine(selected, n, "Ins\x82rer avant chaque ligne ?");
      PictureIndexLine l;
      if (!Session.AbortFlag && askNewLine(dir, l)) rewriteIndex(index, lines, 0, &l, n > 0 ? k : 1);
    } else if (target == n + 5) {
      HelpNumber = 2360;
      const int k = chooseLine(selected, n, "Imprimer quelles images ?");
      if (!Session.AbortFlag && n > 0) printPicture(dir + pictureName(k) + ".plt");
    } else {
      break;
    }
    if (Session.AbortFlag) break;
  }
  Session.AbortFlag = false;
}

}  // namespace planox
