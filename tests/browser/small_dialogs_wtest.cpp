#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Display.H>
#include <FL/Fl_Window.H>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "browser/about_dlg.h"
#include "browser/dir_view.h"
#include "browser/new_folder_dlg.h"
#include "browser/rename_dlg.h"
#include "browser/text_file_dlg.h"
#include "core/app_globals.h"
#include "tests/support/read_only_dir.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_dir.h"

namespace {

const char k_invalid[] =
    "Invalid characters in input. For compatibility reasons please only use alphanumeric "
    "characters, underscore, and hyphen.";

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

class RenameDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(write_file_bytes(m_dir.file("photo.jpg"), "photo"));
    m_dlg.set_renamed_callback([this](const std::string& old_path, const std::string& name) {
      m_renamed.push_back(old_path + " -> " + name);
    });
    m_dlg.setup(m_dir.path(), "photo.jpg");
  }
  void type_and_rename(const char* text) {
    m_dlg.name_input->value(text);
    m_dlg.rename_button->do_callback();  // the return button runs the dialog's action
  }

  Temp_dir m_dir;
  Scripted_messages m_messages;
  RenameDlgDrv m_dlg{455, 145, "Rename File"};
  std::vector<std::string> m_renamed;
};

TEST_F(RenameDialog, SetupSplitsTheNameAndShowsTheBase) {
  EXPECT_TRUE(m_dlg.shown());
  EXPECT_TRUE(m_dlg.modal());
  EXPECT_STREQ(m_dlg.name_input->value(), "photo");
  EXPECT_EQ(m_dlg.base_name(), "photo");
  EXPECT_EQ(m_dlg.extension(), ".jpg");
  EXPECT_EQ(m_dlg.old_path(), m_dir.file("photo.jpg"));
}

TEST_F(RenameDialog, NewNameKeepsTheExtension) {
  type_and_rename("photo 2");
  EXPECT_EQ(read_file_bytes(m_dir.file("photo 2.jpg")), "photo");
  EXPECT_FALSE(exists(m_dir.file("photo.jpg")));
  EXPECT_FALSE(m_dlg.shown());
  EXPECT_TRUE(m_messages.alerts.empty());
  EXPECT_EQ(m_renamed, std::vector<std::string>{m_dir.file("photo.jpg") + " -> photo 2.jpg"});
}

TEST_F(RenameDialog, UnchangedNameClosesAndTouchesNothing) {
  type_and_rename("photo");
  EXPECT_FALSE(m_dlg.shown());
  EXPECT_TRUE(exists(m_dir.file("photo.jpg")));
  EXPECT_TRUE(m_renamed.empty());
  EXPECT_TRUE(m_messages.alerts.empty());
}

class RenameRefused : public RenameDialog, public ::testing::WithParamInterface<const char*> {};

TEST_P(RenameRefused, ByTheNameCheck) {
  type_and_rename(GetParam());
  EXPECT_EQ(m_messages.alerts, std::vector<std::string>{k_invalid});
  EXPECT_TRUE(m_dlg.shown());
  EXPECT_EQ(read_file_bytes(m_dir.file("photo.jpg")), "photo");
  EXPECT_TRUE(m_renamed.empty());
}

INSTANTIATE_TEST_SUITE_P(Names, RenameRefused,
                         ::testing::Values("photo.png", "", "../photo", "a/b", "caf\xc3\xa9"));

TEST_F(RenameDialog, ExistingNameIsRefusedAndKeepsBothFiles) {
  ASSERT_TRUE(write_file_bytes(m_dir.file("other.jpg"), "other"));
  type_and_rename("other");
  EXPECT_EQ(m_messages.alerts,
            std::vector<std::string>{"Another file with the same name exists. Please use a "
                                     "different name."});
  EXPECT_TRUE(m_dlg.shown());
  EXPECT_EQ(read_file_bytes(m_dir.file("other.jpg")), "other");
  EXPECT_EQ(read_file_bytes(m_dir.file("photo.jpg")), "photo");
}

