#include "help/vmenuhp.h"

#include "help/vmenu1.h"

namespace planox {

namespace vmenuhp {
// Filled with the French texts at program start (below).
std::string OpenLimit, Redraw, Regen, Options, Convert, CurrentFile, NewFile, Clear, Colours;
}  // namespace vmenuhp

namespace {

using namespace vmenuhp;

// Each caption and its texts in German, English, French and Korean.
const CaptionRow kProgramCaptions[] = {
    {&OpenLimit, {"Öffnen &Limit", "Open &Limit", "Ouvrir &Limit", "열기_Limit(&L)"}},
    {&Redraw, {"&Neu Zeichnen", "Re&draw", "&Nouveau dessin", "다시그리기(&d)"}},
    {&Regen, {"&Regen", "&Regen", "&Annuler", "다시생성하기(&R)"}},
    {&Options, {"&Einstellungen", "&Options", "&Options", "옵션(&O)"}},
    {&Convert, {"&Konverter", "&Convert", "&Convertisseur", "변환(&C)"}},
    {&CurrentFile, {"&Aktuelle Datei", "Current &File", "&Fichier actuel", "현재의파일(&F)"}},
    {&NewFile, {"&Neue Datei", "&New File", "&Nouveau fichier", "새로운파일(&N)"}},
    {&Clear, {"&Löschen", "&Delete", "S&upprimer", "삭제(&D)"}},
    {&Colours, {"&Farben", "&Colours", "Cou&leurs", "칼라(&C)"}},
};

const bool kFrenchAtStart = (FillCaptions(kProgramCaptions, LanguageFrench), true);

}  // namespace

void FillProgramCaptions(int language) { FillCaptions(kProgramCaptions, language); }

}  // namespace planox
