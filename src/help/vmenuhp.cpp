#include "help/vmenuhp.h"

#include "help/vmenu1.h"

namespace planox {

namespace {

struct ProgramTexts {
  const char* openLimit;
  const char* redraw;
  const char* regen;
  const char* options;
  const char* convert;
  const char* currentFile;
  const char* newFile;
  const char* clear;
  const char* colours;
};

constexpr ProgramTexts kGerman = {
    "Öffnen &Limit", "&Neu Zeichnen", "&Regen", "&Einstellungen", "&Konverter",
    "&Aktuelle Datei", "&Neue Datei", "&Löschen", "&Farben",
};
constexpr ProgramTexts kEnglish = {
    "Open &Limit", "Re&draw", "&Regen", "&Options", "&Convert",
    "Current &File", "&New File", "&Delete", "&Colours",
};
constexpr ProgramTexts kFrench = {
    "Ouvrir &Limit", "&Nouveau dessin", "&Annuler", "&Options", "&Convertisseur",
    "&Fichier actuel", "&Nouveau fichier", "S&upprimer", "Cou&leurs",
};
constexpr ProgramTexts kKorean = {
    "열기_Limit(&L)", "다시그리기(&d)", "다시생성하기(&R)", "옵션(&O)", "변환(&C)",
    "현재의파일(&F)", "새로운파일(&N)", "삭제(&D)", "칼라(&C)",
};

}  // namespace

namespace vmenuhp {
// Module initialisation: French.
std::string OpenLimit = kFrench.openLimit;
std::string Redraw = kFrench.redraw;
std::string Regen = kFrench.regen;
std::string Options = kFrench.options;
std::string Convert = kFrench.convert;
std::string CurrentFile = kFrench.currentFile;
std::string NewFile = kFrench.newFile;
std::string Clear = kFrench.clear;
std::string Colours = kFrench.colours;
}  // namespace vmenuhp

void FillProgramCaptions(int language) {
  const ProgramTexts* t = nullptr;
  switch (language) {
    case LanguageGerman: t = &kGerman; break;
    case LanguageEnglish: t = &kEnglish; break;
    case LanguageFrench: t = &kFrench; break;
    case LanguageKorean: t = &kKorean; break;
    default: return;
  }
  using namespace vmenuhp;
  OpenLimit = t->openLimit;
  Redraw = t->redraw;
  Regen = t->regen;
  Options = t->options;
  Convert = t->convert;
  CurrentFile = t->currentFile;
  NewFile = t->newFile;
  Clear = t->clear;
  Colours = t->colours;
}

}  // namespace planox
