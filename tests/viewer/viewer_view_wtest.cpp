// The viewer's display path and controls under the X server: whole-image and
// visible-rectangle display, first-display exposure, exposure steps, zoom, readout,
// selection and a screenshot of a known image.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/display_convert.h"
#include "core/luminance.h"
#include "core/preferences_dlg.h"
#include "tests/support/fake_browser.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_box_drv.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/image_scroll.h"
#include "viewer/viewer_exposure.h"

namespace {

Rgb ramp(uint32_t x, uint32_t y) { return {float(x % 256), float(y % 256), 50.f}; }

class Viewer_view : public ::testing::Test {
 protected:
  void SetUp() override {
    m_prefs = std::make_unique<PreferencesDlg>(550, 385, "Preferences");
    g_preferences_dialog = m_prefs.get();
  }
  void TearDown() override {
    delete_all_viewers();
    g_preferences_dialog = nullptr;
  }
  void open_as(int item) { m_prefs->open_as_choice->value(item); }
  void exposure_steps(int item) { m_prefs->exposure_steps_choice->value(item); }

  // A mouse event at window coordinates (x, y).
  static void mouse(ImageDialogDrv* v, int event, int x, int y) {
    Fl::e_x = x;
    Fl::e_y = y;
    Fl::e_x_root = v->x() + x;
    Fl::e_y_root = v->y() + y;
    v->handle(event);
  }

