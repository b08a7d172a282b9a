#include "lumikarta-service/request_store.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sstream>
#include <system_error>

#include "lumikarta-service/atomic_file.h"

namespace {

// Another process on the same folder may take numbers too; give up after this many collisions.
constexpr int kAttempts = 100;

std::tm Utc(std::chrono::system_clock::time_point time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    return utc;
}

std::string Format(const std::tm& utc, const char* format) {
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, format, &utc);
    return std::string(text, length);
}

std::string Number(const std::string& day, unsigned sequence) {
    char text[16];
    std::snprintf(text, sizeof text, "%04u", sequence);
    return day + "-" + text;
}

std::string Document(const pugi::xml_node& param, const std::string& number, const std::string& receivedAt) {
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "utf-8";
    pugi::xml_node root = document.append_child("storedSupportCall");
    root.append_attribute("number") = number.c_str();
    root.append_attribute("receivedAt") = receivedAt.c_str();
    root.append_copy(param);
    std::ostringstream out;
    // Raw: the request's own white space is part of what arrived and is kept as it was.
    document.save(out, "", pugi::format_raw, pugi::encoding_utf8);
    out << '\n';
    return out.str();
}

}  // namespace

RequestStore::RequestStore(std::filesystem::path folder) : m_folder(std::move(folder)) {
    std::filesystem::create_directories(m_folder);
    // The requests hold customers' names and addresses.
    std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all);
}

unsigned RequestStore::HighestInFolder(const std::string& day) const {
    unsigned highest = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, error)) {
        const std::string name = entry.path().filename().string();
        // "<day>-<digits>.xml"
        if (name.size() <= day.size() + 5 || name.compare(0, day.size(), day) != 0 ||
            name[day.size()] != '-' || !name.ends_with(".xml")) {
            continue;
        }
        const std::string digits = name.substr(day.size() + 1, name.size() - day.size() - 5);
        if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        highest = std::max(highest, static_cast<unsigned>(std::stoul(digits)));
    }
    return highest;
}

std::optional<RequestStore::Stored> RequestStore::Store(const pugi::xml_node& param,
                                                        std::chrono::system_clock::time_point receivedAt) {
    const std::tm utc = Utc(receivedAt);
    const std::string day = Format(utc, "%Y%m%d");
    const std::string stamp = Format(utc, "%Y-%m-%dT%H:%M:%SZ");

    // One at a time: numbers are handed out in order, and a number is only counted as taken once
    // its file is there.
    std::lock_guard lock(m_mutex);
    if (day != m_day) {
        m_day = day;
        m_last = HighestInFolder(day);
    }
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string number = Number(day, m_last + 1);
        const std::filesystem::path file = m_folder / (number + ".xml");
        const std::error_code error =
            AtomicFile::Write(file, Document(param, number, stamp), AtomicFile::Existing::Keep);
        if (!error) {
            ++m_last;
            return Stored{number, file};
        }
        if (error != std::errc::file_exists) {
            return std::nullopt;
        }
        ++m_last;
    }
    return std::nullopt;
}
