// The Resize and Crop dialogs' batches made to fail: a missing file, a destination that
// cannot be written, a browser whose answer throws. Each failure is one alert, the
// batch's other files are still written, and the dialog is usable again afterwards; a
// failure that ends the whole batch finds its dialog active when the user reads why.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>

#include <cstdio>
#include <functional>
#include <memory>
#include <new>
#include <ostream>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/image_save.h"
#include "core/platform.h"
#include "tests/support/fake_browser.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/selected_files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "viewer/batch_image_dlg.h"
#include "viewer/crop_dlg.h"
#include "viewer/resize_dlg.h"

namespace {

constexpr uint32_t k_side = 16;

// Records, with each alert, whether the dialog that ran the command was active then.
class Alert_witness : public Scripted_messages {
 public:
  void alert(const std::string& text) override {
    Scripted_messages::alert(text);
    active_at_alert.push_back(dialog && dialog->active());
  }
  Fl_Widget* dialog = nullptr;
  std::vector<bool> active_at_alert;
};

struct Batch_dialog {
  const char* name;
  const char* verb;    // in the unreadable-file alert
  const char* suffix;  // of each output's base name
  // A new dialog set up for the files, and its action button pressed.
  std::function<Batch_image_dlg*(const std::vector<Selected_file>&)> open;
  std::function<void(Batch_image_dlg*)> press;
};

struct Failure {
  const char* name;
  // Breaks the batch of src/a.png and src/b.png written to dst; returns the alert.
  std::function<std::string(const Temp_dir& src, Temp_dir& dst, Batch_image_dlg*, const char* verb)>
      arrange;
  bool b_written;       // the second file still gets its output
  bool ends_the_batch;  // the failure reaches the dialog's own command
};

// Names in test failures rather than bytes.
void PrintTo(const Batch_dialog& d, std::ostream* os) { *os << d.name; }
void PrintTo(const Failure& f, std::ostream* os) { *os << f.name; }

const Batch_dialog k_dialogs[] = {
    {"Resize", "resize", "_resize",
     [](const std::vector<Selected_file>& files) {
       auto* d = new ResizeDlgDrv(390, 295, "Resize Image");
       d->setup(&files, nullptr);
       return static_cast<Batch_image_dlg*>(d);
     },
     [](Batch_image_dlg* d) { static_cast<ResizeDlgDrv*>(d)->resize_button->do_callback(); }},
    {"Crop", "crop", "_crop",
     [](const std::vector<Selected_file>& files) {
       auto* d = new CropDlgDrv(365, 235, "Crop Image");
       d->setup(&files, nullptr);
       return static_cast<Batch_image_dlg*>(d);
     },
     [](Batch_image_dlg* d) { static_cast<CropDlgDrv*>(d)->crop_button->do_callback(); }},
};

const Failure k_failures[] = {
    {"MissingFile",
     [](const Temp_dir& src, Temp_dir&, Batch_image_dlg*, const char*) {
       std::remove(src.file("a.png").c_str());  // gone after the grid listed it
       return "The file '" + src.file("a.png") + "' no longer exists.";
     },
     true, false},
    {"DestinationMissing",
     [](const Temp_dir&, Temp_dir& dst, Batch_image_dlg* d, const char*) {
       d->destination_input->value((dst.path() + "no such folder").c_str());
       return std::string("Destination directory is not accessible!");
     },
     false, false},
    {"BrowserAnswerThrows",
     [](const Temp_dir&, Temp_dir&, Batch_image_dlg*, const char*) {
       // The grid's new tile cannot be made, as an allocation can fail.
       browser_seam().file_written = [](const std::string&) { throw std::bad_alloc(); };
       return std::string(std::bad_alloc().what());
     },
     false, true},
};

class Batch_dialog_failure : public testing::TestWithParam<std::tuple<Batch_dialog, Failure>> {
 protected:
  void TearDown() override { delete_all_viewers(); }

  std::vector<Selected_file> write_sources() {
    return write_selected_files(src, {"a.png", "b.png"}, k_side, k_side, k_type_png,
                                [](uint32_t x, uint32_t y) {
                                  return Rgb{float(x * 9), float(y * 9), 90.f};
                                });
  }

  Fake_browser browser;
  Alert_witness messages;
  Temp_dir src, dst;
};

TEST_P(Batch_dialog_failure, OneAlertTheOtherFilesWrittenAndTheDialogActiveAgain) {
  const Batch_dialog& kind = std::get<0>(GetParam());
  const Failure& failure = std::get<1>(GetParam());
  browser.answers().current_folder = [this] { return dst.path(); };
  const std::vector<Selected_file> files = write_sources();
  std::unique_ptr<Batch_image_dlg> dialog(kind.open(files));
  messages.dialog = dialog.get();
  ASSERT_TRUE(dialog->shown());
  const std::string alert = failure.arrange(src, dst, dialog.get(), kind.verb);

  kind.press(dialog.get());

  EXPECT_EQ(messages.alerts, std::vector<std::string>{alert});
  if (failure.ends_the_batch) {
    EXPECT_EQ(messages.active_at_alert, std::vector<bool>{true});
  }
  EXPECT_TRUE(dialog->active());
  EXPECT_FALSE(dialog->running());
  EXPECT_EQ(file_exists(dst.file(std::string("b") + kind.suffix + ".png")), failure.b_written);
  // The sources are never touched by a failing batch.
  EXPECT_TRUE(file_exists(src.file("b.png")));
}

INSTANTIATE_TEST_SUITE_P(Batches, Batch_dialog_failure,
                         testing::Combine(testing::ValuesIn(k_dialogs),
                                          testing::ValuesIn(k_failures)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  std::get<1>(info.param).name;
                         });

}  // namespace
