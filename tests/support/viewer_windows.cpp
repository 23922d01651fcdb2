// Viewer windows for window tests (see the header).
#include "tests/support/viewer_windows.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <chrono>
#include <vector>

#include "core/app_globals.h"
#include "viewer/fullscreen_dlg.h"
#include "viewer/image_dialog_drv.h"

std::unique_ptr<Hdr_image> make_test_image(uint32_t w, uint32_t h, uint32_t type,
                                           const std::function<Rgb(uint32_t, uint32_t)>& value) {
  auto im = std::make_unique<Hdr_image>(w, h, 1, 3, 0.f);
  im->type = type;
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const Rgb v = value(x, y);
      (*im)(x, y, 0, 0) = v.r;
      (*im)(x, y, 0, 1) = v.g;
      (*im)(x, y, 0, 2) = v.b;
    }
  return im;
}

ImageDialogDrv* open_test_viewer(std::unique_ptr<Hdr_image> image, const std::string& name, int w,
                                 int h) {
  auto* viewer = new ImageDialogDrv(640, 480, name.c_str());
  viewer->set_image(std::move(image), "/tmp/" + name, name, "/tmp/", w, h);
  viewer->show();
  while (!viewer->shown()) Fl::wait(0.01);
  settle();
  return viewer;
}

void settle(double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) Fl::wait(0.01);
  Fl::flush();
}

void delete_all_viewers() {
  std::vector<Fl_Window*> viewers;
  for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
    if (dynamic_cast<ImageDialogDrv*>(w) || dynamic_cast<FullScreenDlg*>(w)) viewers.push_back(w);
  for (Fl_Window* w : g_closed_viewers)
    if (!w->shown()) viewers.push_back(w);
  g_closed_viewers.clear();
  for (Fl_Window* w : viewers) delete w;
}
