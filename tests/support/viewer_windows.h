// Viewer windows for window tests: images made in code, a viewer opened on one, the
// event loop run until it settles, and every viewer removed afterwards.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/hdr_image.h"

class ImageDialogDrv;

/// An image of w x h with the type code, each pixel (r, g, b) = value(x, y).
struct Rgb {
  float r, g, b;
};
std::unique_ptr<Hdr_image> make_test_image(uint32_t w, uint32_t h, uint32_t type,
                                           const std::function<Rgb(uint32_t, uint32_t)>& value);

/// A viewer as the program opens one: 640 x 480, titled name, set_image with w = h = 0
/// (or the given size), shown and settled. Path is "/tmp/" + name.
ImageDialogDrv* open_test_viewer(std::unique_ptr<Hdr_image> image, const std::string& name,
                                 int w = 0, int h = 0);

/// Runs the event loop for about the given time (seconds), then flushes.
void settle(double seconds = 0.1);

/// Deletes every viewer and full-screen window (shown or closed) and empties the closed
/// list.
void delete_all_viewers();
