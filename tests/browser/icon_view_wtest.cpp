// The thumbnail grid: a scan of a folder with broken and unreadable files, folder changes
// requested from inside a scan, clicks, Ctrl, Shift and band selection with the menus and
// status text that follow, the popup menu, refreshes, removals and the size setting.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Progress.H>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "browser/icon.h"
#include "browser/icon_view.h"
#include "browser/main_menu.h"
#include "browser/thumbnail_cache.h"
#include "core/app_globals.h"
#include "core/event_pump.h"
#include "core/hdr_image.h"
#include "core/jpeg_thumb.h"
#include "core/platform.h"
#include "core/preferences.h"
#include "core/preferences_dlg.h"
#include "core/thumbnail_pixels.h"
#include "tests/support/oriented_jpeg.h"
#include "tests/support/png_fixture.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/textured_jpeg.h"
#include "tests/support/thumbnail_files.h"
#include "tests/support/viewer_windows.h"

namespace {

using Names = std::vector<std::string>;

// The pump the grid calls during a scan; tests put their own step into it.
std::function<void()> g_on_pump;
void test_pump() {
  if (g_on_pump) g_on_pump();
}

class Grid : public ::testing::Test {
 protected:
  void SetUp() override {
    g_preferences = &m_store;
    m_previous_pump = set_event_pump(test_pump);
    Fl_Group::current(nullptr);
    m_window = std::make_unique<Fl_Double_Window>(920, 600, "grid");
    g_menu_bar = new Fl_Menu_Bar(0, 0, 920, 25);
    g_menu_bar->copy(main_menu_table());
    g_status_text = new Fl_Box(2, 579, 208, 17);
    g_status_progress = new Fl_Progress(705, 579, 212, 18);
    g_status_progress->hide();
    view = new Icon_view(170, 56, 750, 520);
    m_window->end();
  }
  void TearDown() override {
    delete_all_viewers();  // a double click opens one
    g_on_pump = nullptr;
    set_event_pump(m_previous_pump);
    m_window.reset();
    g_menu_bar = nullptr;
    g_status_text = nullptr;
    g_status_progress = nullptr;
    g_preferences = nullptr;
  }

  std::string folder(const std::string& name) {
    const std::string path = m_dir.file(name);
    mkdir(path.c_str(), 0755);
    return path + "/";
  }
  void jpegs(const std::string& dir, int count, const std::string& stem = "img") {
    for (int i = 0; i < count; ++i)
      ASSERT_TRUE(write_file_bytes(dir + stem + std::to_string(i) + ".jpg",
                                   solid_jpeg(32, 16, uint8_t(20 * i), 100, 50)));
  }
  Names names() const {
    Names n;
    for (const Icon* tile : view->icons) n.push_back(tile->name);
    return n;
  }
  Names selected() const {
    Names n;
    for (const Icon* tile : view->selection) n.push_back(tile->name);
    return n;
  }
  std::string status() const { return g_status_text->label() ? g_status_text->label() : ""; }
  bool active(const char* path) const {
    const Fl_Menu_Item* item = find_menu_item(path);
    return item && item->active();
  }

  // A left or right press (and release) at a point, with modifier state.
  void press(int x, int y, int state = 0, int button = FL_LEFT_MOUSE) {
    Fl::e_x = x;
    Fl::e_y = y;
    Fl::e_keysym = FL_Button + button;
    Fl::e_state = state | (button == FL_LEFT_MOUSE ? FL_BUTTON1 : FL_BUTTON3);
    Fl::e_is_click = 0;
    Fl::e_clicks = 0;
    view->handle(FL_PUSH);
    Fl::e_state = state;
    view->handle(FL_RELEASE);
  }
  void click(size_t tile, int state = 0) {
    const Icon* t = view->icons.at(tile);
    press(t->x() + t->w() / 2, t->y() + t->h() / 2, state);
  }

