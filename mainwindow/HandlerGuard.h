#pragma once

// The handler guard is shared by every window of the program; it lives with the core services.
#include "core/HandlerGuard.h"
