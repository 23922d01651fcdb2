// One tile of the thumbnail grid: an image file shown as a thumbnail over its name. The
// tile knows the file's path, type code and header size, makes its thumbnail (cache, the
// JPEG's embedded EXIF thumbnail, or a full load), shows its selection and opens the
// image on a double click. One subclass per format fixes the header probe and the code.
#pragma once
#include <FL/Fl_Group.H>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/thumbnail_pixels.h"

class Fl_Box;
class Fl_RGB_Image;
typedef struct _ExifData ExifData;
struct Image_format;

/// Toolkit colours of the picture area: unselected and selected.
constexpr Fl_Color k_tile_colour = 39;
constexpr Fl_Color k_tile_select_colour = 196;

class Icon : public Fl_Group {
 public:
  /// Builds the picture and label boxes and checks the owner-read permission; the
  /// subclass then probes the header. folder ends with a separator.
  Icon(int x, int y, int w, int h, const std::string& name, const std::string& folder);
  ~Icon() override;

  int handle(int event) override;

  /// Makes and shows the thumbnail, upright as the file's EXIF Orientation says: from the
  /// cache, else by loading the whole image (which then goes to the cache when "Cache
  /// thumbnails" is on). A failed load clears readable and keeps the current picture;
  /// nothing is thrown.
  virtual void load_thumbnail();
  /// The file's EXIF record when the tile read one (JPEG tiles), else null; owned by the
  /// tile.
  virtual ExifData* exif_data() const = 0;

  /// Opens the file in a new viewer; a tile that is not readable or an image that cannot
  /// be loaded gives the alert "Cannot open the image. The image data seems to be
  /// corrupted."
  void open();
  void select();
  void deselect();
  bool is_selected() const;
  /// Moves the tile and its two boxes to (x, y).
  void place(int x, int y);
  /// Sizes the tile to w by h + 20: picture w by h, label w by 20 under it.
  void set_size(int w, int h);
  void set_label_size(int size);
  /// Shows the thumbnail rebuilt from thumb_planes at scale (nearest neighbour).
  void scale_thumbnail(float scale);
  /// After the file was mirrored: axis 'x' left-right, 'y' top-bottom.
  void flip_thumbnail(char axis);
  /// After the file was turned by angle (90 clockwise or -90); swaps width and height.
  void rotate_thumbnail(int angle);
  /// After the file got its new name: path, name and the label (in full) follow.
  void rename(const std::string& new_name);

  /// True once the grid asked for this tile's thumbnail (made or not).
  bool thumbnail_requested() const { return m_requested; }
  void set_thumbnail_requested() { m_requested = true; }

  std::string path;
  std::string name;
  std::string folder;
  bool readable = true;
  Fl_Box* thumb_box = nullptr;
  Fl_Box* label_box = nullptr;
  uint32_t type = 0;
  std::vector<uint8_t> thumb_pixels;  // shown thumbnail, interleaved RGB
  int thumb_w = 0, thumb_h = 0;
  Thumbnail_planes thumb_planes;   // as made, fitted into 128 x 128, unscaled
  uint32_t width = 0, height = 0;  // image size from the header, then from a full load
  Fl_Color select_color = k_tile_select_colour;

 protected:
  /// Shows pixels (interleaved RGB, w by h) as the picture; they become thumb_pixels.
  /// Empty pixels keep the current picture.
  void show_pixels(std::vector<uint8_t> pixels, int w, int h);
  /// Runs a header probe (skipped when already unreadable): Read_error (or any failure)
  /// prints its message on standard error and clears readable.
  void probe_header(const std::function<void()>& probe);
  /// Takes the row's type code, then runs its header probe through probe_header (a
  /// family's probe replaces the code with the member the file's tags name).
  void take_format(const Image_format& format);

 private:
  std::string m_label;  // the shown name (label_box keeps a pointer to it)
  std::unique_ptr<Fl_RGB_Image> m_picture;
  bool m_requested = false;
};
