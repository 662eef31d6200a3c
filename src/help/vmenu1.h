// The general menu caption table shared by the family of programs: module
// variables overwritten by one fill operation per language. The texts are
// UTF-8 (what the Qt menu shows), the ampersand marks the accelerator.
// They hold the French texts from program start.
#pragma once

#include <array>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace planox {

// Language codes of the fill operations.
inline constexpr int LanguageGerman = 1;
inline constexpr int LanguageEnglish = 2;
inline constexpr int LanguageFrench = 3;
inline constexpr int LanguageKorean = 8;

namespace vmenu1 {
extern std::string MenuWord;
extern std::string File;
extern std::string Open;
extern std::string SaveAs;
extern std::string Exit;
extern std::string Print;
extern std::string View;
extern std::string Help;
extern std::string HelpPictures;
extern std::string Homepage;
extern std::string EMail;
extern std::string LanguageWord;
}  // namespace vmenu1

// Overwrites the general captions with the texts of the language (1, 2, 3
// or 8); any other code leaves them as they are.
void FillGeneralCaptions(int language);

// One caption variable and its texts in German, English, French and Korean.
struct CaptionRow {
  std::string* caption;
  std::array<const char*, 4> texts;
};
// Sets every row's caption to its text in the language (1, 2, 3 or 8); any
// other code leaves them as they are.
void FillCaptions(std::span<const CaptionRow> rows, int language);

// The caption of the language submenu: Language word, a blank, Menu word.
std::string LanguageMenuCaption();

// Each main-menu item whose caption follows the language, by its object
// name, with its caption from the current contents of both tables, in the
// order the captions are applied. Items not listed keep their own text.
std::vector<std::pair<std::string, std::string>> MenuCaptionTable();

}  // namespace planox
