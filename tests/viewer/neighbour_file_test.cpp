// Which grid file Next and Previous Image go to.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "viewer/neighbour_file.h"

namespace {

struct Neighbour_case {
  const char* what;
  std::vector<std::string> paths;
  const char* current;
  bool forward;
  std::optional<size_t> want;
};

class Neighbour : public ::testing::TestWithParam<Neighbour_case> {};

TEST_P(Neighbour, FindsTheFileBesideTheViewersOne) {
  const Neighbour_case& c = GetParam();
  EXPECT_EQ(neighbour_index(c.paths, c.current, c.forward), c.want) << c.what;
}

const std::vector<std::string> k_three = {"/p/a.png", "/p/b.png", "/p/c.png"};

INSTANTIATE_TEST_SUITE_P(
    Cases, Neighbour,
    ::testing::Values(
        Neighbour_case{"next of the first", k_three, "/p/a.png", true, 1},
        Neighbour_case{"next of the second-to-last", k_three, "/p/b.png", true, 2},
        Neighbour_case{"next of the last", k_three, "/p/c.png", true, std::nullopt},
        Neighbour_case{"previous of the last", k_three, "/p/c.png", false, 1},
        Neighbour_case{"previous of the second", k_three, "/p/b.png", false, 0},
        Neighbour_case{"previous of the first", k_three, "/p/a.png", false, std::nullopt},
        Neighbour_case{"file not in the grid", k_three, "/q/a.png", true, std::nullopt},
        Neighbour_case{"same name, other folder", k_three, "/p/sub/b.png", false, std::nullopt},
        Neighbour_case{"one tile", {"/p/a.png"}, "/p/a.png", true, std::nullopt},
        Neighbour_case{"empty grid", {}, "/p/a.png", false, std::nullopt},
        Neighbour_case{"two tiles, next", {"/p/a.png", "/p/b.png"}, "/p/a.png", true, 1},
        Neighbour_case{"two tiles, previous", {"/p/a.png", "/p/b.png"}, "/p/b.png", false, 0}));

}  // namespace
