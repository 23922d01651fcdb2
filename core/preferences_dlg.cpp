#include "core/preferences_dlg.h"

#include <FL/Enumerations.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Value_Slider.H>
#include <FL/filename.H>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/dialog_callbacks.h"
#include "core/display_gamma.h"
#include "core/messages.h"
#include "core/preferences.h"

PreferencesDlg* g_preferences_dialog = nullptr;

const char* const k_preference_keys[k_pref_int_count + 1] = {
    "Cache_thumbnails",    "Prompt_on_delete", "Prompt_when_closing",
    "Prompt_on_overwrite", "Exposure_steps",   "Open_as",
    "Thumbnail_size",      "Resize_method",    "Gamma"};

namespace {

// Read fallback that marks a key as absent.
constexpr int k_absent = -999;
constexpr float k_absent_gamma = -999.0f;

// One plain choice item. Static tables keep '/' in labels as text ("1/5 F-stops"), where
// Fl_Menu_::add would take it for a submenu separator.
Fl_Menu_Item item(const char* text) {
  return {text, 0, nullptr, nullptr, 0, FL_NORMAL_LABEL, 0, 0, 0};  // 0: the choice's font
}
const Fl_Menu_Item k_end = item(nullptr);

const Fl_Menu_Item k_exposure_items[] = {item("1/5 F-stops"), item("1/3 F-stops"), item("1 F-stop"),
                                         item("3 F-stops"),   item("5 F-stops"),   k_end};
const Fl_Menu_Item k_open_as_items[] = {item("Fit Window"), item("Original Size"), k_end};
const Fl_Menu_Item k_thumbnail_items[] = {item("Large"), item("Medium"), item("Small"), k_end};
const Fl_Menu_Item k_resize_items[] = {item("Nearest"), item("Linear"), item("Bi-cubic"), k_end};

// The dialog that display_gamma() asks; the newest one built.
PreferencesDlg* g_gamma_owner = nullptr;
float owner_gamma() { return g_gamma_owner ? g_gamma_owner->gamma() : k_default_display_gamma; }

PreferencesDlg* dialog_of(Fl_Widget* w) { return static_cast<PreferencesDlg*>(w->window()); }

void cb_save(Fl_Widget* w, void*) { dialog_of(w)->save_settings(); }
void cb_set_defaults(Fl_Widget* w, void*) { dialog_of(w)->set_defaults_cb(); }
void cb_clear_cache(Fl_Widget* w, void*) { dialog_of(w)->clear_cache(); }

int item_count(const Fl_Menu_Item* items) {
  int n = 0;
  while (items[n].text) ++n;
  return n;
}

// The items of the choice that shows an integer setting; null for the check buttons.
const Fl_Menu_Item* items_of(int key) {
  switch (key) {
    case k_pref_exposure_steps:
      return k_exposure_items;
    case k_pref_open_as:
      return k_open_as_items;
    case k_pref_thumbnail_size:
      return k_thumbnail_items;
    case k_pref_resize_method:
      return k_resize_items;
    default:
      return nullptr;
  }
}

// A stored value the dialog cannot show: a check button is on for any non-zero value; a
// choice index beyond its items shows (and from now on means) the first item.
int into_range(int key, int value) {
  const Fl_Menu_Item* items = items_of(key);
  if (!items) return value != 0 ? 1 : 0;
  return (value >= 0 && value < item_count(items)) ? value : 0;
}

Fl_Choice* make_choice(int x, int y, int w, int h, const char* label, const Fl_Menu_Item* items) {
  auto* c = new Fl_Choice(x, y, w, h, label);
  c->down_box(FL_BORDER_BOX);
  c->copy(items);
  c->value(0);
  return c;
}

Fl_Check_Button* make_check(int x, int y, int w, int h, const char* label) {
  auto* b = new Fl_Check_Button(x, y, w, h, label);
  b->down_box(FL_DOWN_BOX);
  b->value(1);
  return b;
}

void make_heading(int x, int y, int w, int h, const char* label) {
  auto* b = new Fl_Box(x, y, w, h, label);
  b->box(FL_NO_BOX);
  b->labelfont(FL_BOLD);
  b->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
}

}  // namespace

PreferencesDlg::PreferencesDlg(int w, int h, const char* title) : Fl_Double_Window(w, h, title) {
  make_window();
  g_gamma_owner = this;
  set_display_gamma_source(owner_gamma);
}

