// The response plot and the response entry dialog under the X server, opened from the
// "Create HDR" dialog as the user opens them: the plot's curves are read back as pixels,
// the entry dialog's rows and fields through its widgets.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Preferences.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>
#include <FL/fl_draw.H>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "hdr/create_hdr_dialog_drv.h"
#include "hdr/enter_response_dlg.h"
#include "hdr/plot_dlg.h"
#include "hdr/response_plot.h"
#include "hdr/response_store.h"
#include "tests/support/exposure_exif_fixture.h"
#include "tests/support/fake_browser.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "tests/support/widget_layout.h"

namespace {

// The browser as the dialog sees it: the chosen files are the whole selection, and no
// tile describes them.
class Chosen_files_host {
 public:
  Chosen_files_host() {
    browser.answers().selected_paths = [this] { return paths; };
    browser.answers().open_result = [](std::unique_ptr<Hdr_image>, const std::string&) {};
  }
  Fake_browser browser;
  std::vector<std::string> paths;
};

using Curve = std::function<float(int)>;

// A camera response whose three inverse tables follow the given curves.
std::unique_ptr<Camera_response> response_of(const Curve& red, const Curve& green,
                                             const Curve& blue) {
  auto r = std::make_unique<Camera_response>();
  r->degree = 1;
  const Curve* curves[3] = {&red, &green, &blue};
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < k_response_levels; ++i) {
      r->f[c][i] = float(i) / 255.f;
      r->f_pri[c][i] = 1.f;
      r->f_inv[c][i] = (*curves[c])(i);
    }
  return r;
}

Curve constant(float v) {
  return [v](int) { return v; };
}
float blue_ramp(int i) { return float(i) / 510.f; }

struct Colour {
  uchar r, g, b;
};
Colour colour_of(Fl_Color c) {
  uchar r, g, b;
  Fl::get_color(c, r, g, b);
  return {r, g, b};
}

// The plot box's pixels read back from the window, with one row above and two below.
struct Plot_pixels {
  static constexpr int k_margin_above = 1, k_rows = 256 + 3;
  std::vector<uchar> px;
  // Pixel of box column x, row y (0 the top row, 256 the bottom line just under the box).
  Colour at(int x, int y) const {
    const uchar* p = &px[(size_t(y + k_margin_above) * 256 + x) * 3];
    return {p[0], p[1], p[2]};
  }
  bool is(int x, int y, Fl_Color c) const {
    const Colour want = colour_of(c), got = at(x, y);
    return want.r == got.r && want.g == got.g && want.b == got.b;
  }
  // Whether column x holds the colour within a row of y (the curves are 2 pixels wide).
  bool near(int x, int y, Fl_Color c) const {
    for (int r = y - 1; r <= y + 1; ++r)
      if (r >= -k_margin_above && r < k_rows - k_margin_above && is(x, r, c)) return true;
    return false;
  }
  // Rows of column x inside the box holding the colour.
  int count(int x, Fl_Color c) const {
    int n = 0;
    for (int y = 0; y < 256; ++y) n += is(x, y, c);
    return n;
  }
};

// Box row of a value at column i, as the plot computes it.
int row_of(float v) {
  int offset = 0;
  EXPECT_TRUE(plot_row_offset(v, 256, offset));
  return 256 - offset;
}

