#include "resources/embedded.h"

namespace veltrum_resources_detail {
extern const Embedded_file k_files[];
}

const Embedded_file* find_embedded_file(const std::string& name) {
  for (const Embedded_file* f = veltrum_resources_detail::k_files; f->name; ++f)
    if (name == f->name) return f;
  return nullptr;
}
