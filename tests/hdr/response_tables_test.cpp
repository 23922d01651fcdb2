#include "hdr/response_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/event_pump.h"
#include "tests/support/scripted_messages.h"

namespace {

// Records the button labels too, which the shared recorder leaves out.
class Recording_messages : public Scripted_messages {
 public:
  int choice(const std::string& question, const char* b0, const char* b1, const char* b2) override {
    buttons.push_back(std::string(b0) + "|" + b1 + "|" + b2);
    return Scripted_messages::choice(question, b0, b1, b2);
  }
  std::vector<std::string> buttons;
};

// Succeeds from the given attempt on (0: never); fills the camera tables with a marker.
class Fake_source : public Camera_response_source {
 public:
  bool recover_and_check(const std::vector<Exposure_planes>&, const std::vector<float>&,
                         Camera_response& camera) override {
    ++recoveries;
    return fill(camera, recoveries >= recover_from && recover_from > 0, 0.25f);
  }
  bool load(Camera_response& camera) override {
    ++loads;
    return fill(camera, loadable, 0.5f);
  }
  int recover_from = 0;
  bool loadable = false;
  int recoveries = 0, loads = 0;

 private:
  static bool fill(Camera_response& camera, bool ok, float marker) {
    if (ok)
      for (int c = 0; c < 3; ++c) camera.f_inv[c].fill(marker);
    return ok;
  }
};

int g_pumps = 0;
void count_pump() { ++g_pumps; }

const char* const k_unreliable =
    "Recovered response is unreliable.  This image sequence may not be suitable for response "
    "recovery.\nChoose one of the options: ";
const char* const k_cannot_load = "Cannot load the camera response. Choose one of the options:";

TEST(FixedResponses, SrgbTables) {
  const Fixed_responses r = make_fixed_responses();
  EXPECT_EQ(r.f_srgb[0], 0.f);
  EXPECT_EQ(r.f_srgb[255], 1.f);
  EXPECT_EQ(r.f_inv_srgb[0], 0.f);
  EXPECT_EQ(r.f_inv_srgb[255], 1.f);
  EXPECT_EQ(r.f_pri_srgb[0], 0.f);
  EXPECT_EQ(r.f_pri_srgb[255], 0.45f);
  for (int v : {1, 17, 128, 254}) {
    const double x = v / 255.0;
    EXPECT_NEAR(r.f_srgb[v], std::pow(x, 0.45), 1e-6) << v;
    EXPECT_NEAR(r.f_inv_srgb[v], std::pow(x, 2.2), 1e-6 * std::pow(x, 2.2)) << v;
    EXPECT_NEAR(r.f_pri_srgb[v], 0.45 * std::pow(x, -0.55), 1e-5 * std::pow(x, -0.55)) << v;
  }
  for (int v = 1; v < 256; ++v) EXPECT_GT(r.f_inv_srgb[v], r.f_inv_srgb[v - 1]) << v;
}

TEST(FixedResponses, LinearTables) {
  const Fixed_responses r = make_fixed_responses();
  EXPECT_EQ(r.f_pri_lin[0], 0.f);
  for (int v = 0; v < 256; ++v) EXPECT_EQ(r.f_lin[v], float(v) / 255.f) << v;
  for (int v = 1; v < 256; ++v) EXPECT_EQ(r.f_pri_lin[v], 1.f) << v;
}

TEST(SelectResponse, LinearUsesOneTableAsResponseAndInverse) {
  auto state = std::make_unique<Response_state>();
  Message_questions questions;  // sRGB and linear ask nothing
  int choice = k_response_linear;
  ASSERT_EQ(select_response(*state, choice, {}, {}, nullptr, questions), 0);
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(state->active.f[c], state->fixed.f_lin.data());
    EXPECT_EQ(state->active.f_inv[c], state->fixed.f_lin.data());
    EXPECT_EQ(state->active.f_pri[c], state->fixed.f_pri_lin.data());
  }
  choice = k_response_srgb;
  ASSERT_EQ(select_response(*state, choice, {}, {}, nullptr, questions), 0);
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(state->active.f[c], state->fixed.f_srgb.data());
    EXPECT_EQ(state->active.f_inv[c], state->fixed.f_inv_srgb.data());
    EXPECT_EQ(state->active.f_pri[c], state->fixed.f_pri_srgb.data());
  }
}

