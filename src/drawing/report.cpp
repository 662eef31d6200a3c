#include "drawing/report.h"

#include "base/prompts.h"
#include "base/session.h"
#include "base/textconv.h"
#include "drawing/dxfin.h"
#include "drawing/dxfinvar.h"
#include "drawing/notread.h"

namespace planox {

namespace {

ConversionReport current;

// "1 texte" / "2 textes": the count and the form that goes with it
// (code page 850).
std::string counted(long long n, const char* one, const char* many) {
  return IntToText(n) + " " + (n == 1 ? one : many);
}

}  // namespace

long long ConversionReport::totalLost() const {
  long long n = 0;
  for (long long v : lost) n += v;
  return n;
}

const ConversionReport& Report() { return current; }
void ClearReport() { current = ConversionReport{}; }
void CountWritten() { ++current.written; }
void CountLoss(Loss cause, long long n) { current.lost[static_cast<int>(cause)] += n; }

std::string ReportText(const ConversionReport& r) {
  std::string text = r.written == 0 ? "aucun \x82l\x82ment de dessin \x82" "crit !"
                                    : counted(r.written, "\x82l\x82ment de dessin \x82" "crit",
                                              "\x82l\x82ments de dessin \x82" "crits");
  if (r.totalLost() == 0) return text;
  std::string left;
  auto add = [&](Loss cause, const char* one, const char* many) {
    const long long n = r.count(cause);
    if (n == 0) return;
    if (!left.empty()) left += ", ";
    left += counted(n, one, many);
    if (cause == Loss::UnreadType) {
      std::string types;
      for (const auto& [name, count] : EntitiesNotRead)
        types += (types.empty() ? "" : " ") + name + " " + IntToText(count);
      left += " (" + types + ")";
    }
  };
  add(Loss::UnreadType, "entit\x82 d'un type non lu", "entit\x82s de types non lus");
  add(Loss::LayerOff, "sur un calque \x82teint", "sur des calques \x82teints");
  add(Loss::NoPen, "d'une couleur sans plume", "de couleurs sans plume");
  add(Loss::Text, "texte sans commande texte de la cible", "textes sans commande texte de la cible");
  add(Loss::UndefinedBlock, "insertion d'un bloc non d\x82" "fini", "insertions de blocs non d\x82" "finis");
  add(Loss::TooDeep, "insertion trop imbriqu\x82" "e", "insertions trop imbriqu\x82" "es");
  add(Loss::NotFinite, "valeur hors limites", "valeurs hors limites");
  return text + " ; omis : " + left;
}

void ShowReport(const std::string& lead) {
  const std::string text = lead + ReportText(current);
  if (current.written == 0)
    ShowTitledBox("Attention : ", text);
  else
    ShowInfo(text);
}

bool ConvertDrawing() {
  ReadDrawing(ReadForConversion);
  return !Session.AbortFlag;
}

}  // namespace planox
