// Camera response tables (response f, derivative f_pri, inverse f_inv per channel) and
// the choice of the response an assembly merges with.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "hdr/exposure_planes.h"
#include "hdr/hdr_questions.h"

/// Levels of an 8-bit channel and entries of every response table.
constexpr int k_response_levels = 256;
using Response_table = std::array<float, k_response_levels>;

/// Items of the "Camera Response:" menu, by index.
enum Response_choice : int {
  k_response_srgb = 0,
  k_response_linear = 1,
  k_response_recover = 2,
  k_response_use_recovered = 3,
  k_response_choose = 4,
  k_response_enter = 5,
};

/// The two responses every camera may be merged with. For v in 0..255 and x = v/255:
/// f_srgb = x^0.45, f_pri_srgb = 0.45 x^-0.55 (0 at v = 0), f_inv_srgb = x^2.2;
/// f_lin = x serves as response and inverse, f_pri_lin = 1 (0 at v = 0).
struct Fixed_responses {
  Response_table f_srgb, f_pri_srgb, f_inv_srgb;
  Response_table f_lin, f_pri_lin;
};
Fixed_responses make_fixed_responses();

/// The response of one camera, recovered from exposures or read from the store
/// (channels red, green, blue), with the polynomial it was fitted with.
struct Camera_response {
  Response_table f[3] = {};
  Response_table f_pri[3] = {};
  Response_table f_inv[3] = {};
  float coefficients[3][6] = {};  // at most degree 5
  uint32_t degree = 0;
};

/// The tables an assembly reads, per channel; they point into a Response_state.
struct Active_response {
  const float* f[3] = {};
  const float* f_pri[3] = {};
  const float* f_inv[3] = {};
};

/// Everything the HDR dialog keeps about responses. Not copyable: active points into it.
struct Response_state {
  Response_state();
  Response_state(const Response_state&) = delete;
  Response_state& operator=(const Response_state&) = delete;

  Fixed_responses fixed;
  Camera_response camera;
  Active_response active;  // sRGB until a choice is made
};

void use_srgb_response(Response_state& state);
void use_linear_response(Response_state& state);
void use_camera_response(Response_state& state);

/// Where a camera's own response comes from: recovery from the group (and storing it
/// under the camera's name) or the store. Both fill camera and say whether they managed.
class Camera_response_source {
 public:
  virtual ~Camera_response_source() = default;
  /// True when a reliable response was recovered from the exposures into camera.
  virtual bool recover_and_check(const std::vector<Exposure_planes>& exposures,
                                 const std::vector<float>& exposure_times,
                                 Camera_response& camera) = 0;
  /// True when the stored response of the current camera was read into camera.
  virtual bool load(Camera_response& camera) = 0;
};

/// Sets state.active from the menu value choice; returns 0, or -1 when the user cancelled
/// at one of the questions (asked through questions) when a camera response cannot be had
/// (a recovery judged unreliable, or no stored response). An answer may change choice (to
/// sRGB or to a new recovery); the caller copies it back into the menu. A null source
/// behaves as one that can neither recover nor load.
int select_response(Response_state& state, int& choice,
                    const std::vector<Exposure_planes>& exposures,
                    const std::vector<float>& exposure_times, Camera_response_source* source,
                    Hdr_questions& questions);
