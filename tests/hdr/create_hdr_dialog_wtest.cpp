// The "Create HDR" dialog's widgets and set-up, driven through their callbacks with a
// fake browser.
#include <gtest/gtest.h>

#include <new>

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Float_Input.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Value_Slider.H>

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/command_boundary.h"
#include "core/event_pump.h"
#include "core/hdr_image.h"
#include "core/image_save.h"
#include "core/platform.h"
#include "hdr/create_hdr_dialog_drv.h"
#include "hdr/matrix.h"
#include "hdr/progress.h"
#include "hdr/response_recovery.h"
#include "hdr/tonemap_phot_dlg_drv.h"
#include "tests/support/fake_browser.h"
#include "tests/support/png_fixture.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"

namespace {

// The browser as the dialog sees it: the tiles of files, the selection, the folder and
// the result viewer answered from the fields below.
class Test_host {
 public:
  Test_host() {
    Browser_seam& seam = browser.answers();
    seam.describe_tile = [this](const std::string& path, Selected_file& file) {
      return describe(path, file);
    };
    seam.selected_paths = [this] { return paths; };
    seam.current_folder = [this] { return folder; };
    seam.open_result = [this](std::unique_ptr<Hdr_image> image, const std::string& f) {
      opened.push_back(std::move(image));
      opened_folder = f;
    };
  }
  bool describe(const std::string& path, Selected_file& file) const {
    for (const Selected_file& f : files)
      if (f.path == path) {
        file = f;
        return true;
      }
    return false;
  }
  Fake_browser browser;
  std::vector<std::string> paths;
  std::vector<Selected_file> files;
  std::string folder;
  std::vector<std::unique_ptr<Hdr_image>> opened;
  std::string opened_folder;
};

class Create_hdr_dialog : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog = std::make_unique<CreateHDRDialogDrv>(450, 445, "Create HDR");
    host.folder = dir.path();
  }
  void TearDown() override { dialog->hide(); }

  bool item_active(Fl_Choice* c, const char* label) {
    Fl_Menu_Item* item = CreateHDRDialog::find_item(c, label);
    return item && item->active();
  }
  void pick(Fl_Choice* c, const char* label) { c->picked(CreateHDRDialog::find_item(c, label)); }
  void click(Fl_Button* b, int value) {
    b->value(value);
    b->do_callback();
  }
  // Grey exposures of the given levels, as PNG files chosen in this order.
  void choose_pngs(const std::vector<uint8_t>& levels, uint32_t width = 4, uint32_t height = 3) {
    for (size_t i = 0; i < levels.size(); ++i) {
      const std::string path = dir.file("e" + std::to_string(i) + ".png");
      std::vector<uint8_t> rgb(size_t(width) * height * 3, levels[i]);
      Png_layout layout;
      layout.width = width;
      layout.height = height;
      write_png(path, layout, rgb.data());
      Selected_file f;
      f.path = path;
      f.type = 2;
      f.width = width;
      f.height = height;
      f.thumb_pixels.assign(size_t(width) * height * 3, levels[i]);
      f.thumb_w = width;
      f.thumb_h = height;
      host.paths.push_back(path);
      host.files.push_back(f);
    }
  }

  Temp_dir dir;
  Scripted_messages messages;
  Test_host host;
  std::unique_ptr<CreateHDRDialogDrv> dialog;
};

TEST_F(Create_hdr_dialog, StartsWithTheDocumentedValues) {
  EXPECT_EQ(dialog->camera_response->value(), 2);
  EXPECT_EQ(dialog->exposure_variation->value(), 0);
  EXPECT_STREQ(dialog->base_name->value(), "image");
  EXPECT_EQ(dialog->exposures_per_hdr->value(), 5);
  EXPECT_FALSE(dialog->exposures_per_hdr->active());
  EXPECT_TRUE(dialog->autodetect->value());
  EXPECT_FALSE(dialog->exposure_ratio->active());
  EXPECT_FALSE(dialog->plot_button->active());
  EXPECT_FALSE(dialog->save_both->active());
  EXPECT_FALSE(dialog->ldr_save_type->active());
  EXPECT_STREQ(dialog->hdr_save_type->text(), "OpenEXR (*.exr)");
  EXPECT_STREQ(dialog->ldr_save_type->text(), "JPEG (*.jpg)");
  EXPECT_EQ(dialog->exposure_variation->size() - 1, 11);  // items, without the end mark
}

