#include "sim/sim_profile_memory.h"

#include <algorithm>
#include <vector>

#include "sim/sim_dpi_steps.h"
#include "sim/sim_protocol.h"

namespace vantor {
namespace {

namespace sl = sim_layout;

constexpr std::size_t kPairBytes = 2;

struct FixedGroup {
    std::size_t start;
    std::size_t length;
};

// The fixed-size groups below the combination slots, in address order.
std::vector<FixedGroup> BuildFixedGroups() {
    std::vector<FixedGroup> groups;
    const auto pair = [&](std::size_t a) { groups.push_back({a, kPairBytes}); };
    const auto pairs = [&](std::size_t from, std::size_t to) {
        for (std::size_t a = from; a < to; a += kPairBytes) pair(a);
    };
    pair(sl::kReportRate);
    pair(sl::kLevelCount);
    pair(sl::kActiveLevel);
    pair(sl::kLiftOff);
    for (int i = 0; i < sl::kLevelSlots; ++i) {
        groups.push_back(
            {sl::kDpiEntries + sl::kQuadBytes * static_cast<std::size_t>(i), sl::kQuadBytes});
    }
    for (int i = 0; i < sl::kLevelSlots; ++i) {
        groups.push_back(
            {sl::kDpiColours + sl::kQuadBytes * static_cast<std::size_t>(i), sl::kQuadBytes});
    }
    pairs(sl::kIndicator, sl::kIndicator + sl::kIndicatorBytes);
    groups.push_back({sl::kLogo, sl::kQuadBytes});
    pairs(sl::kLogoEffect, sl::kLogo + sl::kLogoBytes);
    for (int m = 0; m < sl::kKeySlots; ++m) {
        groups.push_back(
            {sl::kKeyCodes + sl::kQuadBytes * static_cast<std::size_t>(m), sl::kQuadBytes});
    }
    groups.push_back({sl::kMain, sl::kMainBytes});
    pairs(sl::kDebounce, sl::kSensorMode + kPairBytes);
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

bool IsReportRateCode(std::uint8_t code) {
    return code == 1 || code == 2 || code == 4 || code == 8;
}

bool IsDpiEntry(std::size_t start) {
    return start >= sl::kDpiEntries && start < sl::kDpiColours;
}

}  // namespace

std::optional<SimGroup> SimGroupAt(const SimProfileImage& view, std::size_t address) {
    if (address >= kSimProfileBytes) return std::nullopt;
    if (address < sl::kComboSlots) {
        for (const FixedGroup& g : FixedGroups()) {
            if (address >= g.start && address < g.start + g.length) {
                return SimGroup{g.start, g.length, true};
            }
        }
        return std::nullopt;
    }
    if (address < sl::kMacroSlots) {
        const std::size_t slot =
            sl::kComboSlots + (address - sl::kComboSlots) / sl::kComboStride * sl::kComboStride;
        return CountedGroupAt(view, address, slot, sl::kComboEventBytes, slot + sl::kComboStride);
    }
    const std::size_t slot =
        sl::kMacroSlots + (address - sl::kMacroSlots) / sl::kMacroStride * sl::kMacroStride;
    return CountedGroupAt(view, address, slot + sl::kMacroCountOffset, sl::kMacroEventBytes,
                          slot + sl::kMacroGroupEnd);
}

void SimProfileMemory::Assign(const SimProfileImage& image) {
    committed_ = image;
    staged_ = image;
    pending_.reset();
}

bool SimProfileMemory::TakesGroup(const SimProfileImage& work, const SimGroup& group) const {
    const std::uint8_t value = work[group.start];
    if (group.start == sl::kReportRate) return IsReportRateCode(value);
    if (group.start == sl::kLevelCount) return value >= 1 && value <= sl::kLevelSlots;
    if (IsDpiEntry(group.start)) {
        return SimDpiEntryIsStep(sensor_, std::span<const std::uint8_t, 4>(&work[group.start], 4));
    }
    return true;
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
        const std::span<const std::uint8_t> bytes(&work[g.start], g.length);
        if (!SimAddsUp(bytes)) return kSimBadGroupCheck;
        if (!TakesGroup(work, g)) return kSimBadValue;
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
