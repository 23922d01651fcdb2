// The "Tonemap Image" dialog driven through its widgets: the type's slider rules, the
// live preview and histogram read back from the screen, the automatic contrast, a viewer's
// image and the "Untitled" result, and batches of files written here.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Value_Slider.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/app_globals.h"
#include "core/event_pump.h"
#include "core/hdr_image.h"
#include "core/hist_box.h"
#include "core/image_load.h"
#include "core/image_save.h"
#include "hdr/tonemap_image.h"
#include "hdr/tonemap_phot_dlg_drv.h"
#include "hdr/tonemap_photoreceptor.h"
#include "tests/support/fake_browser.h"
#include "tests/support/image_compare.h"
#include "tests/support/read_only_dir.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "tests/support/widget_layout.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/open_new_result.h"

namespace {

// A scene of about four decades with colour and texture; scale sets its level.
std::unique_ptr<Hdr_image> scene(uint32_t w, uint32_t h, float scale = 1.f) {
  return make_test_image(w, h, k_type_exr, [w, h, scale](uint32_t x, uint32_t y) {
    const float level = scale * std::pow(10.f, 4.f * float(x) / float(w) - 2.f) *
                        (1.f + 0.5f * float((x * 7 + y * 13) % 5)) * (0.5f + float(y) / float(h));
    return Rgb{level * 1.2f, level, level * 0.6f};
  });
}

// What the pump sees while a job runs, and what the test makes it do.
std::function<void()>* g_pump_action = nullptr;
void test_pump() {
  if (g_pump_action && *g_pump_action) (*g_pump_action)();
}

std::vector<uchar> read_pixels(Fl_Window* window, const Fl_Widget* w) {
  window->redraw();
  settle(0.2);
  std::vector<uchar> px(size_t(w->w()) * size_t(w->h()) * 3);
  window->make_current();
  fl_read_image(px.data(), w->x(), w->y(), w->w(), w->h());
  return px;
}

// Height of the run of (r, g, b) standing on the bottom row of column x.
int bar_height(const std::vector<uchar>& px, int w, int h, int x, uchar v) {
  int n = 0;
  while (n < h) {
    const uchar* p = &px[(size_t(h - 1 - n) * size_t(w) + size_t(x)) * 3];
    if (p[0] != v || p[1] != v || p[2] != v) break;
    ++n;
  }
  return n;
}

class Tonemap_dialog : public ::testing::Test {
 protected:
  void SetUp() override {
    Fl_Group::current(nullptr);
    m_status_window = std::make_unique<Fl_Window>(200, 30);
    m_bar = new Fl_Progress(0, 0, 200, 30);
    m_bar->hide();
    m_status_window->end();
    m_previous_bar = g_status_progress;
    g_status_progress = m_bar;
    m_dialog = std::make_unique<TonemapPhotDlgDrv>(580, 350, "Tonemap Image");
    m_previous_dialog = g_tonemap_dialog;
    g_tonemap_dialog = m_dialog.get();
    m_previous_pump = set_event_pump(test_pump);
    g_pump_action = &m_pump_action;
    m_browser.answers().current_folder = [this] { return m_dir.path(); };
    m_browser.answers().open_result = [this](std::unique_ptr<Hdr_image> image,
                                             const std::string& folder) {
      m_results.push_back(open_new_result(std::move(image), folder));
    };
  }
  void TearDown() override {
    g_pump_action = nullptr;
    set_event_pump(m_previous_pump);
    m_dialog->hide();
    g_tonemap_dialog = m_previous_dialog;
    m_dialog.reset();
    g_status_progress = m_previous_bar;
    m_status_window.reset();
    delete_all_viewers();
  }

  TonemapPhotDlgDrv& d() { return *m_dialog; }

  void pick_type(uint32_t mode) {
    d().type_choice->value(int(mode));
    d().type_choice->menu()[mode].do_callback(d().type_choice);
  }
  void release(Fl_Value_Slider* s, double v) {
    s->value(v);
    s->do_callback();
  }

  // The preview's expected pixels: the dialog's own source, tone-mapped as settings say.
  Hdr_image expected_preview(const Tonemap_settings& s) const {
    Hdr_image work(*m_dialog->preview_source());
    tonemap_image(work, s);
    return work;
  }

  std::string write_hdr(const std::string& name, const Hdr_image& image, uint32_t type) {
    Hdr_image copy(image);
    save_image_as(copy, m_dir.file(name), type);
    return m_dir.file(name);
  }

  void run_batch() {
    d().run();
    for (int i = 0; i < 1000 && d().batch_running(); ++i) Fl::wait(0.01);
    ASSERT_FALSE(d().batch_running());
  }

  // The file the batch should write for source: the operator on the file's own values.
  std::string expected_output(const std::string& source, const Tonemap_settings& s, uint32_t type,
                              const std::string& name) {
    Hdr_image image;
    load_image_detect_type(image, source);
    tonemap_image(image, s);
    image.type = k_type_new_ldr;
    save_image_as(image, m_expected.file(name), type);
    return read_file_bytes(m_expected.file(name));
  }

