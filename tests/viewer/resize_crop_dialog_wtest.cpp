// The Resize Image and Crop Image dialogs driven through their widgets: a viewer's image
// resized and cropped in place with an undo step, and batches of files written to disk.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Float_Input.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Int_Input.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Round_Button.H>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/bspline_resample.h"
#include "core/image_load.h"
#include "core/image_save.h"
#include "core/platform.h"
#include "tests/support/fake_browser.h"
#include "tests/support/image_compare.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/selected_files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "viewer/crop_dlg.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/resize_dlg.h"

namespace {

constexpr uint32_t k_w = 40, k_h = 30;

Rgb pattern(uint32_t x, uint32_t y) { return {float(x * 6), float(y * 8), float((x * y) % 256)}; }

// Types text into a field as the user would: the value, then the field's callback.
void type(Fl_Input* input, const char* text) {
  input->value(text);
  input->do_callback();
}

void choose(Fl_Round_Button* button) {
  button->setonly();
  button->do_callback();
}

Hdr_image load(const std::string& path, uint32_t type) {
  Hdr_image img;
  load_image(img, path, type);
  return img;
}

class Resize_crop_dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    g_resize_dialog = new ResizeDlgDrv(390, 295, "Resize Image");
    g_crop_dialog = new CropDlgDrv(365, 235, "Crop Image");
  }
  void TearDown() override {
    delete g_resize_dialog;
    g_resize_dialog = nullptr;
    delete g_crop_dialog;
    g_crop_dialog = nullptr;
    delete_all_viewers();
  }

  ImageDialogDrv* open_viewer() {
    original = *make_test_image(k_w, k_h, k_type_png, pattern);
    return open_test_viewer(make_test_image(k_w, k_h, k_type_png, pattern), "p.png");
  }

  // PNG files of k_w x k_h in folder, as the browser's selection would name them.
  std::vector<Selected_file> write_files(const Temp_dir& folder,
                                         const std::vector<std::string>& names) {
    return write_selected_files(folder, names, k_w, k_h, k_type_png, pattern);
  }

  Scripted_messages messages;
  Fake_browser browser;
  Hdr_image original;
};

TEST_F(Resize_crop_dialogs, ViewerResizeInPercentHalvesBothSides) {
  ImageDialogDrv* v = open_viewer();
  ResizeDlgDrv* d = g_resize_dialog;
  v->resize_image();
  ASSERT_TRUE(d->shown());
  EXPECT_STREQ(d->width_input->value(), "40");
  EXPECT_STREQ(d->height_input->value(), "30");
  EXPECT_FALSE(d->batch_group->active());

  choose(d->percent_button);
  EXPECT_STREQ(d->width_input->value(), "100");
  EXPECT_STREQ(d->height_input->value(), "100");
  type(d->width_input, "50");
  EXPECT_STREQ(d->height_input->value(), "50");
  d->resize_button->do_callback();

  EXPECT_FALSE(d->shown());
  EXPECT_TRUE(d->active());
  EXPECT_TRUE(messages.alerts.empty());
  const Hdr_image& image = *v->get_image();
  Hdr_image expected;
  static_cast<cimg_library::CImg<float>&>(expected) = original.get_resize(20, 15, -100, -100, 1);
  EXPECT_TRUE(images_match(expected, image));
  EXPECT_EQ(image.type, uint32_t(k_type_png));
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_resized));
  EXPECT_TRUE(v->undo_available());

  v->undo();  // the whole image comes back; the change bit stays
  EXPECT_TRUE(images_match(original, *v->get_image()));
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_resized));
}

TEST_F(Resize_crop_dialogs, PixelFieldsFollowTheAspectAndSwitchUnits) {
  ResizeDlgDrv* d = g_resize_dialog;
  d->setup(nullptr, open_viewer());
  choose(d->pixels_button);  // already on: changes nothing
  EXPECT_STREQ(d->width_input->value(), "40");
  type(d->width_input, "20");
  EXPECT_STREQ(d->height_input->value(), "15");
  type(d->width_input, "1");
  EXPECT_STREQ(d->height_input->value(), "1");  // 0.75 rounds down, then at least 1
  type(d->height_input, "15");
  EXPECT_STREQ(d->width_input->value(), "20");

  choose(d->percent_button);
  EXPECT_STREQ(d->width_input->value(), "50");
  EXPECT_STREQ(d->height_input->value(), "50");
  choose(d->percent_button);
  EXPECT_STREQ(d->width_input->value(), "50");
  choose(d->pixels_button);
  EXPECT_STREQ(d->width_input->value(), "20");
  EXPECT_STREQ(d->height_input->value(), "15");

  d->aspect_button->value(0);
  type(d->width_input, "33");
  EXPECT_STREQ(d->height_input->value(), "15");
}

