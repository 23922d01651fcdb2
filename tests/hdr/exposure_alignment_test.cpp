#include "hdr/exposure_alignment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "hdr/hdr_assembly.h"
#include "tests/support/exposure_series.h"
#include "tests/support/progress_recorder.h"
#include "tests/support/scripted_messages.h"

namespace {

constexpr uint32_t k_w = 300, k_h = 240;
constexpr int k_pad = 20;  // the base texture reaches this far beyond every exposure

// Noise texture with levels 20..165: with the channel offsets (up to 14) and a gain of 1.4
// it stays inside the unclipped levels 5..250.
uint8_t texture(int64_t x, int64_t y) {
  const uint32_t h = (uint32_t(x) * 73856093u) ^ (uint32_t(y) * 19349663u) ^ 0x5bd1e995u;
  return uint8_t(20 + (h * 2654435761u >> 24) % 146);
}

// Exposure k shows the texture from offset (ox[k], oy[k]) through a brightness map.
struct Shifted_series {
  Exposure_series series;
  std::vector<int> ox, oy;
  std::vector<std::function<uint8_t(uint8_t)>> gain;

  Shifted_series(std::vector<int> x_offsets, std::vector<int> y_offsets, bool vary_brightness)
      : ox(std::move(x_offsets)), oy(std::move(y_offsets)) {
    std::vector<std::vector<uint8_t>> levels;
    for (size_t k = 0; k < ox.size(); ++k) {
      const bool bright = vary_brightness && k % 2 == 1;
      gain.push_back([bright](uint8_t v) { return bright ? uint8_t(v * 7 / 5) : v; });
      std::vector<uint8_t> px(size_t(k_w) * k_h * 3);
      for (int c = 0; c < 3; ++c)
        for (uint32_t y = 0; y < k_h; ++y)
          for (uint32_t x = 0; x < k_w; ++x)
            px[(size_t(c) * k_h + y) * k_w + x] =
                gain[k](uint8_t(texture(x + k_pad + ox[k], y + k_pad + oy[k]) + 7 * c));
      levels.push_back(std::move(px));
    }
    make_series(series, k_w, k_h, levels, std::vector<float>(ox.size(), 1.f));
  }

