// The questions before quitting with unsaved viewers and before deleting (see the header).
#include "browser/quit_question.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <cstddef>

#include "core/messages.h"
#include "core/preferences_dlg.h"
#include "viewer/image_dialog_drv.h"

namespace {

// More names would make the question taller than a screen.
constexpr std::size_t k_names_shown = 10;

void append_names(std::string& text, const std::vector<std::string>& names) {
  for (std::size_t i = 0; i < names.size() && i < k_names_shown; ++i) text += "\n" + names[i];
  if (names.size() > k_names_shown) text += "\n\u2026";
}

}  // namespace

std::vector<std::string> unsaved_viewer_names() {
  std::vector<std::string> names;
  // Closed viewers are hidden and no longer listed by the toolkit.
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    if (const auto* viewer = dynamic_cast<const ImageDialogDrv*>(w))
      if (viewer->modified_flags() != 0) names.push_back(viewer->get_name());
  return names;
}

std::string unsaved_images_question(const std::vector<std::string>& names) {
  std::string text = names.size() == 1
                         ? std::string("1 image has unsaved changes:")
                         : std::to_string(names.size()) + " images have unsaved changes:";
  append_names(text, names);
  text += "\n\nQuit and lose these changes?";
  return text;
}

bool confirm_quit() {
  // A second Quit arriving while the question is open waits for its answer.
  static bool asking = false;
  if (asking) return false;
  if (g_preferences_dialog && !g_preferences_dialog->prompt_when_closing()) return true;
  const std::vector<std::string> names = unsaved_viewer_names();
  if (names.empty()) return true;
  asking = true;
  const int answer = ask_choice(unsaved_images_question(names), "Cancel", "Quit", nullptr,
                                Return_key::first_button);
  asking = false;
  return answer == 1;
}

std::string delete_images_question(const std::vector<std::string>& names) {
  std::string text = names.size() == 1 ? std::string("Delete 1 image?")
                                       : "Delete " + std::to_string(names.size()) + " images?";
  append_names(text, names);
  return text;
}