TEST_F(Resize_crop_dialogs, CubicMethodIsTheBSplineResize) {
  ImageDialogDrv* v = open_viewer();
  ResizeDlgDrv* d = g_resize_dialog;
  d->setup(nullptr, v);
  d->method_choice->value(2);
  type(d->width_input, "90");
  EXPECT_STREQ(d->height_input->value(), "67");
  d->resize_button->do_callback();
  Hdr_image expected;
  static_cast<cimg_library::CImg<float>&>(expected) = resized_bspline(original, 90, 67);
  EXPECT_TRUE(images_match(expected, *v->get_image()));
}

TEST_F(Resize_crop_dialogs, RefusedSizesChangeNothingAndKeepTheDialog) {
  ImageDialogDrv* v = open_viewer();
  ResizeDlgDrv* d = g_resize_dialog;
  d->setup(nullptr, v);
  d->aspect_button->value(0);
  struct Case {
    const char* w;
    const char* h;
    const char* alert;
  } cases[] = {
      {"0", "30", "Invalid resize dimensions specified. Please enter positive values."},
      {"40", "-2", "Invalid resize dimensions specified. Please enter positive values."},
      {"100000", "100000", "Resize failed. Please specify a smaller resize factor."},
      {"40", "1e999", "Resize failed. Please specify a smaller resize factor."},
  };
  for (const Case& c : cases) {
    messages.alerts.clear();
    type(d->width_input, c.w);
    type(d->height_input, c.h);
    d->resize_button->do_callback();
    EXPECT_EQ(messages.alerts, std::vector<std::string>{c.alert}) << c.w << " x " << c.h;
    EXPECT_TRUE(d->shown());
  }
  EXPECT_TRUE(images_match(original, *v->get_image()));
  EXPECT_EQ(v->modified_flags(), 0u);
  EXPECT_FALSE(v->undo_available());
}

TEST_F(Resize_crop_dialogs, ViewerCropKeepsTheRegion) {
  ImageDialogDrv* v = open_viewer();
  CropDlgDrv* d = g_crop_dialog;
  v->crop(0);
  ASSERT_TRUE(d->shown());
  EXPECT_STREQ(d->label(), "Crop Image");
  EXPECT_STREQ(d->x_input->value(), "0");
  EXPECT_STREQ(d->y_input->value(), "0");
  EXPECT_STREQ(d->width_input->value(), "40");
  EXPECT_STREQ(d->height_input->value(), "30");
  EXPECT_FALSE(d->batch_group->active());
  d->x_input->value("5");
  d->y_input->value("4");
  d->width_input->value("10");
  d->height_input->value("8");
  d->crop_button->do_callback();

  EXPECT_FALSE(d->shown());
  EXPECT_TRUE(messages.alerts.empty());
  Hdr_image expected;
  static_cast<cimg_library::CImg<float>&>(expected) = original.get_crop(5, 4, 14, 11);
  EXPECT_TRUE(images_match(expected, *v->get_image()));
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_cropped));
  EXPECT_TRUE(v->undo_available());

  v->undo();
  EXPECT_TRUE(images_match(original, *v->get_image()));
  v->redo();
  EXPECT_TRUE(images_match(expected, *v->get_image()));
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_cropped));
}

TEST_F(Resize_crop_dialogs, CropOfTheWholeImageOrOnePixel) {
  ImageDialogDrv* v = open_viewer();
  CropDlgDrv* d = g_crop_dialog;
  d->setup(nullptr, v);
  d->crop_button->do_callback();  // the defaults cut nothing away
  EXPECT_TRUE(images_match(original, *v->get_image()));
  d->setup(nullptr, v);
  d->x_input->value("39");
  d->y_input->value("29");
  d->width_input->value("1");
  d->height_input->value("1");
  d->crop_button->do_callback();
  ASSERT_EQ(v->get_image()->width(), 1);
  ASSERT_EQ(v->get_image()->height(), 1);
  EXPECT_FLOAT_EQ((*v->get_image())(0, 0, 0, 0), original(39, 29, 0, 0));
}

TEST_F(Resize_crop_dialogs, CropOutsideTheImageIsRefused) {
  ImageDialogDrv* v = open_viewer();
  CropDlgDrv* d = g_crop_dialog;
  d->setup(nullptr, v);
  d->x_input->value("1");  // with the full width, x1 equals the width
  d->crop_button->do_callback();
  EXPECT_EQ(messages.alerts,
            std::vector<std::string>{"Invalid crop dimensions specified. The crop region must "
                                     "be within the image boundaries."});
  EXPECT_TRUE(d->shown());
  EXPECT_TRUE(images_match(original, *v->get_image()));
  EXPECT_EQ(v->modified_flags(), 0u);
}

