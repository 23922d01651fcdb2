// The five tile classes, one per file format: each fixes the header probe and the image
// type code; JPEG tiles also take the thumbnail embedded in the file's EXIF data.
#pragma once
#include <string>

#include "browser/icon.h"
#include "core/exif_thumbnail.h"

class JPEG_icon : public Icon {
 public:
  JPEG_icon(int x, int y, int w, int h, const std::string& name, const std::string& folder);
  /// The embedded EXIF thumbnail when there is one that decodes; else as Icon.
  void load_thumbnail() override;
  ExifData* exif_data() const override { return exif.get(); }
  /// The EXIF path of load_thumbnail: the embedded thumbnail fitted into the box, decoded
  /// from memory; exif receives the file's EXIF record (the old one released first).
  static bool load_exif_thumbnail(const std::string& path, Thumbnail_planes& out,
                                  Exif_record& exif);

  Exif_record exif;
};

class PNG_icon : public Icon {
 public:
  PNG_icon(int x, int y, int w, int h, const std::string& name, const std::string& folder);
  ExifData* exif_data() const override { return nullptr; }
};

class RGBE_icon : public Icon {
 public:
  RGBE_icon(int x, int y, int w, int h, const std::string& name, const std::string& folder);
  ExifData* exif_data() const override { return nullptr; }
};

class OPENEXR_icon : public Icon {
 public:
  OPENEXR_icon(int x, int y, int w, int h, const std::string& name, const std::string& folder);
  ExifData* exif_data() const override { return nullptr; }
};

class TIFF_icon : public Icon {
 public:
  TIFF_icon(int x, int y, int w, int h, const std::string& name, const std::string& folder);
  ExifData* exif_data() const override { return nullptr; }
};

/// The tile for a file name by its extension (lower-cased; ".jpg" ".jpeg", ".png", ".hdr"
/// ".rgbe" ".pic", ".exr", ".tif" ".tiff"), built at 0, 0 with size 0 by 0 in the current
/// group; null for any other name and for folder entries (names ending in '/').
Icon* make_icon_for_name(const std::string& name, const std::string& folder);
