#pragma once

#include <windows.h>

#include <cstdint>

// An icon of the current resources in the size asked for, owned by the caller (DestroyIcon); null
// when no table has the id or its picture is unreadable.
HICON LoadTableIcon(uint32_t id, int size);
