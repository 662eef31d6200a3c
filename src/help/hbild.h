// The help-picture browser: the pictures of the picture index, drawn in the
// graphics window on request, and the upkeep of the index (add, delete,
// change, insert) and the printing of a picture on an HP-GL/2 printer.
#pragma once

#include <string>
#include <vector>

namespace planox {

// The picture index: one line per picture, "name","description".
std::string PictureIndexFileName();
struct PictureIndexLine {
  std::string name, description;
};
// Reads at most 130 lines; a field that begins with anything but a
// quotation mark is reported ("Fichier DBH erreur") and reading goes on.
std::vector<PictureIndexLine> ReadPictureIndex(const std::string& fileName);
std::string PictureIndexText(const PictureIndexLine& l);  // the line as written

// Fills ChoiceList with the pictures ("name    : description") and the five
// action entries; returns the number of pictures.
int FillPictureList(const std::vector<PictureIndexLine>& lines);

// The window TForm_hilfebild (installed by the Qt layer). Its list holds the
// pictures followed by the five action entries (choosing one of those
// starts the action); one entry is selected (1-based, 0 none). It tells
// what the user did.
struct PictureWindowAnswer {
  bool ok = false;    // OK closes the browser
  int selected = 0;   // 1-based entry of the list
  int action = 0;     // 0 show, 1 new, 2 insert, 3 delete, 9 change
};
using PictureWindow = PictureWindowAnswer (*)(const std::vector<std::string>& entries, int pictures,
                                              int selected);
void SetPictureWindow(PictureWindow window);

// Help > Aide-Image.
void ShowHelpPictures();

}  // namespace planox
