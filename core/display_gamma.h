// The monitor gamma used by the display conversion and HDR creation.
// The preferences dialog installs itself as the source at start-up; until then (and in
// algorithm tests) the gamma is the program's default, 2.2.
#pragma once

/// The program's default monitor gamma.
constexpr float k_default_display_gamma = 2.2f;

/// The current display gamma (the value last loaded or saved in the preferences).
float display_gamma();

/// Installs the function that display_gamma() asks; nullptr restores the default 2.2.
using Gamma_source_fn = float (*)();
Gamma_source_fn set_display_gamma_source(Gamma_source_fn fn);
