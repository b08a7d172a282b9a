#pragma once

#include <span>

// The environment variables the program reads, with what each means: the one list that --help prints
// and that the README's table follows.
struct EnvironmentVariable {
    const char* name;
    const char* meaning;
};

std::span<const EnvironmentVariable> EnvironmentVariables();
