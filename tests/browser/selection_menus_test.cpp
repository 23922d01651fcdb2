// The menu table of the selection and the status texts.
#include <gtest/gtest.h>

#include <algorithm>

#include "browser/selection_menus.h"
#include "core/hdr_image.h"

namespace {

bool has(const std::vector<std::string>& items, const char* item) {
  return std::find(items.begin(), items.end(), item) != items.end();
}

TEST(SelectionMenus, TwoJpegsAllowHdrCreationButNotTonemapping) {
  const auto on = active_selection_items({k_type_jpeg, k_type_jpeg}, 5);
  for (const char* item :
       {"&Process/Create HDR...", "&Process/Fuse Exposures...", "&Process/Batch Create HDR...",
        "&Edit/Select All", "&Edit/Cut", "&Tools/Crop...", "&Edit/Invert Selection"})
    EXPECT_TRUE(has(on, item)) << item;
  for (const char* item : {"&Process/Tonemap...", "&File/&Open Image", "&View/Show on HDR Display",
                           "&File/Rename Image..."})
    EXPECT_FALSE(has(on, item)) << item;
}

TEST(SelectionMenus, OneExrAllowsTonemapAndTheHdrDisplay) {
  const auto on = active_selection_items({k_type_exr}, 1);
  for (const char* item : {"&Process/Tonemap...", "&View/Show on HDR Display", "&File/&Open Image",
                           "&View/Image Info...", "&File/Save As...", "&File/Delete Image"})
    EXPECT_TRUE(has(on, item)) << item;
  EXPECT_FALSE(has(on, "&Process/Create HDR..."));
  EXPECT_FALSE(has(on, "&Edit/Select All"));  // everything is selected
}

TEST(SelectionMenus, MixedOrEmptySelections) {
  const auto mixed = active_selection_items({k_type_jpeg, k_type_rgbe}, 3);
  EXPECT_FALSE(has(mixed, "&Process/Tonemap..."));
  EXPECT_FALSE(has(mixed, "&Process/Create HDR..."));
  const auto none = active_selection_items({}, 3);
  EXPECT_EQ(none, (std::vector<std::string>{"&Edit/Invert Selection", "&Edit/Select All"}));
  EXPECT_TRUE(active_selection_items({}, 0).empty());
  const auto one_jpeg = active_selection_items({k_type_jpeg}, 2);
  EXPECT_FALSE(has(one_jpeg, "&View/Show on HDR Display"));
  EXPECT_FALSE(has(one_jpeg, "&Process/Tonemap..."));
  for (const std::string& item : active_selection_items({k_type_exr, k_type_exr}, 2))
    EXPECT_TRUE(std::find(std::begin(k_selection_menu_items), std::end(k_selection_menu_items),
                          item) != std::end(k_selection_menu_items));
}

TEST(SelectionStatus, CountsSelectedAndShown) {
  EXPECT_EQ(selection_status_text(3, 12), "3 of 12 images");
  EXPECT_EQ(selection_status_text(1, 1), "1 of 1 image");
  EXPECT_EQ(selection_status_text(1, 5), "1 of 5 images");
  EXPECT_EQ(selection_status_text(0, 12), "12 images");
  EXPECT_EQ(selection_status_text(0, 1), "1 image");
  EXPECT_EQ(selection_status_text(0, 0), "");
}

}  // namespace
