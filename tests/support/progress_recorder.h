// A progress sink for tests: records every call and cancels on request.
#pragma once
#include <string>
#include <vector>

#include "hdr/progress.h"

class Progress_recorder : public Progress {
 public:
  struct Call {
    std::string what;  // "start", "update", "show_overall", "update_overall", "hide_overall"
    float value = 0, minimum = 0, maximum = 0;
    std::string label;  // empty for a null label
  };

  void start(float value, float minimum, float maximum, const char* label) override;
  int update(float value, const char* label = nullptr) override;
  void show_overall(float value, float minimum, float maximum, const char* label) override;
  void update_overall(float value, const char* label = nullptr) override;
  void hide_overall() override;

  /// Labels of the start calls, in order.
  std::vector<std::string> phases() const;

  std::vector<Call> calls;
  /// update returns -1 from the update with this 1-based number on (0: never), as if
  /// "Cancel" had been pressed just before it; the next start clears it.
  int cancel_at_update = 0;

 private:
  int m_updates = 0;
  bool m_cancelled = false;
};