TEST_F(Resize_crop_dialogs, ViewerDeletedWhileTheDialogsAreOpen) {
  ImageDialogDrv* v = open_viewer();
  g_resize_dialog->setup(nullptr, v);
  g_crop_dialog->setup(nullptr, v);
  delete_all_viewers();
  EXPECT_EQ(g_resize_dialog->viewer(), nullptr);
  EXPECT_EQ(g_crop_dialog->viewer(), nullptr);
  g_resize_dialog->resize_button->do_callback();
  g_crop_dialog->crop_button->do_callback();
  EXPECT_FALSE(g_resize_dialog->shown());
  EXPECT_FALSE(g_crop_dialog->shown());
}

TEST_F(Resize_crop_dialogs, BatchResizeWritesEachFileBesideTheDestination) {
  Temp_dir src, dst;
  browser.answers().current_folder = [&] { return dst.path(); };
  const std::vector<Selected_file> files = write_files(src, {"a.png", "b.png"});
  auto* bar = new Fl_Progress(0, 0, 100, 20);
  g_status_progress = bar;
  std::vector<std::string> written;
  ResizeDlgDrv* d = g_resize_dialog;
  browser.answers().file_written = [&](const std::string& p) { written.push_back(p); };
  d->setup(&files, nullptr);
  EXPECT_TRUE(d->shown());
  EXPECT_TRUE(d->batch_group->active());
  EXPECT_EQ(d->destination_input->value(), dst.path());
  EXPECT_STREQ(d->append_input->value(), "_resize");
  choose(d->percent_button);
  type(d->width_input, "25");
  d->resize_button->do_callback();

  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_FALSE(d->shown());
  EXPECT_EQ(written,
            (std::vector<std::string>{dst.file("a_resize.png"), dst.file("b_resize.png")}));
  for (const std::string& path : written) {
    const Hdr_image out = load(path, k_type_png);
    EXPECT_EQ(out.width(), 10);
    EXPECT_EQ(out.height(), 7);
  }
  EXPECT_FLOAT_EQ(bar->maximum(), 2.f);
  EXPECT_FALSE(bar->visible());
  g_status_progress = nullptr;
  delete bar;
}

// "Browse..." of either dialog asks the browser's directory chooser; only a folder it hands
// over replaces the destination.
TEST_F(Resize_crop_dialogs, BrowseTakesTheFolderTheChooserHandsOver) {
  std::function<void(const std::string&)> pending;
  browser.answers().choose_directory = [&](std::function<void(const std::string&)> chosen) {
    pending = std::move(chosen);
  };
  for (Batch_image_dlg* d : {static_cast<Batch_image_dlg*>(g_resize_dialog),
                             static_cast<Batch_image_dlg*>(g_crop_dialog)}) {
    pending = nullptr;
    d->destination_input->value("/before/");
    d->browse_button->do_callback();
    ASSERT_TRUE(pending) << d->label();
    EXPECT_STREQ(d->destination_input->value(), "/before/");  // nothing chosen yet
    pending("/chosen/folder");
    EXPECT_STREQ(d->destination_input->value(), "/chosen/folder");
  }
}

TEST_F(Resize_crop_dialogs, BatchCropAsksBeforeReplacingAnOutput) {
  Temp_dir src, dst;
  browser.answers().current_folder = [&] { return src.path(); };
  const std::vector<Selected_file> files = write_files(src, {"a.png", "b.png"});
  ASSERT_TRUE(write_file_bytes(dst.file("a_crop.png"), "kept"));
  CropDlgDrv* d = g_crop_dialog;
  d->setup(&files, nullptr);
  EXPECT_STREQ(d->label(), "Batch Crop Images");
  EXPECT_STREQ(d->append_input->value(), "_crop");
  EXPECT_EQ(d->destination_input->value(), src.path());
  d->destination_input->value(dst.path().c_str());
  d->x_input->value("10");
  d->width_input->value("20");
  messages.answers.push_back(0);  // "Skip"
  d->crop_button->do_callback();

  EXPECT_EQ(messages.questions, std::vector<std::string>{dst.file("a_crop.png") +
                                                         " exists. Do you want to overwrite?"});
  EXPECT_EQ(read_file_bytes(dst.file("a_crop.png")), "kept");
  const Hdr_image b = load(dst.file("b_crop.png"), k_type_png);
  ASSERT_EQ(b.width(), 20);
  ASSERT_EQ(b.height(), int(k_h));
  EXPECT_FLOAT_EQ(b(0, 0, 0, 0), pattern(10, 0).r);
}

}  // namespace
