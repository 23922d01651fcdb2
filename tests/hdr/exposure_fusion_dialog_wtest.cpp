// The exposure fusion dialog driven through its widgets, on exposure files written here.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Value_Slider.H>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <opencv2/imgcodecs.hpp>
#include <string>
#include <utility>
#include <vector>

#include "core/app_globals.h"
#include "core/event_pump.h"
#include "core/hdr_image.h"
#include "hdr/exposure_fusion.h"
#include "hdr/exposure_fusion_dialog_drv.h"
#include "hdr/progress_dialog.h"
#include "tests/support/fake_browser.h"
#include "tests/support/jpeg_fixture.h"
#include "tests/support/oriented_jpeg.h"
#include "tests/support/png_fixture.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/textured_jpeg.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/open_new_result.h"

namespace {

// Interleaved RGB bytes of a textured exposure w x h, brightness scaled by gain.
std::vector<uint8_t> exposure_bytes(uint32_t w, uint32_t h, double gain) {
  std::vector<uint8_t> rgb;
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const double base = 15.0 + 6.0 * x + 4.0 * y + double((x * 7 + y * 13) % 11);
      for (const double tint : {1.2, 1.0, 0.7})
        rgb.push_back(cv::saturate_cast<uint8_t>(gain * base * tint));
    }
  return rgb;
}

// The events pumped while a fusion runs, with what the test makes them do.
std::function<void()>* g_pump_action = nullptr;
void test_pump() {
  if (g_pump_action && *g_pump_action) (*g_pump_action)();
}

class Fusion_dialog : public ::testing::Test {
 protected:
  void SetUp() override {
    m_previous_progress = g_progress_dialog;
    g_progress_dialog = &m_progress;
    m_previous_pump = set_event_pump(test_pump);
    g_pump_action = &m_pump_action;
    m_browser.answers().selected_paths = [this] { return m_selection; };
    m_browser.answers().current_folder = [this] { return m_dir.path(); };
    m_browser.answers().open_result = [this](std::unique_ptr<Hdr_image> image,
                                             const std::string& folder) {
      m_viewers.push_back(open_new_result(std::move(image), folder));
    };
  }
  void TearDown() override {
    g_pump_action = nullptr;
    set_event_pump(m_previous_pump);
    m_progress.hide();
    g_progress_dialog = m_previous_progress;
    delete_all_viewers();
  }

  std::string write_png_exposure(const std::string& name, uint32_t w, uint32_t h, double gain) {
    const std::vector<uint8_t> rgb = exposure_bytes(w, h, gain);
    Png_layout layout;
    layout.width = w;
    layout.height = h;
    write_png(m_dir.file(name), layout, rgb.data());
    return m_dir.file(name);
  }

  // The files fused by the algorithm itself, as the dialog should have done.
  static cv::Mat expected_fusion(const std::vector<std::string>& paths, Fusion_exponents ex) {
    std::vector<cv::Mat> series;
    for (const std::string& p : paths) series.push_back(cv::imread(p, cv::IMREAD_COLOR));
    Silent_progress silent;
    return exposure_fusion(series, ex, fusion_levels(series[0].rows, series[0].cols), silent);
  }

  // The single new viewer holds the expected pixels, red from channel 2.
  void expect_viewer_pixels(const cv::Mat& want) {
    ASSERT_EQ(m_viewers.size(), 1u);
    ImageDialogDrv* v = m_viewers[0];
    ASSERT_NE(v->get_image(), nullptr);
    ASSERT_EQ(int(v->get_image()->width()), want.cols);
    ASSERT_EQ(int(v->get_image()->height()), want.rows);
    for (int y = 0; y < want.rows; ++y)
      for (int x = 0; x < want.cols; ++x) {
        float r, g, b;
        v->get_pixel(x, y, r, g, b);
        const cv::Vec3f p = want.at<cv::Vec3f>(y, x);
        ASSERT_NEAR(r, p[2], 1e-3) << x << "," << y;
        ASSERT_NEAR(g, p[1], 1e-3) << x << "," << y;
        ASSERT_NEAR(b, p[0], 1e-3) << x << "," << y;
      }
  }

