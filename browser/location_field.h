// The location field above the thumbnails: shows the current folder and goes to a folder
// typed into it when Enter is pressed.
#pragma once
#include <FL/Fl_Input.H>

class Dir_view;

class Location_field : public Fl_Input {
 public:
  Location_field(int x, int y, int w, int h, const char* label = nullptr);

  /// After the input's own handling, Enter goes to the typed path.
  int handle(int event) override;

  /// Goes to the typed folder, made absolute against the working folder and normal;
  /// a folder that cannot be listed gets the "does not exist!" message and changes
  /// nothing. An empty field does nothing.
  void go_to_typed_path();

  /// The folder list to drive; g_dir_view when none is set.
  void set_target(Dir_view* view) { m_target = view; }

 private:
  Dir_view* m_target = nullptr;
};

/// The main window's location field, set by its builder.
extern Location_field* g_location_field;
