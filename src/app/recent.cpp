#include "app/recent.h"

#include "base/session.h"
#include "base/startup.h"
#include "base/textconv.h"

namespace planox {

void RemoveRecentFile(int n) {
  if (n < 1 || n > 4) return;
  auto& e = Session.RecentFiles;
  for (int k = n; k <= 3; ++k) e[k - 1] = e[k];
  e[3].clear();
}

void AddRecentFile(const std::string& name) {
  // The file's real name, whatever case the extension was given in.
  const std::string full =
      ExistingFileName(WithSeparator(Session.DrawingDir), name + "." + Session.FileExtension);
  auto& e = Session.RecentFiles;
  // Going from the last entry up keeps the indices of the unchecked ones.
  for (int n = 4; n >= 1; --n)
    if (LowerText(e[n - 1]) == LowerText(full)) RemoveRecentFile(n);
  e[3] = e[2];
  e[2] = e[1];
  e[1] = e[0];
  e[0] = full;
}

std::string ShortenPath(const std::string& p) {
  if (p.size() < 50) return p;
  auto f = p.find_first_of("/\\");
  auto l = p.find_last_of("/\\");
  if (f == std::string::npos || f >= l) return p;
  return p.substr(0, f + 1) + "..." + p.substr(l);
}

std::string RecentFileCaption(int n) {
  return "&" + IntToText(n) + " " + ShortenPath(Session.RecentFiles[n - 1]);
}

}  // namespace planox