  // After a refusal: an alert, no viewer, the dialog shown and usable again.
  void expect_refused(const std::string& alert) {
    EXPECT_EQ(m_messages.alerts, std::vector<std::string>{alert});
    EXPECT_TRUE(m_viewers.empty());
    EXPECT_TRUE(m_dialog.shown());
    EXPECT_TRUE(m_dialog.active());
    EXPECT_FALSE(m_progress.shown());
  }

  Fake_browser m_browser;
  Temp_dir m_dir;
  Scripted_messages m_messages;
  ProgressDialog m_progress{420, 115, "Progress"};
  ExposureFusionDialogDrv m_dialog{295, 210, "Exposure Fusion"};
  std::vector<std::string> m_selection;
  std::vector<ImageDialogDrv*> m_viewers;
  std::function<void()> m_pump_action;

 private:
  ProgressDialog* m_previous_progress = nullptr;
  Event_pump_fn m_previous_pump = nullptr;
};

TEST_F(Fusion_dialog, LayoutAndDefaults) {
  EXPECT_EQ(m_dialog.w(), 295);
  EXPECT_EQ(m_dialog.h(), 210);
  EXPECT_STREQ(m_dialog.label(), "Exposure Fusion");
  EXPECT_TRUE(m_dialog.modal());
  EXPECT_EQ(m_dialog.resizable(), &m_dialog);
  EXPECT_FALSE(m_dialog.shown());

  auto* frame = m_dialog.child(0)->as_group();
  ASSERT_NE(frame, nullptr);
  EXPECT_STREQ(frame->label(), "Weights");
  EXPECT_EQ(frame->box(), FL_ENGRAVED_BOX);
  EXPECT_EQ(frame->x(), 5);
  EXPECT_EQ(frame->y(), 27);
  EXPECT_EQ(frame->w(), 284);
  EXPECT_EQ(frame->h(), 144);

  struct Slider_case {
    Fl_Value_Slider* slider;
    const char* label;
    int y;
  };
  for (const Slider_case& c : {Slider_case{m_dialog.exposure_slider, "Exposure:", 54},
                               Slider_case{m_dialog.contrast_slider, "Contrast:", 89},
                               Slider_case{m_dialog.saturation_slider, "Saturation:", 124}}) {
    ASSERT_NE(c.slider, nullptr);
    EXPECT_EQ(c.slider->parent(), frame);
    EXPECT_STREQ(c.slider->label(), c.label);
    EXPECT_EQ(c.slider->x(), 132);
    EXPECT_EQ(c.slider->y(), c.y);
    EXPECT_EQ(c.slider->w(), 102);
    EXPECT_EQ(c.slider->h(), 22);
    EXPECT_EQ(c.slider->type(), FL_HOR_SLIDER);
    EXPECT_EQ(c.slider->textsize(), 14);
    EXPECT_EQ(c.slider->align() & FL_ALIGN_LEFT, FL_ALIGN_LEFT);
    EXPECT_EQ(c.slider->minimum(), 0.0);
    EXPECT_EQ(c.slider->maximum(), 1.0);
    EXPECT_EQ(c.slider->value(), 1.0);
  }
  struct Button_case {
    Fl_Button* button;
    const char* label;
    int x;
  };
  for (const Button_case& c : {Button_case{m_dialog.fuse_button, "Fuse", 215},
                               Button_case{m_dialog.cancel_button, "Cancel", 137}}) {
    ASSERT_NE(c.button, nullptr);
    EXPECT_STREQ(c.button->label(), c.label);
    EXPECT_EQ(c.button->x(), c.x);
    EXPECT_EQ(c.button->y(), 179);
    EXPECT_EQ(c.button->w(), 74);
    EXPECT_EQ(c.button->h(), 25);
  }
}

