// The viewer's Save and Close on real files: what lands on disk, the change word and the
// title, the question before closing, and a write that fails on a full disk.
#include <FL/Fl.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/file_names.h"
#include "core/hdr_image.h"
#include "core/image_crop.h"
#include "core/image_save.h"
#include "core/preferences_dlg.h"
#include "tests/support/exif_block_fixture.h"
#include "tests/support/fake_browser.h"
#include "tests/support/image_compare.h"
#include "tests/support/png_fixture.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/save_as_chooser.h"

namespace {

Rgb ramp(uint32_t x, uint32_t y) { return {0.01f * float(x + 1), 0.5f * float(y), 40.f}; }

// Values that neither repeat nor compress: an RGBE file of them is far larger than the
// file-size limit of the full-disk test.
Rgb noise(uint32_t x, uint32_t y) {
  const uint32_t h = (x * 2654435761u) ^ (y * 40503u + 977u);
  return {float(h % 1000) + 1.f, float((h >> 10) % 1000) + 1.f, float((h >> 20) % 1000) + 1.f};
}

bool active(ImageDialogDrv* v, const char* path) {
  const Fl_Menu_Item* item = v->menu_item(path);
  EXPECT_NE(item, nullptr) << path;
  return item && item->active();
}

// Chooses the menu item as a click would.
void choose(ImageDialogDrv* v, const char* path) {
  const Fl_Menu_Item* item = v->menu_item(path);
  ASSERT_NE(item, nullptr) << path;
  item->do_callback(v->menu_bar);
}

bool closed(ImageDialogDrv* v) {
  return !v->shown() && std::count(g_closed_viewers.begin(), g_closed_viewers.end(), v) == 1;
}

class Viewer_save : public ::testing::Test {
 protected:
  void SetUp() override {
    m_prefs = std::make_unique<PreferencesDlg>(550, 385, "Preferences");
    g_preferences_dialog = m_prefs.get();
    browser.answers().file_written = [this](const std::string& p) { written.push_back(p); };
  }
  void TearDown() override {
    delete_all_viewers();
    g_preferences_dialog = nullptr;
  }

  // Writes the image to the file, then opens a viewer on the file as the browser does.
  ImageDialogDrv* open_file(const std::string& file, uint32_t type,
                            Rgb (*value)(uint32_t, uint32_t), uint32_t w = 40, uint32_t h = 30) {
    std::unique_ptr<Hdr_image> im = make_test_image(w, h, type, value);
    save_image_as(*im, dir.file(file), type);
    auto loaded = std::make_unique<Hdr_image>(dir.file(file));
    auto* v = new ImageDialogDrv(640, 480, file.c_str());
    v->set_image(std::move(loaded), dir.file(file), file, dir.path(), 0, 0);
    v->show();
    while (!v->shown()) Fl::wait(0.01);
    settle();
    return v;
  }