  Temp_dir m_dir;
  Temp_dir m_home;
  Preferences m_store{(m_home.path() + k_preferences_vendor).c_str(), k_preferences_vendor,
                      k_preferences_application};
  Event_pump_fn m_previous_pump = nullptr;
  std::unique_ptr<Fl_Double_Window> m_window;
  Icon_view* view = nullptr;
};

TEST_F(Grid, ScanOfBrokenAndUnreadableFilesCompletesWithTheRightTiles) {
  const std::string dir = folder("mixed");
  ASSERT_TRUE(write_file_bytes(
      dir + "good_exif.jpg",
      with_exif_thumbnail(solid_jpeg(320, 240, 9, 9, 9), solid_jpeg(160, 120, 200, 10, 10))));
  ASSERT_TRUE(write_file_bytes(dir + "plain.jpg", solid_jpeg(200, 100, 10, 200, 10)));
  std::string broken = solid_jpeg(160, 120, 1, 2, 3);
  broken.resize(60);
  ASSERT_TRUE(write_file_bytes(dir + "bad_thumb.jpg",
                               with_exif_thumbnail(solid_jpeg(300, 150, 10, 10, 200), broken)));
  ASSERT_TRUE(write_file_bytes(
      dir + "corrupt_scan.jpg",
      read_file_bytes(std::string(VELTRUM_TEST_DATA) + "/regressions/jpeg_corrupt_scan_leak.jpg")));
  ASSERT_TRUE(write_file_bytes(
      dir + "corrupt.png",
      read_file_bytes(std::string(VELTRUM_TEST_DATA) + "/regressions/png_corrupt_idat_leak.png")));
  ASSERT_TRUE(write_file_bytes(dir + "garbage.jpg", "this is no picture"));
  Png_layout layout;
  layout.width = 50;
  layout.height = 20;
  std::vector<uint8_t> rgb(50 * 20 * 3, 120);
  write_png(dir + "pic.png", layout, rgb.data());
  ASSERT_TRUE(write_file_bytes(dir + "locked.jpg", solid_jpeg(8, 8, 0, 0, 0)));
  ASSERT_EQ(chmod((dir + "locked.jpg").c_str(), 0), 0);
  ASSERT_EQ(mkdir((dir + "folder.jpg").c_str(), 0755), 0);
  ASSERT_TRUE(write_file_bytes(dir + "notes.txt", "text"));

  testing::internal::CaptureStderr();
  view->load_directory(dir);
  const std::string diagnostics = testing::internal::GetCapturedStderr();

  EXPECT_EQ(names(), (Names{"bad_thumb.jpg", "corrupt.png", "corrupt_scan.jpg", "good_exif.jpg",
                            "pic.png", "plain.jpg"}));
  EXPECT_FALSE(Icon_view::scan_running());
  EXPECT_FALSE(g_status_progress->visible());
  EXPECT_EQ(status(), "6 images");
  EXPECT_NE(diagnostics.find(dir + "locked.jpg: doesn't have read permission"), std::string::npos);
  struct Expect {
    int w, h;
  };
  const Expect sizes[] = {{128, 64}, {0, 0}, {0, 0}, {128, 96}, {128, 51}, {128, 64}};
  for (size_t i = 0; i < view->icons.size(); ++i) {
    const Icon* tile = view->icons[i];
    EXPECT_EQ(tile->thumb_w, sizes[i].w) << tile->name;
    EXPECT_EQ(tile->thumb_h, sizes[i].h) << tile->name;
    EXPECT_EQ(tile->readable, sizes[i].w > 0) << tile->name;
  }
  // Full loads go to the cache; the embedded thumbnail does not.
  EXPECT_TRUE(file_exists(thumbnail_cache_path(dir + "plain.jpg")));
  EXPECT_FALSE(file_exists(thumbnail_cache_path(dir + "good_exif.jpg")));
  EXPECT_EQ(view->icons[3]->width, 320u);
  EXPECT_NE(static_cast<Icon*>(view->icons[3])->exif_data(), nullptr);
}

// The status bar runs over the tiles the scan made (not the folder's other files), one
// step per thumbnail, and is gone once the scan ends.
TEST_F(Grid, ScanProgressCountsTheTilesAndEndsHidden) {
  const std::string dir = folder("progress");
  jpegs(dir, 3);
  ASSERT_TRUE(write_file_bytes(dir + "notes.txt", "text"));
  std::vector<std::string> seen;
  g_on_pump = [&seen] {
    if (!g_status_progress->visible()) return;
    const std::string step = std::string(g_status_progress->label()) + " " +
                             std::to_string(int(g_status_progress->value())) + "/" +
                             std::to_string(int(g_status_progress->maximum()));
    if (seen.empty() || seen.back() != step) seen.push_back(step);
  };
  view->load_directory(dir);
  g_on_pump = nullptr;
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), "Scanning... 3/3");
  EXPECT_EQ(seen.front().rfind("Scanning... 0/", 0), 0u) << seen.front();
  EXPECT_NE(std::find(seen.begin(), seen.end(), "Scanning... 0/3"), seen.end());
  EXPECT_NE(std::find(seen.begin(), seen.end(), "Scanning... 2/3"), seen.end());
  EXPECT_FALSE(g_status_progress->visible());
  EXPECT_EQ(names().size(), 3u);
}

