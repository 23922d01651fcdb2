// Camera responses in the preferences store: group "Camera", one subgroup per camera
// name, number lists as text; and the reliability test a recovered response must pass
// before it is stored.
#pragma once
#include <FL/Fl_Preferences.H>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "hdr/exposure_planes.h"
#include "hdr/response_tables.h"

/// The store's group holding one subgroup per camera.
inline constexpr const char* k_camera_group = "Camera";
/// Number-list keys, channels red, green, blue.
extern const char* const k_coefficient_keys[3];  // "C(red)", "C(gre)", "C(blu)"
extern const char* const k_f_keys[3];            // "f(red)", ...
extern const char* const k_f_inv_keys[3];        // "f_inv(red)", ...
extern const char* const k_f_pri_keys[3];        // "f_pri(red)", ...
inline constexpr const char* k_degree_key = "C(degree)";

/// parse_response reads at most this many characters of a key's text.
constexpr int k_response_text_size = 4096;
/// A channel's inverse with more zeros, or more decreases, than this is unreliable.
constexpr int k_max_inverse_faults = 5;

/// The subgroup name of a camera: the name with every character the preferences file
/// cannot hold in a group name ('/', ']', '[', control characters) replaced by '_', so a
/// hostile EXIF make or model can neither split, lose nor corrupt the file's groups.
std::string camera_group_name(const std::string& camera_name);

/// The numbers as the store keeps them: each in the stream's default format (six
/// significant digits) followed by one space, the last one included.
std::string response_list_text(const float* table, int n);
/// Reads up to n white-space-separated floats of text into table; entries after the first
/// that cannot be read are set to 0. Returns how many were read.
int read_response_list(const std::string& text, float* table, int n);

/// Writes the n numbers as the text of key.
void format_response(Fl_Preferences& group, const char* key, const float* table, int n);
/// Reads key's text (cut at 4095 characters) into table (read_response_list). True when
/// the key exists, whether or not n numbers could be read.
bool parse_response(Fl_Preferences& group, const char* key, float* table, int n);

/// Whether the store holds a response for the camera (its subgroup exists).
bool has_stored_response(Fl_Preferences& root, const std::string& camera_name);
/// Reads the nine tables of the camera into camera (f, f_inv, f_pri of red, green, blue,
/// in that order); false at the first missing key (or a missing subgroup). Degree and
/// coefficients are not read.
bool load_response(Fl_Preferences& root, const std::string& camera_name, Camera_response& camera);
/// Writes degree, degree + 1 coefficients per channel and the nine tables under the
/// camera's subgroup (created when absent), key by key; other keys stay. Changes the store
/// in memory only; the store writes its file when the program ends.
void save_response(Fl_Preferences& root, const std::string& camera_name,
                   const Camera_response& camera);

/// A recovered response is reliable when its degree is 1 to 5, every table value is a
/// finite number, and no channel's inverse at levels 1..254 holds more than five zeros or
/// more than five decreases (f_inv[i] > f_inv[i + 1]).
bool response_is_reliable(const Camera_response& camera);

/// Response recovery: fills camera (coefficients and the f, f_inv, f_pri tables of all
/// three channels) from the exposures and their relative exposures; returns the degree.
using Recover_response_fn =
    std::function<int(const std::vector<Exposure_planes>& exposures,
                      const std::vector<float>& exposure_times, Camera_response& camera)>;

/// Recovers a response into camera (keeping its degree there) and stores it under the
/// camera name when reliable; root may be null (nothing stored). An unreliable response
/// stays in camera but is not stored. A null recover gives false.
bool recover_and_check_response(const std::vector<Exposure_planes>& exposures,
                                const std::vector<float>& exposure_times, Camera_response& camera,
                                const Recover_response_fn& recover, Fl_Preferences* root,
                                const std::string& camera_name);

/// The camera responses of HDR creation backed by recovery and the preferences store.
/// root (not owned) may be null: then nothing loads and nothing is stored.
class Stored_response_source : public Camera_response_source {
 public:
  Stored_response_source(Fl_Preferences* root, Recover_response_fn recover)
      : m_root(root), m_recover(std::move(recover)) {}

  /// The camera whose stored response is loaded and under whose name recoveries are kept.
  void set_camera_name(const std::string& name) { m_camera_name = name; }
  const std::string& camera_name() const { return m_camera_name; }
  void set_recover(Recover_response_fn recover) { m_recover = std::move(recover); }

  bool recover_and_check(const std::vector<Exposure_planes>& exposures,
                         const std::vector<float>& exposure_times,
                         Camera_response& camera) override;
  bool load(Camera_response& camera) override;

 private:
  Fl_Preferences* m_root;
  Recover_response_fn m_recover;
  std::string m_camera_name = "Unknown Unknown";
};
