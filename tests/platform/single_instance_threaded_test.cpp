#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

TEST(SingleInstanceTest, SecondCopyHandsItsMessageToTheFirst) {
    test::TempDir dir;
    SingleInstance first("MUTEX_QX_WIRELESS", dir.path());
    ASSERT_EQ(first.Acquire(), InstanceClaim::kHeld);

    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<InstanceMessage> received;
    ASSERT_TRUE(first.Listen([&](const InstanceMessage& message) {
        std::lock_guard<std::mutex> lock(mutex);
        received.push_back(message);
        arrived.notify_one();
    }));

    SingleInstance second("MUTEX_QX_WIRELESS", dir.path());
    EXPECT_EQ(second.Acquire(), InstanceClaim::kRunning);
    EXPECT_EQ(second.Notify({"Vantor Mouse Center", 1132, 0, 514}), getpid());

    std::unique_lock<std::mutex> lock(mutex);
    ASSERT_TRUE(arrived.wait_for(lock, std::chrono::seconds(5), [&] { return !received.empty(); }));
    EXPECT_EQ(received[0].title, "Vantor Mouse Center");
    EXPECT_EQ(received[0].message, 1132u);
    EXPECT_EQ(received[0].wParam, 0u);
    EXPECT_EQ(received[0].lParam, 514u);
}

TEST(SingleInstanceTest, NoHolderMeansNobodyAnswers) {
    test::TempDir dir;
    SingleInstance lone("MUTEX_QX_WIRELESS", dir.path());
    EXPECT_EQ(lone.Notify({"x", 1132, 0, 514}), 0);
}

TEST(SingleInstanceTest, LockOfACrashedCopyDoesNotBlock) {
    test::TempDir dir;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child takes the lock and the socket, then dies without cleaning up.
        SingleInstance holder("MUTEX_QX_WIRELESS", dir.path());
        if (holder.Acquire() != InstanceClaim::kHeld ||
            !holder.Listen([](const InstanceMessage&) {}))
            _exit(1);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    SingleInstance next("MUTEX_QX_WIRELESS", dir.path());
    EXPECT_EQ(next.Acquire(), InstanceClaim::kHeld);
    EXPECT_TRUE(next.Listen([](const InstanceMessage&) {}));
    next.StopListening();
}

// Nobody but the user may take the lock first or talk to the running copy: a folder others
// can use, or a lock file of another user, is an error with a message; a message from
// another user's process is dropped unread.
TEST(SingleInstanceTest, OtherUsersCanNeitherBlockNorReachIt) {
    test::TempDir open;
    chmod(open.path().c_str(), 0755);
    SingleInstance shared("MUTEX_QX_WIRELESS", open.path());
    EXPECT_EQ(shared.Acquire(), InstanceClaim::kFailed);
    EXPECT_EQ(shared.Error(), open.path() + " can be used by other users (mode 0755)");

    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    test::TempDir dir;
    test::WriteText(dir / "MUTEX_QX_WIRELESS.lock", "");
    ASSERT_EQ(chown((dir / "MUTEX_QX_WIRELESS.lock").c_str(), 65534, 65534), 0);
    SingleInstance planted("MUTEX_QX_WIRELESS", dir.path());
    EXPECT_EQ(planted.Acquire(), InstanceClaim::kFailed);
    EXPECT_NE(planted.Error().find("MUTEX_QX_WIRELESS.lock is not a file of this user"),
              std::string::npos);
    unlink((dir / "MUTEX_QX_WIRELESS.lock").c_str());

    SingleInstance holder("MUTEX_QX_WIRELESS", dir.path());
    ASSERT_EQ(holder.Acquire(), InstanceClaim::kHeld);
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<InstanceMessage> received;
    ASSERT_TRUE(holder.Listen([&](const InstanceMessage& message) {
        std::lock_guard<std::mutex> lock(mutex);
        received.push_back(message);
        arrived.notify_one();
    }));
    // The socket is opened up so that only the check of the peer stands in the way.
    chmod(dir.path().c_str(), 0777);
    chmod((dir / "MUTEX_QX_WIRELESS.sock").c_str(), 0777);
    const std::string socketPath = dir / "MUTEX_QX_WIRELESS.sock";
    const std::uint8_t wire[] = {0x6c, 4, 0, 0, 0, 0, 0, 0, 0x02, 2, 0, 0, 'x'};  // 1132, 0, 514
    for (uid_t user : {uid_t{65534}, geteuid()}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (user != geteuid() && setuid(user) != 0) _exit(2);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
            const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) _exit(3);
            const ssize_t sent = send(fd, wire, sizeof wire, MSG_NOSIGNAL);
            _exit(sent == static_cast<ssize_t>(sizeof wire) ? 0 : 4);
        }
        int status = 0;
        waitpid(child, &status, 0);
        // The other user's message may already meet a closed connection.
        if (user == geteuid()) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
    }
    std::unique_lock<std::mutex> lock(mutex);
    ASSERT_TRUE(arrived.wait_for(lock, std::chrono::seconds(5), [&] { return !received.empty(); }));
    lock.unlock();
    holder.StopListening();
    ASSERT_EQ(received.size(), 1u) << "only the message of the same user arrives";
    EXPECT_EQ(received[0].message, 1132u);
}

}  // namespace
}  // namespace vantor
