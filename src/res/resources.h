#pragma once

#include <cstdint>
#include <string>

#include "res/resource_table.h"

// The process's current resource source: the German resources built in, until start-up switches to
// a language library, which then serves every text for the rest of the run.
const LumikartaResourceTable& CurrentResources();
void UseResources(const LumikartaResourceTable& table);

// A string-table text of the current resources; the built-in German text when the current table
// lacks the entry, empty when no table has it.
std::string LoadResString(uint32_t id);
