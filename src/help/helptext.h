// Help texts and where the help files are. Every prompt's two help buttons
// show the entry of the current help number: its text in a message box,
// its picture (an HP-GL file) in the graphics window.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "base/textfile.h"

namespace planox {

class QuorGraf;

// A help file read line by line through the one line reader (CR LF, LF or
// CR line ends, a regular file only). A line keeps at most MaxLength bytes;
// the rest of a longer line is passed over, and a line beyond the reader's
// limit ends the file, so a binary or huge file ends quickly.
class HelpLines {
 public:
  static constexpr size_t MaxLength = 4096;
  explicit HelpLines(const std::string& name) { in_.Open(name); }
  bool isOpen() const { return in_.IsOpen(); }
  bool next(std::string& line) { return ReadLimitedLine(in_, line, MaxLength); }  // false at the end

 private:
  TextReader in_;
};

// Puts text in target's place through a new file beside it (base/fileio.h).
// False, with the failure reported, when that fails; the old file stays.
bool ReplaceHelpFile(const std::string& target, std::string_view text);

// The directory (with separator) the help files are read from: PltDir when
// it holds any of them, otherwise the help folder installed with the
// program, next to its shape font, when there is one.
std::string HelpDirectory();
// The installed help folder ("" when there is none).
std::string InstalledHelpDirectory();

// The file of help number n: the family file below 4000, the program's own
// file from 4000.
std::string HelpFileName(int n);

struct HelpEntry {
  std::array<std::string, 5> texts;
  std::string picture;          // "" when the entry names none
  bool found = false;           // false: slot 1 holds the message why
  bool endedAtHeader = false;   // the entry ended at the next entry's header
};
// Looks up help number n in the help file.
HelpEntry ReadHelpEntry(const std::string& fileName, int n);

// The five texts joined, each followed by a blank.
std::string HelpMessage(const HelpEntry& e);

// kind 0: text and picture; 1: the text only; 2: the picture only.
// n = 0 means the current HelpNumber.
void ShowHelp(int n, int kind);

// The graphics window help pictures are drawn in (set by the main window),
// and the hooks that connect the prompts' help buttons to ShowHelp.
void SetHelpGraphics(QuorGraf* quor);
QuorGraf* HelpGraphics();
void InstallHelpHooks();

// Draws a picture file in the help world of 160 x 120.
void ShowHelpPictureFile(const std::string& fileName);

}  // namespace planox
