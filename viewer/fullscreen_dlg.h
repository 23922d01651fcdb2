// The full-screen view: one image alone on a black screen, scaled down to fit, stepping
// through the thumbnail grid's files with the arrow keys and brightened or darkened with
// '+' and '-'. Each "Fullscreen..." makes one; closing queues it with the closed viewers.
#pragma once
#include <FL/Fl_Double_Window.H>

#include <cstdint>
#include <memory>
#include <string>

class Fl_Box;
class Hdr_image;
struct Viewer_display;

class FullScreenDlg : public Fl_Double_Window {
 public:
  /// Takes the image (a copy the caller made); sized to the whole screen under the mouse
  /// pointer, black, its callback close_window. The caller then calls fullscreen(), show()
  /// and fit_and_show().
  FullScreenDlg(std::unique_ptr<Hdr_image> image, const std::string& path,
                const std::string& directory);
  ~FullScreenDlg() override;

  /// Right and Left step to the grid's next and previous file; '+' and '-' multiply and
  /// divide every value by 1.5; everything else (Escape closes) goes to the window.
  int handle(int event) override;

  /// Resamples the image in place (linear) to fit the window, never enlarging it, and shows
  /// it centred. A failure (memory) is alerted and closes the view.
  void fit_and_show();
  /// Converts the current image again and shows it in the same place.
  void redisplay();
  /// Replaces the image by the grid's next (forward 1) or previous (0) file, an HDR one at
  /// its own first-display exposure. Nothing happens when the file is not in the grid or
  /// has no neighbour that way; a file that cannot be read is alerted and the view keeps
  /// its image.
  void step_image(int forward);
  /// Hides the window, frees its picture, its image and its 8-bit display image, and lists
  /// it for deletion by the next viewer (once).
  void close_window();

  // State, for the viewer's list of closed windows and for tests.
  /// True while one of the window's own actions runs (they pump events): it is not
  /// deleted then.
  bool action_running() const { return m_action_depth > 0; }
  const Hdr_image* image() const { return m_image.get(); }  // null once closed
  /// Bytes of the 8-bit planar display image (0 once closed).
  uint64_t display_bytes() const;
  const std::string& path() const { return m_path; }
  const std::string& directory() const { return m_directory; }
  Fl_Box* image_box() const { return m_box; }

 private:
  /// Counts a running action for the life of the object.
  class Action_scope {
   public:
    explicit Action_scope(FullScreenDlg& w) : m_w(w) { ++m_w.m_action_depth; }
    ~Action_scope() { --m_w.m_action_depth; }
    Action_scope(const Action_scope&) = delete;
    Action_scope& operator=(const Action_scope&) = delete;

   private:
    FullScreenDlg& m_w;
  };

  static void close_cb(Fl_Widget* w, void* data);
  /// Multiplies (brighter) or divides every value by 1.5 unless that would make some value
  /// infinite or lose it to zero; then redisplays.
  void change_exposure(bool brighter);
  /// Converts the image into a new picture of the box; false when the image is empty.
  bool show_picture();
  void free_picture();

  std::unique_ptr<Hdr_image> m_image;
  std::unique_ptr<Viewer_display> m_display;  // 8-bit planar image, pixels and picture
  std::string m_path, m_directory;
  Fl_Box* m_box = nullptr;
  int m_action_depth = 0;
  bool m_stepping = false;  // a step serves events while the file is read
  bool m_closed = false;
};
