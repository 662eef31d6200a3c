// The processor's vector registers between libraries. Some libraries (the
// Qt GUI start-up among them) return with the upper halves of the 256-bit
// registers marked in use; every later 128-bit instruction then pays a
// transition penalty, which slows the reader and the replay to half speed
// and worse. Clearing that state costs one instruction.
#pragma once

namespace planox {

// Marks the upper halves of the vector registers unused, where the
// processor has them; does nothing elsewhere.
void ClearUpperVectorState();

}  // namespace planox
