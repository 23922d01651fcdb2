// The HDR-monitor window: GL set-up, texture upload, drawing and release (see the header).
#include "viewer/ogl_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <GL/glew.h>  // must precede <GL/gl.h>, which no header above brings in

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/command_boundary.h"
#include "core/hdr_image.h"
#include "core/log.h"
#include "core/mat_convert.h"
#include "core/messages.h"
#include "viewer/ogl_shaders.h"

float g_luminance_boost = 10.0f;
float g_gamma_factor = 1.0f;
OglWindow* g_hdr_display_window = nullptr;

namespace {

// One set of GL objects for the process: only one such window exists at a time. An id of
// 0 means "not created", so release touches only what exists.
struct Gl_objects {
  GLuint program = 0;
  GLuint vertex_shader = 0;
  GLuint fragment_shader = 0;
  GLuint vertex_array = 0;
  GLuint vertex_buffer = 0;
  GLuint index_buffer = 0;
  GLuint texture = 0;
  GLint texture0_location = -1;
  GLint window_size_location = -1;
  GLuint uniform_buffer = 0;
};
Gl_objects s_gl;

// Four corners (x, y, z, w) drawn as one strip: the quad covers the whole viewport.
const GLfloat k_quad[16] = {-1.f, -1.f, 0.f, 1.f, -1.f, 1.f, 0.f, 1.f,
                            1.f,  -1.f, 0.f, 1.f, 1.f,  1.f, 0.f, 1.f};
const GLuint k_quad_indices[4] = {0, 1, 2, 3};
constexpr GLsizei k_vertex_stride = 4 * sizeof(GLfloat);
// std140 block: LUMINANCE_BOOST at byte 0, gammaFactor at byte 4. The buffer takes the
// block's whole size as the GL reports it (std140 rounds it up); this is the least.
constexpr GLint k_uniform_bytes = 2 * sizeof(GLfloat);
constexpr GLsizei k_log_bytes = 1024;

/// Makes every value finite for the texture: NaN becomes 0, +inf the largest finite value
/// and -inf the smallest (0 when none is finite). A non-finite texel would turn its own
/// codes and its neighbours' averaged chroma into NaN, which clamps to a limit.
void make_texels_finite(float* values, uint64_t count) {
  float lowest = 0.f, highest = 0.f;
  bool any_finite = false, all_finite = true;
  for (uint64_t i = 0; i < count; ++i) {
    const float v = values[i];
    if (!std::isfinite(v)) {
      all_finite = false;
      continue;
    }
    lowest = any_finite ? std::min(lowest, v) : v;
    highest = any_finite ? std::max(highest, v) : v;
    any_finite = true;
  }
  if (all_finite) return;
  for (uint64_t i = 0; i < count; ++i) {
    float& v = values[i];
    if (std::isnan(v))
      v = 0.f;
    else if (std::isinf(v))
      v = v > 0.f ? highest : lowest;
  }
}

void print_shader_log(GLuint shader, const char* prefix) {
  char log[k_log_bytes] = {};
  glGetShaderInfoLog(shader, k_log_bytes, nullptr, log);
  log_info("%s compile log: %s", prefix, log);
}

}  // namespace

OglWindow::OglWindow()
    : Fl_Gl_Window(295, 210, 640, 480, "Move this window to the HDR monitor and press F") {
  mode(FL_RGB8 | FL_DOUBLE | FL_OPENGL3);
  resizable(this);
  end();
}

OglWindow::~OglWindow() {
  Fl::remove_timeout(deferred_hide, this);
  Fl::remove_timeout(deferred_refusal, this);
  // The next window starts from a clean set of GL objects.
  hide();
}

unsigned OglWindow::compile_fragment_shader(const char* source) {
  const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  print_shader_log(shader, "FS");
  return shader;
}