  Fake_browser m_browser;
  Temp_dir m_dir, m_expected;
  Scripted_messages m_messages;
  std::unique_ptr<Fl_Window> m_status_window;
  Fl_Progress* m_bar = nullptr;
  Fl_Progress* m_previous_bar = nullptr;
  std::unique_ptr<TonemapPhotDlgDrv> m_dialog;
  TonemapPhotDlgDrv* m_previous_dialog = nullptr;
  Event_pump_fn m_previous_pump = nullptr;
  std::function<void()> m_pump_action;
  std::vector<ImageDialogDrv*> m_results;
};

// ---- type and sliders ----

class Type_rules : public Tonemap_dialog, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(Type_rules, OnlyInteractiveActivatesSaturationLightnessAndContrast) {
  d().setup(scene(60, 40), nullptr, 1.f, {});
  // From the other end first, so every switch is a real change.
  pick_type(GetParam() == k_tonemap_interactive ? k_tonemap_global : k_tonemap_interactive);
  pick_type(GetParam());
  const bool interactive = GetParam() == k_tonemap_interactive;
  EXPECT_EQ(d().mode(), GetParam());
  EXPECT_EQ(bool(d().saturation_slider->active()), interactive);
  EXPECT_EQ(bool(d().lightness_slider->active()), interactive);
  EXPECT_EQ(bool(d().contrast_slider->active()), interactive);
  EXPECT_TRUE(d().gamma_slider->active());
  // Each item refreshes the preview with its own type.
  ASSERT_NE(d().preview_image(), nullptr);
  EXPECT_TRUE(images_match(expected_preview(d().settings()), *d().preview_image()));
}

INSTANTIATE_TEST_SUITE_P(Types, Type_rules,
                         ::testing::Values(k_tonemap_automatic, k_tonemap_global, k_tonemap_local,
                                           k_tonemap_interactive, k_tonemap_asymmetric));

TEST_F(Tonemap_dialog, StartsWithAutomaticGammaOnlyAndTheBatchOptionsHidden) {
  EXPECT_EQ(d().mode(), k_tonemap_automatic);
  EXPECT_STREQ(d().type_choice->text(), "Automatic");
  EXPECT_FALSE(d().saturation_slider->active());
  EXPECT_TRUE(d().gamma_slider->active());
  EXPECT_FALSE(d().batch_frame->visible());
  EXPECT_TRUE(d().histogram_frame->visible());
  EXPECT_TRUE(d().modal());
  for (Fl_Value_Slider* s :
       {d().saturation_slider, d().lightness_slider, d().contrast_slider, d().gamma_slider})
    EXPECT_EQ(s->when(), FL_WHEN_RELEASE) << s->label();
}

TEST_F(Tonemap_dialog, WidgetsTextsRangesAndModality) {
  EXPECT_TRUE(d().modal());
  expect_widget_layout(d(), {
                                {d().preview_frame, 1, "Preview", 294, 23, 275, 215},
                                {d().preview_box, 2, nullptr, 299, 28, 265, 204},
                                {d().update_toggle, 1, "Update preview", 295, 245, 135, 15},
                                {d().batch_frame, 1, "Batch Options", 5, 257, 285, 88},
                                {d().suffix_input, 2, "Save by appending:", 155, 303, 60, 25},
                                {d().save_type_choice, 2, "Save Type:", 93, 273, 122, 25},
                                {d().parameter_frame, 1, "Tonemapping Parameters", 5, 23, 285, 215},
                                {d().parameter_group, 2, nullptr, 9, 40, 280, 192},
                                {d().type_choice, 3, nullptr, 84, 47, 116, 25},
                                {d().saturation_slider, 3, "Saturation:", 101, 99, 165, 25},
                                {d().lightness_slider, 3, "Lightness:", 101, 129, 165, 25},
                                {d().contrast_slider, 3, "Contrast:", 101, 159, 165, 25},
                                {d().gamma_slider, 3, "Gamma:", 101, 203, 165, 25},
                                {d().type_caption, 3, "Type:", 39, 51, 40, 17},
                                {d().cancel_button, 1, "Cancel", 384, 320, 74, 25},
                                {d().run_button, 1, "Tonemap", 462, 320, 110, 25},
                                {d().histogram_frame, 1, "Histogram", 5, 257, 285, 88},
                                {d().hist_box, 2, nullptr, 18, 260, 256, 82},
                            });
  for (const Fl_Widget* frame :
       {d().preview_frame, d().batch_frame, d().parameter_frame, d().histogram_frame})
    EXPECT_EQ(frame->box(), FL_THIN_UP_FRAME) << frame->label();
  EXPECT_EQ(d().hist_box->box(), FL_FLAT_BOX);
  EXPECT_EQ(d().hist_box->color(), Fl_Color(49));
  EXPECT_TRUE(d().update_toggle->value());
  EXPECT_STREQ(d().suffix_input->value(), "_tm");

  struct Slider {
    Fl_Value_Slider* slider;
    double min, max, step, value;
    const char* tooltip;
  };
  // Gamma moves in tenths; the others keep the slider's own hundredths.
  const Slider sliders[] = {
      {d().saturation_slider, 0, 1, 0.01, 0.5, nullptr},
      {d().lightness_slider, -8, 8, 0.01, 0, nullptr},
      {d().contrast_slider, 0, 1, 0.01, 0.5,
       "Percentage of pixels that will become white in the tonemapped image.."},
      {d().gamma_slider, 1, 3, 0.1, 2.2,
       "The tone mapped image is raised to the power of 1 over this value for display "
       "purposes."},
  };
  for (const Slider& s : sliders) {
    const char* name = s.slider->label();
    EXPECT_EQ(s.slider->minimum(), s.min) << name;
    EXPECT_EQ(s.slider->maximum(), s.max) << name;
    EXPECT_DOUBLE_EQ(s.slider->step(), s.step) << name;
    EXPECT_DOUBLE_EQ(s.slider->value(), s.value) << name;
    EXPECT_EQ(std::string(s.slider->tooltip() ? s.slider->tooltip() : ""),
              std::string(s.tooltip ? s.tooltip : ""))
        << name;
    EXPECT_EQ(s.slider->type(), FL_HOR_NICE_SLIDER) << name;
    EXPECT_EQ(s.slider->align(), Fl_Align(FL_ALIGN_LEFT)) << name;
    EXPECT_EQ(s.slider->textsize(), 14) << name;
    EXPECT_EQ(s.slider->when(), FL_WHEN_RELEASE) << name;
  }

  const std::vector<std::string> types = {"Automatic", "Global", "Local", "Interactive",
                                          "Asymmetric"};
  const std::vector<std::string> save_types = {"JPEG", "TIFF"};
  struct Menu {
    const Fl_Choice* choice;
    const std::vector<std::string>* items;
  };
  for (const Menu& m : {Menu{d().type_choice, &types}, Menu{d().save_type_choice, &save_types}}) {
    ASSERT_EQ(m.choice->size(), int(m.items->size()) + 1);  // with the terminator
    for (size_t i = 0; i < m.items->size(); ++i)
      EXPECT_EQ(std::string(m.choice->menu()[i].label()), (*m.items)[i]);
    EXPECT_EQ(m.choice->value(), 0);
  }
}

TEST_F(Tonemap_dialog, SetupResetsTheSlidersAndKeepsTheType) {
  d().setup(scene(60, 40), nullptr, 1.f, {});
  pick_type(k_tonemap_interactive);
  release(d().saturation_slider, 0.9);
  release(d().lightness_slider, 3.0);
  release(d().contrast_slider, 0.8);
  release(d().gamma_slider, 1.5);
  ASSERT_TRUE(d().user_contrast());
  d().setup(scene(60, 40), nullptr, 1.f, {});
  EXPECT_EQ(d().mode(), k_tonemap_interactive);
  EXPECT_FALSE(d().user_contrast());
  EXPECT_DOUBLE_EQ(d().saturation_slider->value(), 0.5);
  EXPECT_DOUBLE_EQ(d().lightness_slider->value(), 0.0);
  EXPECT_DOUBLE_EQ(d().gamma_slider->value(), 2.2);
  // Interactive refreshes at once: the slider shows the automatic contrast, not 0.8.
  EXPECT_NEAR(d().contrast_slider->value(), last_automatic_contrast(), 1e-12);
}

TEST_F(Tonemap_dialog, ReleasingContrastSwitchesInteractiveFromItsAutomaticValue) {
  d().setup(scene(80, 60), nullptr, 1.f, {});
  pick_type(k_tonemap_interactive);
  const double automatic = d().contrast_slider->value();
  EXPECT_NEAR(automatic, last_automatic_contrast(), 1e-12);
  EXPECT_NE(automatic, 0.5);
  const Hdr_image automatic_preview = *d().preview_image();

  release(d().contrast_slider, 0.8);  // exponent 0.2, far from the automatic one
  EXPECT_TRUE(d().user_contrast());
  EXPECT_DOUBLE_EQ(d().contrast_slider->value(), 0.8);  // not overwritten by the hook
  Tonemap_settings s = d().settings();
  EXPECT_TRUE(s.user_contrast);
  EXPECT_FLOAT_EQ(s.contrast, 0.8f);
  EXPECT_TRUE(images_match(expected_preview(s), *d().preview_image()));
  EXPECT_FALSE(images_match(automatic_preview, *d().preview_image(), {1.0, 0, 0}));
  // A later move of another slider keeps the user's contrast.
  release(d().lightness_slider, 1.0);
  EXPECT_DOUBLE_EQ(d().contrast_slider->value(), 0.8);
}

// Saturation, Lightness and Gamma only refresh: the interactive type keeps its automatic
// contrast, which only a released Contrast slider gives up.
struct Other_slider_case {
  const char* name;
  Fl_Value_Slider* TonemapPhotDlg::*slider;
  double value;
};

void PrintTo(const Other_slider_case& c, std::ostream* os) { *os << c.name; }

class Other_slider : public Tonemap_dialog,
                     public ::testing::WithParamInterface<Other_slider_case> {};

TEST_P(Other_slider, ReleasedUnderInteractiveLeavesTheAutomaticContrastInUse) {
  d().setup(scene(80, 60), nullptr, 1.f, {});
  pick_type(k_tonemap_interactive);
  release(d().*GetParam().slider, GetParam().value);
  EXPECT_FALSE(d().user_contrast());
  const Tonemap_settings s = d().settings();
  EXPECT_FALSE(s.user_contrast);
  EXPECT_FLOAT_EQ(s.contrast, float(last_automatic_contrast()));
  EXPECT_NEAR(d().contrast_slider->value(), last_automatic_contrast(), 1e-12);
  EXPECT_TRUE(images_match(expected_preview(s), *d().preview_image()));
}

INSTANTIATE_TEST_SUITE_P(
    Sliders, Other_slider,
    ::testing::Values(Other_slider_case{"Saturation", &TonemapPhotDlg::saturation_slider, 0.9},
                      Other_slider_case{"Lightness", &TonemapPhotDlg::lightness_slider, 2.0},
                      Other_slider_case{"Gamma", &TonemapPhotDlg::gamma_slider, 1.6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tonemap_dialog, UpdatePreviewOffLeavesPreviewAndHistogramUntouched) {
  d().setup(scene(60, 40), nullptr, 1.f, {});
  Fl_Image* picture = d().preview_box->image();
  ASSERT_NE(picture, nullptr);
  const std::vector<uchar> before(
      reinterpret_cast<const uchar*>(picture->data()[0]),
      reinterpret_cast<const uchar*>(picture->data()[0]) + size_t(picture->w()) * picture->h() * 3);
  const std::vector<uint32_t> bins(d().hist_box->bins(),
                                   d().hist_box->bins() + d().hist_box->bin_count());
  d().update_toggle->value(0);
  pick_type(k_tonemap_interactive);
  release(d().gamma_slider, 1.4);
  release(d().contrast_slider, 0.9);
  pick_type(k_tonemap_asymmetric);
  ASSERT_EQ(d().preview_box->image(), picture);
  EXPECT_TRUE(
      std::equal(before.begin(), before.end(), reinterpret_cast<const uchar*>(picture->data()[0])));
  ASSERT_EQ(d().hist_box->bin_count(), int(bins.size()));
  EXPECT_TRUE(std::equal(bins.begin(), bins.end(), d().hist_box->bins()));
  // Checked again, the next change shows.
  d().update_toggle->value(1);
  pick_type(k_tonemap_global);
  EXPECT_NE(d().preview_box->image(), picture);
}

TEST_F(Tonemap_dialog, PreviewFitsTheBoxByNearestNeighbour) {
  // 530 x 204 at scale 0.5: every other pixel of every other row.
  d().setup(scene(530, 408), nullptr, 1.f, {});
  const Hdr_image* p = d().preview_source();
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(p->width(), 265);
  ASSERT_EQ(p->height(), 204);
  const Hdr_image* full = d().full_image();
  for (int y : {0, 1, 100, 203})
    for (int x : {0, 1, 132, 264})
      for (int c = 0; c < 3; ++c)
        EXPECT_EQ((*p)(x, y, 0, c), (*full)(2 * x, 2 * y, 0, c)) << x << "," << y;
}

TEST_F(Tonemap_dialog, TheScreenShowsThePreviewAndItsHistogramAfterATypeChange) {
  d().setup(scene(530, 408), nullptr, 1.f, {});
  d().show();
  for (int i = 0; i < 200 && !d().shown(); ++i) Fl::wait(0.01);
  std::vector<uchar> last;
  for (uint32_t type : {k_tonemap_global, k_tonemap_asymmetric}) {
    pick_type(type);
    const Hdr_image expected = expected_preview(d().settings());
    std::unique_ptr<uint8_t[]> bytes = preview_bytes(expected);
    // The preview fills the box exactly (265 x 204).
    const std::vector<uchar> shown = read_pixels(&d(), d().preview_box);
    ASSERT_EQ(shown.size(), size_t(265) * 204 * 3);
    EXPECT_TRUE(std::equal(shown.begin(), shown.end(), bytes.get())) << "type " << type;
    EXPECT_NE(shown, last);
    last = shown;

    // One 1-pixel grey bar per bin, as tall as the widget's rule makes it.
    std::unique_ptr<uint32_t[]> bins = preview_histogram(expected);
    const uint32_t top = *std::max_element(bins.get(), bins.get() + k_preview_histogram_bins);
    const HistBox* box = d().hist_box;
    const std::vector<uchar> hist = read_pixels(&d(), box);
    for (int i = 0; i < k_preview_histogram_bins; ++i)
      ASSERT_EQ(bar_height(hist, box->w(), box->h(), i, 96),
                hist_bar_height(bins[i], top, box->h()))
          << "bin " << i << " type " << type;
  }
}

// A dialog whose operator leaves the values alone: the preview shows its source.
class Identity_dialog : public TonemapPhotDlgDrv {
 public:
  using TonemapPhotDlgDrv::TonemapPhotDlgDrv;
  void apply(Hdr_image&) override {}
};

TEST_F(Tonemap_dialog, ThePreviewHistogramCountsLinearLuminanceAsPinnedBars) {
  // Greys 0, 0.25, 0.5 and 1 on 120, 60, 16 and 8 rows of a picture the preview box holds
  // at its own size: a linear histogram puts them in bins 0, 63, 127 and 255.
  constexpr int k_rows[] = {120, 60, 16, 8};
  constexpr float k_levels[] = {0.f, 0.25f, 0.5f, 1.f};
  auto image = make_test_image(265, 204, k_type_exr, [&](uint32_t, uint32_t y) {
    int band = 0, end = k_rows[0];
    while (int(y) >= end) end += k_rows[++band];
    const float v = k_levels[band];
    return Rgb{v, v, v};
  });
  Identity_dialog dialog(580, 350, "Tonemap Image");
  dialog.setup(std::move(image), nullptr, 1.f, {});
  ASSERT_NE(dialog.preview_source(), nullptr);
  ASSERT_EQ(dialog.preview_source()->width(), 265);
  ASSERT_EQ(dialog.preview_source()->height(), 204);
  dialog.show();
  for (int i = 0; i < 200 && !dialog.shown(); ++i) Fl::wait(0.01);
  const HistBox* box = dialog.hist_box;
  ASSERT_EQ(box->h(), 82);
  const std::vector<uchar> hist = read_pixels(&dialog, box);
  // 265 pixels a row; three quarters of 82 rows for the tallest bin, the rest in proportion.
  const std::vector<std::pair<int, int>> bars = {{0, 61}, {63, 30}, {127, 8}, {255, 4}};
  for (int i = 0; i < k_preview_histogram_bins; ++i) {
    int want = 0;
    for (const auto& [bin, height] : bars)
      if (bin == i) want = height;
    EXPECT_EQ(bar_height(hist, box->w(), box->h(), i, 96), want) << "bin " << i;
  }
  dialog.hide();
}

TEST_F(Tonemap_dialog, AnOperatorFailureAlertsOnceAndLeavesThePreviewAndTheDialog) {
  // An image under 10 pixels a side maps with every type.
  d().setup(scene(8, 8), nullptr, 1.f, {});
  pick_type(k_tonemap_asymmetric);
  ASSERT_TRUE(m_messages.alerts.empty());
  Fl_Image* picture = d().preview_box->image();
  ASSERT_NE(picture, nullptr);
  // A gamma the operators refuse, set past the slider's range.
  d().gamma_slider->value(0.0);
  d().gamma_slider->do_callback();
  EXPECT_EQ(m_messages.alerts.size(), 1u);
  EXPECT_EQ(d().preview_box->image(), picture);
  // "Tonemap" fails the same way: one alert, no viewer, the dialog still usable.
  d().show();
  d().run();
  EXPECT_EQ(m_messages.alerts.size(), 2u);
  EXPECT_TRUE(m_results.empty());
  EXPECT_TRUE(d().shown());
  EXPECT_TRUE(d().active());
  EXPECT_FALSE(m_bar->visible());
  release(d().gamma_slider, 2.0);
  EXPECT_NE(d().preview_box->image(), picture);
  EXPECT_EQ(m_messages.alerts.size(), 2u);
  d().run();
  EXPECT_EQ(m_results.size(), 1u);
}

// Records with each alert whether the dialog was active again and the status bar gone.
class Alert_moment : public Scripted_messages {
 public:
  explicit Alert_moment(std::function<bool()> restored) : m_restored(std::move(restored)) {}
  void alert(const std::string& text) override {
    Scripted_messages::alert(text);
    restored.push_back(m_restored());
  }
  std::vector<bool> restored;

 private:
  std::function<bool()> m_restored;
};

TEST_F(Tonemap_dialog, AFailedTonemapIsAlertedWithTheDialogAndTheStatusBarBack) {
  d().setup(scene(8, 8), nullptr, 1.f, {});
  d().gamma_slider->value(0.0);  // a gamma the operators refuse
  d().show();
  Alert_moment moment([this] { return d().active() && !m_bar->visible(); });
  d().run();
  EXPECT_EQ(moment.restored, std::vector<bool>{true});
  EXPECT_TRUE(m_results.empty());
}

TEST_F(Tonemap_dialog, HidingDropsThePreviewPicture) {
  d().setup(scene(60, 40), nullptr, 1.f, {});
  d().show();
  ASSERT_NE(d().preview_box->image(), nullptr);
  d().hide();
  EXPECT_EQ(d().preview_box->image(), nullptr);
  EXPECT_NE(d().preview_source(), nullptr);  // kept until the next set-up
  EXPECT_NE(d().full_image(), nullptr);
}

// ---- a viewer's image and the result ----

TEST_F(Tonemap_dialog, AViewerAtPlusTwoEvTonemapsTheFilesOwnValues) {
  // Dim values, where the operators' small offsets make the level matter.
  std::unique_ptr<Hdr_image> file = scene(64, 48, 1e-4f);
  const Hdr_image file_values(*file);
  ImageDialogDrv* v = open_test_viewer(std::move(file), "dim.exr");
  const float start = v->exposure_factor();
  for (int i = 0; i < 6; ++i) v->exposure(0);  // six steps of a third of a stop
  ASSERT_NEAR(v->exposure_factor() / start, 4.f, 1e-4f);

  const Fl_Menu_Item* item = v->menu_item("&Process/Tonemap...");
  ASSERT_NE(item, nullptr);
  item->do_callback(v->menu_bar);
  EXPECT_TRUE(d().shown());
  EXPECT_TRUE(d().has_viewer());
  EXPECT_FALSE(d().batch());
  ASSERT_NE(d().full_image(), nullptr);
  EXPECT_NE(d().full_image(), v->get_image());  // a copy
  EXPECT_TRUE(images_match(file_values, *d().full_image(), {0, 1e-6, 0}));

  pick_type(k_tonemap_local);
  d().run();
  ASSERT_EQ(m_results.size(), 1u);
  ImageDialogDrv* result = m_results.front();
  EXPECT_FALSE(d().shown());
  EXPECT_FALSE(m_bar->visible());
  EXPECT_EQ(result->get_name(), "Untitled");
  EXPECT_EQ(result->get_path(), m_dir.path() + "Untitled");
  EXPECT_TRUE(result->modified_flags() & k_change_new_image);
  EXPECT_EQ(result->get_file_type(), uint32_t(k_type_new_ldr));
  Hdr_image expected(file_values);
  tonemap_image(expected, d().settings());
  EXPECT_TRUE(images_match(expected, *result->get_image(), {0.05, 0, 0}));
  // The viewer keeps its own image as it was.
  EXPECT_NEAR(v->exposure_factor() / start, 4.f, 1e-4f);
}

TEST_F(Tonemap_dialog, RunTonemapsTheLoadedImageIntoAnUntitledViewer) {
  std::unique_ptr<Hdr_image> image = scene(50, 30);
  const Hdr_image copy(*image);
  d().setup(std::move(image), nullptr, 1.f, {});
  EXPECT_FALSE(d().has_viewer());
  pick_type(k_tonemap_interactive);
  release(d().saturation_slider, 0.8);
  release(d().contrast_slider, 0.3);
  std::vector<double> bar_values;
  m_pump_action = [&] {
    if (m_bar->visible()) bar_values.push_back(m_bar->value());
  };
  d().show();
  d().run();
  ASSERT_EQ(m_results.size(), 1u);
  EXPECT_FALSE(bar_values.empty());  // the bar was up while the operator ran
  EXPECT_STREQ(m_bar->label(), "Tonemapping...");
  EXPECT_DOUBLE_EQ(m_bar->maximum(), 5.0);
  Hdr_image expected(copy);
  tonemap_image(expected, d().settings());
  EXPECT_TRUE(images_match(expected, *m_results.front()->get_image()));
  // The dialog's own image stays for another run.
  EXPECT_TRUE(images_match(copy, *d().full_image()));
}

TEST_F(Tonemap_dialog, ASuccessfulTonemapLeavesTheDialogActiveForTheNextImage) {
  d().setup(scene(50, 30), nullptr, 1.f, {});
  d().show();
  d().run();
  ASSERT_EQ(m_results.size(), 1u);
  EXPECT_FALSE(d().shown());
  ASSERT_TRUE(d().setup(scene(40, 20, 3.f), nullptr, 1.f, {}));
  d().show();
  EXPECT_TRUE(d().active());
  EXPECT_TRUE(d().run_button->active_r());
  d().run();
  EXPECT_EQ(m_results.size(), 2u);
}

TEST_F(Tonemap_dialog, TheButtonsCancelAndTonemapThroughTheirCallbacks) {
  const Hdr_image image(*scene(50, 30));
  d().setup(std::make_unique<Hdr_image>(image), nullptr, 1.f, {});
  d().show();
  ASSERT_NE(d().preview_box->image(), nullptr);
  d().cancel_button->do_callback();
  EXPECT_FALSE(d().shown());
  EXPECT_EQ(d().preview_box->image(), nullptr);  // the dialog's own hide ran
  EXPECT_TRUE(m_results.empty());

  d().setup(std::make_unique<Hdr_image>(image), nullptr, 1.f, {});
  d().show();
  d().run_button->do_callback();
  EXPECT_FALSE(d().shown());
  ASSERT_EQ(m_results.size(), 1u);
  Hdr_image expected(image);
  tonemap_image(expected, d().settings());
  EXPECT_TRUE(images_match(expected, *m_results.front()->get_image()));

  // In a batch the button starts the batch.
  const std::string a = write_hdr("a.exr", *scene(40, 30), k_type_exr);
  const std::string b = write_hdr("b.exr", *scene(40, 30, 5.f), k_type_exr);
  d().setup(nullptr, nullptr, 1.f, {a, b});
  d().show();
  d().run_button->do_callback();
  EXPECT_FALSE(d().shown());
  EXPECT_TRUE(d().batch_running());
  for (int i = 0; i < 1000 && d().batch_running(); ++i) Fl::wait(0.01);
  EXPECT_TRUE(std::filesystem::exists(m_dir.file("a_tm.jpg")));
  EXPECT_TRUE(std::filesystem::exists(m_dir.file("b_tm.jpg")));
  EXPECT_EQ(m_results.size(), 1u);
  EXPECT_TRUE(m_messages.alerts.empty());
}

// ---- batches ----

struct Batch_case {
  uint32_t type;
  int save_type;  // item of "Save Type:": 0 JPEG, 1 TIFF
};

class Batch_output : public Tonemap_dialog, public ::testing::WithParamInterface<Batch_case> {};

TEST_P(Batch_output, EachFileLandsBesideItsSourceAsTheOperatorMakesIt) {
  const Batch_case c = GetParam();
  const std::string a = write_hdr("a.exr", *scene(40, 30), k_type_exr);
  const std::string b = write_hdr("b.hdr", *scene(36, 24, 50.f), k_type_rgbe);
  const std::string ext = c.save_type == 1 ? ".tif" : ".jpg";
  const uint32_t out_type = c.save_type == 1 ? k_type_tiff8 : k_type_jpeg;
  // An earlier output of the same name is replaced after "Overwrite" (the preference to
  // ask is on without a preferences dialog).
  ASSERT_TRUE(write_file_bytes(m_dir.file("a_tm" + ext), "old"));
  m_messages.answers.push_back(1);

  ASSERT_TRUE(d().setup(nullptr, nullptr, 1.f, {a, b}));
  EXPECT_TRUE(d().batch());
  EXPECT_TRUE(d().batch_frame->visible());
  EXPECT_FALSE(d().histogram_frame->visible());
  EXPECT_FALSE(d().preview_frame->active());
  EXPECT_FALSE(d().update_toggle->value());
  EXPECT_FALSE(d().update_toggle->active());
  EXPECT_STREQ(d().suffix_input->value(), "_tm");
  pick_type(c.type);
  d().save_type_choice->value(c.save_type);
  const Tonemap_settings s = d().settings();

  std::vector<double> steps;
  m_pump_action = [&] {
    if (m_bar->visible() && (steps.empty() || steps.back() != m_bar->value()))
      steps.push_back(m_bar->value());
  };
  d().show();
  run_batch();
  EXPECT_FALSE(d().shown());
  EXPECT_TRUE(m_messages.alerts.empty()) << m_messages.alerts.front();
  EXPECT_EQ(m_messages.questions, std::vector<std::string>{m_dir.file("a_tm" + ext) +
                                                           " exists. Do you want to overwrite?"});
  EXPECT_EQ(steps, (std::vector<double>{0, 1}));
  EXPECT_DOUBLE_EQ(m_bar->maximum(), 2.0);
  EXPECT_FALSE(m_bar->visible());

  EXPECT_EQ(read_file_bytes(m_dir.file("a_tm" + ext)), expected_output(a, s, out_type, "a" + ext));
  EXPECT_EQ(read_file_bytes(m_dir.file("b_tm" + ext)), expected_output(b, s, out_type, "b" + ext));
  Hdr_image written;
  load_image_detect_type(written, m_dir.file("b_tm" + ext));
  EXPECT_EQ(written.type, out_type);
}

INSTANTIATE_TEST_SUITE_P(Types, Batch_output,
                         ::testing::Values(Batch_case{k_tonemap_automatic, 0},
                                           Batch_case{k_tonemap_local, 1},
                                           Batch_case{k_tonemap_interactive, 0},
                                           Batch_case{k_tonemap_asymmetric, 1}));

TEST_F(Tonemap_dialog, ACorruptFileInTheMiddleIsAlertedOnceAndTheOthersAreWritten) {
  const std::string a = write_hdr("a.exr", *scene(40, 30), k_type_exr);
  const std::string bad = m_dir.file("bad.hdr");
  ASSERT_TRUE(write_file_bytes(bad, "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 9 +X 9\n\x02"));
  const std::string c = write_hdr("c.exr", *scene(30, 20, 3.f), k_type_exr);
  d().setup(nullptr, nullptr, 1.f, {a, bad, c});
  run_batch();
  ASSERT_EQ(m_messages.alerts.size(), 1u);
  EXPECT_EQ(m_messages.alerts[0], "Cannot tonemap '" + bad + "'. Image data seems corrupted.");
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("bad_tm.jpg")));
  EXPECT_TRUE(std::filesystem::exists(m_dir.file("a_tm.jpg")));
  EXPECT_TRUE(std::filesystem::exists(m_dir.file("c_tm.jpg")));
}

TEST_F(Tonemap_dialog, AFailureWhileTonemappingNamesEachFileAndTheBatchGoesOn) {
  const std::string a = write_hdr("a.exr", *scene(40, 30), k_type_exr);
  const std::string b = write_hdr("b.exr", *scene(40, 30), k_type_exr);
  d().setup(nullptr, nullptr, 1.f, {a, b});
  d().gamma_slider->value(0.0);  // refused by the operator, past the slider's range
  run_batch();
  ASSERT_EQ(m_messages.alerts.size(), 2u);
  EXPECT_EQ(m_messages.alerts[0].rfind("Cannot tonemap '" + a + "'.", 0), 0u)
      << m_messages.alerts[0];
  EXPECT_EQ(m_messages.alerts[1].rfind("Cannot tonemap '" + b + "'.", 0), 0u)
      << m_messages.alerts[1];
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("a_tm.jpg")));
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("b_tm.jpg")));
  EXPECT_FALSE(m_bar->visible());
  EXPECT_FALSE(d().batch_running());
}

