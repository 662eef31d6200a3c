#include "app/usage.h"

#include <cstdio>

#include "base/session.h"
#include "base/textconv.h"

namespace planox {

// Code page 850 bytes of the accented letters (kept as separate literals so
// that a following letter is not read as another hex digit).
#define E_ACUTE "\x82"
#define E_GRAVE "\x8A"
#define DEGREE "\xF8"

std::vector<std::string> UsageLines() {
  const std::string name = ProgramName;
  std::vector<std::string> lines = {
      "ordre:  " + name + " fichier DXF [/Cxxx] [/Mx] [/Xx] [/Yx] [/Dx] [/Bx] [/Fx]",
      "",
      "/C : code cible (HPL,PLT,ART,PS,PL2,SVG)",
      "/M : echelle (0.01..100)  /M* : " E_ACUTE "cran plein",
      "/X : deplacement du point zero x",
      "/Y : deplacement du point zero y",
      "/Q : annulation du r" E_GRAVE "glage automatique sur les coordonn" E_ACUTE "es(0/0)",
      "/D : 1 = seriel    2 = parallele    3 = fichier",
      "/F : nom de fichier cible (sans extension)",
      "/B : facteur largeur de texte      /G : +/- " DEGREE,
      "/P : LPT ou COM port",
      "/T : style de texte lors d'impression Postscript",
      "/V : epaisseur des traits (impimante laser) ou pen no. (plotter)",
      "/R : rotate 90 deg",
      "/T : milling depth  /A: distance tool-surface",
      "/L : CNC-Mode ( 1=DIN 66025  2=SM  3=Deckel  4=drill  5=ISO)",
      "/G : printout to default Windows printer",
      "",
      "exemp.: " + name + " A*.DXF /CHPL /M0.5 /D2 /V1=1 /V2=1 /V3=1",
      "tous les fichiers DXF avec comme premi" E_GRAVE "re lettre \"A\" sont",
      "imprim" E_ACUTE "s par l'imprimante laser HPGL avec comme " E_ACUTE "chelle 1:2",
      "par le port parall" E_GRAVE "le",
  };
  for (std::string& line : lines)
    if (line.size() > UsageLineLength) line.resize(UsageLineLength);
  return lines;
}

std::vector<std::string> LongOptionLines() {
  const std::string name = ProgramName;
  return {
      "",
      "--help, -h      : ce texte",
      "--version       : titre et version",
      "--export F D    : la vue du dessin D dans le fichier F, sans",
      "                  fen" "\x88" "tre ; F en .pdf, .svg ou .png",
      "--size LxH      : taille de l'image .png (pixels)",
      "exemp.: " + name + " --export plan.svg plan.dxf",
  };
}

void PrintUsage() {
  for (auto part : {UsageLines, LongOptionLines})
    for (const auto& line : part()) std::printf("%s\n", Cp850ToUtf8(line).c_str());
  std::fflush(stdout);
}

#undef E_ACUTE
#undef E_GRAVE
#undef DEGREE

}  // namespace planox
