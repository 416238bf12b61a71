#include "platform/hidraw_backend.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

TEST(HidrawBackendTest, OpenReportsWhyANodeCannotBeOpened) {
    test::TempDir dev;
    HidrawBackend backend({dev.path(), dev.path()});
    std::uint32_t error = 0;
    EXPECT_EQ(backend.Open(dev / "hidraw9", &error), nullptr);
    EXPECT_EQ(error, kHidFileNotFound);

    test::WriteText(dev / "hidraw3", "");
    ASSERT_EQ(chmod((dev / "hidraw3").c_str(), 0), 0);
    if (geteuid() != 0) {  // root opens it anyway
        EXPECT_EQ(backend.Open(dev / "hidraw3", &error), nullptr);
        EXPECT_EQ(error, kHidAccessDenied);
    }
}

TEST(HidrawBackendTest, OpenedNodeAnswersAndCloses) {
    test::TempDir dev;
    test::WriteText(dev / "hidraw3", "");
    HidrawBackend backend({dev.path(), dev.path()});
    std::uint32_t error = 99;
    auto handle = backend.Open(dev / "hidraw3", &error);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(error, kHidOk);
    EXPECT_EQ(handle->Path(), dev / "hidraw3");
    // A plain file is no hidraw node: the ioctl fails and says so.
    HidAttributes attributes;
    EXPECT_FALSE(handle->GetAttributes(&attributes, &error));
    EXPECT_EQ(error, kHidGenericFailure);
    handle->Close();
    EXPECT_FALSE(handle->IsOpen());
}

TEST(HidrawBackendTest, AccessHintNamesTheNodeAndTheFix) {
    EXPECT_EQ(HidAccessDeniedHint("/dev/hidraw3"),
              "No permission to open /dev/hidraw3: install the vantor package (or copy its udev "
              "rule 70-vantor.rules to /etc/udev/rules.d), then unplug the receiver and plug it "
              "in again");
}

}  // namespace
}  // namespace vantor
