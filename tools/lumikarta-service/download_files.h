#pragma once

#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include "lumikarta-service/update_signing_key.h"

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

// The update server's downloads: the files of one folder under /downloads/<name>, for the update
// definition and the installers it names. A name is one plain file name of that folder; nothing
// above or beside it, no hidden file and no listing can be reached.
//
// Files are streamed, so an installer of hundreds of megabytes costs no memory. XML files are the
// definitions: every {{BASE_URL}} in them becomes the service's base URL, so a sample definition
// points at whichever port the service got. Beside each definition the service serves its signature,
// <name>.sig: a file of that name in the folder as it is (the maker's own), else, when the service
// has a signing key, one it makes over the definition's bytes as they are served, base URL filled
// in. Three query parameters reproduce what a real server
// sometimes does to the program's download worker:
//   chunked=1  chunked transfer without Content-Length;
//   stall=1    Content-Length and the first 64 KiB (never the whole file), then silence until the
//              client hangs up or the service stops;
//   cut=1      Content-Length and the same first part, then the connection is closed.
//
// Handle() runs on the server's threads; Stop() may be called from any thread.
class DownloadFiles {
public:
    static constexpr const char* kPrefix = "/downloads/";
    static constexpr std::size_t kStallAfterBytes = 64 * 1024;

    // bytesPerSecond: the pace of the installers (not of the definitions and signatures); 0 sends at
    // full speed. A slow pace lets a demonstration show the progress of even a small installer.
    // signingKey: signs the definitions that have no signature file; none: such have none.
    explicit DownloadFiles(std::filesystem::path folder, std::size_t bytesPerSecond = 0,
                           std::optional<UpdateSigningKey> signingKey = std::nullopt);

    // "http://127.0.0.1:PORT" or the https one; set before the service serves the first request.
    void SetBaseUrl(std::string baseUrl);

    // Answers GET and HEAD of kPrefix + name; other methods are turned away before routing.
    void Handle(const httplib::Request& request, httplib::Response& response) const;

    // Ends every transfer under way, stalled ones included, so that the server can stop without
    // waiting for its clients. Transfers started afterwards end at once.
    void Stop();

private:
    // Waits until the client on `socket` has gone (-1: not known, so only Stop() ends it) or Stop()
    // was called.
    void Hold(int socket) const;
    bool Stopping() const;
    // Waits a tenth of a second or until Stop(); false when stopping.
    bool Pause() const;

    const std::filesystem::path m_folder;
    const std::size_t m_bytesPerSecond;
    const std::optional<UpdateSigningKey> m_signingKey;
    std::string m_baseUrl;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_stopped;
    bool m_stopping = false;
};