PreferencesDlg::~PreferencesDlg() {
  if (g_gamma_owner == this) {
    g_gamma_owner = nullptr;
    set_display_gamma_source(nullptr);
  }
}

void PreferencesDlg::make_window() {
  begin();
  make_heading(10, 19, 80, 17, "General");
  {
    auto* frame = new Fl_Group(15, 51, 390, 85);
    frame->box(FL_ENGRAVED_FRAME);
    delete_prompt_button = make_check(16, 56, 302, 15, "Ask confirmation when deleting images");
    closing_prompt_button =
        make_check(16, 76, 362, 15, "Ask confirmation when closing modified images");
    closing_prompt_button->tooltip("Prompt when closing a modified image.");
    overwrite_prompt_button =
        make_check(16, 96, 384, 15, "Ask confirmation when overwriting existing images");
    linearize_button = make_check(16, 116, 324, 15, "Linearize LDR images when saving as HDR");
    frame->end();
  }
  make_heading(10, 173, 115, 17, "Image Viewer");
  exposure_steps_choice = make_choice(130, 196, 105, 25, "Exposure steps:", k_exposure_items);
  exposure_steps_choice->tooltip("Exposure increment/decrement steps when viewing images.");
  open_as_choice = make_choice(130, 225, 105, 25, "Open image as:", k_open_as_items);
  resize_method_choice = make_choice(130, 255, 105, 25, "Resize method:", k_resize_items);
  resize_method_choice->tooltip("Image resize method used to display images.");

  make_heading(320, 173, 115, 17, "Thumbnails");
  thumbnail_size_choice = make_choice(446, 196, 82, 25, "Thumbnail size:", k_thumbnail_items);
  cache_thumbnails_button = make_check(330, 228, 155, 15, "Cache thumbnails");
  cache_thumbnails_button->tooltip(
      "Generate and cache thumbnails of images which don't have their own thumbnails in the "
      "image file. Typically needed for faster thumbnail update of HDR images.");
  clear_cache_button = new Fl_Button(330, 255, 104, 25, "Clear cache");
  clear_cache_button->tooltip("Delete cached thumbnails.");
  clear_cache_button->callback(cb_clear_cache);

  gamma_slider = new Fl_Value_Slider(82, 287, 153, 25, "Gamma:");
  gamma_slider->type(FL_HOR_SLIDER);
  gamma_slider->tooltip("Gamma of your monitor. Required to display HDR images accurately.");
  gamma_slider->range(k_gamma_min, k_gamma_max);
  gamma_slider->step(1, k_gamma_steps_per_unit);  // as a fraction: 0.1f is not 0.1
  gamma_slider->value(k_default_gamma);
  gamma_slider->textsize(14);
  gamma_slider->align(FL_ALIGN_LEFT);

  set_defaults_button = new Fl_Button(4, 351, 93, 25, "Set Defaults");
  set_defaults_button->callback(cb_set_defaults);
  cancel_button = new Fl_Button(376, 351, 74, 25, "Cancel");
  cancel_button->callback(hide_parent_cb);
  save_button = new Fl_Return_Button(453, 351, 93, 25, "Save");
  save_button->callback(cb_save);

  load_settings();
  set_modal();
  end();
}

void PreferencesDlg::set_widgets(const int* ints, float gamma) {
  cache_thumbnails_button->value(ints[k_pref_cache_thumbnails] != 0);
  delete_prompt_button->value(ints[k_pref_prompt_on_delete] != 0);
  closing_prompt_button->value(ints[k_pref_prompt_when_closing] != 0);
  overwrite_prompt_button->value(ints[k_pref_prompt_on_overwrite] != 0);
  exposure_steps_choice->value(ints[k_pref_exposure_steps]);
  open_as_choice->value(ints[k_pref_open_as]);
  thumbnail_size_choice->value(ints[k_pref_thumbnail_size]);
  resize_method_choice->value(ints[k_pref_resize_method]);
  gamma_slider->value(gamma);
}

