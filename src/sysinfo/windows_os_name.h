#pragma once

#include <string>

#include "sysinfo/windows_version_facts.h"

// The one-line description of a Windows system, for example
// "Microsoft Windows 7 Home Premium Edition, 64-bit Service Pack 1 (build 7601)". Systems after
// Windows 7 report themselves as 6.2 to a program that does not declare them, and get only the
// generic parts.
std::string DescribeWindowsVersion(const WindowsVersionFacts& facts);
