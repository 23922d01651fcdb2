// The settings store: one FLTK preferences file per user, and the user-data folder
// beside it (thumbnail cache, icon files).
#pragma once
#include <FL/Fl_Preferences.H>

#include <functional>
#include <string>

/// The store and its groups. The root is built once (by main) as
/// Preferences(Fl_Preferences::USER, k_preferences_vendor, k_preferences_application);
/// its destruction writes the file when anything changed. Groups are built on the stack
/// as Preferences(root, "name") for one read or write.
class Preferences : public Fl_Preferences {
 public:
  using Fl_Preferences::Fl_Preferences;
  virtual ~Preferences() {}
};

/// The vendor folder and application name of the preferences file:
/// $HOME/.fltk/veltrum.org/veltrum.prefs, user data in $HOME/.fltk/veltrum.org/veltrum/.
inline constexpr const char* k_preferences_vendor = "veltrum.org";
inline constexpr const char* k_preferences_application = "veltrum";

/// The root store; main creates it before anything reads settings, tests create their own.
/// nullptr until then.
extern Preferences* g_preferences;

/// The user-data folder of the root store, ending in '/' (FLTK creates it when missing).
/// Empty when there is no root store or the path cannot be obtained whole: callers must
/// treat empty as "no folder" and never fall back to a relative or shortened path.
std::string user_data_folder();

/// The user-data folder of any root store built with the given vendor and application.
std::string user_data_folder(Fl_Preferences& root, const std::string& vendor,
                             const std::string& application);

/// The checking behind user_data_folder, with FLTK's call as a seam: get_path(buffer,
/// size) fills buffer like Fl_Preferences::getUserdataPath. FLTK shortens a path that does
/// not fit at the last '.' of what fits, which can name a parent folder (even HOME); a
/// result is accepted only when it ends in "/<vendor>/<application>/" and the preferences
/// file path it comes from fitted the buffer. The buffer grows up to max_size; beyond
/// that the result is empty. Start with a buffer that fits: FLTK creates whatever folder
/// a shortened path names.
std::string checked_user_data_path(const std::function<bool(char*, int)>& get_path,
                                   const std::string& vendor, const std::string& application,
                                   int max_size = 1 << 16, int first_size = 256);
