#include "core/display_gamma.h"

namespace {
Gamma_source_fn g_source = nullptr;
}  // namespace

float display_gamma() { return g_source ? g_source() : k_default_display_gamma; }

Gamma_source_fn set_display_gamma_source(Gamma_source_fn fn) {
  Gamma_source_fn previous = g_source;
  g_source = fn;
  return previous;
}
