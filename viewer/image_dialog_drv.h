// The viewer window's behaviour: one window per open image, which it owns; it shows the
// image through an exposure factor and a zoom, reads out pixels, keeps a selection and
// one level of undo, and is deleted by the next viewer built after it was closed.
#pragma once
#include <FL/Enumerations.H>

#include <cstdint>
#include <memory>
#include <string>

#include "hdr/calibration_target.h"
#include "viewer/image_dialog.h"

class Hdr_image;
struct Fl_Menu_Item;
struct Viewer_display;

/// Bits of a viewer's change word; the same values name the kinds of save_undo.
enum ViewerChange : uint32_t {
  k_change_flipped = 1,
  k_change_rotated = 2,
  k_change_resized = 4,
  k_change_cropped = 8,
  k_change_calibrated = 16,
  k_change_new_image = 32,  // no file yet: Save asks for a name
};

// Also the target of calibration, which reaches it through the interface HDR processing owns.
class ImageDialogDrv : public ImageDialog, public Calibration_target {
 public:
  /// Builds the window, then deletes the closed viewers whose actions have all ended.
  ImageDialogDrv(int w, int h, const char* title);
  ~ImageDialogDrv() override;
  /// Viewers constructed and not yet deleted: shown, hidden or waiting on the closed list.
  static int live_count();

  int handle(int event) override;
  void draw() override;
  void resize(int x, int y, int w, int h) override;

  // Actions of the menu.
  void selection_to_image(const int in[4], int out[4]) override;
  void selection_to_box(const int in[4], int out[4]) override;
  void tonemap() override;
  void pseudo_color() override;
  void close() override;
  void save() override;
  void save_as() override;
  void rotate(int angle) override;
  void flip(char axis) override;
  void resize_image() override;
  void crop(int from_selection) override;
  void next_image(int forward) override;
  void exposure(int step) override;
  void zoom(int mode) override;
  void image_info() override;
  void image_stats() override;
  void pixel_info() override;
  void undo() override;
  void redo() override;
  void fullscreen() override;
  void calibrate() override;
  void show_on_hdr_display() override;
  void histogram() override;

  // Used by the rest of the program.
  /// Takes the image; sizes the window for it (w = h = 0: to the image, scaled down to the
  /// screen's work area; otherwise w x h) and shows it through update_view.
  void set_image(std::unique_ptr<Hdr_image> image, const std::string& path, const std::string& name,
                 const std::string& directory, int w, int h);
  /// The viewer's image, still owned by it; its pixels are multiplied by exposure_factor().
  Hdr_image* get_image() override { return m_image.get(); }
  void set_modified(uint32_t bits) override;
  void clear_modified(uint32_t bits);
  uint32_t modified_flags() const { return m_changes; }
  std::string get_path() const { return m_path; }
  std::string get_name() const { return m_name; }
  std::string get_directory() const { return m_directory; }
  /// The image's type code (k_type_new_hdr while there is no image).
  uint32_t get_file_type() const;
  /// Pixel (x, y) with the exposure divided out; x and y must lie inside the image.
  void get_pixel(int x, int y, float& r, float& g, float& b) const override;
  /// Recomputes and shows the display of the image.
  void update_view() override;
  /// Records the undo step of an edit made from outside: kind a ViewerChange bit, 1 a flip
  /// (argument the axis), 2 a rotation (the angle), 4, 8, 16 copy the image first.
  void save_undo(uint32_t kind, int argument) override;
  /// Writes the image to path as type with the exposure divided out; on success the
  /// change word becomes 0, the title loses its " +" and the grid hears of the file. A
  /// failed write is alerted and leaves the change word, the title and the old file as
  /// they were; returns whether the file was written.
  bool save_to(const std::string& path, uint32_t type);
  /// After the save-as chooser wrote the image to path.
  void after_save_as(const std::string& path);
  bool closing_after_save() const { return m_closing_after_save; }
  /// Hides the window, frees its display pictures and lists it for deletion (once).
  void close_window();
  /// False once closed (or without an image): calibration then changes nothing.
  bool calibration_open() const override;