// "Browse..." asks the browser's directory chooser; only a folder it hands over replaces
// the destination.
TEST_F(Create_hdr_dialog, BrowseTakesTheFolderTheChooserHandsOver) {
  std::function<void(const std::string&)> pending;
  host.browser.answers().choose_directory = [&](std::function<void(const std::string&)> chosen) {
    pending = std::move(chosen);
  };
  dialog->destination->value("/before/");
  dialog->browse_button->do_callback();
  ASSERT_TRUE(pending);
  EXPECT_STREQ(dialog->destination->value(), "/before/");  // nothing chosen yet
  pending("/chosen/folder");
  EXPECT_STREQ(dialog->destination->value(), "/chosen/folder");
}

TEST_F(Create_hdr_dialog, TonemapAndSaveChoicesGreyTheirDependants) {
  click(dialog->tone_map, 1);
  EXPECT_TRUE(dialog->save_both->active());
  EXPECT_TRUE(dialog->save_only_ldr->active());
  EXPECT_TRUE(dialog->ldr_save_type->active());
  dialog->save_both->value(0);
  click(dialog->save_only_ldr, 1);
  EXPECT_FALSE(dialog->hdr_save_type->active());
  // Tonemap off: the three grey out, the HDR type stays greyed, "Save only LDR" stays chosen.
  click(dialog->tone_map, 0);
  EXPECT_FALSE(dialog->save_both->active());
  EXPECT_FALSE(dialog->save_only_ldr->active());
  EXPECT_FALSE(dialog->ldr_save_type->active());
  EXPECT_FALSE(dialog->hdr_save_type->active());
  EXPECT_TRUE(dialog->save_only_ldr->value());
  click(dialog->tone_map, 1);
  dialog->save_only_ldr->value(0);
  click(dialog->save_both, 1);
  EXPECT_TRUE(dialog->hdr_save_type->active());
}

TEST_F(Create_hdr_dialog, OptionsAndMenusGreyTheirFields) {
  dialog->reduce_noise->value(1);
  click(dialog->use_tiles, 1);
  EXPECT_FALSE(dialog->reduce_noise->active());
  EXPECT_FALSE(dialog->align_images->active());
  EXPECT_TRUE(dialog->reduce_noise->value());  // greyed, still on
  click(dialog->use_tiles, 0);
  EXPECT_TRUE(dialog->align_images->active());

  click(dialog->autodetect, 0);
  EXPECT_TRUE(dialog->exposures_per_hdr->active());
  click(dialog->autodetect, 1);
  EXPECT_FALSE(dialog->exposures_per_hdr->active());

  pick(dialog->exposure_variation, "Other ...");
  EXPECT_TRUE(dialog->exposure_ratio->active());
  pick(dialog->exposure_variation, "2 1/3 F-stop");
  EXPECT_FALSE(dialog->exposure_ratio->active());
  EXPECT_EQ(dialog->exposure_variation->value(), 7);

  pick(dialog->camera_response, "Choose response");
  EXPECT_TRUE(dialog->plot_button->active());
  pick(dialog->camera_response, "Linear");
  EXPECT_FALSE(dialog->plot_button->active());
  pick(dialog->camera_response, "Use recovered response");
  EXPECT_TRUE(dialog->plot_button->active());
}

TEST_F(Create_hdr_dialog, SetUpForFilesWithoutCameraOffersOnlyFixedResponses) {
  choose_pngs({50, 150});
  pick(dialog->camera_response, "Choose response");
  dialog->open_for_selection(false);
  EXPECT_TRUE(dialog->shown());
  EXPECT_EQ(dialog->camera_name(), "Unknown Unknown");
  EXPECT_FALSE(item_active(dialog->camera_response, "Recover new response"));
  EXPECT_FALSE(item_active(dialog->camera_response, "Use recovered response"));
  EXPECT_TRUE(item_active(dialog->camera_response, "Choose response"));
  EXPECT_TRUE(item_active(dialog->camera_response, "Enter response"));
  EXPECT_EQ(dialog->camera_response->value(), 0);
  EXPECT_FALSE(dialog->plot_button->active());
  EXPECT_STREQ(dialog->destination->value(), dir.path().c_str());
  EXPECT_FALSE(dialog->batch_group->active());
  EXPECT_EQ(dialog->chosen_files(), host.paths);
  dialog->open_for_selection(true);
  EXPECT_TRUE(dialog->batch_group->active());
}

TEST_F(Create_hdr_dialog, SingleCreationOpensTheResultAndHidesTheDialog) {
  choose_pngs({200, 60, 120});
  dialog->open_for_selection(false);
  pick(dialog->exposure_variation, "1 F-stop");
  dialog->create();
  EXPECT_TRUE(messages.alerts.empty()) << messages.alerts.front();
  ASSERT_EQ(host.opened.size(), 1u);
  EXPECT_EQ(host.opened[0]->type, 9u);
  EXPECT_EQ(host.opened[0]->width(), 4);
  EXPECT_EQ(host.opened_folder, dir.path());
  EXPECT_FALSE(dialog->shown());
  EXPECT_TRUE(dialog->active());
}

