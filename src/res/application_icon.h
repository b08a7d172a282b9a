#pragma once

#include <cstdint>

// The application icon as a PNG file's bytes, made from src/res/icons at configure time; the same
// picture serves every language.
extern const unsigned char kApplicationIconPng[];
extern const uint32_t kApplicationIconPngSize;
