// A viewer's save reaches the thumbnail grid: the written file's tile shows the new
// pixels, and Next Image walks the grid's own tiles.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <memory>
#include <string>
#include <vector>

#include "browser/browser_seam_setup.h"
#include "browser/dir_view.h"
#include "browser/icon.h"
#include "browser/icon_view.h"
#include "browser/main_window_drv.h"
#include "browser/program_exit.h"
#include "core/browser_seam.h"
#include "core/hdr_image.h"
#include "core/image_save.h"
#include "tests/support/fake_browser.h"
#include "tests/support/main_window_on_folder.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/save_as_chooser.h"

namespace {

Rgb red(uint32_t, uint32_t) { return {250.f, 0.f, 0.f}; }
Rgb blue(uint32_t, uint32_t) { return {0.f, 0.f, 250.f}; }

class Viewer_save_grid : public ::testing::Test {
 protected:
  void SetUp() override {
    save_image_as(*make_test_image(16, 12, k_type_png, red), m_dir.file("a.png"), k_type_png);
    save_image_as(*make_test_image(16, 12, k_type_png, blue), m_dir.file("b.png"), k_type_png);
    ASSERT_NO_FATAL_FAILURE(open_main_window_on(m_dir.path(), window));
    ASSERT_EQ(g_icon_view->icons.size(), 2u);
    install_browser_seam();
  }
  void TearDown() override {
    delete_all_viewers();
    delete window;
  }
  ImageDialogDrv* open(const std::string& name) {
    auto* v = new ImageDialogDrv(640, 480, name.c_str());
    v->set_image(std::make_unique<Hdr_image>(m_dir.file(name)), m_dir.file(name), name,
                 m_dir.path(), 0, 0);
    v->show();
    settle();
    return v;
  }
  const Icon* tile(const std::string& name) const {
    return g_icon_view->find_icon(name, m_dir.path());
  }

  Fake_browser m_browser;  // the browser's own answers, put back after
  Temp_dir m_dir;
  Scripted_messages m_messages;
  MainWindowDrv* window = nullptr;

 private:
  Exit_ignored m_exit;
};

// The mean of one channel of a tile's thumbnail.
double channel_mean(const Icon* t, int c) {
  double sum = 0;
  const size_t n = t->thumb_pixels.size() / 3;
  for (size_t i = 0; i < n; ++i) sum += t->thumb_pixels[3 * i + size_t(c)];
  return n ? sum / double(n) : 0;
}

TEST_F(Viewer_save_grid, SavedFilesTileShowsTheNewPixels) {
  ASSERT_NE(tile("a.png"), nullptr);
  ASSERT_GT(channel_mean(tile("a.png"), 0), 200);
  ImageDialogDrv* v = open("a.png");
  *v->get_image() = *make_test_image(16, 12, k_type_png, blue);
  v->set_modified(k_change_calibrated);
  v->save();
  ASSERT_TRUE(m_messages.alerts.empty());
  const Icon* t = tile("a.png");  // looked up again: the refresh may have replaced it
  ASSERT_NE(t, nullptr);
  EXPECT_LT(channel_mean(t, 0), 50);
  EXPECT_GT(channel_mean(t, 2), 200);
  EXPECT_EQ(g_icon_view->icons.size(), 2u);
}

TEST_F(Viewer_save_grid, NextImageWalksTheGridsTiles) {
  ImageDialogDrv* v = open(g_icon_view->icons[0]->name);
  const std::string second = g_icon_view->icons[1]->path;
  v->handle(FL_FOCUS);
  v->next_image(1);
  EXPECT_EQ(v->get_path(), second);
  EXPECT_TRUE(m_messages.alerts.empty());
}

TEST_F(Viewer_save_grid, MainWindowSaveAsWritesTheSelectedFileAndAddsItsTile) {
  SaveAsChooser chooser("OPENEXR format (*.exr)");
  SaveAsChooser* previous = g_save_as_chooser;
  g_save_as_chooser = &chooser;
  g_icon_view->deselect_all();
  g_icon_view->add_to_selection(g_icon_view->icons[1]);
  const std::string source = g_icon_view->icons[1]->path;
  window->save_as();
  EXPECT_TRUE(chooser.shown());
  EXPECT_EQ(chooser.viewer(), nullptr);
  EXPECT_EQ(chooser.source_path(), source);
  EXPECT_EQ(chooser.source_type(), uint32_t(k_type_png));
  EXPECT_EQ(chooser.filter_value(), 2);  // PNG
  chooser.filter_value(0);               // JPEG
  chooser.value(m_dir.file("c").c_str());
  chooser.hide();
  chooser.on_ok();
  EXPECT_TRUE(m_messages.alerts.empty());
  EXPECT_EQ(Hdr_image(m_dir.file("c.jpg")).type, uint32_t(k_type_jpeg));
  EXPECT_NE(tile("c.jpg"), nullptr);
  EXPECT_EQ(g_icon_view->icons.size(), 3u);
  g_save_as_chooser = previous;
}

}  // namespace
