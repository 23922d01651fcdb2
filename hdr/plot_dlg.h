// The "Camera Response" window: the three inverse response curves of a camera (pixel value
// to irradiance) in a 256 x 256 box, optional gamma-2.2 and linear references, and the
// camera's make and model above the plot.
#pragma once
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>

#include <cstdint>
#include <memory>
#include <string>

class Fl_Check_Button;
class Fl_Return_Button;

/// The plot itself: one table entry per pixel column, value 0 on the bottom line, 1 on the
/// top row; values outside 0..1 are clipped.
class PlotBox : public Fl_Box {
 public:
  PlotBox(int x, int y, int w, int h, const char* label = nullptr);
  ~PlotBox() override;

  /// Copies n points of each curve (none when n <= 0 or a curve is null), makes the two
  /// references for n points and keeps the flags. Does not redraw: the caller shows the
  /// window next.
  void set_curves(const float* red, const float* green, const float* blue, int n, bool show_gamma,
                  bool show_linear);
  /// Keeps both flags and redraws at once.
  void show_references(bool show_gamma, bool show_linear);

  int point_count() const { return m_n; }
  const float* red() const { return m_red.get(); }
  const float* green() const { return m_green.get(); }
  const float* blue() const { return m_blue.get(); }
  const float* gamma_reference() const { return m_gamma.get(); }
  const float* linear_reference() const { return m_linear.get(); }
  bool gamma_shown() const { return m_show_gamma != 0; }
  bool linear_shown() const { return m_show_linear != 0; }

 protected:
  void draw() override;

 private:
  /// n - 1 segments in colour, from column x + i at value v[i] to x + i + 1 at v[i + 1].
  void draw_curve(const float* values, int n, Fl_Color colour) const;

  std::unique_ptr<float[]> m_red, m_green, m_blue, m_gamma, m_linear;
  int32_t m_n = 0;
  uint8_t m_show_gamma = 0, m_show_linear = 0;
};

class PlotDlg : public Fl_Double_Window {
 public:
  /// Builds the modal window (placed by the window system) and its widgets, hidden.
  PlotDlg(int width, int height, const char* title);

  /// Shows the camera's response: "Make: " + make and "Model: " + model above the plot,
  /// the n points of the three curves with the references the two check buttons ask for.
  void set_response(const std::string& make, const std::string& model, const float* red,
                    const float* green, const float* blue, int n);

  Fl_Return_Button* close_button = nullptr;
  PlotBox* plot_box = nullptr;
  Fl_Check_Button* show_srgb = nullptr;
  Fl_Check_Button* show_linear = nullptr;
  Fl_Box* make_label = nullptr;
  Fl_Box* model_label = nullptr;

 private:
  static void cb_show_reference(Fl_Widget* w, void*);
  static void cb_close(Fl_Widget* w, void*);
};

/// The program's response plot; main creates it.
extern PlotDlg* g_plot_dialog;
