// Worker threads reach windows only by posting: a message number with two values, as the
// window messages of the device link carry them. The window program implements this with
// a posted Qt event; tests and the command-line tool record or print the messages.
#pragma once

#include <cstdint>

namespace vantor {

// Window message numbers shared by every layer (the same values as on the desktop the
// messages were first defined for).
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_COMMAND = 0x0111;

class MessagePoster {
  public:
    virtual ~MessagePoster() = default;
    // Must not block and must not call back into the caller.
    virtual void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // False when the receiving window does not exist (yet or any more).
    virtual bool IsValid() const { return true; }
};

}  // namespace vantor
