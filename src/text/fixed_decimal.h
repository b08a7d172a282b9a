#pragma once

#include <string>

// The value with `precision` digits after a decimal point, whatever locale the process runs in: a
// GUI library may change LC_NUMERIC, and these texts always use the point.
std::string FixedDecimal(double value, int precision);
