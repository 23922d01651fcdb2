// The scoped flag every re-entry guard uses; free of the toolkit, so algorithms use it too.
#pragma once

/// Sets flag for the life of the object and clears it however the scope ends. Each action
/// keeps one flag (a viewer action one shared by every viewer), so a second call that
/// arrives through an event pump can return at once.
class Guard {
 public:
  explicit Guard(bool& flag) : m_flag(flag) { m_flag = true; }
  ~Guard() { m_flag = false; }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  bool& m_flag;
};
