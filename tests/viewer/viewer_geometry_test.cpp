// The viewer's plain arithmetic: window sizes, display caps, visible rectangles,
// selections, titles, exposure factors and readout texts.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "viewer/viewer_exposure.h"
#include "viewer/viewer_geometry.h"

namespace {

struct Size_case {
  const char* name;
  int work_w, work_h;
  uint32_t iw, ih;
  int w, h;
};

class WindowSize : public ::testing::TestWithParam<Size_case> {};

TEST_P(WindowSize, Rule) {
  const Size_case& c = GetParam();
  const Window_size s = viewer_window_size(c.work_w, c.work_h, c.iw, c.ih);
  EXPECT_EQ(s.w, c.w);
  EXPECT_EQ(s.h, c.h);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowSize,
    ::testing::Values(
        // Smaller than the area: its own size plus the menu bar, never enlarged.
        Size_case{"Small", 1280, 1024, 200, 100, 200, 125},
        Size_case{"SameAsDefault", 1280, 1024, 640, 455, 640, 480},
        // Wider than the area: scaled by 1280/4000 = 0.32, less 11 for the frame.
        Size_case{"Wide", 1280, 1024, 4000, 1000, 1269, 345},
        // Fits in width but the window would be too high: height 994, width by aspect.
        Size_case{"Tall", 1280, 1024, 1000, 1010, 959, 994},
        Size_case{"VeryTall", 1280, 1024, 100, 40000, 2, 994},
        // The integer product would overflow 32 bits without 64-bit arithmetic.
        Size_case{"HugeTall", 1920, 1080, 3000000, 3000001, 1024, 1050},
        Size_case{"Empty", 1280, 1024, 0, 0, 0, 25}),
    [](const auto& info) { return std::string(info.param.name); });

// A new viewer, title bar and all, lies inside the work area it was sized for, also on a
// second screen and below a panel; it is centred where there is room.
TEST(WindowPlace, NewViewerLiesInsideTheWorkArea) {
  struct Case {
    int sx, sy, sw, sh;
    uint32_t iw, ih;
  };
  const Case cases[] = {
      {0, 0, 1920, 1200, 1500, 1072},     // the HDR result that hung off the bottom
      {0, 27, 1920, 1173, 1500, 1072},    // below a top panel
      {1920, 0, 1280, 1024, 4000, 1000},  // a wide picture on the second screen
      {0, 0, 1280, 1024, 1000, 1010},     // as tall as the rule allows
      {-1280, 40, 1280, 984, 100, 40000}, {0, 0, 1280, 1024, 200, 100},  // small: centred
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.sx) + "," + std::to_string(c.sy) + " " + std::to_string(c.iw) +
                 "x" + std::to_string(c.ih));
    const Window_size size = viewer_window_size(c.sw, c.sh, c.iw, c.ih);
    const Window_place p = viewer_window_place(c.sx, c.sy, c.sw, c.sh, size.w, size.h);
    EXPECT_GE(p.x, c.sx);
    EXPECT_LE(p.x + size.w, c.sx + c.sw);
    EXPECT_GE(p.y - k_viewer_title_room, c.sy);
    EXPECT_LE(p.y + size.h, c.sy + c.sh);
  }
  const Window_place small = viewer_window_place(0, 0, 1280, 1024, 200, 125);
  EXPECT_EQ(small.x, 540);
  EXPECT_EQ(small.y, 30 + (1024 - 30 - 125) / 2);
  // A window larger than the area starts at its corner, below the title room.
  const Window_place large = viewer_window_place(100, 50, 800, 600, 900, 700);
  EXPECT_EQ(large.x, 100);
  EXPECT_EQ(large.y, 80);
}

TEST(DisplaySize, WideImageIsCappedWithZoomLowered) {
  const Display_size d = capped_display_size(40000, 100, 1.0f);
  EXPECT_EQ(d.w, 32767);
  EXPECT_FLOAT_EQ(d.zoom, 32767.f / 40000.f);
  EXPECT_EQ(d.h, 81);
}

TEST(DisplaySize, TallCapAfterWideCap) {
  const Display_size d = capped_display_size(100, 50000, 2.0f);
  EXPECT_EQ(d.h, 32767);
  EXPECT_FLOAT_EQ(d.zoom, 32767.f / 50000.f);
  EXPECT_EQ(d.w, 65);
}

TEST(DisplaySize, SidesAreAtLeastOne) {
  const Display_size d = capped_display_size(10, 3, 0.05f);
  EXPECT_EQ(d.w, 1);
  EXPECT_EQ(d.h, 1);
}

