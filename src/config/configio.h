// The configuration file (name.cfg: every value of Settings plus PlotFile,
// FileExtension and InPath of Session, read back by position) and the
// converter settings editor, a chain of prompts for the conversion target,
// the output channel and the target-specific values.
#pragma once

#include <cstdint>
#include <string>

#include "base/session.h"
#include "convert/channel.h"
#include "convert/garmin.h"
#include "convert/targets.h"

namespace planox {

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