class Response_dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    store = std::make_unique<Fl_Preferences>(dir.path().c_str(), "veltrum.org", "dialogs_test");
    g_plot_dialog = new PlotDlg(290, 375, "Camera Response");
    g_enter_response_dialog = new EnterResponseDlgDrv(465, 425, "Enter Camera Response");
    dialog = std::make_unique<CreateHDRDialogDrv>(450, 445, "Create HDR");
    dialog->set_store(store.get());
  }
  void TearDown() override {
    dialog->hide();
    delete g_plot_dialog;
    delete g_enter_response_dialog;
    g_plot_dialog = nullptr;
    g_enter_response_dialog = nullptr;
  }

  // The dialog set up for one exposure of the camera.
  void choose_camera(const std::string& make, const std::string& model) {
    Exposure_exif fields;
    fields.make = make;
    fields.model = model;
    const std::string path = dir.file(make + ".jpg");
    write_exposure_jpeg(path, fields);
    host.paths = {path};
    dialog->open_for_selection(false);
  }
  void store_response(const std::string& camera, const Camera_response& r) {
    save_response(*store, camera, r);
  }
  void click_plot() {
    ASSERT_TRUE(dialog->plot_button->active());
    dialog->plot_button->do_callback();
  }
  static void toggle(Fl_Check_Button* b, int value) {
    b->value(value);
    b->do_callback();
  }

  Plot_pixels read_plot() {
    for (int i = 0; i < 200 && !g_plot_dialog->shown(); ++i) Fl::wait(0.01);
    settle(0.2);
    const PlotBox* box = g_plot_dialog->plot_box;
    Plot_pixels p;
    p.px.resize(size_t(256) * Plot_pixels::k_rows * 3);
    g_plot_dialog->make_current();
    fl_read_image(p.px.data(), box->x(), box->y() - Plot_pixels::k_margin_above, 256,
                  Plot_pixels::k_rows);
    return p;
  }

  Temp_dir dir;
  Scripted_messages messages;
  std::unique_ptr<Fl_Preferences> store;
  Chosen_files_host host;
  std::unique_ptr<CreateHDRDialogDrv> dialog;
};

TEST_F(Response_dialogs, PlotWidgetsTextsAndModality) {
  PlotDlg& plot = *g_plot_dialog;
  EXPECT_TRUE(plot.modal());
  expect_widget_layout(plot, {
                                 {plot.close_button, 1, "Close", 202, 344, 76, 25},
                                 {plot.plot_box, 1, nullptr, 21, 57, 256, 256},
                                 {nullptr, 1, "Irr.", 2, 176, 20, 17},
                                 {nullptr, 1, "Pix.", 134, 312, 30, 16},
                                 {plot.show_srgb, 1, "Show sRGB", 6, 332, 105, 15},
                                 {plot.show_linear, 1, "Show linear", 6, 351, 105, 15},
                                 {nullptr, 1, nullptr, 21, 10, 256, 45},
                                 {plot.make_label, 2, nullptr, 27, 15, 50, 17},
                                 {plot.model_label, 2, nullptr, 27, 31, 50, 17},
                             });
  EXPECT_EQ(plot.plot_box->box(), FL_FLAT_BOX);
  EXPECT_STREQ(plot.plot_box->tooltip(),
               "Colored curves represent the response function associated with each color "
               "channel. X and Y axes denote pixel value and irradiance respectively.");
  EXPECT_EQ(plot.child(2)->labelsize(), 10);
  EXPECT_EQ(plot.child(3)->labelsize(), 10);
  EXPECT_EQ(plot.child(6)->box(), FL_ENGRAVED_BOX);
  for (const Fl_Widget* label : {plot.make_label, plot.model_label}) {
    EXPECT_EQ(label->labelsize(), 12);
    EXPECT_EQ(label->align(), Fl_Align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE));
  }
  EXPECT_EQ(plot.show_srgb->value(), 0);
  EXPECT_EQ(plot.show_linear->value(), 0);
  EXPECT_EQ(plot.plot_box->point_count(), 0);
}

