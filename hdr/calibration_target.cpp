// The register of existing calibration targets (see the header).
#include "hdr/calibration_target.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<const Calibration_target*>& targets() {
  static std::vector<const Calibration_target*> list;
  return list;
}

}  // namespace

Calibration_target::Calibration_target() { targets().push_back(this); }

Calibration_target::~Calibration_target() {
  auto& list = targets();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

bool Calibration_target::exists(const Calibration_target* target) {
  if (!target) return false;
  const auto& list = targets();
  return std::find(list.begin(), list.end(), target) != list.end();
}