TEST_F(Grid, FolderChangesDuringAScanShowOnlyTheNewest) {
  const std::string a = folder("a"), b = folder("b"), c = folder("c");
  jpegs(a, 6, "a");
  jpegs(b, 3, "b");
  jpegs(c, 2, "c");
  int pumps = 0;
  g_on_pump = [&] {
    // Two requests while the thumbnails of a are made: only the last counts.
    if (++pumps == 9 && view->shown_folder() == a) {
      view->load_directory(b);
      view->load_directory(c);
      EXPECT_TRUE(Icon_view::scan_running());
    }
  };
  view->load_directory(a);
  EXPECT_EQ(view->shown_folder(), c);
  EXPECT_EQ(names(), (Names{"c0.jpg", "c1.jpg"}));
  for (const Icon* tile : view->icons) EXPECT_EQ(tile->thumb_w, 128);
  EXPECT_FALSE(Icon_view::scan_running());
  EXPECT_EQ(status(), "2 images");
}

TEST_F(Grid, FolderRequestWhileListingIsDeferredNotNested) {
  const std::string a = folder("a"), empty = folder("empty");
  jpegs(a, 3, "a");
  int depth = 0, pumps = 0;
  g_on_pump = [&] {
    if (++pumps == 1) {
      ++depth;
      view->load_directory(a);  // while the empty folder is being listed
      --depth;
    }
  };
  view->load_directory(empty);
  EXPECT_EQ(depth, 0);
  EXPECT_EQ(view->shown_folder(), a);
  EXPECT_EQ(names(), (Names{"a0.jpg", "a1.jpg", "a2.jpg"}));
}

TEST_F(Grid, ClicksCtrlAndShiftKeepTheClickOrder) {
  jpegs(folder("f"), 10);
  view->load_directory(m_dir.file("f/"));
  click(3);
  click(7, FL_CTRL);
  click(1, FL_CTRL);
  EXPECT_EQ(selected(), (Names{"img3.jpg", "img7.jpg", "img1.jpg"}));
  EXPECT_EQ(status(), "3 of 10 images");
  EXPECT_TRUE(active("&Process/Create HDR..."));
  EXPECT_FALSE(active("&Process/Tonemap..."));
  EXPECT_FALSE(active("&File/&Open Image"));
  click(7, FL_CTRL);  // Ctrl on a selected tile deselects it
  EXPECT_EQ(selected(), (Names{"img3.jpg", "img1.jpg"}));

  click(3);
  EXPECT_EQ(status(), "1 of 10 images");
  EXPECT_TRUE(active("&File/&Open Image"));
  click(8, FL_SHIFT);
  EXPECT_EQ(selected(),
            (Names{"img3.jpg", "img4.jpg", "img5.jpg", "img6.jpg", "img7.jpg", "img8.jpg"}));
  click(8, FL_SHIFT);  // the anchor is 8 now: only 8 changes
  EXPECT_EQ(selected(), (Names{"img3.jpg", "img4.jpg", "img5.jpg", "img6.jpg", "img7.jpg"}));
  EXPECT_FALSE(view->icons[8]->is_selected());

  press(view->x() + 2, view->y() + 2);  // the background clears the selection
  EXPECT_TRUE(view->selection.empty());
  EXPECT_EQ(status(), "10 images");
  EXPECT_FALSE(active("&Edit/Deselect All"));
  EXPECT_TRUE(active("&Edit/Select All"));
}

