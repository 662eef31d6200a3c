#include "app/reset.h"

#include "app/blocksel.h"
#include "base/prompts.h"
#include "base/session.h"
#include "base/vektor.h"
#include "config/configio.h"
#include "convert/dxfwrite.h"
#include "convert/garmin.h"
#include "display/hpglin.h"
#include "display/shpin.h"
#include "drawing/dxfin.h"
#include "drawing/dxfinvar.h"
#include "help/vmenu1.h"
#include "help/vmenuhp.h"

namespace planox {

void ResetProgramState() {
  ResetSession();
  ResetSettings();
  HelpNumber = 0;
  ChoiceList.clear();
  ClearErrorLog();

  ResetDrawingModel();
  ForgetBlockFiles();
  GroupCode = 0;
  GroupValue = {};
  LineNumber = 0;
  SectionName.clear();

  ResetHpglState();
  ClearShapeFont();

  ConverterChoices.GarminXReference = 1;
  DxfSingleColourLayers = false;
  SetGarminClock(nullptr);
  SetScreenSizeHook(nullptr);

  FillGeneralCaptions(LanguageFrench);
  FillProgramCaptions(LanguageFrench);
  SelectedBlock = 1;
}

}  // namespace planox
