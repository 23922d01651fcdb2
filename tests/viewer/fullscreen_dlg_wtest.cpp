// The full-screen view under the X server: fitting and centring, the exposure keys, the
// arrow keys through the grid's files, closing onto the closed-windows list, and the
// viewer's "Fullscreen..." hand-off.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_RGB_Image.H>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/display_convert.h"
#include "core/hdr_image.h"
#include "core/image_save.h"
#include "core/pixel_buffers.h"
#include "tests/support/fake_browser.h"
#include "tests/support/image_compare.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "viewer/fullscreen_dlg.h"
#include "viewer/image_box_drv.h"
#include "viewer/image_dialog_drv.h"

namespace {

// A full-screen view that tells when it is deleted.
class Watched_full_screen : public FullScreenDlg {
 public:
  Watched_full_screen(std::unique_ptr<Hdr_image> image, const std::string& path, bool& deleted)
      : FullScreenDlg(std::move(image), path, "/tmp/"), m_deleted(deleted) {
    m_deleted = false;
  }
  ~Watched_full_screen() override { m_deleted = true; }

 private:
  bool& m_deleted;
};

// Shows the view as the viewer does: full screen, shown, fitted.
template <class View>
View* present(View* view) {
  view->fullscreen();
  view->show();
  while (!view->shown()) Fl::wait(0.01);
  view->fit_and_show();
  settle();
  return view;
}

// A key press as the toolkit delivers it to the view.
void press(FullScreenDlg* view, int key, const char* text) {
  Fl::e_keysym = key;
  Fl::e_text = const_cast<char*>(text);
  Fl::e_length = int(std::char_traits<char>::length(text));
  view->handle(FL_KEYDOWN);
}

bool listed_closed(const Fl_Window* w) {
  return std::count(g_closed_viewers.begin(), g_closed_viewers.end(), w) == 1;
}

// The first byte (red of the top-left pixel) of the view's picture.
int first_display_byte(const FullScreenDlg* view) {
  const Fl_Image* picture = view->image_box()->image();
  return picture ? int(reinterpret_cast<const unsigned char*>(picture->data()[0])[0]) : -1;
}

class Full_screen : public ::testing::Test {
 protected:
  void SetUp() override {
    // a.png 30x20 (values 10), b.exr 50x40, c.png 70x10 (values 200).
    write("a.png", 30, 20, k_type_png, 10.f);
    write("b.exr", 50, 40, k_type_exr, 0.25f);
    write("c.png", 70, 10, k_type_png, 200.f);
    write_file_bytes(dir.file("broken.exr"), "not an OpenEXR file");
    m_browser.answers().grid_paths = [this] { return m_paths; };
  }
  void TearDown() override { delete_all_viewers(); }
  void write(const char* name, uint32_t w, uint32_t h, uint32_t type, float v) {
    auto im = make_test_image(w, h, type, [v](uint32_t x, uint32_t) {
      return Rgb{v, v * 0.5f, float(x % 7)};
    });
    save_image_as(*im, dir.file(name), type);
  }
  void grid(std::initializer_list<const char*> names) {
    m_paths.clear();
    for (const char* n : names) m_paths.push_back(dir.file(n));
  }
  FullScreenDlg* open_file(const char* name) {
    return present(
        new FullScreenDlg(std::make_unique<Hdr_image>(dir.file(name)), dir.file(name), dir.path()));
  }