TEST_F(Grid, RubberBandSelectsTheTilesItTouches) {
  jpegs(folder("f"), 10);
  view->load_directory(m_dir.file("f/"));
  const Icon* first = view->icons[0];
  const Icon* sixth = view->icons[5];  // row 1, column 1 with 4 columns
  Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
  Fl::e_state = FL_BUTTON1;
  Fl::e_x = first->x() - 5;
  Fl::e_y = first->y() - 5;
  view->handle(FL_PUSH);
  view->handle(FL_DRAG);
  Fl::e_x = sixth->x() + 3;
  Fl::e_y = sixth->y() + 3;
  view->handle(FL_DRAG);
  EXPECT_TRUE(view->band_visible);
  EXPECT_EQ(selected(), (Names{"img0.jpg", "img1.jpg", "img4.jpg", "img5.jpg"}));
  EXPECT_EQ(view->anchor, 5);
  view->handle(FL_RELEASE);
  EXPECT_FALSE(view->band_visible);
  EXPECT_TRUE(view->band_pending);
  EXPECT_EQ(status(), "4 of 10 images");
}

TEST_F(Grid, PopupMenuSelectsTheTileOrOffersANewFolder) {
  jpegs(folder("f"), 3);
  view->load_directory(m_dir.file("f/"));
  Names offered;
  view->set_popup([&](const Fl_Menu_Item* menu, int, int) -> const Fl_Menu_Item* {
    offered.clear();
    for (const Fl_Menu_Item* m = menu; m->label(); ++m) offered.push_back(m->label());
    return nullptr;
  });
  click(0);
  const Icon* t = view->icons[2];
  press(t->x() + 5, t->y() + 5, 0, FL_RIGHT_MOUSE);
  EXPECT_EQ(offered, (Names{"&Open Image", "Image Info...", "Image Stats...", "Histogram...",
                            "Show on HDR Display"}));
  EXPECT_EQ(selected(), (Names{"img2.jpg"}));
  press(view->x() + 2, view->y() + 2, 0, FL_RIGHT_MOUSE);
  EXPECT_EQ(offered, (Names{"New Directory..."}));
  EXPECT_TRUE(view->selection.empty());
  click(1, FL_SHIFT);  // anchor -1 after the background popup is taken as 0
  EXPECT_EQ(selected(), (Names{"img0.jpg", "img1.jpg"}));
}

TEST_F(Grid, RemovedTilesLeaveTheSelectionAndTheAnchorStaysInRange) {
  jpegs(folder("f"), 5);
  const std::string dir = m_dir.file("f/");
  view->load_directory(dir);
  click(1);
  click(4, FL_SHIFT);
  ASSERT_EQ(view->anchor, 4);
  view->remove_file(dir + "img4.jpg");
  view->remove_icon(view->icons[3]);
  EXPECT_EQ(names(), (Names{"img0.jpg", "img1.jpg", "img2.jpg"}));
  EXPECT_EQ(selected(), (Names{"img1.jpg", "img2.jpg"}));
  EXPECT_EQ(status(), "2 of 3 images");
  EXPECT_EQ(view->anchor, 2);
  click(0, FL_SHIFT);  // from the clamped anchor down to 0
  EXPECT_EQ(selected(), (Names{"img1.jpg", "img2.jpg", "img0.jpg"}));
  // A new scan starts with no selection and anchor 0.
  view->load_directory(dir);
  EXPECT_TRUE(view->selection.empty());
  EXPECT_EQ(view->anchor, 0);
}

TEST_F(Grid, RefreshAddsNewFilesAtTheEndAndRemakesChangedOnes) {
  const std::string dir = folder("f"), other = folder("other");
  jpegs(dir, 2);
  view->load_directory(dir);
  click(1);
  ASSERT_TRUE(write_file_bytes(dir + "a_new.jpg", solid_jpeg(64, 128, 1, 1, 1)));
  view->refresh_file(dir + "a_new.jpg");
  EXPECT_EQ(names(), (Names{"img0.jpg", "img1.jpg", "a_new.jpg"}));
  EXPECT_EQ(status(), "1 of 3 images");  // the count follows the new tile
  EXPECT_EQ(view->icons[2]->thumb_w, 64);
  EXPECT_EQ(view->icons[2]->thumb_h, 128);
  ASSERT_TRUE(write_file_bytes(dir + "img1.jpg", solid_jpeg(256, 64, 1, 1, 1)));
  view->refresh_file(dir + "img1.jpg");
  EXPECT_EQ(view->icons[1]->thumb_h, 32);
  EXPECT_TRUE(view->icons[1]->is_selected());
  EXPECT_EQ(status(), "1 of 3 images");
  ASSERT_TRUE(write_file_bytes(other + "x.jpg", solid_jpeg(8, 8, 1, 1, 1)));
  view->refresh_file(other + "x.jpg");
  EXPECT_EQ(view->icons.size(), 3u);
}

