// The objects built before main: the About picture lies over the program's own bytes.
#include <gtest/gtest.h>

#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>

#include "core/app_globals.h"
#include "resources/embedded.h"

TEST(Static_objects, AboutPictureUsesTheEmbeddedPixelsWithoutCopying) {
  const Embedded_file* file = find_embedded_file("about.rgba");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->size, 529200u);
  EXPECT_EQ(g_about_picture.w(), 420);
  EXPECT_EQ(g_about_picture.h(), 315);
  EXPECT_EQ(g_about_picture.d(), 4);
  ASSERT_EQ(g_about_picture.count(), 1);
  EXPECT_EQ(static_cast<const void*>(g_about_picture.data()[0]),
            static_cast<const void*>(file->data));
  EXPECT_EQ(g_about_picture.alloc_array, 0);
}

TEST(Static_objects, ClosedViewersListStartsEmpty) { EXPECT_TRUE(g_closed_viewers.empty()); }
