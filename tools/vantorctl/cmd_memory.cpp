// vantorctl memory ADDR LEN: a hex dump of the active profile's device memory.
#include <cstdio>
#include <vector>

#include "profile/memory_map.h"
#include "tools/vantorctl/session.h"

namespace vantor::cli {
namespace {

constexpr std::size_t kBytesPerLine = 16;
constexpr long long kMemorySize = memory_map::kLastUsedAddress + 1;

std::string HexBytes(const std::uint8_t* bytes, std::size_t count, const char* separator) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
        if (i > 0) text += separator;
        text += digits;
    }
    return text;
}

}  // namespace

int RunMemory(Context& context) {
    if (context.args.size() != 2) return UsageError("usage: vantorctl memory ADDR LEN");
    const std::optional<long long> address = ParseNumber(context.args[0]);
    const std::optional<long long> length = ParseNumber(context.args[1]);
    if (!address || *address < 0 || *address >= kMemorySize) {
        return UsageError("ADDR is a device memory address from 0 to " + Hex(kMemorySize - 1));
    }
    if (!length || *length < 1 || *length > kMemorySize - *address) {
        return UsageError("LEN is from 1 to " + std::to_string(kMemorySize - *address) +
                          " at that address");
    }
    CliSession session(context);
    if (int result = ConnectOrClose(session); result != kExitOk) return result;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(*length));
    if (session.Driver().ReadROM(static_cast<std::uint16_t>(*address), bytes.size(),
                                 bytes.data()) != 1) {
        return session.Close(Failure("reading device memory at " + Hex(*address, 4) + " failed"));
    }
    if (context.options.json) {
        PrintJson(Json::Object()
                      .Set("address", Json::Number(*address))
                      .Set("bytes", Json::String(HexBytes(bytes.data(), bytes.size(), ""))));
    } else {
        for (std::size_t offset = 0; offset < bytes.size(); offset += kBytesPerLine) {
            const std::size_t count = std::min(kBytesPerLine, bytes.size() - offset);
            char head[16];
            std::snprintf(head, sizeof head,
                          "%04llx: ", static_cast<unsigned long long>(*address) + offset);
            Print(context, head + HexBytes(bytes.data() + offset, count, " "));
        }
    }
    return session.Close(kExitOk);
}

}  // namespace vantor::cli
