// How long jobs report their progress and learn of a cancel, without knowing the window.
// The program backs it with ProgressDialog; tests back it with a recorder.
#pragma once

/// One bar for the current phase and an optional overall bar for batches. Labels are
/// pointers to text that outlives the job (string literals); they are not copied.
class Progress {
 public:
  virtual ~Progress() = default;
  /// Starts a phase: the bar runs from minimum to maximum and shows value; clears a cancel.
  virtual void start(float value, float minimum, float maximum, const char* label) = 0;
  /// Moves the bar (a null label keeps the phase's); returns 0, or -1 once the user has
  /// cancelled, after which the job ends.
  virtual int update(float value, const char* label = nullptr) = 0;
  /// Shows the overall bar of a batch.
  virtual void show_overall(float value, float minimum, float maximum, const char* label) = 0;
  /// Moves the overall bar (a null label keeps the one it has).
  virtual void update_overall(float value, const char* label = nullptr) = 0;
  /// Hides the overall bar again.
  virtual void hide_overall() = 0;
};

/// Reports nowhere and never cancels: for jobs run without a window.
class Silent_progress : public Progress {
 public:
  void start(float, float, float, const char*) override {}
  int update(float, const char*) override { return 0; }
  void show_overall(float, float, float, const char*) override {}
  void update_overall(float, const char*) override {}
  void hide_overall() override {}
};
