#include "update/download_worker.h"

#include <charconv>
#include <chrono>
#include <exception>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/http_transport.h"
#include "platform/replacing_file.h"
#include "platform/sha256.h"
#include "text/trim.h"
#include "text/utf8_path.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProgressInterval = std::chrono::milliseconds(100);

// 64 hexadecimal digits in either case; white space around them is how a definition is laid out.
std::optional<platform::Sha256Digest> ParseSha256(std::string_view text) {
    text = TrimWhiteSpace(text);
    platform::Sha256Digest digest{};
    if (text.size() != 2 * digest.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < digest.size(); ++i) {
        // Unsigned, so no sign is taken, and exactly two digits each.
        const char* pair = text.data() + 2 * i;
        const std::from_chars_result read = std::from_chars(pair, pair + 2, digest[i], 16);
        if (read.ec != std::errc() || read.ptr != pair + 2) {
            return std::nullopt;
        }
    }
    return digest;
}

DownloadFailure SystemFailure(std::string text) {
    return {DownloadFailure::Reason::System, 0, std::move(text), {}};
}

// Writes the body of a successful response beside the target file, which it replaces only once
// the whole body is there (and matches the expected digest, when there is one), and keeps the
// counters.
class TargetFileWriter final : public platform::HttpReceiver {
public:
    TargetFileWriter(DownloadJob& job, std::optional<platform::Sha256Digest> expected)
        : m_job(job), m_file(PathFromUtf8(job.m_strTargetPath)), m_expected(expected) {
        if (m_expected) {
            m_hash.emplace();
        }
    }

    void OnResponseStart(long status, int64_t contentLength) override {
        if (status < 200 || status >= 300) {
            m_failure = {DownloadFailure::Reason::ServerStatus, status, {}, {}};
            return;
        }
        if (!m_file.Create()) {
            m_failure = FileNotSaved();
            return;
        }
        m_job.counters->totalBytes = contentLength;
        m_job.counters->loadedBytes = 0;
        m_lastNotice = Clock::now();
    }

    bool OnBody(const char* data, std::size_t size) override {
        if (m_failure || !ShouldContinue()) {
            return false;
        }
        if (!m_file.Write(data, size)) {
            m_failure = FileNotSaved();
            return false;
        }
        if (m_hash) {
            m_hash->Update(data, size);
        }
        m_job.counters->loadedBytes += static_cast<int64_t>(size);
        if (Clock::now() - m_lastNotice > kProgressInterval) {
            m_job.window->NotifyProgress();
            m_lastNotice = Clock::now();
        }
        return true;
    }

    bool ShouldContinue() override { return m_job.cancel == 0; }

    // Puts the file in the target's place; false, with the reason, when it is not the installer
    // that was asked for or cannot be put there.
    bool Finish() {
        if (m_failure) {
            return false;
        }
        // No installer is empty; an empty answer is a server's fault, not an update.
        if (m_job.counters->loadedBytes == 0) {
            m_failure = {DownloadFailure::Reason::EmptyFile, 0, {}, {}};
            return false;
        }
        if (m_hash) {
            const std::optional<platform::Sha256Digest> digest = m_hash->Finish();
            if (!digest) {
                m_failure = {DownloadFailure::Reason::ChecksumNotComputed, 0, {}, {}};
                return false;
            }
            if (*digest != *m_expected) {
                m_failure = {DownloadFailure::Reason::ChecksumMismatch, 0, {}, {}};
                return false;
            }
        }
        if (!m_file.Commit()) {
            m_failure = FileNotSaved();
            return false;
        }
        return true;
    }

    // Removes what this transfer wrote; the target stays as it was.
    void Discard() { m_file.Discard(); }

    // Why it failed; a transfer that ended early without a reason of its own is the system's.
    DownloadFailure Failure() const { return m_failure.value_or(DownloadFailure{}); }

private:
    DownloadFailure FileNotSaved() const {
        return {DownloadFailure::Reason::FileNotSaved, 0, m_file.SystemReason(), m_job.m_strTargetPath};
    }

    DownloadJob& m_job;
    platform::ReplacingFile m_file;
    const std::optional<platform::Sha256Digest> m_expected;
    std::optional<platform::Sha256> m_hash;
    std::optional<DownloadFailure> m_failure;
    Clock::time_point m_lastNotice;
};

}  // namespace

int DownloadWorker(DownloadJob* job) {
    std::optional<platform::Sha256Digest> expected;
    if (job->expectedSha256) {
        expected = ParseSha256(*job->expectedSha256);
        // A checksum that cannot be read must not pass for none: nothing is downloaded.
        if (!expected) {
            if (job->cancel == 0) {
                job->window->NotifyFailed({DownloadFailure::Reason::InvalidChecksum, 0, {}, {}});
            }
            return 0;
        }
    }
    TargetFileWriter writer(*job, expected);
    DownloadFailure failure;
    try {
        platform::HttpRequest request;
        request.url = job->m_strUrl;
        request.noCache = true;
        const std::unique_ptr<platform::HttpTransport> transport = platform::CreateHttpTransport();
        const platform::HttpResult result = transport->Perform(request, writer);
        if (result.outcome == platform::HttpResult::Outcome::Failed) {
            failure = SystemFailure(result.error);
        } else if (result.outcome == platform::HttpResult::Outcome::Completed && job->cancel == 0 &&
                   writer.Finish()) {
            // A cancel that comes while the finished file takes its place is too late to undo it.
            if (job->cancel == 0) {
                job->window->NotifyDone();
            }
            return 0;
        } else {
            failure = writer.Failure();
        }
    } catch (const std::exception& thrown) {
        failure = SystemFailure(thrown.what());
    }
    writer.Discard();
    if (job->cancel == 0) {
        job->window->NotifyFailed(failure);
    }
    return 0;
}
