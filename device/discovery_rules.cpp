#include "device/discovery_rules.h"

#include <algorithm>

namespace vantor {
namespace {

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool InList(std::uint16_t value, const std::vector<std::uint32_t>& list) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

std::vector<HidInterfaceInfo> BuildInterfaceTable(HidBackend& backend) {
    std::vector<HidInterfaceInfo> table = backend.Enumerate();
    if (table.size() > kMaxHidInterfaces) table.resize(kMaxHidInterfaces);
    return table;
}

bool IsNotifyInterface(const HidInterfaceInfo& info, std::uint16_t vid) {
    return info.vendorId == vid && info.usagePage == kNotifyUsagePage &&
           info.usage == kNotifyUsage && info.inputReportByteLength == kChannelReportLength;
}

bool IsCommandInterface(const HidInterfaceInfo& info, std::uint16_t vid) {
    return info.vendorId == vid && info.usagePage == kCommandUsagePage &&
           info.usage == kCommandUsage && info.featureReportByteLength == kChannelReportLength;
}

bool SamePath(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

int FindDeviceSection(const std::vector<DeviceModelIds>& models, std::uint8_t cid,
                      std::uint8_t mid) {
    for (std::size_t i = 0; i < models.size(); ++i) {
        const DeviceModelIds& model = models[i];
        if (model.cid == 0 && model.mid == 0) break;
        if (model.cid == cid && model.mid == mid) return static_cast<int>(i);
    }
    return -1;
}

ConflictOutcome ResolveConflict(std::uint16_t thisPid, std::uint16_t otherPid,
                                const std::vector<std::uint32_t>& pid,
                                const std::vector<std::uint32_t>& pid2) {
    if (InList(thisPid, pid) && InList(otherPid, pid2)) return ConflictOutcome::kShutDownOther;
    if (InList(thisPid, pid2) && InList(otherPid, pid)) return ConflictOutcome::kGiveUp;
    return ConflictOutcome::kGoOn;
}

}  // namespace vantor