TEST_F(Fusion_dialog, FuseOpensTheResultInAnUntitledViewer) {
  m_selection = {write_png_exposure("dark.png", 24, 16, 0.4),
                 write_png_exposure("mid.png", 24, 16, 1.0),
                 write_png_exposure("bright.png", 24, 16, 2.5)};
  m_dialog.show();
  m_dialog.fuse_button->do_callback();

  EXPECT_TRUE(m_messages.alerts.empty());
  expect_viewer_pixels(expected_fusion(m_selection, {}));
  ASSERT_EQ(m_viewers.size(), 1u);
  ImageDialogDrv* v = m_viewers[0];
  EXPECT_TRUE(v->shown());
  EXPECT_EQ(v->get_name(), "Untitled");
  EXPECT_EQ(v->get_path(), m_dir.path() + "Untitled");
  EXPECT_EQ(v->get_directory(), m_dir.path());
  EXPECT_EQ(v->get_file_type(), uint32_t(k_type_new_ldr));
  EXPECT_NE(v->modified_flags() & k_change_new_image, 0u);
  EXPECT_EQ(std::string(v->label()).rfind("Untitled", 0), 0u) << v->label();

  EXPECT_FALSE(m_dialog.shown());
  EXPECT_TRUE(m_dialog.active());
  EXPECT_FALSE(m_progress.shown());
}

TEST_F(Fusion_dialog, SlidersGiveContrastSaturationAndExposureExponents) {
  m_selection = {write_png_exposure("a.png", 20, 12, 0.5),
                 write_png_exposure("b.png", 20, 12, 1.8)};
  m_dialog.contrast_slider->value(0.25);
  m_dialog.saturation_slider->value(0.5);
  m_dialog.exposure_slider->value(0.75);
  const Fusion_exponents ex = m_dialog.exponents();
  EXPECT_EQ(ex.contrast, 0.25f);
  EXPECT_EQ(ex.saturation, 0.5f);
  EXPECT_EQ(ex.well_exposedness, 0.75f);

  m_dialog.show();
  m_dialog.fuse_button->do_callback();
  const cv::Mat want = expected_fusion(m_selection, {0.25f, 0.5f, 0.75f});
  EXPECT_GT(cv::norm(want, expected_fusion(m_selection, {}), cv::NORM_INF), 0.5);
  expect_viewer_pixels(want);

  // The values stay for the next use.
  m_dialog.show();
  EXPECT_EQ(m_dialog.contrast_slider->value(), 0.25);
  EXPECT_EQ(m_dialog.exposure_slider->value(), 0.75);
}

TEST_F(Fusion_dialog, JpegExposuresAndASinglePixelRow) {
  const std::vector<uint8_t> a = exposure_bytes(30, 1, 0.6), b = exposure_bytes(30, 1, 1.6);
  write_jpeg(m_dir.file("a.jpg"), 30, 1, 3, a.data());
  write_jpeg(m_dir.file("b.jpg"), 30, 1, 3, b.data());
  m_selection = {m_dir.file("a.jpg"), m_dir.file("b.jpg")};
  m_dialog.show();
  m_dialog.fuse_button->do_callback();
  EXPECT_TRUE(m_messages.alerts.empty());
  expect_viewer_pixels(expected_fusion(m_selection, {}));
}

// Photos stored turned are fused upright, as OpenCV's reader (which applies the EXIF
// Orientation) would give them, whatever the code.
TEST_F(Fusion_dialog, TurnedPhotosAreFusedUpright) {
  for (int code = 1; code <= 8; ++code) {
    SCOPED_TRACE(code);
    const std::string dark = m_dir.file("dark.jpg"), bright = m_dir.file("bright.jpg");
    write_oriented_jpeg(dark, code, false, 0.6);
    write_oriented_jpeg(bright, code, false, 1.4);
    m_selection = {dark, bright};
    m_dialog.show();
    m_dialog.fuse_button->do_callback();
    EXPECT_TRUE(m_messages.alerts.empty());
    const cv::Mat want = expected_fusion(m_selection, {});
    ASSERT_EQ(want.cols, int(k_pattern_w));
    expect_viewer_pixels(want);
    delete_all_viewers();
    m_viewers.clear();
  }
}

// A JPEG cut short is refused with the loader's own text, as every other window does.
TEST_F(Fusion_dialog, CutJpegIsAnnounced) {
  const std::string whole = m_dir.file("whole.jpg"), cut = m_dir.file("cut.jpg");
  write_oriented_jpeg(whole, 1);
  write_oriented_jpeg(cut, 1);
  ASSERT_TRUE(write_file_bytes(cut, cut_in_scan(read_file_bytes(cut))));
  m_selection = {whole, cut};
  m_dialog.show();
  m_dialog.fuse_button->do_callback();
  expect_refused("Image data is damaged; the picture is incomplete: " + cut);
}

