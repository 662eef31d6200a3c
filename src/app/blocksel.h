// View > Blocks: the user picks one block definition of the drawing last
// read, and the block is shown alone, fitted into the graphics window. The
// block is drawn from its work file, so this works between a read of the
// drawing and the next one.
#pragma once

namespace planox {

class QuorGraf;

// The block chosen last (1-based); offered first the next time.
extern int SelectedBlock;

// The most names the choice offers.
inline constexpr int MaxBlockChoices = 135;

void SelectBlock(QuorGraf& quor);

}  // namespace planox
