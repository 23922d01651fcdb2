// The HDR-monitor window on a real GL context (Mesa's software renderer at 4.6): the
// framebuffer of a 1920-pixel-wide window, one column per display column, is read back
// and compared with an encoding computed here on the CPU.
#include <FL/Fl.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
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
double u_code(const Xyz& c) {
  return (1626.6875 * c.x / (c.x + 15 * c.y + 3 * c.z) + 0.546875) * 4;
}
double v_code(const Xyz& c) {
  return (3660.046875 * c.y / (c.x + 15 * c.y + 3 * c.z) + 0.546875) * 4;
}

Xyz boosted(const Hdr_image& im, int x, int y, double boost) {
  return to_xyz(im(x, y, 0, 0) * boost, im(x, y, 0, 1) * boost, im(x, y, 0, 2) * boost);
}

/// The three bytes of pixel (x, y) of a 1920-wide image shown one to one.
Bytes reference_pixel(const Hdr_image& im, int x, int y, double boost) {
  const Xyz here = boosted(im, x, y, boost);
  double u = u_code(here), v = v_code(here);
  int n = 1;
  if (x > 0) {
    const Xyz left = boosted(im, x - 1, y, boost);
    u += u_code(left);
    v += v_code(left);
    ++n;
  }
  if (x < k_columns - 1) {
    const Xyz right = boosted(im, x + 1, y, boost);
    u += u_code(right);
    v += v_code(right);
    ++n;
  }
  u /= n;
  v /= n;
  const double l = here.y < 0.00001 ? 0.0 : 0.0376 * std::log2(here.y) + 0.5;
  double L = std::floor((253 * l + 1) * 32 + 0.5);
  L = std::min(std::max(L, 32.0), 8159.0);
  const int lh = int(L) / 32, ll = int(L) - 32 * lh;
  const bool odd = x % 2 == 1;
  double C = std::floor((odd ? u : v) + 0.5);
  C = std::min(std::max(C, 4.0), 1019.0);
  const int ch = int(C) / 4, cl = int(C) - 4 * ch;
  const int low = std::min(std::max(ll * 8 + cl * 2, 1), 254);
  return odd ? Bytes{ch, lh, low} : Bytes{low, lh, ch};
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

/// The two codes a pixel carries: the 13-bit luminance code and its column's 10-bit
/// chroma code (v on even columns, u on odd ones).
struct Codes {
  int luminance, chroma;
};
Codes decode(const Bytes& p, int x) {
  const bool odd = x % 2 == 1;
  const int low = odd ? p.b : p.r, high_chroma = odd ? p.r : p.b;
  return {p.g * 32 + (low >> 3), high_chroma * 4 + ((low >> 1) & 3)};
}

/// Pixels whose luminance or chroma code differs from the reference's by more than one,
/// described (the first few).
std::vector<std::string> mismatches(const std::vector<Bytes>& got, const Hdr_image& im,
                                    double boost) {
  std::vector<std::string> bad;
  for (int y = 0; y < im.height(); ++y)
    for (int x = 0; x < k_columns; ++x) {
      const Codes want = decode(reference_pixel(im, x, y, boost), x);
      const Codes have = decode(got[size_t(y) * k_columns + x], x);
      if (std::abs(have.luminance - want.luminance) > 1 || std::abs(have.chroma - want.chroma) > 1)
        bad.push_back(bad.size() >= 8 ? std::string()
                                      : "(" + std::to_string(x) + "," + std::to_string(y) +
                                            ") got L " + std::to_string(have.luminance) + " C " +
                                            std::to_string(have.chroma) + ", want L " +
                                            std::to_string(want.luminance) + " C " +
                                            std::to_string(want.chroma));
    }
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
  /// Hands the image over as the callers do and returns the window, shown.
  OglWindow& show(std::unique_ptr<Hdr_image> image) {
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