// Tiles added to an empty grid and taken out again: the status count and the menus that
// need tiles follow each change.
TEST_F(Grid, StatusCountFollowsTilesAddedAndRemovedWithoutAScan) {
  const std::string dir = folder("f");
  view->load_directory(dir);
  EXPECT_EQ(status(), "");
  EXPECT_FALSE(active("&Edit/Select All"));
  jpegs(dir, 2);
  view->refresh_file(dir + "img0.jpg");
  EXPECT_EQ(status(), "1 image");
  EXPECT_TRUE(active("&Edit/Select All"));
  view->refresh_file(dir + "img1.jpg");
  EXPECT_EQ(status(), "2 images");
  view->remove_file(dir + "img0.jpg");
  EXPECT_EQ(status(), "1 image");
}

// The location field keeps no keyboard once a tile is clicked: Delete is for the tiles.
TEST_F(Grid, AClickGivesTheGridTheKeyboard) {
  jpegs(folder("f"), 2);
  view->load_directory(m_dir.file("f/"));
  m_window->begin();
  auto* field = new Fl_Input(170, 30, 400, 24);
  m_window->end();
  field->value("/home/user/pictures/");
  m_window->show();
  Fl::focus(field);
  ASSERT_EQ(Fl::focus(), field);
  click(0);
  EXPECT_EQ(Fl::focus(), view);
  Fl::e_keysym = FL_BackSpace;
  Fl::e_text = const_cast<char*>("");
  Fl::e_length = 0;
  Fl::e_state = 0;
  Fl::handle(FL_KEYBOARD, m_window.get());
  EXPECT_STREQ(field->value(), "/home/user/pictures/");
  // Also a click on the background of an empty part of the grid.
  Fl::focus(field);
  press(view->x() + 2, view->y() + 2);
  EXPECT_EQ(Fl::focus(), view);
}

TEST_F(Grid, MediumSizeShowsThreeQuartersAndCachesTheFullThumbnail) {
  PreferencesDlg dialog(550, 385, "Preferences");
  g_preferences_dialog = &dialog;
  dialog.thumbnail_size_choice->value(1);
  dialog.save_settings();
  const std::string dir = folder("f");
  ASSERT_TRUE(write_file_bytes(dir + "big.jpg", solid_jpeg(400, 300, 5, 5, 5)));
  ASSERT_TRUE(write_file_bytes(dir + "off.jpg", solid_jpeg(300, 300, 6, 6, 6)));
  dialog.cache_thumbnails_button->value(0);
  view->load_directory(dir);
  g_preferences_dialog = nullptr;
  EXPECT_EQ(view->tile_w, 96);
  EXPECT_EQ(view->gap, 22);
  const Icon* big = view->icons[0];
  EXPECT_EQ(big->thumb_w, 96);
  EXPECT_EQ(big->thumb_h, 72);
  EXPECT_EQ(big->thumb_planes.width, 128u);
  EXPECT_EQ(big->w(), 96);
  EXPECT_EQ(big->h(), 96 + 20);
  // Caching off: nothing written (an existing cache file would still be read).
  EXPECT_FALSE(file_exists(thumbnail_cache_path(dir + "big.jpg")));
}

