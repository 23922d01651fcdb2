// The main window's status-bar progress bar as batch file jobs drive it: shown over a
// count of files while the job runs, hidden again however the job ends.
#pragma once

/// Shows the bar (when the main window has one) with range 0..count, value 0 and the
/// label (not copied: a literal); hides it on destruction.
class Status_progress {
 public:
  Status_progress(int count, const char* label);
  ~Status_progress();
  Status_progress(const Status_progress&) = delete;
  Status_progress& operator=(const Status_progress&) = delete;

  /// The range becomes 0..count, redrawn: for a job that learns its size after it began.
  void range(int count);
  /// Value index, redrawn, then pending events served.
  void step(int index);
};
