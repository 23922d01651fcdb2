// The main window over a scanned folder (see the header).
#include "tests/support/main_window_on_folder.h"

#include <gtest/gtest.h>

#include "browser/dir_view.h"
#include "browser/icon_view.h"
#include "browser/main_window_drv.h"

namespace {

void ignore_exit(int) {}

}  // namespace

Exit_ignored::Exit_ignored() : m_previous(set_exit_function(ignore_exit)) {}

Exit_ignored::~Exit_ignored() { set_exit_function(m_previous); }

void open_main_window_on(const std::string& folder, MainWindowDrv*& window) {
  window = new MainWindowDrv(920, 600, "veltrum");
  ASSERT_NE(g_dir_view, nullptr);
  ASSERT_NE(g_icon_view, nullptr);
  g_dir_view->go_to(folder, false, true);
  g_icon_view->load_directory(folder);
}