TEST_F(Create_hdr_dialog, RefusalsKeepTheDialogOpenAndActive) {
  choose_pngs({60, 120});
  dialog->open_for_selection(true);
  dialog->destination->value(dir.file("missing").c_str());
  dialog->create();
  EXPECT_EQ(messages.alerts, std::vector<std::string>{"Destination directory is not accessible!"});
  EXPECT_TRUE(dialog->shown());

  // PNG files carry no exposure time.
  messages.alerts.clear();
  dialog->destination->value(dir.path().c_str());
  click(dialog->autodetect, 0);
  pick(dialog->exposure_variation, "Read from EXIF");
  dialog->create();
  EXPECT_EQ(messages.alerts.size(), 1u);
  EXPECT_TRUE(dialog->shown());
  EXPECT_TRUE(dialog->active());
  EXPECT_TRUE(host.opened.empty());
}

// The browser failing to hold its tiles (an allocation) ends the run like any failure:
// the dialog active and ready for the next "Create".
TEST_F(Create_hdr_dialog, TilesThatCannotBeKeptAreAlertedAndTheNextRunWorks) {
  choose_pngs({200, 60, 120});
  dialog->open_for_selection(false);
  pick(dialog->exposure_variation, "1 F-stop");
  dialog->show();
  host.browser.answers().keep_tiles = []() -> std::shared_ptr<void> { throw std::bad_alloc(); };
  dialog->create();
  EXPECT_EQ(messages.alerts, std::vector<std::string>{std::bad_alloc().what()});
  EXPECT_TRUE(host.opened.empty());
  EXPECT_TRUE(dialog->active());
  host.browser.answers().keep_tiles = nullptr;
  messages.alerts.clear();
  dialog->create();
  EXPECT_TRUE(messages.alerts.empty()) << messages.alerts.front();
  EXPECT_EQ(host.opened.size(), 1u);
}

TEST_F(Create_hdr_dialog, SelectionWhoseFilesAreAllGoneIsAlertedAndEndsTheRun) {
  choose_pngs({60, 120});
  dialog->open_for_selection(false);
  host.files.clear();  // the browser moved to another folder: no chosen tile is left
  dialog->create();
  EXPECT_EQ(messages.alerts,
            std::vector<std::string>{
                "None of the chosen images can be found any more. Please select them again."});
  EXPECT_TRUE(host.opened.empty());
  EXPECT_FALSE(dialog->shown());
  EXPECT_TRUE(dialog->active());
  // Chosen again, the next run works.
  host.paths.clear();
  choose_pngs({200, 60});
  dialog->open_for_selection(false);
  pick(dialog->exposure_variation, "1 F-stop");
  messages.alerts.clear();
  dialog->create();
  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_EQ(host.opened.size(), 1u);
}

TEST_F(Create_hdr_dialog, FailedAutodetectionUnchecksItAndFreesTheCount) {
  choose_pngs({60, 120});
  dialog->open_for_selection(true);
  ASSERT_TRUE(dialog->autodetect->value());
  dialog->create();
  EXPECT_EQ(messages.alerts.size(), 1u);
  EXPECT_FALSE(dialog->autodetect->value());
  EXPECT_TRUE(dialog->exposures_per_hdr->active());
}

// Records with each alert whether the dialog was active again and what the autodetect
// box showed: the user reads a refusal with the dialog ready for the next try.
class Alert_moment : public Scripted_messages {
 public:
  explicit Alert_moment(CreateHDRDialogDrv& dialog) : m_dialog(dialog) {}
  void alert(const std::string& text) override {
    Scripted_messages::alert(text);
    active.push_back(m_dialog.active() != 0);
    autodetect.push_back(m_dialog.autodetect->value() != 0);
  }
  std::vector<bool> active, autodetect;

 private:
  CreateHDRDialogDrv& m_dialog;
};

TEST_F(Create_hdr_dialog, ARefusalIsAlertedWithTheDialogActiveAgain) {
  choose_pngs({60, 120});
  dialog->open_for_selection(true);
  Alert_moment moment(*dialog);
  dialog->create();  // PNG files carry no capture time
  pick(dialog->exposure_variation, "Other ...");
  dialog->exposure_ratio->value("1");
  dialog->create();
  EXPECT_EQ(moment.alerts, (std::vector<std::string>{k_message_autodetect_failed,
                                                     "Please enter a valid exposure ratio."}));
  EXPECT_EQ(moment.active, (std::vector<bool>{true, true}));
  EXPECT_EQ(moment.autodetect, (std::vector<bool>{false, false}));
  EXPECT_TRUE(dialog->shown());
}

