#pragma once

#include <string>
#include <vector>

// One installed product of the family.
struct ProductInfo {
    // The key names of the product's path, joined by single spaces.
    std::string m_strName;
    // The installed map sets: paths of the product's sibling keys, relative to the product key.
    std::vector<std::string> m_Items;
    // "d.d.d" from the first three characters of the stored version, the stored text when it is
    // shorter, empty when none is stored.
    std::string m_strVersion;
};
