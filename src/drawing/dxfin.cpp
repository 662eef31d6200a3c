// The read of a drawing: the sections and the tables, and the entry
// points. The drawing file is read once from the first group pair to
// "0"/"EOF"; the HEADER gives the extents, LAYER and LTYPE entries fill the
// tables, BLOCK starts a block work file, and every entity goes to its
// reader (dxfin_entities.cpp and the parts it names).
#include <sys/stat.h>

#include <algorithm>
#include <cmath>

#include "base/cpustate.h"
#include "base/prompts.h"
#include "base/session.h"
#include "base/startup.h"
#include "base/textconv.h"
#include "drawing/dxfin_parts.h"
#include "drawing/notread.h"
#include "drawing/report.h"
#include "drawing/sinks.h"

namespace planox {

using namespace dxfin;

namespace {

int layerEntry = 0;
int lineTypeEntry = 0;
bool headerExtentsFound = false;
bool outputStarted = false;
std::string acadVersion, codePage;
TextEncoding encoding = TextEncoding::Cp850;
// The size of the drawing's extents when the read began.
long double drawingSize = 100;

// Code-0 names of the ENTITIES and BLOCKS sections that are no entity.
bool IsStructure(std::string_view v) {
  for (std::string_view k : {"BLOCK", "ENDBLK", "SEQEND", "VERTEX", "ENDSEC", "SECTION", "EOF", "ATTDEF"})
    if (IsKeyword(v, k)) return true;
  return false;
}

// Counts an entity this reader does not read, by its name.
void NoteNotRead(std::string_view name) {
  if (SectionName != "ENTITIES" && SectionName != "BLOCKS") return;
  if (name.empty() || IsStructure(name)) return;
  std::string key = UpperText(name.substr(0, 32));
  if (EntitiesNotRead.size() >= 64 && !EntitiesNotRead.count(key)) key = "...";
  ++EntitiesNotRead[key];
  CountLoss(Loss::UnreadType);
}

// True when the conversion's output file is the drawing file itself: the
// same file on disk, however either name is spelt.
bool OutputIsDrawing(const std::string& drawing) {
  struct stat a {};
  if (::stat(drawing.c_str(), &a) != 0) return false;
  for (const std::string& out :
       CurrentPlotSink().PlotOutputFiles(Settings.SyntaxCode, Settings.DeviceCode)) {
    struct stat b {};
    if (::stat(out.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino) return true;
  }
  return false;
}

void ReadHeaderPoint(long double& x, long double& y) {
  ReadGroupPair();
  if (Session.AbortFlag) return;
  if (GroupCode == 10) x = GroupValueToReal(RemoveBlanks(GroupValue));
  ReadGroupPair();
  if (Session.AbortFlag) return;
  if (GroupCode == 20) y = GroupValueToReal(RemoveBlanks(GroupValue));
}

// The HEADER section; true when the read is complete after it.
bool HeaderLoop(int mode) {
  Extents& e = Session.DrawingExtents;
  Extents given = e;  // as the header gives them
  do {
    ReadGroupPair();
    if (Session.AbortFlag) return false;
    if (IsKeyword(GroupValue, "$LIMMAX")) {
      if (e.XMax == 999) {
        headerExtentsFound = true;
        ReadHeaderPoint(e.XMax, e.YMax);
        given.XMax = e.XMax, given.YMax = e.YMax;
      }
    } else if (IsKeyword(GroupValue, "$LIMMIN")) {
      if (e.XMin == -999) {
        ReadHeaderPoint(e.XMin, e.YMin);
        given.XMin = e.XMin, given.YMin = e.YMin;
      }
    } else if (IsKeyword(GroupValue, "$EXTMAX")) {
      headerExtentsFound = true;
      ReadHeaderPoint(e.XMax, e.YMax);
      given.XMax = e.XMax, given.YMax = e.YMax;
      if (std::fabs(e.XMax) > 1e10L) e.XMax = 1e7L;
      if (std::fabs(e.YMax) > 1e10L) e.YMax = 1e7L;
    } else if (IsKeyword(GroupValue, "$ACADVER") || IsKeyword(GroupValue, "$DWGCODEPAGE")) {
      std::string& v = IsKeyword(GroupValue, "$ACADVER") ? acadVersion : codePage;
      ReadGroupPair();
      if (GroupCode != 0) v = GroupValue;
      encoding = EncodingOf(acadVersion, codePage);
    } else if (IsKeyword(GroupValue, "$EXTMIN")) {
      ReadHeaderPoint(e.XMin, e.YMin);
      given.XMin = e.XMin, given.YMin = e.YMin;
      if (std::fabs(e.XMin) > 1e10L) e.XMin = -1e7L;
      if (std::fabs(e.YMin) > 1e10L) e.YMin = -1e7L;
    }
    if (Session.AbortFlag) return false;
  } while (GroupCode != 0);
  // Extents that are inverted (the empty drawing's 1e20 and -1e20), a single
  // point (0,0 from programs that never fill them in) or not numbers are no
  // extents: the read goes on and takes the bounding box of the entities.
  const bool usable = std::isfinite(given.XMin) && std::isfinite(given.YMin) && std::isfinite(given.XMax) &&
                      std::isfinite(given.YMax) && given.XMax >= given.XMin && given.YMax >= given.YMin &&
                      (given.XMax > given.XMin || given.YMax > given.YMin);
  if (headerExtentsFound && !usable) {
    headerExtentsFound = false;
    e = Extents{-999, -999, 999, 999};
  }
  return mode == ReadHeaderOnly && headerExtentsFound;
}

// Closes the drawing file; the last value read stays readable (a very long
// one is let go with the file's memory).
void CloseDrawingFile() {
  StopReadAhead();
  static std::string lastValue;
  lastValue.assign(GroupValue.size() <= 4096 ? GroupValue : std::string_view());
  GroupValue = lastValue;
  DrawingFile().Close();
}

void StartOutput() {
  if (outputStarted) return;  // one output per read, however many sections
  PlotSink& p = CurrentPlotSink();
  p.PlotBegin(Settings.SyntaxCode, Settings.DeviceCode);
  if (Session.AbortFlag) {
    Session.ShowErrors = true;
    ReportError(Settings.DeviceCode == 3 ? "Ung\x81ltiger Dateiname oder kein Schreibrecht"
                                         : "Angesprochene Schnittstelle nicht bereit");
    return;
  }
  outputStarted = true;
  p.PlotRotate(Settings.Rotate90 == 'N' ? 0 : 90);
}

// A block's work file cannot be made or written: the block would be lost,
// so the read ends, and says so even while it is quiet.
void WorkFileFailed() {
  Session.ShowErrors = true;
  ReportError("Invalid temp Directory or File System");
  Session.AbortFlag = true;
}

// Closes the block work file of an unfinished definition.
void EndBlock() {
  InBlockDefinition = false;
  if (!EndBlockFile()) WorkFileFailed();
}

void ReadBlockHeader() {
  std::string name;
  long double baseX = 0, baseY = 0;
  for (;;) {
    ReadGroupPair();
    if (Session.AbortFlag) return;
    if (GroupCode == 0) break;
    if (GroupCode == 2)
      name = GroupValue;
    else if (GroupCode == 8)
      FindLayer(GroupValue);
    else if (GroupCode == 10)
      baseX = GroupValueToReal(GroupValue);
    else if (GroupCode == 20)
      baseY = GroupValueToReal(GroupValue);
  }
  if (std::isfinite(baseX) && std::isfinite(baseY)) SetBlockBase(name, baseX, baseY);
  if (BlockCount < MaxBlocks) BlockTable[++BlockCount] = name;
  if (!BeginBlockFile(name)) WorkFileFailed();
}

void ReadLayerEntry() {
  if (++layerEntry > MaxLayers) {
    layerEntry = LayerCount;
    ReportError("Too many Layers !");
  }
  Layer& l = LayerTable[NormalSlot(layerEntry)];
  for (;;) {
    ReadGroupPair();
    if (Session.AbortFlag) return;
    if (GroupCode == 0) break;
    switch (GroupCode) {
      case 2: l.Name = GroupValue.substr(0, LayerNameLength); break;
      case 6: l.LineType = FindLineType(GroupValue); break;
      case 62:
        // Colour 0 is not a layer colour; programs that write it mean white.
        l.Colour = static_cast<int32_t>(TextToInt(GroupValue) % 256);
        if (l.Colour == 0) l.Colour = 7;
        break;
      case 70: l.Flags = static_cast<uint8_t>(TextToInt(GroupValue) & 0xFF); break;
      default: break;
    }
  }
  LayerCount = NormalSlot(layerEntry);
  LayerTableChanged();
}

void ReadLineTypeEntry() {
  if (++lineTypeEntry > MaxLineTypes) {
    lineTypeEntry = LineTypeCount;
    ReportError("Too many Linetypes !");
  }
  int slot = lineTypeEntry < 1 ? 1 : lineTypeEntry;
  for (;;) {
    ReadGroupPair();
    if (Session.AbortFlag) return;
    if (GroupCode == 0) break;
    if (GroupCode == 2) LineTypeTable[slot] = GroupValue.substr(0, LineTypeNameLength);
  }
  LineTypeCount = slot;
}

// Extents without width or height get the range 0 to 100 in that
// direction, so that no window is ever fitted to a line or a point.
void WidenFlatExtents() {
  Extents& e = Session.DrawingExtents;
  if (e.XMin == e.XMax) {
    e.XMin = 0;
    e.XMax = 100;
  }
  if (e.YMin == e.YMax) {
    e.YMin = 0;
    e.YMax = 100;
  }
}

void Finish(int mode) {
  if (mode == ReadForConversion) {
    StartOutput();  // a drawing without ENTITIES still gives a whole output
    if (Session.AbortFlag) return;
    CurrentPlotSink().PlotEnd();
    outputStarted = false;
  }
  CloseDrawingFile();
  Extents& e = Session.DrawingExtents;
  if (mode == ReadHeaderOnly) {
    e.XMin = BoundingBox.XMin;
    e.YMin = BoundingBox.YMin;
    e.XMax = BoundingBox.XMax;
    e.YMax = BoundingBox.YMax;
  }
  WidenFlatExtents();
  Session.ShowErrors = true;
}

void MainLoop(int mode) {
  for (;;) {
    if (GroupCode != 0) {
      ReadGroupPair();
      if (Session.AbortFlag) return;
    } else if (IsKeyword(GroupValue, "SECTION")) {
      ReadGroupPair();
      if (Session.AbortFlag) return;
      SectionName = UpperText(GroupValue);
      if (SectionName == "HEADER") {
        if (HeaderLoop(mode)) {
          WidenFlatExtents();  // header extents of an empty drawing are one point
          return;
        }
      } else if (SectionName == "ENTITIES" && mode == ReadForConversion) {
        StartOutput();
      }
    } else {
      if (ReadFileEntity(mode)) {
      } else if (IsKeyword(GroupValue, "BLOCK")) {
        if (InBlockDefinition) EndBlock();  // the previous one lacked ENDBLK
        InBlockDefinition = true;
        ReadBlockHeader();
      } else if (IsKeyword(GroupValue, "LAYER")) {
        ReadLayerEntry();
      } else if (IsKeyword(GroupValue, "LTYPE")) {
        ReadLineTypeEntry();
      } else {
        if (IsKeyword(GroupValue, "ENDBLK")) EndBlock();
        NoteNotRead(GroupValue);
        ReadGroupPair();
      }
    }
    if (Session.AbortFlag) return;
    if (GroupCode == 0 && IsKeyword(GroupValue, "EOF")) {
      Finish(mode);
      return;
    }
  }
}

}  // namespace

namespace dxfin {

TextEncoding DrawingEncoding() { return encoding; }

long double ChordTolerance() {
  long double tolerance = drawingSize / 20000;
  if (Settings.PlotScale > 0)
    tolerance = std::max(std::min(tolerance, 0.01L / Settings.PlotScale), drawingSize * 1e-6L);
  if (InBlockDefinition) tolerance /= 10;
  return tolerance;
}

}  // namespace dxfin

std::string DrawingFileName() {
  return ExistingFileName(WithSeparator(Session.InPath), Session.DrawingName + "." + Session.FileExtension);
}

void ReadDrawing(int mode, const std::string& blockName) {
  UseWorkDir(WorkDir());
  const std::string name = DrawingFileName();
  if (mode == ReadForConversion && OutputIsDrawing(name)) {
    Session.ShowErrors = true;
    ReportError("Noms des fichiers d'origine et de destination identiques !");
    Session.AbortFlag = true;  // a refused conversion has failed
    return;
  }
  if (mode != ShowBlock) ClearReport();
  ResetBoundingBox();
  const Extents& was = Session.DrawingExtents;
  drawingSize = std::max(was.XMax - was.XMin, was.YMax - was.YMin);
  if (!(drawingSize > 0) || !std::isfinite(static_cast<double>(drawingSize))) drawingSize = 100;
  Session.DrawingExtents = Extents{-999, -999, 999, 999};
  EntitiesNotRead.clear();
  acadVersion.clear();
  codePage.clear();
  encoding = TextEncoding::Cp850;
  if (mode != ShowBlock) DeleteWorkFiles();
  Session.ShowErrors = false;
  if (mode == ReadForDisplay) {
    ElementCount = 0;
    TextCount = 0;
    BlockCount = 0;
  }
  layerEntry = 0;
  lineTypeEntry = 0;
  LineNumber = 0;
  InBlockDefinition = false;
  headerExtentsFound = false;
  outputStarted = false;
  GroupCode = 0;
  GroupValue = {};

  CheckInputFile(name);
  if (Session.AbortFlag) {
    Session.ShowErrors = true;
    ReportError("pas de fichier ouvert");
    return;
  }
  if (mode == ReadForDisplay) CurrentGraphicsSink().H_ClearViewPort();
  if (mode == ShowBlock) {
    if (!HasBlockFile(blockName)) {
      ReportError("Invalid temp dir " + Settings.TempDir);
      Session.AbortFlag = true;
      return;
    }
    InsertBlock(ReadForDisplay, 1, blockName, 0, 0, 0, 1, 1);
    return;
  }

  WaitCursorOn();
  if (!DrawingFile().Open(name)) {
    Session.ShowErrors = true;
    ReportError("pas de fichier ouvert");
    Session.AbortFlag = true;
    return;
  }
  if (DrawingFile().Peek(18) == "AutoCAD Binary DXF") {
    DrawingFile().Close();
    Session.ShowErrors = true;
    ReportError("Fichier DXF binaire : lecture impossible");
    Session.AbortFlag = true;
    return;
  }
  ProgressReport progress(name.substr(name.find_last_of("/\\") + 1));
  DrawingFile().SetProgress(&progress);
  // However the read ends, the thread reading ahead stops and the file
  // forgets the progress report.
  struct ReadEnd {
    ~ReadEnd() {
      StopReadAhead();
      DrawingFile().SetProgress(nullptr);
    }
  } readEnd;
  StartReadAhead();
  ReadGroupPair();
  if (!Session.AbortFlag) MainLoop(mode);
  if (Session.AbortFlag && EndReached()) {
    // The file ends without "0"/"EOF" (a program that died while writing
    // it, for one): what was read is the drawing, and the output is closed
    // as at "EOF".
    const int32_t line = LineNumber;
    Session.AbortFlag = false;
    Finish(mode);
    if (!Session.AbortFlag && mode != ReadHeaderOnly)
      ShowTitledBox("Attention : ", "Fin du fichier DXF sans EOF \x85 la ligne " + IntToText(line) +
                                        " : le dessin lu jusque-l\x85 est utilis\x82");
  }
  if (!Session.AbortFlag) progress.Step(1, 1);
  // A conversion the read did not finish keeps no output.
  if (outputStarted) CurrentPlotSink().PlotAbort();
  CloseDrawingFile();
  if (InBlockDefinition) EndBlock();  // the file ended inside a definition
}

void ChooseAndReadDrawing(int mode) {
  std::string name;
  std::string dir = ChooseFile("*." + Session.FileExtension, Session.InPath, name, true, true);
  if (Session.AbortFlag) return;
  Session.InPath = dir;
  Session.DrawingName = name;
  Session.PlotFile = Session.DrawingName;
  ReadDrawing(mode);
}

}  // namespace planox
