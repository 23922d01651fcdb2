// The "Save File As..." chooser driven as a user would: the formats it offers, the file
// it writes for a viewer or a browser file, the questions, and what a failure leaves.
#include <FL/Fl.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/hdr_image.h"
#include "core/image_save.h"
#include "core/preferences_dlg.h"
#include "tests/support/exif_block_fixture.h"
#include "tests/support/fake_browser.h"
#include "tests/support/image_compare.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/save_as_chooser.h"
#include "viewer/save_formats.h"

namespace {

Rgb ramp(uint32_t x, uint32_t y) { return {0.02f * float(x + 1), 0.5f * float(y), 30.f}; }
Rgb bytes(uint32_t x, uint32_t y) { return {float(x * 9 % 256), float(y * 17 % 256), 77.f}; }

void choose(ImageDialogDrv* v, const char* path) {
  const Fl_Menu_Item* item = v->menu_item(path);
  ASSERT_NE(item, nullptr) << path;
  item->do_callback(v->menu_bar);
}

// The first choice widget inside the group (the chooser's only one is its format list).
Fl_Choice* find_choice(Fl_Group* group) {
  for (int i = 0; i < group->children(); ++i) {
    Fl_Widget* w = group->child(i);
    if (auto* c = dynamic_cast<Fl_Choice*>(w)) return c;
    if (Fl_Group* g = w->as_group())
      if (Fl_Choice* c = find_choice(g)) return c;
  }
  return nullptr;
}

// The entries of the shown chooser's format list, as the user sees them.
std::string offered_formats(SaveAsChooser&) {
  Fl_Window* window = nullptr;
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    if (w->label() && std::string(w->label()) == "Save File As...") window = w;
  if (!window) return "no chooser shown";
  Fl_Choice* choice = find_choice(window);
  if (!choice) return "no format list";
  std::string list;
  for (int i = 0; i < choice->size(); ++i) {
    const char* text = choice->text(i);
    if (!text) continue;
    if (!list.empty()) list += '\t';
    list += text;
  }
  return list;
}

// The named formats of a list followed by the entry the toolkit adds for all files (its
// custom-filter entry has an empty label and shows no text).
std::string with_toolkit_entries(const char* formats) {
  return std::string(formats) + "\tAll Files (*)";
}

bool closed(ImageDialogDrv* v) {
  return !v->shown() && std::count(g_closed_viewers.begin(), g_closed_viewers.end(), v) == 1;
}

class Save_as : public ::testing::Test {
 protected:
  void SetUp() override {
    m_prefs = std::make_unique<PreferencesDlg>(550, 385, "Preferences");
    g_preferences_dialog = m_prefs.get();
    chooser = std::make_unique<SaveAsChooser>("OPENEXR format (*.exr)\tRGBE format (*.hdr)");
    g_save_as_chooser = chooser.get();
    browser.answers().file_written = [this](const std::string& p) { written.push_back(p); };
  }
  void TearDown() override {
    chooser->hide();
    delete_all_viewers();
    g_save_as_chooser = nullptr;
    chooser.reset();
    g_preferences_dialog = nullptr;
  }

  ImageDialogDrv* open_file(const std::string& file, uint32_t type,
                            Rgb (*value)(uint32_t, uint32_t)) {
    save_image_as(*make_test_image(24, 16, type, value), dir.file(file), type);
    return open_viewer(std::make_unique<Hdr_image>(dir.file(file)), file, dir.file(file));
  }
  ImageDialogDrv* open_viewer(std::unique_ptr<Hdr_image> im, const std::string& name,
                              const std::string& path) {
    auto* v = new ImageDialogDrv(640, 480, name.c_str());
    v->set_image(std::move(im), path, name, dir.path(), 0, 0);
    v->show();
    while (!v->shown()) Fl::wait(0.01);
    settle();
    return v;
  }
  // An "Untitled" result in the folder, as HDR creation opens one.
  ImageDialogDrv* open_new_result(uint32_t type) {
    ImageDialogDrv* v =
        open_viewer(make_test_image(24, 16, type, ramp), "Untitled", dir.file("Untitled"));
    v->set_modified(k_change_new_image);
    return v;
  }
  // Types the name, picks the format entry and presses OK (the window goes, then the
  // chooser calls back).
  void press_ok(const std::string& typed, int entry) {
    chooser->filter_value(entry);
    chooser->value(typed.c_str());
    chooser->hide();
    chooser->on_ok();
  }

