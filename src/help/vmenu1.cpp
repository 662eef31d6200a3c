#include "help/vmenu1.h"

#include "help/vmenuhp.h"

namespace planox {

namespace vmenu1 {
// Filled with the French texts at program start (below).
std::string MenuWord, File, Open, SaveAs, Exit, Print, View, Help, HelpPictures, Homepage, EMail,
    LanguageWord;
}  // namespace vmenu1

namespace {

using namespace vmenu1;

// Each caption and its texts in German, English, French and Korean.
const CaptionRow kGeneralCaptions[] = {
    {&MenuWord, {"Menü", "Menu", "Menu", "메뉴"}},
    {&File, {"&Datei", "&File", "&Fichier", "파일(&F)"}},
    {&Open, {"Ö&ffnen...", "&Open...", "&Ouvrir...", "열기(&O)"}},
    {&SaveAs, {"Speichern &Unter...", "Save &As...", "En&registrer sous...", "다른이름으로 저장(&A)"}},
    {&Exit, {"&Beenden", "E&xit", "&Quitter", "끝내기(&x)"}},
    {&Print, {"&Drucken...", "&Print...", "I&mprimer...", "프린트(&P)"}},
    {&View, {"&Ansicht", "&View", "&Présentation", "보기(&V)"}},
    {&Help, {"&Hilfe", "&Help", "&Aide", "도움말(&H)"}},
    {&HelpPictures, {"&Hilfebild", "&Auxiliary images", "&Aide-Image", "도움이미지(&A)"}},
    {&Homepage, {"&QUORVEL Homepage", "&QUORVEL Homepage", "&QUORVEL Homepage", "QUORVEL 홈페이지(&H)"}},
    {&EMail, {"&E-Mail an QUORVEL", "&E-Mail to QUORVEL", "&E-Mail to QUORVEL", "QUORVEL 이메일(&E)"}},
    {&LanguageWord, {"&Sprache", "&Language", "&Language", "언어(&L)"}},
};

const bool kFrenchAtStart = (FillCaptions(kGeneralCaptions, LanguageFrench), true);

}  // namespace

void FillCaptions(std::span<const CaptionRow> rows, int language) {
  int column = 0;
  switch (language) {
    case LanguageGerman: column = 0; break;
    case LanguageEnglish: column = 1; break;
    case LanguageFrench: column = 2; break;
    case LanguageKorean: column = 3; break;
    default: return;
  }
  for (const CaptionRow& r : rows) *r.caption = r.texts[column];
}

void FillGeneralCaptions(int language) { FillCaptions(kGeneralCaptions, language); }

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
