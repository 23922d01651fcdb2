// A message backend for tests: records every alert, hint and question with its button
// labels, and answers questions from a script (button indices, in order; 0 once the
// script runs out).
#pragma once
#include <deque>
#include <string>
#include <vector>

#include "core/messages.h"

class Scripted_messages : public Message_backend {
 public:
  Scripted_messages();   // installs itself
  ~Scripted_messages();  // restores the previous backend

  void alert(const std::string& text) override { alerts.push_back(text); }
  void message(const std::string& text) override { messages.push_back(text); }
  int choice(const std::string& question, const char* b0, const char* b1, const char* b2) override;
  int choice_with_return_key(const std::string& question, const char* b0, const char* b1,
                             const char* b2, Return_key return_key) override;

  std::vector<std::string> alerts, messages, questions;
  /// The labels of each question's buttons, in the order shown (index = answer); a null
  /// label (a button left out) is not listed. One entry per entry of questions.
  std::vector<std::vector<std::string>> buttons;
  /// Which button each question gives the Return key. One entry per entry of questions.
  std::vector<Return_key> return_keys;
  std::deque<int> answers;

 private:
  Message_backend* m_previous;
  Return_key m_return_key = Return_key::second_button;  // of the question being asked
};
