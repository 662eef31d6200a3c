// The configuration file (name.cfg: every value of Settings plus PlotFile,
// FileExtension and InPath of Session, read back by position) and the
// converter settings editor, a chain of prompts for the conversion target,
// the output channel and the target-specific values.
#pragma once

#include <cstdint>
#include <string>

#include "app/session.h"

namespace planox {

// Converter choices that EditConfiguration sets but the configuration file
// does not store; both start as 1 at every program start. The file type is
// Settings.GarminFileType itself (one value, whichever name is used).
struct ConverterChoicesRecord {
  uint16_t& GarminFileType = Settings.GarminFileType;  // 1 WPT, 2 TRK, 3 GRM
  uint16_t GarminXReference = 1;  // Garmin coordinate mode 2: 1 x min (left), 2 x max (right)
};
extern ConverterChoicesRecord ConverterChoices;

// Name of conversion target 1..13 and of output channel 1..3 (empty when
// the code is out of range), and the file extension of each target.
std::string TargetName(int syntaxCode);
std::string ChannelName(int deviceCode);
std::string TargetExtension(int syntaxCode);

// Screen size in pixels, used where ScreenWidth or ScreenHeight is 0 or
// 65535. The window layer installs the real one; without it the screen
// counts as 1024 x 768.
using ScreenSizeHook = void (*)(int& width, int& height);
void SetScreenSizeHook(ScreenSizeHook hook);  // nullptr restores the default

// Reads StartDir/name.cfg; with an empty name the user picks a .cfg file,
// which is then read from the directory it was picked in. Sets AbortFlag
// when the file cannot be opened, a read fails or the user cancels.
void LoadConfiguration(const std::string& name);

// Writes StartDir/name.cfg (overwriting it); with an empty name the user
// edits the full file name, confirms an overwrite and the name is probed.
// The file is written beside the target and renamed over it at the end, so
// a failed save leaves the previous file as it was. Sets AbortFlag on
// cancel, refusal or failure.
void SaveConfiguration(const std::string& name);

// The converter settings editor. Cancel in any prompt ends it at once with
// AbortFlag set; the values confirmed before stay changed.
void EditConfiguration();

// Starts the system text editor on a file without waiting for it:
// $VISUAL, else $EDITOR, else xdg-open, split at blanks into an argument
// list and started detached, never through a shell. False when it could
// not be started.
bool StartTextEditor(const std::string& file);

}  // namespace planox
