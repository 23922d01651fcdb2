// The fixed sRGB-like and linear responses and the choice among the responses.
#include "hdr/response_tables.h"

#include <cmath>

#include "core/event_pump.h"

Fixed_responses make_fixed_responses() {
  Fixed_responses r;
  for (int v = 0; v < k_response_levels; ++v) {
    const float x = float(v) / 255.f;
    r.f_srgb[v] = std::pow(x, 0.45f);
    // The single-precision power times the double constant, as the tables were made.
    r.f_pri_srgb[v] = v == 0 ? 0.f : float(0.45 * double(std::pow(x, -0.55f)));
    r.f_inv_srgb[v] = std::pow(x, 2.2f);
    r.f_lin[v] = x;
    r.f_pri_lin[v] = v == 0 ? 0.f : 1.f;
  }
  return r;
}

Response_state::Response_state() : fixed(make_fixed_responses()) { use_srgb_response(*this); }

void use_srgb_response(Response_state& state) {
  for (int c = 0; c < 3; ++c) {
    state.active.f[c] = state.fixed.f_srgb.data();
    state.active.f_pri[c] = state.fixed.f_pri_srgb.data();
    state.active.f_inv[c] = state.fixed.f_inv_srgb.data();
  }
}

void use_linear_response(Response_state& state) {
  for (int c = 0; c < 3; ++c) {
    state.active.f[c] = state.fixed.f_lin.data();
    state.active.f_pri[c] = state.fixed.f_pri_lin.data();
    state.active.f_inv[c] = state.fixed.f_lin.data();
  }
}

void use_camera_response(Response_state& state) {
  for (int c = 0; c < 3; ++c) {
    state.active.f[c] = state.camera.f[c].data();
    state.active.f_pri[c] = state.camera.f_pri[c].data();
    state.active.f_inv[c] = state.camera.f_inv[c].data();
  }
}

int select_response(Response_state& state, int& choice,
                    const std::vector<Exposure_planes>& exposures,
                    const std::vector<float>& exposure_times, Camera_response_source* source,
                    Hdr_questions& questions) {
  for (;;) {
    if (choice == k_response_srgb) {
      use_srgb_response(state);
      return 0;
    }
    if (choice == k_response_linear) {
      use_linear_response(state);
      return 0;
    }
    if (choice == k_response_recover) {
      if (source && source->recover_and_check(exposures, exposure_times, state.camera)) break;
      const int answer = questions.ask(
          "Recovered response is unreliable.  This image sequence may not be suitable for "
          "response recovery.\nChoose one of the options: ",
          "Cancel", "Use sRGB", "Try again");
      pump_events();
      if (answer == 0) return -1;
      choice = answer == 1 ? k_response_srgb : k_response_recover;
      continue;
    }
    if (source && source->load(state.camera)) break;
    const int answer =
        questions.ask("Cannot load the camera response. Choose one of the options:", "Cancel",
                      "Use sRGB", "Recover New");
    if (answer == 0) return -1;
    choice = answer == 1 ? k_response_srgb : k_response_recover;
  }
  use_camera_response(state);
  return 0;
}
