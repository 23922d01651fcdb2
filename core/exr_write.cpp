// write_exr: one OpenEXR output file whose slices point straight at the image's planes.
#include "core/exr_write.h"

#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfIO.h>
#include <OpenEXR/ImfOutputFile.h>
#include <OpenEXR/ImfThreading.h>

#include <cstdio>
#include <thread>

#include "core/atomic_write.h"
#include "core/hdr_image.h"
#include "core/image_errors.h"

namespace {

// The library writes its line-offset table while the output file is destroyed and drops
// any error there; this stream remembers failures so the file is never taken as whole.
class Checked_stream : public Imf::OStream {
 public:
  Checked_stream(const std::string& temp, const std::string& path)
      : Imf::OStream(path.c_str()), m_file(std::fopen(temp.c_str(), "wb")), m_path(path) {
    if (!m_file) throw Write_error("Cannot open image file for writing: " + path);
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);  // the library writes in small pieces
  }
  ~Checked_stream() override {
    if (m_file) std::fclose(m_file);
  }
  void write(const char c[], int n) override {
    if (n > 0 && std::fwrite(c, 1, size_t(n), m_file) != size_t(n)) fail();
  }
  uint64_t tellp() override {
    const off_t pos = ftello(m_file);
    if (pos < 0) fail();
    return uint64_t(pos);
  }
  void seekp(uint64_t pos) override {
    if (fseeko(m_file, off_t(pos), SEEK_SET) != 0) fail();
  }
  /// Closes the file; throws when any write failed.
  void finish() {
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!closed || m_failed) fail();
  }

 private:
  [[noreturn]] void fail() {
    m_failed = true;
    throw Write_error("Cannot write openexr data to file: " + m_path);
  }
  std::FILE* m_file;
  std::string m_path;
  bool m_failed = false;
};

}  // namespace

void write_exr(const Hdr_image& image, const std::string& path) {
  const int width = image.width(), height = image.height();
  // Pixel aspect 1, screen window centre (0, 0) and width 1, increasing Y, ZIP (16 lines).
  Imf::Header header(width, height, 1.f, Imath::V2f(0.f, 0.f), 1.f, Imf::INCREASING_Y,
                     Imf::ZIP_COMPRESSION);
  header.channels().insert("R", Imf::Channel(Imf::FLOAT));
  header.channels().insert("G", Imf::Channel(Imf::FLOAT));
  header.channels().insert("B", Imf::Channel(Imf::FLOAT));

  const float *red, *green, *blue;
  rgb_planes(image, red, green, blue);
  const size_t x_stride = sizeof(float), y_stride = sizeof(float) * size_t(width);
  Imf::FrameBuffer frame;
  // The slices take non-const pointers but are only read when writing.
  frame.insert("R", Imf::Slice(Imf::FLOAT, (char*)red, x_stride, y_stride));
  frame.insert("G", Imf::Slice(Imf::FLOAT, (char*)green, x_stride, y_stride));
  frame.insert("B", Imf::Slice(Imf::FLOAT, (char*)blue, x_stride, y_stride));

  Atomic_file target(path);
  Checked_stream stream(target.temp_path(), path);
  {
    Imf::OutputFile file(stream, header, Imf::globalThreadCount());
    file.setFrameBuffer(frame);
    file.writePixels(height);
  }  // the offset table is written here
  stream.finish();
  target.commit();
}

void start_exr_threads() {
  const unsigned cores = std::thread::hardware_concurrency();
  Imf::setGlobalThreadCount(cores > 1 ? int(cores) : 0);
}
