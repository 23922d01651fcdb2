// gtest first: X11 (through fl_draw.H) defines None, which breaks it.
// clang-format off
#include <gtest/gtest.h>
// clang-format on

#include <FL/Fl.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Preferences.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <sys/stat.h>

#include <memory>

#include "browser/dir_view.h"
#include "browser/folder_paths.h"
#include "tests/support/folder_menu.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"

namespace {

using Folders = std::vector<std::string>;

class Dir_view_test : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"P", "Q", "R", "S", "sub", ".hidden", "10", "9", "100%s"})
      ASSERT_EQ(mkdir(m_dir.file(name).c_str(), 0755), 0);
    m_window = std::make_unique<Fl_Window>(400, 400);
    m_menu = new Folder_menu;
    m_location = new Fl_Input(0, 25, 400, 25);
    m_view = new Dir_view(0, 50, 400, 350);
    m_window->end();
    m_view->attach(m_menu, m_location);
    m_view->set_scan([this](const std::string& folder) { m_scans.push_back(folder); });
  }

  std::string dir(const std::string& name) const { return m_dir.file(name) + "/"; }

  std::vector<std::string> lines() const {
    std::vector<std::string> out;
    for (int i = 1; i <= m_view->size(); ++i) out.push_back(m_view->text(i));
    return out;
  }

  int line_of(const std::string& text) const {
    for (int i = 1; i <= m_view->size(); ++i)
      if (text == m_view->text(i)) return i;
    return 0;
  }

  std::unique_ptr<Fl_Preferences> open_store() {
    return std::make_unique<Fl_Preferences>(m_store_dir.path().c_str(), "veltrum.test", "dirs");
  }

  Temp_dir m_dir, m_store_dir;
  std::unique_ptr<Fl_Window> m_window;
  Folder_menu* m_menu = nullptr;
  Fl_Input* m_location = nullptr;
  Dir_view* m_view = nullptr;
  Folders m_scans;
};

TEST_F(Dir_view_test, first_start_has_no_history) {
  EXPECT_TRUE(m_view->current_dir().empty());
  m_view->go_backward();
  m_view->go_forward();
  EXPECT_TRUE(m_scans.empty());
  EXPECT_FALSE(m_menu->active("&View/Go Backward"));
  EXPECT_FALSE(m_menu->active("&View/Go Forward"));
  EXPECT_FALSE(m_menu->active("&View/Refresh"));
}

TEST_F(Dir_view_test, step_back_then_enter_appends_to_the_visit_log) {
  for (const char* name : {"P", "Q", "R"}) m_view->go_to(m_dir.file(name), true, true);
  EXPECT_TRUE(m_menu->active("&View/Go Backward"));
  EXPECT_FALSE(m_menu->active("&View/Go Forward"));
  m_view->go_backward();
  EXPECT_EQ(m_view->current_dir(), dir("Q"));
  EXPECT_TRUE(m_menu->active("&View/Go Forward"));
  m_view->go_to(m_dir.file("S"), true, true);
  EXPECT_EQ(m_view->history().entries(), (Folders{dir("P"), dir("Q"), dir("R"), dir("S")}));
  EXPECT_FALSE(m_menu->active("&View/Go Forward"));
  m_view->go_backward();
  EXPECT_EQ(m_view->current_dir(), dir("R"));
  m_view->go_backward();
  m_view->go_backward();
  EXPECT_EQ(m_view->current_dir(), dir("P"));
  EXPECT_FALSE(m_menu->active("&View/Go Backward"));
  m_view->go_backward();  // at the first entry: nothing
  EXPECT_EQ(m_view->current_dir(), dir("P"));
  m_view->go_forward();
  EXPECT_EQ(m_view->current_dir(), dir("Q"));
  EXPECT_TRUE(m_menu->active("&View/Go Backward"));
  EXPECT_EQ(m_view->history().entries().size(), 4u);
}