TEST_F(Response_dialogs, PlotDrawsTheStoredCurvesOnWhiteWithDashedAxes) {
  store_response("Canon EOS 5D", *response_of(constant(0.25f), constant(0.75f), blue_ramp));
  choose_camera("Canon", "EOS 5D");
  click_plot();
  ASSERT_TRUE(g_plot_dialog->shown());
  const Plot_pixels p = read_plot();

  for (int x : {10, 64, 100, 200, 250}) {
    EXPECT_TRUE(p.near(x, row_of(0.25f), FL_RED)) << x;
    EXPECT_TRUE(p.near(x, row_of(0.75f), FL_GREEN)) << x;
    EXPECT_TRUE(p.near(x, row_of(blue_ramp(x)), FL_BLUE)) << x;
    // Each curve is a line two pixels wide, nothing more in its column.
    EXPECT_LE(p.count(x, FL_RED), 2) << x;
    EXPECT_LE(p.count(x, FL_GREEN), 2) << x;
  }
  // No reference is drawn while both check buttons are off.
  for (int x = 0; x < 256; ++x) {
    EXPECT_EQ(p.count(x, FL_YELLOW), 0) << x;
    EXPECT_EQ(p.count(x, FL_MAGENTA), 0) << x;
  }
  EXPECT_TRUE(p.is(30, 30, FL_WHITE));
  EXPECT_TRUE(p.is(230, 230, FL_WHITE));
  // The axes through the middle are dashed in the background grey: some of the row and
  // column are grey, some white.
  int grey_row = 0, white_row = 0, grey_column = 0, white_column = 0;
  for (int i = 0; i < 256; ++i) {
    if (i >= 40 && i <= 60) continue;  // clear of the curves crossing them
    grey_row += p.is(i, 128, 49);
    white_row += p.is(i, 128, FL_WHITE);
    if (std::abs(i - row_of(0.25f)) > 3 && std::abs(i - row_of(0.75f)) > 3 &&
        std::abs(i - row_of(blue_ramp(128))) > 3) {
      grey_column += p.is(128, i, 49);
      white_column += p.is(128, i, FL_WHITE);
    }
  }
  EXPECT_GT(grey_row, 20);
  EXPECT_GT(white_row, 20);
  EXPECT_GT(grey_column, 20);
  EXPECT_GT(white_column, 20);
}

TEST_F(Response_dialogs, ReferencesAppearAtOnceAndAreDrawnOverTheCurves) {
  store_response("Canon EOS 5D", *response_of(constant(0.25f), constant(0.75f), blue_ramp));
  choose_camera("Canon", "EOS 5D");
  click_plot();
  // Toggling redraws from the curves already held: the store changing meanwhile shows
  // nothing new.
  store_response("Canon EOS 5D", *response_of(constant(0.1f), constant(0.2f), constant(0.3f)));

  toggle(g_plot_dialog->show_srgb, 1);
  Plot_pixels p = read_plot();
  const auto gamma = [](int i) { return powf(float(i) / 255.f, 2.2f); };
  const auto linear = [](int i) { return float(i) / 255.f; };
  for (int x : {100, 200, 240}) EXPECT_TRUE(p.near(x, row_of(gamma(x)), FL_YELLOW)) << x;
  for (int x = 0; x < 256; ++x) ASSERT_EQ(p.count(x, FL_MAGENTA), 0) << x;
  EXPECT_TRUE(p.near(200, row_of(0.25f), FL_RED));

  toggle(g_plot_dialog->show_linear, 1);
  p = read_plot();
  for (int x : {40, 100, 230}) EXPECT_TRUE(p.near(x, row_of(linear(x)), FL_MAGENTA)) << x;
  EXPECT_TRUE(g_plot_dialog->plot_box->gamma_shown());
  EXPECT_TRUE(g_plot_dialog->plot_box->linear_shown());

  // Where two curves meet on one pixel the later one is seen: yellow over blue, magenta
  // over red and green.
  const auto meeting = [](const std::function<float(int)>& a, const std::function<float(int)>& b) {
    for (int x = 8; x < 248; ++x)
      if (row_of(a(x)) == row_of(b(x))) return x;
    return -1;
  };
  const int yellow_blue = meeting(gamma, blue_ramp);
  const int magenta_red = meeting(linear, constant(0.25f));
  const int magenta_green = meeting(linear, constant(0.75f));
  ASSERT_GE(yellow_blue, 0);
  ASSERT_GE(magenta_red, 0);
  ASSERT_GE(magenta_green, 0);
  EXPECT_TRUE(p.is(yellow_blue, row_of(gamma(yellow_blue)), FL_YELLOW));
  EXPECT_TRUE(p.is(magenta_red, row_of(0.25f), FL_MAGENTA));
  EXPECT_TRUE(p.is(magenta_green, row_of(0.75f), FL_MAGENTA));

  toggle(g_plot_dialog->show_srgb, 0);
  p = read_plot();
  for (int x = 0; x < 256; ++x) ASSERT_EQ(p.count(x, FL_YELLOW), 0) << x;
  EXPECT_TRUE(p.near(40, row_of(linear(40)), FL_MAGENTA));

  // The buttons keep their state for the next plot.
  g_plot_dialog->hide();
  click_plot();
  EXPECT_TRUE(g_plot_dialog->plot_box->linear_shown());
  EXPECT_FALSE(g_plot_dialog->plot_box->gamma_shown());
  p = read_plot();
  EXPECT_TRUE(p.near(100, row_of(linear(100)), FL_MAGENTA));
  EXPECT_TRUE(p.near(100, row_of(0.1f), FL_RED));  // reloaded by the new plot
}