TEST_F(RenameDialog, FolderOfThatNameIsRefused) {
  ASSERT_EQ(mkdir(m_dir.file("taken.jpg").c_str(), 0755), 0);
  type_and_rename("taken");
  EXPECT_EQ(m_messages.alerts.size(), 1u);
  EXPECT_TRUE(exists(m_dir.file("photo.jpg")));
}

TEST(RenameDialogFailure, ReadOnlyFolderAlertsAndStaysOpen) {
  Temp_dir dir;
  Scripted_messages messages;
  const std::string folder = dir.file("ro/");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  ASSERT_TRUE(write_file_bytes(folder + "photo.jpg", "photo"));
  RenameDlgDrv dlg(455, 145, "Rename File");
  dlg.setup(folder, "photo.jpg");
  {
    Read_only_dir ro(folder);
    if (!ro.active()) GTEST_SKIP() << "cannot make a folder read-only here";
    dlg.name_input->value("new");
    dlg.rename();
  }
  EXPECT_EQ(messages.alerts, std::vector<std::string>{"Rename failed. Please try another name."});
  EXPECT_TRUE(dlg.shown());
  EXPECT_TRUE(exists(folder + "photo.jpg"));
}

class NewFolderDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    m_window = std::make_unique<Fl_Window>(300, 300);
    m_view = new Dir_view(0, 0, 300, 300);
    m_window->end();
    g_dir_view = m_view;
    m_view->go_to(m_dir.path(), false, true);
    m_dlg.show();
  }
  void TearDown() override { g_dir_view = nullptr; }

  void type_and_create(const char* text) {
    m_dlg.name_input->value(text);
    m_dlg.create_button->do_callback();
  }
  bool listed(const std::string& line) const {
    for (int i = 1; i <= m_view->size(); ++i)
      if (line == m_view->text(i)) return true;
    return false;
  }

  Temp_dir m_dir;
  Scripted_messages m_messages;
  std::unique_ptr<Fl_Window> m_window;
  Dir_view* m_view = nullptr;
  NewFolderDlgDrv m_dlg{400, 130, "Create New Directory"};
};

