// The tone-mapping dialog's set-up, preview, single-image run and batch loop.
#include "hdr/tonemap_phot_dlg_drv.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Value_Slider.H>

#include <exception>
#include <utility>

#include "core/action_scopes.h"
#include "core/batch_image_job.h"
#include "core/browser_seam.h"
#include "core/command_boundary.h"
#include "core/file_names.h"
#include "core/file_type.h"
#include "core/hdr_image.h"
#include "core/hist_box.h"
#include "core/image_formats.h"
#include "core/messages.h"
#include "core/preferences_dlg.h"
#include "core/status_progress.h"
#include "hdr/tonemap_photoreceptor.h"

TonemapPhotDlgDrv* g_tonemap_dialog = nullptr;

namespace {

constexpr char k_progress_label[] = "Tonemapping...";
constexpr char k_batch_refusal[] = "The selected files are still being tonemapped.";
// The delay between hiding the dialog and starting the batch, so the screen settles first.
constexpr double k_batch_delay = 0.1;
// The status bar's range while one image is tone-mapped; the bar does not advance.
constexpr int k_single_progress_steps = 5;

// Until the user releases the Contrast slider it shows the operator's automatic value.
void show_automatic_contrast(double contrast) {
  if (g_tonemap_dialog && !g_tonemap_dialog->user_contrast())
    g_tonemap_dialog->contrast_slider->value(contrast);
}

// A batch file as the shared loop wants it; a name it cannot type is read as type 4,
// which the loader refuses like any unreadable file.
Selected_file batch_file(const std::string& path) {
  Selected_file f;
  f.path = path;
  split_path(path, f.folder, f.name);
  try {
    f.type = image_type_from_extension(path);
  } catch (const std::exception&) {
    f.type = k_type_unassigned;
  }
  return f;
}

}  // namespace

TonemapPhotDlgDrv::TonemapPhotDlgDrv(int w, int h, const char* title)
    : TonemapPhotDlg(w, h, title) {
  set_automatic_contrast_hook(show_automatic_contrast);
}

TonemapPhotDlgDrv::~TonemapPhotDlgDrv() {
  Fl::remove_timeout(batch_timeout, this);
  free_preview_picture();
}

void TonemapPhotDlgDrv::free_preview_picture() {
  Fl_Image* picture = preview_box->image();
  preview_box->image(nullptr);
  delete picture;
}

void TonemapPhotDlgDrv::hide() {
  free_preview_picture();
  TonemapPhotDlg::hide();
}

void TonemapPhotDlgDrv::reset_sliders() {
  saturation_slider->value(k_saturation_start);
  lightness_slider->value(k_lightness_start);
  contrast_slider->value(k_contrast_start);
  gamma_slider->value(k_interactive_gamma_start);
}

Tonemap_settings TonemapPhotDlgDrv::settings() const {
  Tonemap_settings s;
  s.type = m_mode;
  s.saturation = float(saturation_slider->value());
  s.lightness = float(lightness_slider->value());
  s.contrast = float(contrast_slider->value());
  s.gamma = float(gamma_slider->value());
  s.user_contrast = m_user_contrast;
  return s;
}

bool TonemapPhotDlgDrv::setup(std::unique_ptr<Hdr_image> image, const Hdr_image* viewer_image,
                              float viewer_exposure, const std::vector<std::string>& paths) {
  if (m_batch_running || m_busy) {
    show_alert(k_batch_refusal);
    return false;
  }
  m_full_image = std::move(image);
  m_paths = paths;
  m_batch = paths.size() > 1;
  m_has_viewer = viewer_image != nullptr;
  m_user_contrast = false;
  reset_sliders();
  m_preview_source.reset();
  m_preview_work.reset();
  free_preview_picture();
  if (m_batch) {
    batch_frame->show();
    histogram_frame->hide();
    preview_frame->deactivate();
    update_toggle->value(0);
    update_toggle->deactivate();
    return true;
  }
  batch_frame->hide();
  histogram_frame->show();
  preview_frame->activate();
  update_toggle->activate();
  update_toggle->value(1);
  if (viewer_image) {
    m_full_image = std::make_unique<Hdr_image>(*viewer_image);
    // The dialog works on the file's own values, whatever exposure the viewer shows.
    if (viewer_exposure != 1.0f) *m_full_image /= viewer_exposure;
  }
  if (!m_full_image) return true;
  m_preview_source = std::make_unique<Hdr_image>(
      ::preview_source(*m_full_image, uint32_t(preview_box->w()), uint32_t(preview_box->h())));
  refresh_preview();
  return true;
}

void TonemapPhotDlgDrv::apply(Hdr_image& image) { tonemap_image(image, settings()); }

