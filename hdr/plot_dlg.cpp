// The "Camera Response" window and its plot box.
#include "hdr/plot_dlg.h"

#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>

#include <algorithm>

#include "core/dialog_callbacks.h"
#include "core/messages.h"
#include "hdr/response_plot.h"

PlotDlg* g_plot_dialog = nullptr;

namespace {

std::unique_ptr<float[]> copy_of(const float* values, int n) {
  std::unique_ptr<float[]> out(new float[size_t(n)]);
  if (values)
    std::copy(values, values + n, out.get());
  else
    std::fill(out.get(), out.get() + n, 0.f);
  return out;
}

}  // namespace

PlotBox::PlotBox(int x, int y, int w, int h, const char* label) : Fl_Box(x, y, w, h, label) {}

PlotBox::~PlotBox() = default;

void PlotBox::set_curves(const float* red, const float* green, const float* blue, int n,
                         bool show_gamma, bool show_linear) {
  m_red.reset();
  m_green.reset();
  m_blue.reset();
  m_gamma.reset();
  m_linear.reset();
  m_n = 0;
  m_show_gamma = show_gamma ? 1 : 0;
  m_show_linear = show_linear ? 1 : 0;
  if (n <= 0 || !red || !green || !blue) return;
  m_red = copy_of(red, n);
  m_green = copy_of(green, n);
  m_blue = copy_of(blue, n);
  m_gamma.reset(new float[size_t(n)]);
  m_linear.reset(new float[size_t(n)]);
  fill_reference_curves(n, m_gamma.get(), m_linear.get());
  m_n = n;
}

void PlotBox::show_references(bool show_gamma, bool show_linear) {
  m_show_gamma = show_gamma ? 1 : 0;
  m_show_linear = show_linear ? 1 : 0;
  redraw();
}

void PlotBox::draw_curve(const float* values, int n, Fl_Color colour) const {
  if (!values) return;
  fl_color(colour);
  const int b = y() + h();
  int from = 0, to = 0;
  bool have_from = plot_row_offset(values[0], h(), from);
  for (int i = 0; i + 1 < n; ++i) {
    const bool have_to = plot_row_offset(values[i + 1], h(), to);
    if (have_from && have_to) fl_line(x() + i, b - from, x() + i + 1, b - to);
    from = to;
    have_from = have_to;
  }
}

void PlotBox::draw() {
  Fl_Box::draw();
  fl_push_clip(x(), y(), w(), h());
  fl_rectf(x(), y(), w(), h(), 255, 255, 255);

  fl_color(49);  // the toolkit's background grey
  fl_line_style(FL_DASH, 0);
  fl_line(x(), y() + h() / 2, x() + w(), y() + h() / 2);
  fl_line(x() + w() / 2, y(), x() + w() / 2, y() + h());

  fl_line_style(FL_SOLID, 2);
  draw_curve(m_red.get(), m_n, FL_RED);
  draw_curve(m_green.get(), m_n, FL_GREEN);
  draw_curve(m_blue.get(), m_n, FL_BLUE);
  if (m_show_gamma) draw_curve(m_gamma.get(), m_n, FL_YELLOW);
  if (m_show_linear) draw_curve(m_linear.get(), m_n, FL_MAGENTA);

  fl_line_style(FL_SOLID, 0);
  fl_pop_clip();
}

PlotDlg::PlotDlg(int width, int height, const char* title)
    : Fl_Double_Window(0, 0, width, height, title) {
  force_position(0);
  callback(cb_close);
  close_button = new Fl_Return_Button(202, 344, 76, 25, "Close");
  close_button->callback(hide_parent_cb);

  plot_box = new PlotBox(21, 57, 256, 256);
  plot_box->box(FL_FLAT_BOX);
  plot_box->tooltip(
      "Colored curves represent the response function associated with each color channel. "
      "X and Y axes denote pixel value and irradiance respectively.");

  Fl_Box* irradiance = new Fl_Box(2, 176, 20, 17, "Irr.");
  irradiance->labelsize(10);
  Fl_Box* pixel = new Fl_Box(134, 312, 30, 16, "Pix.");
  pixel->labelsize(10);

  show_srgb = new Fl_Check_Button(6, 332, 105, 15, "Show sRGB");
  show_srgb->callback(cb_show_reference);
  show_linear = new Fl_Check_Button(6, 351, 105, 15, "Show linear");
  show_linear->callback(cb_show_reference);

  Fl_Group* camera = new Fl_Group(21, 10, 256, 45);
  camera->box(FL_ENGRAVED_BOX);
  make_label = new Fl_Box(27, 15, 50, 17);
  make_label->labelsize(12);
  make_label->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  model_label = new Fl_Box(27, 31, 50, 17);
  model_label->labelsize(12);
  model_label->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  camera->end();

  end();
  set_modal();
}

void PlotDlg::set_response(const std::string& make, const std::string& model, const float* red,
                           const float* green, const float* blue, int n) {
  // Make and model come from EXIF: a '@' in them must not turn into a label symbol.
  make_label->copy_label(as_label("Make: " + make).c_str());
  model_label->copy_label(as_label("Model: " + model).c_str());
  plot_box->set_curves(red, green, blue, n, show_srgb->value() != 0, show_linear->value() != 0);
  // The plot changes whether or not the window is already up.
  redraw();
  show();
}

void PlotDlg::cb_show_reference(Fl_Widget* w, void*) {
  auto* dialog = dynamic_cast<PlotDlg*>(w ? w->window() : nullptr);
  if (!dialog) return;
  dialog->plot_box->show_references(dialog->show_srgb->value() != 0,
                                    dialog->show_linear->value() != 0);
}

void PlotDlg::cb_close(Fl_Widget* w, void*) {
  if (w) w->hide();
}
