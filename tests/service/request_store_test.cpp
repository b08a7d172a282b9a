#include <gtest/gtest.h>

#include <ctime>

#include "lumikarta-service/request_store.h"
#include "support/temp_dir.h"

namespace {

std::chrono::system_clock::time_point Utc(int year, int month, int day, int hour) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    return std::chrono::system_clock::from_time_t(timegm(&fields));
}

TEST(RequestStoreTest, FileHoldsTheRequestAsReceivedWithItsTime) {
    const TempDir folder;
    RequestStore store(folder.Path());
    pugi::xml_document request;
    const char* received =
        "<sendSupportCallParam>\n  <ServiceVersion>1</ServiceVersion>\n  <Description>a &amp; b\n  "
        "ö</Description>"
        "\n  <Company> </Company>\n</sendSupportCallParam>";
    ASSERT_TRUE(request.load_string(received, pugi::parse_default | pugi::parse_ws_pcdata));
    const auto stored = store.Store(request.first_child(), Utc(2026, 12, 6, 15));
    ASSERT_TRUE(stored);

    pugi::xml_document file;
    ASSERT_TRUE(file.load_file(stored->file.c_str(), pugi::parse_default | pugi::parse_ws_pcdata));
    const pugi::xml_node root = file.document_element();
    EXPECT_STREQ(root.attribute("number").value(), "20261206-0001");
    EXPECT_STREQ(root.attribute("receivedAt").value(), "2026-12-06T15:00:00Z");
    std::ostringstream copy;
    root.first_child().print(copy, "", pugi::format_raw);
    EXPECT_EQ(copy.str(), received);
    EXPECT_EQ(std::filesystem::status(stored->file).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

}  // namespace
