// Camera responses kept in the preferences store, and the test a recovery must pass.
#include "hdr/response_store.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <sstream>

const char* const k_coefficient_keys[3] = {"C(red)", "C(gre)", "C(blu)"};
const char* const k_f_keys[3] = {"f(red)", "f(gre)", "f(blu)"};
const char* const k_f_inv_keys[3] = {"f_inv(red)", "f_inv(gre)", "f_inv(blu)"};
const char* const k_f_pri_keys[3] = {"f_pri(red)", "f_pri(gre)", "f_pri(blu)"};

namespace {

constexpr int k_max_coefficients = 6;  // degree 5 at most
constexpr int k_min_degree = 1, k_max_degree = 5;

}  // namespace

std::string camera_group_name(const std::string& camera_name) {
  // The file holds a group as "[name]" on one line and splits names at '/'.
  std::string name = camera_name;
  for (char& ch : name) {
    const unsigned char u = static_cast<unsigned char>(ch);
    if (ch == '/' || ch == '[' || ch == ']' || u < 0x20 || u == 0x7f) ch = '_';
  }
  return name;
}

std::string response_list_text(const float* table, int n) {
  std::ostringstream out;
  out.imbue(std::locale::classic());  // a decimal point whatever the user's locale
  for (int i = 0; i < n; ++i) out << table[i] << ' ';
  return out.str();
}

int read_response_list(const std::string& text, float* table, int n) {
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  int read = 0;
  for (float v; read < n && in >> v; ++read) table[read] = v;
  std::fill(table + std::max(read, 0), table + std::max(n, 0), 0.f);
  return read;
}

void format_response(Fl_Preferences& group, const char* key, const float* table, int n) {
  group.set(key, response_list_text(table, n).c_str());
}

bool parse_response(Fl_Preferences& group, const char* key, float* table, int n) {
  std::vector<char> text(k_response_text_size, '\0');
  const bool found = group.get(key, text.data(), "Default", k_response_text_size) != 0;
  text.back() = '\0';
  read_response_list(text.data(), table, n);
  return found;
}

bool has_stored_response(Fl_Preferences& root, const std::string& camera_name) {
  Fl_Preferences cameras(root, k_camera_group);
  return cameras.groupExists(camera_group_name(camera_name).c_str()) != 0;
}

bool load_response(Fl_Preferences& root, const std::string& camera_name, Camera_response& camera) {
  Fl_Preferences cameras(root, k_camera_group);
  const std::string name = camera_group_name(camera_name);
  if (!cameras.groupExists(name.c_str())) return false;
  Fl_Preferences group(cameras, name.c_str());
  const struct {
    const char* const* keys;
    Response_table* tables;
  } kinds[] = {{k_f_keys, camera.f}, {k_f_inv_keys, camera.f_inv}, {k_f_pri_keys, camera.f_pri}};
  for (const auto& kind : kinds)
    for (int c = 0; c < 3; ++c)
      if (!parse_response(group, kind.keys[c], kind.tables[c].data(), k_response_levels))
        return false;
  return true;
}

void save_response(Fl_Preferences& root, const std::string& camera_name,
                   const Camera_response& camera) {
  Fl_Preferences cameras(root, k_camera_group);
  Fl_Preferences group(cameras, camera_group_name(camera_name).c_str());
  group.set(k_degree_key, int(camera.degree));
  const int coefficients = int(std::min<uint32_t>(camera.degree, k_max_coefficients - 1)) + 1;
  for (int c = 0; c < 3; ++c)
    format_response(group, k_coefficient_keys[c], camera.coefficients[c], coefficients);
  for (int c = 0; c < 3; ++c)
    format_response(group, k_f_keys[c], camera.f[c].data(), k_response_levels);
  for (int c = 0; c < 3; ++c)
    format_response(group, k_f_inv_keys[c], camera.f_inv[c].data(), k_response_levels);
  for (int c = 0; c < 3; ++c)
    format_response(group, k_f_pri_keys[c], camera.f_pri[c].data(), k_response_levels);
}

namespace {

bool all_finite(const Response_table& table) {
  return std::all_of(table.begin(), table.end(), [](float v) { return std::isfinite(v); });
}

}  // namespace

bool response_is_reliable(const Camera_response& camera) {
  if (camera.degree < uint32_t(k_min_degree) || camera.degree > uint32_t(k_max_degree))
    return false;
  for (int c = 0; c < 3; ++c) {
    // A NaN compares false with everything and would pass the counts below unnoticed.
    if (!all_finite(camera.f[c]) || !all_finite(camera.f_inv[c]) || !all_finite(camera.f_pri[c]))
      return false;
    const Response_table& inv = camera.f_inv[c];
    int zeros = 0, decreases = 0;
    for (int i = 1; i < k_response_levels - 1; ++i) {
      if (inv[i] == 0.0) ++zeros;
      if (inv[i] > inv[i + 1]) ++decreases;
      if (zeros > k_max_inverse_faults || decreases > k_max_inverse_faults) return false;
    }
  }
  return true;
}

bool recover_and_check_response(const std::vector<Exposure_planes>& exposures,
                                const std::vector<float>& exposure_times, Camera_response& camera,
                                const Recover_response_fn& recover, Fl_Preferences* root,
                                const std::string& camera_name) {
  if (!recover) return false;
  const int degree = recover(exposures, exposure_times, camera);
  camera.degree = uint32_t(std::max(degree, 0));
  if (!response_is_reliable(camera)) return false;
  if (root) save_response(*root, camera_name, camera);
  return true;
}

bool Stored_response_source::recover_and_check(const std::vector<Exposure_planes>& exposures,
                                               const std::vector<float>& exposure_times,
                                               Camera_response& camera) {
  return recover_and_check_response(exposures, exposure_times, camera, m_recover, m_root,
                                    m_camera_name);
}

bool Stored_response_source::load(Camera_response& camera) {
  return m_root && load_response(*m_root, m_camera_name, camera);
}
