#include "help/helptext.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/fileio.h"
#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "display/hpglin.h"
#include "display/quorgraf.h"

namespace planox {

// ---- Replacing a file ----

bool ReplaceHelpFile(const std::string& target, std::string_view text) {
  if (ReplaceFileContent(target, text)) return true;
  const int err = errno;
  Session.AbortFlag = true;
  ReportError(err == ENOSPC || err == EDQUOT ? "disquette pleine" : "erreur d'\x82" "criture " + target);
  return false;
}

// ---- Where the help files are ----

namespace {

bool holdsHelp(const std::string& dir) {
  const std::string own = LowerText(ProgramName);
  for (const std::string& f : {std::string("quorvel.hlp"), own + ".hlp", own + ".dbh", own + ".err"})
    if (IsRegularFile(dir + f)) return true;
  return false;
}

QuorGraf* helpGraphics = nullptr;

}  // namespace

std::string InstalledHelpDirectory() {
  // The shipped folder itself, not the one of a font the user put in the
  // start directory.
  if (ProgramDataDir().empty()) return "";
  const std::string dir = ProgramDataDir() + "help/";
  struct stat st{};
  return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? dir : "";
}

std::string HelpDirectory() {
  const std::string plt = WithSeparator(Settings.PltDir);
  if (holdsHelp(plt)) return plt;
  const std::string installed = InstalledHelpDirectory();
  return installed.empty() ? plt : installed;
}

std::string HelpFileName(int n) {
  return HelpDirectory() + (n < 4000 ? std::string("quorvel") : LowerText(ProgramName)) + ".hlp";
}

// ---- Entries ----

namespace {

// The number in the first four characters of a line; -1 when they are not
// a number.
int headerNumber(const std::string& line) {
  const std::string head = line.substr(0, 4);
  if (head.empty()) return -1;
  for (char c : head)
    if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
  return std::stoi(head);
}

std::string pictureOf(const std::string& header) {
  auto colon = header.find(':');
  return colon == std::string::npos ? "NULL" : TrimText(header.substr(colon + 1));
}

}  // namespace

HelpEntry ReadHelpEntry(const std::string& fileName, int n) {
  HelpEntry e;
  HelpLines in(fileName);
  if (!in.isOpen()) {
    e.texts[0] = "Fichier " + fileName + " " + "pas trouvers" + " !";
    return e;
  }
  const std::string missing = "Texte d'aide No " + IntToText(n) + ": " + "Aucune Aide est disponible" + ".";
  std::string line, candidate, picture;
  for (;;) {
    if (!in.next(line)) {
      e.texts[0] = missing;
      return e;
    }
    const int number = headerNumber(line);
    picture = pictureOf(line);
    if (number >= 0) {
      if (!in.next(candidate)) {
        e.texts[0] = missing;
        return e;
      }
    } else {
      candidate = line;
    }
    if (number == n) break;
  }
  e.found = true;
  e.picture = picture == "NULL" ? "" : picture;
  e.texts[0] = candidate;
  for (int i = 2; i <= 5; ++i) {
    if (!in.next(line)) break;
    const int k = headerNumber(line);
    if (k < 0) {
      e.texts[i - 1] = line;
    } else if (k % 5 == 0) {
      e.endedAtHeader = true;
      break;
    } else {
      // A numbered continuation line: the text is on the line after it.
      std::string text;
      if (!in.next(text)) break;
      if (k == n + i - 1) e.texts[i - 1] = text;
    }
  }
  return e;
}

std::string HelpMessage(const HelpEntry& e) {
  std::string s;
  for (const std::string& slot : e.texts) s += slot + " ";
  return s;
}

// ---- Showing help ----

void SetHelpGraphics(QuorGraf* quor) { helpGraphics = quor; }
QuorGraf* HelpGraphics() { return helpGraphics; }

void ShowHelpPictureFile(const std::string& fileName) {
  if (!helpGraphics) return;
  helpGraphics->H_Clear();
  helpGraphics->H_Header(0, 0, 160, 120);
  DrawHpglPicture(*helpGraphics, fileName);
  helpGraphics->H_ClearViewPort();
}

void ShowHelp(int n, int kind) {
  if (n == 0) n = HelpNumber;
  const HelpEntry e = ReadHelpEntry(HelpFileName(n), n);
  const std::string caption = std::string("TEXTE D'AIDE") + " " + "No" + "." + IntToText(n);
  // Without an entry there is no picture either: the picture button then
  // shows why, instead of drawing nothing without a word.
  if (kind == 0 || kind == 1 || !e.found) Ui().messageBox(caption, HelpMessage(e));
  if ((kind == 0 || kind == 2) && e.found && helpGraphics) {
    if (e.picture.empty()) {
      helpGraphics->H_Clear();
      helpGraphics->H_Header(0, 0, 160, 120);
      helpGraphics->H_ClearViewPort();
    } else {
      ShowHelpPictureFile(HelpDirectory() + e.picture + ".plt");
    }
  }
  if (!e.endedAtHeader) Session.AbortFlag = false;
}

void InstallHelpHooks() {
  SetHelpHooks([](int n) { ShowHelp(n, 1); }, [](int n) { ShowHelp(n, 2); });
}

}  // namespace planox
