#include <gtest/gtest.h>

#include "viewer/drop_path.h"

namespace {

struct Drop_case {
  const char* name;
  std::string text;
  std::string path;
};

class DropPath : public ::testing::TestWithParam<Drop_case> {};

TEST_P(DropPath, Rule) { EXPECT_EQ(dropped_text_to_path(GetParam().text), GetParam().path); }

INSTANTIATE_TEST_SUITE_P(
    Cases, DropPath,
    ::testing::Values(
        Drop_case{"FileManagerLf", "file:///home/a/b.exr\n", "/home/a/b.exr"},
        Drop_case{"FileManagerCrLf", "file:///home/a/b.exr\r\n", "/home/a/b.exr"},
        Drop_case{"BarePath", "/tmp/x.png", "/tmp/x.png"},
        Drop_case{"BarePathWithBreak", "/tmp/x.png\n", "/tmp/x.png"},
        Drop_case{"PercentEscapes", "file:///home/a/My%20Photos/%C3%A9t%C3%A9.jpg\r\n",
                  "/home/a/My Photos/\xC3\xA9t\xC3\xA9.jpg"},
        Drop_case{"BarePercentKept", "/tmp/100%20.png", "/tmp/100%20.png"},
        Drop_case{"BrokenEscapeKept", "file:///tmp/a%2", "/tmp/a%2"},
        Drop_case{"BrokenEscapeNotHex", "file:///tmp/a%zz.png", "/tmp/a%zz.png"},
        Drop_case{"OnlyPrefix", "file://", ""}, Drop_case{"OnlyBreaks", "\r\n\r\n", ""},
        Drop_case{"PrefixAndBreaks", "file://\n\n\n\n\n\n\n\n\n", ""}, Drop_case{"Empty", "", ""},
        // Several files: the rule keeps one string that names no readable file.
        Drop_case{"TwoFiles", "file:///a.png\nfile:///b.png\n", "/a.png\nfile:///b.pn"}),
    [](const ::testing::TestParamInfo<Drop_case>& info) { return info.param.name; });

}  // namespace
