// The profile store: the PC's mirror of the mouse's four on-board profiles on disk.
//
//   CID.dct         8 bytes: customer id and model id of the device model used last.
//   PRO_<cid><mid>.dct
//                   8468 bytes: the id of the active profile, then the four records.
//
// In memory the store holds the four records (each its own allocation, so pointers to them
// stay valid), which one is current, and a copy of the device section they belong to: a load
// reads the section once, and every later save goes to that section's file, even when
// another model has become current meanwhile. Every file is written whole through
// WriteFileAtomic, so an interrupted save leaves the previous file as it was. A file of the
// wrong size counts as absent and gives four default profiles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/config/config.h"
#include "profile/profile_record.h"

namespace vantor {

constexpr int kProfileCount = 4;
constexpr std::size_t kCidFileSize = 8;
constexpr std::size_t kProfileFileSize = 4 + kProfileCount * sizeof(ProfileFile);
static_assert(kProfileFileSize == 8468);

// "PRO_" + customer id + model id in lower-case hex of at least two digits + ".dct".
std::string ProfileFileName(std::uint32_t customerId, std::uint32_t modelId);

// "<tc_msg35> <number>", which the record cuts to 19 characters.
std::string DefaultProfileName(int number);

class ProfileStore {
  public:
    // `dataDir` is the per-user data folder (with or without a trailing '/').
    explicit ProfileStore(std::string dataDir);

    const std::string& DataDir() const { return dataDir_; }

    // Makes the device section named by CID.dct current (window thread) and the store's.
    // False (and DEV_1 current) when the file cannot be opened or does not hold exactly 8
    // bytes.
    [[nodiscard]] bool LoadCID();
    // Writes the ids of the store's section to CID.dct; a failure is only returned.
    [[nodiscard]] bool SaveCID() const;

    // Loads the profile file of `section`, or builds four default profiles when it is
    // missing, unreadable or of the wrong size. True when the file was loaded. A file that is
    // there but damaged (wrong size, unreadable, or fields that had to be repaired) is first
    // copied beside it as "<name>.damaged", since the next save replaces it. The store keeps
    // a copy of `section`: the whole load, and later saves, use that one model.
    bool LoadPro(const DeviceSection& section);
    // The same for the current section.
    bool LoadPro() { return LoadPro(CurrentDevice()); }
    // The section of the last load (or of LoadCID); the current one before either.
    const DeviceSection& Section() const { return section_ ? *section_ : CurrentDevice(); }
    // The copy of a damaged profile file the last LoadPro kept; empty when there was none.
    // The window tells the user once.
    const std::string& KeptDamagedFile() const { return keptDamaged_; }
    // Writes the profile file; false (and the old file kept) when there is no current
    // profile, the list does not hold four profiles, or the write fails (then `error` gets
    // the errno value, or 0 when nothing was tried).
    bool SavePro(int* error = nullptr) const;
    // The bytes SavePro writes, for a writer thread; nothing when SavePro would write
    // nothing (no current profile, or not four profiles in the list).
    std::optional<std::vector<std::uint8_t>> ProfileFileImage() const;
    // The bytes SaveCID writes, and the path of CID.dct.
    std::vector<std::uint8_t> CidFileImage() const;
    std::string CidFilePath() const;

    // Path of the profile file of the store's section.
    std::string ProfileFilePath() const;

    int Count() const { return static_cast<int>(profiles_.size()); }
    ProfileFile& Profile(int index) { return *profiles_.at(static_cast<std::size_t>(index)); }
    const ProfileFile& Profile(int index) const {
        return *profiles_.at(static_cast<std::size_t>(index));
    }
    // Null until LoadPro has run.
    ProfileFile* Current() { return current_ < 0 ? nullptr : &Profile(current_); }
    const ProfileFile* Current() const { return current_ < 0 ? nullptr : &Profile(current_); }
    int CurrentIndex() const { return current_; }
    // An index outside the list is ignored.
    void SetCurrentIndex(int index);
    // The profile read from the mouse replaces the list entry of its on-board index and
    // becomes current. An index outside the list is ignored.
    void ReplaceProfile(int index, const ProfileFile& record);

  private:
    void KeepDamagedFile();

    std::string dataDir_;
    std::optional<DeviceSection> section_;
    std::vector<std::unique_ptr<ProfileFile>> profiles_;
    int current_ = -1;
    std::string keptDamaged_;
};

}  // namespace vantor