void OglWindow::init_gl() {
  // A set-up that failed before left its program behind.
  release_gl_objects();

  glEnable(GL_DEPTH_TEST);
  glClearColor(1.f, 0.f, 0.f, 1.f);  // opaque red: a quad that does not draw shows
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  s_gl.program = glCreateProgram();

  s_gl.vertex_shader = glCreateShader(GL_VERTEX_SHADER);
  const GLint vertex_length = GLint(std::char_traits<char>::length(k_hdr_vertex_shader));
  glShaderSource(s_gl.vertex_shader, 1, &k_hdr_vertex_shader, &vertex_length);
  glCompileShader(s_gl.vertex_shader);
  print_shader_log(s_gl.vertex_shader, "VS");

  s_gl.fragment_shader = compile_fragment_shader(k_hdr_encoding_shader);

  glAttachShader(s_gl.program, s_gl.vertex_shader);
  glAttachShader(s_gl.program, s_gl.fragment_shader);
  glLinkProgram(s_gl.program);
  GLint linked = 0;
  glGetProgramiv(s_gl.program, GL_LINK_STATUS, &linked);

  if (linked != GL_TRUE) {
    log_info("Program link failed");
    glDeleteShader(s_gl.vertex_shader);
    glDeleteShader(s_gl.fragment_shader);
    s_gl.vertex_shader = s_gl.fragment_shader = 0;
    GLint length = 0;
    glGetProgramiv(s_gl.program, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(size_t(length > 0 ? length : 0) + 1, '\0');
    glGetProgramInfoLog(s_gl.program, GLsizei(log.size()), nullptr, log.data());
    log_info("program link log: %s", log.data());
    throw OpenGL_error(k_link_failed_text);
  }

  glGenVertexArrays(1, &s_gl.vertex_array);
  glBindVertexArray(s_gl.vertex_array);
  glGenBuffers(1, &s_gl.vertex_buffer);
  glBindBuffer(GL_ARRAY_BUFFER, s_gl.vertex_buffer);
  glBufferData(GL_ARRAY_BUFFER, sizeof k_quad, k_quad, GL_STATIC_DRAW);
  glGenBuffers(1, &s_gl.index_buffer);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s_gl.index_buffer);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof k_quad_indices, k_quad_indices, GL_STATIC_DRAW);
  glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, k_vertex_stride, nullptr);
  glEnableVertexAttribArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);

  glGenTextures(1, &s_gl.texture);
  glBindTexture(GL_TEXTURE_2D, s_gl.texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // rows of 3 floats need no padding
  // The shader fetches and interpolates texels itself, clamped to the edge: nothing is
  // left for the GL to filter or wrap.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

  glUseProgram(s_gl.program);
  s_gl.texture0_location = glGetUniformLocation(s_gl.program, "texture0");
  glUniform1i(s_gl.texture0_location, 0);
  s_gl.window_size_location = glGetUniformLocation(s_gl.program, "windowSize");

  GLint block_bytes = 0;
  const GLuint block = glGetUniformBlockIndex(s_gl.program, "myUniforms");
  if (block != GL_INVALID_INDEX)
    glGetActiveUniformBlockiv(s_gl.program, block, GL_UNIFORM_BLOCK_DATA_SIZE, &block_bytes);
  block_bytes = std::max(block_bytes, k_uniform_bytes);
  glGenBuffers(1, &s_gl.uniform_buffer);
  glBindBuffer(GL_UNIFORM_BUFFER, s_gl.uniform_buffer);
  glBufferData(GL_UNIFORM_BUFFER, block_bytes, nullptr, GL_DYNAMIC_DRAW);
  glBindBuffer(GL_UNIFORM_BUFFER, 0);
  glBindBufferRange(GL_UNIFORM_BUFFER, 0, s_gl.uniform_buffer, 0, block_bytes);
}

int OglWindow::handle(int event) {
  switch (event) {
    case FL_SHOW:
      if (!shown()) break;
      make_current();
      if (m_needs_setup) {
        glewExperimental = GL_TRUE;  // core profiles hide the entry points from GLEW otherwise
        const GLenum status = glewInit();
        if (status != GLEW_OK) {
          log_info("glewInit() failed returning %u", unsigned(status));
          // Without GLEW the GL entry points are null: no set-up can run.
          throw OpenGL_error(std::string("OpenGL could not be started (") +
                             reinterpret_cast<const char*>(glewGetErrorString(status)) +
                             "). Requires OpenGL 4.6 support.");
        }
        // GLEW asks for the extension string the old way, which a core context refuses.
        while (glGetError() != GL_NO_ERROR) {
        }
        if (!GLEW_VERSION_3_2) throw OpenGL_error(k_link_failed_text);
        init_gl();
        m_needs_setup = false;
      }
      upload_image();
      break;
    case FL_KEYBOARD: {
      const char* text = Fl::event_text();
      const char key = text ? text[0] : '\0';
      if (key == '+') {
        g_luminance_boost = float(double(g_luminance_boost) * 1.5);
        redraw();
        return 1;
      }
      if (key == '-') {
        g_luminance_boost = float(double(g_luminance_boost) / 1.5);
        redraw();
        return 1;
      }
      if (key == 'f') {
        fullscreen();
        return 1;
      }
      break;
    }
    default:
      break;
  }
  return Fl_Gl_Window::handle(event);
}

void OglWindow::upload_image() {
  if (!m_image || s_gl.texture == 0) return;
  GLint max_side = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_side);
  const uint64_t iw = uint64_t(m_image->width()), ih = uint64_t(m_image->height());
  if (iw > uint64_t(max_side) || ih > uint64_t(max_side)) {
    m_refusal = "The image (" + std::to_string(iw) + " x " + std::to_string(ih) +
                " pixels) is too large for the HDR display, which takes at most " +
                std::to_string(max_side) + " pixels a side.";
    m_image.reset();
    // Alerting here would run a modal loop inside the show; the event loop does it.
    Fl::remove_timeout(deferred_refusal, this);
    Fl::add_timeout(0.0, deferred_refusal, this);
    return;
  }
  cv::Mat texels = image_to_mat(*m_image);
  // Only the uploaded copy: the window keeps the image as it was handed over.
  make_texels_finite(texels.ptr<float>(), uint64_t(texels.total()) * 3);
  glBindTexture(GL_TEXTURE_2D, s_gl.texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB32F, GLsizei(iw), GLsizei(ih), 0, GL_BGR, GL_FLOAT,
               texels.ptr<float>());
}

