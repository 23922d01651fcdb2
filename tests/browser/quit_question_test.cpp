// The texts of the questions Quit asks about viewers with unsaved changes and Delete asks
// about the selected files.
#include "browser/quit_question.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

std::vector<std::string> numbered_names(int n) {
  std::vector<std::string> names;
  for (int i = 1; i <= n; ++i) names.push_back("photo" + std::to_string(i) + ".jpg");
  return names;
}

struct Question_case {
  const char* what;
  std::vector<std::string> names;
  std::string text;
};

class Unsaved_images_question : public ::testing::TestWithParam<Question_case> {};

TEST_P(Unsaved_images_question, CountsAndNamesTheImages) {
  EXPECT_EQ(unsaved_images_question(GetParam().names), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Unsaved_images_question,
    ::testing::Values(
        Question_case{"one",
                      {"IMG 0001.jpg"},
                      "1 image has unsaved changes:\nIMG 0001.jpg\n\nQuit and lose these changes?"},
        Question_case{"two",
                      {"a.exr", "Untitled"},
                      "2 images have unsaved changes:\na.exr\nUntitled\n\nQuit and lose these "
                      "changes?"},
        Question_case{"ten: all named", numbered_names(10),
                      "10 images have unsaved changes:\nphoto1.jpg\nphoto2.jpg\nphoto3.jpg\n"
                      "photo4.jpg\nphoto5.jpg\nphoto6.jpg\nphoto7.jpg\nphoto8.jpg\nphoto9.jpg\n"
                      "photo10.jpg\n\nQuit and lose these changes?"},
        Question_case{"eleven: ten named, then an ellipsis", numbered_names(11),
                      "11 images have unsaved changes:\nphoto1.jpg\nphoto2.jpg\nphoto3.jpg\n"
                      "photo4.jpg\nphoto5.jpg\nphoto6.jpg\nphoto7.jpg\nphoto8.jpg\nphoto9.jpg\n"
                      "photo10.jpg\n\u2026\n\nQuit and lose these changes?"}),
    [](const ::testing::TestParamInfo<Question_case>& info) {
      std::string name;
      for (const char* p = info.param.what; *p && *p != ':'; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
      return name;
    });

class Delete_images_question : public ::testing::TestWithParam<Question_case> {};

TEST_P(Delete_images_question, CountsAndNamesTheFiles) {
  EXPECT_EQ(delete_images_question(GetParam().names), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Delete_images_question,
    ::testing::Values(Question_case{"one", {"IMG 0001.jpg"}, "Delete 1 image?\nIMG 0001.jpg"},
                      Question_case{"three",
                                    {"a.jpg", "b.jpg", "c.jpg"},
                                    "Delete 3 images?\na.jpg\nb.jpg\nc.jpg"},
                      Question_case{"ten: all named", numbered_names(10),
                                    "Delete 10 images?\nphoto1.jpg\nphoto2.jpg\nphoto3.jpg\n"
                                    "photo4.jpg\nphoto5.jpg\nphoto6.jpg\nphoto7.jpg\n"
                                    "photo8.jpg\nphoto9.jpg\nphoto10.jpg"},
                      Question_case{"eleven: ten named, then an ellipsis", numbered_names(11),
                                    "Delete 11 images?\nphoto1.jpg\nphoto2.jpg\nphoto3.jpg\n"
                                    "photo4.jpg\nphoto5.jpg\nphoto6.jpg\nphoto7.jpg\n"
                                    "photo8.jpg\nphoto9.jpg\nphoto10.jpg\n\u2026"}),
    [](const ::testing::TestParamInfo<Question_case>& info) {
      std::string name;
      for (const char* p = info.param.what; *p && *p != ':'; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
      return name;
    });

}  // namespace
