// The text of the statistics dialog: the name line and the four figures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/hdr_image.h"
#include "viewer/image_stats_text.h"

namespace {

TEST(Image_stats_text, FourFiguresWithTwoDecimalsInTheirOrder) {
  Image_stats s;
  s.computed = 1;
  s.range_log10 = 2.4065f;
  s.range_ev = 7.994f;
  s.range_log10_99 = 1.f;
  s.range_log10_95 = 0.1f;
  EXPECT_EQ(stats_figure_lines(s),
            (std::vector<std::string>{
                "@b@S12Dynamic range (EVs):\t@S12 7.99", "@b@S12Dynamic range:\t@S12 2.41",
                "@b@S12Dynamic range (99%):\t@S12 1.00", "@b@S12Dynamic range (95%):\t@S12 0.10"}));
}

TEST(Image_stats_text, NameLineKeepsOutsideTextInItsColumn) {
  EXPECT_EQ(stats_name_line("a.png"), "@b@S12Name:\t@S12 a.png");
  EXPECT_EQ(stats_name_line("a\t@C1\n.png"), "@b@S12Name:\t@S12 a @C1 .png");
}

TEST(Image_stats_text, GreyRampFromOneTo255) {
  // 8-bit grey 1..255: log10(255) = 2.41, log2(255) = 7.99.
  Hdr_image im(255, 1, 1, 3, 0.f);
  for (int x = 0; x < 255; ++x)
    for (int c = 0; c < 3; ++c) im(x, 0, 0, c) = float(x + 1);
  dynamic_range(im.stats, im);
  const std::vector<std::string> lines = stats_figure_lines(im.stats);
  EXPECT_EQ(lines[0], "@b@S12Dynamic range (EVs):\t@S12 7.99");
  EXPECT_EQ(lines[1], "@b@S12Dynamic range:\t@S12 2.41");
}

}  // namespace
