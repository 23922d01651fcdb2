// The installed answer to a written file (see the header).
#include "core/file_written.h"

#include <utility>

namespace {

File_written_fn& handler() {
  static File_written_fn fn;
  return fn;
}

}  // namespace

File_written_fn set_file_written_handler(File_written_fn fn) {
  File_written_fn previous = std::move(handler());
  handler() = std::move(fn);
  return previous;
}

void file_written(const std::string& path) {
  // A copy: the grid's refresh may pump events and reinstall the handler.
  const File_written_fn fn = handler();
  if (fn) fn(path);
}
