// The IGES conversion target: a fixed 80-column ASCII IGES file with Start,
// Global, Directory Entry, Parameter Data and Terminate sections. Lines are
// entity 110, solids 106 form 11 (a closed 2-D path), arcs and circles 100,
// texts 212 (general note). Directory entries go to the output as the
// entities come; their parameter lines collect in a work file beside the
// output (unnamed at once, so it never outlives the conversion), which is
// appended at the end.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "convert/writer.h"

namespace planox {

// The IGES colour number of pen 1..16.
int IgesColour(int pen);

// One 80-column record: data (cut or padded to 72 columns), section letter,
// sequence number in 7 digits.
std::string IgesRecord(const std::string& data, char section, int sequence);

// A parameter text cut after commas into pieces (views into text) of at
// most 64 characters; empty when a single value is too long for a line.
std::vector<std::string_view> IgesSplitParameters(std::string_view text);

// A text as Hollerith constant: its length in bytes, "H", the text.
std::string IgesHollerith(const std::string& text);

std::unique_ptr<PlotWriter> MakeIgesWriter();  // target 7

}  // namespace planox
