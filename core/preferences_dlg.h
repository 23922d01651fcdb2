// The preferences dialog: shows the group "Preferences" of the store and writes it back
// on Save. Gamma and thumbnail scale are read through accessors that return the values
// last loaded or saved; every other setting is read from the dialog's widgets at the
// moment of use (so an edit left by Cancel counts until the dialog is shown again).
#pragma once
#include <FL/Fl_Double_Window.H>

#include <string>

#include "core/display_gamma.h"

class Fl_Check_Button;
class Fl_Choice;
class Fl_Button;
class Fl_Return_Button;
class Fl_Value_Slider;

/// Indices of the eight integer settings, in the order of their keys in the file.
enum Preference_key {
  k_pref_cache_thumbnails,
  k_pref_prompt_on_delete,
  k_pref_prompt_when_closing,
  k_pref_prompt_on_overwrite,
  k_pref_exposure_steps,
  k_pref_open_as,
  k_pref_thumbnail_size,
  k_pref_resize_method,
  k_pref_int_count
};

/// The keys of group "Preferences" in the order they are written; "Gamma" last.
extern const char* const k_preference_keys[k_pref_int_count + 1];
inline constexpr const char* k_preferences_group = "Preferences";

/// Range of the monitor gamma the dialog can show and store.
inline constexpr float k_gamma_min = 1.0f;
inline constexpr float k_gamma_max = 3.0f;
inline constexpr int k_gamma_steps_per_unit = 10;  // slider step 0.1

class PreferencesDlg : public Fl_Double_Window {
 public:
  /// Builds the widgets and loads the settings from g_preferences (defaults when there is
  /// no store). Also becomes the source of display_gamma().
  PreferencesDlg(int w, int h, const char* title);
  ~PreferencesDlg() override;

  /// Sets every widget from the current values, then shows the window: edits left by an
  /// earlier Cancel are dropped.
  void show() override;

  /// The gamma last loaded or saved (not the slider while it moves).
  float gamma() const { return m_gamma; }
  /// From the saved thumbnail size: Large 1.0, Medium 0.75, Small 0.5.
  float thumbnail_scale() const;

  // Widget readers: the widget's value now, saved or not.
  bool cache_thumbnails() const;
  bool prompt_on_delete() const;
  bool prompt_when_closing() const;
  bool prompt_on_overwrite() const;
  /// "Exposure steps:" item: 0 "1/5 F-stops" ... 4 "5 F-stops" (-1: none chosen).
  int exposure_steps() const;
  /// "Open image as:" item: 0 "Fit Window", 1 "Original Size" (-1: none chosen).
  int open_as() const;
  /// "Resize method:" item: 0 "Nearest", 1 "Linear", 2 "Bi-cubic" (-1: none chosen).
  int resize_method() const;

  /// Current members from the defaults, then from the store (values out of the widgets'
  /// range are brought into range), then every widget from the members.
  void load_settings();
  /// Current members from the widgets, the nine keys into the store in key order, then
  /// hides the window. The file itself is written when the root store is destroyed.
  void save_settings();
  /// Every widget to the defaults; members and store unchanged until Save.
  void set_defaults_cb();
  /// Asks, then deletes the cached thumbnails of the user-data folder.
  void clear_cache();

  /// The saved integer setting (tests and callers that need the stored value).
  int saved(Preference_key key) const { return m_current[key]; }

  // The widgets, for callers that read them directly and for tests.
  Fl_Check_Button* delete_prompt_button = nullptr;
  Fl_Check_Button* closing_prompt_button = nullptr;
  Fl_Check_Button* overwrite_prompt_button = nullptr;
  Fl_Check_Button* linearize_button = nullptr;
  Fl_Choice* exposure_steps_choice = nullptr;
  Fl_Choice* open_as_choice = nullptr;
  Fl_Choice* resize_method_choice = nullptr;
  Fl_Choice* thumbnail_size_choice = nullptr;
  Fl_Check_Button* cache_thumbnails_button = nullptr;
  Fl_Button* clear_cache_button = nullptr;
  Fl_Value_Slider* gamma_slider = nullptr;
  Fl_Button* set_defaults_button = nullptr;
  Fl_Button* cancel_button = nullptr;
  Fl_Return_Button* save_button = nullptr;

 private:
  void make_window();
  void set_widgets(const int* ints, float gamma);

  static constexpr int k_defaults[k_pref_int_count] = {1, 1, 1, 1, 1, 0, 0, 1};
  static constexpr float k_default_gamma = k_default_display_gamma;
  int m_current[k_pref_int_count] = {1, 1, 1, 1, 1, 0, 0, 1};
  float m_gamma = k_default_gamma;
};

/// The program's preferences dialog; main creates it, tests create their own.
extern PreferencesDlg* g_preferences_dialog;

/// "Ask confirmation when overwriting existing images" of g_preferences_dialog now; on
/// without a dialog. Every command that may replace an existing image file reads it here.
bool ask_before_overwriting();

/// Deletes every file of folder whose extension is exactly ".jpg" (the cached thumbnails
/// and the scratch "temp.jpg"); other files, ".JPG" and folders stay. An empty folder
/// name (no user-data folder) deletes nothing. Returns the number of files removed.
int clear_thumbnail_cache(const std::string& folder);
