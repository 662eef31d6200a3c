// The four most recently opened drawings (Session.RecentFiles, entry 1 the
// most recent) and how the File menu shows them.
#pragma once

#include <string>

namespace planox {

// Puts the file DrawingDir + name + "." + FileExtension (under its real
// name on disk) at the top, removing any entry that names the same file
// (compared with A..Z lowered).
void AddRecentFile(const std::string& name);
void RemoveRecentFile(int n);  // 1..4; the entries below move up
// A path of 50 characters or more is shown as its first directory part,
// "..." and the part from the last separator.
std::string ShortenPath(const std::string& p);
// The caption of recent-file item n (1..4): "&n " + the shortened entry.
std::string RecentFileCaption(int n);

}  // namespace planox
