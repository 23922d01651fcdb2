// The viewer's action scopes; they live in the core library, where the HDR dialogs use
// them too.
#pragma once
#include "core/action_scopes.h"