  Temp_dir dir;
  Scripted_messages messages;
  std::unique_ptr<PreferencesDlg> m_prefs;
  std::vector<std::string> written;
  Fake_browser browser;
};

TEST_F(Viewer_save, SaveWritesTheFilesOwnValuesAndKeepsTheDisplay) {
  ImageDialogDrv* v = open_file("a.exr", k_type_exr, ramp);
  v->exposure(0);  // a step that is no power of two: the division must undo it
  const float e = v->exposure_factor();
  ASSERT_NE(e, 1.f);
  const Hdr_image shown = *v->get_image();
  v->set_modified(k_change_flipped);
  v->update_view();
  ASSERT_TRUE(active(v, "&Image/&Save"));

  choose(v, "&Image/&Save");

  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_TRUE(images_match(*make_test_image(40, 30, k_type_exr, ramp), Hdr_image(dir.file("a.exr")),
                           {0, 1e-6, 0}));
  EXPECT_TRUE(images_match(shown, *v->get_image(), {0, 1e-6, 0}));
  EXPECT_EQ(v->exposure_factor(), e);
  EXPECT_EQ(v->modified_flags(), 0u);
  EXPECT_FALSE(active(v, "&Image/&Save"));
  EXPECT_EQ(std::string(v->label()).find(" +"), std::string::npos) << v->label();
  EXPECT_EQ(written, std::vector<std::string>{dir.file("a.exr")});
}

TEST_F(Viewer_save, SaveKeepsTheFormatOfAnEightBitFile) {
  ImageDialogDrv* v = open_file("p.png", k_type_png, ramp);
  v->set_modified(k_change_rotated);
  v->save();
  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_EQ(Hdr_image(dir.file("p.png")).type, uint32_t(k_type_png));
  EXPECT_EQ(v->get_file_type(), uint32_t(k_type_png));
  EXPECT_EQ(v->modified_flags(), 0u);
}

// A camera JPEG (JFIF segment first, then the EXIF block, taken sideways) saved after an
// edit keeps its block as the first segment: the old thumbnail's link cut, the
// Orientation 1 (the pixels are written as shown, upright), every other byte as it was.
TEST_F(Viewer_save, JpegSaveKeepsTheExifBlockThatFollowsJfif) {
  struct Case {
    const char* name;
    void (*edit)(ImageDialogDrv*);
  };
  const Case cases[] = {
      {"rotated", [](ImageDialogDrv* v) { v->rotate(90); }},
      {"flipped", [](ImageDialogDrv* v) { v->flip('x'); }},
      {"cropped", [](ImageDialogDrv* v) { v->set_modified(k_change_cropped); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.file(std::string(c.name) + ".jpg");
    const std::string segment = write_camera_jpeg(path, 24, 16, 6);
    auto* v = new ImageDialogDrv(640, 480, c.name);
    v->set_image(std::make_unique<Hdr_image>(path), path, c.name, dir.path(), 0, 0);
    c.edit(v);
    ASSERT_NE(v->modified_flags(), 0u);
    v->save();
    EXPECT_TRUE(messages.alerts.empty());
    const std::string out = read_file_bytes(path);
    EXPECT_EQ(out.substr(0, 2), "\xff\xd8");
    EXPECT_EQ(out.substr(2, segment.size()), carried_segment(segment));
    delete v;  // never shown, so the fixture's clean-up would not find it
  }
}

// The disk fills up while the file is written.
class File_size_limit {
 public:
  explicit File_size_limit(rlim_t bytes) {
    m_previous_handler = std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
    getrlimit(RLIMIT_FSIZE, &m_previous);
    rlimit limit = m_previous;
    limit.rlim_cur = bytes;
    m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~File_size_limit() {
    setrlimit(RLIMIT_FSIZE, &m_previous);
    std::signal(SIGXFSZ, m_previous_handler);
  }
  bool set() const { return m_set; }

 private:
  rlimit m_previous{};
  void (*m_previous_handler)(int) = nullptr;
  bool m_set = false;
};

TEST_F(Viewer_save, FailedSaveKeepsTheOldFileTheChangesAndTheTitle) {
  ImageDialogDrv* v = open_file("full.hdr", k_type_rgbe, noise, 200, 150);
  const std::string before = read_file_bytes(dir.file("full.hdr"));
  ASSERT_GT(before.size(), 64u * 1024u);
  v->set_modified(k_change_cropped);
  v->update_view();
  const std::string title = v->label();
  const Hdr_image shown = *v->get_image();
  {
    File_size_limit limit(16 * 1024);
    ASSERT_TRUE(limit.set());
    choose(v, "&Image/&Save");
  }
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_NE(messages.alerts[0].find(dir.file("full.hdr")), std::string::npos) << messages.alerts[0];
  EXPECT_EQ(read_file_bytes(dir.file("full.hdr")), before);
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_cropped));
  EXPECT_TRUE(active(v, "&Image/&Save"));
  EXPECT_EQ(title, v->label());
  EXPECT_NE(title.find(" +"), std::string::npos);
  EXPECT_TRUE(images_match(shown, *v->get_image()));
  EXPECT_TRUE(written.empty());
}

// The grid failing to follow the written file stays inside the command: the file is
// saved and counts as saved, and the user reads one alert.
TEST_F(Viewer_save, AGridThatFailsAfterTheSaveLeavesTheImageSaved) {
  ImageDialogDrv* v = open_file("a.exr", k_type_exr, ramp);
  v->set_modified(k_change_flipped);
  v->update_view();
  browser.answers().file_written = [](const std::string&) {
    throw std::runtime_error("grid failed");
  };
  EXPECT_NO_THROW(choose(v, "&Image/&Save"));
  EXPECT_EQ(messages.alerts, std::vector<std::string>{"grid failed"});
  EXPECT_EQ(v->modified_flags(), 0u);
  EXPECT_FALSE(active(v, "&Image/&Save"));
  EXPECT_EQ(std::string(v->label()).find(" +"), std::string::npos) << v->label();
}

TEST_F(Viewer_save, SaveOfAReadOnlyFormatWritesNothing) {
  // A LogL TIFF cannot be written back: Save leads to the chooser, never to the file.
  ImageDialogDrv* v = open_file("l.exr", k_type_exr, ramp);
  v->get_image()->type = k_type_tiff_logl;
  const std::string before = read_file_bytes(dir.file("l.exr"));
  v->set_modified(k_change_flipped);
  v->save();
  EXPECT_EQ(read_file_bytes(dir.file("l.exr")), before);
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_flipped));
  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_TRUE(written.empty());
}