TEST_F(Dir_view_test, refresh_menu_records_the_folder_and_the_button_does_not) {
  m_view->go_to(m_dir.file("P"), true, true);
  EXPECT_FALSE(m_menu->active("&View/Go Backward"));
  m_view->refresh(false);
  EXPECT_EQ(m_view->history().entries().size(), 1u);
  EXPECT_FALSE(m_menu->active("&View/Go Backward"));
  m_view->refresh(true);
  EXPECT_EQ(m_view->history().entries(), (Folders{dir("P"), dir("P")}));
  EXPECT_TRUE(m_menu->active("&View/Go Backward"));
  EXPECT_EQ(m_scans, (Folders{dir("P"), dir("P"), dir("P")}));
}

TEST_F(Dir_view_test, first_change_of_folder_activates_the_folder_items) {
  m_view->go_to(m_dir.path(), false, true);
  EXPECT_TRUE(m_menu->active("&File/New Directory..."));
  EXPECT_TRUE(m_menu->active("&File/Recent Directories"));
  EXPECT_TRUE(m_menu->active("&View/Refresh"));
  EXPECT_TRUE(m_scans.empty());
}

TEST_F(Dir_view_test, lists_sub_folders_without_hidden_ones_unless_asked) {
  m_view->go_to(m_dir.path(), true, true);
  EXPECT_EQ(lines(), (Folders{"../", "9/", "10/", "100%s/", "P/", "Q/", "R/", "S/", "sub/"}));
  m_menu->check("&View/Show Hidden Folders", true);
  m_view->refresh(false);
  EXPECT_NE(line_of(".hidden/"), 0);
  EXPECT_NE(line_of("../"), 0);
}

TEST_F(Dir_view_test, folder_that_cannot_be_listed_is_still_current_and_recorded) {
  m_view->go_to(m_dir.file("gone"), true, true);
  EXPECT_EQ(m_view->current_dir(), dir("gone"));
  EXPECT_EQ(m_view->size(), 0);
  EXPECT_EQ(m_view->history().entries(), Folders{dir("gone")});
}

TEST_F(Dir_view_test, location_follows_while_synchronised) {
  m_view->go_to(m_dir.file("P"), false, true);
  EXPECT_EQ(std::string(m_location->value()), dir("P"));
  m_menu->check("&View/Synchronize Location", false);
  m_view->go_to(m_dir.file("Q"), false, true);
  EXPECT_EQ(std::string(m_location->value()), dir("P"));
}

TEST_F(Dir_view_test, clicked_line_sets_selected_dir_and_delete_directory) {
  m_view->go_to(m_dir.path(), true, true);
  m_view->select(line_of("sub/"));
  m_view->select_line();
  EXPECT_EQ(m_view->selected_dir(), m_dir.path() + "sub/");
  EXPECT_TRUE(m_menu->active("&File/Delete Directory"));
  m_view->select(line_of("../"));
  m_view->select_line();
  EXPECT_EQ(m_view->selected_dir(), m_dir.path() + "../");
  EXPECT_FALSE(m_menu->active("&File/Delete Directory"));
}

TEST_F(Dir_view_test, change_of_folder_clears_the_selected_folder) {
  m_view->go_to(m_dir.path(), true, true);
  m_view->select(line_of("sub/"));
  m_view->select_line();
  m_view->open_selected();
  EXPECT_EQ(m_view->current_dir(), m_dir.path() + "sub/");
  EXPECT_TRUE(m_view->selected_dir().empty());
  EXPECT_FALSE(m_menu->active("&File/Delete Directory"));
  EXPECT_EQ(m_view->recent_dirs().entries().back(), m_dir.path() + "sub/");
}

TEST_F(Dir_view_test, opening_dot_dot_goes_to_the_parent) {
  m_view->go_to(m_dir.file("P"), true, true);
  m_view->select(line_of("../"));
  m_view->open_selected();
  EXPECT_EQ(m_view->current_dir(), m_dir.path());
}

TEST_F(Dir_view_test, up_from_the_root_stays_at_the_root) {
  m_view->go_to("/", false, true);
  m_view->go_up();
  EXPECT_EQ(m_view->current_dir(), "/");
  m_view->go_to(m_dir.file("P"), false, true);
  m_view->go_up();
  EXPECT_EQ(m_view->current_dir(), m_dir.path());
  EXPECT_EQ(m_view->recent_dirs().entries().back(), m_dir.path());
}

