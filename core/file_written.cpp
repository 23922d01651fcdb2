// A written file announced through the browser seam (see the header).
#include "core/file_written.h"

#include <utility>

#include "core/browser_seam.h"

File_written_fn set_file_written_handler(File_written_fn fn) {
  File_written_fn previous = std::move(browser_seam().file_written);
  browser_seam().file_written = std::move(fn);
  return previous;
}

void file_written(const std::string& path) {
  // A copy: the grid's refresh may pump events and reinstall the handler.
  const File_written_fn fn = browser_seam().file_written;
  if (fn) fn(path);
}
