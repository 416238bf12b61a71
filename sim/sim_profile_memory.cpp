#include "sim/sim_profile_memory.h"

#include <algorithm>
#include <vector>

#include "profile/check_byte.h"
#include "profile/memory_map.h"
#include "sim/sim_protocol.h"

namespace vantor {
namespace {

namespace mm = memory_map;

struct FixedGroup {
    std::size_t start;
    std::size_t length;
};

// The fixed-size groups below the combination slots, in address order.
std::vector<FixedGroup> BuildFixedGroups() {
    std::vector<FixedGroup> groups;
    const auto pair = [&](std::size_t a) { groups.push_back({a, mm::kSettingPairSize}); };
    pair(mm::kReportRate);
    pair(mm::kDpiLevelCount);
    pair(mm::kCurrentDpiLevel);
    pair(mm::kLiftOffDistance);
    for (int i = 0; i < mm::kDpiLevelSlots; ++i) {
        groups.push_back({mm::DpiEntryAddress(i), mm::kDpiEntrySize});
    }
    for (int i = 0; i < mm::kDpiLevelSlots; ++i) {
        groups.push_back({mm::DpiColorAddress(i), mm::kDpiColorSize});
    }
    for (std::size_t a = mm::kDpiEffect; a < mm::kDpiEffect + mm::kDpiEffectSize; a += 2) pair(a);
    groups.push_back({mm::kLogoLighting, 4});
    for (std::size_t a = mm::kLogoEffectPair; a < mm::kLogoLighting + mm::kLogoLightingSize;
         a += 2) {
        pair(a);
    }
    for (int m = 0; m < mm::kKeySlots; ++m) {
        groups.push_back({mm::KeyMatrixAddress(m), mm::kKeyMatrixEntrySize});
    }
    groups.push_back({mm::kMainLighting, mm::kMainLightingSize});
    for (std::size_t a = mm::kDebounce; a <= mm::kSensorMode; a += 2) pair(a);
    return groups;
}

const std::vector<FixedGroup>& FixedGroups() {
    static const std::vector<FixedGroup> groups = BuildFixedGroups();
    return groups;
}

// A slot whose group is a count byte at `countAt`, `perEvent` bytes per counted event and
// a check byte, all inside `slotEnd`.
std::optional<SimGroup> CountedGroupAt(const SimProfileImage& view, std::size_t address,
                                       std::size_t countAt, std::size_t perEvent,
                                       std::size_t slotEnd) {
    if (address < countAt) return std::nullopt;
    const std::size_t length = 2 + perEvent * view[countAt];
    if (countAt + length > slotEnd) {
        if (address == countAt) return SimGroup{countAt, 1, false};
        return std::nullopt;
    }
    if (address >= countAt + length) return std::nullopt;
    return SimGroup{countAt, length, true};
}

// Macro slots hold at most 70 events: the check byte must stay before the slot's last
// byte.
constexpr std::size_t kMacroEventBytes = 5;
constexpr std::size_t kMacroGroupEnd = 383;
constexpr std::size_t kComboEventBytes = 3;

}  // namespace

std::optional<SimGroup> SimGroupAt(const SimProfileImage& view, std::size_t address) {
    if (address >= kSimProfileBytes) return std::nullopt;
    if (address < mm::kComboSlots) {
        for (const FixedGroup& g : FixedGroups()) {
            if (address >= g.start && address < g.start + g.length) {
                return SimGroup{g.start, g.length, true};
            }
        }
        return std::nullopt;
    }
    if (address < mm::kMacroSlots) {
        const std::size_t slot = mm::kComboSlots + (address - mm::kComboSlots) /
                                                       mm::kComboSlotStride * mm::kComboSlotStride;
        return CountedGroupAt(view, address, slot, kComboEventBytes, slot + mm::kComboSlotStride);
    }
    const std::size_t slot =
        mm::kMacroSlots + (address - mm::kMacroSlots) / mm::kMacroSlotStride * mm::kMacroSlotStride;
    return CountedGroupAt(view, address, slot + mm::kMacroDataOffset, kMacroEventBytes,
                          slot + kMacroGroupEnd);
}

void SimProfileMemory::Assign(const SimProfileImage& image) {
    committed_ = image;
    staged_ = image;
    pending_.reset();
}

std::uint8_t SimProfileMemory::Write(std::size_t address, std::span<const std::uint8_t> data) {
    if (address > kSimProfileBytes || data.size() > kSimProfileBytes - address) {
        return kSimBadArgument;
    }
    SimProfileImage work = staged_;
    std::bitset<kSimProfileBytes> workPending = pending_;
    std::copy(data.begin(), data.end(), work.begin() + static_cast<std::ptrdiff_t>(address));

    const std::size_t end = address + data.size();
    std::vector<SimGroup> completed;
    for (std::size_t a = address; a < end; ++a) {
        const std::optional<SimGroup> group = SimGroupAt(work, a);
        if (!group) {
            workPending.reset(a);
            continue;
        }
        if (!group->fits) return kSimBadGroupCheck;
        workPending.set(a);
        const std::size_t last = group->start + group->length - 1;
        if (last == a) completed.push_back(*group);
    }
    for (const SimGroup& g : completed) {
        const auto first = work.begin() + static_cast<std::ptrdiff_t>(g.start);
        const std::span<const std::uint8_t> bytes(first, g.length - 1);
        if (CheckByte(bytes) != work[g.start + g.length - 1]) return kSimBadGroupCheck;
        for (std::size_t a = g.start; a < g.start + g.length; ++a) workPending.reset(a);
    }
    // Everything not held back is now the memory's content.
    for (std::size_t a = 0; a < kSimProfileBytes; ++a) {
        if (!workPending.test(a)) committed_[a] = work[a];
    }
    staged_ = work;
    pending_ = workPending;
    return kSimOk;
}

}  // namespace vantor
