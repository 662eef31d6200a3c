// The menu caption tables in the four languages.
#include <map>

#include "help/vmenu1.h"
#include "help/vmenuhp.h"
#include "support/testsupport.h"

namespace planox {
namespace {

using Menus = test::Defaults;

using Captions = std::map<std::string, std::string>;

Captions Current() {
  Captions c;
  for (const auto& [item, caption] : MenuCaptionTable()) c[item] = caption;
  return c;
}

void SwitchTo(int language) {
  FillGeneralCaptions(language);
  FillProgramCaptions(language);
}

const Captions kFrench = {
    {"mi_file", "&Fichier"}, {"mi_fileOpen", "&Ouvrir..."}, {"mi_FileOpenLimit", "Ouvrir &Limit"},
    {"mi_FileSaveAs", "En&registrer sous..."}, {"mi_print", "I&mprimer..."}, {"mi_fileexit", "&Quitter"},
    {"mi_View", "&Présentation"}, {"mi_ViewClear", "S&upprimer"}, {"mi_ViewRedraw", "&Nouveau dessin"},
    {"mi_ViewRegen", "&Annuler"}, {"mi_convert", "&Convertisseur"}, {"mi_convertCurFile", "&Fichier actuel"},
    {"mi_ConvertnewFile", "&Nouveau fichier"}, {"mi_options", "&Options"}, {"mi_optionsColours", "Cou&leurs"},
    {"mi_help", "&Aide"}, {"Mi_Hilfebild", "&Aide-Image"}, {"mi_helpwww", "&QUORVEL Homepage"},
    {"mi_helpemail", "&E-Mail to QUORVEL"}, {"mi_helplanguage", "&Language Menu"},
};

const Captions kGerman = {
    {"mi_file", "&Datei"}, {"mi_fileOpen", "Ö&ffnen..."}, {"mi_FileOpenLimit", "Öffnen &Limit"},
    {"mi_FileSaveAs", "Speichern &Unter..."}, {"mi_print", "&Drucken..."}, {"mi_fileexit", "&Beenden"},
    {"mi_View", "&Ansicht"}, {"mi_ViewClear", "&Löschen"}, {"mi_ViewRedraw", "&Neu Zeichnen"},
    {"mi_ViewRegen", "&Regen"}, {"mi_convert", "&Konverter"}, {"mi_convertCurFile", "&Aktuelle Datei"},
    {"mi_ConvertnewFile", "&Neue Datei"}, {"mi_options", "&Einstellungen"}, {"mi_optionsColours", "&Farben"},
    {"mi_help", "&Hilfe"}, {"Mi_Hilfebild", "&Hilfebild"}, {"mi_helpwww", "&QUORVEL Homepage"},
    {"mi_helpemail", "&E-Mail an QUORVEL"}, {"mi_helplanguage", "&Sprache Menü"},
};

const Captions kEnglish = {
    {"mi_file", "&File"}, {"mi_fileOpen", "&Open..."}, {"mi_FileOpenLimit", "Open &Limit"},
    {"mi_FileSaveAs", "Save &As..."}, {"mi_print", "&Print..."}, {"mi_fileexit", "E&xit"},
    {"mi_View", "&View"}, {"mi_ViewClear", "&Delete"}, {"mi_ViewRedraw", "Re&draw"},
    {"mi_ViewRegen", "&Regen"}, {"mi_convert", "&Convert"}, {"mi_convertCurFile", "Current &File"},
    {"mi_ConvertnewFile", "&New File"}, {"mi_options", "&Options"}, {"mi_optionsColours", "&Colours"},
    {"mi_help", "&Help"}, {"Mi_Hilfebild", "&Auxiliary images"}, {"mi_helpwww", "&QUORVEL Homepage"},
    {"mi_helpemail", "&E-Mail to QUORVEL"}, {"mi_helplanguage", "&Language Menu"},
};

const Captions kKorean = {
    {"mi_file", "파일(&F)"}, {"mi_fileOpen", "열기(&O)"}, {"mi_FileOpenLimit", "열기_Limit(&L)"},
    {"mi_FileSaveAs", "다른이름으로 저장(&A)"}, {"mi_print", "프린트(&P)"}, {"mi_fileexit", "끝내기(&x)"},
    {"mi_View", "보기(&V)"}, {"mi_ViewClear", "삭제(&D)"}, {"mi_ViewRedraw", "다시그리기(&d)"},
    {"mi_ViewRegen", "다시생성하기(&R)"}, {"mi_convert", "변환(&C)"}, {"mi_convertCurFile", "현재의파일(&F)"},
    {"mi_ConvertnewFile", "새로운파일(&N)"}, {"mi_options", "옵션(&O)"}, {"mi_optionsColours", "칼라(&C)"},
    {"mi_help", "도움말(&H)"}, {"Mi_Hilfebild", "도움이미지(&A)"}, {"mi_helpwww", "QUORVEL 홈페이지(&H)"},
    {"mi_helpemail", "QUORVEL 이메일(&E)"}, {"mi_helplanguage", "언어(&L) 메뉴"},
};

// Every test starts from the program's start state.
TEST_F(Menus, StartInFrench) {
  EXPECT_EQ(Current(), kFrench);
  EXPECT_EQ(LanguageMenuCaption(), "&Language Menu");
}

TEST_F(Menus, EveryLanguageAndBack) {
  SwitchTo(LanguageGerman);
  EXPECT_EQ(Current(), kGerman);
  EXPECT_EQ(LanguageMenuCaption(), "&Sprache Menü");
  SwitchTo(LanguageKorean);
  EXPECT_EQ(Current(), kKorean);
  SwitchTo(LanguageEnglish);
  EXPECT_EQ(Current(), kEnglish);
  SwitchTo(LanguageFrench);
  EXPECT_EQ(Current(), kFrench);
  EXPECT_EQ(vmenuhp::Regen, "&Annuler");
  EXPECT_EQ(vmenuhp::Redraw, "&Nouveau dessin");
}

TEST_F(Menus, TableOrderAndUnknownCodes) {
  auto table = MenuCaptionTable();
  ASSERT_EQ(table.size(), 20u);
  EXPECT_EQ(table.front().first, "mi_file");
  EXPECT_EQ(table[2].first, "mi_FileOpenLimit");
  EXPECT_EQ(table.back().first, "mi_helplanguage");
  SwitchTo(LanguageEnglish);
  SwitchTo(5);  // no such language: nothing changes
  EXPECT_EQ(Current(), kEnglish);
  SwitchTo(LanguageFrench);
}

}  // namespace
}  // namespace planox