struct Question_case {
  int choice;        // menu value on entry
  int recover_from;  // recovery succeeds from this attempt (0: never)
  bool loadable;     // the store has the camera
  std::vector<int> answers;
  int expected_return;
  int expected_choice;  // menu value afterwards
  bool camera_active;   // the camera tables are the active ones
  std::vector<std::string> questions;
};

class SelectResponseQuestions : public ::testing::TestWithParam<Question_case> {};

TEST_P(SelectResponseQuestions, FollowTheAnswers) {
  const Question_case& q = GetParam();
  Recording_messages messages;
  Message_questions questions;
  for (int a : q.answers) messages.answers.push_back(a);
  Fake_source source;
  source.recover_from = q.recover_from;
  source.loadable = q.loadable;
  auto state = std::make_unique<Response_state>();
  int choice = q.choice;
  EXPECT_EQ(select_response(*state, choice, {}, {}, &source, questions), q.expected_return);
  EXPECT_EQ(choice, q.expected_choice);
  EXPECT_EQ(messages.questions, q.questions);
  if (q.expected_return == 0) {
    const float* expected =
        q.camera_active ? state->camera.f_inv[1].data() : state->fixed.f_inv_srgb.data();
    EXPECT_EQ(state->active.f_inv[1], expected);
  }
  for (const auto& b : messages.buttons)
    EXPECT_TRUE(b == "Cancel|Use sRGB|Try again" || b == "Cancel|Use sRGB|Recover New") << b;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectResponseQuestions,
    ::testing::Values(
        // A reliable recovery asks nothing.
        Question_case{k_response_recover, 1, false, {}, 0, k_response_recover, true, {}},
        // Unreliable: Cancel ends the creation.
        Question_case{
            k_response_recover, 0, false, {0}, -1, k_response_recover, false, {k_unreliable}},
        // Unreliable, then "Use sRGB": the menu shows sRGB afterwards.
        Question_case{k_response_recover, 0, false, {1}, 0, k_response_srgb, false, {k_unreliable}},
        // "Try again" recovers anew; the second attempt succeeds.
        Question_case{
            k_response_recover, 2, false, {2}, 0, k_response_recover, true, {k_unreliable}},
        // A stored response loads without a question, for every menu value that loads.
        Question_case{k_response_use_recovered, 0, true, {}, 0, k_response_use_recovered, true, {}},
        Question_case{k_response_choose, 0, true, {}, 0, k_response_choose, true, {}},
        Question_case{k_response_enter, 0, true, {}, 0, k_response_enter, true, {}},
        // Nothing stored: Cancel, "Use sRGB", or "Recover New" (which then succeeds).
        Question_case{k_response_use_recovered,
                      0,
                      false,
                      {0},
                      -1,
                      k_response_use_recovered,
                      false,
                      {k_cannot_load}},
        Question_case{
            k_response_use_recovered, 0, false, {1}, 0, k_response_srgb, false, {k_cannot_load}},
        Question_case{
            k_response_choose, 1, false, {2}, 0, k_response_recover, true, {k_cannot_load}},
        // "Recover New" whose recovery is unreliable leads to the other question.
        Question_case{k_response_use_recovered,
                      0,
                      false,
                      {2, 1},
                      0,
                      k_response_srgb,
                      false,
                      {k_cannot_load, k_unreliable}}));

TEST(SelectResponse, WithoutSourceEveryCameraChoiceAsks) {
  Scripted_messages messages;
  Message_questions questions;
  messages.answers = {1};
  auto state = std::make_unique<Response_state>();
  int choice = k_response_recover;
  EXPECT_EQ(select_response(*state, choice, {}, {}, nullptr, questions), 0);
  EXPECT_EQ(choice, k_response_srgb);
  EXPECT_EQ(messages.questions.size(), 1u);
}

TEST(SelectResponse, UnreliableQuestionPumpsEvents) {
  Scripted_messages messages;
  Message_questions questions;
  messages.answers = {0};
  g_pumps = 0;
  const Event_pump_fn previous = set_event_pump(count_pump);
  auto state = std::make_unique<Response_state>();
  int choice = k_response_recover;
  select_response(*state, choice, {}, {}, nullptr, questions);
  set_event_pump(previous);
  EXPECT_EQ(g_pumps, 1);
}

}  // namespace
