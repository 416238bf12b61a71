#include "platform/device_lock.h"

#include <unistd.h>

#include <cerrno>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

using namespace std::chrono_literals;

TEST(DeviceLockTest, ASecondUserWaitsAndLearnsWhoHoldsTheMouse) {
    test::TempDir dir;
    const std::string path = dir / "device.lock";
    DeviceLock first;
    ASSERT_TRUE(first.Acquire(path, "vantor", 0ms, nullptr, nullptr));
    EXPECT_EQ(test::ReadText(path), "vantor " + std::to_string(getpid()) + "\n");

    DeviceLock second;
    std::string holder;
    int error = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(second.Acquire(path, "vantorctl", 200ms, &holder, &error));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
    EXPECT_EQ(error, EWOULDBLOCK);
    EXPECT_EQ(holder, "vantor " + std::to_string(getpid()));
    EXPECT_EQ(DescribeLockHolder(holder), "vantor (pid " + std::to_string(getpid()) + ")");
    EXPECT_EQ(DescribeLockHolder(""), "another program");
    EXPECT_FALSE(second.Held());

    first.Release();
    ASSERT_TRUE(second.Acquire(path, "vantorctl", 0ms, nullptr, nullptr));
    EXPECT_EQ(test::ReadText(path), "vantorctl " + std::to_string(getpid()) + "\n");
}

TEST(DeviceLockTest, TheLockFileLivesInTheRuntimeFolderElseTheDataFolder) {
    {
        test::ScopedEnv runtime("XDG_RUNTIME_DIR", "/run/user/1000");
        EXPECT_EQ(DeviceLockPath("/home/u/.local/share/Vantor/"),
                  "/run/user/1000/vantor-device.lock");
    }
    test::ScopedEnv none("XDG_RUNTIME_DIR", "");
    EXPECT_EQ(DeviceLockPath("/home/u/data"), "/home/u/data/vantor-device.lock");
    int error = 0;
    DeviceLock lock;
    EXPECT_FALSE(lock.Acquire("/nonexistent/folder/device.lock", "x", 0ms, nullptr, &error));
    EXPECT_EQ(error, ENOENT);
}

}  // namespace
}  // namespace vantor
