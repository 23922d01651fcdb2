// The installed answers of HDR processing's links (see the header).
#include "hdr/hdr_links.h"

#include <utility>

#include "core/hdr_image.h"

namespace {

Selected_paths_fn& selection_source() {
  static Selected_paths_fn fn;
  return fn;
}
Output_folder_fn& folder_source() {
  static Output_folder_fn fn;
  return fn;
}
Result_viewer_fn& result_viewer() {
  static Result_viewer_fn fn;
  return fn;
}

}  // namespace

void set_selected_paths_source(Selected_paths_fn fn) { selection_source() = std::move(fn); }
void set_output_folder_source(Output_folder_fn fn) { folder_source() = std::move(fn); }
void set_result_viewer(Result_viewer_fn fn) { result_viewer() = std::move(fn); }

std::vector<std::string> selected_paths() {
  // Copies of the functions: a call may serve events, which may install others.
  const Selected_paths_fn fn = selection_source();
  return fn ? fn() : std::vector<std::string>{};
}

std::string output_folder() {
  const Output_folder_fn fn = folder_source();
  return fn ? fn() : std::string{};
}

bool show_result(std::unique_ptr<Hdr_image> image, const std::string& folder) {
  const Result_viewer_fn fn = result_viewer();
  if (!fn) return false;
  fn(std::move(image), folder);
  return true;
}
