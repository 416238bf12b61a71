// Device commands that work on a pair of interface handles rather than on the connected
// driver (the direct exchange that discovery runs before any reader thread exists), the
// HID version query, and the stop predicates of chunked memory reads. The memory and
// status commands of the connected device are members of CUSBDriver (usb_driver.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantor {

class HidHandle;

// Stop predicates for CUSBDriver::ReadROM, applied to the chunk just read.
using StopPredicate = bool (*)(const std::uint8_t* chunk, std::size_t length);
// The first two bytes are both 0x00 or both 0xFF: an empty macro-name field.
bool IsEmptyName(const std::uint8_t* chunk, std::size_t length);
// The first three bytes are 0x00: the end of a hardware macro.
bool IsEndOfMacro(const std::uint8_t* chunk, std::size_t length);

// Identity query over the direct exchange. 1 with `cid`/`mid` stored; 0 on failure; -1
// when the device answers with both ids 0 (present but not identified).
int CheckPsd(HidHandle* hCmd, HidHandle* hNotify, std::uint8_t* cid, std::uint8_t* mid);

// Connection status over the direct exchange: -1 when the report cannot be written, 0 on
// failure, else reply data byte 0.
int TestConnectDirect(HidHandle* hCmd, HidHandle* hNotify);

// 1 with the version number of the interface's HID attributes; 0.
int GetDevVersion(HidHandle* handle, std::uint16_t* version);

}  // namespace vantor