// The batch runs from a timer: a failure outside its file loop (here the grid cannot make
// a tile, as an allocation can fail) is alerted once its flags, cursor and status bar are
// back, and never escapes the event loop.
TEST_F(Tonemap_dialog, ABrowserAnswerThatThrowsEndsTheBatchWithOneAlert) {
  const std::string a = write_hdr("a.exr", *scene(40, 30), k_type_exr);
  const std::string b = write_hdr("b.exr", *scene(40, 30), k_type_exr);
  d().setup(nullptr, nullptr, 1.f, {a, b});
  m_browser.answers().file_written = [](const std::string&) { throw std::bad_alloc(); };
  Alert_moment moment([this] { return d().active() && !m_bar->visible() && !d().batch_running(); });
  run_batch();
  EXPECT_EQ(moment.alerts, std::vector<std::string>{std::bad_alloc().what()});
  EXPECT_EQ(moment.restored, std::vector<bool>{true});
  EXPECT_TRUE(std::filesystem::exists(m_dir.file("a_tm.jpg")));
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("b_tm.jpg")));
}

TEST_F(Tonemap_dialog, AnEmptySuffixNeverReplacesASourceOfTheBatch) {
  Hdr_image photo(*scene(40, 30));
  photo.type = k_type_jpeg;
  const std::string a = m_dir.file("a.jpg");
  save_image_as(photo, a, k_type_jpeg);
  const std::string bytes = read_file_bytes(a);
  const std::string b = write_hdr("b.exr", *scene(40, 30), k_type_exr);
  d().setup(nullptr, nullptr, 1.f, {a, b});
  d().suffix_input->value("");
  run_batch();
  EXPECT_EQ(read_file_bytes(a), bytes);
  ASSERT_EQ(m_messages.alerts.size(), 1u);
  EXPECT_NE(m_messages.alerts[0].find("'" + a + "'"), std::string::npos) << m_messages.alerts[0];
  EXPECT_TRUE(std::filesystem::exists(m_dir.file("b.jpg")));
}

