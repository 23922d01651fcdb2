// The one way the program ends itself (Quit). Tests install a function that records the
// code instead of ending the test process.
#pragma once

using Exit_fn = void (*)(int code);

/// Ends the process with the code (std::exit unless another function is installed).
void end_process(int code);

/// Installs the function end_process calls; nullptr restores std::exit. Returns the
/// previous one.
Exit_fn set_exit_function(Exit_fn fn);
