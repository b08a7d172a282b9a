#pragma once

#include <string>

namespace platform {

// The user's folder for downloaded files (UTF-8), where a file the user fetches is offered to go
// rather than the current folder: the Downloads known folder on Windows; on Linux the download folder
// of the user's XDG folders, else ~/Downloads, else the home folder. Empty when the system names none.
std::string DownloadsFolder();

}  // namespace platform
