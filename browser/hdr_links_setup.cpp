// HDR processing's links answered by the grid, the folder list and the viewer.
#include "browser/hdr_links_setup.h"

#include <memory>
#include <string>
#include <vector>

#include "browser/dir_view.h"
#include "browser/icon.h"
#include "browser/icon_view.h"
#include "core/hdr_image.h"
#include "hdr/hdr_links.h"
#include "viewer/open_new_result.h"

void install_hdr_links() {
  set_selected_paths_source([] {
    std::vector<std::string> paths;
    if (g_icon_view)
      for (const Icon* tile : g_icon_view->selection) paths.push_back(tile->path);
    return paths;
  });
  set_output_folder_source([] { return g_dir_view ? g_dir_view->current_dir() : std::string(); });
  set_result_viewer([](std::unique_ptr<Hdr_image> image, const std::string& folder) {
    open_new_result(std::move(image), folder);
  });
}
