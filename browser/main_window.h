// The browser window's builder: the menu bar, the location bar with its four navigation
// buttons, the drive and folder lists, the thumbnail grid and the status line. The
// twenty menu actions are declared here and implemented by MainWindowDrv.
#pragma once
#include <FL/Fl_Double_Window.H>

class Fl_Box;
class Fl_Button;
class Fl_Group;
class Fl_Widget;

class MainWindow : public Fl_Double_Window {
 public:
  /// Builds the window at (0, 0), placed by the window system, with every widget.
  MainWindow(int w, int h, const char* title);
  ~MainWindow() override;

  void resize(int x, int y, int w, int h) override;

  virtual void open_image() = 0;
  virtual void save_as() = 0;
  virtual void delete_images() = 0;
  virtual void rename_image() = 0;
  virtual void new_directory() = 0;
  virtual void delete_directory() = 0;
  virtual void quit() = 0;
  /// copy false: Cut; true: Copy.
  virtual void cut_copy(bool copy) = 0;
  virtual void paste() = 0;
  /// degrees: -90 (left) or 90 (right).
  virtual void rotate_images(int degrees) = 0;
  /// axis: 'y' (vertical flip) or 'x' (horizontal flip).
  virtual void flip_images(char axis) = 0;
  virtual void resize_images() = 0;
  virtual void crop_images() = 0;
  virtual void image_info() = 0;
  virtual void image_stats() = 0;
  virtual void histogram() = 0;
  virtual void show_on_hdr_display() = 0;
  virtual void tonemap() = 0;
  virtual void create_hdr(bool batch) = 0;
  virtual void fuse_exposures() = 0;

  Fl_Group* location_bar() const { return m_location_bar; }
  Fl_Button* back_button() const { return m_back; }
  Fl_Button* up_button() const { return m_up; }
  Fl_Button* forward_button() const { return m_forward; }
  Fl_Button* refresh_button() const { return m_refresh; }

 protected:
  Fl_Box* m_status_bar = nullptr;
  Fl_Group* m_location_bar = nullptr;
  Fl_Widget* m_drop_box = nullptr;

 private:
  void build();

  Fl_Button* m_back = nullptr;
  Fl_Button* m_up = nullptr;
  Fl_Button* m_forward = nullptr;
  Fl_Button* m_refresh = nullptr;
};
