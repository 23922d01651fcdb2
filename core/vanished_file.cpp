// report_if_vanished: the file's status, the alert and the tile's removal.
#include "core/vanished_file.h"

#include <sys/stat.h>

#include <cerrno>

#include "core/browser_seam.h"
#include "core/messages.h"

bool report_if_vanished(const std::string& path) {
  struct stat st;
  // Only "no such entry" says the file is gone; a folder without search permission says
  // nothing about it.
  if (path.empty() || ::stat(path.c_str(), &st) == 0 || (errno != ENOENT && errno != ENOTDIR))
    return false;
  show_alert("The file '" + path + "' no longer exists.");
  file_removed(path);
  return true;
}
