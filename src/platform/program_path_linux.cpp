#include <system_error>

#include "platform/program_path.h"

namespace platform {

std::filesystem::path ProgramFile() {
    std::error_code error;
    std::filesystem::path file = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : file;
}

}  // namespace platform
