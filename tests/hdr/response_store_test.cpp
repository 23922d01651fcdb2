#include "hdr/response_store.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <ostream>

#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"

namespace {

const float k_nan = std::numeric_limits<float>::quiet_NaN();

TEST(ResponseListText, DefaultStreamFormatEachFollowedByASpace) {
  const float values[] = {1.f / 255.f, 1.f, 3.5e-5f, 0.f, -2.5f, 1234567.f, 100000.f};
  EXPECT_EQ(response_list_text(values, 7), "0.00392157 1 3.5e-05 0 -2.5 1.23457e+06 100000 ");
  EXPECT_EQ(response_list_text(values, 0), "");
}

TEST(ReadResponseList, StopsAtTheFirstFailureAndClearsTheRest) {
  float table[5] = {9, 9, 9, 9, 9};
  EXPECT_EQ(read_response_list("0.5 1e-3\n2 ", table, 5), 3);
  EXPECT_EQ(std::vector<float>(table, table + 5), (std::vector<float>{0.5f, 1e-3f, 2, 0, 0}));
  std::fill(table, table + 5, 9.f);
  EXPECT_EQ(read_response_list("1 nan 3", table, 5), 1);
  EXPECT_EQ(std::vector<float>(table, table + 5), (std::vector<float>{1, 0, 0, 0, 0}));
  EXPECT_EQ(read_response_list("Default", table, 5), 0);
  EXPECT_EQ(table[0], 0.f);
  // More numbers than the table holds: only n are read.
  float two[2] = {};
  EXPECT_EQ(read_response_list("1 2 3 4", two, 2), 2);
  EXPECT_EQ(two[1], 2.f);
}

// A store of its own in a temporary folder; reopen() writes the file and reads it back.
class Store : public ::testing::Test {
 protected:
  Store() { reopen(); }
  void reopen() {
    root.reset();  // destruction writes the file
    root = std::make_unique<Fl_Preferences>(dir.path().c_str(), "veltrum.org", "store_test");
  }
  Temp_dir dir;
  std::unique_ptr<Fl_Preferences> root;
};

TEST_F(Store, ParseResponseSaysWhetherTheKeyExistsAndCutsLongTexts) {
  Fl_Preferences group(*root, "g");
  float table[3] = {7, 7, 7};
  EXPECT_FALSE(parse_response(group, "missing", table, 3));
  group.set("junk", "not numbers");
  EXPECT_TRUE(parse_response(group, "junk", table, 3));
  EXPECT_EQ(table[0], 0.f);

  // 2047 values of "1 " fill 4094 characters; the cut leaves "2" of the last "23".
  std::string text;
  for (int i = 0; i < 2047; ++i) text += "1 ";
  text += "23 5 ";
  group.set("long", text.c_str());
  std::vector<float> many(2049, 9.f);
  EXPECT_TRUE(parse_response(group, "long", many.data(), int(many.size())));
  EXPECT_EQ(many[2046], 1.f);
  EXPECT_EQ(many[2047], 2.f);
  EXPECT_EQ(many[2048], 0.f);
}

// Values that survive six significant digits exactly, different per table and channel.
Camera_response patterned(uint32_t degree) {
  Camera_response r;
  r.degree = degree;
  for (int c = 0; c < 3; ++c) {
    for (int v = 0; v < k_response_levels; ++v) {
      r.f[c][v] = float(v + c) / 1000.f;
      r.f_inv[c][v] = float(v * 2 + c) / 1000.f;
      r.f_pri[c][v] = float(v * 3 + c) / 1000.f;
    }
    for (int k = 0; k < 6; ++k) r.coefficients[c][k] = float(k + 10 * c) / 8.f;
  }
  return r;
}

TEST_F(Store, SavedResponseLoadsBackAndWritesThirteenKeys) {
  const Camera_response saved = patterned(3);
  {
    Fl_Preferences cameras(*root, k_camera_group);
    Fl_Preferences group(cameras, "Canon EOS 5D");
    group.set("note", "kept");
  }
  EXPECT_FALSE(has_stored_response(*root, "Nikon D800"));
  save_response(*root, "Canon EOS 5D", saved);
  reopen();
  ASSERT_TRUE(has_stored_response(*root, "Canon EOS 5D"));

  auto loaded = std::make_unique<Camera_response>();
  ASSERT_TRUE(load_response(*root, "Canon EOS 5D", *loaded));
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(loaded->f[c], saved.f[c]);
    EXPECT_EQ(loaded->f_inv[c], saved.f_inv[c]);
    EXPECT_EQ(loaded->f_pri[c], saved.f_pri[c]);
  }
  EXPECT_EQ(loaded->degree, 0u);  // degree and coefficients are only written

