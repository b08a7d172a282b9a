#pragma once

#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include <pugixml.hpp>

// The support requests the service accepted, one XML file each in one folder. A request's number
// is its day (UTC) and its place in that day, e.g. 20261206-0001, and its file is named after it.
// Safe to use from the server's worker threads at once.
class RequestStore {
public:
    struct Stored {
        std::string number;
        std::filesystem::path file;
    };

    // The folder is made when it is missing.
    explicit RequestStore(std::filesystem::path folder);

    // Writes `param` as it arrived, with the time it arrived, under the next free number. Nothing
    // when the file could not be written: the caller must not report the request as stored.
    std::optional<Stored> Store(const pugi::xml_node& param,
                                std::chrono::system_clock::time_point receivedAt);

private:
    // The highest number of `day` already in the folder, also from earlier runs.
    unsigned HighestInFolder(const std::string& day) const;

    std::filesystem::path m_folder;
    std::mutex m_mutex;
    std::string m_day;
    unsigned m_last = 0;
};
