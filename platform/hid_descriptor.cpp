#include "platform/hid_descriptor.h"

#include <algorithm>
#include <array>

namespace vantor {
namespace {

enum ItemType : unsigned { kMainItem = 0, kGlobalItem = 1, kLocalItem = 2 };

// Main item tags.
constexpr unsigned kInput = 0x8;
constexpr unsigned kOutput = 0x9;
constexpr unsigned kCollection = 0xA;
constexpr unsigned kFeature = 0xB;
constexpr unsigned kEndCollection = 0xC;
// Global item tags.
constexpr unsigned kUsagePage = 0x0;
constexpr unsigned kReportSize = 0x7;
constexpr unsigned kReportId = 0x8;
constexpr unsigned kReportCount = 0x9;
constexpr unsigned kPush = 0xA;
constexpr unsigned kPop = 0xB;
// Local item tags.
constexpr unsigned kUsage = 0x0;

constexpr std::uint8_t kLongItemPrefix = 0xFE;
// Far above what real devices use (the Linux HID core allows 4 of each), small enough
// that a hostile descriptor cannot make the parser grow without bound.
constexpr std::size_t kMaxGlobalStackDepth = 32;
constexpr std::size_t kMaxCollectionDepth = 64;
constexpr std::uint64_t kMaxReportBits = 8ull * 0xFFFF;

struct Item {
    unsigned type = 0;
    unsigned tag = 0;
    unsigned size = 0;  // data bytes
    std::uint32_t value = 0;
    bool isLong = false;
};

// Reads the item at `*pos` and moves past it; false when the item runs past the end.
bool NextItem(std::span<const std::uint8_t> data, std::size_t* pos, Item* item) {
    const std::size_t left = data.size() - *pos;
    const std::uint8_t prefix = data[*pos];
    *item = Item{};
    if (prefix == kLongItemPrefix) {
        // Long items carry no state the capabilities need; they are only skipped.
        if (left < 3 || left - 3 < data[*pos + 1]) return false;
        item->isLong = true;
        *pos += 3 + std::size_t{data[*pos + 1]};
        return true;
    }
    static constexpr unsigned kSizes[4] = {0, 1, 2, 4};
    item->size = kSizes[prefix & 0x3u];
    item->type = (prefix >> 2) & 0x3u;
    item->tag = prefix >> 4;
    if (left - 1 < item->size) return false;
    for (unsigned i = 0; i < item->size; ++i) {
        item->value |= static_cast<std::uint32_t>(data[*pos + 1 + i]) << (8 * i);
    }
    *pos += 1 + item->size;
    return true;
}

struct GlobalState {
    std::uint16_t usagePage = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint8_t reportId = 0;
};

struct LocalState {
    bool hasUsage = false;
    bool usageHasPage = false;  // a 4-byte usage carries its own page in the high half
    std::uint32_t usage = 0;
};

enum ReportKind { kInputReport = 0, kOutputReport = 1, kFeatureReport = 2 };

// Collects the reports of the top-level collection that is open.
class CollectionBuilder {
  public:
    void Start(std::uint16_t usagePage, std::uint16_t usage) {
        caps_ = HidTopLevelCollection{};
        caps_.usagePage = usagePage;
        caps_.usage = usage;
        for (auto& kind : bits_) kind.fill(0);
        for (auto& kind : seen_) kind.fill(false);
    }

    void AddField(ReportKind kind, const GlobalState& global) {
        if (caps_.reportId == 0) caps_.reportId = global.reportId;
        seen_[kind][global.reportId] = true;
        std::uint64_t fieldBits = std::uint64_t{global.reportSize} * global.reportCount;
        std::uint64_t& total = bits_[kind][global.reportId];
        total = std::min(kMaxReportBits, total + std::min(kMaxReportBits, fieldBits));
    }

    HidTopLevelCollection Finish() const {
        HidTopLevelCollection caps = caps_;
        caps.inputReportByteLength = LongestReport(kInputReport);
        caps.outputReportByteLength = LongestReport(kOutputReport);
        caps.featureReportByteLength = LongestReport(kFeatureReport);
        return caps;
    }

  private:
    std::uint16_t LongestReport(ReportKind kind) const {
        std::uint64_t longest = 0;
        for (std::size_t id = 0; id < 256; ++id) {
            if (seen_[kind][id]) longest = std::max(longest, 1 + (bits_[kind][id] + 7) / 8);
        }
        return static_cast<std::uint16_t>(std::min<std::uint64_t>(longest, 0xFFFF));
    }

    HidTopLevelCollection caps_;
    std::array<std::array<std::uint64_t, 256>, 3> bits_{};  // per kind and report id
    std::array<std::array<bool, 256>, 3> seen_{};
};

}  // namespace

std::optional<std::vector<HidTopLevelCollection>> ParseHidReportDescriptor(
    std::span<const std::uint8_t> descriptor) {
    std::vector<HidTopLevelCollection> collections;
    std::vector<GlobalState> globalStack;
    GlobalState global;
    LocalState local;
    std::size_t depth = 0;
    CollectionBuilder builder;

    std::size_t pos = 0;
    while (pos < descriptor.size()) {
        Item item;
        if (!NextItem(descriptor, &pos, &item)) return std::nullopt;
        if (item.isLong) continue;

        if (item.type == kGlobalItem) {
            switch (item.tag) {
                case kUsagePage:
                    global.usagePage = static_cast<std::uint16_t>(item.value);
                    break;
                case kReportSize:
                    global.reportSize = item.value;
                    break;
                case kReportCount:
                    global.reportCount = item.value;
                    break;
                case kReportId:
                    if (item.value == 0 || item.value > 255) return std::nullopt;
                    global.reportId = static_cast<std::uint8_t>(item.value);
                    break;
                case kPush:
                    if (globalStack.size() >= kMaxGlobalStackDepth) return std::nullopt;
                    globalStack.push_back(global);
                    break;
                case kPop:
                    if (globalStack.empty()) return std::nullopt;
                    global = globalStack.back();
                    globalStack.pop_back();
                    break;
                default:
                    break;
            }
        } else if (item.type == kLocalItem) {
            // A collection takes the first usage declared before it.
            if (item.tag == kUsage && !local.hasUsage) {
                local.hasUsage = true;
                local.usageHasPage = item.size == 4;
                local.usage = item.value;
            }
        } else if (item.type == kMainItem) {
            switch (item.tag) {
                case kCollection:
                    if (depth >= kMaxCollectionDepth) return std::nullopt;
                    if (depth == 0) {
                        std::uint16_t page = local.usageHasPage
                                                 ? static_cast<std::uint16_t>(local.usage >> 16)
                                                 : global.usagePage;
                        builder.Start(page, static_cast<std::uint16_t>(local.usage & 0xFFFF));
                    }
                    ++depth;
                    break;
                case kEndCollection:
                    if (depth == 0) return std::nullopt;
                    if (--depth == 0) collections.push_back(builder.Finish());
                    break;
                case kInput:
                case kOutput:
                case kFeature:
                    // Fields outside every collection belong to no interface and are ignored.
                    if (depth > 0) {
                        builder.AddField(item.tag == kInput    ? kInputReport
                                         : item.tag == kOutput ? kOutputReport
                                                               : kFeatureReport,
                                         global);
                    }
                    break;
                default:
                    break;
            }
            local = LocalState{};
        }
    }
    if (depth != 0) return std::nullopt;
    return collections;
}

}  // namespace vantor
