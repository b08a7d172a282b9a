#pragma once

#include "res/resource_table.h"

// The German resources, built into the program; they are in use until another language replaces
// them.
const LumikartaResourceTable& GermanResources();