void PreferencesDlg::load_settings() {
  std::copy(std::begin(k_defaults), std::end(k_defaults), m_current);
  m_gamma = k_default_gamma;
  if (g_preferences) {
    Preferences group(*g_preferences, k_preferences_group);
    for (int k = 0; k < k_pref_int_count; ++k) {
      int v = k_absent;
      group.get(k_preference_keys[k], v, k_absent);
      if (v != k_absent) m_current[k] = into_range(k, v);
    }
    float g = k_absent_gamma;
    group.get(k_preference_keys[k_pref_int_count], g, k_absent_gamma);
    // A gamma the slider cannot show is brought to its range; one that is no number at
    // all (nan, inf) is taken as absent.
    if (g != k_absent_gamma && std::isfinite(g)) m_gamma = std::clamp(g, k_gamma_min, k_gamma_max);
  }
  set_widgets(m_current, m_gamma);
}

void PreferencesDlg::show() {
  set_widgets(m_current, m_gamma);
  Fl_Double_Window::show();
}

void PreferencesDlg::save_settings() {
  m_current[k_pref_cache_thumbnails] = cache_thumbnails_button->value() ? 1 : 0;
  m_current[k_pref_prompt_on_delete] = delete_prompt_button->value() ? 1 : 0;
  m_current[k_pref_prompt_when_closing] = closing_prompt_button->value() ? 1 : 0;
  m_current[k_pref_prompt_on_overwrite] = overwrite_prompt_button->value() ? 1 : 0;
  m_current[k_pref_exposure_steps] =
      into_range(k_pref_exposure_steps, exposure_steps_choice->value());
  m_current[k_pref_open_as] = into_range(k_pref_open_as, open_as_choice->value());
  m_current[k_pref_thumbnail_size] =
      into_range(k_pref_thumbnail_size, thumbnail_size_choice->value());
  m_current[k_pref_resize_method] = into_range(k_pref_resize_method, resize_method_choice->value());
  m_gamma = static_cast<float>(gamma_slider->value());
  if (g_preferences) {
    Preferences group(*g_preferences, k_preferences_group);
    for (int k = 0; k < k_pref_int_count; ++k) group.set(k_preference_keys[k], m_current[k]);
    group.set(k_preference_keys[k_pref_int_count], m_gamma);
  }
  hide();
}

void PreferencesDlg::set_defaults_cb() { set_widgets(k_defaults, k_default_gamma); }

void PreferencesDlg::clear_cache() {
  const int answer = ask_choice(
      "This will delete all cached thumbnails from the disk,\nand may result in slower loading "
      "times until thumbnails are cached again.\nDo you really want to clear the thumbnail "
      "cache?",
      "Don't clear", "Clear", nullptr);
  if (answer != 1) return;
  clear_thumbnail_cache(user_data_folder());
}

float PreferencesDlg::thumbnail_scale() const {
  switch (m_current[k_pref_thumbnail_size]) {
    case 1:
      return 0.75f;
    case 2:
      return 0.5f;
    default:
      return 1.0f;
  }
}

bool PreferencesDlg::cache_thumbnails() const { return cache_thumbnails_button->value() != 0; }
bool PreferencesDlg::prompt_on_delete() const { return delete_prompt_button->value() != 0; }
bool PreferencesDlg::prompt_when_closing() const { return closing_prompt_button->value() != 0; }
bool PreferencesDlg::prompt_on_overwrite() const { return overwrite_prompt_button->value() != 0; }
int PreferencesDlg::exposure_steps() const { return exposure_steps_choice->value(); }
int PreferencesDlg::open_as() const { return open_as_choice->value(); }
int PreferencesDlg::resize_method() const { return resize_method_choice->value(); }

int clear_thumbnail_cache(const std::string& folder) {
  // Without a whole user-data path nothing is touched: a shortened one could name a
  // folder of the user's own pictures.
  if (folder.empty() || folder.back() != '/') return 0;
  dirent** list = nullptr;
  const int n = fl_filename_list(folder.c_str(), &list, fl_alphasort);
  int removed = 0;
  for (int i = 0; i < n; ++i) {
    const char* name = list[i]->d_name;
    // Folders come back with a trailing '/', so "x.jpg/" never matches.
    if (std::strcmp(fl_filename_ext(name), ".jpg") == 0 &&
        std::remove((folder + name).c_str()) == 0)
      ++removed;
  }
  if (n > 0) fl_filename_free_list(&list, n);
  return removed;
}

bool ask_before_overwriting() {
  return !g_preferences_dialog || g_preferences_dialog->prompt_on_overwrite();
}
