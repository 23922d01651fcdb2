// OpenEXR fixture writer for tests and benchmarks.
#include "tests/support/exr_fixture.h"

#include <Imath/half.h>
#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfOutputFile.h>

#include <cstdint>
#include <memory>

void write_exr(const std::string& path, const Exr_layout& layout,
               const std::vector<Exr_channel>& channels) {
  const Imath::Box2i window(
      Imath::V2i(layout.origin_x, layout.origin_y),
      Imath::V2i(layout.origin_x + layout.width - 1, layout.origin_y + layout.height - 1));
  Imf::Header header(window, window);
  header.compression() = layout.compress ? Imf::ZIP_COMPRESSION : Imf::NO_COMPRESSION;
  const Imf::PixelType type = layout.half ? Imf::HALF : Imf::FLOAT;
  for (const Exr_channel& c : channels) header.channels().insert(c.name, Imf::Channel(type));

  const size_t n = size_t(layout.width) * size_t(layout.height);
  std::vector<std::unique_ptr<half[]>> halves;
  Imf::FrameBuffer fb;
  // Slices address absolute pixel coordinates: shift the base by the window's corner.
  const ptrdiff_t corner = ptrdiff_t(layout.origin_x) + ptrdiff_t(layout.origin_y) * layout.width;
  // Integer arithmetic: the shifted address may lie outside the buffer.
  auto base = [&](const void* p, size_t size) {
    return reinterpret_cast<char*>(reinterpret_cast<uintptr_t>(p) - uintptr_t(corner) * size);
  };
  for (const Exr_channel& c : channels) {
    if (layout.half) {
      halves.emplace_back(new half[n]);
      for (size_t i = 0; i < n; ++i) halves.back()[i] = half(c.data[i]);
      fb.insert(c.name, Imf::Slice(Imf::HALF, base(halves.back().get(), sizeof(half)), sizeof(half),
                                   sizeof(half) * size_t(layout.width)));
    } else {
      fb.insert(c.name, Imf::Slice(Imf::FLOAT, base(c.data, sizeof(float)), sizeof(float),
                                   sizeof(float) * size_t(layout.width)));
    }
  }
  Imf::OutputFile file(path.c_str(), header);
  file.setFrameBuffer(fb);
  file.writePixels(layout.height);
}