  // After alignment every exposure shows the middle one's view; pixels whose source lay
  // outside the exposure are 0.
  // Only exposure `only` when given.
  void expect_aligned_to_middle(size_t only = SIZE_MAX) const {
    const size_t m = ox.size() / 2;
    for (size_t k = 0; k < ox.size(); ++k) {
      if (only != SIZE_MAX && k != only) continue;
      const int dx = ox[m] - ox[k], dy = oy[m] - oy[k];  // expected translation
      int wrong = 0;
      for (int c = 0; c < 3; ++c)
        for (int y = 0; y < int(k_h); ++y)
          for (int x = 0; x < int(k_w); ++x) {
            const bool inside =
                x + dx >= 0 && x + dx < int(k_w) && y + dy >= 0 && y + dy < int(k_h);
            const uint8_t expected =
                inside ? gain[k](uint8_t(texture(x + k_pad + ox[m], y + k_pad + oy[m]) + 7 * c))
                       : 0;
            wrong += series.pixels[k][(size_t(c) * k_h + y) * k_w + x] != expected;
          }
      EXPECT_EQ(wrong, 0) << "exposure " << k << " expected shift " << dx << "," << dy;
    }
  }
};

struct Shift_case {
  const char* name;
  std::vector<int> ox, oy;
  bool vary_brightness;
};

void PrintTo(const Shift_case& c, std::ostream* os) { *os << c.name; }

class AlignsKnownShifts : public testing::TestWithParam<Shift_case> {};

TEST_P(AlignsKnownShifts, EveryExposureMatchesTheMiddleOne) {
  const Shift_case& c = GetParam();
  Shifted_series s(c.ox, c.oy, c.vary_brightness);
  Progress_recorder progress;
  testing::internal::CaptureStdout();
  ASSERT_EQ(align_exposures_seeded(s.series.planes, progress, 17), 0);
  const std::string out = testing::internal::GetCapturedStdout();
  s.expect_aligned_to_middle();
  EXPECT_NE(out.find("xShift = "), std::string::npos);
  ASSERT_FALSE(progress.calls.empty());
  EXPECT_EQ(progress.calls[0].label, "Aligning images");
  EXPECT_EQ(progress.calls[0].maximum, float(c.ox.size() - 1));
  EXPECT_EQ(progress.calls.size(), c.ox.size());  // start and one update per pair
}

// Exposure offsets: content at (x, y) of exposure k sits at (x - ox[k] + ox[j], ...) in j.
INSTANTIATE_TEST_SUITE_P(
    Series, AlignsKnownShifts,
    testing::Values(Shift_case{"identical", {0, 0, 0}, {0, 0, 0}, false},
                    // Exposure 2 displaced by (+3, -2) against exposure 1.
                    Shift_case{"three_plus3_minus2", {0, 0, -3}, {0, 0, 2}, false},
                    Shift_case{"two_exposures", {0, 5}, {0, -4}, false},
                    Shift_case{"four_exposures", {2, -1, 0, 6}, {-3, 0, 1, 1}, true},
                    Shift_case{"five_with_brightness", {0, 1, 3, 6, 10}, {0, -2, -4, -6, -8}, true},
                    Shift_case{"largest_search_step", {0, 18}, {0, -18}, true}),
    [](const testing::TestParamInfo<Shift_case>& i) { return i.param.name; });

// On a texture repeating every 8 pixels every shift by multiples of 8 matches as well.
// A tie is no evidence of a shift: the pair stays as it is and is reported.
TEST(AlignExposures, PeriodicTextureTiesAndStaysUnshifted) {
  std::vector<uint8_t> px(size_t(k_w) * k_h * 3);
  for (int c = 0; c < 3; ++c)
    for (uint32_t y = 0; y < k_h; ++y)
      for (uint32_t x = 0; x < k_w; ++x)
        px[(size_t(c) * k_h + y) * k_w + x] = texture(x % 8, y % 8);
  std::vector<std::vector<uint8_t>> pixels = {px, px};
  std::vector<Exposure_planes> planes = {{pixels[0].data(), k_w, k_h, 3},
                                         {pixels[1].data(), k_w, k_h, 3}};
  Progress_recorder progress;
  std::vector<int> uncompared;
  testing::internal::CaptureStdout();
  ASSERT_EQ(align_exposures_seeded(planes, progress, 8, &uncompared), 0);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("xShift = 0\nyShift = 0\n"), std::string::npos) << out;
  EXPECT_EQ(pixels[0], px);
  EXPECT_EQ(pixels[1], px);
  EXPECT_EQ(uncompared, std::vector<int>{0});
}

// A brighter exposure saturated over the whole searched area codes as one flat value:
// every shift matched it equally and the scan's first position, 40 pixels off in both
// directions, won. Such a pair stays unshifted whatever the region search draws, and so
// does a pair whose views are unrelated (the luckiest of the shifts matches noise with
// noise). One saturated over its middle third only is matched elsewhere, and a textured
// pair with a shift is found under the same seeds.
enum class Saturated { none, search, middle_third };

struct Pair_case {
  const char* name;
  Saturated saturated;  // in the second exposure
  int dx, dy;           // offset of the second exposure's view
  bool found;
};

void PrintTo(const Pair_case& c, std::ostream* os) { *os << c.name; }

class AlignPairEverySeed : public testing::TestWithParam<Pair_case> {};

