#include "help/vmenu1.h"

#include "help/vmenuhp.h"

namespace planox {

namespace {

struct GeneralTexts {
  const char* menuWord;
  const char* file;
  const char* open;
  const char* saveAs;
  const char* exit;
  const char* print;
  const char* view;
  const char* help;
  const char* helpPictures;
  const char* homepage;
  const char* eMail;
  const char* languageWord;
};

constexpr GeneralTexts kGerman = {
    "Menü", "&Datei", "Ö&ffnen...", "Speichern &Unter...", "&Beenden", "&Drucken...",
    "&Ansicht", "&Hilfe", "&Hilfebild", "&QUORVEL Homepage", "&E-Mail an QUORVEL", "&Sprache",
};
constexpr GeneralTexts kEnglish = {
    "Menu", "&File", "&Open...", "Save &As...", "E&xit", "&Print...",
    "&View", "&Help", "&Auxiliary images", "&QUORVEL Homepage", "&E-Mail to QUORVEL", "&Language",
};
constexpr GeneralTexts kFrench = {
    "Menu", "&Fichier", "&Ouvrir...", "En&registrer sous...", "&Quitter", "I&mprimer...",
    "&Présentation", "&Aide", "&Aide-Image", "&QUORVEL Homepage", "&E-Mail to QUORVEL", "&Language",
};
constexpr GeneralTexts kKorean = {
    "메뉴", "파일(&F)", "열기(&O)", "다른이름으로 저장(&A)", "끝내기(&x)", "프린트(&P)",
    "보기(&V)", "도움말(&H)", "도움이미지(&A)", "QUORVEL 홈페이지(&H)", "QUORVEL 이메일(&E)", "언어(&L)",
};

}  // namespace

namespace vmenu1 {
// Module initialisation: French.
std::string MenuWord = kFrench.menuWord;
std::string File = kFrench.file;
std::string Open = kFrench.open;
std::string SaveAs = kFrench.saveAs;
std::string Exit = kFrench.exit;
std::string Print = kFrench.print;
std::string View = kFrench.view;
std::string Help = kFrench.help;
std::string HelpPictures = kFrench.helpPictures;
std::string Homepage = kFrench.homepage;
std::string EMail = kFrench.eMail;
std::string LanguageWord = kFrench.languageWord;
}  // namespace vmenu1

void FillGeneralCaptions(int language) {
  const GeneralTexts* t = nullptr;
  switch (language) {
    case LanguageGerman: t = &kGerman; break;
    case LanguageEnglish: t = &kEnglish; break;
    case LanguageFrench: t = &kFrench; break;
    case LanguageKorean: t = &kKorean; break;
    default: return;
  }
  using namespace vmenu1;
  MenuWord = t->menuWord;
  File = t->file;
  Open = t->open;
  SaveAs = t->saveAs;
  Exit = t->exit;
  Print = t->print;
  View = t->view;
  Help = t->help;
  HelpPictures = t->helpPictures;
  Homepage = t->homepage;
  EMail = t->eMail;
  LanguageWord = t->languageWord;
}

std::string LanguageMenuCaption() { return vmenu1::LanguageWord + " " + vmenu1::MenuWord; }

std::vector<std::pair<std::string, std::string>> MenuCaptionTable() {
  return {
      {"mi_file", vmenu1::File},
      {"mi_fileOpen", vmenu1::Open},
      {"mi_FileOpenLimit", vmenuhp::OpenLimit},
      {"mi_FileSaveAs", vmenu1::SaveAs},
      {"mi_print", vmenu1::Print},
      {"mi_fileexit", vmenu1::Exit},
      {"mi_View", vmenu1::View},
      {"mi_ViewClear", vmenuhp::Clear},
      {"mi_ViewRedraw", vmenuhp::Redraw},
      {"mi_ViewRegen", vmenuhp::Regen},
      {"mi_convert", vmenuhp::Convert},
      {"mi_convertCurFile", vmenuhp::CurrentFile},
      {"mi_ConvertnewFile", vmenuhp::NewFile},
      {"mi_options", vmenuhp::Options},
      {"mi_optionsColours", vmenuhp::Colours},
      {"mi_help", vmenu1::Help},
      {"Mi_Hilfebild", vmenu1::HelpPictures},
      {"mi_helpwww", vmenu1::Homepage},
      {"mi_helpemail", vmenu1::EMail},
      {"mi_helplanguage", LanguageMenuCaption()},
  };
}

}  // namespace planox
