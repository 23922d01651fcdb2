// The HDR-monitor window on a real GL context (Mesa's software renderer at 4.6): the
// framebuffer of a 1920-pixel-wide window, one column per display column, is read back
// and compared with an encoding computed here on the CPU.
#include <FL/Fl.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/viewer_windows.h"
#include "viewer/image_dialog_drv.h"
#include "viewer/ogl_window.h"

namespace {

// Run on its own, the binary still gets a 4.6 context; the test command sets the same.
const bool k_mesa_override = [] {
  setenv("MESA_GL_VERSION_OVERRIDE", "4.6", 0);
  setenv("MESA_GLSL_VERSION_OVERRIDE", "460", 0);
  setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
  return true;
}();

constexpr int k_columns = k_hdr_display_columns;
constexpr int k_rows = 6;

struct Bytes {
  int r, g, b;
};

// ---- CPU reference of the encoding, step by step --------------------------------------

struct Xyz {
  double x, y, z;
};

Xyz to_xyz(double r, double g, double b) {
  return {0.4124564 * r + 0.3575761 * g + 0.1804375 * b,
          0.2126729 * r + 0.7151522 * g + 0.0721750 * b,
          0.0193339 * r + 0.1191920 * g + 0.9503041 * b};
}
/// Black reads as the darkest grey, with the white point's chromaticity.
Xyz chromatic(const Xyz& c) { return c.x + 15 * c.y + 3 * c.z > 0 ? c : to_xyz(1, 1, 1); }
double u_code(const Xyz& xyz) {
  const Xyz c = chromatic(xyz);
  return (1626.6875 * c.x / (c.x + 15 * c.y + 3 * c.z) + 0.546875) * 4;
}
double v_code(const Xyz& xyz) {
  const Xyz c = chromatic(xyz);
  return (3660.046875 * c.y / (c.x + 15 * c.y + 3 * c.z) + 0.546875) * 4;
}

/// The image as the window samples it, for a window of the given size: non-finite values
/// made finite (NaN 0, +inf the largest finite value, -inf the smallest); bilinear between
/// texel centres with the edge texels repeated outward; along an axis shown at the
/// image's own size, the texel under the point alone.
class Texture_model {
 public:
  Texture_model(const Hdr_image& im, int window_w, int window_h)
      : m_w(im.width()),
        m_h(im.height()),
        m_exact_x(window_w == m_w),
        m_exact_y(window_h == m_h),
        m_texels(size_t(m_w) * m_h * 3) {
    double lowest = 0, highest = 0;
    bool any = false;
    for (int y = 0; y < m_h; ++y)
      for (int x = 0; x < m_w; ++x)
        for (int c = 0; c < 3; ++c) {
          const double v = im(x, y, 0, c);
          if (!std::isfinite(v)) continue;
          lowest = any ? std::min(lowest, v) : v;
          highest = any ? std::max(highest, v) : v;
          any = true;
        }
    for (int y = 0; y < m_h; ++y)
      for (int x = 0; x < m_w; ++x)
        for (int c = 0; c < 3; ++c) {
          const double v = im(x, y, 0, c);
          m_texels[(size_t(y) * m_w + x) * 3 + c] = std::isnan(v)   ? 0.0
                                                    : std::isinf(v) ? (v > 0 ? highest : lowest)
                                                                    : v;
        }
  }

  /// The sample at texture coordinates (s, t); nudge (-1, 0, 1) moves a point that lies
  /// on the border between two texels of an exact axis to one side or the other.
  std::array<double, 3> at(double s, double t, int nudge) const {
    const Axis ax = axis(s, m_w, m_exact_x, nudge), ay = axis(t, m_h, m_exact_y, nudge);
    std::array<double, 3> out{};
    for (int c = 0; c < 3; ++c) {
      const double top =
          texel(ax.first, ay.first, c) * (1 - ax.f) + texel(ax.second, ay.first, c) * ax.f;
      const double bottom =
          texel(ax.first, ay.second, c) * (1 - ax.f) + texel(ax.second, ay.second, c) * ax.f;
      out[size_t(c)] = top * (1 - ay.f) + bottom * ay.f;
    }
    return out;
  }

 private:
  struct Axis {
    int first, second;
    double f;  // weight of the second texel
  };
  static Axis axis(double coordinate, int size, bool exact, int nudge) {
    const double p = coordinate * size;
    if (exact) {
      const int i = std::clamp(int(std::floor(p + nudge * 1e-4)), 0, size - 1);
      return {i, i, 0.0};
    }
    const double below = std::floor(p - 0.5);
    return {std::clamp(int(below), 0, size - 1), std::clamp(int(below) + 1, 0, size - 1),
            p - 0.5 - below};
  }
  double texel(int x, int y, int c) const { return m_texels[(size_t(y) * m_w + x) * 3 + c]; }