TEST_P(AlignPairEverySeed, MovesOnlyByTheTrueShift) {
  const Pair_case& c = GetParam();
  for (uint32_t seed = 0; seed < 24; ++seed) {
    SCOPED_TRACE(seed);
    Shifted_series s({0, c.dx}, {0, c.dy}, true);
    // Every candidate lies in the middle third; its search reaches 56 pixels beyond, its
    // window 16.
    const uint32_t reach = c.saturated == Saturated::search ? 56 : 16;
    if (c.saturated != Saturated::none)
      for (int ch = 0; ch < 3; ++ch)
        for (uint32_t y = k_h / 3 - reach; y < 2 * (k_h / 3) + reach; ++y)
          for (uint32_t x = k_w / 3 - reach; x < 2 * (k_w / 3) + reach; ++x)
            s.series.pixels[1][(size_t(ch) * k_h + y) * k_w + x] = 255;
    const auto before = s.series.pixels;
    Progress_recorder progress;
    std::vector<int> uncompared;
    testing::internal::CaptureStdout();
    ASSERT_EQ(align_exposures_seeded(s.series.planes, progress, seed, &uncompared), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(s.series.pixels[1], before[1]);  // the middle exposure of two
    if (c.found)
      s.expect_aligned_to_middle(0);
    else
      EXPECT_EQ(s.series.pixels[0], before[0]);
    EXPECT_EQ(uncompared, c.found ? std::vector<int>{} : std::vector<int>{0});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, AlignPairEverySeed,
    testing::Values(Pair_case{"saturated_over_the_search", Saturated::search, 0, 0, false},
                    Pair_case{"saturated_and_shifted", Saturated::search, 6, -4, false},
                    Pair_case{"unrelated_views", Saturated::none, 1000, 0, false},
                    Pair_case{"middle_third_saturated", Saturated::middle_third, 6, -4, true},
                    Pair_case{"textured_and_shifted", Saturated::none, 6, -4, true}),
    [](const testing::TestParamInfo<Pair_case>& i) { return i.param.name; });

// A scene of dark rocks and foliage against a bright sky, textured everywhere over about
// eight stops, through the sRGB curve; every level moved by -1, 0 or +1 as noise. The two
// brightest frames are 60 to 80 % clipped, with no clip-free square in their middle third:
// the regions are found among the textured pixels left, and clipped pixels stay out of
// the comparison. Every frame is displaced by its own offset.
struct Scene_bracket {
  static constexpr uint32_t w = 320, h = 256;
  const std::vector<float> times{0.25f, 1.f, 4.f, 12.f, 18.f};
  const std::vector<int> ox{0, 3, 5, 9, 10}, oy{0, -1, 1, -2, -4};
  Exposure_series series;
  Response_state responses;

  static double radiance(int64_t x, int64_t y) {
    const double large =
        std::sin(x / 31.0 + 0.5 * std::sin(y / 23.0)) * std::cos(y / 27.0 - x / 61.0);
    const double fine = texture(x, y) / 145.0 - 0.63;  // about -0.5..0.5
    return std::exp2(-3.0 + 3.0 * large + 1.5 * fine);
  }
  static int noise(int64_t x, int64_t y, size_t m) {
    return int(texture(x * 7 + int64_t(m), y * 3 - int64_t(m)) % 3) - 1;
  }
  // Frame m as it shows the scene from (view_x, view_y) on, grey.
  std::vector<uint8_t> frame(size_t m, int view_x, int view_y) {
    std::vector<float> r(size_t(w) * h * 3);
    for (int c = 0; c < 3; ++c)
      for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
          r[(size_t(c) * h + y) * w + x] = float(radiance(x + view_x, y + view_y));
    Exposure_series one;
    render_exposures(one, r, w, h, {times[m]}, responses.fixed.f_inv_srgb.data());
    std::vector<uint8_t>& px = one.pixels[0];
    for (int c = 0; c < 3; ++c)
      for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
          uint8_t& v = px[(size_t(c) * h + y) * w + x];
          v = uint8_t(std::clamp(v + noise(x + view_x, y + view_y, m), 0, 255));
        }
    return px;
  }
  Scene_bracket() {
    std::vector<std::vector<uint8_t>> levels;
    for (size_t m = 0; m < times.size(); ++m) levels.push_back(frame(m, ox[m], oy[m]));
    make_series(series, w, h, levels, times);
  }
  double clipped_share(size_t m) const {
    const uint8_t* g = series.planes[m].plane(1);
    uint64_t clipped = 0;
    for (uint64_t i = 0; i < uint64_t(w) * h; ++i) clipped += g[i] > 250;
    return double(clipped) / double(uint64_t(w) * h);
  }
};

TEST(AlignExposures, FindsEveryPairOfABracketWithLargelyClippedBrightFrames) {
  Scene_bracket scene;
  for (size_t m : {size_t(3), size_t(4)}) {
    EXPECT_GE(scene.clipped_share(m), 0.6) << m;
    EXPECT_LE(scene.clipped_share(m), 0.8) << m;
  }
  // The frames every one must become: the middle frame's view, 0 where uncovered.
  const size_t mid = scene.times.size() / 2;
  std::vector<std::vector<uint8_t>> expected;
  for (size_t m = 0; m < scene.times.size(); ++m) {
    expected.push_back(scene.frame(m, scene.ox[mid], scene.oy[mid]));
    const int dx = scene.ox[mid] - scene.ox[m], dy = scene.oy[mid] - scene.oy[m];
    for (int c = 0; c < 3; ++c)
      for (int y = 0; y < int(scene.h); ++y)
        for (int x = 0; x < int(scene.w); ++x)
          if (x + dx < 0 || x + dx >= int(scene.w) || y + dy < 0 || y + dy >= int(scene.h))
            expected[m][(size_t(c) * scene.h + size_t(y)) * scene.w + size_t(x)] = 0;
  }
  const auto original = scene.series.pixels;
  for (uint32_t seed = 0; seed < 24; ++seed) {
    SCOPED_TRACE(seed);
    scene.series.pixels = original;
    std::vector<Exposure_planes> planes;
    for (auto& px : scene.series.pixels) planes.push_back({px.data(), scene.w, scene.h, 3});
    Progress_recorder progress;
    std::vector<int> uncompared;
    testing::internal::CaptureStdout();
    ASSERT_EQ(align_exposures_seeded(planes, progress, seed, &uncompared), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(uncompared.empty());
    for (size_t m = 0; m < expected.size(); ++m)
      EXPECT_TRUE(scene.series.pixels[m] == expected[m]) << "frame " << m;
  }
}

TEST(AlignExposures, CancelEndsBeforeAnyExposureMoves) {
  Shifted_series s({0, 4, 8}, {0, 0, 0}, false);
  const auto before = s.series.pixels;
  Progress_recorder progress;
  progress.cancel_at_update = 1;
  testing::internal::CaptureStdout();
  EXPECT_EQ(align_exposures_seeded(s.series.planes, progress, 3), -1);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(s.series.pixels, before);
  EXPECT_EQ(progress.calls.size(), 2u);
}

// Exposures that cannot be compared stay as they are, and the alignment ends.
TEST(AlignExposures, UncomparableExposuresAreLeftUnshifted) {
  struct Case {
    const char* name;
    std::vector<std::pair<uint32_t, uint32_t>> sizes;
    std::vector<uint8_t> levels;  // per exposure; 0: texture
  };
  const Case cases[] = {
      {"uniform", {{k_w, k_h}, {k_w, k_h}, {k_w, k_h}}, {128, 128, 128}},
      {"saturated", {{k_w, k_h}, {k_w, k_h}}, {255, 255}},
      {"second wholly clipped", {{k_w, k_h}, {k_w, k_h}}, {0, 255}},
      {"middle wholly clipped", {{k_w, k_h}, {k_w, k_h}, {k_w, k_h}}, {0, 255, 0}},
      {"one pixel", {{1, 1}, {1, 1}}, {0, 0}},
      {"tiny", {{5, 7}, {5, 7}, {5, 7}}, {0, 0, 0}},
      {"smaller than the search", {{100, 100}, {100, 100}}, {0, 0}},
      {"different sizes", {{k_w, k_h}, {200, 150}}, {0, 0}},
      {"different sizes reversed", {{200, 150}, {k_w, k_h}}, {0, 0}},
      {"empty", {{0, 0}, {0, 0}}, {0, 0}},
      {"single exposure", {{k_w, k_h}}, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::vector<uint8_t>> pixels;
    std::vector<Exposure_planes> planes;
    for (size_t k = 0; k < c.sizes.size(); ++k) {
      const auto [w, h] = c.sizes[k];
      std::vector<uint8_t> px(size_t(w) * h * 3);
      for (size_t i = 0; i < px.size(); ++i)
        px[i] = c.levels[k] ? c.levels[k] : texture(int64_t(i % w), int64_t(i / w));
      pixels.push_back(std::move(px));
    }
    for (size_t k = 0; k < pixels.size(); ++k)
      planes.push_back({pixels[k].data(), c.sizes[k].first, c.sizes[k].second, 3});
    const auto before = pixels;
    Progress_recorder progress;
    std::vector<int> uncompared = {7};  // replaced
    testing::internal::CaptureStdout();
    EXPECT_EQ(align_exposures_seeded(planes, progress, 5, &uncompared), 0);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(pixels, before);
    // Every pair is reported once.
    std::vector<int> every_pair;
    for (int i = 0; i + 1 < int(pixels.size()); ++i) every_pair.push_back(i);
    EXPECT_EQ(uncompared, every_pair);
    if (!every_pair.empty()) {
      EXPECT_NE(out.find("Exposures 0 and 1 cannot be compared"), std::string::npos) << out;
    }
  }
  std::vector<Exposure_planes> none;
  Progress_recorder progress;
  std::vector<int> uncompared;
  EXPECT_EQ(align_exposures(none, progress, uncompared), 0);
}

TEST(AlignExposures, PlugsIntoTheAssembly) {
  Shifted_series s({0, 3}, {0, 0}, false);
  Assembly_state state;
  Assembly_settings settings;
  settings.align = true;
  settings.align_exposures = align_exposures;
  Progress_recorder progress;
  Scripted_messages messages;
  Message_questions questions;
  Hdr_image result(k_w, k_h, 1, 3, 0.f);
  testing::internal::CaptureStdout();
  ASSERT_EQ(
      build_hdr(state, result, s.series.planes, s.series.times, settings, progress, questions), 0);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(progress.phases(), (std::vector<std::string>{"Aligning images", "Assembling images"}));
  s.expect_aligned_to_middle();
}

TEST(ChainShifts, ExpressesEveryExposureAgainstTheMiddleOne) {
  struct Case {
    std::vector<int> pairwise, chained;
  };
  const Case cases[] = {
      {{0}, {0}},
      {{0, 5}, {-5, 0}},
      {{0, 3, 7}, {-3, 0, 7}},
      {{0, 1, 2, 3}, {-3, -2, 0, 3}},
      {{0, 1, 2, 3, 4}, {-3, -2, 0, 3, 7}},
      {{0, 1, -2, 4, 8, 16}, {-3, -2, -4, 0, 8, 24}},
  };
  for (const Case& c : cases) {
    std::vector<int> s = c.pairwise;
    chain_shifts(s);
    EXPECT_EQ(s, c.chained);
  }
}

TEST(TranslateExposure, MovesAllChannelsWithZeroFill) {
  // 4 x 2, three channels: values 1..24.
  std::vector<uint8_t> px(24);
  for (size_t i = 0; i < px.size(); ++i) px[i] = uint8_t(i + 1);
  Exposure_planes e{px.data(), 4, 2, 3};
  translate_exposure(e, 1, -1);  // new (x, y) = old (x + 1, y - 1)
  const std::vector<uint8_t> expected = {0,  0,  0,  0, 2, 3, 4, 0, 0,  0,  0,  0,
                                         10, 11, 12, 0, 0, 0, 0, 0, 18, 19, 20, 0};
  EXPECT_EQ(px, expected);
  translate_exposure(e, 4, 0);  // as wide as the image
  EXPECT_EQ(px, std::vector<uint8_t>(24, 0));
}

TEST(DirectionCodes, SignsOfRightAndLowerDifferences) {
  struct Case {
    uint32_t code;
    std::function<int(int, int)> level;
  };
  const Case cases[] = {
      {1, [](int x, int y) { return 200 - x - y; }},
      {2, [](int x, int y) { return 150 - x + y; }},
      {3, [](int x, int) { return 200 - x; }},
      {4, [](int x, int y) { return 100 + x - y; }},
      {5, [](int x, int y) { return 50 + x + y; }},
      {6, [](int x, int) { return 100 + x; }},
      {7, [](int, int y) { return 200 - y; }},
      {8, [](int, int y) { return 100 + y; }},
      {9, [](int, int) { return 77; }},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> px(40 * 40 * 3);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) px[size_t(40 * 40 + y * 40 + x)] = uint8_t(c.level(x, y));
    const Exposure_planes e{px.data(), 40, 40, 3};
    Direction_map map;
    direction_codes(e, 20, 20, k_align_window, map);
    for (uint32_t v : map) ASSERT_EQ(v, c.code);
  }
}

TEST(CodeMismatch, CountsDifferencesInsideTheWindow) {
  Direction_map a, b;
  a.fill(9);
  b = a;
  EXPECT_EQ(code_mismatch(a, b, k_align_window), 0);
  b[0] = 1;
  b[31 * 32 + 31] = 2;
  b[5 * 32 + 20] = 3;
  EXPECT_EQ(code_mismatch(a, b, k_align_window), 3);
  EXPECT_EQ(code_mismatch(a, b, 10), 1);  // only the first 9 rows and columns
  b.fill(1);
  EXPECT_EQ(code_mismatch(a, b, k_align_window), 1024);
}

// A position whose pixel, right or lower neighbour is clipped gets no code, and only
// positions coded in both maps are compared.
TEST(DirectionCodes, ClippedPositionsAreLeftOutOfTheComparison) {
  std::vector<uint8_t> px(40 * 40 * 3);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      px[size_t(40 * 40 + y * 40 + x)] = x == 10 ? 251 : y == 12 ? 4 : uint8_t(100 + x + 2 * y);
  const Exposure_planes e{px.data(), 40, 40, 3};
  Direction_map all, skipped;
  direction_codes(e, 20, 20, k_align_window, all);
  direction_codes(e, 20, 20, k_align_window, skipped, true);
  // Map column c reads pixel x = c + 4, row r pixel y = r + 4.
  for (int r = 0; r < k_code_side; ++r)
    for (int c = 0; c < k_code_side; ++c) {
      const size_t i = size_t(r * k_code_side + c);
      const bool touches = c + 4 == 10 || c + 4 == 9 || r + 4 == 12 || r + 4 == 11;
      ASSERT_NE(all[i], 0u);
      ASSERT_EQ(skipped[i], touches ? 0u : all[i]) << r << "," << c;
    }
  Direction_map other = all;
  other[0] = all[0] == 1 ? 2 : 1;  // differs, coded in both
  other[1] = 0;
  other[2] = all[2] == 1 ? 2 : 1;  // differs, not coded in the first
  Direction_map first = all;
  first[2] = 0;
  const Code_match m = match_codes(first, other);
  EXPECT_EQ(m.compared, 1024 - 2);
  EXPECT_EQ(m.differing, 1);
}

TEST(FindRoi, TexturedCentreInTheMiddleThirdOrThePreviousPosition) {
  Shifted_series s({0}, {0}, false);
  testing::internal::CaptureStdout();
  int x = -5, y = -5;
  ASSERT_TRUE(find_roi(s.series.planes[0], k_align_margin, k_align_window, -1, -1, x, y, 1));
  EXPECT_GE(x, int(k_w / 3));
  EXPECT_LT(x, int(2 * (k_w / 3)));
  EXPECT_GE(y, int(k_h / 3));
  EXPECT_LT(y, int(2 * (k_h / 3)));
  ASSERT_TRUE(find_roi(s.series.planes[0], k_align_margin, k_align_window, 70, 160, x, y, 1));
  EXPECT_EQ(x, 70);
  EXPECT_EQ(y, 160);
  // A previous position whose search would leave the image is passed over.
  ASSERT_TRUE(find_roi(s.series.planes[0], k_align_margin, k_align_window, 20, 20, x, y, 1));
  EXPECT_GE(x, 56);
  EXPECT_GE(y, 56);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("mves = "), std::string::npos);
  EXPECT_EQ(out.find("Could not find ROI"), std::string::npos);
}

// The clip bounds at their edges: a texture of levels 251 (or 4) and 120 has too few
// positions whose pixel and neighbours are all unclipped; 250 (or 5) and 120 qualifies.
TEST(FindRoi, ClipBoundsAreFiveAndTwoHundredFifty) {
  const struct {
    uint8_t level;
    bool found;
  } cases[] = {{251, false}, {250, true}, {4, false}, {5, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.level));
    std::vector<uint8_t> px(size_t(k_w) * k_h * 3);
    for (size_t i = 0; i < px.size(); ++i)
      px[i] = texture(int64_t(i % k_w), int64_t(i / k_w)) % 2 ? c.level : 120;
    const Exposure_planes e{px.data(), k_w, k_h, 3};
    int x = -7, y = -7;
    testing::internal::CaptureStdout();
    EXPECT_EQ(find_roi(e, k_align_margin, k_align_window, -1, -1, x, y, 4), c.found);
    EXPECT_EQ(find_roi(e, k_align_margin, k_align_window, -1, -1, x, y, 4, &e), c.found);
    testing::internal::GetCapturedStdout();
  }
}

// Levels outside 5..250 never qualify, however far the edge threshold is relaxed; a
// uniform exposure has no edges at all. Both give up and leave the position alone.
TEST(FindRoi, ClippedAndUniformRegionsGiveUp) {
  std::vector<uint8_t> px(size_t(k_w) * k_h * 3);
  for (size_t i = 0; i < px.size(); ++i)
    px[i] = texture(int64_t(i % k_w), int64_t(i / k_w)) % 2 ? 255 : 0;
  const Exposure_planes clipped{px.data(), k_w, k_h, 3};
  int x = -7, y = -7;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(find_roi(clipped, k_align_margin, k_align_window, -1, -1, x, y, 2));
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Could not find ROI. Halving minimum edge magnitude.\n"), std::string::npos);
  EXPECT_EQ(x, -7);
  EXPECT_EQ(y, -7);

  std::fill(px.begin(), px.end(), uint8_t(90));
  testing::internal::CaptureStdout();
  EXPECT_FALSE(find_roi(clipped, k_align_margin, k_align_window, -1, -1, x, y, 2));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(x, -7);
  EXPECT_EQ(y, -7);
}

}  // namespace
