#pragma once

#include <cstdint>
#include <string>

#include "res/resource_table.h"

// The process's current resource source: the German resources built in, until start-up switches to
// a language library, which then serves every text, window and icon for the rest of the run.
// A resource the current source lacks is taken from the built-in German ones.
const LumikartaResourceTable& CurrentResources();
void UseResources(const LumikartaResourceTable& table);

// A string-table text; empty when no table has it.
std::string LoadResString(uint32_t id);
// Null when no table has the template or icon.
const LumikartaDialogTemplate* LoadDialogTemplate(uint32_t id);
const LumikartaImageResource* LoadIconResource(uint32_t id);
