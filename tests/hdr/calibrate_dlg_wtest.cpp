// The calibration dialog against a recording target: its widgets and texts, the order
// of the hand-off (undo step, multiplication, change bit, display), the dialog inactive
// while it works, refusals that leave the image alone, and a target that went away.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Value_Input.H>

#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "hdr/calibrate_dlg_drv.h"
#include "hdr/calibration_target.h"
#include "tests/support/image_compare.h"
#include "tests/support/scripted_messages.h"

namespace {

// A viewer stand-in: pixels at exposure 2 (get_pixel divides it out); it records every
// call with the dialog's active state at that moment.
class Recording_target : public Calibration_target {
 public:
  explicit Recording_target(const CalibrateDlg& dialog) : image(6, 4, 1, 3, 2.f), m_dialog(dialog) {
    image.type = k_type_exr;
    image(2, 1, 0, 0) = 8.f;                                          // r = 4 at exposure 1
    image(2, 1, 0, 1) = 16.f;                                         // g = 8
    image(2, 1, 0, 2) = 2.f;                                          // b = 1
    image(5, 3, 0, 0) = image(5, 3, 0, 1) = image(5, 3, 0, 2) = 0.f;  // black
  }
  void get_pixel(int x, int y, float& r, float& g, float& b) const override {
    r = image(x, y, 0, 0) / 2.f;
    g = image(x, y, 0, 1) / 2.f;
    b = image(x, y, 0, 2) / 2.f;
  }
  Hdr_image* get_image() override { return &image; }
  void save_undo(uint32_t kind, int argument) override {
    record("undo " + std::to_string(kind) + " " + std::to_string(argument));
    if (fail_undo) throw std::bad_alloc();
    undo_copy = image;
  }
  void set_modified(uint32_t bits) override { record("modified " + std::to_string(bits)); }
  void update_view() override { record("view"); }
  bool calibration_open() const override { return open; }

  std::vector<std::string> calls;
  Hdr_image image, undo_copy;
  bool open = true, fail_undo = false;

 private:
  void record(const std::string& call) {
    calls.push_back(call + (m_dialog.active() ? " active" : " inactive"));
  }
  const CalibrateDlg& m_dialog;
};

class Calibrate_dialog : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog = std::make_unique<CalibrateDlgDrv>(490, 125, "Calibrate Image");
    target = std::make_unique<Recording_target>(*dialog);
  }
  void TearDown() override { dialog->hide(); }

  Scripted_messages messages;
  std::unique_ptr<CalibrateDlgDrv> dialog;
  std::unique_ptr<Recording_target> target;
};

TEST_F(Calibrate_dialog, WidgetsAndTexts) {
  EXPECT_TRUE(dialog->modal());
  struct Expected {
    const char* label;
    int x, y, w, h;
  };
  const Expected widgets[] = {
      {"Luminance:", 169, 51, 130, 25},
      {"cd/m^2", 301, 59, 59, 17},
      {"Calibrate", 365, 95, 120, 25},
      {"Enter the luminance value for the selected pixel and click calibrate", 8, 10, 475, 21},
      {"Cancel", 293, 95, 70, 25},
  };
  ASSERT_EQ(dialog->children(), 5);
  for (int i = 0; i < 5; ++i) {
    const Fl_Widget* w = dialog->child(i);
    ASSERT_NE(w->label(), nullptr);
    EXPECT_EQ(std::string(w->label()), widgets[i].label);
    EXPECT_EQ(w->x(), widgets[i].x) << widgets[i].label;
    EXPECT_EQ(w->y(), widgets[i].y) << widgets[i].label;
    EXPECT_EQ(w->w(), widgets[i].w) << widgets[i].label;
    EXPECT_EQ(w->h(), widgets[i].h) << widgets[i].label;
  }
  EXPECT_EQ(dialog->child(0), dialog->value_input);
  EXPECT_EQ(dialog->child(2), dialog->calibrate_button);
  EXPECT_EQ(dialog->child(4), dialog->cancel_button);
}

TEST_F(Calibrate_dialog, StartShowsThePixelsLuminanceWithoutTheExposure) {
  dialog->start(*target, 2, 1);
  EXPECT_TRUE(dialog->shown());
  // (0.7152 * 8 + 0.2126 * 4) + 0.0722 * 1 = 6.6442
  EXPECT_FLOAT_EQ(dialog->luminance(), 6.6442f);
  EXPECT_EQ(dialog->value_input->value(), double(dialog->luminance()));
  EXPECT_EQ(dialog->pixel_x(), 2);
  EXPECT_EQ(dialog->pixel_y(), 1);
  EXPECT_TRUE(target->calls.empty());
}

TEST_F(Calibrate_dialog, CalibrateRecordsUndoMultipliesMarksAndShowsWhileInactive) {
  const Hdr_image before = target->image;
  dialog->start(*target, 2, 1);
  dialog->value_input->value(100.0);
  dialog->calibrate_button->do_callback();
  const float factor = float(100.0 / (double(6.6442f) + 1e-6));
  const std::vector<std::string> calls = {"undo 16 0 inactive", "modified 16 inactive",
                                          "view inactive"};
  EXPECT_EQ(target->calls, calls);
  EXPECT_TRUE(images_match(before, target->undo_copy));  // the copy before the change
  Hdr_image expected = before;
  expected *= factor;
  EXPECT_TRUE(images_match(expected, target->image));
  float r, g, b;
  target->get_pixel(2, 1, r, g, b);
  EXPECT_NEAR(0.7152f * g + 0.2126f * r + 0.0722f * b, 100.f, 1e-3f);
  EXPECT_FALSE(dialog->shown());
  EXPECT_TRUE(dialog->active());
  EXPECT_TRUE(messages.alerts.empty());
}