TEST_F(Dir_view_test, up_with_no_folder_shown_does_nothing) {
  m_view->go_up();
  EXPECT_TRUE(m_view->current_dir().empty());
  EXPECT_TRUE(m_view->history().entries().empty());
  EXPECT_TRUE(m_view->recent_dirs().empty());
  EXPECT_TRUE(m_scans.empty());
}

// Exposes the browser's own look-up of the line under a point.
struct Probe : Dir_view {
  using Dir_view::Dir_view;
  int line_at(int y) { return lineno(find_item(y)); }
};

void click(Fl_Widget& widget, int y, int clicks) {
  Fl::e_x = widget.x() + 20;
  Fl::e_y = y;
  Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
  Fl::e_state = FL_BUTTON1;
  Fl::e_is_click = 1;
  Fl::e_clicks = clicks;
  widget.handle(FL_PUSH);
  Fl::e_state = 0;
  widget.handle(FL_RELEASE);
}

TEST_F(Dir_view_test, single_click_selects_and_double_click_enters) {
  m_window->remove(m_view);
  delete m_view;
  auto* probe = new Probe(0, 50, 400, 350);
  m_window->add(probe);
  m_view = probe;
  m_view->type(FL_HOLD_BROWSER);
  m_view->attach(m_menu, m_location);
  m_window->show();
  m_view->go_to(m_dir.path(), true, true);
  m_window->redraw();
  Fl::flush();
  int row = 0;
  for (int y = m_view->y(); y < m_view->y() + m_view->h() && !row; ++y)
    if (probe->line_at(y) == line_of("sub/")) row = y;
  ASSERT_GT(row, 0);
  click(*m_view, row, 0);
  EXPECT_EQ(m_view->selected_dir(), m_dir.path() + "sub/");
  EXPECT_TRUE(m_menu->active("&File/Delete Directory"));
  EXPECT_EQ(m_view->current_dir(), m_dir.path());
  click(*m_view, row, 1);
  EXPECT_EQ(m_view->current_dir(), m_dir.path() + "sub/");
  EXPECT_EQ(Fl::event_clicks(), -1);
  m_window->hide();
}

TEST_F(Dir_view_test, nine_recent_folders_keep_eight_in_order_each_one_item) {
  Folders names = {"a", "b&c", "bc", "d\\e", "f%s", "g h", "i/j", "k", "l"};
  Folders folders;
  for (const std::string& n : names) folders.push_back("/x/" + n + "/");
  for (const std::string& f : folders) m_view->add_recent_folder(f.substr(0, f.size() - 1));
  const Folders expected(folders.begin() + 1, folders.end());
  EXPECT_EQ(m_view->recent_dirs().entries(), expected);
  Folders labels;
  for (const std::string& f : expected) labels.push_back(folder_menu_label(f));
  EXPECT_EQ(m_menu->recent_labels(), labels);
  m_view->add_recent_folder(expected[3]);
  EXPECT_EQ(m_menu->recent_labels(), labels);
}

TEST_F(Dir_view_test, recent_items_show_the_folder_as_it_is) {
  // The toolkit draws '@' as the start of a symbol and '&' as a shortcut mark: each item
  // must take the room of its folder written out as plain text.
  const Folders folders = {"/x/a@b/", "/x/@c/", "/x/d@@e/", "/x/f&g/", "/x/h&&i@/"};
  for (const std::string& f : folders) m_view->add_recent_folder(f);
  fl_font(m_menu->textfont(), m_menu->textsize());
  for (int i = 0; i < static_cast<int>(folders.size()); ++i) {
    SCOPED_TRACE(folders[i]);
    int h = 0;
    const int shown = m_menu->recent_item(i)->measure(&h, m_menu);
    int plain = 0;
    fl_measure(folders[i].c_str(), plain, h, 0);  // no symbols, no shortcut marks
    EXPECT_EQ(shown, plain);
  }
}

