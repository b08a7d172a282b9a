#pragma once

#include <string>

namespace platform {

// Lets every user of the machine read, write and enter the folder, and makes what is created in it
// later inherit that where the file system can. True when the folder's permissions were changed.
bool GrantEveryoneFullAccess(const std::string& folderPath);

}  // namespace platform