TEST_F(Grid, CachedThumbnailIsReadWithoutTheImage) {
  const std::string dir = folder("f");
  Png_layout layout;
  layout.width = 40;
  layout.height = 40;
  std::vector<uint8_t> rgb(40 * 40 * 3, 7);
  write_png(dir + "a.png", layout, rgb.data());
  const std::string cache = thumbnail_cache_path(dir + "a.png");
  ASSERT_FALSE(cache.empty());
  std::vector<uint8_t> cached(100 * 50 * 3, 200);
  write_jpeg(cache, cached.data(), 100, 50);
  view->load_directory(dir);
  ASSERT_EQ(view->icons.size(), 1u);
  EXPECT_EQ(view->icons[0]->thumb_w, 100);
  EXPECT_EQ(view->icons[0]->thumb_h, 50);
  EXPECT_EQ(view->icons[0]->width, 40u);  // the header's size stays
}

// A cache file cut short decodes with libjpeg's grey fill: the tile takes the full load's
// thumbnail instead and writes a whole cache file over the cut one.
TEST_F(Grid, TileOverACutCacheFileShowsTheFullLoadAndRewritesTheCache) {
  const std::string dir = folder("f");
  write_textured_jpeg(dir + "photo.jpg", 400, 300, 3);
  const std::string cache = thumbnail_cache_path(dir + "photo.jpg");
  ASSERT_FALSE(cache.empty());
  uint32_t w = 0, h = 0;
  const Thumbnail_planes full = thumbnail_by_full_load(dir + "photo.jpg", k_type_jpeg, w, h);
  std::vector<uint8_t> other(size_t(full.width) * full.height * 3, 240);
  write_jpeg(cache, other.data(), full.width, full.height);
  const std::string written = read_file_bytes(cache);
  ASSERT_TRUE(write_file_bytes(cache, written.substr(0, written.size() / 2)));

  view->load_directory(dir);
  ASSERT_EQ(view->icons.size(), 1u);
  const Icon* tile = view->icons[0];
  EXPECT_EQ(tile->thumb_planes.width, full.width);
  EXPECT_EQ(tile->thumb_planes.height, full.height);
  EXPECT_TRUE(tile->thumb_planes.data == full.data);
  uint32_t cw = 0, ch = 0, channels = 0;
  EXPECT_TRUE(read_jpeg_rgb(cache, cw, ch, channels));
  EXPECT_EQ(cw, full.width);
  const std::vector<uint8_t> rgb = interleaved_rgb(full);
  const std::string expected = dir + "expected.jpg";
  write_jpeg(expected, rgb.data(), full.width, full.height);
  EXPECT_TRUE(read_file_bytes(cache) == read_file_bytes(expected));
}

// Photos stored turned get upright tiles of the shown size, made from the full picture, from
// the embedded thumbnail and from the cache. A sideways tile cached before tiles were turned
// (under the file's old cache name) is never shown: the turned file's cache name differs.
TEST_F(Grid, TurnedPhotosGetUprightTilesEvenOverAnOldSidewaysCache) {
  const std::string dir = folder("f");
  for (int code = 1; code <= 8; ++code) {
    const std::string path = dir + "full" + std::to_string(code) + ".jpg";
    write_oriented_jpeg(path, code);
    write_oriented_jpeg(dir + "embedded" + std::to_string(code) + ".jpg", code, true);
    uint32_t w = 0, h = 0, channels = 0;
    Rgb_bytes stored = read_jpeg_rgb(path, w, h, channels);  // as stored, never turned
    ASSERT_TRUE(stored);
    const std::vector<uint8_t> sideways = interleaved_rgb(thumbnail_from_rgb(stored.get(), w, h));
    uint32_t tw = 0, th = 0;
    fitted_thumbnail_size(w, h, tw, th);
    write_jpeg(thumbnail_cache_path(path), sideways.data(), tw, th);
  }
  for (int scan = 0; scan < 2; ++scan) {  // the second scan reads the cache
    SCOPED_TRACE(scan);
    view->load_directory(dir);
    ASSERT_EQ(view->icons.size(), 16u);
    for (const Icon* tile : view->icons) {
      SCOPED_TRACE(tile->name);
      EXPECT_EQ(tile->width, k_pattern_w);
      EXPECT_EQ(tile->height, k_pattern_h);
      const Thumbnail_planes& p = tile->thumb_planes;
      EXPECT_TRUE(shows_pattern(p.width, p.height, [&p](uint32_t x, uint32_t y, int c) {
        return double(p.data[(size_t(c) * p.height + y) * p.width + x]);
      }));
    }
  }
  EXPECT_TRUE(file_exists(thumbnail_cache_path(dir + "full6.jpg", 6)));
}