TEST_F(Viewer_save, CloseAnswers) {
  struct Case {
    const char* what;
    bool prompt;
    int answer;  // 0 "Cancel" (also Escape and the window's close box), 1 "Save", 2 "Don't save"
    bool asked, saved, closes;
  };
  const Case cases[] = {
      {"prompt off", false, 1, false, false, true},
      {"don't save", true, 2, true, false, true},
      {"save", true, 1, true, true, true},
      {"cancel or escape", true, 0, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    messages.questions.clear();
    messages.buttons.clear();
    m_prefs->closing_prompt_button->value(c.prompt ? 1 : 0);
    ImageDialogDrv* v = open_file("c.exr", k_type_exr, ramp);
    const std::string before = read_file_bytes(dir.file("c.exr"));
    *v->get_image() *= 2.f;  // an edit the file does not have yet
    v->set_modified(k_change_resized);
    messages.answers = {c.answer};
    choose(v, "&Image/&Close");
    EXPECT_EQ(messages.questions, c.asked ? std::vector<std::string>{"Save changes before closing?"}
                                          : std::vector<std::string>{});
    // "Cancel" first: Escape and the question's close box answer with the first button.
    EXPECT_EQ(messages.buttons,
              (c.asked ? std::vector<std::vector<std::string>>{{"Cancel", "Save", "Don't save"}}
                       : std::vector<std::vector<std::string>>{}));
    EXPECT_EQ(read_file_bytes(dir.file("c.exr")) != before, c.saved);
    EXPECT_EQ(closed(v), c.closes);
    EXPECT_EQ(v->modified_flags() == 0, c.saved);
    delete_all_viewers();
  }
}

// An edit, a save, then the step back: the image shown is no longer the file's.
TEST_F(Viewer_save, StepBackAfterASaveIsAnUnsavedChange) {
  using Step = std::function<void(ImageDialogDrv*)>;
  // As the crop and resize dialogs do: record, change the image, mark it, redisplay.
  const Step crop = [](ImageDialogDrv* v) {
    v->save_undo(k_change_cropped, 0);
    crop_image(*v->get_image(), Crop_bounds{2, 3, 21, 17});
    v->set_modified(k_change_cropped);
    v->update_view();
  };
  const Step resize = [](ImageDialogDrv* v) {
    v->save_undo(k_change_resized, 0);
    v->get_image()->resize(20, 15, 1, 3, 1);
    v->set_modified(k_change_resized);
    v->update_view();
  };
  const Step undo = [](ImageDialogDrv* v) { v->undo(); };
  struct Case {
    const char* what;
    Step edit, back;
  };
  const Case cases[] = {
      {"rotate, save, rotate back", [](ImageDialogDrv* v) { v->rotate(90); },
       [](ImageDialogDrv* v) { v->rotate(-90); }},
      {"flip, save, flip back", [](ImageDialogDrv* v) { v->flip('y'); },
       [](ImageDialogDrv* v) { v->flip('y'); }},
      {"rotate, save, undo", [](ImageDialogDrv* v) { v->rotate(-90); }, undo},
      {"crop, save, undo", crop, undo},
      {"resize, save, undo", resize, undo},
  };
  m_prefs->closing_prompt_button->value(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ImageDialogDrv* v = open_file("s.png", k_type_png, ramp);
    c.edit(v);
    choose(v, "&Image/&Save");
    ASSERT_EQ(v->modified_flags(), 0u);
    ASSERT_FALSE(active(v, "&Image/&Save"));
    c.back(v);
    EXPECT_EQ(v->get_image()->width(), 40);  // back at the size the viewer opened with
    EXPECT_NE(v->modified_flags(), 0u);
    EXPECT_TRUE(active(v, "&Image/&Save"));
    EXPECT_NE(std::string(v->label()).find(" +"), std::string::npos) << v->label();
    messages.questions.clear();
    messages.answers = {0};  // "Cancel"
    choose(v, "&Image/&Close");
    EXPECT_EQ(messages.questions, std::vector<std::string>{"Save changes before closing?"});
    EXPECT_FALSE(closed(v));
    delete_all_viewers();
  }
  EXPECT_TRUE(messages.alerts.empty());
}

TEST_F(Viewer_save, UnchangedViewerClosesWithoutAQuestion) {
  ImageDialogDrv* v = open_file("u.exr", k_type_exr, ramp);
  v->do_callback();  // the close box
  EXPECT_TRUE(messages.questions.empty());
  EXPECT_TRUE(closed(v));
}

TEST_F(Viewer_save, CloseWhoseSaveFailsStaysOpenWithItsChanges) {
  ImageDialogDrv* v = open_file("f.hdr", k_type_rgbe, noise, 200, 150);
  const std::string before = read_file_bytes(dir.file("f.hdr"));
  v->set_modified(k_change_rotated);
  messages.answers = {1};
  {
    File_size_limit limit(16 * 1024);
    ASSERT_TRUE(limit.set());
    v->close();
  }
  EXPECT_EQ(messages.alerts.size(), 1u);
  EXPECT_FALSE(closed(v));
  EXPECT_TRUE(v->shown());
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_rotated));
  EXPECT_EQ(read_file_bytes(dir.file("f.hdr")), before);
}

