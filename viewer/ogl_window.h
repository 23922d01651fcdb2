// The HDR-monitor output: one OpenGL window that draws its image through a fragment
// shader encoding log luminance and chroma for a display 1920 pixels wide.
#pragma once
#include <FL/Fl_Gl_Window.H>

#include <memory>
#include <stdexcept>
#include <string>

class Hdr_image;

/// The GL set-up failed (the shader program did not link, or GLEW could not start).
class OpenGL_error : public std::runtime_error {
 public:
  explicit OpenGL_error(const std::string& what) : std::runtime_error(what) {}
};

/// The text of a failed link.
inline constexpr char k_link_failed_text[] =
    "Shader program link failed. Requires OpenGL 4.6 support.";

/// Multiplies every texel before encoding; '+' and '-' change it by a factor of 1.5.
extern float g_luminance_boost;
/// Second member of the uniform block; the encoding does not read it.
extern float g_gamma_factor;

/// Width of the HDR display the encoding is laid out for: column parity and the
/// neighbour step come from it, whatever the window's width.
inline constexpr int k_hdr_display_columns = 1920;

class OglWindow : public Fl_Gl_Window {
 public:
  /// 640 x 480 at (295, 210), titled "Move this window to the HDR monitor and press F",
  /// RGB8, double-buffered, OpenGL 3 or later; no image; set up at the first show.
  OglWindow();
  ~OglWindow() override;

  /// Draws the quad through the encoding program; a window whose set-up has not run
  /// hides itself from the event loop instead.
  void draw() override;
  /// Show: GL set-up when needed, then the image becomes the texture. Keys '+', '-', 'f'.
  /// Throws OpenGL_error out of show() when the set-up fails.
  int handle(int event) override;
  /// Releases the GL objects that exist and hides the window; safe to call again.
  void hide() override;

  /// Takes the image, freeing the one held before. A window already set up and shown
  /// uploads and draws it at once; otherwise the next show does.
  void set_image(std::unique_ptr<Hdr_image> image);
  const Hdr_image* image() const { return m_image.get(); }
  /// True until a set-up succeeded, and again after hide.
  bool needs_setup() const { return m_needs_setup; }

  /// The GL set-up: program, shaders, quad, texture, uniform block. The context must be
  /// current. Throws OpenGL_error when the program does not link.
  void init_gl();
  /// Creates and compiles a fragment shader from a NUL-terminated source, prints its
  /// log and returns its id. Virtual so that a test can hand in a source that fails.
  virtual unsigned compile_fragment_shader(const char* source);

 private:
  /// Uploads the held image as the texture, or refuses one too large for the GL.
  void upload_image();
  /// Deletes the GL objects that exist, in set-up's reverse order.
  void release_gl_objects();
  static void deferred_hide(void* window);
  static void deferred_refusal(void* window);

  std::unique_ptr<Hdr_image> m_image;
  bool m_needs_setup = true;
  std::string m_refusal;  // shown once the event loop runs again
};

/// The HDR-monitor window, built at start-up; replaced after a failed set-up.
extern OglWindow* g_hdr_display_window;

/// Hands the image to g_hdr_display_window and shows the window. A failed GL set-up
/// replaces the window by a fresh, hidden one without an image (the image goes with the
/// old window) and shows the error's text.
void show_on_hdr_window(std::unique_ptr<Hdr_image> image);
