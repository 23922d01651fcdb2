#include "tests/support/scripted_messages.h"

Scripted_messages::Scripted_messages() : m_previous(set_message_backend(this)) {}
Scripted_messages::~Scripted_messages() { set_message_backend(m_previous); }

int Scripted_messages::choice_with_return_key(const std::string& question, const char* b0,
                                              const char* b1, const char* b2,
                                              Return_key return_key) {
  m_return_key = return_key;
  // Through choice, which a test's own recorder may extend.
  const int answer = choice(question, b0, b1, b2);
  m_return_key = Return_key::second_button;
  return answer;
}

int Scripted_messages::choice(const std::string& question, const char* b0, const char* b1,
                              const char* b2) {
  questions.push_back(question);
  return_keys.push_back(m_return_key);
  std::vector<std::string> labels;
  for (const char* b : {b0, b1, b2})
    if (b) labels.emplace_back(b);
  buttons.push_back(std::move(labels));
  if (answers.empty()) return 0;
  const int a = answers.front();
  answers.pop_front();
  return a;
}
