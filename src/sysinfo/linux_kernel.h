#pragma once

#include <string>

// Facts about the running Linux kernel, read through the system root. Without a system root the
// kernel is asked directly when /proc cannot tell (a chroot without /proc).
namespace linux_kernel {

// For example "6.1.0-18-amd64".
std::string Release();
// The machine architecture, for example "x86_64" or "aarch64".
std::string Architecture();

}  // namespace linux_kernel
