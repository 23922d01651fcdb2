// The grid's geometry: sizes per scale, column counts (width, the 32000 rule, the cap that
// keeps every tile inside 16-bit coordinates), tile positions and the label rule.
#include <gtest/gtest.h>

#include "browser/grid_layout.h"

namespace {

struct Scale_case {
  float scale;
  int tile, gap, label;
};

class Geometry : public ::testing::TestWithParam<Scale_case> {};

TEST_P(Geometry, FollowsTheScale) {
  const Grid_geometry g = grid_geometry(GetParam().scale);
  EXPECT_EQ(g.tile_w, GetParam().tile);
  EXPECT_EQ(g.tile_h, GetParam().tile);
  EXPECT_EQ(g.gap, GetParam().gap);
  EXPECT_EQ(g.label_size, GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(Scales, Geometry,
                         ::testing::Values(Scale_case{1.0f, 128, 30, 12},
                                           Scale_case{0.75f, 96, 22, 9},
                                           Scale_case{0.5f, 64, 15, 6},
                                           Scale_case{0.f, 128, 30, 12}));

struct Columns_case {
  size_t n;
  float scale;
  int width, columns;
};

class Columns : public ::testing::TestWithParam<Columns_case> {};

TEST_P(Columns, FitTheWidthAndTheCoordinateLimit) {
  const Columns_case p = GetParam();
  EXPECT_EQ(grid_columns(p.n, 170, 56, p.width, 0, grid_geometry(p.scale)), p.columns);
}

INSTANTIATE_TEST_SUITE_P(Cases, Columns,
                         ::testing::Values(Columns_case{10, 1.0f, 750, 4},
                                           Columns_case{10, 0.5f, 750, 9},
                                           Columns_case{2000, 1.0f, 750, 10},
                                           Columns_case{1, 1.0f, 50, 1},
                                           Columns_case{0, 1.0f, 750, 4}));

TEST(Columns, NeverPlaceATilePastTheLimitSideways) {
  const Grid_geometry g = grid_geometry(1.0f);
  const size_t n = 1000000;  // more than fit below the limit at any width
  const int c = grid_columns(n, 170, 56, 750, 0, g);
  int x = 0, y = 0;
  tile_position(size_t(c - 1), c, 170, 56, 0, g, x, y);
  EXPECT_LE(x + g.tile_w, k_grid_coordinate_limit);
  EXPECT_GT(c, 4);
}

TEST(TilePosition, RowsAndColumnsWithGaps) {
  const Grid_geometry g = grid_geometry(1.0f);
  int x = 0, y = 0;
  tile_position(0, 4, 170, 56, 0, g, x, y);
  EXPECT_EQ(x, 200);
  EXPECT_EQ(y, 86);
  tile_position(5, 4, 170, 56, 100, g, x, y);  // row 1, column 1, scrolled by 100
  EXPECT_EQ(x, 170 + 128 + 60);
  EXPECT_EQ(y, 56 + 60 + 128 - 100);
}

TEST(ShownLabel, LongNamesKeepThirteenAndFour) {
  EXPECT_EQ(shown_label("IMG_20200101_123456.jpg"), "IMG_20200101_...jpg");
  EXPECT_EQ(shown_label("exactly_18_chars.x"), "exactly_18_chars.x");
  EXPECT_EQ(shown_label("nineteen_chars_.jpg"), "nineteen_char...jpg");
  EXPECT_EQ(shown_label("nineteen_char...jpg").size(), 19u);
  EXPECT_EQ(shown_label(""), "");
}

// Counted and cut in UTF-8 characters, never inside one.
TEST(ShownLabel, CutsAtCharacterBoundaries) {
  struct Case {
    const char* name;
    const char* shown;
  };
  const Case cases[] = {
      // 27 characters of up to two bytes: 13 + ".." + 4.
      {"\u00dcn\u00efc\u00f6d\u00e9_\u00d1ame_l\u00f3ng_ph\u00f6t\u00f6.jpg",
       "\u00dcn\u00efc\u00f6d\u00e9_\u00d1ame_...jpg"},
      // 18 characters in 28 bytes: shown whole.
      {"\u00e4\u00e4\u00e4\u00e4\u00e4\u00e4\u00e4\u00e4\u00e4\u00e4abcd.jpg",
       "\u00e4\u00e4\u00e4\u00e4\u00e4\u00e4\u00e4\u00e4\u00e4\u00e4abcd.jpg"},
      // Three- and four-byte characters at both cuts.
      {"\u6771\u4eac\u306e\u591c\u666f\u5199\u771f\u4e00\u4e8c\u4e09\u56db\u4e94\u516d"
       "\u4e03\u516b\U0001F600\U0001F600\U0001F600\U0001F600",
       "\u6771\u4eac\u306e\u591c\u666f\u5199\u771f\u4e00\u4e8c\u4e09\u56db\u4e94\u516d.."
       "\U0001F600\U0001F600\U0001F600\U0001F600"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(shown_label(c.name), c.shown);
  }
}

}  // namespace
