// The preferences dialog on screen: its layout, and that showing it again draws the saved
// settings rather than an edit left by Cancel.
// gtest first: X11 (through fl_draw.H) defines None, which breaks it.
// clang-format off
#include <gtest/gtest.h>
// clang-format on

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Value_Slider.H>
#include <FL/fl_draw.H>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/display_gamma.h"
#include "core/preferences.h"
#include "core/preferences_dlg.h"

namespace {

class Preferences_dialog_on_screen : public ::testing::Test {
 protected:
  void SetUp() override {
    root = std::make_unique<Preferences>(Fl_Preferences::USER, k_preferences_vendor,
                                         k_preferences_application);
    g_preferences = root.get();
    dialog = std::make_unique<PreferencesDlg>(550, 385, "Preferences");
  }
  void TearDown() override {
    dialog->hide();
    settle();
    dialog.reset();
    g_preferences = nullptr;
    root.reset();
  }
  void show_and_settle() {
    dialog->show();
    for (int i = 0; i < 200 && !dialog->visible(); ++i) Fl::wait(0.01);
    settle();
  }
  static void settle() {
    for (int i = 0; i < 20; ++i) Fl::wait(0.01);
    Fl::flush();
  }
  // RGB bytes of a rectangle of the dialog as drawn on screen.
  std::vector<unsigned char> pixels(int x, int y, int w, int h) {
    dialog->make_current();
    std::vector<unsigned char> rgb(static_cast<std::size_t>(w) * h * 3);
    fl_read_image(rgb.data(), x, y, w, h);
    return rgb;
  }
  std::unique_ptr<Preferences> root;
  std::unique_ptr<PreferencesDlg> dialog;
};

TEST_F(Preferences_dialog_on_screen, has_the_stated_layout_and_labels) {
  show_and_settle();
  ASSERT_TRUE(dialog->shown());
  EXPECT_EQ(dialog->w(), 550);
  EXPECT_EQ(dialog->h(), 385);
  EXPECT_STREQ(dialog->label(), "Preferences");
  EXPECT_TRUE(dialog->modal());
  struct Expect {
    Fl_Widget* w;
    int x, y, ww, hh;
    const char* label;
  };
  const PreferencesDlg& d = *dialog;
  const Expect table[] = {
      {d.delete_prompt_button, 16, 56, 302, 15, "Ask confirmation when deleting images"},
      {d.closing_prompt_button, 16, 76, 362, 15, "Ask confirmation when closing modified images"},
      {d.overwrite_prompt_button, 16, 96, 384, 15,
       "Ask confirmation when overwriting existing images"},
      {d.linearize_button, 16, 116, 324, 15, "Linearize LDR images when saving as HDR"},
      {d.exposure_steps_choice, 130, 196, 105, 25, "Exposure steps:"},
      {d.open_as_choice, 130, 225, 105, 25, "Open image as:"},
      {d.resize_method_choice, 130, 255, 105, 25, "Resize method:"},
      {d.thumbnail_size_choice, 446, 196, 82, 25, "Thumbnail size:"},
      {d.cache_thumbnails_button, 330, 228, 155, 15, "Cache thumbnails"},
      {d.clear_cache_button, 330, 255, 104, 25, "Clear cache"},
      {d.gamma_slider, 82, 287, 153, 25, "Gamma:"},
      {d.set_defaults_button, 4, 351, 93, 25, "Set Defaults"},
      {d.cancel_button, 376, 351, 74, 25, "Cancel"},
      {d.save_button, 453, 351, 93, 25, "Save"}};
  for (const Expect& e : table) {
    SCOPED_TRACE(e.label);
    EXPECT_EQ(e.w->x(), e.x);
    EXPECT_EQ(e.w->y(), e.y);
    EXPECT_EQ(e.w->w(), e.ww);
    EXPECT_EQ(e.w->h(), e.hh);
    EXPECT_STREQ(e.w->label(), e.label);
    EXPECT_TRUE(e.w->visible_r());
  }
  EXPECT_STREQ(d.cache_thumbnails_button->tooltip(),
               "Generate and cache thumbnails of images which don't have their own thumbnails "
               "in the image file. Typically needed for faster thumbnail update of HDR images.");
  EXPECT_STREQ(d.gamma_slider->tooltip(),
               "Gamma of your monitor. Required to display HDR images accurately.");
  EXPECT_EQ(d.gamma_slider->textsize(), 14);
  EXPECT_EQ(d.gamma_slider->minimum(), 1.0);
  EXPECT_EQ(d.gamma_slider->maximum(), 3.0);
  EXPECT_DOUBLE_EQ(d.gamma_slider->step(), 0.1);  // shown as "2.2", not float digits
}

TEST_F(Preferences_dialog_on_screen, showing_again_draws_the_saved_values_not_the_cancelled_edit) {
  const int bx = 330, by = 228, bw = 15, bh = 15;  // the "Cache thumbnails" box
  show_and_settle();
  const auto checked = pixels(bx, by, bw, bh);

  dialog->cache_thumbnails_button->value(0);
  dialog->gamma_slider->value(1.3);
  dialog->redraw();
  settle();
  const auto unchecked = pixels(bx, by, bw, bh);
  ASSERT_NE(checked, unchecked) << "the check mark is not visible in the pixels";

  dialog->cancel_button->do_callback();
  settle();
  EXPECT_FALSE(dialog->shown());
  EXPECT_FALSE(dialog->cache_thumbnails());  // the edit stays until the next show
  EXPECT_FLOAT_EQ(display_gamma(), 2.2f);

  show_and_settle();
  EXPECT_TRUE(dialog->cache_thumbnails());
  EXPECT_FLOAT_EQ(static_cast<float>(dialog->gamma_slider->value()), 2.2f);
  EXPECT_EQ(pixels(bx, by, bw, bh), checked);
}

TEST_F(Preferences_dialog_on_screen, enter_presses_save) {
  show_and_settle();
  dialog->gamma_slider->value(2.8);
  Fl::e_keysym = FL_Enter;
  Fl::e_text = const_cast<char*>("\r");
  Fl::e_length = 1;
  Fl::handle(FL_SHORTCUT, dialog.get());
  settle();
  EXPECT_FLOAT_EQ(dialog->gamma(), 2.8f);
  EXPECT_FALSE(dialog->shown());
}

}  // namespace