TEST_F(Response_dialogs, OneIsTheTopRowAndZeroTheClippedLineBelow) {
  store_response("Canon EOS 5D", *response_of(constant(1.f), constant(0.5f), constant(0.f)));
  choose_camera("Canon", "EOS 5D");
  click_plot();
  const Plot_pixels p = read_plot();
  for (int x : {5, 100, 200}) {
    EXPECT_TRUE(p.is(x, 0, FL_RED)) << x;
    EXPECT_FALSE(p.is(x, -1, FL_RED)) << x;  // above the box: clipped
    EXPECT_FALSE(p.is(x, 256, FL_BLUE)) << x;
    EXPECT_FALSE(p.is(x, 257, FL_BLUE)) << x;
  }
}

TEST_F(Response_dialogs, ValuesNoRowCanHoldAreClippedOrLeftOut) {
  g_plot_dialog->show_srgb->value(0);
  g_plot_dialog->show_linear->value(0);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  std::vector<float> red(256, 0.25f), green(256, 0.75f), blue(256, 3e38f);
  for (int i = 100; i <= 110; ++i) red[i] = nan;
  red[150] = inf;
  green[60] = -inf;
  g_plot_dialog->set_response("Odd", "Values", red.data(), green.data(), blue.data(), 256);
  const Plot_pixels p = read_plot();
  // Around the NaN entries nothing red is drawn; either side the line goes on.
  EXPECT_EQ(p.count(105, FL_RED), 0);
  EXPECT_TRUE(p.near(90, row_of(0.25f), FL_RED));
  EXPECT_TRUE(p.near(120, row_of(0.25f), FL_RED));
  // Infinity leaves the box through the top edge, minus infinity through the bottom.
  EXPECT_GT(p.count(149, FL_RED) + p.count(150, FL_RED), 100);
  EXPECT_GT(p.count(59, FL_GREEN) + p.count(60, FL_GREEN), 30);
  EXPECT_TRUE(p.near(59, 250, FL_GREEN) || p.near(60, 250, FL_GREEN));
  // A huge value is above the box everywhere.
  for (int x = 0; x < 256; ++x) ASSERT_EQ(p.count(x, FL_BLUE), 0) << x;
}