TEST_F(Tonemap_dialog, AReadOnlyFolderLeavesNoPartialFile) {
  const std::string folder = m_dir.file("ro/");
  std::filesystem::create_directory(folder);
  Hdr_image image(*scene(40, 30));
  const std::string a = folder + "a.exr", b = folder + "b.exr";
  save_image_as(image, a, k_type_exr);
  save_image_as(image, b, k_type_exr);
  Read_only_dir read_only(folder);
  if (!read_only.active()) GTEST_SKIP() << "the folder stays writable here";
  d().setup(nullptr, nullptr, 1.f, {a, b});
  run_batch();
  EXPECT_EQ(m_messages.alerts.size(), 2u);
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.insert(e.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"a.exr", "b.exr"}));
  EXPECT_FALSE(m_bar->visible());
}

TEST_F(Tonemap_dialog, ASetupBeforeTheBatchTimerFiresIsRefusedAndBothFilesAreWritten) {
  const std::string a = write_hdr("a.exr", *scene(40, 30), k_type_exr);
  const std::string b = write_hdr("b.exr", *scene(40, 30, 5.f), k_type_exr);
  ASSERT_TRUE(d().setup(nullptr, nullptr, 1.f, {a, b}));
  d().show();
  d().run();
  // The batch waits for its timer; nothing has run yet.
  ASSERT_FALSE(std::filesystem::exists(m_dir.file("a_tm.jpg")));
  EXPECT_FALSE(d().setup(scene(20, 20), nullptr, 1.f, {}));
  EXPECT_EQ(m_messages.alerts,
            std::vector<std::string>{"The selected files are still being tonemapped."});
  EXPECT_EQ(d().paths(), (std::vector<std::string>{a, b}));
  for (int i = 0; i < 1000 && d().batch_running(); ++i) Fl::wait(0.01);
  ASSERT_FALSE(d().batch_running());
  EXPECT_TRUE(std::filesystem::exists(m_dir.file("a_tm.jpg")));
  EXPECT_TRUE(std::filesystem::exists(m_dir.file("b_tm.jpg")));
  EXPECT_EQ(m_messages.alerts.size(), 1u);
}