  // State, for the dialogs that act on a viewer and for tests.
  /// The factor the pixels are multiplied by now; divide it out to get file values.
  float exposure_factor() const { return m_exposure; }
  float default_exposure() const { return m_default_exposure; }
  float zoom_factor() const { return m_zoom; }
  int zoom_mode() const { return m_zoom_mode; }
  bool selection_shown() const { return m_selection_shown; }
  /// The selection (x0, y0, x1, y1) in window coordinates.
  void selection(int out[4]) const;
  bool pixel_info_shown() const { return m_pixel_info; }
  bool calibrate_pending() const { return m_calibrate_pending; }
  bool resize_pending() const { return m_resize_pending; }
  Fl_Cursor current_cursor() const { return m_cursor; }
  bool undo_available() const { return m_undo_available; }
  bool redo_available() const { return m_redo_available; }
  /// True while one of this viewer's actions runs (they pump events); a closed viewer is
  /// not deleted then.
  bool action_running() const { return m_action_depth > 0; }
  /// The item of this viewer's menu at path ("&View/Fit Window"), or nullptr.
  Fl_Menu_Item* menu_item(const char* path) const;

 private:
  friend class ImageScroll;
  /// Counts a running action for the life of the object.
  class Action_scope {
   public:
    explicit Action_scope(ImageDialogDrv& v) : m_v(v) { ++m_v.m_action_depth; }
    ~Action_scope() { --m_v.m_action_depth; }
    Action_scope(const Action_scope&) = delete;
    Action_scope& operator=(const Action_scope&) = delete;

   private:
    ImageDialogDrv& m_v;
  };

  /// What the question about unsaved changes (asked only when the change word is not 0
  /// and the preference says so) decided: go on (saved, not to be saved, or not asked),
  /// cancel (also a save that failed), or the save-as chooser was shown to save first.
  enum class Unsaved_answer { go_on, cancel, saving_as };
  /// Asks question ("Save changes before ...?") when the viewer holds unsaved changes.
  Unsaved_answer ask_about_changes(const char* question);
  /// How "Save" stores the image: written back to its file, through the save-as chooser
  /// (a new result, a read-only format, or a file whose rewrite would lose what it holds
  /// when the user chose "Save As..."), or not at all (that question cancelled).
  enum class Save_route { write, save_as, cancel };
  Save_route save_route();
  /// Replaces the image by the grid's file after (forward) or before from; nothing when
  /// there is none or it cannot be read (alerted).
  void step_to_neighbour(const std::string& from, bool forward);
  void update_title();
  /// After a successful save: the change word and the edit marks start from the file.
  void mark_saved();
  void reset_file_state();
  void resync_menu();
  /// crop(1): the image becomes the part under the shown selection (one undo step).
  void crop_to_selection();
  /// crop(0): the crop dialog's set-up for this viewer, which shows the dialog.
  void specify_crop_region();
  /// Undoes the recorded step and switches Undo off and Redo on; false when nothing ran
  /// (no record, no copy, or the same kind of edit still running).
  bool undo_step();
  void set_item_active(const char* path, bool active);
  void set_hdr_items(bool hdr);
  void set_zoom_radio(int mode);
  void update_readout();
  bool pointer_in_image_area() const;
  void image_pixel_under_pointer(int& ix, int& iy) const;
  void apply_first_display_exposure();
  float fit_scale_for_scroll(uint32_t iw, uint32_t ih) const;
  void show_whole_image(int zw, int zh, int interpolation);
  void free_display_picture();
  static void resize_timeout(void* viewer);
  void end_resize_wait();
  static void delete_closed_viewers();

  std::unique_ptr<Hdr_image> m_image;
  std::string m_path, m_name, m_directory;
  int m_zoom_mode = 1;
  float m_zoom = 1.f;
  float m_exposure = 1.f;
  float m_default_exposure = 1.f;
  bool m_first_display_done = false;
  uint32_t m_changes = 0;
  bool m_flip_vertical = false, m_flip_horizontal = false;
  int m_rotation_sum = 0;
  int m_sel_x0 = 0, m_sel_x1 = 0, m_sel_y0 = 0, m_sel_y1 = 0;
  bool m_selection_shown = false;
  bool m_drag_armed = true;
  bool m_pixel_info = false;
  bool m_pixel_info_left = true;
  std::unique_ptr<Hdr_image> m_undo_image;
  float m_undo_exposure = 1.f;  // the exposure the undo copy's pixels carry
  bool m_undo_available = false, m_redo_available = false;
  uint32_t m_undo_kind = 0;
  int m_undo_argument = 0;
  bool m_calibrate_pending = false;
  bool m_closing_after_save = false;
  // Next or Previous Image that waits for the save-as chooser to write the changes.
  static constexpr int k_no_step = -1, k_step_backward = 0, k_step_forward = 1;
  int m_step_after_save = k_no_step;
  bool m_resize_pending = false;
  bool m_in_set_image = false;
  std::unique_ptr<Viewer_display> m_display;
  Fl_Cursor m_cursor = FL_CURSOR_DEFAULT;
  int m_action_depth = 0;
  bool m_file_action = false;  // a save or Next/Previous Image runs (it pumps events)
};
