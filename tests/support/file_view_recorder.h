// The browser as file-command tests see it: the one fake browser whose file answers
// record tile changes, a status bar of its own that records progress, and an event pump
// that records each step and may act there as served events would. One folder is taken
// as the grid's shown one.
#pragma once
#include <FL/Fl_Progress.H>

#include <string>
#include <utility>
#include <vector>

#include "core/event_pump.h"
#include "tests/support/fake_browser.h"

class File_view_recorder : public Fake_browser {
 public:
  explicit File_view_recorder(std::string shown_folder = {});
  ~File_view_recorder();

  /// Runs before the step with that index (0-based) is over, as events served there would.
  std::vector<std::pair<int, void (*)(void*)>> on_step;
  void* step_data = nullptr;

  std::string shown;                // folder taken as shown in the grid ("" none)
  std::vector<std::string> events;  // "begin 3 Copying...", "step 0", "added <path>", ...

 private:
  // The status bar: its showing and hiding are what the recorder sees of a progress.
  class Bar : public Fl_Progress {
   public:
    explicit Bar(File_view_recorder& owner);
    void show() override;
    void hide() override;

   private:
    File_view_recorder& m_owner;
  };

  bool in_shown_folder(const std::string& path) const;
  static void record_step();

  Bar* m_bar = nullptr;
  Fl_Progress* m_saved_bar = nullptr;
  Event_pump_fn m_saved_pump = nullptr;
};