  Temp_dir dir;
  Scripted_messages messages;
  std::unique_ptr<PreferencesDlg> m_prefs;
  std::unique_ptr<SaveAsChooser> chooser;
  std::vector<std::string> written;
  Fake_browser browser;
};

TEST_F(Save_as, OffersTheFormatsOfTheSourceWithItsOwnPreselected) {
  struct Case {
    uint32_t type;
    const char* list;
    int entry;
  };
  const Case cases[] = {
      {k_type_exr, k_hdr_save_formats, 0},        {k_type_new_hdr, k_hdr_save_formats, 0},
      {k_type_rgbe, k_hdr_save_formats, 1},       {k_type_tiff_logl, k_hdr_save_formats, 2},
      {k_type_tiff_float, k_hdr_save_formats, 3}, {k_type_jpeg, k_ldr_save_formats, 0},
      {k_type_new_ldr, k_ldr_save_formats, 0},    {k_type_png, k_ldr_save_formats, 2},
      {k_type_tiff8, k_ldr_save_formats, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    ImageDialogDrv* v = open_viewer(make_test_image(8, 8, c.type, bytes), "s", dir.file("s.x"));
    choose(v, "&Image/Save As...");
    EXPECT_TRUE(chooser->shown());
    EXPECT_EQ(offered_formats(*chooser), with_toolkit_entries(c.list));
    EXPECT_EQ(chooser->filter_value(), c.entry);
    EXPECT_EQ(chooser->viewer(), v);
    EXPECT_EQ(chooser->source_path(), dir.file("s.x"));
    EXPECT_EQ(std::string(chooser->directory()) + "/", dir.path());
    chooser->hide();
    delete_all_viewers();
  }
}

TEST_F(Save_as, ViewerImageIsEncodedWithoutItsExposureAndTheViewerTakesTheNewName) {
  ImageDialogDrv* v = open_file("a.exr", k_type_exr, ramp);
  v->exposure(0);
  ASSERT_NE(v->exposure_factor(), 1.f);
  const Hdr_image shown = *v->get_image();
  v->set_modified(k_change_rotated);
  choose(v, "&Image/Save As...");
  press_ok(dir.file("b"), 3);  // TIFF-HDR (Uncompressed)

  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_EQ(v->get_path(), dir.file("b.tif"));
  EXPECT_EQ(v->get_name(), "b.tif");
  EXPECT_EQ(v->get_directory(), dir.path());
  EXPECT_STREQ(v->label(), "b.tif");
  EXPECT_EQ(v->get_file_type(), uint32_t(k_type_tiff_float));
  EXPECT_EQ(v->modified_flags(), 0u);
  EXPECT_TRUE(v->shown());
  EXPECT_TRUE(images_match(*make_test_image(24, 16, k_type_exr, ramp), Hdr_image(dir.file("b.tif")),
                           {0, 1e-6, 0}));
  EXPECT_TRUE(images_match(shown, *v->get_image(), {0, 1e-6, 0}));
  EXPECT_EQ(written, std::vector<std::string>{dir.file("b.tif")});

  // The next Save writes the new file in its new format.
  v->set_modified(k_change_flipped);
  const std::string before = read_file_bytes(dir.file("a.exr"));
  v->save();
  EXPECT_EQ(read_file_bytes(dir.file("a.exr")), before);
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(written.back(), dir.file("b.tif"));
  EXPECT_EQ(v->modified_flags(), 0u);
  EXPECT_EQ(Hdr_image(dir.file("b.tif")).type, uint32_t(k_type_tiff_float));
}

// Save As of a camera JPEG to a new JPEG name takes the EXIF block from the viewer's file
// (the new name has none yet); a new result has no file to take one from.
TEST_F(Save_as, JpegUnderANewNameKeepsTheViewersExifBlock) {
  const std::string segment = write_camera_jpeg(dir.file("shot.jpg"), 24, 16, 6);
  struct Case {
    const char* name;
    bool rotate, new_result;
  };
  const Case cases[] = {{"copy", false, false}, {"turned", true, false}, {"result", false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ImageDialogDrv* v = c.new_result
                            ? open_new_result(k_type_new_ldr)
                            : open_viewer(std::make_unique<Hdr_image>(dir.file("shot.jpg")),
                                          "shot.jpg", dir.file("shot.jpg"));
    if (c.rotate) v->rotate(-90);
    choose(v, "&Image/Save As...");
    press_ok(dir.file(c.name), 0);  // JPEG
    EXPECT_TRUE(messages.alerts.empty());
    const std::string out = read_file_bytes(dir.file(std::string(c.name) + ".jpg"));
    if (c.new_result)
      EXPECT_EQ(out.substr(0, 4), "\xff\xd8\xff\xe0");
    else
      EXPECT_EQ(out.substr(2, segment.size()), carried_segment(segment));
    delete_all_viewers();
  }
}

TEST_F(Save_as, SaveOfANewResultGoesThroughTheChooser) {
  ImageDialogDrv* v = open_new_result(k_type_new_ldr);
  choose(v, "&Image/&Save");
  ASSERT_TRUE(chooser->shown());
  EXPECT_EQ(offered_formats(*chooser), with_toolkit_entries(k_ldr_save_formats));
  press_ok(dir.file("result"), 2);  // PNG
  EXPECT_TRUE(images_match(*make_test_image(24, 16, k_type_png, ramp),
                           Hdr_image(dir.file("result.png")), {1.0, 0, 0}));
  EXPECT_EQ(v->get_name(), "result.png");
  EXPECT_EQ(v->modified_flags(), 0u);
}

TEST_F(Save_as, CloseWithSaveOnANewResultClosesOnceTheChooserHasWritten) {
  ImageDialogDrv* v = open_new_result(k_type_new_hdr);
  messages.answers = {1};
  v->close();
  ASSERT_TRUE(chooser->shown());
  EXPECT_FALSE(closed(v));
  // Cancel: the chooser goes without calling back; the viewer stays open.
  chooser->hide();
  EXPECT_FALSE(closed(v));
  EXPECT_TRUE(v->closing_after_save());
  // The next completed Save As from this viewer closes it.
  choose(v, "&Image/Save As...");
  press_ok(dir.file("hdr.exr"), 0);
  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_TRUE(images_match(*make_test_image(24, 16, k_type_exr, ramp),
                           Hdr_image(dir.file("hdr.exr")), {0, 1e-6, 0}));
  EXPECT_TRUE(closed(v));
}

TEST_F(Save_as, OverwriteQuestion) {
  struct Case {
    const char* what;
    bool prompt;
    int answer;  // 0 "Cancel", 1 "Overwrite"
    bool asked, written;
  };
  const Case cases[] = {
      {"cancel", true, 0, true, false},
      {"overwrite", true, 1, true, true},
      {"prompt off", false, 0, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    messages.questions.clear();
    messages.buttons.clear();
    m_prefs->overwrite_prompt_button->value(c.prompt ? 1 : 0);
    ASSERT_TRUE(write_file_bytes(dir.file("old.exr"), "the user's old file"));
    ImageDialogDrv* v = open_file("src.exr", k_type_exr, ramp);
    choose(v, "&Image/Save As...");
    messages.answers = {c.answer};
    press_ok(dir.file("old.exr"), 0);
    EXPECT_EQ(messages.questions,
              c.asked ? std::vector<std::string>{dir.file("old.exr") +
                                                 "  exists. Do you want to overwrite?"}
                      : std::vector<std::string>{});
    EXPECT_EQ(messages.buttons,
              (c.asked ? std::vector<std::vector<std::string>>{{"Cancel", "Overwrite"}}
                       : std::vector<std::vector<std::string>>{}));
    EXPECT_EQ(read_file_bytes(dir.file("old.exr")) != "the user's old file", c.written);
    EXPECT_EQ(v->get_name(), c.written ? "old.exr" : "src.exr");
    delete_all_viewers();
  }
}

TEST_F(Save_as, EntryNamingNoFormatIsRefused) {
  ImageDialogDrv* v = open_file("n.exr", k_type_exr, ramp);
  choose(v, "&Image/Save As...");
  press_ok(dir.file("out.exr"), named_format_count(true));  // the chooser's "All Files"
  EXPECT_EQ(messages.alerts, std::vector<std::string>{"Please select a named format."});
  EXPECT_TRUE(read_file_bytes(dir.file("out.exr")).empty());
  EXPECT_EQ(v->get_name(), "n.exr");
  EXPECT_FALSE(chooser->shown());
}

TEST_F(Save_as, ClicksInTheListWhileTheChooserIsOpenSaveNothing) {
  ImageDialogDrv* v = open_file("k.exr", k_type_exr, ramp);
  choose(v, "&Image/Save As...");
  chooser->value(dir.file("k2.exr").c_str());
  Fl::e_keysym = 'a';
  chooser->on_ok();
  EXPECT_TRUE(read_file_bytes(dir.file("k2.exr")).empty());
  EXPECT_EQ(v->get_name(), "k.exr");
}

// The grid failing to follow the written file stays inside the command: the file is
// written, the viewer takes its new name, and the user reads one alert.
TEST_F(Save_as, AGridThatFailsAfterTheWriteIsAlertedOnce) {
  ImageDialogDrv* v = open_file("a.exr", k_type_exr, ramp);
  browser.answers().file_written = [](const std::string&) {
    throw std::runtime_error("grid failed");
  };
  choose(v, "&Image/Save As...");
  EXPECT_NO_THROW(press_ok(dir.file("b"), 1));  // RGBE
  EXPECT_EQ(messages.alerts, std::vector<std::string>{"grid failed"});
  EXPECT_EQ(Hdr_image(dir.file("b.hdr")).type, uint32_t(k_type_rgbe));
  EXPECT_EQ(v->get_path(), dir.file("b.hdr"));
}

TEST_F(Save_as, FailedWriteKeepsTheViewersNameAndChanges) {
  ImageDialogDrv* v = open_new_result(k_type_new_hdr);
  messages.answers = {1};
  v->close();  // "Save": the chooser is to close the viewer once written
  press_ok(dir.file("missing/out.exr"), 0);
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_NE(messages.alerts[0].find("missing/out.exr"), std::string::npos) << messages.alerts[0];
  EXPECT_EQ(v->get_name(), "Untitled");
  EXPECT_EQ(v->modified_flags(), uint32_t(k_change_new_image));
  EXPECT_EQ(v->get_file_type(), uint32_t(k_type_new_hdr));
  EXPECT_FALSE(closed(v));
  EXPECT_TRUE(written.empty());
}

TEST_F(Save_as, ReadOnlyFormatsSaveGoesToTheChooserWithLogLuv) {
  ImageDialogDrv* v = open_file("l.exr", k_type_exr, ramp);
  v->get_image()->type = k_type_tiff_logl;
  v->set_modified(k_change_flipped);
  v->save();
  ASSERT_TRUE(chooser->shown());
  EXPECT_EQ(offered_formats(*chooser), with_toolkit_entries(k_hdr_save_formats));
  EXPECT_EQ(chooser->filter_value(), 2);
}

TEST_F(Save_as, ViewerDeletedWhileTheChooserIsOpenSavesNothing) {
  ImageDialogDrv* v = open_file("d.exr", k_type_exr, ramp);
  choose(v, "&Image/Save As...");
  delete_all_viewers();
  EXPECT_EQ(chooser->viewer(), nullptr);
  press_ok(dir.file("gone.exr"), 0);
  EXPECT_TRUE(read_file_bytes(dir.file("gone.exr")).empty());
  EXPECT_TRUE(written.empty());
}

// The viewer's Save As of another viewer, arriving through an event served while the
// first save sets the busy cursor.
ImageDialogDrv* g_second_viewer = nullptr;
void second_save_as(void*) {
  if (g_second_viewer) g_second_viewer->save_as();
}

TEST_F(Save_as, SecondSaveAsArrivingInsideTheSaveLeavesItsSourceAlone) {
  ImageDialogDrv* first = open_file("one.exr", k_type_exr, ramp);
  ImageDialogDrv* second = open_viewer(make_test_image(24, 16, k_type_exr,
                                                       [](uint32_t, uint32_t) {
                                                         return Rgb{7.f, 7.f, 7.f};
                                                       }),
                                       "two.exr", dir.file("two.exr"));
  choose(first, "&Image/Save As...");
  g_second_viewer = second;
  Fl::add_timeout(0.0, second_save_as);
  press_ok(dir.file("out.exr"), 0);
  Fl::remove_timeout(second_save_as);
  g_second_viewer = nullptr;
  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_TRUE(images_match(*make_test_image(24, 16, k_type_exr, ramp),
                           Hdr_image(dir.file("out.exr")), {0, 1e-6, 0}));
  EXPECT_EQ(first->get_name(), "out.exr");
  EXPECT_EQ(second->get_name(), "two.exr");
  // The chooser now waits for the second viewer's name.
  EXPECT_EQ(chooser->viewer(), second);
}

TEST_F(Save_as, BrowserFileInItsOwnFormatIsCopiedUnchanged) {
  save_image_as(*make_test_image(24, 16, k_type_jpeg, bytes), dir.file("p.jpg"), k_type_jpeg);
  const std::string original = read_file_bytes(dir.file("p.jpg"));
  chooser->show_for(nullptr, k_type_jpeg, dir.file("p.jpg"));
  EXPECT_EQ(offered_formats(*chooser), with_toolkit_entries(k_ldr_save_formats));
  EXPECT_EQ(chooser->filter_value(), 0);
  press_ok(dir.file("copy"), 0);
  EXPECT_EQ(read_file_bytes(dir.file("copy.jpg")), original);
  EXPECT_EQ(written, std::vector<std::string>{dir.file("copy.jpg")});
  // Onto itself: the file stays as it is.
  m_prefs->overwrite_prompt_button->value(0);
  chooser->show_for(nullptr, k_type_jpeg, dir.file("p.jpg"));
  press_ok(dir.file("p.jpg"), 0);
  EXPECT_EQ(read_file_bytes(dir.file("p.jpg")), original);
  EXPECT_TRUE(messages.alerts.empty());
}

TEST_F(Save_as, BrowserFileInAnotherFormatIsEncoded) {
  save_image_as(*make_test_image(24, 16, k_type_png, bytes), dir.file("p.png"), k_type_png);
  chooser->show_for(nullptr, k_type_png, dir.file("p.png"));
  EXPECT_EQ(chooser->filter_value(), 2);
  press_ok(dir.file("p.TIFF"), 1);  // TIFF, the typed extension kept
  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_TRUE(images_match(Hdr_image(dir.file("p.png")), Hdr_image(dir.file("p.TIFF"))));
  EXPECT_EQ(Hdr_image(dir.file("p.TIFF")).type, uint32_t(k_type_tiff8));
}

TEST_F(Save_as, UnreadableBrowserFileIsAlertedAndWritesNothing) {
  ASSERT_TRUE(write_file_bytes(dir.file("bad.png"), "no picture"));
  chooser->show_for(nullptr, k_type_png, dir.file("bad.png"));
  press_ok(dir.file("out"), 0);
  EXPECT_EQ(messages.alerts.size(), 1u);
  EXPECT_TRUE(read_file_bytes(dir.file("out.jpg")).empty());
  EXPECT_TRUE(written.empty());
}

}  // namespace
