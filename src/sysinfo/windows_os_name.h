#pragma once

#include <string>

#include "sysinfo/windows_version_facts.h"

// The one-line description of a Windows system, for example
// "Microsoft Windows 7 Home Premium Edition, 64-bit Service Pack 1 (build 7601)" or
// "Microsoft Windows 11 Pro 23H2, 64-bit (build 22631.4460)". A version it does not know gets only
// the generic parts.
std::string DescribeWindowsVersion(const WindowsVersionFacts& facts);
