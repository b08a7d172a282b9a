#pragma once

#include <string>

// Why a download failed, for the window to say in its own language. What the system said (the
// Internet library's or the file system's own text) is kept as the system gives it.
struct DownloadFailure {
    enum class Reason {
        // The server answered with a status other than 2xx.
        ServerStatus,
        // A 2xx answer without a byte: no installer is empty.
        EmptyFile,
        // The update definition's SHA-256 is not 64 hexadecimal digits; nothing was downloaded.
        InvalidChecksum,
        ChecksumNotComputed,
        ChecksumMismatch,
        // The installer could not be saved as `path`; systemText says why, when the system said.
        FileNotSaved,
        // The transfer or the file failed; systemText says why, when the system said.
        System,
    };
    Reason reason = Reason::System;
    long status = 0;
    std::string systemText;
    std::string path;
};
