// The objects that exist before main runs. They live in this one file because their
// order matters: they are built top to bottom and destroyed in reverse at exit, so the
// preferences store (last) writes its file before the others go.
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>

#include <cstdint>
#include <vector>

#include "core/app_globals.h"
#include "core/preferences.h"
#include "resources/embedded.h"

namespace {

constexpr int k_about_width = 420, k_about_height = 315, k_about_depth = 4;
constexpr std::size_t k_about_bytes = std::size_t(k_about_width) * k_about_height * k_about_depth;

// A missing or mis-sized picture is shown as transparent rather than read out of bounds.
const unsigned char* about_pixels() {
  static const unsigned char k_blank[k_about_bytes] = {};
  const Embedded_file* file = find_embedded_file("about.rgba");
  return file && file->size == k_about_bytes ? file->data : k_blank;
}

}  // namespace

std::vector<Fl_Window*> g_closed_viewers;
Fl_RGB_Image g_about_picture(about_pixels(), k_about_width, k_about_height, k_about_depth);
Preferences g_preferences_store(Fl_Preferences::USER, k_preferences_vendor,
                                k_preferences_application);

namespace {
// Installed at once, so that nothing built later finds the store missing.
const bool k_store_installed = (g_preferences = &g_preferences_store, true);
}  // namespace
