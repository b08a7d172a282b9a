#pragma once

#include <cstdint>
#include <string>

// One FAQ category of the cache file. Entries refer to it by `uid`; the numbers are kept as the file
// holds them, time stamps included, since nothing here computes with them.
struct FAQCategory {
    int32_t pid = 0;
    int32_t uid = 0;
    int32_t tstamp = 0;
    int32_t crdate = 0;
    std::string title;
    std::string shortcut;
};