// The loader's own text names the file.
TEST_F(Fusion_dialog, UnreadableFileIsNamedInAnAlert) {
  const std::string bad = m_dir.file("not an image %s.png");
  ASSERT_TRUE(write_file_bytes(bad, "plain text"));
  const std::string missing = m_dir.file("missing.png");
  const std::pair<std::string, std::string> cases[] = {
      {bad, "Cannot read PNG data from file: " + bad},
      {missing, "Cannot open PNG file: " + missing}};
  for (const auto& [second, alert] : cases) {
    m_messages.alerts.clear();
    m_selection = {write_png_exposure("good.png", 8, 8, 1.0), second};
    m_dialog.show();
    m_dialog.fuse_button->do_callback();
    expect_refused(alert);
  }
}

TEST_F(Fusion_dialog, FilesOfDifferentSizesAreRefused) {
  // The grid's header sizes agreed, but the files changed since.
  m_selection = {write_png_exposure("a.png", 8, 8, 1.0), write_png_exposure("b.png", 9, 8, 1.0)};
  m_dialog.show();
  m_dialog.fuse_button->do_callback();
  expect_refused("All images should have the same resolution for fusing exposures.");
  // The dialog works again once the files agree.
  m_messages.alerts.clear();
  m_selection[1] = write_png_exposure("b.png", 8, 8, 2.0);
  m_dialog.fuse_button->do_callback();
  EXPECT_TRUE(m_messages.alerts.empty());
  EXPECT_EQ(m_viewers.size(), 1u);
}

TEST_F(Fusion_dialog, CancelHidesAndFusesNothing) {
  m_selection = {write_png_exposure("a.png", 8, 8, 1.0)};
  m_dialog.show();
  m_dialog.cancel_button->do_callback();
  EXPECT_FALSE(m_dialog.shown());
  EXPECT_TRUE(m_viewers.empty());
  EXPECT_FALSE(m_progress.shown());
}

TEST_F(Fusion_dialog, NoSelectionDoesNothing) {
  m_dialog.show();
  m_dialog.fuse_button->do_callback();
  EXPECT_TRUE(m_dialog.shown());
  EXPECT_TRUE(m_viewers.empty());
  EXPECT_TRUE(m_messages.alerts.empty());
  EXPECT_FALSE(m_progress.shown());
}

TEST_F(Fusion_dialog, EventsDuringTheReadsChangeNeitherTheFilesNorStartASecondFusion) {
  // A folder scan may replace the grid's tiles while the files are read, and a second
  // press may arrive: the fusion keeps the paths it copied and runs once.
  m_selection = {write_png_exposure("a.png", 16, 10, 0.5),
                 write_png_exposure("b.png", 16, 10, 1.5)};
  const std::vector<std::string> pressed = m_selection;
  int pumps = 0;
  bool inactive_seen = false;
  m_pump_action = [&] {
    if (++pumps == 1) m_dialog.fuse();  // a second press while the selection still stands
    if (!m_dialog.active()) inactive_seen = true;
    m_selection.clear();
  };
  m_dialog.show();
  m_dialog.fuse_button->do_callback();
  m_pump_action = nullptr;
  EXPECT_GE(pumps, 2);
  EXPECT_TRUE(inactive_seen);
  EXPECT_TRUE(m_messages.alerts.empty());
  expect_viewer_pixels(expected_fusion(pressed, {}));
}

TEST_F(Fusion_dialog, ProgressCancelDoesNotStopTheFusion) {
  // "Cancel" pressed while the files are read: the update after reading returns -1.
  m_selection = {write_png_exposure("a.png", 16, 10, 0.5),
                 write_png_exposure("b.png", 16, 10, 1.5)};
  m_pump_action = [&] { m_progress.cancel_button()->do_callback(); };
  m_dialog.show();
  m_dialog.fuse_button->do_callback();
  m_pump_action = nullptr;
  EXPECT_TRUE(m_messages.alerts.empty());
  expect_viewer_pixels(expected_fusion(m_selection, {}));
}

}  // namespace
