// HDR processing's links answered by the grid, the folder list and the viewer.
#include "browser/hdr_links_setup.h"

#include <memory>
#include <string>
#include <vector>

#include "browser/browser_answers.h"
#include "core/hdr_image.h"
#include "hdr/hdr_links.h"
#include "viewer/open_new_result.h"

void install_hdr_links() {
  set_selected_paths_source(selected_tile_paths);
  set_output_folder_source(shown_folder);
  set_result_viewer([](std::unique_ptr<Hdr_image> image, const std::string& folder) {
    open_new_result(std::move(image), folder);
  });
}
