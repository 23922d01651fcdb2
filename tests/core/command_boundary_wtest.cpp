// A command's failure: what the user reads, what is put back first, and that the program
// runs on. A window test: the cursor is set on a shown window.
#include "core/command_boundary.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/busy_cursor.h"
#include "core/event_pump.h"
#include "tests/support/scripted_messages.h"

namespace {

struct Thrown {
  const char* name;
  std::function<void()> work;
  std::string alert;
};

class CommandFailure : public testing::TestWithParam<Thrown> {};

TEST_P(CommandFailure, AlertsOnceAfterPuttingBackTheCommandsState) {
  Scripted_messages messages;
  Fl_Double_Window window(100, 60);
  Fl_Button button(10, 10, 40, 20, "Go");
  window.end();
  window.show();
  Fl::check();
  button.deactivate();
  set_busy_cursor(FL_CURSOR_WAIT);

  std::vector<std::string> order;
  const bool done = Command()
                        .fallback("Cannot read image file: /a/b%s.jpg")
                        .on_failure([&] {
                          order.push_back("undo");
                          EXPECT_TRUE(messages.alerts.empty()) << "clean-up before the alert";
                          EXPECT_FALSE(button.active());
                        })
                        .reactivate(&button)
                        .run(GetParam().work);

  EXPECT_FALSE(done);
  EXPECT_EQ(order, std::vector<std::string>{"undo"});
  EXPECT_TRUE(button.active());
  ASSERT_EQ(messages.alerts.size(), 1u);
  EXPECT_EQ(messages.alerts[0], GetParam().alert);
}

INSTANTIATE_TEST_SUITE_P(
    Thrown, CommandFailure,
    testing::Values(Thrown{"Refusal", [] { throw Refusal("The images have different sizes."); },
                           "The images have different sizes."},
                    Thrown{"TextlessException", [] { throw std::runtime_error(""); },
                           "Cannot read image file: /a/b%s.jpg"},
                    Thrown{"NoStdException", [] { throw 7; }, "Cannot read image file: /a/b%s.jpg"},
                    Thrown{"LibraryException", [] { throw std::bad_alloc(); },
                           std::bad_alloc().what()}),
    [](const testing::TestParamInfo<Thrown>& info) { return std::string(info.param.name); });

TEST(Command, WorkThatEndsLeavesEverythingAsItIs) {
  Scripted_messages messages;
  Fl_Button button(10, 10, 40, 20, "Go");
  button.deactivate();
  bool undone = false;
  int runs = 0;
  EXPECT_TRUE(
      Command().on_failure([&] { undone = true; }).reactivate(&button).run([&] { ++runs; }));
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(undone);
  EXPECT_FALSE(button.active());
  EXPECT_TRUE(messages.alerts.empty());
}

TEST(Command, FixedAlertShowsItsTextAndLogsTheException) {
  Scripted_messages messages;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(
      Command().fixed_alert("Cannot tonemap image. Image data seems to be corrupted.").run([] {
        throw std::runtime_error("Cannot read image file: /x/100%.hdr");
      }));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Cannot read image file: /x/100%.hdr\n");
  EXPECT_EQ(messages.alerts,
            std::vector<std::string>{"Cannot tonemap image. Image data seems to be corrupted."});
}

// A reader's text that names the file stands; a library's text about something else is
// replaced by the fallback that names it.
TEST(Command, NamingKeepsOnlyTextsThatNameThePath) {
  const std::string path = "/x/100%.exr";
  const std::string fallback = "Cannot read image file: " + path;
  const struct {
    std::string thrown, alert;
  } cases[] = {
      {"Cannot open EXR file: " + path, "Cannot open EXR file: " + path},
      {"std::bad_alloc", fallback},
      {"", fallback},
  };
  for (const auto& c : cases) {
    Scripted_messages messages;
    EXPECT_FALSE(
        Command().fallback(fallback).naming(path).run([&] { throw std::runtime_error(c.thrown); }));
    EXPECT_EQ(messages.alerts, std::vector<std::string>{c.alert}) << c.thrown;
  }
}

// A refusal's text is the user's message: neither a fixed alert nor a path to name
// replaces it, and it is no diagnostic.
TEST(Command, ARefusalsTextStandsWhateverTheCommandSays) {
  const std::string text = "Cannot crop '/x/a.png'. The crop region must be within the image.";
  const struct {
    const char* name;
    Command command;
  } cases[] = {
      {"fixed alert", Command().fixed_alert("Resize failed.")},
      {"naming another file",
       Command().fallback("Cannot read image file: /y/b.exr").naming("/y/b.exr")},
  };
  for (const auto& c : cases) {
    Scripted_messages messages;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(c.command.run([&] { throw Refusal(text); }));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.name;
    EXPECT_EQ(messages.alerts, std::vector<std::string>{text}) << c.name;
  }
}

TEST(Command, ACleanUpThatThrowsStillEndsInTheFirstFailuresAlert) {
  Scripted_messages messages;
  EXPECT_FALSE(Command().on_failure([] { throw std::runtime_error("second"); }).run([] {
    throw Refusal("first");
  }));
  EXPECT_EQ(messages.alerts, std::vector<std::string>{"first"});
}

// What an event served inside a running command does: start a second command.
std::function<void()> g_event;
void serve_event() {
  if (g_event) std::exchange(g_event, nullptr)();
}
void serve_event_from_timer(void*) { serve_event(); }

// One job at a time, whichever way the running command serves events: the second command
// is refused with one alert and its clean-up, its work never runs, and the running one
// goes on to its end, its own steps included. Once it has ended, the same command runs.
TEST(Command, ACommandStartedFromARunningCommandsEventsIsRefused) {
  const struct {
    const char* name;
    std::function<void()> serve;
  } pumps[] = {
      {"pump_events", [] { pump_events(); }},
      {"busy cursor",
       [] {
         Fl::add_timeout(0.0, serve_event_from_timer);
         set_busy_cursor(FL_CURSOR_WAIT);
         set_busy_cursor(FL_CURSOR_DEFAULT);
         Fl::remove_timeout(serve_event_from_timer);
       }},
  };
  const Event_pump_fn previous = set_event_pump(serve_event);
  for (const auto& pump : pumps) {
    SCOPED_TRACE(pump.name);
    Scripted_messages messages;
    Fl_Button button(10, 10, 40, 20, "Go");
    std::vector<std::string> order;
    const auto second = [&] {
      button.deactivate();
      const bool ran = Command()
                           .on_failure([&] { order.push_back("second undone"); })
                           .reactivate(&button)
                           .run([&] { order.push_back("second"); });
      order.push_back(ran ? "second ran" : "second refused");
    };
    g_event = second;
    const bool first = Command().run([&] {
      order.push_back("first begins");
      Command().run([&] { order.push_back("own step"); });
      pump.serve();
      order.push_back("first ends");
    });
    EXPECT_TRUE(first);
    EXPECT_EQ(order, (std::vector<std::string>{"first begins", "own step", "second undone",
                                               "second refused", "first ends"}));
    EXPECT_EQ(messages.alerts, std::vector<std::string>{k_job_running_text});
    EXPECT_TRUE(button.active());

    // Served while nothing runs, the command runs.
    order.clear();
    g_event = second;
    pump.serve();
    EXPECT_EQ(order, (std::vector<std::string>{"second", "second ran"}));
    EXPECT_EQ(messages.alerts.size(), 1u);
  }
  set_event_pump(previous);
  g_event = nullptr;
}

}  // namespace
