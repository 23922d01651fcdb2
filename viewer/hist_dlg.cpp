// HistDlg: widgets, the lent or loaded image and the per-opening cache.
#include "viewer/hist_dlg.h"

#include <FL/Fl_Choice.H>
#include <FL/Fl_Return_Button.H>

#include "core/command_boundary.h"
#include "core/hdr_image.h"
#include "core/hist_box.h"

HistDlg* g_histogram_dialog = nullptr;

namespace {

void cb_update(Fl_Widget* w, void*) {
  if (auto* dialog = dynamic_cast<HistDlg*>(w->window())) dialog->update();
}

void cb_close(Fl_Widget* w, void*) {
  auto* dialog = dynamic_cast<HistDlg*>(w);
  if (!dialog) dialog = dynamic_cast<HistDlg*>(w->window());
  if (dialog) dialog->close();
}

}  // namespace

HistDlg::HistDlg(int w, int h, const char* title) : Fl_Double_Window(0, 0, w, h, title) {
  force_position(0);
  hist_box = new HistBox(7, 42, 512, 149);
  hist_box->box(FL_FLAT_BOX);

  channel_choice = new Fl_Choice(77, 10, 110, 25, "Channel:");
  channel_choice->add("Luminance");
  channel_choice->add("Red");
  channel_choice->add("Green");
  channel_choice->add("Blue");
  channel_choice->value(k_hist_luminance);
  channel_choice->callback(cb_update);

  scale_choice = new Fl_Choice(266, 10, 116, 25, "Scale:");
  scale_choice->add("Linear");
  scale_choice->add("Logarithmic");
  scale_choice->value(k_hist_linear);
  scale_choice->callback(cb_update);

  close_button = new Fl_Return_Button(445, 193, 74, 25, "Close");
  close_button->callback(cb_close);
  end();
  set_modal();
  callback(cb_close);
}

HistDlg::~HistDlg() = default;

void HistDlg::release() {
  m_cache.clear();
  m_image = nullptr;
  m_owned.reset();
  m_pixels = 0;
}

void HistDlg::attach(Hdr_image* image) {
  m_image = image;
  if (!image || image->is_empty() || image->spectrum() < 3) {
    // Nothing to count: the widget shows an empty chart.
    m_pixels = 0;
    return;
  }
  m_pixels = uint64_t(image->width()) * uint64_t(image->height());
  float *r, *g, *b;
  rgb_planes(*image, r, g, b);
  m_cache.set_planes(r, g, b, m_pixels);
}

void HistDlg::set_image(Hdr_image* image) {
  release();
  attach(image);
  update();
}

bool HistDlg::load_image(const std::string& path, uint32_t type) {
  std::unique_ptr<Hdr_image> loaded;
  // Every reader's failure alike, the image library's own included.
  if (!Command()
           .fixed_alert("Cannot compute histogram. Image data seems to be corrupted.")
           .run([&] { loaded = std::make_unique<Hdr_image>(path, type); }))
    return false;
  release();
  m_owned = std::move(loaded);
  attach(m_owned.get());
  update();
  return true;
}

void HistDlg::update() {
  const int channel = channel_choice->value() < 0 ? 0 : channel_choice->value();
  const int scale = scale_choice->value() < 0 ? 0 : scale_choice->value();
  const uint32_t* counts = m_cache.histogram(channel, scale);
  const Bar_colour c = histogram_bar_colour(channel);
  hist_box->set_data(counts, counts ? int(k_histogram_bins) : 0, c.r, c.g, c.b);
  hist_box->redraw();
}

void HistDlg::close() {
  release();
  hide();
}
