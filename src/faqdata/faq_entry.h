#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One question with its answer, as the cache file delivers it.
struct FAQEntry {
    int32_t uid = 0;
    int32_t pid = 0;
    int32_t tstamp = 0;
    int32_t crdate = 0;
    std::string question;
    // The `uid` of every category the entry belongs to, in the file's order. A number may name no
    // category at all, and repetitions stay: the file is taken as it is.
    std::vector<int32_t> category;
    // Lines separated by line feeds.
    std::string answer;
    std::string related;
    std::string related_links;
    std::string faq_files;
};
