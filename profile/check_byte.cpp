#include "profile/check_byte.h"

namespace vantor {

std::uint8_t CheckByte(std::span<const std::uint8_t> group) {
    unsigned sum = 0;
    for (std::uint8_t b : group) sum += b;
    return static_cast<std::uint8_t>(kCheckSum - sum);
}

void SealGroup(std::span<std::uint8_t> group) {
    if (group.empty()) return;
    group.back() = CheckByte(group.first(group.size() - 1));
}

std::array<std::uint8_t, 2> SettingPair(std::uint8_t value) {
    return {value, static_cast<std::uint8_t>(kCheckSum - value)};
}

}  // namespace vantor