// A recovery whose least-squares fit cannot be solved (times whose ratio overflows, so
// the system holds NaN) fails as a command: one alert, the dialog ready again, and the
// next run works.
TEST_F(Create_hdr_dialog, UnsolvableRecoveryIsAlertedAndTheProgramRunsOn) {
  choose_pngs({200, 60}, 48, 48);
  dialog->set_recover([](const std::vector<Exposure_planes>& exposures, const std::vector<float>&,
                         Camera_response& camera) {
    const float times[] = {std::numeric_limits<float>::max(), 1e-30f};
    Silent_progress progress;
    return recover_response(exposures, times, 2, camera.coefficients, camera.f, camera.f_inv,
                            camera.f_pri, progress, 1);
  });
  dialog->open_for_selection(false);
  pick(dialog->exposure_variation, "1 F-stop");
  dialog->camera_response->value(k_response_recover);
  testing::internal::CaptureStderr();
  dialog->create();
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(messages.alerts, std::vector<std::string>{k_response_not_recovered});
  EXPECT_TRUE(messages.questions.empty()) << messages.questions.front();
  EXPECT_TRUE(host.opened.empty());
  EXPECT_TRUE(dialog->shown());
  EXPECT_TRUE(dialog->active());

  messages.alerts.clear();
  dialog->camera_response->value(k_response_srgb);
  dialog->create();
  EXPECT_TRUE(messages.alerts.empty()) << messages.alerts.front();
  EXPECT_EQ(host.opened.size(), 1u);
}

TEST_F(Create_hdr_dialog, BatchWithTiffForBothIsRefusedBeforeAnythingIsWritten) {
  choose_pngs({60, 120});
  dialog->open_for_selection(true);
  click(dialog->autodetect, 0);
  pick(dialog->exposure_variation, "1 F-stop");
  click(dialog->tone_map, 1);
  dialog->hdr_save_type->value(3);
  dialog->ldr_save_type->value(1);
  dialog->create();
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_NE(messages.alerts[0].find(dir.file("image0.tif")), std::string::npos);
  EXPECT_FALSE(file_exists(dir.file("image0.tif")));
}

// The user's "Create" of a Batch Create HDR with "Tonemap after creating", as an event
// served by a running tone-mapping batch: once.
std::function<void()> g_served_event;
void serve_test_event() {
  if (g_served_event) std::exchange(g_served_event, nullptr)();
}

// One job at a time: the creation is refused with one alert before it writes anything,
// the tone-mapping batch writes all its files, and the creation works once it is over.
TEST_F(Create_hdr_dialog, BatchCreationStartedDuringATonemappingBatchIsRefused) {
  std::vector<std::string> hdr_files;
  for (const char* name : {"a.exr", "b.exr"}) {
    Hdr_image image(24, 16, 1, 3, 0.f);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 24; ++x)
        for (int c = 0; c < 3; ++c) image(x, y, 0, c) = 0.01f * float((x + 1) * (y + 1) + c);
    hdr_files.push_back(dir.file(name));
    save_image_as(image, hdr_files.back(), k_type_exr);
  }
  TonemapPhotDlgDrv tonemap(580, 350, "Tonemap Image");
  ASSERT_TRUE(tonemap.setup(nullptr, nullptr, 1.f, hdr_files));

  choose_pngs({60, 120});
  dialog->open_for_selection(true);
  click(dialog->autodetect, 0);
  pick(dialog->exposure_variation, "1 F-stop");
  click(dialog->tone_map, 1);

  const Event_pump_fn previous = set_event_pump(serve_test_event);
  bool tried = false;
  g_served_event = [&] {
    tried = true;
    EXPECT_TRUE(tonemap.batch_running());
    dialog->create();
  };
  tonemap.run();
  for (int i = 0; i < 1000 && tonemap.batch_running(); ++i) Fl::wait(0.01);
  set_event_pump(previous);
  g_served_event = nullptr;

  ASSERT_TRUE(tried);
  EXPECT_FALSE(tonemap.batch_running());
  EXPECT_EQ(messages.alerts, std::vector<std::string>{k_job_running_text});
  EXPECT_FALSE(file_exists(dir.file("image0.exr")));
  EXPECT_FALSE(file_exists(dir.file("image0.jpg")));
  EXPECT_TRUE(file_exists(dir.file("a_tm.jpg")));
  EXPECT_TRUE(file_exists(dir.file("b_tm.jpg")));
  EXPECT_TRUE(dialog->shown());
  EXPECT_TRUE(dialog->active());

  dialog->create();
  EXPECT_EQ(messages.alerts, std::vector<std::string>{k_job_running_text});
  EXPECT_TRUE(file_exists(dir.file("image0.exr")));
  EXPECT_TRUE(file_exists(dir.file("image0.jpg")));
}

}  // namespace
