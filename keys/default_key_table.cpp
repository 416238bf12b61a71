#include "keys/default_key_table.h"

#include <cstdint>

#include "base/config_values.h"

namespace vantor {
namespace {

constexpr std::uint32_t kSpecialClass = 0x08;
constexpr std::uint32_t kKeyboardClass = 0x02;
constexpr std::uint32_t kFireKeyCode = 0xA4;
constexpr std::uint32_t kDefaultFireParameter = 0x0A03;  // 3 shots, interval 10
constexpr std::uint32_t kComboFunction = 0x020000A1;

bool TakesParameter(std::uint32_t code) {
    return code == 0xA6 || code == 0xAD || code == 0xC0;
}

}  // namespace

bool ParseDefaultKeyEntry(std::string_view text, KeyAssignment& entry) {
    auto values = ParseNumberList(text, 16, 5);
    if (values.size() != 4) return false;
    const std::uint32_t functionClass = values[0] & 0xFF;
    const std::uint32_t code = values[1];
    const std::uint32_t param = values[2];

    KeyAssignment result{};
    result.dwFunID = functionClass << 24 | (code & 0xFF);
    result.nMatrixIndex = values[3] & 0xFF;
    if (functionClass == kSpecialClass && (code & 0xFF) == kFireKeyCode) {
        result.dwParameter = param != 0 ? param : kDefaultFireParameter;
    } else if (functionClass == kSpecialClass && TakesParameter(code & 0xFF)) {
        result.dwParameter = param;
    } else if (functionClass == kKeyboardClass) {
        result.dwFunID = kComboFunction;
        result.stCombo = (param & 0x0F) | (code & 0xFF) << 8 | ((code >> 8) & 0xFF) << 16;
    }
    entry = result;
    return true;
}

}  // namespace vantor
