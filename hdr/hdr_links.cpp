// HDR processing's questions, answered through the browser seam (see the header).
#include "hdr/hdr_links.h"

#include <utility>

#include "core/browser_seam.h"
#include "core/hdr_image.h"

void set_selected_paths_source(Selected_paths_fn fn) {
  browser_seam().selected_paths = std::move(fn);
}
void set_output_folder_source(Output_folder_fn fn) {
  browser_seam().current_folder = std::move(fn);
}
void set_result_viewer(Result_viewer_fn fn) { browser_seam().open_result = std::move(fn); }

std::vector<std::string> selected_paths() {
  // Copies of the answers: a call may serve events, which may install others.
  const auto fn = browser_seam().selected_paths;
  return fn ? fn() : std::vector<std::string>{};
}

std::string output_folder() {
  const auto fn = browser_seam().current_folder;
  return fn ? fn() : std::string{};
}

bool show_result(std::unique_ptr<Hdr_image> image, const std::string& folder) {
  const auto fn = browser_seam().open_result;
  if (!fn) return false;
  fn(std::move(image), folder);
  return true;
}