  std::unique_ptr<PreferencesDlg> m_prefs;
};

TEST_F(Viewer_view, SmallImageTakesTheWholeImagePath) {
  open_as(1);
  ImageDialogDrv* v = open_test_viewer(make_test_image(300, 200, k_type_png, ramp), "s.png");
  EXPECT_TRUE(v->image_box->visible());
  EXPECT_FALSE(v->visible_box->visible());
  ASSERT_NE(v->image_box->image(), nullptr);
  EXPECT_EQ(v->image_box->image()->w(), 300);
  EXPECT_EQ(v->image_box->image()->h(), 200);
  EXPECT_EQ(v->zoom_factor(), 1.f);
}

TEST_F(Viewer_view, FitWindowEnlargesASmallImageWithoutScrollbars) {
  open_as(0);
  ImageDialogDrv* v =
      open_test_viewer(make_test_image(100, 100, k_type_png, ramp), "f.png", 640, 480);
  EXPECT_EQ(v->zoom_mode(), 1);
  EXPECT_FLOAT_EQ(v->zoom_factor(), 4.55f);
  EXPECT_EQ(v->image_box->w(), 455);
  EXPECT_EQ(v->image_box->h(), 455);
  EXPECT_FALSE(v->scroll->scrollbar.visible());
  EXPECT_FALSE(v->scroll->hscrollbar.visible());
}

TEST_F(Viewer_view, LargeImageAtOneToOneShowsOnlyTheVisibleRectangle) {
  open_as(1);
  ImageDialogDrv* v =
      open_test_viewer(make_test_image(5000, 5000, k_type_png, ramp), "l.png", 640, 480);
  ASSERT_TRUE(v->visible_box->visible());
  EXPECT_FALSE(v->image_box->visible());
  EXPECT_EQ(v->image_box->w(), 5000);  // the scroll extent stays that of the whole image
  const Image_rect r = v->scroll->visible_rect();
  EXPECT_GE(r.x0, 0);
  EXPECT_LE(r.x1, 5000);
  EXPECT_GT(r.x1, r.x0);
  EXPECT_EQ(r.x1 - r.x0, v->scroll->w() - v->scroll->scrollbar.w());
  ASSERT_NE(v->visible_box->image(), nullptr);
  EXPECT_EQ(v->visible_box->image()->w(), v->scroll->scrollbar.x() - v->scroll->x());

  // Scrolling through the bar moves the rectangle with it.
  const int before = r.x0;
  v->scroll->hscrollbar.value(before + 777);
  v->scroll->hscrollbar.do_callback();
  settle(0.05);
  EXPECT_EQ(v->scroll->visible_rect().x0, before + 777);
  EXPECT_EQ(v->scroll->visible_rect().x1 - v->scroll->visible_rect().x0,
            v->scroll->w() - v->scroll->scrollbar.w());

  // The same image fitted to the window is converted whole.
  v->zoom(1);
  EXPECT_TRUE(v->image_box->visible());
  EXPECT_FALSE(v->visible_box->visible());
}

TEST_F(Viewer_view, NearestFitShowsTheBytesOfConvertThenResize) {
  open_as(0);
  m_prefs->resize_method_choice->value(0);
  auto im = make_test_image(1999, 1501, k_type_exr, [](uint32_t x, uint32_t y) {
    return Rgb{0.01f * float(x % 97), 0.02f * float(y % 89), 0.5f + float((x * y) % 7)};
  });
  ImageDialogDrv* v = open_test_viewer(std::move(im), "n.exr", 640, 480);
  const Fl_Image* picture = v->image_box->image();
  ASSERT_NE(picture, nullptr);
  Rgb8_image want;
  to_display_rgb8(*v->get_image(), want, k_type_exr);
  want.resize(picture->w(), picture->h(), -100, -100, 1);
  std::vector<uint8_t> bytes(size_t(picture->w()) * picture->h() * 3);
  planar_rgb8_to_interleaved(bytes.data(), want);
  EXPECT_EQ(std::memcmp(bytes.data(), picture->data()[0], bytes.size()), 0);
}

TEST_F(Viewer_view, ZoomedDisplayIsCappedAt32767) {
  open_as(1);
  ImageDialogDrv* v =
      open_test_viewer(make_test_image(40000, 100, k_type_png, ramp), "w.png", 640, 480);
  EXPECT_EQ(v->image_box->w(), 32767);
  EXPECT_EQ(v->image_box->h(), 81);
  EXPECT_FLOAT_EQ(v->zoom_factor(), 32767.f / 40000.f);
}

TEST_F(Viewer_view, FirstDisplayOfHdrImageAppliesItsExposureOnce) {
  open_as(0);
  // Two levels only: few rising percentile steps, so the maximum luminance maps to 9999.
  auto im = make_test_image(64, 64, k_type_exr, [](uint32_t x, uint32_t) {
    return x < 32 ? Rgb{0.5f, 0.5f, 0.5f} : Rgb{4.f, 4.f, 4.f};
  });
  ImageDialogDrv* v = open_test_viewer(std::move(im), "two.exr");
  const float want = float(9999.0 / (4.0 + 1e-12));
  EXPECT_FLOAT_EQ(v->exposure_factor(), want);
  EXPECT_FLOAT_EQ(v->default_exposure(), want);
  EXPECT_FLOAT_EQ((*v->get_image())(40, 3, 0, 1), 4.f * want);
  float r, g, b;
  v->get_pixel(40, 3, r, g, b);
  EXPECT_FLOAT_EQ(g, 4.f);
  v->update_view();  // not a second time
  EXPECT_FLOAT_EQ(v->exposure_factor(), want);
}

TEST_F(Viewer_view, FirstDisplayOfRichHdrImageUsesThe92ndPercentile) {
  open_as(0);
  auto im = make_test_image(100, 100, k_type_exr, [](uint32_t x, uint32_t y) {
    const float v = 0.01f * float(y * 100 + x + 1);
    return Rgb{v, v, v};
  });
  const float want = display_scale(*im);
  ImageDialogDrv* v = open_test_viewer(std::move(im), "rich.exr");
  EXPECT_FLOAT_EQ(v->exposure_factor(), want);
  EXPECT_NEAR(v->exposure_factor(), 9999.f / 92.f, 1.f);
}

TEST_F(Viewer_view, EightBitImagesAreNotScaledAndDefaultChangesNothing) {
  open_as(0);
  ImageDialogDrv* v = open_test_viewer(make_test_image(20, 10, k_type_jpeg, ramp), "e.jpg");
  EXPECT_EQ(v->exposure_factor(), 1.f);
  const Hdr_image before = *v->get_image();
  const Fl_Image* picture = v->image_box->image();
  v->exposure(3);
  EXPECT_EQ(v->exposure_factor(), 1.f);
  EXPECT_EQ(std::memcmp(before.data(), v->get_image()->data(), before.size() * sizeof(float)), 0);
  EXPECT_EQ(v->image_box->image(), picture);  // no redisplay
}

struct Step_case {
  int item;
  float factor;
};
class Exposure_step : public Viewer_view, public ::testing::WithParamInterface<Step_case> {};

TEST_P(Exposure_step, LighterThenDarkerRestoresPixelsAndReadout) {
  open_as(0);
  exposure_steps(GetParam().item);
  ImageDialogDrv* v =
      open_test_viewer(make_test_image(40, 30, k_type_png,
                                       [](uint32_t x, uint32_t y) {
                                         return Rgb{0.37f * float(x), 1.3f * float(y), 7.f};
                                       }),
                       "x.png");
  const Hdr_image original = *v->get_image();
  v->exposure(0);
  EXPECT_EQ(v->exposure_factor(), GetParam().factor);
  EXPECT_EQ((*v->get_image())(5, 6, 0, 0), original(5, 6, 0, 0) * GetParam().factor);
  float r, g, b;
  v->get_pixel(5, 6, r, g, b);
  EXPECT_FLOAT_EQ(r, original(5, 6, 0, 0));
  v->exposure(1);
  EXPECT_EQ(v->exposure_factor(), 1.f);
  EXPECT_EQ(std::memcmp(original.data(), v->get_image()->data(), original.size() * sizeof(float)),
            0);
}

INSTANTIATE_TEST_SUITE_P(PowersOfTwo, Exposure_step,
                         ::testing::Values(Step_case{2, 2.f}, Step_case{3, 8.f},
                                           Step_case{4, 32.f}));

TEST_F(Viewer_view, ExposureStepsNeverReachInfinityOrZero) {
  open_as(0);
  exposure_steps(4);  // 32x per step
  auto im = make_test_image(8, 8, k_type_exr, [](uint32_t x, uint32_t) {
    return Rgb{x == 0 ? 1e-30f : 1.f, x == 7 ? 1e30f : 1.f, 1.f};
  });
  ImageDialogDrv* v = open_test_viewer(std::move(im), "edge.exr");
  for (int i = 0; i < 40; ++i) v->exposure(0);
  Value_extent e = value_extent(*v->get_image());
  EXPECT_TRUE(std::isfinite(e.max));
  EXPECT_LE(e.max, FLT_MAX);
  for (int i = 0; i < 80; ++i) v->exposure(1);
  e = value_extent(*v->get_image());
  EXPECT_GE(e.min_positive, FLT_MIN);
  float r, g, b;
  v->get_pixel(0, 0, r, g, b);
  EXPECT_NEAR(r, 1e-30f, 1e-33f);
  EXPECT_TRUE(std::isfinite(v->exposure_factor()));
}

TEST_F(Viewer_view, SelectionExposureMapsTheRegionAndHidesTheSelection) {
  open_as(1);
  ImageDialogDrv* v = open_test_viewer(
      make_test_image(200, 100, k_type_png,
                      [](uint32_t x, uint32_t) {
                        return x < 100 ? Rgb{20.f, 20.f, 20.f} : Rgb{200.f, 200.f, 200.f};
                      }),
      "sel.png");
  const int bx = v->image_box->x(), by = v->image_box->y();
  mouse(v, FL_PUSH, bx + 10, by + 10);
  mouse(v, FL_DRAG, bx + 10, by + 10);
  mouse(v, FL_DRAG, bx + 50, by + 60);
  mouse(v, FL_RELEASE, bx + 50, by + 60);
  ASSERT_TRUE(v->selection_shown());
  v->exposure(2);
  EXPECT_FALSE(v->selection_shown());
  EXPECT_NEAR(v->exposure_factor(), 127.5f / 20.f, 1e-3f);
}

TEST_F(Viewer_view, SelectionExposureOnABlackRegionChangesNothing) {
  open_as(1);
  ImageDialogDrv* v =
      open_test_viewer(make_test_image(200, 100, k_type_exr,
                                       [](uint32_t x, uint32_t) {
                                         return x < 100 ? Rgb{0.f, 0.f, 0.f} : Rgb{2.f, 2.f, 2.f};
                                       }),
                       "black.exr");
  const float before = v->exposure_factor();
  const int bx = v->image_box->x(), by = v->image_box->y();
  mouse(v, FL_DRAG, bx + 5, by + 5);
  mouse(v, FL_DRAG, bx + 40, by + 40);
  mouse(v, FL_RELEASE, bx + 40, by + 40);
  v->exposure(2);
  EXPECT_EQ(v->exposure_factor(), before);
  EXPECT_TRUE(std::isfinite(value_extent(*v->get_image()).max));
}

TEST_F(Viewer_view, ZoomStepsAndTheirLimit) {
  open_as(0);
  ImageDialogDrv* v =
      open_test_viewer(make_test_image(100, 100, k_type_png, ramp), "z.png", 640, 480);
  const float fitted = v->zoom_factor();
  v->zoom(2);
  EXPECT_FLOAT_EQ(v->zoom_factor(), fitted * 1.25f);
  EXPECT_FALSE(v->menu_item("&View/Fit Window")->value());
  EXPECT_FALSE(v->menu_item("&View/Original Size")->value());
  for (int i = 0; i < 80; ++i) v->zoom(3);
  EXPECT_FLOAT_EQ(v->zoom_factor(), 0.05f);
  EXPECT_EQ(v->image_box->w(), 5);
  v->zoom(0);
  EXPECT_EQ(v->zoom_factor(), 1.f);
  EXPECT_STREQ(v->label(), "z.png (100%) ");
}

TEST_F(Viewer_view, ReadoutFollowsThePointer) {
  open_as(1);
  ImageDialogDrv* v =
      open_test_viewer(make_test_image(300, 200, k_type_exr,
                                       [](uint32_t x, uint32_t y) {
                                         return Rgb{0.001f * float(x), 0.002f * float(y), 0.5f};
                                       }),
                       "r.exr");
  v->menu_item("&View/Pixel Info")->set();
  v->pixel_info();
  ASSERT_TRUE(v->pixel_group->visible());
  const int bx = v->image_box->x(), by = v->image_box->y();
  mouse(v, FL_MOVE, bx + 250, by + 20);
  EXPECT_STREQ(v->position_label->label(), "X = 250 Y = 20");
  EXPECT_STREQ(v->red_label->label(), "R = 0.2500");
  EXPECT_STREQ(v->green_label->label(), "G = 0.0400");
  EXPECT_STREQ(v->blue_label->label(), "B = 0.5000");
  float p[3] = {0.25f, 0.04f, 0.5f};
  rgb_to_yxy(p);
  EXPECT_EQ(std::string(v->lum_label->label()), readout_value_text("L", p[0], 2));
  EXPECT_EQ(std::string(v->x_label->label()), readout_value_text("x", p[1], 2));
  EXPECT_EQ(std::string(v->y_label->label()), readout_value_text("y", p[2], 2));
  EXPECT_EQ(v->current_cursor(), FL_CURSOR_CROSS);
}

// The box's far column and row read the image's last column and row, never the first
// pixel of the next row or a value past the planes: at zoom 1 and at zooms where the last
// display pixel divides to just below the width. The window is larger than the image, so
// the whole box lies left of and above the scrollbars' edges.
TEST_F(Viewer_view, ReadoutAtTheLastColumnAndRowReadsThatPixel) {
  open_as(1);
  const uint32_t iw = 300, ih = 200;
  auto value = [](uint32_t x, uint32_t y) {
    return Rgb{0.001f * float(x + 1), 0.002f * float(y + 1), 0.25f};
  };
  ImageDialogDrv* v =
      open_test_viewer(make_test_image(iw, ih, k_type_exr, value), "e.exr", 640, 480);
  v->menu_item("&View/Pixel Info")->set();
  v->pixel_info();
  for (int zoom_steps : {0, 1, 2, 3, -1, -2}) {
    v->zoom(0);
    for (int i = 0; i < zoom_steps; ++i) v->zoom(2);
    for (int i = 0; i > zoom_steps; --i) v->zoom(3);
    settle(0.05);
    const float zoom = v->zoom_factor();
    const int bx = v->image_box->x(), by = v->image_box->y();
    const int bw = v->image_box->w(), bh = v->image_box->h();
    ASSERT_EQ(bw, int(float(iw) * zoom)) << zoom;
    ASSERT_LE(bx + bw - 1, v->scroll->scrollbar.x()) << zoom;
    ASSERT_LE(by + bh - 1, v->scroll->hscrollbar.y()) << zoom;
    struct Spot {
      int x, y;
    };
    for (const Spot p :
         {Spot{bx + bw - 1, by + 2}, Spot{bx + 2, by + bh - 1}, Spot{bx + bw - 1, by + bh - 1}}) {
      v->position_label->copy_label("none");
      mouse(v, FL_MOVE, p.x, p.y);
      const int ix = int(float(p.x - bx) / zoom), iy = int(float(p.y - by) / zoom);
      ASSERT_LT(ix, int(iw));
      ASSERT_LT(iy, int(ih));
      const Rgb want = value(uint32_t(ix), uint32_t(iy));
      EXPECT_EQ(std::string(v->position_label->label()),
                "X = " + std::to_string(ix) + " Y = " + std::to_string(iy))
          << "zoom " << zoom;
      EXPECT_EQ(std::string(v->red_label->label()), readout_value_text("R", want.r, 4))
          << "zoom " << zoom << " at " << ix << ", " << iy;
      EXPECT_EQ(std::string(v->green_label->label()), readout_value_text("G", want.g, 4))
          << "zoom " << zoom << " at " << ix << ", " << iy;
    }
  }

  // A dialog hands the image back narrower, and events can arrive before update_view sizes
  // the box again: where the pointer divides to exactly the new width, the readout keeps to
  // the last column (on the last row anything else would read past the planes).
  struct Stale_case {
    int zoom_steps;  // Zoom In steps from 1: zoom 1 or 1.25
    uint32_t new_width;
    int offset;  // pointer x - box x, offset / zoom = new_width
  };
  for (const Stale_case c : {Stale_case{0, 250, 250}, Stale_case{1, 240, 300}}) {
    v->zoom(0);
    for (int i = 0; i < c.zoom_steps; ++i) v->zoom(2);
    settle(0.05);
    Hdr_image* image = v->get_image();
    image->crop(0, 0, int(c.new_width) - 1, int(ih) - 1);
    ASSERT_EQ(image->width(), int(c.new_width));
    const int bx = v->image_box->x(), by = v->image_box->y();
    ASSERT_GT(v->image_box->w(), c.offset);
    for (const int row : {2, int(ih) - 1}) {
      const int py = by + int(std::ceil(float(row) * v->zoom_factor()));
      ASSERT_EQ(int(float(py - by) / v->zoom_factor()), row);
      mouse(v, FL_MOVE, bx + c.offset, py);
      const uint32_t last = c.new_width - 1;
      EXPECT_EQ(std::string(v->position_label->label()),
                "X = " + std::to_string(last) + " Y = " + std::to_string(row))
          << "zoom " << v->zoom_factor();
      const Rgb want = value(last, uint32_t(row));
      EXPECT_EQ(std::string(v->red_label->label()), readout_value_text("R", want.r, 4))
          << "zoom " << v->zoom_factor() << " row " << row;
      EXPECT_EQ(std::string(v->blue_label->label()), readout_value_text("B", want.b, 4))
          << "zoom " << v->zoom_factor() << " row " << row;
    }
    v->update_view();
  }
}

TEST_F(Viewer_view, ReadoutGroupJumpsAwayFromThePointer) {
  open_as(1);
  ImageDialogDrv* v = open_test_viewer(make_test_image(600, 450, k_type_png, ramp), "j.png");
  v->menu_item("&View/Pixel Info")->set();
  v->pixel_info();
  ASSERT_EQ(v->pixel_group->x(), 0);
  mouse(v, FL_MOVE, v->pixel_frame->x() + 20, v->pixel_frame->y() + 20);
  EXPECT_EQ(v->pixel_group->x(), v->w() - v->pixel_frame->w());
  mouse(v, FL_MOVE, v->pixel_frame->x() + 20, v->pixel_frame->y() + 20);
  EXPECT_EQ(v->pixel_group->x(), 0);
}

TEST_F(Viewer_view, SelectionGeometryAndScrollbarEdge) {
  open_as(1);
  ImageDialogDrv* v =
      open_test_viewer(make_test_image(2000, 1500, k_type_png, ramp), "g.png", 640, 480);
  // Bottom right to top left gives the bounds of top left to bottom right.
  mouse(v, FL_PUSH, 300, 300);
  mouse(v, FL_DRAG, 300, 300);
  mouse(v, FL_DRAG, 100, 150);
  mouse(v, FL_RELEASE, 100, 150);
  int sel[4], bounds[4];
  v->selection(sel);
  v->selection_to_image(sel, bounds);
  const int bx = v->image_box->x(), by = v->image_box->y();
  EXPECT_EQ(bounds[0], 100 - bx);
  EXPECT_EQ(bounds[1], 150 - by);
  EXPECT_EQ(bounds[2], 300 - bx);
  EXPECT_EQ(bounds[3], 300 - by);
  v->redraw();
  settle(0.05);
  EXPECT_TRUE(v->menu_item("&Tools/Crop/Selection")->active());

  // A drag that runs onto the vertical scrollbar ends at the bar's left edge.
  const Fl_Scrollbar& bar = v->scroll->scrollbar;
  ASSERT_TRUE(bar.visible());
  mouse(v, FL_PUSH, 200, 200);
  mouse(v, FL_DRAG, 200, 200);
  mouse(v, FL_DRAG, bar.x(), 260);
  mouse(v, FL_DRAG, bar.x() + 5, 270);  // beyond the image area: ignored
  mouse(v, FL_RELEASE, bar.x() + 5, 270);
  v->selection(sel);
  EXPECT_EQ(sel[0], 200);
  EXPECT_EQ(sel[2], bar.x());
  EXPECT_EQ(sel[3], 260);
  // A press below the menu bar hides the selection.
  mouse(v, FL_PUSH, 200, 200);
  EXPECT_FALSE(v->selection_shown());
}

TEST_F(Viewer_view, CalibrationStartsOnTheNextPressOnTheImage) {
  open_as(1);
  Scripted_messages messages;
  Fake_browser browser;
  int calls = 0, cx = -1, cy = -1;
  browser.answers().start_calibration = [&](ImageDialogDrv&, int x, int y) {
    ++calls;
    cx = x;
    cy = y;
  };
  ImageDialogDrv* v =
      open_test_viewer(make_test_image(300, 200, k_type_exr, ramp), "c.exr", 640, 480);
  v->calibrate();
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0], "Click on a pixel to begin calibration");
  mouse(v, FL_PUSH, 3, 40);  // beside the image: still pending
  EXPECT_TRUE(v->calibrate_pending());
  mouse(v, FL_PUSH, v->image_box->x() + 30, v->image_box->y() + 40);
  EXPECT_FALSE(v->calibrate_pending());
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(cx, 30);
  EXPECT_EQ(cy, 40);
}