TEST_F(Response_dialogs, LabelsNameTheCameraOfTheLastPlot) {
  store_response("Canon EOS 5D", *response_of(constant(0.25f), constant(0.75f), blue_ramp));
  store_response("Nikon D700", *response_of(constant(0.6f), constant(0.2f), constant(0.4f)));
  choose_camera("Canon", "EOS 5D");
  click_plot();
  EXPECT_STREQ(g_plot_dialog->make_label->label(), "Make: Canon");
  EXPECT_STREQ(g_plot_dialog->model_label->label(), "Model: EOS 5D");

  choose_camera("Nikon", "D700");
  click_plot();
  EXPECT_STREQ(g_plot_dialog->make_label->label(), "Make: Nikon");
  EXPECT_STREQ(g_plot_dialog->model_label->label(), "Model: D700");
  const Plot_pixels p = read_plot();
  EXPECT_TRUE(p.near(30, row_of(0.6f), FL_RED));
  EXPECT_TRUE(p.near(30, row_of(0.2f), FL_GREEN));
  EXPECT_FALSE(p.near(30, row_of(0.25f), FL_RED));

  // A camera without a stored response: "Plot" shows nothing and says nothing.
  g_plot_dialog->hide();
  choose_camera("Pentax", "K1");
  dialog->plot_button->activate();
  dialog->plot_button->do_callback();
  EXPECT_FALSE(g_plot_dialog->shown());
  EXPECT_STREQ(g_plot_dialog->make_label->label(), "Make: Nikon");
  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_TRUE(messages.questions.empty());
}

TEST_F(Response_dialogs, CloseAndTheWindowsCloseBoxHideThePlot) {
  store_response("Canon EOS 5D", *response_of(constant(0.25f), constant(0.75f), blue_ramp));
  choose_camera("Canon", "EOS 5D");
  click_plot();
  ASSERT_TRUE(g_plot_dialog->shown());
  g_plot_dialog->close_button->do_callback();
  EXPECT_FALSE(g_plot_dialog->shown());
  click_plot();
  ASSERT_TRUE(g_plot_dialog->shown());
  g_plot_dialog->do_callback();
  EXPECT_FALSE(g_plot_dialog->shown());
}

// The entry dialog, opened by choosing "Enter response".
class Response_entry : public Response_dialogs {
 protected:
  void choose_enter_response() {
    Fl_Choice* menu = dialog->camera_response;
    menu->picked(CreateHDRDialog::find_item(menu, "Enter response"));
  }
  EnterResponseDlgDrv& entry() { return *g_enter_response_dialog; }
  // How many of each channel's rows are active; -1 when the channels disagree or the
  // active rows are not the first ones.
  int active_rows() {
    int rows = -1;
    for (int c = 0; c < 3; ++c) {
      int n = 0;
      while (n < k_max_coefficients && entry().coefficient(c, n)->active()) ++n;
      for (int k = n; k < k_max_coefficients; ++k)
        if (entry().coefficient(c, k)->active()) return -1;
      if (rows != -1 && rows != n) return -1;
      rows = n;
    }
    return rows;
  }
  // Cameras with a response in the store.
  int stored_cameras() {
    Fl_Preferences cameras(*store, k_camera_group);
    return cameras.groups();
  }
  void move_slider(double v) {
    entry().coefficient_count->value(v);
    entry().coefficient_count->do_callback();
  }
};

TEST_F(Response_entry, WidgetsTextsRangesAndModality) {
  EnterResponseDlgDrv& e = entry();
  EXPECT_TRUE(e.modal());
  std::vector<Widget_row> rows = {
      {e.make_input, 1, "Camera make:", 178, 20, 155, 25},
      {e.model_input, 1, "Camera model:", 178, 51, 155, 25},
      {e.coefficient_count, 1, "Number of coefficients:", 192, 94, 140, 22},
  };
  struct Column {
    const char* name;
    int group_x, input_x;
  };
  const Column columns[3] = {{"Red", 18, 70}, {"Green", 172, 224}, {"Blue", 326, 378}};
  const char* const labels[8] = {"C0:", "C1:", "C2:", "C3:", "C4:", "C5:", "C6:", "C7:"};
  const int row_y[8] = {152, 180, 208, 237, 265, 294, 322, 351};
  for (int c = 0; c < 3; ++c) {
    rows.push_back({e.channel_groups[c], 1, columns[c].name, columns[c].group_x, 144, 115, 240});
    for (int k = 0; k < k_max_coefficients; ++k)
      rows.push_back({e.coefficient(c, k), 2, labels[k], columns[c].input_x, row_y[k], 30, 25});
  }
  rows.push_back({e.save_button, 1, "Save", 370, 390, 72, 25});
  rows.push_back({e.cancel_button, 1, "Cancel", 298, 390, 70, 25});
  expect_widget_layout(e, rows);

  const Fl_Value_Slider* count = e.coefficient_count;
  EXPECT_EQ(count->type(), FL_HOR_NICE_SLIDER);
  EXPECT_EQ(count->minimum(), 1.0);
  EXPECT_EQ(count->maximum(), 8.0);
  EXPECT_EQ(count->step(), 1.0);
  EXPECT_EQ(count->value(), 5.0);
  EXPECT_EQ(count->textsize(), 14);
  EXPECT_EQ(count->align(), Fl_Align(FL_ALIGN_LEFT));
  EXPECT_STREQ(count->tooltip(), "Number of the polynomial coefficients for the response curve.");
  for (const Fl_Group* group : e.channel_groups) EXPECT_EQ(group->box(), FL_ENGRAVED_BOX);
  for (const Fl_Value_Input* input : e.coefficients) {
    EXPECT_EQ(input->minimum(), 0.0);
    EXPECT_EQ(input->maximum(), 100.0);
    EXPECT_DOUBLE_EQ(input->step(), 0.1);
    EXPECT_EQ(input->value(), 1.0);
  }
}