TEST_F(NewFolderDialog, DefaultNameWithASpaceIsCreatedAndListed) {
  EXPECT_STREQ(m_dlg.name_input->value(), "New Directory");
  m_dlg.create_button->do_callback();
  struct stat st;
  ASSERT_EQ(stat(m_dir.file("New Directory").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_TRUE(m_messages.alerts.empty());
  EXPECT_FALSE(m_dlg.shown());
  EXPECT_EQ(m_view->current_dir(), m_dir.path());  // the folder list stays where it was
  EXPECT_TRUE(listed("New Directory/"));
}

TEST_F(NewFolderDialog, EveryShowingStartsFromTheDefault) {
  m_dlg.name_input->value("typed");
  m_dlg.hide();
  m_dlg.show();
  EXPECT_STREQ(m_dlg.name_input->value(), "New Directory");
}

TEST_F(NewFolderDialog, FileOfThatNameIsRefused) {
  ASSERT_TRUE(write_file_bytes(m_dir.file("taken"), "x"));
  type_and_create("taken");
  EXPECT_EQ(m_messages.alerts,
            std::vector<std::string>{
                "Another directory with the same name exists. Please use a different name."});
  EXPECT_TRUE(m_dlg.shown());
  EXPECT_EQ(read_file_bytes(m_dir.file("taken")), "x");
}

TEST_F(NewFolderDialog, InvalidAndEmptyNamesAreRefused) {
  for (const char* name : {"", "a.b", "../up", "x/y"}) {
    m_messages.alerts.clear();
    type_and_create(name);
    EXPECT_EQ(m_messages.alerts, std::vector<std::string>{k_invalid}) << name;
    EXPECT_TRUE(m_dlg.shown());
  }
  EXPECT_FALSE(exists(m_dir.file("up")));
}

TEST_F(NewFolderDialog, ReadOnlyFolderAlertsAndStaysOpen) {
  const std::string folder = m_dir.file("ro/");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  m_view->go_to(folder, false, true);
  {
    Read_only_dir ro(folder);
    if (!ro.active()) GTEST_SKIP() << "cannot make a folder read-only here";
    type_and_create("inside");
  }
  EXPECT_EQ(m_messages.alerts,
            std::vector<std::string>{
                "Directory cannot be created. Please check the folder name and the permissions."});
  EXPECT_TRUE(m_dlg.shown());
}

TEST(NewFolderDialogNoFolder, NothingIsMadeInTheWorkingFolder) {
  Scripted_messages messages;
  Temp_dir dir;
  char here[4096];
  ASSERT_NE(getcwd(here, sizeof here), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  g_dir_view = nullptr;
  NewFolderDlgDrv dlg(400, 130, "Create New Directory");
  dlg.show();
  dlg.create();
  EXPECT_EQ(chdir(here), 0);
  EXPECT_FALSE(exists(dir.file("New Directory")));
  EXPECT_EQ(messages.alerts.size(), 1u);
}

// The text dialogs read their files relative to the working folder.
class TextDialogs : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(getcwd(m_here, sizeof m_here), nullptr); }
  void TearDown() override { EXPECT_EQ(chdir(m_here), 0); }
  char m_here[4096] = {};
};

TEST_F(TextDialogs, ReadTheirWholeFiles) {
  Temp_dir dir;
  ASSERT_EQ(mkdir(dir.file("interface").c_str(), 0755), 0);
  // Longer than one read chunk of 131,072 bytes.
  std::string thanks;
  while (thanks.size() < 300000)
    thanks += "Thank you, line " + std::to_string(thanks.size()) + "\n";
  ASSERT_TRUE(write_file_bytes(dir.file("interface/thanksto.txt"), thanks));
  ASSERT_TRUE(write_file_bytes(dir.file("interface/release_notes.txt"), "Notes\n"));
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  ThanksToDlg thanks_dlg(385, 345, "Thanks To");
  ReleaseNotesDlg notes_dlg(385, 345, "Release Notes");
  char* text = thanks_dlg.text().text();
  EXPECT_EQ(std::string(text), thanks);
  free(text);
  text = notes_dlg.text().text();
  EXPECT_STREQ(text, "Notes\n");
  free(text);
  EXPECT_TRUE(thanks_dlg.modal());
  EXPECT_EQ(thanks_dlg.resizable(), static_cast<Fl_Widget*>(thanks_dlg.display));
  EXPECT_FALSE(thanks_dlg.shown());
}

TEST_F(TextDialogs, MissingFilesLeaveTheDisplayEmpty) {
  Temp_dir dir;
  Scripted_messages messages;
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  ThanksToDlg thanks_dlg(385, 345, "Thanks To");
  ReleaseNotesDlg notes_dlg(385, 345, "Release Notes");
  EXPECT_EQ(thanks_dlg.text().length(), 0);
  EXPECT_EQ(notes_dlg.text().length(), 0);
  EXPECT_TRUE(messages.alerts.empty());
}

TEST_F(TextDialogs, TheProgramsOwnFilesAreThere) {
  ASSERT_EQ(chdir(VELTRUM_SOURCE_DIR), 0);
  ThanksToDlg thanks_dlg(385, 345, "Thanks To");
  ReleaseNotesDlg notes_dlg(385, 345, "Release Notes");
  EXPECT_GT(thanks_dlg.text().length(), 0);
  EXPECT_GT(notes_dlg.text().length(), 0);
}

TEST(AboutDialog, ShowsTheStoredPictureAndCloses) {
  AboutDlg dlg(418, 300, "About veltrum");
  EXPECT_EQ(dlg.picture_box->image(), &g_about_picture);
  EXPECT_EQ(g_about_picture.w(), 420);
  EXPECT_EQ(g_about_picture.h(), 315);
  EXPECT_TRUE(dlg.modal());
  dlg.show();
  Fl::check();
  EXPECT_TRUE(dlg.shown());
  dlg.close_button->do_callback();
  EXPECT_FALSE(dlg.shown());
}

}  // namespace
