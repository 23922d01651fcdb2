#include "browser/selection_menus.h"

#include <algorithm>

#include "core/hdr_image.h"

const char* const k_selection_menu_items[23] = {
    "&File/&Open Image",
    "&File/Save As...",
    "&File/Delete Image",
    "&File/Rename Image...",
    "&Edit/Select All",
    "&Edit/Deselect All",
    "&Edit/Invert Selection",
    "&Edit/Cut",
    "&Edit/Copy",
    "&Process/Create HDR...",
    "&Process/Fuse Exposures...",
    "&Process/Batch Create HDR...",
    "&Process/Tonemap...",
    "&Tools/Rotate Left",
    "&Tools/Rotate Right",
    "&Tools/Flip Vertical",
    "&Tools/Flip Horizontal",
    "&Tools/Resize...",
    "&Tools/Crop...",
    "&View/Image Info...",
    "&View/Image Stats...",
    "&View/Histogram...",
    "&View/Show on HDR Display",
};

std::vector<std::string> active_selection_items(const std::vector<uint32_t>& types, size_t n) {
  std::vector<std::string> on;
  if (n == 0) return on;
  const size_t k = types.size();
  const bool all_hdr = std::all_of(types.begin(), types.end(), is_hdr_type);
  const bool no_hdr = std::none_of(types.begin(), types.end(), is_hdr_type);
  on.push_back("&Edit/Invert Selection");
  if (k < n) on.push_back("&Edit/Select All");
  if (k >= 1) {
    for (const char* item : {"&File/Delete Image", "&Edit/Deselect All", "&Edit/Cut", "&Edit/Copy",
                             "&Tools/Rotate Left", "&Tools/Rotate Right", "&Tools/Flip Vertical",
                             "&Tools/Flip Horizontal", "&Tools/Resize...", "&Tools/Crop..."})
      on.push_back(item);
    if (all_hdr) on.push_back("&Process/Tonemap...");
  }
  if (k >= 2 && no_hdr)
    for (const char* item :
         {"&Process/Create HDR...", "&Process/Fuse Exposures...", "&Process/Batch Create HDR..."})
      on.push_back(item);
  if (k == 1) {
    for (const char* item : {"&File/&Open Image", "&View/Image Info...", "&View/Image Stats...",
                             "&View/Histogram...", "&File/Rename Image...", "&File/Save As..."})
      on.push_back(item);
    if (all_hdr) on.push_back("&View/Show on HDR Display");
  }
  return on;
}

std::string selection_status_text(size_t k, size_t n) {
  if (n == 0) return {};
  const std::string total = std::to_string(n) + (n == 1 ? " image" : " images");
  if (k == 0) return total;
  if (k == 1) return "1 of " + total;
  return std::to_string(k) + " of " + std::to_string(n) + " images";
}
