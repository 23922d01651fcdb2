#include "tests/support/progress_recorder.h"

namespace {
std::string text(const char* label) { return label ? label : ""; }
}  // namespace

void Progress_recorder::start(float value, float minimum, float maximum, const char* label) {
  m_cancelled = false;
  calls.push_back({"start", value, minimum, maximum, text(label)});
}

int Progress_recorder::update(float value, const char* label) {
  calls.push_back({"update", value, 0, 0, text(label)});
  ++m_updates;
  if (cancel_at_update != 0 && m_updates == cancel_at_update) m_cancelled = true;
  return m_cancelled ? -1 : 0;
}

void Progress_recorder::show_overall(float value, float minimum, float maximum, const char* label) {
  calls.push_back({"show_overall", value, minimum, maximum, text(label)});
}

void Progress_recorder::update_overall(float value, const char* label) {
  calls.push_back({"update_overall", value, 0, 0, text(label)});
}

void Progress_recorder::hide_overall() { calls.push_back({"hide_overall", 0, 0, 0, ""}); }

std::vector<std::string> Progress_recorder::phases() const {
  std::vector<std::string> out;
  for (const auto& c : calls)
    if (c.what == "start") out.push_back(c.label);
  return out;
}
