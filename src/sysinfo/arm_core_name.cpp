#include "sysinfo/arm_core_name.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <span>
#include <string_view>

namespace {

struct Part {
    unsigned id;
    std::string_view name;
};

struct Implementer {
    unsigned id;
    std::string_view name;
    std::span<const Part> parts;
};

constexpr Part kArmParts[] = {
    {0x810, "ARM810"},       {0x920, "ARM920"},      {0x922, "ARM922"},       {0x926, "ARM926"},
    {0x940, "ARM940"},       {0x946, "ARM946"},      {0x966, "ARM966"},       {0xa20, "ARM1020"},
    {0xa22, "ARM1022"},      {0xa26, "ARM1026"},     {0xb02, "ARM11-MPCore"}, {0xb36, "ARM1136"},
    {0xb56, "ARM1156"},      {0xb76, "ARM1176"},     {0xc05, "Cortex-A5"},    {0xc07, "Cortex-A7"},
    {0xc08, "Cortex-A8"},    {0xc09, "Cortex-A9"},   {0xc0d, "Cortex-A17"},   {0xc0e, "Cortex-A17"},
    {0xc0f, "Cortex-A15"},   {0xc14, "Cortex-R4"},   {0xc15, "Cortex-R5"},    {0xc17, "Cortex-R7"},
    {0xc18, "Cortex-R8"},    {0xc20, "Cortex-M0"},   {0xc21, "Cortex-M1"},    {0xc23, "Cortex-M3"},
    {0xc24, "Cortex-M4"},    {0xc27, "Cortex-M7"},   {0xc60, "Cortex-M0+"},   {0xd01, "Cortex-A32"},
    {0xd02, "Cortex-A34"},   {0xd03, "Cortex-A53"},  {0xd04, "Cortex-A35"},   {0xd05, "Cortex-A55"},
    {0xd06, "Cortex-A65"},   {0xd07, "Cortex-A57"},  {0xd08, "Cortex-A72"},   {0xd09, "Cortex-A73"},
    {0xd0a, "Cortex-A75"},   {0xd0b, "Cortex-A76"},  {0xd0c, "Neoverse-N1"},  {0xd0d, "Cortex-A77"},
    {0xd0e, "Cortex-A76AE"}, {0xd13, "Cortex-R52"},  {0xd15, "Cortex-R82"},   {0xd20, "Cortex-M23"},
    {0xd21, "Cortex-M33"},   {0xd40, "Neoverse-V1"}, {0xd41, "Cortex-A78"},   {0xd42, "Cortex-A78AE"},
    {0xd43, "Cortex-A65AE"}, {0xd44, "Cortex-X1"},   {0xd46, "Cortex-A510"},  {0xd47, "Cortex-A710"},
    {0xd48, "Cortex-X2"},    {0xd49, "Neoverse-N2"}, {0xd4a, "Neoverse-E1"},  {0xd4b, "Cortex-A78C"},
    {0xd4c, "Cortex-X1C"},   {0xd4d, "Cortex-A715"}, {0xd4e, "Cortex-X3"},    {0xd4f, "Neoverse-V2"},
    {0xd80, "Cortex-A520"},  {0xd81, "Cortex-A720"}, {0xd82, "Cortex-X4"},    {0xd84, "Neoverse-V3"},
    {0xd8e, "Neoverse-N3"},
};
constexpr Part kBroadcomParts[] = {{0x00f, "Brahma-B15"}, {0x100, "Brahma-B53"}, {0x516, "ThunderX2"}};
constexpr Part kCaviumParts[] = {{0x0a0, "ThunderX"},
                                 {0x0a1, "ThunderX-88XX"},
                                 {0x0a2, "ThunderX-81XX"},
                                 {0x0a3, "ThunderX-83XX"},
                                 {0x0af, "ThunderX2-99xx"}};
constexpr Part kFujitsuParts[] = {{0x001, "A64FX"}};
constexpr Part kHiSiliconParts[] = {{0xd01, "TaiShan-v110"}, {0xd02, "TaiShan-v120"}, {0xd40, "Cortex-A76"}};
constexpr Part kNvidiaParts[] = {{0x000, "Denver"}, {0x003, "Denver 2"}, {0x004, "Carmel"}};
constexpr Part kApmParts[] = {{0x000, "X-Gene"}};
constexpr Part kQualcommParts[] = {
    {0x001, "Oryon"},          {0x00f, "Scorpion"},
    {0x02d, "Scorpion"},       {0x04d, "Krait"},
    {0x06f, "Krait"},          {0x201, "Kryo"},
    {0x205, "Kryo"},           {0x211, "Kryo"},
    {0x800, "Falkor-V1/Kryo"}, {0x801, "Kryo-V2"},
    {0x802, "Kryo-3XX-Gold"},  {0x803, "Kryo-3XX-Silver"},
    {0x804, "Kryo-4XX-Gold"},  {0x805, "Kryo-4XX-Silver"},
    {0xc00, "Falkor"},         {0xc01, "Saphira"},
};
constexpr Part kSamsungParts[] = {
    {0x001, "exynos-m1"}, {0x002, "exynos-m3"}, {0x003, "exynos-m4"}, {0x004, "exynos-m5"}};
constexpr Part kMarvellParts[] = {{0x131, "Feroceon-88FR131"}, {0x581, "PJ4/PJ4b"}, {0x584, "PJ4B-MP"}};
constexpr Part kAppleParts[] = {
    {0x020, "Icestorm-A14"},    {0x021, "Firestorm-A14"},    {0x022, "Icestorm-M1"},
    {0x023, "Firestorm-M1"},    {0x024, "Icestorm-M1-Pro"},  {0x025, "Firestorm-M1-Pro"},
    {0x028, "Icestorm-M1-Max"}, {0x029, "Firestorm-M1-Max"}, {0x030, "Blizzard-A15"},
    {0x031, "Avalanche-A15"},   {0x032, "Blizzard-M2"},      {0x033, "Avalanche-M2"},
};
constexpr Part kMicrosoftParts[] = {{0xd49, "Azure-Cobalt-100"}};
constexpr Part kPhytiumParts[] = {{0x303, "FTC310"}, {0x660, "FTC660"}, {0x661, "FTC661"}, {0x662, "FTC662"},
                                  {0x663, "FTC663"}, {0x664, "FTC664"}, {0x862, "FTC862"}};
constexpr Part kAmpereParts[] = {{0xac3, "Ampere-1"}, {0xac4, "Ampere-1a"}};

constexpr Implementer kImplementers[] = {
    {0x41, "ARM", kArmParts},
    {0x42, "Broadcom", kBroadcomParts},
    {0x43, "Cavium", kCaviumParts},
    {0x46, "Fujitsu", kFujitsuParts},
    {0x48, "HiSilicon", kHiSiliconParts},
    {0x4e, "NVIDIA", kNvidiaParts},
    {0x50, "APM", kApmParts},
    {0x51, "Qualcomm", kQualcommParts},
    {0x53, "Samsung", kSamsungParts},
    {0x56, "Marvell", kMarvellParts},
    {0x61, "Apple", kAppleParts},
    {0x69, "Intel", {}},
    {0x6d, "Microsoft", kMicrosoftParts},
    {0x70, "Phytium", kPhytiumParts},
    {0xc0, "Ampere", kAmpereParts},
};

}  // namespace

std::optional<std::string> ArmCoreName(unsigned implementer, unsigned part) {
    const auto maker = std::find_if(std::begin(kImplementers), std::end(kImplementers),
                                    [&](const Implementer& known) { return known.id == implementer; });
    if (maker == std::end(kImplementers)) {
        return std::nullopt;
    }
    std::string name(maker->name);
    const auto core = std::find_if(maker->parts.begin(), maker->parts.end(),
                                   [&](const Part& known) { return known.id == part; });
    if (core != maker->parts.end()) {
        return name.append(" ").append(core->name);
    }
    // A core newer than this table: the maker and the number still tell a support person more
    // than the architecture would.
    char number[16];
    std::snprintf(number, sizeof number, " part 0x%03x", part);
    return name.append(number);
}
