#pragma once

#include <QIcon>
#include <cstdint>

// An icon of the current resources; an empty icon when none has the id or its picture is unreadable.
QIcon LoadAppIcon(uint32_t id);
