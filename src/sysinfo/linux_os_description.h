#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The operating-system line of a Linux machine, for example
// "Debian GNU/Linux 12 (bookworm), 64-bit (kernel 6.1.0-18-amd64)".

// The distribution's name from an os-release text: PRETTY_NAME, else NAME and VERSION; empty when
// the text names none.
std::string DistributionName(std::string_view osRelease);
// The leading number of a kernel release such as "6.1.0-18-amd64"; 0 when it has none.
uint32_t KernelMajorVersion(std::string_view release);
// The line from its parts; "Linux" stands in for a missing distribution name, and the bitness is
// left out for an architecture it cannot be told from.
std::string DescribeLinux(std::string_view distribution, std::string_view architecture,
                          std::string_view kernelRelease);
