#pragma once

#include <string>

#include "update/download_failure.h"

// What the download window says of a failed download, in the current language; the system's own
// text as the system gave it.
std::string DownloadFailureText(const DownloadFailure& failure);
