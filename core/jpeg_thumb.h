// Direct libjpeg routines for the thumbnail cache: a silent RGB decoder, an encoder at
// quality 90, and the silent error manager they share with the JPEG header probe.
#pragma once
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

/// libjpeg's standard error manager with a jump point: errors jump back instead of
/// ending the process, and no message is printed.
struct Jpeg_silent_error {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

/// Fills err (standard manager, error_exit = jpeg_error_exit, silent output_message) and
/// returns the manager to put into a compress or decompress object's err field.
jpeg_error_mgr* jpeg_silent_errors(Jpeg_silent_error& err);

/// error_exit of the silent manager: longjmp (value 1) to the object's jump point.
[[noreturn]] void jpeg_error_exit(j_common_ptr cinfo);

struct Free_deleter {
  void operator()(void* p) const { std::free(p); }
};
using Rgb_bytes = std::unique_ptr<unsigned char[], Free_deleter>;

/// Decodes a JPEG into width*height*3 interleaved R, G, B bytes (channels is set to 3).
/// Returns null, silently, when the file is missing or corrupt (any libjpeg warning, such
/// as data cut short, counts as corrupt), or does not decode to three components (CMYK,
/// for one).
Rgb_bytes read_jpeg_rgb(const std::string& path, uint32_t& width, uint32_t& height,
                        uint32_t& channels);

/// Writes width*height*3 interleaved RGB bytes as a baseline JPEG of quality 90 through a
/// temporary file beside path. Throws Write_error "Cannot write jpeg image to file: " +
/// path when the file cannot be created; a libjpeg error (an empty image, for one) leaves
/// no file behind and is otherwise silent.
void write_jpeg(const std::string& path, const unsigned char* rgb, uint32_t width, uint32_t height);