  int m_w, m_h;
  bool m_exact_x, m_exact_y;
  std::vector<double> m_texels;
};

bool operator==(const Bytes& a, const Bytes& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

/// How near a code before its floor may come to a whole number and still round either
/// way on the GPU, in codes: float arithmetic, GLSL's log2 and, on a stretched axis, the
/// float error of the interpolated coordinate (measured: up to 0.0003 at 1:1, under 0.001
/// stretched). About one pixel in 250 lies this near a boundary.
constexpr double k_code_margin = 0.001;

/// Every byte triple the formula gives window pixel (x, y) when each quantity that lies
/// within rounding error of a boundary (the display column, the texel border of an exact
/// axis, the luminance and chroma codes before their floor) may fall on either side: one
/// triple where nothing is on a boundary.
std::vector<Bytes> reference_pixels(const Texture_model& tex, int x, int y, int window_w,
                                    int window_h, double boost) {
  const double s = (x + 0.5) / window_w, t = (y + 0.5) / window_h;
  const double step = 1.0 / k_columns;
  std::vector<Bytes> out;
  for (int column_nudge = -1; column_nudge <= 1; ++column_nudge)
    for (int texel_nudge = -1; texel_nudge <= 1; ++texel_nudge)
      for (int code_nudge = -1; code_nudge <= 1; ++code_nudge) {
        const int column = int(std::floor(s * k_columns + column_nudge * 1e-4));
        const auto xyz = [&](double at) {
          const std::array<double, 3> rgb = tex.at(at, t, texel_nudge);
          return to_xyz(rgb[0] * boost, rgb[1] * boost, rgb[2] * boost);
        };
        const Xyz here = xyz(s);
        double u = u_code(here), v = v_code(here);
        int n = 1;
        if (column > 0) {
          const Xyz left = xyz(s - step);
          u += u_code(left);
          v += v_code(left);
          ++n;
        }
        if (column < k_columns - 1) {
          const Xyz right = xyz(s + step);
          u += u_code(right);
          v += v_code(right);
          ++n;
        }
        u /= n;
        v /= n;
        const double code_margin = code_nudge * k_code_margin;
        const double l = here.y < 0.00001 ? 0.0 : 0.0376 * std::log2(here.y) + 0.5;
        double L = std::floor((253 * l + 1) * 32 + 0.5 + code_margin);
        L = std::min(std::max(L, 32.0), 8159.0);
        const int lh = int(L) / 32, ll = int(L) - 32 * lh;
        const bool odd = column % 2 == 1;
        double C = std::floor((odd ? u : v) + 0.5 + code_margin);
        C = std::min(std::max(C, 4.0), 1019.0);
        const int ch = int(C) / 4, cl = int(C) - 4 * ch;
        const int low = std::min(std::max(ll * 8 + cl * 2, 1), 254);
        const Bytes b = odd ? Bytes{ch, lh, low} : Bytes{low, lh, ch};
        if (std::find(out.begin(), out.end(), b) == out.end()) out.push_back(b);
      }
  return out;
}

// ---- The window -----------------------------------------------------------------------

/// The window's picture, top row first.
std::vector<Bytes> read_back(OglWindow& w) {
  w.make_current();
  w.draw();
  glFinish();
  std::vector<unsigned char> raw(size_t(w.w()) * w.h() * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w.w(), w.h(), GL_RGB, GL_UNSIGNED_BYTE, raw.data());
  std::vector<Bytes> out(size_t(w.w()) * w.h());
  for (int y = 0; y < w.h(); ++y)
    for (int x = 0; x < w.w(); ++x) {
      const unsigned char* p = &raw[(size_t(w.h() - 1 - y) * w.w() + x) * 3];
      out[size_t(y) * w.w() + x] = {p[0], p[1], p[2]};
    }
  return out;
}

/// The two codes a pixel carries: the 13-bit luminance code and its display column's
/// 10-bit chroma code (v on even columns, u on odd ones).
struct Codes {
  int luminance, chroma;
};
Codes decode(const Bytes& p, int column) {
  const bool odd = column % 2 == 1;
  const int low = odd ? p.b : p.r, high_chroma = odd ? p.r : p.b;
  return {p.g * 32 + (low >> 3), high_chroma * 4 + ((low >> 1) & 3)};
}

/// Pixels of the window's picture that are not what the formula gives, described (the
/// first few). Zero tolerance: a pixel passes only with a triple the formula allows,
/// which is one triple unless a quantity lies on a rounding boundary; so few may lie on
/// one that the comparison keeps its meaning.
std::vector<std::string> mismatches(const std::vector<Bytes>& got, const Hdr_image& im,
                                    double boost, int window_w = k_columns, int window_h = 0) {
  if (window_h == 0) window_h = im.height();
  const Texture_model tex(im, window_w, window_h);
  std::vector<std::string> bad;
  size_t on_boundary = 0;
  for (int y = 0; y < window_h; ++y)
    for (int x = 0; x < window_w; ++x) {
      const std::vector<Bytes> want = reference_pixels(tex, x, y, window_w, window_h, boost);
      if (want.size() > 1) ++on_boundary;
      const Bytes have = got[size_t(y) * window_w + x];
      if (std::find(want.begin(), want.end(), have) != want.end()) continue;
      std::string text;
      if (bad.size() < 8) {
        const int column = int((x + 0.5) / window_w * k_columns);
        const Codes h = decode(have, column), w = decode(want.front(), column);
        text = "(" + std::to_string(x) + "," + std::to_string(y) + ") got L " +
               std::to_string(h.luminance) + " C " + std::to_string(h.chroma) + ", want L " +
               std::to_string(w.luminance) + " C " + std::to_string(w.chroma);
      }
      bad.push_back(text);
    }
  EXPECT_LE(on_boundary * 100, size_t(window_w) * window_h)
      << on_boundary << " pixels on a rounding boundary";
  return bad;
}

std::unique_ptr<Hdr_image> field(const std::function<Rgb(uint32_t, uint32_t)>& value) {
  return make_test_image(k_columns, k_rows, k_type_exr, value);
}

void wait_shown(Fl_Window& w) {
  for (int i = 0; i < 300 && !w.shown(); ++i) Fl::wait(0.01);
  settle(0.1);
}

GLenum gl_errors() {
  GLenum first = GL_NO_ERROR;
  for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError())
    if (first == GL_NO_ERROR) first = e;
  return first;
}

// A fragment source that cannot compile, so that the program cannot link.
class Broken_shader_window : public OglWindow {
 public:
  unsigned compile_fragment_shader(const char*) override {
    return OglWindow::compile_fragment_shader(
        "#version 460 core\nout vec4 c;\nvoid main() { c = }\n");
  }
};

class Hdr_window : public ::testing::Test {
 protected:
  void SetUp() override {
    g_luminance_boost = 10.f;
    g_hdr_display_window = new OglWindow;
    g_hdr_display_window->resize(0, 0, k_columns, k_rows);
  }
  void TearDown() override {
    delete_all_viewers();
    delete g_hdr_display_window;
    g_hdr_display_window = nullptr;
  }
  /// Hands the image over as the callers do and returns the window, shown (at the given
  /// size, when one is given).
  OglWindow& show(std::unique_ptr<Hdr_image> image, int window_w = 0, int window_h = 0) {
    if (window_w > 0) g_hdr_display_window->resize(0, 0, window_w, window_h);
    show_on_hdr_window(std::move(image));
    wait_shown(*g_hdr_display_window);
    EXPECT_EQ(m_messages.messages, std::vector<std::string>());
    EXPECT_EQ(m_messages.alerts, std::vector<std::string>());
    return *g_hdr_display_window;
  }
  static int key(OglWindow& w, const char* text) {
    Fl::e_text = const_cast<char*>(text);
    Fl::e_length = int(std::char_traits<char>::length(text));
    return w.handle(FL_KEYBOARD);
  }
  // A failing set-up must fail the test, not wait for a click on a dialog.
  Scripted_messages m_messages;
};

// ---- Uniform fields ------------------------------------------------------------------

struct Field_case {
  const char* name;
  float value;   // the same in R, G and B, before the boost of 10
  int green;     // the luminance code's high part
  int luma_low;  // its low five bits, the top of the low byte
};

void PrintTo(const Field_case& c, std::ostream* os) { *os << c.name; }

class Uniform_field : public Hdr_window, public ::testing::WithParamInterface<Field_case> {};

TEST_P(Uniform_field, EncodesLuminanceAndChromaAsTheReference) {
  const Field_case& c = GetParam();
  auto image = field([&](uint32_t, uint32_t) { return Rgb{c.value, c.value, c.value}; });
  const Hdr_image reference = *image;
  OglWindow& w = show(std::move(image));
  ASSERT_TRUE(w.shown());
  ASSERT_FALSE(w.needs_setup());
  const std::vector<Bytes> got = read_back(w);
  EXPECT_EQ(gl_errors(), GLenum(GL_NO_ERROR));
  EXPECT_EQ(mismatches(got, reference, 10.0), std::vector<std::string>());
  for (int x : {0, 1, 2, 3, 957, 958, 1918, 1919}) {
    const Bytes p = got[size_t(2) * k_columns + x];
    EXPECT_EQ(p.g, c.green) << "column " << x;
    const int low = x % 2 ? p.b : p.r;
    EXPECT_EQ(low / 8, c.luma_low) << "column " << x;
    for (int byte : {p.r, p.g, p.b}) {
      EXPECT_GE(byte, 1);
      EXPECT_LE(byte, 254);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, Uniform_field,
    ::testing::Values(Field_case{"DarkBelowThreshold", 5e-7f, 1, 0},  // Y = 5e-6 after the boost
                      Field_case{"UnitLuminance", 0.1f, 127, 16},     // Y = 1: l = 0.5, L = 4080
                      Field_case{"Saturated", 1e6f, 254, 31}),        // L clamps at 8159
    [](const ::testing::TestParamInfo<Field_case>& i) { return std::string(i.param.name); });

// ---- Ramps and patterns --------------------------------------------------------------

TEST_F(Hdr_window, LogRampOverTwentyStopsMatchesTheReference) {
  // Each row a different tint; luminance doubles every 96 columns, 2^-10 to 2^10.
  const Rgb tints[k_rows] = {{1, 1, 1},     {1, .8f, .6f}, {.3f, .6f, 1},
                             {1, .2f, .2f}, {.2f, 1, .2f}, {.5f, .5f, .9f}};
  auto image = field([&](uint32_t x, uint32_t y) {
    const float s = std::exp2(-10.f + 20.f * float(x) / float(k_columns - 1)) / 10.f;
    return Rgb{tints[y].r * s, tints[y].g * s, tints[y].b * s};
  });
  const Hdr_image reference = *image;
  OglWindow& w = show(std::move(image));
  const std::vector<Bytes> got = read_back(w);
  EXPECT_EQ(mismatches(got, reference, 10.0), std::vector<std::string>());
  // The luminance code rises across the window.
  EXPECT_LT(got[0].g, 40);
  EXPECT_GT(got[k_columns - 1].g, 215);
}

TEST_F(Hdr_window, ChromaIsAveragedWithTheNeighboursAndTheEdgesHaveOne) {
  // Red, green, blue repeating: every column's neighbours differ from it and each other,
  // so two-sample and three-sample averages give different codes.
  const Rgb cycle[3] = {{.3f, .02f, .02f}, {.02f, .3f, .02f}, {.02f, .02f, .3f}};
  auto image = field([&](uint32_t x, uint32_t y) { return cycle[(x + y) % 3]; });
  const Hdr_image reference = *image;
  OglWindow& w = show(std::move(image));
  const std::vector<Bytes> got = read_back(w);
  EXPECT_EQ(mismatches(got, reference, 10.0), std::vector<std::string>());
}

TEST_F(Hdr_window, PlusAndMinusChangeTheBoostTheShaderUses) {
  auto image = field([](uint32_t x, uint32_t) {
    const float s = std::exp2(-6.f + 12.f * float(x) / float(k_columns - 1)) / 10.f;
    return Rgb{s, .7f * s, .4f * s};
  });
  const Hdr_image reference = *image;
  OglWindow& w = show(std::move(image));
  const std::vector<Bytes> before = read_back(w);

  EXPECT_EQ(key(w, "+"), 1);
  EXPECT_FLOAT_EQ(g_luminance_boost, 15.f);
  const std::vector<Bytes> brighter = read_back(w);
  EXPECT_EQ(mismatches(brighter, reference, 15.0), std::vector<std::string>());
  EXPECT_GT(brighter[960].g, before[960].g);

  EXPECT_EQ(key(w, "-"), 1);
  EXPECT_EQ(key(w, "-"), 1);
  EXPECT_NEAR(g_luminance_boost, 10.f / 1.5f, 1e-5f);
  EXPECT_EQ(mismatches(read_back(w), reference, 10.0 / 1.5), std::vector<std::string>());
  EXPECT_EQ(key(w, "+"), 1);
  EXPECT_NEAR(g_luminance_boost, 10.f, 1e-5f);
  // Only a lower-case f acts; the upper-case one goes on to the toolkit, which ignores it.
  EXPECT_EQ(key(w, "F"), 0);
  EXPECT_FALSE(w.fullscreen_active());
}

TEST_F(Hdr_window, LowerCaseFCoversTheScreenAndTheEncodingStaysByColumn) {
  // The same in every row, so stretching to the screen's height changes no pixel.
  auto image = field([](uint32_t x, uint32_t) {
    const float s = std::exp2(-8.f + 16.f * float(x) / float(k_columns - 1)) / 10.f;
    return Rgb{.6f * s, s, .9f * s};
  });
  const Hdr_image one_row = *make_test_image(k_columns, 1, k_type_exr, [&](uint32_t x, uint32_t) {
    return Rgb{(*image)(x, 0, 0, 0), (*image)(x, 0, 0, 1), (*image)(x, 0, 0, 2)};
  });
  OglWindow& w = show(std::move(image));
  ASSERT_EQ(Fl::w(), k_columns) << "the screen must be as wide as the display";
  EXPECT_EQ(key(w, "f"), 1);
  wait_shown(w);
  EXPECT_TRUE(w.fullscreen_active());
  EXPECT_EQ(w.w(), Fl::w());
  EXPECT_EQ(w.h(), Fl::h());
  EXPECT_EQ(key(w, "f"), 1);  // a second f changes nothing
  wait_shown(w);
  EXPECT_TRUE(w.fullscreen_active());
  EXPECT_EQ(w.h(), Fl::h());
  ASSERT_FALSE(w.needs_setup());
  const std::vector<Bytes> got = read_back(w);
  EXPECT_EQ(gl_errors(), GLenum(GL_NO_ERROR));
  const std::vector<Bytes> middle(got.begin() + ptrdiff_t(w.h() / 2) * k_columns,
                                  got.begin() + ptrdiff_t(w.h() / 2 + 1) * k_columns);
  EXPECT_EQ(mismatches(middle, one_row, 10.0), std::vector<std::string>());
}

// ---- Exact texels: each byte is a code, so nothing of a neighbour may leak in ---------

/// A dim, slowly changing background of varied tints.
Rgb background(uint32_t x, uint32_t y) {
  const float s = .002f * std::exp2(2.f * std::sin(float(x) * .013f + float(y)));
  return {s * (1.2f + std::sin(float(x) * .05f)), s, s * (1.2f + std::cos(float(x) * .031f))};
}

TEST_F(Hdr_window, StarFieldAtItsOwnSizeIsReadTexelByTexel) {
  // Points a thousand times brighter than the background, in many colours: a sample that
  // lands between texel centres carries part of a star into its neighbours' codes.
  std::vector<Rgb> stars(size_t(k_columns) * 3, Rgb{0, 0, 0});
  uint32_t seed = 12345;
  for (int i = 0; i < 600; ++i) {
    seed = seed * 1664525u + 1013904223u;
    const size_t at = (seed >> 8) % stars.size();
    const float tint = float((seed >> 4) % 7) / 6.f;
    stars[at] = {1000.f * (.3f + tint), 1000.f * .6f, 1000.f * (1.3f - tint)};
  }
  auto image = make_test_image(k_columns, 3, k_type_exr, [&](uint32_t x, uint32_t y) {
    const Rgb b = background(x, y), s = stars[size_t(y) * k_columns + x];
    return s.g > 0 ? Rgb{b.r * s.r, b.g * s.g, b.b * s.b} : b;
  });
  const Hdr_image reference = *image;
  OglWindow& w = show(std::move(image), k_columns, 3);
  EXPECT_EQ(mismatches(read_back(w), reference, 10.0, k_columns, 3), std::vector<std::string>());
}

struct Shape_case {
  const char* name;
  int window_w, window_h;  // the window's pixels
  int image_w, image_h;
};

void PrintTo(const Shape_case& c, std::ostream* os) { *os << c.name; }

class Window_shape : public Hdr_window, public ::testing::WithParamInterface<Shape_case> {};

TEST_P(Window_shape, EncodingFollowsTheWindowsColumnAndSamplesAsTheReference) {
  // Exact where an axis is at the image's size, interpolated where it is stretched; the
  // display column, and with it the parity, comes from the window's column whatever the
  // image's width. Where the width is the image's, bright columns test that nothing leaks
  // sideways; a stretched image changes gently, since a float's error in the interpolated
  // coordinate weighs in proportion to the step between neighbouring texels.
  const Shape_case& c = GetParam();
  const bool exact_width = c.window_w == c.image_w;
  auto image = make_test_image(uint32_t(c.image_w), uint32_t(c.image_h), k_type_exr,
                               [&](uint32_t x, uint32_t y) {
                                 if (!exact_width) return background(x, y);
                                 const Rgb b = background(x * 7, y);
                                 const float f = x % 23 == 0 ? 300.f : 1.f;
                                 return Rgb{b.r * f, b.g * f, b.b * .5f * f};
                               });
  const Hdr_image reference = *image;
  OglWindow& w = show(std::move(image), c.window_w, c.window_h);
  ASSERT_EQ(w.w(), c.window_w);
  ASSERT_EQ(w.h(), c.window_h);
  EXPECT_EQ(mismatches(read_back(w), reference, 10.0, c.window_w, c.window_h),
            std::vector<std::string>());
  EXPECT_EQ(gl_errors(), GLenum(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, Window_shape,
    ::testing::Values(Shape_case{"OddWidthAtTheImagesSize", 1001, 5, 1001, 5},
                      Shape_case{"OddWidthStretched", 1919, 4, 640, 3},
                      Shape_case{"WidthNotAMultipleOfTheImages", 1920, 4, 700, 3},
                      Shape_case{"WidthAtTheImagesSizeHeightStretched", 1919, 6, 1919, 2}),
    [](const ::testing::TestParamInfo<Shape_case>& i) { return std::string(i.param.name); });

TEST_F(Hdr_window, NonFinitePixelsLeaveTheirNeighboursExact) {
  // NaN becomes 0 and an infinity the image's largest (or smallest) finite value, in the
  // texture only; the window keeps the image it was given.
  struct Bad {
    uint32_t x, y;
    Rgb value;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const Bad bad[] = {{1, 0, {nan, nan, nan}},         {300, 0, {.001f, nan, .002f}},
                     {301, 1, {inf, inf, inf}},       {700, 2, {.001f, inf, .001f}},
                     {1100, 1, {-inf, .001f, .001f}}, {1500, 0, {nan, inf, -inf}},
                     {1918, 2, {inf, nan, .001f}}};
  auto image = make_test_image(k_columns, 3, k_type_exr, [&](uint32_t x, uint32_t y) {
    for (const Bad& b : bad)
      if (b.x == x && b.y == y) return b.value;
    return background(x, y);
  });
  const Hdr_image reference = *image;
  OglWindow& w = show(std::move(image), k_columns, 3);
  EXPECT_EQ(mismatches(read_back(w), reference, 10.0, k_columns, 3), std::vector<std::string>());
  EXPECT_TRUE(std::isnan((*w.image())(1, 0, 0, 0)));
  EXPECT_TRUE(std::isinf((*w.image())(301, 1, 0, 2)));
}

TEST_F(Hdr_window, StretchedRampClampsAtItsEdges) {
  // Sixteen texels from dim red to bright blue, rows a stop apart, stretched to the
  // window: the first column and row hold the first texels alone, the last the last ones;
  // repeating the texture would blend the opposite edge in.
  auto image = make_test_image(16, 3, k_type_exr, [](uint32_t x, uint32_t y) {
    const float s = std::exp2(float(x) - 8.f + float(y)) / 10.f;
    const float a = float(x) / 15.f;
    return Rgb{s * (1.f - .8f * a), s * .5f, s * (.2f + .8f * a)};
  });
  const Hdr_image reference = *image;
  OglWindow& w = show(std::move(image), k_columns, 6);
  const std::vector<Bytes> got = read_back(w);
  EXPECT_EQ(mismatches(got, reference, 10.0, k_columns, 6), std::vector<std::string>());
  // Each corner holds its corner texel alone: the same bytes as a window of that colour.
  const struct {
    int x, y, texel_x, texel_y;
  } corners[] = {{0, 0, 0, 0}, {k_columns - 1, 0, 15, 0}, {0, 5, 0, 2}, {k_columns - 1, 5, 15, 2}};
  for (const auto& c : corners) {
    const Hdr_image plain = *make_test_image(1, 1, k_type_exr, [&](uint32_t, uint32_t) {
      return Rgb{reference(c.texel_x, c.texel_y, 0, 0), reference(c.texel_x, c.texel_y, 0, 1),
                 reference(c.texel_x, c.texel_y, 0, 2)};
    });
    const std::vector<Bytes> want =
        reference_pixels(Texture_model(plain, k_columns, 6), c.x, c.y, k_columns, 6, 10.0);
    const Bytes have = got[size_t(c.y) * k_columns + c.x];
    EXPECT_NE(std::find(want.begin(), want.end(), have), want.end())
        << "corner (" << c.x << "," << c.y << ") got " << have.r << " " << have.g << " " << have.b
        << ", want " << want[0].r << " " << want[0].g << " " << want[0].b;
  }
}

TEST_F(Hdr_window, UniformBufferCoversTheBlockTheGlReports) {
  OglWindow& w = show(field([](uint32_t, uint32_t) { return Rgb{.1f, .1f, .1f}; }));
  w.make_current();
  w.draw();
  GLint program = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &program);
  ASSERT_NE(program, 0);
  const GLuint block = glGetUniformBlockIndex(GLuint(program), "myUniforms");
  ASSERT_NE(block, GL_INVALID_INDEX);
  GLint block_size = 0, binding = -1;
  glGetActiveUniformBlockiv(GLuint(program), block, GL_UNIFORM_BLOCK_DATA_SIZE, &block_size);
  glGetActiveUniformBlockiv(GLuint(program), block, GL_UNIFORM_BLOCK_BINDING, &binding);
  ASSERT_EQ(binding, 0);
  GLint buffer = 0;
  glGetIntegeri_v(GL_UNIFORM_BUFFER_BINDING, 0, &buffer);
  ASSERT_NE(buffer, 0);
  GLint64 bound = 0;
  glGetInteger64i_v(GL_UNIFORM_BUFFER_SIZE, 0, &bound);
  glBindBuffer(GL_UNIFORM_BUFFER, GLuint(buffer));
  GLint allocated = 0;
  glGetBufferParameteriv(GL_UNIFORM_BUFFER, GL_BUFFER_SIZE, &allocated);
  glBindBuffer(GL_UNIFORM_BUFFER, 0);
  EXPECT_GE(block_size, 8);
  EXPECT_EQ(bound, block_size);
  EXPECT_EQ(allocated, block_size);
  EXPECT_EQ(gl_errors(), GLenum(GL_NO_ERROR));
}

// ---- Lifecycle -----------------------------------------------------------------------

TEST_F(Hdr_window, ShowHideShowAgainRebuildsTheGlObjects) {
  auto image = field([](uint32_t x, uint32_t y) {
    return Rgb{.001f * float(x % 97 + 1), .0005f * float(y + 1), .002f};
  });
  const Hdr_image reference = *image;
  OglWindow& w = show(std::move(image));
  const std::vector<Bytes> first = read_back(w);
  EXPECT_EQ(mismatches(first, reference, 10.0), std::vector<std::string>());

  w.hide();
  w.hide();  // a second release finds nothing to delete
  EXPECT_FALSE(w.shown());
  EXPECT_TRUE(w.needs_setup());
  ASSERT_NE(w.image(), nullptr);  // hiding keeps the image for the next show

  w.show();
  wait_shown(w);
  ASSERT_FALSE(w.needs_setup());
  EXPECT_EQ(gl_errors(), GLenum(GL_NO_ERROR));
  const std::vector<Bytes> second = read_back(w);
  EXPECT_EQ(gl_errors(), GLenum(GL_NO_ERROR));
  EXPECT_TRUE(std::equal(
      first.begin(), first.end(), second.begin(),
      [](const Bytes& a, const Bytes& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }));
}

TEST_F(Hdr_window, NewImageForAShownWindowIsUploadedAtOnce) {
  OglWindow& w = show(field([](uint32_t, uint32_t) { return Rgb{.1f, .1f, .1f}; }));
  ASSERT_EQ(read_back(w)[5].g, 127);
  auto bright = field([](uint32_t, uint32_t) { return Rgb{.8f, .8f, .8f}; });
  const Hdr_image reference = *bright;
  show_on_hdr_window(std::move(bright));
  EXPECT_EQ(w.image()->width(), k_columns);
  EXPECT_FLOAT_EQ((*w.image())(0, 0, 0, 0), .8f);
  EXPECT_EQ(mismatches(read_back(w), reference, 10.0), std::vector<std::string>());
}

TEST_F(Hdr_window, ImageLargerThanTheTextureLimitIsRefusedWithAMessage) {
  OglWindow& w = show(field([](uint32_t, uint32_t) { return Rgb{.1f, .1f, .1f}; }));
  w.make_current();
  GLint max_side = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_side);
  ASSERT_GT(max_side, 0);
  Scripted_messages messages;
  show_on_hdr_window(make_test_image(uint32_t(max_side) + 1, 1, k_type_exr, [](uint32_t, uint32_t) {
    return Rgb{1, 1, 1};
  }));
  settle(0.2);
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_NE(messages.alerts[0].find(std::to_string(max_side + 1) + " x 1 pixels"),
            std::string::npos)
      << messages.alerts[0];
  EXPECT_NE(messages.alerts[0].find("at most " + std::to_string(max_side)), std::string::npos);
  EXPECT_EQ(w.image(), nullptr);
  EXPECT_FALSE(w.shown());
}

// ---- A program that does not link ----------------------------------------------------

TEST_F(Hdr_window, LinkFailureReplacesTheWindowAndShowsTheTextOnce) {
  delete g_hdr_display_window;
  g_hdr_display_window = new Broken_shader_window;
  g_hdr_display_window->resize(0, 0, 64, 64);
  Scripted_messages messages;
  testing::internal::CaptureStdout();
  show_on_hdr_window(field([](uint32_t, uint32_t) { return Rgb{.1f, .1f, .1f}; }));
  settle(0.2);
  const std::string out = testing::internal::GetCapturedStdout();

  EXPECT_EQ(messages.messages, std::vector<std::string>{k_link_failed_text});
  EXPECT_TRUE(messages.alerts.empty());
  EXPECT_NE(out.find("VS compile log: "), std::string::npos);
  EXPECT_NE(out.find("FS compile log: "), std::string::npos);
  EXPECT_NE(out.find("Program link failed\n"), std::string::npos);
  EXPECT_NE(out.find("program link log: "), std::string::npos);

  // A fresh, plain window, hidden, without the image, ready to set up at its next show.
  ASSERT_NE(g_hdr_display_window, nullptr);
  EXPECT_EQ(dynamic_cast<Broken_shader_window*>(g_hdr_display_window), nullptr);
  EXPECT_FALSE(g_hdr_display_window->shown());
  EXPECT_EQ(g_hdr_display_window->image(), nullptr);
  EXPECT_TRUE(g_hdr_display_window->needs_setup());
  EXPECT_EQ(g_hdr_display_window->x(), 295);
  EXPECT_EQ(g_hdr_display_window->y(), 210);
  EXPECT_EQ(g_hdr_display_window->w(), 640);
  EXPECT_EQ(g_hdr_display_window->h(), 480);
  EXPECT_STREQ(g_hdr_display_window->label(), "Move this window to the HDR monitor and press F");
  EXPECT_EQ(g_hdr_display_window->mode(), int(FL_RGB8 | FL_DOUBLE | FL_OPENGL3));

  // The fresh window works.
  g_hdr_display_window->resize(0, 0, k_columns, k_rows);
  auto image = field([](uint32_t, uint32_t) { return Rgb{.1f, .1f, .1f}; });
  const Hdr_image reference = *image;
  OglWindow& w = show(std::move(image));
  EXPECT_EQ(mismatches(read_back(w), reference, 10.0), std::vector<std::string>());
  EXPECT_EQ(messages.messages.size(), 1u);
}

TEST_F(Hdr_window, WindowLeftWithoutSetUpHidesItselfFromTheEventLoop) {
  delete g_hdr_display_window;
  auto* broken = new Broken_shader_window;
  g_hdr_display_window = broken;
  broken->resize(0, 0, 64, 64);
  broken->set_image(field([](uint32_t, uint32_t) { return Rgb{.1f, .1f, .1f}; }));
  testing::internal::CaptureStdout();
  EXPECT_THROW(broken->show(), OpenGL_error);
  // Drawing it while the set-up is missing must neither crash nor draw.
  broken->redraw();
  settle(0.3);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("hiding\n"), std::string::npos);
  EXPECT_FALSE(broken->shown());
  EXPECT_TRUE(broken->needs_setup());
}

// ---- The viewer's hand-over ----------------------------------------------------------

TEST_F(Hdr_window, ViewerHandsOverACopyWithItsExposure) {
  ImageDialogDrv* viewer =
      open_test_viewer(make_test_image(40, 30, k_type_exr,
                                       [](uint32_t x, uint32_t y) {
                                         return Rgb{.01f * float(x + 1), .02f * float(y + 1), .5f};
                                       }),
                       "scene.exr");
  viewer->exposure(1);  // one step brighter: the viewer's pixels carry the factor
  const Hdr_image* shown_image = viewer->get_image();
  ASSERT_NE(shown_image, nullptr);
  const Fl_Menu_Item* item = viewer->menu_item("&View/Show on HDR Display");
  ASSERT_NE(item, nullptr);
  ASSERT_TRUE(item->active());  // an HDR image
  item->do_callback(viewer->menu_bar);
  wait_shown(*g_hdr_display_window);
  const Hdr_image* handed = g_hdr_display_window->image();
  ASSERT_NE(handed, nullptr);
  EXPECT_NE(handed, shown_image);  // a copy: the viewer keeps its own
  ASSERT_EQ(handed->width(), 40);
  ASSERT_EQ(handed->height(), 30);
  for (int c = 0; c < 3; ++c)
    EXPECT_FLOAT_EQ((*handed)(17, 11, 0, c), (*shown_image)(17, 11, 0, c));
  EXPECT_TRUE(g_hdr_display_window->shown());
  EXPECT_FALSE(g_hdr_display_window->needs_setup());

  // A second hand-over frees the first copy and keeps the window up.
  viewer->show_on_hdr_display();
  EXPECT_NE(g_hdr_display_window->image(), nullptr);
  EXPECT_TRUE(g_hdr_display_window->shown());
}

}  // namespace