TEST_F(Calibrate_dialog, BlackPixelGivesAMillionTimesTheValue) {
  const Hdr_image before = target->image;
  dialog->start(*target, 5, 3);
  EXPECT_EQ(dialog->luminance(), 0.f);
  dialog->value_input->value(2.0);
  dialog->apply();
  Hdr_image expected = before;
  expected *= float(2.0 / 1e-6);
  EXPECT_TRUE(images_match(expected, target->image));
  EXPECT_EQ(target->image(0, 0, 0, 0), 2.f * 2e6f);
}

struct Refused_case {
  const char* name;
  double typed;
  const char* text_part;
};

class Calibrate_refused : public Calibrate_dialog,
                          public ::testing::WithParamInterface<Refused_case> {};

TEST_P(Calibrate_refused, ImageUntouchedAndDialogOpen) {
  const Refused_case& c = GetParam();
  const Hdr_image before = target->image;
  dialog->start(*target, 5, 3);  // black: every factor is a million times the value
  dialog->value_input->value(c.typed);
  dialog->apply();
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_NE(messages.alerts[0].find(c.text_part), std::string::npos) << messages.alerts[0];
  EXPECT_TRUE(target->calls.empty());
  EXPECT_TRUE(images_match(before, target->image));
  EXPECT_TRUE(dialog->shown());  // another value may be typed
  EXPECT_TRUE(dialog->active());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Calibrate_refused,
    ::testing::Values(
        Refused_case{"Negative", -3.0, "0 or more"},
        Refused_case{"NotANumber", std::numeric_limits<double>::quiet_NaN(), "0 or more"},
        Refused_case{"Infinite", std::numeric_limits<double>::infinity(), "0 or more"},
        // 1e33 / 1e-6 is no float.
        Refused_case{"DividedIntoInfinity", 1e33, "too large"},
        // 1e32 / 1e-6 = 1e38 is, but values up to 16 would pass the range.
        Refused_case{"ValuesWouldOverflow", 1e32, "too large"}),
    [](const auto& info) { return std::string(info.param.name); });

// Text typed into the field, as the field hands it over: its own reading (0 for text it
// cannot read) and the text itself.
void type_into(Fl_Value_Input& field, const char* text) {
  field.input.value(text);
  field.input.do_callback();
}

// The float field lets through text it reads as 0; that is refused, naming the field,
// while a typed 0 blackens the image as asked.
TEST_F(Calibrate_dialog, TextThatIsNoNumberIsRefusedATypedZeroIsNot) {
  const Hdr_image before = target->image;
  for (const char* text : {"", "-", ".", "e5", "1e", "-.", "3 4"}) {
    SCOPED_TRACE(std::string("'") + text + "'");
    messages.alerts.clear();
    dialog->start(*target, 2, 1);
    type_into(*dialog->value_input, text);
    dialog->apply();
    ASSERT_EQ(messages.alerts.size(), 1u);
    EXPECT_NE(messages.alerts[0].find("Luminance"), std::string::npos) << messages.alerts[0];
    EXPECT_TRUE(target->calls.empty());
    EXPECT_TRUE(images_match(before, target->image));
    EXPECT_TRUE(dialog->shown());
    EXPECT_TRUE(dialog->active());
  }
  messages.alerts.clear();
  type_into(*dialog->value_input, " 0 ");
  dialog->apply();
  EXPECT_TRUE(messages.alerts.empty()) << messages.alerts.front();
  EXPECT_TRUE(images_match(Hdr_image(6, 4, 1, 3, 0.f), target->image));
}

TEST_F(Calibrate_dialog, ZeroIsAcceptedAndBlackensTheImage) {
  dialog->start(*target, 2, 1);
  dialog->value_input->value(0.0);
  dialog->apply();
  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_TRUE(images_match(Hdr_image(6, 4, 1, 3, 0.f), target->image));
}

TEST_F(Calibrate_dialog, ClosedOrDeletedTargetIsNotChanged) {
  const Hdr_image before = target->image;
  dialog->start(*target, 2, 1);
  target->open = false;
  dialog->apply();
  EXPECT_TRUE(target->calls.empty());
  EXPECT_TRUE(images_match(before, target->image));
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_NE(messages.alerts[0].find("closed"), std::string::npos);
  EXPECT_FALSE(dialog->shown());

  // Gone altogether: apply must not reach it.
  target->open = true;
  dialog->start(*target, 2, 1);
  target.reset();
  dialog->apply();
  EXPECT_EQ(messages.alerts.size(), 2u);
  EXPECT_TRUE(dialog->active());
}

TEST_F(Calibrate_dialog, FailedUndoCopyLeavesTheImageAndRestoresTheDialog) {
  const Hdr_image before = target->image;
  target->fail_undo = true;
  dialog->start(*target, 2, 1);
  dialog->value_input->value(50.0);
  dialog->apply();
  EXPECT_TRUE(images_match(before, target->image));
  EXPECT_EQ(messages.alerts.size(), 1u);
  EXPECT_TRUE(dialog->active());
  EXPECT_EQ(target->calls.size(), 1u);
}

TEST_F(Calibrate_dialog, CancelOnlyHides) {
  const Hdr_image before = target->image;
  dialog->start(*target, 2, 1);
  dialog->value_input->value(75.0);
  dialog->cancel_button->do_callback();
  EXPECT_FALSE(dialog->shown());
  EXPECT_TRUE(target->calls.empty());
  EXPECT_TRUE(images_match(before, target->image));
}

}  // namespace
