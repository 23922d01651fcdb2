#include "tests/support/refusal.h"

#include "core/command_boundary.h"

std::string refusal_of(const std::function<void()>& work) {
  try {
    work();
  } catch (const Refusal& refusal) {
    return refusal.what();
  }
  return std::string();
}
