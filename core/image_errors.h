// Exceptions of the image readers and writers: a fixed text followed by the file path.
#pragma once
#include <memory>
#include <stdexcept>
#include <string>

/// The one way a failure's text names the file it concerns: text as it stands when it
/// names path already, otherwise unnamed (the caller's text that does name it).
inline std::string text_naming(const std::string& text, const std::string& path,
                               const std::string& unnamed) {
  return text.find(path) != std::string::npos ? text : unnamed;
}

class Read_error : public std::runtime_error {
 public:
  explicit Read_error(const std::string& what) : std::runtime_error(what) {}
};

class Write_error : public std::runtime_error {
 public:
  explicit Write_error(const std::string& what) : std::runtime_error(what) {}
};

class Hdr_image;

/// Thrown by load_image for a file whose data is damaged although part of its picture
/// decodes (a JPEG cut short or corrupt). The text is "Image data is damaged; the picture
/// is incomplete: " + path. The decoded picture travels with it, complete as any loaded
/// image (the decoder's fill where data was missing), for callers that show it anyway.
class Incomplete_image_error : public Read_error {
 public:
  Incomplete_image_error(const std::string& what, std::shared_ptr<Hdr_image> partial)
      : Read_error(what), m_partial(std::move(partial)) {}
  const std::shared_ptr<Hdr_image>& partial() const { return m_partial; }

 private:
  std::shared_ptr<Hdr_image> m_partial;
};