TEST_F(Viewer_view, ScreenshotShowsTheRightPixelsInTheRightPlaces) {
  open_as(1);
  // Four quadrants of known colours, 8-bit so that the display is the identity.
  ImageDialogDrv* v = open_test_viewer(
      make_test_image(64, 48, k_type_png,
                      [](uint32_t x, uint32_t y) {
                        if (y < 24) return x < 32 ? Rgb{255.f, 0.f, 0.f} : Rgb{0.f, 255.f, 0.f};
                        return x < 32 ? Rgb{0.f, 0.f, 255.f} : Rgb{250.f, 128.f, 3.f};
                      }),
      "shot.png");
  v->redraw();
  settle(0.2);
  const int bx = v->image_box->x(), by = v->image_box->y();
  v->make_current();
  std::vector<uchar> px(64 * 48 * 3);
  fl_read_image(px.data(), bx, by, 64, 48);
  auto at = [&](int x, int y, int c) { return int(px[(y * 64 + x) * 3 + c]); };
  const int want[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {250, 128, 3}};
  const int probes[4][2] = {{3, 3}, {60, 2}, {1, 45}, {63, 47}};
  for (int q = 0; q < 4; ++q)
    for (int c = 0; c < 3; ++c)
      EXPECT_EQ(at(probes[q][0], probes[q][1], c), want[q][c]) << "quadrant " << q;
}

}  // namespace
