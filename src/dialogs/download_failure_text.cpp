#include "dialogs/download_failure_text.h"

#include "res/resources.h"
#include "res/string_ids.h"

std::string DownloadFailureText(const DownloadFailure& failure) {
    switch (failure.reason) {
        case DownloadFailure::Reason::ServerStatus: {
            std::string text = LoadResString(IDS_SERVER_STATUS);
            if (const std::size_t at = text.find("%d"); at != std::string::npos) {
                text.replace(at, 2, std::to_string(failure.status));
            }
            return text;
        }
        case DownloadFailure::Reason::EmptyFile:
            return LoadResString(IDS_EMPTY_DOWNLOAD);
        case DownloadFailure::Reason::InvalidChecksum:
            return LoadResString(IDS_INVALID_CHECKSUM);
        case DownloadFailure::Reason::ChecksumNotComputed:
            return LoadResString(IDS_CHECKSUM_NOT_COMPUTED);
        case DownloadFailure::Reason::ChecksumMismatch:
            return LoadResString(IDS_CHECKSUM_MISMATCH);
        case DownloadFailure::Reason::FileNotSaved: {
            std::string text = LoadResString(IDS_FILE_NOT_SAVED) + "\n" + failure.path;
            return failure.systemText.empty() ? text : text + "\n" + failure.systemText;
        }
        case DownloadFailure::Reason::System:
            break;
    }
    return failure.systemText.empty() ? LoadResString(IDS_DOWNLOAD_FAILED) : failure.systemText;
}