TEST(VisibleRect, FollowsScrollAndZoom) {
  const Image_rect r = visible_image_rect(1000, 500, 624, 439, 1.0f, 5000, 5000);
  EXPECT_EQ(r.x0, 1000);
  EXPECT_EQ(r.x1, 1624);
  EXPECT_EQ(r.y0, 500);
  EXPECT_EQ(r.y1, 939);
  const Image_rect z = visible_image_rect(1000, 500, 624, 439, 2.0f, 5000, 5000);
  EXPECT_EQ(z.x0, 500);
  EXPECT_EQ(z.x1, 812);
}

// A column only partly under the view is not counted: 100 view pixels at zoom 3 hold
// 33 whole image pixels (33.3).
TEST(VisibleRect, PartialColumnsAndRowsAreLeftOut) {
  const Image_rect r = visible_image_rect(0, 0, 100, 100, 3.f, 1000, 1000);
  EXPECT_EQ(r.x0, 0);
  EXPECT_EQ(r.y0, 0);
  EXPECT_EQ(r.x1, 33);
  EXPECT_EQ(r.y1, 33);
  const Image_rect s = visible_image_rect(30, 60, 100, 50, 3.f, 1000, 1000);
  EXPECT_EQ(s.x0, 10);
  EXPECT_EQ(s.x1, 43);
  EXPECT_EQ(s.y0, 20);
  EXPECT_EQ(s.y1, 36);  // 50 / 3 = 16.7
}

TEST(VisibleRect, NeverEmptyNorOutsideTheImage) {
  // Scrolled past the end, a view narrower than one zoomed pixel, a negative scroll.
  const Image_rect end = visible_image_rect(99999, 99999, 624, 439, 1.0f, 5000, 4000);
  EXPECT_EQ(end.x0, 4999);
  EXPECT_EQ(end.x1, 5000);
  EXPECT_EQ(end.y0, 3999);
  EXPECT_EQ(end.y1, 4000);
  const Image_rect tiny = visible_image_rect(0, 0, 1, 1, 40.f, 5000, 5000);
  EXPECT_EQ(tiny.x1 - tiny.x0, 1);
  EXPECT_EQ(tiny.y1 - tiny.y0, 1);
  const Image_rect neg = visible_image_rect(-20, -5, 0, -3, 1.0f, 10, 10);
  EXPECT_EQ(neg.x0, 0);
  EXPECT_EQ(neg.x1, 1);
  EXPECT_EQ(neg.y1, 1);
}

TEST(Selection, EitherDirectionGivesTheSameBounds) {
  int a[4], b[4];
  const int down[4] = {110, 75, 150, 125};  // top left to bottom right
  const int up[4] = {150, 125, 110, 75};    // bottom right to top left
  selection_to_image_bounds(down, 10, 25, 2.0f, a);
  selection_to_image_bounds(up, 10, 25, 2.0f, b);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(a[i], b[i]);
  EXPECT_EQ(a[0], 50);
  EXPECT_EQ(a[1], 25);
  EXPECT_EQ(a[2], 70);
  EXPECT_EQ(a[3], 50);
}

TEST(Selection, ClampedToTheImageOrRefused) {
  int inside[4] = {-5, -3, 12, 30};
  EXPECT_TRUE(clamp_bounds_to_image(inside, 10, 20));
  EXPECT_EQ(inside[0], 0);
  EXPECT_EQ(inside[1], 0);
  EXPECT_EQ(inside[2], 9);
  EXPECT_EQ(inside[3], 19);
  int outside[4] = {12, 0, 30, 5};
  EXPECT_FALSE(clamp_bounds_to_image(outside, 10, 20));
  int above[4] = {0, -9, 5, -1};
  EXPECT_FALSE(clamp_bounds_to_image(above, 10, 20));
  // Starting in the last column and row still meets the image: one pixel.
  int corner[4] = {9, 19, 12, 25};
  EXPECT_TRUE(clamp_bounds_to_image(corner, 10, 20));
  EXPECT_EQ(std::vector<int>(corner, corner + 4), (std::vector<int>{9, 19, 9, 19}));
}

TEST(Title, NameChangeMarkAndPercent) {
  EXPECT_EQ(viewer_title("a.exr", false, 1.0f), "a.exr (100%) ");
  EXPECT_EQ(viewer_title("a.exr", true, 0.5f), "a.exr + (50%) ");
  EXPECT_EQ(viewer_title("Untitled", false, 0.0599f), "Untitled (5%) ");
}

