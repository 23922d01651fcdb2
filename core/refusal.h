// The one exception type of work that refuses its input. Algorithms throw it without
// knowing the windows; the command boundary (core/command_boundary.h) alerts its text.
#pragma once
#include <stdexcept>
#include <string>

/// Work that refuses its input (no exposure time, images of different sizes...). The
/// text is the user's message as it stands: every command alerts it unchanged.
class Refusal : public std::runtime_error {
 public:
  explicit Refusal(const std::string& text) : std::runtime_error(text) {}
};
