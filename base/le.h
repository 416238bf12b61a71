// Little-endian integer fields for records whose byte layout is a file or device format.
// A `Le<T>` occupies exactly sizeof(T) bytes with alignment 1, reads and writes as a T,
// and stores its bytes least significant first on every host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace vantor {

template <typename T>
struct Le {
    static_assert(std::is_integral_v<T>);
    using Unsigned = std::make_unsigned_t<T>;

    std::uint8_t bytes[sizeof(T)];

    constexpr Le() : bytes{} {}
    constexpr Le(T value) : bytes{} { *this = value; }  // NOLINT: implicit by design

    constexpr operator T() const {  // NOLINT: implicit by design
        Unsigned value = 0;
        for (std::size_t i = sizeof(T); i-- > 0;) {
            value = static_cast<Unsigned>((value << 8) | bytes[i]);
        }
        return static_cast<T>(value);
    }

    constexpr Le& operator=(T value) {
        auto raw = static_cast<Unsigned>(value);
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            bytes[i] = static_cast<std::uint8_t>(raw & 0xFF);
            raw = static_cast<Unsigned>(raw >> 8);
        }
        return *this;
    }

    constexpr Le& operator+=(T v) { return *this = static_cast<T>(T(*this) + v); }
    constexpr Le& operator-=(T v) { return *this = static_cast<T>(T(*this) - v); }
    constexpr Le& operator|=(T v) { return *this = static_cast<T>(T(*this) | v); }
    constexpr Le& operator&=(T v) { return *this = static_cast<T>(T(*this) & v); }
};

using LeU16 = Le<std::uint16_t>;
using LeU32 = Le<std::uint32_t>;
using LeI32 = Le<std::int32_t>;

static_assert(sizeof(LeU32) == 4 && alignof(LeU32) == 1);

}  // namespace vantor
