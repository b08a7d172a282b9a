#pragma once

#include <string>

#include "support/support_call.h"

// A request of one known customer about printing; `description` is what a test sends through.
SupportRequest SampleSupportRequest(std::string description);
