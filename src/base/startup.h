// Start-up and shutdown steps that need no window: the directory checks,
// the session file with the recent-file list, and the private folder for
// the reader's work files.
#pragma once

#include <string>

namespace planox {

// Thrown to end the program with an exit code from deep inside start-up or
// a batch run; the program entry catches it, cleans up and exits.
struct ProgramExit {
  int code = 0;
};

// Fills empty directory settings and reports invalid ones.
void CheckDirectories();

void LoadSession();
void SaveSession();

// This running program's private folder inside Settings.TempDir (with
// separator), created on first use, so that two programs started side by
// side never share work files. RemoveTempFiles deletes the block work files
// ("$*.dx$") in it; RemoveWorkDir removes the folder itself at exit.
std::string WorkDir();
void RemoveTempFiles();
void RemoveWorkDir();
// Removes the work folders in tempDir (with separator) of this user's
// runs that ended without removing them (killed, or a power loss).
void RemoveStaleWorkFolders(const std::string& tempDir);

// True when the directory text (with separator) can hold a new file.
bool DirectoryWritable(const std::string& dir);
bool DirectoryExists(const std::string& dir);

// The file of a directory (with separator) that a name means: the name
// itself when it exists, else the existing file whose name matches it
// case-insensitively, else dir + name.
std::string ExistingFileName(const std::string& dir, const std::string& name);

}  // namespace planox
