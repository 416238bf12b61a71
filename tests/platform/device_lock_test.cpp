#include "platform/device_lock.h"

#include <sys/stat.h>
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

// Every run of one user finds the same lock, with or without $XDG_RUNTIME_DIR: a runtime
// folder that is not private is passed over for the user's own folder in /tmp.
TEST(DeviceLockTest, TheLockFileLivesInThePrivateRuntimeFolder) {
    test::TempDir runtime, open;
    chmod(open.path().c_str(), 0755);
    const std::string fallback = "/tmp/vantor-" + std::to_string(geteuid()) + "/";
    const struct {
        std::string runtime;
        std::string lock;
    } cases[] = {
        {runtime.path(), runtime / "vantor-device.lock"},
        {"", fallback + "vantor-device.lock"},
        {open.path(), fallback + "vantor-device.lock"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.runtime);
        test::ScopedEnv env("XDG_RUNTIME_DIR", c.runtime);
        EXPECT_EQ(DeviceLockPath("/home/u/data"), c.lock);
    }
    int error = 0;
    DeviceLock lock;
    EXPECT_FALSE(lock.Acquire("/nonexistent/folder/device.lock", "x", 0ms, nullptr, &error));
    EXPECT_EQ(error, ENOENT);
}

// A lock file another user put in place is never used: it could keep this user's programs
// from the mouse for good.
TEST(DeviceLockTest, ALockFileOfAnotherUserIsRefused) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give the file to another user";
    test::TempDir dir;
    const std::string path = dir / "device.lock";
    test::WriteText(path, "");
    ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
    DeviceLock lock;
    int error = 0;
    EXPECT_FALSE(lock.Acquire(path, "vantorctl", 0ms, nullptr, &error));
    EXPECT_EQ(error, EPERM);
}

}  // namespace
}  // namespace vantor