TEST(ExposureSteps, FactorTable) {
  EXPECT_FLOAT_EQ(exposure_step_factor(0), std::pow(2.f, 0.2f));
  EXPECT_FLOAT_EQ(exposure_step_factor(1), std::pow(2.f, 1.f / 3.f));
  EXPECT_EQ(exposure_step_factor(2), 2.f);
  EXPECT_EQ(exposure_step_factor(3), 8.f);
  EXPECT_EQ(exposure_step_factor(4), 32.f);
  EXPECT_FLOAT_EQ(exposure_step_factor(-1), std::pow(2.f, 1.f / 3.f));
  EXPECT_FLOAT_EQ(exposure_step_factor(7), std::pow(2.f, 1.f / 3.f));
}

TEST(ExposureSteps, FactorsThatWouldOverflowOrVanishDoNotFit) {
  const Value_extent e{1e38f, 1e-30f};
  EXPECT_TRUE(exposure_factor_fits(2.f, e));
  EXPECT_FALSE(exposure_factor_fits(8.f, e));    // 8e38 > largest float
  EXPECT_FALSE(exposure_factor_fits(1e-9f, e));  // 1e-39 below the smallest normal
  EXPECT_FALSE(exposure_factor_fits(INFINITY, e));
  EXPECT_FALSE(exposure_factor_fits(NAN, e));
  EXPECT_FALSE(exposure_factor_fits(0.f, e));
  EXPECT_TRUE(exposure_factor_fits(1e16f, Value_extent{}));  // an all-black image
  EXPECT_NEAR(fitting_exposure_factor(8.f, e), 3.4028235f, 1e-6f);
  EXPECT_TRUE(exposure_factor_fits(fitting_exposure_factor(8.f, e), e));
  EXPECT_EQ(fitting_exposure_factor(NAN, e), 1.f);
}

TEST(ExposureSteps, ExtentSkipsNaNAndZeros) {
  Hdr_image im(2, 2, 1, 3, 0.f);
  im(0, 0, 0, 0) = NAN;
  im(1, 0, 0, 1) = 5.f;
  im(1, 1, 0, 2) = 0.25f;
  const Value_extent e = value_extent(im);
  EXPECT_EQ(e.max, 5.f);
  EXPECT_EQ(e.min_positive, 0.25f);
  EXPECT_EQ(value_extent(Hdr_image(3, 3, 1, 3, 0.f)).max, 0.f);
}

TEST(Readout, Texts) {
  EXPECT_EQ(readout_position_text(1324, 768), "X = 1324 Y = 768");
  EXPECT_EQ(readout_value_text("R", 255.f, 4), "R = 255.0000");
  EXPECT_EQ(readout_value_text("L", 95.666f, 2), "L = 95.67");
  EXPECT_EQ(readout_value_text("x", 0.3333f, 2), "x = 0.33");
  // The largest float prints with all its digits.
  EXPECT_EQ(readout_value_text("G", FLT_MAX, 4).size(), 4 + 39 + 5u);
}

struct Screen_case {
  const char* name;
  int win_w, win_h;
  uint32_t iw, ih;
  Screen_box box;
};

class FullScreenBox : public ::testing::TestWithParam<Screen_case> {};

TEST_P(FullScreenBox, ScaledDownNeverUpAndCentred) {
  const Screen_case& c = GetParam();
  const Screen_box b = full_screen_box(c.win_w, c.win_h, c.iw, c.ih);
  EXPECT_EQ(b.x, c.box.x);
  EXPECT_EQ(b.y, c.box.y);
  EXPECT_EQ(b.w, c.box.w);
  EXPECT_EQ(b.h, c.box.h);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FullScreenBox,
    ::testing::Values(
        // Smaller than the screen: its own size, centred (odd room rounds down).
        Screen_case{"Small", 1920, 1200, 301, 200, {809, 500, 301, 200}},
        Screen_case{"Exact", 1920, 1200, 1920, 1200, {0, 0, 1920, 1200}},
        // Wider: scale 1920/3840 = 0.5 on both sides.
        Screen_case{"Wide", 1920, 1200, 3840, 1000, {0, 350, 1920, 500}},
        // Taller: scale 1200/4800 = 0.25.
        Screen_case{"Tall", 1920, 1200, 1000, 4800, {835, 0, 250, 1200}},
        // A side that would vanish keeps one pixel; the float scale 0.0128 truncates the
        // width to 1279.
        Screen_case{"Thread", 1280, 1024, 100000, 10, {0, 511, 1279, 1}},
        Screen_case{"Empty", 1280, 1024, 0, 0, {639, 511, 1, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