TEST_F(Tonemap_dialog, ASingleImageAfterABatchBringsBackThePreviewAndHidesTheBatchOptions) {
  const std::string a = write_hdr("a.exr", *scene(40, 30), k_type_exr);
  const std::string b = write_hdr("b.exr", *scene(40, 30), k_type_exr);
  ASSERT_TRUE(d().setup(nullptr, nullptr, 1.f, {a, b}));
  ASSERT_TRUE(d().batch_frame->visible());
  ASSERT_FALSE(d().update_toggle->active());
  ASSERT_TRUE(d().setup(scene(60, 40), nullptr, 1.f, {}));
  EXPECT_FALSE(d().batch());
  EXPECT_FALSE(d().batch_frame->visible());
  EXPECT_TRUE(d().histogram_frame->visible());
  EXPECT_TRUE(d().preview_frame->active());
  EXPECT_TRUE(d().update_toggle->active());
  EXPECT_TRUE(d().update_toggle->value());
  d().show();
  EXPECT_TRUE(d().preview_box->visible_r());
  EXPECT_TRUE(d().hist_box->visible_r());
  EXPECT_FALSE(d().suffix_input->visible_r());
  ASSERT_NE(d().preview_image(), nullptr);
  EXPECT_TRUE(images_match(expected_preview(d().settings()), *d().preview_image()));
  EXPECT_NE(d().preview_box->image(), nullptr);
}