  Temp_dir dir;
  Scripted_messages messages;
  std::vector<std::string> m_paths;
  Fake_browser m_browser;
};

Rgb ramp(uint32_t x, uint32_t y) { return {float(x % 256), float(y % 256), 50.f}; }

TEST_F(Full_screen, FillsTheScreenUnderThePointerInBlack) {
  FullScreenDlg* view =
      present(new FullScreenDlg(make_test_image(30, 20, k_type_png, ramp), "/tmp/s.png", "/tmp/"));
  int mx, my, sx, sy, sw, sh;
  Fl::get_mouse(mx, my);
  Fl::screen_xywh(sx, sy, sw, sh, mx, my);
  EXPECT_EQ(view->w(), sw);
  EXPECT_EQ(view->h(), sh);
  EXPECT_EQ(view->color(), FL_BLACK);
  EXPECT_EQ(view->label(), nullptr);
  EXPECT_EQ(view->image_box()->box(), FL_NO_BOX);
}

TEST_F(Full_screen, SmallImageIsShownAtItsOwnSizeCentred) {
  auto image = make_test_image(301, 200, k_type_png, ramp);
  const Hdr_image original = *image;
  FullScreenDlg* view = present(new FullScreenDlg(std::move(image), "/tmp/s.png", "/tmp/"));
  const Fl_Box* box = view->image_box();
  EXPECT_EQ(box->w(), 301);
  EXPECT_EQ(box->h(), 200);
  EXPECT_EQ(box->x(), (view->w() - 301) / 2);
  EXPECT_EQ(box->y(), (view->h() - 200) / 2);
  ASSERT_NE(box->image(), nullptr);
  EXPECT_EQ(box->image()->w(), 301);
  EXPECT_EQ(box->image()->h(), 200);
  EXPECT_TRUE(images_match(original, *view->image()));  // never enlarged or resampled
}

TEST_F(Full_screen, LargeImageIsScaledDownWithItsAspectKept) {
  // Three screens wide, half a screen high: the width decides.
  const int sw = Fl::w(), sh = Fl::h();
  const uint32_t iw = uint32_t(3 * sw), ih = uint32_t(sh / 2);
  FullScreenDlg* view = present(new FullScreenDlg(
      make_test_image(iw, ih, k_type_png,
                      [iw](uint32_t x, uint32_t) {
                        return x < iw / 2 ? Rgb{200.f, 100.f, 0.f} : Rgb{0.f, 100.f, 200.f};
                      }),
      "/tmp/l.png", "/tmp/"));
  const Fl_Box* box = view->image_box();
  EXPECT_NEAR(box->w(), view->w(), 1);
  EXPECT_LE(box->w(), view->w());
  EXPECT_NEAR(double(box->w()) / box->h(), double(iw) / ih, 0.05);
  EXPECT_EQ(box->x(), (view->w() - box->w()) / 2);
  EXPECT_EQ(box->y(), (view->h() - box->h()) / 2);
  // The view's copy is resampled to the box, linearly: the two halves keep their colours.
  const Hdr_image& fitted = *view->image();
  EXPECT_EQ(fitted.width(), box->w());
  EXPECT_EQ(fitted.height(), box->h());
  EXPECT_FLOAT_EQ(fitted(2, 2, 0, 0), 200.f);
  EXPECT_FLOAT_EQ(fitted(fitted.width() - 3, 2, 0, 2), 200.f);
  ASSERT_NE(box->image(), nullptr);
  EXPECT_EQ(box->image()->w(), box->w());
}

TEST_F(Full_screen, PlusTwiceThenMinusTwiceRestoresTheValues) {
  auto image = make_test_image(40, 30, k_type_png, [](uint32_t x, uint32_t y) {
    return Rgb{100.f, float(x) * 0.37f, float(y) + 0.5f};
  });
  const Hdr_image original = *image;
  FullScreenDlg* view = present(new FullScreenDlg(std::move(image), "/tmp/e.png", "/tmp/"));
  EXPECT_EQ(first_display_byte(view), 100);
  press(view, '+', "+");
  press(view, '+', "+");
  EXPECT_NEAR((*view->image())(0, 0, 0, 0), 225.f, 1e-4f);
  EXPECT_NEAR((*view->image())(3, 5, 0, 1), 3 * 0.37f * 2.25f, 1e-5f);
  EXPECT_EQ(first_display_byte(view), 225);  // shown at once
  press(view, '-', "-");
  press(view, '-', "-");
  EXPECT_TRUE(images_match(original, *view->image(), {1e-5, 1e-6, 0}));
  EXPECT_EQ(first_display_byte(view), 100);
}

TEST_F(Full_screen, ExposureKeysNeverPushValuesToInfinity) {
  FullScreenDlg* view = present(new FullScreenDlg(make_test_image(8, 8, k_type_exr,
                                                                  [](uint32_t, uint32_t) {
                                                                    return Rgb{3e38f, 1.f, 1.f};
                                                                  }),
                                                  "/tmp/big.exr", "/tmp/"));
  press(view, '+', "+");
  EXPECT_EQ((*view->image())(0, 0, 0, 0), 3e38f);  // skipped: 4.5e38 is no float
  press(view, '-', "-");
  EXPECT_FLOAT_EQ((*view->image())(0, 0, 0, 0), 2e38f);
}

struct Still_case {
  const char* name;
  std::vector<const char*> grid;
  const char* current;
  int key;
};

class Full_screen_still : public Full_screen, public ::testing::WithParamInterface<Still_case> {};

TEST_P(Full_screen_still, ArrowDoesNothing) {
  const Still_case& c = GetParam();
  m_paths.clear();
  for (const char* n : c.grid) m_paths.push_back(dir.file(n));
  FullScreenDlg* view = open_file(c.current);
  const Hdr_image before = *view->image();
  press(view, c.key, "");
  EXPECT_EQ(view->path(), dir.file(c.current));
  EXPECT_TRUE(images_match(before, *view->image()));
  EXPECT_TRUE(messages.alerts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Full_screen_still,
    ::testing::Values(Still_case{"RightOnTheLast", {"a.png", "b.exr", "c.png"}, "c.png", FL_Right},
                      Still_case{"LeftOnTheFirst", {"a.png", "b.exr", "c.png"}, "a.png", FL_Left},
                      Still_case{"NotInTheGrid", {"a.png", "b.exr"}, "c.png", FL_Right},
                      Still_case{"OneTile", {"a.png"}, "a.png", FL_Right},
                      Still_case{"EmptyGrid", {}, "a.png", FL_Left}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Full_screen, HdrNeighbourGetsItsOwnFirstDisplayExposure) {
  grid({"a.png", "b.exr", "c.png"});
  FullScreenDlg* view = open_file("a.png");
  press(view, '+', "+");  // the exposure of the file shown before is not carried over

  press(view, FL_Right, "");
  EXPECT_EQ(view->path(), dir.file("b.exr"));
  EXPECT_EQ(view->directory(), dir.path());
  Hdr_image expected(dir.file("b.exr"));
  const float scale = display_scale(expected);
  ASSERT_GT(scale, 1.f);
  expected *= scale;
  EXPECT_TRUE(images_match(expected, *view->image(), {0, 1e-6, 0}));
  EXPECT_EQ(view->image_box()->w(), 50);

  // An 8-bit neighbour is shown with its own values.
  press(view, FL_Right, "");
  EXPECT_EQ(view->path(), dir.file("c.png"));
  EXPECT_TRUE(images_match(Hdr_image(dir.file("c.png")), *view->image()));
  press(view, FL_Left, "");
  press(view, FL_Left, "");
  EXPECT_EQ(view->path(), dir.file("a.png"));
  EXPECT_TRUE(images_match(Hdr_image(dir.file("a.png")), *view->image()));
  EXPECT_TRUE(messages.alerts.empty());
}

TEST_F(Full_screen, NeighbourThatCannotBeReadIsAlertedAndTheImageKept) {
  grid({"a.png", "broken.exr", "c.png"});
  FullScreenDlg* view = open_file("a.png");
  const Hdr_image before = *view->image();
  press(view, FL_Right, "");
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_NE(messages.alerts[0].find(dir.file("broken.exr")), std::string::npos)
      << messages.alerts[0];
  EXPECT_EQ(view->path(), dir.file("a.png"));
  EXPECT_TRUE(images_match(before, *view->image()));
  EXPECT_NE(view->image_box()->image(), nullptr);
}

TEST_F(Full_screen, EscapeQueuesTheViewAndTheNextViewerDeletesIt) {
  bool deleted = false;
  auto* view = present(
      new Watched_full_screen(make_test_image(30, 20, k_type_png, ramp), "/tmp/q.png", deleted));
  ASSERT_NE(view->image(), nullptr);
  ASSERT_EQ(view->display_bytes(), 30u * 20u * 3u);
  Fl::focus(view);
  Fl::e_keysym = FL_Escape;
  Fl::e_text = const_cast<char*>("\033");
  Fl::e_length = 1;
  Fl::handle(FL_KEYDOWN, view);
  EXPECT_FALSE(view->shown());
  EXPECT_TRUE(listed_closed(view));
  // The picture, the float copy and the planar image are freed at once: the view may wait
  // on the list for long.
  EXPECT_EQ(view->image_box()->image(), nullptr);
  EXPECT_EQ(view->image(), nullptr);
  EXPECT_EQ(view->display_bytes(), 0u);
  view->close_window();  // the close box after Escape: still listed once
  EXPECT_TRUE(listed_closed(view));
  EXPECT_FALSE(deleted);

  auto* viewer = new ImageDialogDrv(640, 480, "next");
  EXPECT_TRUE(deleted);
  EXPECT_TRUE(g_closed_viewers.empty());
  delete viewer;
}

// Closed and a new viewer built while its own step reads the next file (the busy cursor
// serves events): the view outlives the step, which then shows nothing more.
Fl_Window* g_closing_view = nullptr;
std::vector<ImageDialogDrv*> g_viewers_built;
void close_and_build_viewer(void*) {
  static_cast<FullScreenDlg*>(g_closing_view)->close_window();
  g_viewers_built.push_back(new ImageDialogDrv(640, 480, "during"));
}

TEST_F(Full_screen, ClosedDuringItsOwnStepIsDeletedOnlyAfterwards) {
  grid({"a.png", "b.exr"});
  bool deleted = false;
  auto* view = present(new Watched_full_screen(std::make_unique<Hdr_image>(dir.file("a.png")),
                                               dir.file("a.png"), deleted));
  g_closing_view = view;
  Fl::add_timeout(0, close_and_build_viewer);
  press(view, FL_Right, "");
  ASSERT_EQ(g_viewers_built.size(), 1u);
  EXPECT_FALSE(deleted);
  EXPECT_TRUE(listed_closed(view));
  EXPECT_EQ(view->path(), dir.file("a.png"));  // nothing shown once closed
  EXPECT_EQ(view->image_box()->image(), nullptr);

  g_viewers_built.push_back(new ImageDialogDrv(640, 480, "after"));
  EXPECT_TRUE(deleted);
  for (ImageDialogDrv* v : g_viewers_built) delete v;
  g_viewers_built.clear();
}

// The views the viewer opened, newest last.
std::vector<FullScreenDlg*> shown_views() {
  std::vector<FullScreenDlg*> views;
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    if (auto* v = dynamic_cast<FullScreenDlg*>(w)) views.insert(views.begin(), v);
  return views;
}

// The bytes of a picture's w x h pixels.
std::vector<unsigned char> picture_bytes(const Fl_Image* picture) {
  const auto* p = reinterpret_cast<const unsigned char*>(picture->data()[0]);
  return std::vector<unsigned char>(p, p + size_t(picture->w()) * size_t(picture->h()) * 3);
}

TEST_F(Full_screen, AnHdrImageShowsTheViewersDisplayBytesAtTheSameExposure) {
  // Four decades with colour: the gamma table and a plain 8-bit clamp disagree almost
  // everywhere.
  ImageDialogDrv* viewer = open_test_viewer(
      make_test_image(64, 48, k_type_exr,
                      [](uint32_t x, uint32_t y) {
                        const float v =
                            0.01f * std::pow(10.f, 4.f * float(x) / 63.f) * (1.f + float(y) / 48.f);
                        return Rgb{v, 0.5f * v, 0.1f + 0.2f * v};
                      }),
      "h.exr");
  for (int i = 0; i < 4; ++i) viewer->exposure(0);  // brighter than the first display
  settle();
  ASSERT_EQ(viewer->zoom_factor(), 1.f);
  const Fl_Image* in_viewer = viewer->image_box->image();
  ASSERT_NE(in_viewer, nullptr);
  ASSERT_EQ(in_viewer->w(), 64);
  ASSERT_EQ(in_viewer->h(), 48);
  const std::vector<unsigned char> expected = picture_bytes(in_viewer);
  // The fixture tells the two conversions apart.
  Rgb8_image plain;
  to_display_rgb8(*viewer->get_image(), plain, k_type_png);
  std::vector<unsigned char> plain_bytes(expected.size());
  planar_rgb8_to_interleaved(plain_bytes.data(), plain);
  ASSERT_NE(plain_bytes, expected);

  viewer->menu_item("&View/Fullscreen...")->do_callback(viewer->menu_bar);
  settle();
  const std::vector<FullScreenDlg*> views = shown_views();
  ASSERT_EQ(views.size(), 1u);
  const Fl_Image* full = views[0]->image_box()->image();
  ASSERT_NE(full, nullptr);
  ASSERT_EQ(full->w(), 64);  // shown at its own size: no resampling between the two
  ASSERT_EQ(full->h(), 48);
  EXPECT_EQ(picture_bytes(full), expected);
}

TEST_F(Full_screen, FullscreenItemOpensANewViewOnACopyOfTheViewersImage) {
  ImageDialogDrv* viewer =
      open_test_viewer(make_test_image(64, 48, k_type_exr,
                                       [](uint32_t x, uint32_t) {
                                         return Rgb{0.5f + float(x), 2.f, 0.25f};
                                       }),
                       "h.exr");
  ASSERT_NE(viewer->exposure_factor(), 1.f);
  const Hdr_image shown = *viewer->get_image();
  const Fl_Menu_Item* item = viewer->menu_item("&View/Fullscreen...");
  ASSERT_NE(item, nullptr);
  item->do_callback(viewer->menu_bar);
  settle();
  std::vector<FullScreenDlg*> views = shown_views();
  ASSERT_EQ(views.size(), 1u);
  FullScreenDlg* view = views[0];
  EXPECT_EQ(view->path(), "/tmp/h.exr");
  EXPECT_EQ(view->directory(), "/tmp/");
  // The copy carries the viewer's exposure; the view's own changes stay its own.
  EXPECT_TRUE(images_match(shown, *view->image()));
  EXPECT_NE(view->image(), viewer->get_image());
  press(view, '+', "+");
  EXPECT_TRUE(images_match(shown, *viewer->get_image()));
  EXPECT_EQ(viewer->modified_flags(), 0u);

  // Closed, then opened again: a new window.
  view->close_window();
  item->do_callback(viewer->menu_bar);
  settle();
  views = shown_views();
  ASSERT_EQ(views.size(), 1u);
  EXPECT_NE(views[0], view);
  EXPECT_TRUE(listed_closed(view));
}

}  // namespace
