// The refusal a piece of work ends in, for tables of refused inputs.
#pragma once
#include <functional>
#include <string>

/// The text of the Refusal that work throws; "" when it runs to its end. Other
/// exceptions pass on, so a failure of another kind fails the test.
std::string refusal_of(const std::function<void()>& work);
