#include "tests/support/scripted_messages.h"

Scripted_messages::Scripted_messages() : m_previous(set_message_backend(this)) {}
Scripted_messages::~Scripted_messages() { set_message_backend(m_previous); }

int Scripted_messages::choice(const std::string& question, const char*, const char*,
                              const char*) {
  questions.push_back(question);
  if (answers.empty()) return 0;
  const int a = answers.front();
  answers.pop_front();
  return a;
}
