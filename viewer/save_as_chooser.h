// The one "Save File As..." chooser: a file chooser in create mode whose format list
// depends on the source. It saves a viewer's image (from the viewer's Save As) or a file
// of the browser (from the main window's Save As) under a new name and format.
#pragma once
#include <FL/Fl_File_Chooser.H>

#include <cstdint>
#include <string>

class Fl_Widget;
class ImageDialogDrv;

class SaveAsChooser : public Fl_File_Chooser {
 public:
  /// The chooser on ".", in create mode, titled "Save File As...", with filter until the
  /// first show_for; the toolkit's custom-filter entry gets an empty label.
  explicit SaveAsChooser(const char* filter);
  ~SaveAsChooser();
  SaveAsChooser(const SaveAsChooser&) = delete;
  SaveAsChooser& operator=(const SaveAsChooser&) = delete;

  /// Offers the formats for a source of that type code (only the HDR formats for an HDR
  /// type), preselects the source's own format, opens on path's folder and shows the
  /// chooser. viewer null: the source is the file at path.
  void show_for(ImageDialogDrv* viewer, uint32_t type, const std::string& path);

  /// The chooser's callback: once OK (or Enter) ends the choice, completes the name,
  /// asks before overwriting (when the preference says so) and writes the file. A
  /// failed load or write is alerted and saves nothing; the viewer then keeps its name
  /// and its changes.
  void on_ok();

  /// Completes path for the selected format (its extension appended unless the typed
  /// one fits) and gives the format's type code; false when the selected entry names no
  /// format.
  bool output_path_and_type(std::string& path, uint32_t& type);

  // The source of the last show_for, for tests.
  ImageDialogDrv* viewer() const;
  uint32_t source_type() const { return m_source_type; }
  const std::string& source_path() const { return m_source_path; }
  bool source_is_hdr() const { return m_source_hdr; }

 private:
  static void ok_cb(Fl_File_Chooser* chooser, void* self);
  void watch_viewer(ImageDialogDrv* viewer);
  std::string chosen_path();
  /// Saves the viewer's image (false when the viewer is gone); throws when it cannot.
  bool save_viewer_image(ImageDialogDrv* viewer, const std::string& path, uint32_t type);
  /// Saves the source file's image under path as type; throws when it cannot.
  void save_source_file(const std::string& source, uint32_t source_type, const std::string& path,
                        uint32_t type);

  // The viewer, watched by the toolkit: null once the viewer has been deleted.
  Fl_Widget* m_viewer = nullptr;
  bool m_from_viewer = false;
  uint32_t m_source_type = 9;  // a new HDR image until the first show_for
  std::string m_source_path;
  bool m_source_hdr = true;
  bool m_saving = false;  // a save runs and serves events: a second OK waits for it
};

/// The program's chooser, built by start-up.
extern SaveAsChooser* g_save_as_chooser;
