#include "update/download_worker.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "common/utf8_path.h"
#include "platform/http_transport.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProgressInterval = std::chrono::milliseconds(100);

// Writes the body of a successful response into the target file and keeps the counters.
class TargetFileWriter final : public platform::HttpReceiver {
public:
    explicit TargetFileWriter(DownloadJob& job) : m_job(job), m_target(PathFromUtf8(job.m_strTargetPath)) {}

    void OnResponseStart(long status, int64_t contentLength) override {
        if (status < 200 || status >= 300) {
            m_error = "HTTP " + std::to_string(status);
            return;
        }
        m_file.open(m_target, std::ios::binary | std::ios::trunc);
        if (!m_file) {
            FailWriting();
            return;
        }
        m_created = true;
        m_job.counters->totalBytes = contentLength;
        m_job.counters->loadedBytes = 0;
        m_lastNotice = Clock::now();
    }

    bool OnBody(const char* data, std::size_t size) override {
        if (!m_error.empty() || !ShouldContinue()) {
            return false;
        }
        if (!m_file.write(data, static_cast<std::streamsize>(size))) {
            FailWriting();
            return false;
        }
        m_job.counters->loadedBytes += static_cast<int64_t>(size);
        if (Clock::now() - m_lastNotice > kProgressInterval) {
            m_job.window->NotifyProgress();
            m_lastNotice = Clock::now();
        }
        return true;
    }

    bool ShouldContinue() override { return m_job.cancel == 0; }

    // Closes the file; false, with the reason, when the last bytes could not be written.
    bool Finish() {
        if (!m_error.empty()) {
            return false;
        }
        m_file.close();
        if (m_file.fail()) {
            FailWriting();
            return false;
        }
        return true;
    }

    // Only a file this transfer made is removed, and never something that is not a plain file.
    void Discard() {
        m_file.close();
        std::error_code ignored;
        if (m_created && std::filesystem::is_regular_file(m_target, ignored)) {
            std::filesystem::remove(m_target, ignored);
        }
    }

    const std::string& Error() const { return m_error; }

private:
    void FailWriting() {
        const int cause = errno;
        m_error = "Cannot write " + m_job.m_strTargetPath +
                  (cause != 0 ? ": " + std::string(std::strerror(cause)) : "");
    }

    DownloadJob& m_job;
    const std::filesystem::path m_target;
    std::ofstream m_file;
    bool m_created = false;
    std::string m_error;
    Clock::time_point m_lastNotice;
};

}  // namespace

int DownloadWorker(DownloadJob* job) {
    TargetFileWriter writer(*job);
    std::string error;
    try {
        platform::HttpRequest request;
        request.url = job->m_strUrl;
        request.noCache = true;
        const std::unique_ptr<platform::HttpTransport> transport = platform::CreateHttpTransport();
        const platform::HttpResult result = transport->Perform(request, writer);
        if (result.outcome == platform::HttpResult::Outcome::Failed) {
            error = result.error;
        } else if (result.outcome == platform::HttpResult::Outcome::Completed && writer.Finish()) {
            if (job->cancel == 0) {
                job->window->NotifyDone();
                return 0;
            }
        } else {
            error = writer.Error();
        }
    } catch (const std::exception& failure) {
        error = failure.what();
    }
    writer.Discard();
    if (job->cancel == 0) {
        job->window->NotifyFailed(error.empty() ? "The download failed" : error);
    }
    return 0;
}
