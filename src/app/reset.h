// The start state of the whole program in one call.
#pragma once

namespace planox {

// Puts every module back into the state it has when the program starts:
// session and settings, the prompts' help number and choice list, the
// numeric error log, the drawing model, the reader's pair and block work
// files, the HP-GL picture state and the shape font, the converter choices,
// the DXF target's layer mode and the Garmin clock, the screen-size hook,
// the menu captions (French) and the block selection. Every test fixture starts
// from it.
void ResetProgramState();

}  // namespace planox
