#pragma once

#include <cstdint>
#include <string>

// "<vendor name> <device name>" from the pci.ids list that the system ships (/usr/share/misc, else
// /usr/share/hwdata). A name the list does not have is given as lspci gives it: "Vendor 1002",
// "Device 73bf". The list is read anew on each call, which suits probes that describe one device.
std::string DescribePciDevice(uint16_t vendorId, uint16_t deviceId);