  Fl_Preferences cameras(*root, k_camera_group);
  Fl_Preferences group(cameras, "Canon EOS 5D");
  EXPECT_EQ(group.entries(), 14);  // thirteen keys and the one that was there
  int degree = 0;
  group.get(k_degree_key, degree, 0);
  EXPECT_EQ(degree, 3);
  float coefficients[6] = {};
  ASSERT_TRUE(parse_response(group, "C(gre)", coefficients, 6));
  EXPECT_EQ(std::vector<float>(coefficients, coefficients + 6),
            (std::vector<float>{1.25f, 1.375f, 1.5f, 1.625f, 0, 0}));
  char note[16] = {};
  group.get("note", note, "", sizeof note);
  EXPECT_STREQ(note, "kept");
}

TEST_F(Store, LoadNeedsAllNineTables) {
  auto camera = std::make_unique<Camera_response>();
  EXPECT_FALSE(load_response(*root, "Canon EOS 5D", *camera));
  save_response(*root, "Canon EOS 5D", patterned(2));
  {
    Fl_Preferences cameras(*root, k_camera_group);
    Fl_Preferences group(cameras, "Canon EOS 5D");
    for (const char* key : {k_degree_key, "C(red)", "C(gre)", "C(blu)"}) group.deleteEntry(key);
  }
  EXPECT_TRUE(load_response(*root, "Canon EOS 5D", *camera));
  {
    Fl_Preferences cameras(*root, k_camera_group);
    Fl_Preferences group(cameras, "Canon EOS 5D");
    group.deleteEntry("f_pri(blu)");
  }
  EXPECT_FALSE(load_response(*root, "Canon EOS 5D", *camera));
}

TEST_F(Store, DegreeBeyondFiveNeverWritesPastTheCoefficients) {
  save_response(*root, "Odd", patterned(9));
  Fl_Preferences cameras(*root, k_camera_group);
  Fl_Preferences group(cameras, "Odd");
  std::vector<float> c(8, 9.f);
  ASSERT_TRUE(parse_response(group, "C(red)", c.data(), 8));
  EXPECT_EQ(c[5], 5.f / 8.f);
  EXPECT_EQ(c[6], 0.f);  // six written at most
}

class HostileCameraName : public Store, public ::testing::WithParamInterface<std::string> {};

TEST_P(HostileCameraName, SurvivesTheFileAndLeavesOtherCamerasIntact) {
  save_response(*root, "Canon EOS 5D", patterned(1));
  save_response(*root, GetParam(), patterned(2));
  save_response(*root, "Nikon D800", patterned(3));
  reopen();
  reopen();  // the file as the hostile name left it can be read and written again
  auto camera = std::make_unique<Camera_response>();
  for (const std::string& name :
       {std::string("Canon EOS 5D"), GetParam(), std::string("Nikon D800")}) {
    EXPECT_TRUE(has_stored_response(*root, name)) << name;
    EXPECT_TRUE(load_response(*root, name, *camera)) << name;
  }
  EXPECT_EQ(camera->f_inv[2][255], float(255 * 2 + 2) / 1000.f);
  EXPECT_EQ(Fl_Preferences(*root, k_camera_group).groups(), 3);
}

INSTANTIATE_TEST_SUITE_P(Names, HostileCameraName,
                         ::testing::Values("Maker Model]x", "Maker \n[Nikon D800]\nX",
                                           "Maker a/b/c", "Maker \r\t\x7f", " ", "[x] [y]",
                                           "%s%n Maker"));

TEST(CameraGroupName, ReplacesOnlyWhatTheFileCannotHold) {
  EXPECT_EQ(camera_group_name("Canon EOS 5D Mark II"), "Canon EOS 5D Mark II");
  EXPECT_EQ(camera_group_name("A/B]C[D\nE"), "A_B_C_D_E");
  EXPECT_EQ(camera_group_name("Ünïcode (x) #1"), "Ünïcode (x) #1");
}

// An increasing inverse, faults added per test.
std::unique_ptr<Camera_response> good_response() {
  auto r = std::make_unique<Camera_response>();
  r->degree = 3;
  for (int c = 0; c < 3; ++c)
    for (int v = 0; v < k_response_levels; ++v) {
      r->f[c][v] = r->f_inv[c][v] = float(v) / 255.f;
      r->f_pri[c][v] = 1.f;
    }
  return r;
}

struct Fault_case {
  const char* name;
  int zeros, dips;  // in blue, zeros from level 1 up, dips at levels 10, 20, ...
  bool zero_top, huge_bottom;
  bool ok;
};

void PrintTo(const Fault_case& c, std::ostream* os) { *os << c.name; }

class ResponseReliability : public ::testing::TestWithParam<Fault_case> {};

TEST_P(ResponseReliability, AtMostFiveZerosAndFiveDecreasesPerChannel) {
  const auto& q = GetParam();
  auto r = good_response();
  Response_table& inv = r->f_inv[2];
  for (int i = 1; i <= q.zeros; ++i) inv[i] = 0.f;
  for (int k = 1; k <= q.dips; ++k) inv[10 * k] = inv[10 * k + 1] + 0.001f;
  if (q.zero_top) inv[255] = 0.f;   // a decrease from 254, not a zero
  if (q.huge_bottom) inv[0] = 5.f;  // level 0 is never looked at
  EXPECT_EQ(response_is_reliable(*r), q.ok);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResponseReliability,
    ::testing::Values(Fault_case{"clean", 0, 0, false, false, true},
                      Fault_case{"five_zeros_five_dips", 5, 5, false, false, true},
                      Fault_case{"six_zeros", 6, 0, false, false, false},
                      Fault_case{"six_dips", 0, 6, false, false, false},
                      Fault_case{"last_level_as_sixth_dip", 0, 5, true, false, false},
                      Fault_case{"last_level_alone", 0, 0, true, false, true},
                      Fault_case{"level_zero_ignored", 0, 0, false, true, true}));

