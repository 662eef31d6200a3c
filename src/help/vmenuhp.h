// The caption table of this program's own menu commands: module variables
// overwritten by one fill operation per language (UTF-8, French from
// program start).
#pragma once

#include <string>

namespace planox {

namespace vmenuhp {
extern std::string OpenLimit;
extern std::string Redraw;
extern std::string Regen;
extern std::string Options;
extern std::string Convert;
extern std::string CurrentFile;
extern std::string NewFile;
extern std::string Clear;
extern std::string Colours;
}  // namespace vmenuhp

// Overwrites the program captions with the texts of the language (1, 2, 3
// or 8); any other code leaves them as they are.
void FillProgramCaptions(int language);

}  // namespace planox
