// Thumbnail pictures as plain data: fitting an image into the 128 x 128 box, and the
// planar copy a tile keeps for rescaling, flipping and rotating.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class Hdr_image;

/// Side of the box every thumbnail is fitted into, before the thumbnail-size setting.
constexpr uint32_t k_thumbnail_box = 128;

/// A thumbnail as three planes of bytes (all red, then green, then blue).
struct Thumbnail_planes {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> data;  // width * height * 3
  bool empty() const { return width == 0 || height == 0; }
};

/// The size an image of w x h gets in the box: max(1, trunc(side * fit_scale)) for each
/// side, so small images are enlarged and a 1 x 1000 image gives 1 x 128. 0 x 0 for an
/// empty image.
void fitted_thumbnail_size(uint32_t w, uint32_t h, uint32_t& out_w, uint32_t& out_h);

/// The image library's linear resize (CImg interpolation 3) to w x h, bit for bit; a
/// shrink in both directions runs a faster form of the same additions.
void resize_linear(Hdr_image& image, uint32_t w, uint32_t h);

/// Resizes image in place to its fitted size (linear interpolation), multiplies HDR
/// types by display_scale of the resized image, and converts it to display bytes.
/// Throws std::invalid_argument for an image without 3 planes; empty in, empty out.
Thumbnail_planes thumbnail_from_image(Hdr_image& image, uint32_t type);

/// Fits w x h interleaved RGB bytes into the box (linear interpolation, only when the
/// fitted size differs from w x h).
Thumbnail_planes thumbnail_from_rgb(const uint8_t* rgb, uint32_t w, uint32_t h);

/// The planes of w x h interleaved RGB bytes, unchanged in size.
Thumbnail_planes planes_from_rgb(const uint8_t* rgb, uint32_t w, uint32_t h);

/// width * height * 3 interleaved R, G, B bytes, for Fl_RGB_Image.
std::vector<uint8_t> interleaved_rgb(const Thumbnail_planes& planes);

/// Nearest-neighbour resample to max(1, trunc(side * scale)) per side. A scale that is not
/// a positive finite number leaves the size unchanged.
Thumbnail_planes scaled_thumbnail(const Thumbnail_planes& planes, float scale);

/// Mirrored: axis 'x' left-right, 'y' top-bottom; other axes leave it unchanged.
Thumbnail_planes flipped_thumbnail(const Thumbnail_planes& planes, char axis);

/// Turned upright as the EXIF Orientation code says (orient_planar); code 1 and codes
/// outside 1..8 leave it unchanged.
Thumbnail_planes oriented_thumbnail(const Thumbnail_planes& planes, uint32_t orientation);

/// Rotated by +90 (clockwise) or -90 degrees, exactly; other angles leave it unchanged.
Thumbnail_planes rotated_thumbnail(const Thumbnail_planes& planes, int angle);

/// Loads the whole file as type (load_image) and makes its thumbnail, upright; width and
/// height receive the loaded image's size. A JPEG is shrunk while it decodes, holding a
/// few rows instead of the picture, then turned as its EXIF Orientation says: bit for bit
/// thumbnail_from_image of the loaded image when the file is stored upright (a turned one
/// is shrunk as stored, so values may differ slightly); one whose data is damaged gives
/// empty planes (never the decoder's fill). Throws what the loader throws (Read_error,
/// the allocator's exceptions).
Thumbnail_planes thumbnail_by_full_load(const std::string& path, uint32_t type, uint32_t& width,
                                        uint32_t& height);
