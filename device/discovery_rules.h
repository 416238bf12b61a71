// The selection rules of device discovery, free of threads: which interfaces are the
// vendor-defined command and notification interfaces, how paths compare, which device
// section of the configuration names an identified mouse, and which of two connections
// of the same mouse wins.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/hid.h"

namespace vantor {

constexpr std::size_t kMaxHidInterfaces = 50;
constexpr std::uint16_t kNotifyUsagePage = 0xFF01;
constexpr std::uint16_t kNotifyUsage = 0;
constexpr std::uint16_t kCommandUsagePage = 0xFF02;
constexpr std::uint16_t kCommandUsage = 2;
constexpr std::uint16_t kChannelReportLength = 17;

// The present interfaces in the backend's order; entries beyond the 50th are not kept.
std::vector<HidInterfaceInfo> BuildInterfaceTable(HidBackend& backend);

// The interface that delivers the 17-byte input reports of the mouse with vendor id `vid`.
bool IsNotifyInterface(const HidInterfaceInfo& info, std::uint16_t vid);
// The interface that takes the 17-byte command feature reports.
bool IsCommandInterface(const HidInterfaceInfo& info, std::uint16_t vid);

// Interface paths compare without regard to ASCII case.
bool SamePath(const std::string& a, const std::string& b);

// Customer and model id of one device section, in the order of the sections.
struct DeviceModelIds {
    std::uint8_t cid = 0;
    std::uint8_t mid = 0;
};

// Index (0 for DEV_1) of the first device section in `models` with this customer and model
// id, searching up to the first section whose CID and MID are both 0; -1 when none.
int FindDeviceSection(const std::vector<DeviceModelIds>& models, std::uint8_t cid,
                      std::uint8_t mid);

// What an identified connection does about another record of the same mouse (same cid and
// mid). A product id in the first list (`PID`, the cable and the main receiver) wins over
// one in the second list (`PID2`); any other pairing lets both go on.
enum class ConflictOutcome { kGoOn, kShutDownOther, kGiveUp };
ConflictOutcome ResolveConflict(std::uint16_t thisPid, std::uint16_t otherPid,
                                const std::vector<std::uint32_t>& pid,
                                const std::vector<std::uint32_t>& pid2);

}  // namespace vantor
