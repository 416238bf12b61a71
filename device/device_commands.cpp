#include "device/device_commands.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>

#include "base/log.h"
#include "device/log_ids.h"
#include "device/usb_driver.h"

namespace vantor {
namespace {

constexpr int kDirectReads = 3;
constexpr std::size_t kDirectCopy = 15;
constexpr std::size_t kCheckPsdDataLength = 8;
constexpr std::size_t kCheckPsdRandomBytes = 4;

enum class DirectResult { kOk, kReadFailed, kRefused, kNoMatch };

// Reads up to three reports for `command` over the direct exchange, logging "<name> GetData
// Err" and "<name> Err=..." the way each operation names itself.
DirectResult ReadDirectReply(HidHandle* hNotify, std::uint8_t command, const char* name,
                             CRetParam* reply) {
    for (int read = 0; read < kDirectReads; ++read) {
        if (!GetData(hNotify, reply->reply.bytes.data(), kDirectCopy, kGetDataTimeoutMs)) {
            DbgLog("%s GetData Err", name);
            return DirectResult::kReadFailed;
        }
        const ReplyPayload& p = reply->reply;
        if (p.CommandId() != command) {
            DbgLog("%s Err=%x %x %x, ThreadId=0x%x", name, p.CommandId(), p.Status(), p.DataByte(0),
                   LogThreadId());
            continue;
        }
        if (p.Status() != 0) {
            DbgLog("%s Err=%x %x %x, ThreadId=0x%x", name, command, p.Status(), p.DataByte(0),
                   LogThreadId());
            return DirectResult::kRefused;
        }
        return DirectResult::kOk;
    }
    return DirectResult::kNoMatch;
}

}  // namespace

bool IsEmptyName(const std::uint8_t* chunk, std::size_t length) {
    if (chunk == nullptr || length < 2) return false;
    return (chunk[0] == 0x00 && chunk[1] == 0x00) || (chunk[0] == 0xFF && chunk[1] == 0xFF);
}

bool IsEndOfMacro(const std::uint8_t* chunk, std::size_t length) {
    if (chunk == nullptr || length < 3) return false;
    return chunk[0] == 0 && chunk[1] == 0 && chunk[2] == 0;
}

int CheckPsd(HidHandle* hCmd, HidHandle* hNotify, std::uint8_t* cid, std::uint8_t* mid) {
    // The random bytes only vary the report; the reply is not compared with them.
    std::minstd_rand random(static_cast<std::minstd_rand::result_type>(std::time(nullptr)));
    std::uint8_t data[kCheckPsdDataLength] = {};
    for (std::size_t i = 0; i < kCheckPsdRandomBytes; ++i) {
        data[i] = static_cast<std::uint8_t>(random() % 100 + 1);
    }
    const CommandPayload payload = MakeMemoryPayload(kCmdCheckPsd, 0, data, sizeof data);
    std::uint32_t err = kHidOk;
    if (!SendData(hCmd, payload.data(), payload.size(), &err)) {
        DbgLog("CheckPsd SendData Err=0x%x", err);
        return 0;
    }
    CRetParam reply;
    if (ReadDirectReply(hNotify, kCmdCheckPsd, "CheckPsd", &reply) != DirectResult::kOk) return 0;
    const std::uint8_t newCid = reply.reply.DataByte(0);
    const std::uint8_t newMid = reply.reply.DataByte(1);
    DbgLog("CheckPsd: cid=%x, mid=%x", newCid, newMid);
    if (newCid == 0 && newMid == 0) return -1;
    if (cid != nullptr) *cid = newCid;
    if (mid != nullptr) *mid = newMid;
    return 1;
}

int TestConnectDirect(HidHandle* hCmd, HidHandle* hNotify) {
    const CommandPayload payload = MakePayload(kCmdGetConnectStatus);
    if (!SendData(hCmd, payload.data(), payload.size())) return -1;
    CRetParam reply;
    if (ReadDirectReply(hNotify, kCmdGetConnectStatus, "GetConnectStatus", &reply) !=
        DirectResult::kOk) {
        return 0;
    }
    return reply.reply.DataByte(0);
}

int GetDevVersion(HidHandle* handle, std::uint16_t* version) {
    HidAttributes attributes;
    std::uint32_t err = kHidOk;
    if (handle == nullptr || version == nullptr || !handle->GetAttributes(&attributes, &err)) {
        return 0;
    }
    *version = attributes.versionNumber;
    return 1;
}

int CUSBDriver::ReadEEPROM(std::uint16_t address, std::uint8_t* buffer, std::size_t length) {
    const auto cmd = CmdHandle();
    if (!cmd || buffer == nullptr || length == 0 || length > kMaxDataBytes) return 0;
    const CommandPayload payload = MakeMemoryPayload(kCmdReadEEPROM, address, nullptr, length);
    auto lock = BeginExchange();
    CRetParam reply;
    const Exchange result = ExchangeLocked(cmd.get(), payload, Retry(), &reply,
                                           [](int) { DbgLog("ReadEEPROM Failed"); });
    if (result != Exchange::kOk) return 0;
    std::copy(reply.reply.Data(), reply.reply.Data() + length, buffer);
    return 1;
}

int CUSBDriver::ReadROM(std::uint16_t address, std::size_t length, std::uint8_t* buffer,
                        StopPredicate stop) {
    if (buffer == nullptr && length > 0) return 0;
    for (std::size_t offset = 0, i = 0; offset < length; ++i) {
        const std::size_t n = std::min(length - offset, kMaxDataBytes);
        if (!ReadEEPROM(address, buffer + offset, n)) {
            DbgLog("ReadROM Failed at %d: nAddr=0x%x", static_cast<int>(i), address);
            return 0;
        }
        if (stop != nullptr && stop(buffer + offset, n)) return 1;
        address = static_cast<std::uint16_t>(address + n);
        offset += n;
        sleeper_.SleepMs(kReadChunkSleepMs);
    }
    return 1;
}

int CUSBDriver::WriteEEPROM(std::size_t chunk, std::size_t length, std::uint16_t address,
                            const std::uint8_t* data) {
    if (data == nullptr && length > 0) return 0;
    char label[40];
    std::snprintf(label, sizeof label, "WriteEEPROM( Addr=0x%x ): ", address);
    DbgLogHex(data, length, 32, label);

    const std::size_t chunkSize = (chunk == 0 || chunk > kMaxDataBytes) ? kMaxDataBytes : chunk;
    const std::size_t fullChunks = length / chunkSize;
    const std::size_t lastChunk = length % chunkSize;
    const int retry = Retry();
    auto lock = BeginExchange();
    const auto cmd = CmdHandle();
    CRetParam reply;
    auto logFailure = [retry](int attempt) {
        DbgLog("WriteEEPROM Failed");
        if (retry > 1) DbgLog("nRetry=%d", attempt);
    };
    int refused = 0;
    for (std::size_t i = 0; i <= fullChunks; ++i) {
        const std::size_t n = i < fullChunks ? chunkSize : lastChunk;
        if (n == 0) break;
        const std::size_t offset = i * chunkSize;
        const auto chunkAddress = static_cast<std::uint16_t>(address + offset);
        const CommandPayload payload =
            MakeMemoryPayload(kCmdWriteEEPROM, chunkAddress, data + offset, n);
        // A chunk the device keeps refusing (or never answers) is left and the rest is still
        // written; a report that cannot be written (the device is gone) ends the write.
        switch (ExchangeLocked(cmd.get(), payload, retry, &reply, logFailure)) {
            case Exchange::kOk:
                break;
            case Exchange::kNoReply:
                ++refused;
                break;
            case Exchange::kWriteFailed:
                if (i < fullChunks) DbgLog("WriteEEPROM Err, i=%d", static_cast<int>(i));
                return 0;
        }
    }
    // The memory does not hold what the caller asked for: that is a failed write.
    if (refused != 0) {
        DbgLog("WriteEEPROM Err: %d chunk(s) not taken, Addr=0x%x", refused, address);
        return 0;
    }
    return 1;
}

int CUSBDriver::QueryDevice(std::uint8_t nCmdID, std::uint8_t* out) {
    return RunQueued(MakePayload(nCmdID), Retry(), out) ? 1 : 0;
}

int CUSBDriver::GetConnectStatus() {
    if (!CmdHandle()) return 0;
    std::uint8_t data[kMaxDataBytes] = {};
    if (!QueryDevice(kCmdGetConnectStatus, data)) {
        DbgLog("GetConnectStatus Failed");
        return -1;
    }
    return data[0];
}

int CUSBDriver::GetCurProfile() {
    std::uint8_t data[kMaxDataBytes] = {};
    if (!QueryDevice(kCmdGetCurProfile, data)) {
        DbgLog("GetCurProfile Failed");
        return -1;
    }
    return data[0];
}

int CUSBDriver::SetCurProfile(std::uint8_t index) {
    return RunQueued(MakeMemoryPayload(kCmdSetCurProfile, 0, &index, 1), 1, nullptr) ? 1 : 0;
}

int CUSBDriver::GetPower(std::uint8_t* nPower, std::uint8_t* bCharging) {
    std::uint8_t data[kMaxDataBytes] = {};
    if (!RunQueued(MakePayload(kCmdGetPower), 1, data)) {
        DbgLog("GetPower Failed");
        return 0;
    }
    if (nPower != nullptr) *nPower = data[0];
    if (bCharging != nullptr) *bCharging = data[1];
    return 1;
}

int CUSBDriver::QueryApplyBusy(int* busy) {
    std::uint8_t data[kMaxDataBytes] = {};
    if (!RunQueued(MakePayload(kCmdQueryApplyBusy), 1, data)) {
        DbgLog("QueryApplyBusy Failed");
        return 0;
    }
    if (busy != nullptr) *busy = data[0] == 0 ? 1 : 0;
    return 1;
}

int CUSBDriver::TellDrvStatus(std::uint8_t value) {
    if (!CmdHandle()) return 0;
    DbgLog("TellDrvStatus= %x", value);
    return SendCMD(kCmdTellDrvStatus, value);
}

int CUSBDriver::ResetDevice() {
    return SendCMD(kCmdResetDevice, 0);
}

}  // namespace vantor