void TonemapPhotDlgDrv::refresh_preview() {
  if (!update_toggle->value() || m_batch || !m_preview_source) return;
  if (m_busy) {
    // The operators serve events: a slider released meanwhile is shown afterwards.
    m_refresh_again = true;
    return;
  }
  Guard busy(m_busy);
  do {
    m_refresh_again = false;
    // A preview that fails is not redrawn again for a release that came meanwhile.
    Command().keep_cursor().on_failure([this] { m_refresh_again = false; }).run([&] {
      auto work = std::make_unique<Hdr_image>(*m_preview_source);
      apply(*work);
      std::unique_ptr<uint32_t[]> bins = preview_histogram(*work);
      std::unique_ptr<uint8_t[]> bytes = preview_bytes(*work);
      auto* picture = new Fl_RGB_Image(bytes.get(), work->width(), work->height(), 3);
      bytes.release();
      picture->alloc_array = 1;  // the picture frees its pixels
      hist_box->set_data(bins.get(), k_preview_histogram_bins, 96, 96, 96);
      hist_box->redraw();
      free_preview_picture();
      preview_box->image(picture);
      preview_box->redraw();
      m_preview_work = std::move(work);
    });
  } while (m_refresh_again);
}

void TonemapPhotDlgDrv::choose_type(uint32_t mode) {
  m_mode = mode;
  if (mode == k_tonemap_interactive) {
    saturation_slider->activate();
    lightness_slider->activate();
    contrast_slider->activate();
  } else {
    saturation_slider->deactivate();
    lightness_slider->deactivate();
    contrast_slider->deactivate();
  }
  refresh_preview();
}

void TonemapPhotDlgDrv::contrast_released() {
  m_user_contrast = true;
  refresh_preview();
}

void TonemapPhotDlgDrv::run() {
  if (m_busy || m_batch_running) return;
  if (m_batch) {
    // Refused with the dialog still open while another job runs.
    Command().run([this] {
      m_batch_running = true;  // a new set-up is refused from here until the batch ends
      hide();
      Fl::add_timeout(k_batch_delay, batch_timeout, this);
    });
    return;
  }
  if (!m_full_image) return;
  std::unique_ptr<Hdr_image> copy;
  std::string folder;
  // The busy cursor, the status bar and the running flag end with the work's scope, so a
  // failure is alerted with all of them back.
  const bool made = Command().keep_cursor().reactivate(this).run([&] {
    Guard busy(m_busy);
    Status_progress progress(k_single_progress_steps, k_progress_label);
    Busy cursor;
    deactivate();
    folder = current_folder();
    auto work = std::make_unique<Hdr_image>(*m_full_image);
    apply(*work);
    work->type = k_type_new_ldr;
    copy = std::move(work);
    activate();
  });
  if (!made) return;  // the dialog stays open for other settings
  hide();
  Command().keep_cursor().run([&] { show_result(std::move(copy), folder); });
}

void TonemapPhotDlgDrv::batch_timeout(void* dialog) {
  static_cast<TonemapPhotDlgDrv*>(dialog)->batch_tonemap();
}

void TonemapPhotDlgDrv::batch_tonemap() {
  // Run from a timer, so nothing outside may catch: whatever escapes the file loop (a
  // browser answer that throws, memory) is alerted once the loop's flags, cursor and
  // status bar have ended.
  // Refused when its timer fires inside another job: the batch is then dropped.
  Command().keep_cursor().reactivate(this).on_failure([this] { m_batch_running = false; }).run([&] {
    Guard running(m_batch_running);
    if (m_busy) return;
    Guard busy(m_busy);
    // Copies: the loop serves events, and nothing typed meanwhile changes this batch.
    const Tonemap_settings s = settings();
    const std::string suffix = suffix_input->value() ? suffix_input->value() : "";
    const bool tiff = save_type_choice->value() == 1;
    const uint32_t output_type = tiff ? k_type_tiff8 : k_type_jpeg;
    const std::string extension = saved_extension(output_type);
    std::vector<Selected_file> files;
    for (const std::string& path : m_paths) files.push_back(batch_file(path));

    Busy cursor;
    Status_progress progress(int(files.size()), k_progress_label);
    Image_batch_job job;
    job.verb = "tonemap";
    job.unreadable = "Image data seems corrupted.";
    job.prompt_on_overwrite = ask_before_overwriting();
    job.protect_sources = true;
    job.output_path = [&suffix, &extension](const Selected_file& f) {
      return f.folder + make_output_name(f.name, suffix, extension);
    };
    job.output_type = output_type;
    job.transform = [&s](Hdr_image& image, const Selected_file&) {
      tonemap_image(image, s);
      image.type = k_type_new_ldr;
    };
    job.before_file = [&progress](std::size_t i) { progress.step(int(i)); };
    job.file_written = file_written;  // the grid refreshes the file's tile
    run_image_batch(files, job);
  });
}
