#pragma once

// The not-available message is shared by every window of the program; it lives with the core services.
#include "core/NotAvailable.h"
