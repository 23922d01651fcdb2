// rewrite_loss: each format's reader tells what its file holds beyond the writer's reach.
#include "core/rewrite_loss.h"

#include "core/command_boundary.h"
#include "core/messages.h"

#include <tiffio.h>

#include "core/exr_read.h"
#include "core/hdr_image.h"
#include "core/png_read.h"
#include "core/tiff_read.h"

namespace {

constexpr char k_transparency[] = "its transparency (alpha channel)";

std::string precision_of(int bits) {
  return "the precision of its " + std::to_string(bits) + "-bit samples";
}

}  // namespace

std::string rewrite_loss(const std::string& path, uint32_t type) {
  switch (type) {
    case k_type_png: {
      const Png_extras extras = read_png_extras(path);
      if (extras.transparent) return k_transparency;
      // The writer keeps 8 bits per sample.
      if (extras.bits > 8) return precision_of(extras.bits);
      return {};
    }
    case k_type_tiff8:
    case k_type_tiff_float: {
      const Tiff_extras extras = read_tiff_extras(path);
      if (extras.transparent) return k_transparency;
      // 8-bit files are written as 8 bits, wider ones as 32-bit floats: exact for integers
      // up to 24 bits and for half and single floats.
      const bool exact =
          extras.bits <= 8 || (type == k_type_tiff_float && extras.bits <= 32 &&
                               (extras.format == SAMPLEFORMAT_IEEEFP || extras.bits <= 24));
      if (!exact) return precision_of(extras.bits);
      return {};
    }
    case k_type_exr:
      return exr_transparent(path) ? k_transparency : std::string();
    default:
      // RGBE, JPEG and LogLuv hold three channels at the precision their writers keep.
      return {};
  }
}

std::string rewrite_loss_alert(const std::string& verb, const std::string& path,
                               const std::string& loss) {
  return "Cannot " + verb + " '" + path + "'. Writing it back would lose " + loss + ".";
}

bool refuse_lossy_rewrite(const std::string& verb, const std::string& path, uint32_t type,
                          const std::string& unreadable_alert) {
  std::string loss;
  // The caller keeps the cursor and the progress of its batch.
  if (!Command().fixed_alert(unreadable_alert).keep_cursor().run([&] {
        loss = rewrite_loss(path, type);
      }))
    return true;
  if (loss.empty()) return false;
  show_alert(rewrite_loss_alert(verb, path, loss));
  return true;
}