TEST_F(Response_entry, FirstOpeningOffersFiveCoefficientsForAPlaceholderCamera) {
  choose_camera("Canon", "EOS 5D");
  choose_enter_response();
  ASSERT_TRUE(entry().shown());
  EXPECT_STREQ(entry().make_input->value(), "MyMake");
  EXPECT_STREQ(entry().model_input->value(), "MyModel");
  EXPECT_EQ(entry().coefficient_count->value(), 5);
  EXPECT_EQ(active_rows(), 5);
  for (Fl_Value_Input* input : entry().coefficients) EXPECT_EQ(input->value(), 1.0);
}

class Response_entry_rows : public Response_entry, public ::testing::WithParamInterface<int> {};

TEST_P(Response_entry_rows, TheSliderActivatesThatManyRowsInEveryChannel) {
  choose_enter_response();
  move_slider(GetParam());
  EXPECT_EQ(active_rows(), GetParam());
  move_slider(5);
  EXPECT_EQ(active_rows(), 5);
}

INSTANTIATE_TEST_SUITE_P(Counts, Response_entry_rows, ::testing::Values(1, 3, 8));

TEST_F(Response_entry, SaveKeepsTheDialogOpenAndStoresNothing) {
  choose_camera("Canon", "EOS 5D");
  choose_enter_response();
  entry().make_input->value("Canon");
  entry().model_input->value("EOS 5D");
  move_slider(3);
  entry().coefficient(1, 2)->value(3.5);
  entry().coefficient(2, 0)->value(0.2);

  entry().save_button->do_callback();
  EXPECT_TRUE(entry().shown());
  EXPECT_STREQ(entry().make_input->value(), "Canon");
  EXPECT_EQ(stored_cameras(), 0);
  EXPECT_FALSE(has_stored_response(*store, "Canon EOS 5D"));

  entry().cancel_button->do_callback();
  EXPECT_FALSE(entry().shown());

  // Opened again: the camera is the placeholder again, the rest as it was left.
  choose_enter_response();
  ASSERT_TRUE(entry().shown());
  EXPECT_STREQ(entry().make_input->value(), "MyMake");
  EXPECT_STREQ(entry().model_input->value(), "MyModel");
  EXPECT_EQ(entry().coefficient_count->value(), 3);
  EXPECT_EQ(active_rows(), 3);
  EXPECT_EQ(entry().coefficient(1, 2)->value(), 3.5);
  EXPECT_DOUBLE_EQ(entry().coefficient(2, 0)->value(), 0.2);
  EXPECT_EQ(entry().coefficient(0, 0)->value(), 1.0);
  EXPECT_EQ(stored_cameras(), 0);
  EXPECT_TRUE(messages.alerts.empty());
}

}  // namespace
