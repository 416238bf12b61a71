#include "app/store/profile_store.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "app/config/config.h"
#include "app/store/profile_bounds.h"
#include "app/store/profile_defaults.h"
#include "base/file_io.h"
#include "base/file_prefix.h"
#include "base/log.h"
#include "base/texts.h"
#include "keys/file_errors.h"
#include "platform/paths.h"

namespace vantor {
namespace {

constexpr const char* kCidFileName = "CID.dct";

std::uint32_t ReadU32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void WriteU32(std::uint8_t* bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t SectionCid(const DeviceSection& section) {
    return static_cast<std::uint32_t>(section.CID);
}
std::uint32_t SectionMid(const DeviceSection& section) {
    return static_cast<std::uint32_t>(section.MID);
}

}  // namespace

std::string ProfileFileName(std::uint32_t customerId, std::uint32_t modelId) {
    char name[40];
    std::snprintf(name, sizeof name, "PRO_%02x%02x.dct", customerId, modelId);
    return name;
}

std::string DefaultProfileName(int number) {
    return Text("tc_msg35") + " " + std::to_string(number);
}

ProfileStore::ProfileStore(std::string dataDir) : dataDir_(WithTrailingSlash(std::move(dataDir))) {}

std::string ProfileStore::ProfileFilePath() const {
    const DeviceSection& section = Section();
    return dataDir_ + ProfileFileName(SectionCid(section), SectionMid(section));
}

bool ProfileStore::LoadCID() {
    const FilePrefix file = ReadFilePrefix(dataDir_ + kCidFileName, kCidFileSize);
    if (!file.Opened()) {
        SelectDeviceSection(0);
        section_ = CurrentDevice();
        return false;
    }
    bool result = false;
    if (file.ReadOk() && file.size == kCidFileSize && file.bytes.size() == kCidFileSize) {
        const std::uint32_t cid = ReadU32(file.bytes.data());
        const std::uint32_t mid = ReadU32(file.bytes.data() + 4);
        for (int i = 0; i < kDeviceSectionCount; ++i) {
            const DeviceSection& section = DeviceSectionAt(i);
            if (section.Sensor != 0 && SectionCid(section) == cid && SectionMid(section) == mid) {
                SelectDeviceSection(i);
                break;
            }
        }
        result = true;
    } else {
        // A short or long file is as good as absent: its ids would be partly made up.
        SelectDeviceSection(0);
    }
    section_ = CurrentDevice();
    const DeviceSection& current = *section_;
    DbgLog("LoadCID ok: cid=%02x, mid=%02x", SectionCid(current), SectionMid(current));
    return result;
}

std::string ProfileStore::CidFilePath() const {
    return dataDir_ + kCidFileName;
}

std::vector<std::uint8_t> ProfileStore::CidFileImage() const {
    const DeviceSection& section = Section();
    std::vector<std::uint8_t> bytes(kCidFileSize);
    WriteU32(bytes.data(), SectionCid(section));
    WriteU32(bytes.data() + 4, SectionMid(section));
    return bytes;
}

bool ProfileStore::SaveCID() const {
    const DeviceSection& section = Section();
    DbgLog("SaveCID: cid=%02x, mid=%02x", SectionCid(section), SectionMid(section));
    const std::vector<std::uint8_t> bytes = CidFileImage();
    return WriteFileAtomic(CidFilePath(), bytes.data(), bytes.size());
}

bool ProfileStore::LoadPro(const DeviceSection& model) {
    section_ = model;
    const DeviceSection& section = *section_;
    std::array<ProfileFile, kProfileCount> records{};
    std::uint32_t activeId = 0;
    bool loaded = false;

    keptDamaged_.clear();
    const FilePrefix file = ReadFilePrefix(ProfileFilePath(), kProfileFileSize);
    bool damaged = file.Opened();  // until it has loaded and needed no repair
    if (!file.Opened()) {
        DbgLog("LoadPro: open file err=%d", file.openError);
    } else if (file.readError == 0 && file.size != kProfileFileSize) {
        DbgLog("LoadPro err: wrong size");
    } else if (!file.ReadOk() || file.bytes.size() != kProfileFileSize) {
        DbgLog("ReadFile err=%d", file.readError);
    } else {
        activeId = ReadU32(file.bytes.data());
        std::memcpy(records.data(), file.bytes.data() + 4, kProfileCount * sizeof(ProfileFile));
        loaded = true;
    }

    CopyDefaultKeys(section);
    const ProfileDefaults defaults = MakeProfileDefaults(section, Options(), DefaultKeyMatrix());
    if (loaded) {
        // A file of the right size may still hold damaged records: each broken field takes
        // the model's default instead of reaching the pages or the mouse.
        int repaired = 0;
        for (int i = 0; i < kProfileCount; ++i) {
            ProfileFile& record = records[static_cast<std::size_t>(i)];
            const std::string name = DefaultProfileName(i + 1);
            const ProfileFile fallback = record.dwProfileID != 0
                                             ? NewProfileRecord(defaults, name, record.dwProfileID)
                                             : NewProfileRecord(defaults, name);
            repaired += RepairProfileRecord(record, fallback, section, Options());
        }
        damaged = repaired > 0;
    } else {
        for (int i = 0; i < kProfileCount; ++i) {
            records[static_cast<std::size_t>(i)] =
                NewProfileRecord(defaults, DefaultProfileName(i + 1));
        }
        activeId = 0;
    }

    profiles_.clear();
    for (const ProfileFile& record : records)
        profiles_.push_back(std::make_unique<ProfileFile>(record));
    current_ = 0;
    for (int i = 0; i < kProfileCount; ++i) {
        if (Profile(i).dwProfileID == activeId) {
            current_ = i;
            break;
        }
    }
    if (damaged) KeepDamagedFile();
    DbgLog("LoadPro ok: cid=%02x, mid=%02x", SectionCid(section), SectionMid(section));
    return loaded;
}

void ProfileStore::KeepDamagedFile() {
    const std::string kept = ProfileFilePath() + ".damaged";
    // A file far larger than a profile file is not one of ours and is not copied.
    const std::optional<std::vector<std::uint8_t>> bytes =
        ReadWholeFile(ProfileFilePath(), 4 * kProfileFileSize);
    int error = 0;
    if (!bytes || !WriteFileAtomic(kept, bytes->data(), bytes->size(), &error)) {
        DbgLog("LoadPro: damaged file could not be kept as %s, err=%d", kept.c_str(), error);
        return;
    }
    DbgLog("LoadPro: damaged file kept as %s", kept.c_str());
    keptDamaged_ = kept;
}

std::optional<std::vector<std::uint8_t>> ProfileStore::ProfileFileImage() const {
    if (current_ < 0) return std::nullopt;
    const DeviceSection& section = Section();
    DbgLog("SavePro: cid=%02x, mid=%02x", SectionCid(section), SectionMid(section));
    if (Count() != kProfileCount) {
        // A short file would be refused by the next load; keep the one on disk instead.
        DbgLog("SavePro: %d profiles in the list, file kept", Count());
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(kProfileFileSize);
    WriteU32(bytes.data(), Profile(current_).dwProfileID);
    for (int i = 0; i < kProfileCount; ++i) {
        std::memcpy(bytes.data() + 4 + static_cast<std::size_t>(i) * sizeof(ProfileFile),
                    &Profile(i), sizeof(ProfileFile));
    }
    return bytes;
}

bool ProfileStore::SavePro(int* errorOut) const {
    if (errorOut != nullptr) *errorOut = 0;
    const std::optional<std::vector<std::uint8_t>> bytes = ProfileFileImage();
    if (!bytes) return false;
    int error = 0;
    if (!WriteFileAtomic(ProfileFilePath(), bytes->data(), bytes->size(), &error)) {
        if (IsFileCreateError(error)) {
            DbgLog("SavePro: CreateFile err=%d", error);
        } else {
            DbgLog("SavePro: WriteFile err=%d", error);
        }
        if (errorOut != nullptr) *errorOut = error;
        return false;
    }
    return true;
}

void ProfileStore::SetCurrentIndex(int index) {
    if (index >= 0 && index < Count()) current_ = index;
}

void ProfileStore::ReplaceProfile(int index, const ProfileFile& record) {
    if (index < 0 || index >= Count()) return;
    Profile(index) = record;
    current_ = index;
}

}  // namespace vantor
