// What calibration asks of the window that shows the image being calibrated (the viewer,
// built in a library above this one). Every target is known while it exists, so the
// calibration dialog can tell whether the one it was started for is still there.
#pragma once
#include <cstdint>

class Hdr_image;

class Calibration_target {
 public:
  Calibration_target();
  virtual ~Calibration_target();
  Calibration_target(const Calibration_target&) = delete;
  Calibration_target& operator=(const Calibration_target&) = delete;

  /// Pixel (x, y) with the window's exposure divided out; x and y inside the image.
  virtual void get_pixel(int x, int y, float& r, float& g, float& b) const = 0;
  /// The image as shown, still owned by the window (nullptr when it has none).
  virtual Hdr_image* get_image() = 0;
  /// Records the undo step before the image is changed (kind 16 for a calibration).
  virtual void save_undo(uint32_t kind, int argument) = 0;
  /// ORs change bits into the window's change word (16: calibrated).
  virtual void set_modified(uint32_t bits) = 0;
  /// Shows the changed image.
  virtual void update_view() = 0;
  /// False once the window was closed: it then takes no more changes.
  virtual bool calibration_open() const = 0;

  /// True while target exists (it may already be closed).
  static bool exists(const Calibration_target* target);
};
