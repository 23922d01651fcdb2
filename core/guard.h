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

/// Guard over a run's state (its flag `running`, its data freed by `reset_run()`): marks the
/// run busy and frees its data however the run ends, the data first, then the flag.
template <class State>
class Run_guard {
 public:
  explicit Run_guard(State& state) : m_state(state), m_running(state.running) {}
  ~Run_guard() { m_state.reset_run(); }
  Run_guard(const Run_guard&) = delete;
  Run_guard& operator=(const Run_guard&) = delete;

 private:
  State& m_state;
  Guard m_running;  // destroyed after the destructor's body: the flag clears last
};
