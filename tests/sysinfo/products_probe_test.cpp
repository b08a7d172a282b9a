#include <gtest/gtest.h>

#include "helpers/scoped_system_registry.h"
#include "sysinfo/system_info.h"

namespace {

std::string Leaf(const std::string& path, const std::string& version = "") {
    std::string key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumikarta\\" + path + "]\n";
    return key + (version.empty() ? "" : "\"VERSION\"=\"" + version + "\"\n") + "\n";
}

// "name|version|item,item" per product, one per line.
std::string Products(const std::string& machine) {
    ScopedSystemRegistry registry(machine);
    CSystemInfo info;
    info.DetectProducts();
    std::string text;
    for (const ProductInfo& product : info.m_Products) {
        text += product.m_strName + "|" + product.m_strVersion + "|";
        for (std::size_t i = 0; i < product.m_Items.size(); ++i) {
            text += (i ? "," : "") + product.m_Items[i];
        }
        text += "\n";
    }
    return text;
}

TEST(DetectProducts, FindsProductsVersionsAndMapSets) {
    struct Case {
        const char* label;
        std::string machine;
        const char* expected;
    };
    const Case cases[] = {
        {"nested product key", Leaf("ProductA\\Extra\\Skyrund\\001", "001"), "ProductA Extra|0.0.1|\n"},
        {"two characters stay as stored", Leaf("ProductA\\Skyrund\\012", "12"), "ProductA|12|\n"},
        {"further characters are dropped", Leaf("ProductA\\Skyrund\\300", "3001"), "ProductA|3.0.0|\n"},
        {"version key spelled in lower case", Leaf("ProductA\\skyrund\\100", "100"), ""},
        {"two version keys, two entries",
         Leaf("ProductA\\Skyrund\\100", "100") + Leaf("ProductA\\Skyrund\\200", "200"),
         "ProductA|1.0.0|\nProductA|2.0.0|\n"},
        {"no version value", Leaf("ProductA\\Skyrund\\100"), "ProductA||\n"},
        {"value name without regard to case",
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lumikarta\\P\\Skyrund\\100]\n\"Version\"=\"100\"\n\n", "P|1.0.0|\n"},
        {"map sets of the product with the version key's last three characters",
         Leaf("ProductA\\Skyrund\\100", "100") + Leaf("ProductA2\\RegionC\\100") +
             Leaf("ProductA\\RegionA\\100") + Leaf("ProductA\\RegionB\\200"),
         "ProductA|1.0.0|RegionA\\100\n"},
        {"map sets compared without regard to case",
         Leaf("Süd\\Skyrund\\10a", "10a") + Leaf("SÜD\\Karte\\10A"), "Süd|1.0.a|Karte\\10A\n"},
        {"the 32-bit view of a 64-bit Windows' export",
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Lumikarta\\P32\\Skyrund\\100]\n\"VERSION\"="
         "\"100\"\n\n" +
             Leaf("P64\\Skyrund\\200", "200"),
         "P32|1.0.0|\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Products(c.machine), c.expected) << c.label;
    }
}

}  // namespace