TEST_F(Tonemap_dialog, ARunningBatchKeepsItsSettingsAndRefusesANewStart) {
  const std::string a = write_hdr("a.exr", *scene(40, 30), k_type_exr);
  const std::string b = write_hdr("b.exr", *scene(40, 30, 5.f), k_type_exr);
  d().setup(nullptr, nullptr, 1.f, {a, b});
  bool refused_setup = false, tried = false;
  m_pump_action = [&] {
    if (!d().batch_running() || tried || !m_bar->visible()) return;
    tried = true;
    d().suffix_input->value("_other");
    d().save_type_choice->value(1);
    refused_setup = !d().setup(scene(20, 20), nullptr, 1.f, {});
    d().run();
  };
  run_batch();
  ASSERT_TRUE(tried);
  EXPECT_TRUE(refused_setup);
  EXPECT_EQ(m_messages.alerts.size(), 1u);  // the refused set-up
  EXPECT_TRUE(std::filesystem::exists(m_dir.file("a_tm.jpg")));
  EXPECT_TRUE(std::filesystem::exists(m_dir.file("b_tm.jpg")));
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("a_other.tif")));
  EXPECT_EQ(d().paths(), (std::vector<std::string>{a, b}));
  EXPECT_TRUE(m_results.empty());
  // Afterwards the dialog takes a new set-up again.
  EXPECT_TRUE(d().setup(scene(20, 20), nullptr, 1.f, {}));
}

}  // namespace