void OglWindow::set_image(std::unique_ptr<Hdr_image> image) {
  m_image = std::move(image);
  // The new picture replaces the old one on the screen at once.
  if (shown() && !m_needs_setup) {
    make_current();
    upload_image();
    redraw();
  }
}

void OglWindow::draw() {
  if (m_needs_setup) {
    log_info("hiding");
    // Hiding while the drawable is in use breaks GLX: the event loop does it.
    Fl::remove_timeout(deferred_hide, this);
    Fl::add_timeout(0.0, deferred_hide, this);
    return;
  }
  if (!valid()) glViewport(0, 0, w(), h());
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glBindBuffer(GL_UNIFORM_BUFFER, s_gl.uniform_buffer);
  glBufferSubData(GL_UNIFORM_BUFFER, 0, sizeof(GLfloat), &g_luminance_boost);
  glBufferSubData(GL_UNIFORM_BUFFER, sizeof(GLfloat), sizeof(GLfloat), &g_gamma_factor);
  glBindBuffer(GL_UNIFORM_BUFFER, 0);

  glBindVertexArray(s_gl.vertex_array);
  glBindBuffer(GL_ARRAY_BUFFER, s_gl.vertex_buffer);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s_gl.index_buffer);
  glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, k_vertex_stride, nullptr);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, s_gl.texture);
  glUseProgram(s_gl.program);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  glUniform2i(s_gl.window_size_location, viewport[2], viewport[3]);
  glDrawElements(GL_TRIANGLE_STRIP, 4, GL_UNSIGNED_INT, nullptr);
}

void OglWindow::release_gl_objects() {
  if (s_gl.program == 0 && s_gl.vertex_array == 0 && s_gl.texture == 0 && s_gl.uniform_buffer == 0)
    return;
  glUseProgram(0);
  if (s_gl.program != 0) {
    if (s_gl.vertex_shader != 0) glDetachShader(s_gl.program, s_gl.vertex_shader);
    if (s_gl.fragment_shader != 0) glDetachShader(s_gl.program, s_gl.fragment_shader);
  }
  if (s_gl.vertex_shader != 0) glDeleteShader(s_gl.vertex_shader);
  if (s_gl.fragment_shader != 0) glDeleteShader(s_gl.fragment_shader);
  if (s_gl.program != 0) glDeleteProgram(s_gl.program);
  if (s_gl.vertex_array != 0) {
    glBindVertexArray(s_gl.vertex_array);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  }
  if (s_gl.vertex_buffer != 0) glDeleteBuffers(1, &s_gl.vertex_buffer);
  if (s_gl.index_buffer != 0) glDeleteBuffers(1, &s_gl.index_buffer);
  if (s_gl.vertex_array != 0) {
    glBindVertexArray(0);
    glDeleteVertexArrays(1, &s_gl.vertex_array);
  }
  if (s_gl.texture != 0) glDeleteTextures(1, &s_gl.texture);
  if (s_gl.uniform_buffer != 0) glDeleteBuffers(1, &s_gl.uniform_buffer);
  s_gl = Gl_objects();
}

void OglWindow::hide() {
  Fl::remove_timeout(deferred_hide, this);
  // The objects live in this window's context; without one there is nothing to delete.
  if (shown() && context()) {
    make_current();
    release_gl_objects();
  } else {
    s_gl = Gl_objects();
  }
  Fl_Gl_Window::hide();
  m_needs_setup = true;
}

void OglWindow::deferred_hide(void* window) { static_cast<OglWindow*>(window)->hide(); }

void OglWindow::deferred_refusal(void* window) {
  auto* self = static_cast<OglWindow*>(window);
  const std::string text = self->m_refusal;
  self->m_refusal.clear();
  self->hide();
  show_alert(text);
}

void show_on_hdr_window(std::unique_ptr<Hdr_image> image) {
  if (!g_hdr_display_window) return;
  // Out of memory while converting the texture, for example: nothing sensible is shown.
  Command()
      .on_failure([] {
        if (g_hdr_display_window) g_hdr_display_window->hide();
      })
      .run([&] {
        try {
          g_hdr_display_window->set_image(std::move(image));
          g_hdr_display_window->show();
        } catch (const OpenGL_error& e) {
          // No OpenGL 4.6 here: a fresh window for a later try, and a message rather than a
          // failure's alert.
          const std::string text = e.what();
          delete g_hdr_display_window;
          // Gone until the new one is made: when making it throws, nothing points at the old.
          g_hdr_display_window = nullptr;
          // A top-level window: no group of the window whose callback runs may adopt it.
          Fl_Group::current(nullptr);
          g_hdr_display_window = new OglWindow;
          show_message(text);
        }
      });
}
