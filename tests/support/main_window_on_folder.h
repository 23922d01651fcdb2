// The program's main window for window tests: built over a folder whose tiles are
// scanned, with the program's exit held off while it lives.
#pragma once
#include <string>

#include "browser/program_exit.h"

class MainWindowDrv;

/// Replaces the program's exit with a no-op for the life of the object: deleting the
/// main window quits through it.
class Exit_ignored {
 public:
  Exit_ignored();
  ~Exit_ignored();
  Exit_ignored(const Exit_ignored&) = delete;
  Exit_ignored& operator=(const Exit_ignored&) = delete;

 private:
  Exit_fn m_previous;
};

/// Builds the main window (920 x 600) into window, goes to folder in its folder list (no
/// history entry) and scans folder into its grid. Fatal failures when the window makes no
/// folder list or grid: call it inside ASSERT_NO_FATAL_FAILURE.
void open_main_window_on(const std::string& folder, MainWindowDrv*& window);
