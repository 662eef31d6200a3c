// The DXF reader and the entity emitters. ReadDrawing reads the current
// drawing file (Session.InPath + DrawingName + "." + FileExtension) from the
// first line to "0"/"EOF" and sends every entity, as it is read, to the
// sink of the read mode: the graphics sink for display, the plot sink for
// conversion, the current block work file inside a block definition, or
// nowhere (header only). Blocks are drawn by replaying their work files
// under an insertion transform.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/textfile.h"
#include "drawing/dxfinvar.h"

namespace planox {

// Texts and names of entities are kept to this many bytes; the rest of a
// longer value is left out.
inline constexpr size_t MaxTextLength = 65536;

// The reader's current group pair and line counter. The value is valid
// until the next pair is read.
extern int32_t GroupCode;
extern std::string_view GroupValue;
extern int32_t LineNumber;
extern std::string SectionName;

void ReadGroupPair();

// mode: ReadHeaderOnly, ReadForConversion, ReadForDisplay or ShowBlock;
// blockName is used by ShowBlock only.
void ReadDrawing(int mode, const std::string& blockName = "");
void ChooseAndReadDrawing(int mode);

// The name of the drawing file ReadDrawing opens: the existing file whose
// name matches case-insensitively when the exact spelling is not there.
std::string DrawingFileName();
// The work file of a block: WorkDir() + "$" + name + ".dx$", with bytes a
// file name cannot safely hold (and "%") written as "%" and their hex code.
std::string BlockFileName(std::string_view storedName);
// Forgets the in-memory copies of the block work files.
void ForgetBlockFiles();

int ScreenColour(int colour);
// A colour number folded into 0..15 for the pen table.
int PenColour(int colour);

// Emitters: mode, layer slot, geometry in drawing units and degrees.
void EmitLine(int mode, int slot, long double x1, long double y1, long double x2, long double y2);
void EmitCircle(int mode, int slot, long double cx, long double cy, long double r);
void EmitArc(int mode, int slot, long double cx, long double cy, long double r, long double start,
             long double end, long double sweep);
void EmitText(int mode, int slot, const std::string& text, long double x, long double y,
              long double height, long double widthFactor, long double rotation,
              long double oblique);
// Corners in outline order.
void EmitSolid(int mode, int slot, const long double (&x)[4], const long double (&y)[4]);

void InsertBlock(int mode, int slot, const std::string& name, long double x, long double y,
                 long double rotation, long double xScale, long double yScale);
void ReplayBlock(int mode, const std::string& name, long double x, long double y,
                 long double rotation, long double xScale, long double yScale);

}  // namespace planox