// A photograph cut short gives no thumbnail and no cache file; the tile stays, so that
// opening it shows what could be decoded.
TEST_F(Grid, JpegCutShortGetsNoThumbnailAndNoCacheFile) {
  const std::string dir = folder("f");
  write_textured_jpeg(m_dir.file("whole.jpg"), 400, 300, 3);
  ASSERT_TRUE(
      write_file_bytes(dir + "cut.jpg", cut_in_scan(read_file_bytes(m_dir.file("whole.jpg")))));
  view->load_directory(dir);
  ASSERT_EQ(view->icons.size(), 1u);
  EXPECT_TRUE(view->icons[0]->readable);
  EXPECT_TRUE(view->icons[0]->thumb_planes.empty());
  EXPECT_FALSE(file_exists(thumbnail_cache_path(dir + "cut.jpg")));
}

TEST_F(Grid, TileRenameShowsTheFullNameAndRotationSwapsTheSize) {
  const std::string dir = folder("f");
  ASSERT_TRUE(write_file_bytes(dir + "a.jpg", solid_jpeg(400, 300, 5, 5, 5)));
  view->load_directory(dir);
  Icon* tile = view->icons[0];
  tile->rename("a_rather_long_new_name.jpg");
  EXPECT_EQ(tile->path, dir + "a_rather_long_new_name.jpg");
  EXPECT_STREQ(tile->label_box->label(), "a_rather_long_new_name.jpg");
  EXPECT_STREQ(tile->tooltip(), "a.jpg");
  tile->rotate_thumbnail(90);
  EXPECT_EQ(tile->width, 300u);
  EXPECT_EQ(tile->height, 400u);
  EXPECT_EQ(tile->thumb_w, 96);
  EXPECT_EQ(tile->thumb_h, 128);
  tile->select();
  EXPECT_TRUE(tile->is_selected());
  EXPECT_EQ(tile->thumb_box->color(), 196u);
  tile->deselect();
  EXPECT_EQ(tile->thumb_box->color(), 39u);
}

TEST_F(Grid, CtrlAShortcutSelectsEveryTile) {
  jpegs(folder("f"), 4);
  view->load_directory(m_dir.file("f/"));
  click(2);
  Fl::e_state = FL_CTRL;
  Fl::e_keysym = 'a';
  EXPECT_EQ(view->handle(FL_SHORTCUT), 1);
  EXPECT_EQ(selected(), (Names{"img2.jpg", "img0.jpg", "img1.jpg", "img3.jpg"}));
  EXPECT_EQ(view->anchor, 2);
  EXPECT_EQ(status(), "4 of 4 images");
  EXPECT_FALSE(active("&Edit/Select All"));
  view->invert_selection();
  EXPECT_TRUE(view->selection.empty());
  EXPECT_TRUE(active("&Edit/Select All"));
}

TEST_F(Grid, DoubleClickOnABrokenTileAlertsInsteadOfOpening) {
  const std::string dir = folder("f");
  ASSERT_TRUE(write_file_bytes(
      dir + "broken.png",
      read_file_bytes(std::string(VELTRUM_TEST_DATA) + "/regressions/png_corrupt_idat_leak.png")));
  ASSERT_TRUE(write_file_bytes(dir + "good.jpg", solid_jpeg(16, 16, 1, 2, 3)));
  testing::internal::CaptureStderr();
  view->load_directory(dir);
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(names(), (Names{"broken.png", "good.jpg"}));
  Scripted_messages messages;
  for (size_t i : {size_t(0), size_t(1)}) {
    const Icon* t = view->icons[i];
    Fl::e_x = t->x() + 5;
    Fl::e_y = t->y() + 5;
    Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
    Fl::e_state = FL_BUTTON1;
    Fl::e_is_click = 1;
    Fl::e_clicks = 1;
    view->handle(FL_PUSH);
    EXPECT_EQ(Fl::e_clicks, -1);
  }
  Fl::e_is_click = 0;
  EXPECT_EQ(messages.alerts,
            (Names{"Cannot open the image. The image data seems to be corrupted."}));
}

}  // namespace