TEST_F(Dir_view_test, menu_built_by_add_keeps_one_item_per_folder) {
  // Such a menu owns and frees its texts itself (no static table behind it).
  Fl_Menu_Bar menu(0, 0, 100, 20);
  menu.add("&File/Recent Directories", 0, nullptr, nullptr, FL_SUBMENU);
  menu.add("&File/&Quit", 0, nullptr);
  {
    Dir_view view(0, 0, 100, 100);
    view.attach(&menu, nullptr);
    for (int i = 0; i < 10; ++i) view.add_recent_folder("/m&" + std::to_string(i));
    const int sub = menu.find_index("&File/Recent Directories");
    Folders labels;
    for (const Fl_Menu_Item* item = &menu.menu()[sub + 1]; item->label(); ++item)
      labels.push_back(item->label());
    Folders expected;
    for (int i = 2; i < 10; ++i) expected.push_back("/m&&" + std::to_string(i) + "/");
    EXPECT_EQ(labels, expected);
  }
  EXPECT_EQ(menu.find_index("&File/&Quit"), menu.find_index("&File/Recent Directories") + 2);
}

TEST_F(Dir_view_test, recent_item_goes_to_its_folder) {
  m_view->add_recent_folder(m_dir.file("P"));
  m_view->add_recent_folder(m_dir.file("100%s"));
  m_menu->picked(m_menu->recent_item(1));
  EXPECT_EQ(m_view->current_dir(), dir("100%s"));
  EXPECT_EQ(m_view->history().entries(), Folders{dir("100%s")});
  EXPECT_EQ(m_view->recent_dirs().entries(), (Folders{dir("P"), dir("100%s")}));
}

TEST_F(Dir_view_test, recent_folder_gone_is_reported_and_kept) {
  Scripted_messages messages;
  const std::string gone = m_dir.path() + "gone%s%n/";
  m_view->add_recent_folder(gone);
  m_menu->picked(m_menu->recent_item(0));
  EXPECT_EQ(messages.alerts, Folders{"Directory " + gone + " is not accessible!"});
  EXPECT_TRUE(m_view->current_dir().empty());
  EXPECT_EQ(m_view->recent_dirs().entries(), Folders{gone});
}

TEST_F(Dir_view_test, recent_folders_and_last_folder_survive_a_restart) {
  Folders folders;
  for (int i = 0; i < 9; ++i) folders.push_back("/r" + std::to_string(i) + "/");
  for (const std::string& f : folders) m_view->add_recent_folder(f);
  m_view->go_to(m_dir.file("Q"), false, true);
  {
    auto store = open_store();
    m_view->save_state(*store);
  }
  Folder_menu menu;
  Dir_view view(0, 0, 100, 100);
  view.attach(&menu, nullptr);
  auto store = open_store();
  view.read_recent(*store);
  EXPECT_EQ(view.recent_dirs().entries(), Folders(folders.begin() + 1, folders.end()));
  EXPECT_EQ(menu.recent_labels(), Folders(folders.begin() + 1, folders.end()));
  EXPECT_TRUE(menu.active("&File/Recent Directories"));
  EXPECT_TRUE(view.restore_last_folder(*store));
  EXPECT_EQ(view.current_dir(), dir("Q"));
  EXPECT_EQ(view.history().entries(), Folders{dir("Q")});
  // The restored folder joins the recent folders, dropping the oldest.
  EXPECT_EQ(view.recent_dirs().entries().back(), dir("Q"));
}

TEST_F(Dir_view_test, destruction_stores_nothing) {
  {
    Dir_view other(0, 0, 100, 100);
    other.go_to(m_dir.file("P"), false, true);
  }
  auto store = open_store();
  Fl_Preferences group(*store, "LastVisitedDir");
  EXPECT_FALSE(group.entryExists("LVD"));
}

TEST_F(Dir_view_test, menu_deleted_before_the_view_is_not_touched) {
  m_view->add_recent_folder("/a/");
  m_window->remove(m_menu);
  delete m_menu;
  m_menu = nullptr;
  m_view->add_recent_folder("/b/");
  m_view->go_to(m_dir.path(), false, true);
  EXPECT_EQ(m_view->recent_dirs().entries(), (Folders{"/a/", "/b/"}));
}

}  // namespace
