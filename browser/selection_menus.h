// Which main-menu commands the thumbnail selection allows, and the selection count shown
// in the status line. Plain data: the grid applies them to the menu bar.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

/// The 23 items the grid switches after every change of the selection.
extern const char* const k_selection_menu_items[23];

/// The items of k_selection_menu_items to activate for a selection of tiles with these
/// image type codes (click order) among tile_count tiles; the others are deactivated.
/// Nothing is active without tiles.
std::vector<std::string> active_selection_items(const std::vector<uint32_t>& selected_types,
                                                size_t tile_count);

/// "3 of 12 images", "1 of 1 image", "12 images", "1 image"; empty without tiles.
std::string selection_status_text(size_t selected, size_t tile_count);