TEST(ResponseReliability, FaultsCountPerChannel) {
  auto r = good_response();
  for (int c = 0; c < 3; ++c)
    for (int i = 1; i <= 5; ++i) r->f_inv[c][i] = 0.f;
  EXPECT_TRUE(response_is_reliable(*r));
}

TEST(ResponseReliability, NonFiniteValuesAndDegreesOutsideOneToFiveAreRefused) {
  auto r = good_response();
  r->f_inv[1][100] = k_nan;  // compares false with everything: the counts alone pass it
  EXPECT_FALSE(response_is_reliable(*r));
  r = good_response();
  r->f[0][3] = k_nan;
  EXPECT_FALSE(response_is_reliable(*r));
  r = good_response();
  r->f_pri[2][0] = std::numeric_limits<float>::infinity();
  EXPECT_FALSE(response_is_reliable(*r));
  for (uint32_t degree : {0u, 6u, 1u, 5u}) {
    r = good_response();
    r->degree = degree;
    EXPECT_EQ(response_is_reliable(*r), degree >= 1 && degree <= 5) << degree;
  }
}

// Recovery stand-in: writes a clean response (or one with a broken inverse).
Recover_response_fn fake_recovery(bool reliable, int* calls) {
  return [reliable, calls](const std::vector<Exposure_planes>&, const std::vector<float>& t,
                           Camera_response& camera) {
    ++*calls;
    auto r = good_response();
    if (!reliable) r->f_inv[0].fill(0.f);
    r->f_inv[1][128] = t.empty() ? 0.5f : t.back() / 100.f;
    camera = *r;
    return 4;
  };
}

TEST_F(Store, RecoveryIsStoredOnlyWhenReliable) {
  int calls = 0;
  auto camera = std::make_unique<Camera_response>();
  EXPECT_FALSE(recover_and_check_response({}, {1, 2}, *camera, fake_recovery(false, &calls),
                                          root.get(), "Canon EOS 5D"));
  EXPECT_EQ(camera->degree, 4u);  // the rejected response stays in the dialog
  EXPECT_EQ(camera->f_inv[0][200], 0.f);
  EXPECT_FALSE(has_stored_response(*root, "Canon EOS 5D"));

  EXPECT_TRUE(recover_and_check_response({}, {1, 25}, *camera, fake_recovery(true, &calls),
                                         root.get(), "Canon EOS 5D"));
  EXPECT_EQ(calls, 2);
  auto loaded = std::make_unique<Camera_response>();
  ASSERT_TRUE(load_response(*root, "Canon EOS 5D", *loaded));
  EXPECT_EQ(loaded->f_inv[1][128], 0.25f);

  EXPECT_TRUE(recover_and_check_response({}, {1}, *camera, fake_recovery(true, &calls), nullptr,
                                         "Nikon D800"));
  EXPECT_FALSE(recover_and_check_response({}, {1}, *camera, Recover_response_fn{}, root.get(),
                                          "Nikon D800"));
  EXPECT_FALSE(has_stored_response(*root, "Nikon D800"));
}

TEST_F(Store, SelectionRecoversStoresAndLaterLoadsTheCamera) {
  Scripted_messages messages;
  Message_questions questions;
  int calls = 0;
  Stored_response_source source(root.get(), fake_recovery(true, &calls));
  source.set_camera_name("Canon EOS 5D");
  auto state = std::make_unique<Response_state>();
  int choice = k_response_recover;
  ASSERT_EQ(select_response(*state, choice, {}, {1, 50}, &source, questions), 0);
  EXPECT_EQ(state->active.f_inv[1], state->camera.f_inv[1].data());

  auto next = std::make_unique<Response_state>();
  choice = k_response_use_recovered;
  ASSERT_EQ(select_response(*next, choice, {}, {}, &source, questions), 0);
  EXPECT_EQ(next->camera.f_inv[1][128], 0.5f);
  EXPECT_TRUE(messages.questions.empty());

  // Another camera has nothing stored: the question, answered "Use sRGB".
  source.set_camera_name("Nikon D800");
  messages.answers = {1};
  choice = k_response_use_recovered;
  ASSERT_EQ(select_response(*next, choice, {}, {}, &source, questions), 0);
  EXPECT_EQ(choice, k_response_srgb);
  EXPECT_EQ(messages.questions.size(), 1u);

  Stored_response_source no_store(nullptr, {});
  choice = k_response_use_recovered;
  messages.answers = {0};
  EXPECT_EQ(select_response(*next, choice, {}, {}, &no_store, questions), -1);
}

}  // namespace