TEST_F(Viewer_save, SaveOnANewResultWritesNothingAndKeepsItOpen) {
  // "Untitled" results have no file: Save and Close's "Save" go to the chooser instead.
  std::unique_ptr<Hdr_image> im = make_test_image(30, 20, k_type_new_hdr, ramp);
  auto* v = new ImageDialogDrv(640, 480, "Untitled");
  v->set_image(std::move(im), dir.file("Untitled"), "Untitled", dir.path(), 0, 0);
  v->set_modified(k_change_new_image);
  v->show();
  settle();
  v->save();
  messages.answers = {1};
  v->close();
  EXPECT_TRUE(v->closing_after_save());
  EXPECT_FALSE(closed(v));
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_new_image));
  EXPECT_TRUE(read_file_bytes(dir.file("Untitled")).empty());
  EXPECT_TRUE(messages.alerts.empty());
}

// A PNG whose alpha channel draws a logo would come back opaque: Save asks first. "Cancel"
// (also Escape) keeps the file and the changes; "Save As..." goes to the chooser. A wholly
// opaque alpha channel loses nothing and is saved without a word.
TEST_F(Viewer_save, SaveOverAFileThatWouldLoseTransparencyAsksFirst) {
  SaveAsChooser chooser("PNG format (*.png)");
  g_save_as_chooser = &chooser;
  struct Case {
    const char* what;
    uint8_t alpha;  // of one pixel; the others are opaque
    bool close;     // Close and its "Save" instead of Save
    int answer;     // to the question about the loss
    bool asked, chooser_shown;
  };
  const Case cases[] = {
      {"cancel", 0, false, 0, true, false},
      {"save as", 0, false, 1, true, true},
      {"close, save, cancel", 0, true, 0, true, false},
      {"opaque", 255, false, 0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.file("logo.png");
    std::vector<uint8_t> rgba(40 * 30 * 4, 180);
    for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    rgba[4 * 100 + 3] = c.alpha;
    Png_layout layout;
    layout.width = 40;
    layout.height = 30;
    layout.channels = 4;
    write_png(path, layout, rgba.data());
    const std::string before = read_file_bytes(path);
    auto* v = new ImageDialogDrv(640, 480, "logo.png");
    v->set_image(std::make_unique<Hdr_image>(path), path, "logo.png", dir.path(), 0, 0);
    v->show();
    settle();
    v->flip('x');
    messages.questions.clear();
    messages.buttons.clear();
    m_prefs->closing_prompt_button->value(1);
    messages.answers = {1, c.answer};  // "Save" to the closing question when it comes
    if (!c.close) messages.answers.pop_front();
    choose(v, c.close ? "&Image/&Close" : "&Image/&Save");
    const std::string loss = "Saving over '" + path +
                             "' would lose its transparency (alpha channel). Save the image "
                             "under another name?";
    std::vector<std::string> questions;
    std::vector<std::vector<std::string>> buttons;
    if (c.close) {
      questions.push_back("Save changes before closing?");
      buttons.push_back({"Cancel", "Save", "Don't save"});
    }
    if (c.asked) {
      questions.push_back(loss);
      buttons.push_back({"Cancel", "Save As..."});
    }
    EXPECT_EQ(messages.questions, questions);
    EXPECT_EQ(messages.buttons, buttons);
    EXPECT_EQ(read_file_bytes(path) == before, c.asked);
    EXPECT_EQ(v->modified_flags() != 0, c.asked);
    EXPECT_EQ(chooser.shown(), c.chooser_shown);
    EXPECT_FALSE(closed(v));
    chooser.hide();
    delete_all_viewers();
  }
  EXPECT_TRUE(messages.alerts.empty());
  g_save_as_chooser = nullptr;
}

}  // namespace
