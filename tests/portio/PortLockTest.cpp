// One Tenvaro per port: the lock refuses a second holder at once and names
// the first, and is gone with its holder.
#include "PortLock.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using portio::PortLock;

long refusedHolder(const std::string& path)
{
    try {
        PortLock second(path);
    } catch (const PortLock::InUse& e) {
        return e.pid;
    }
    return -1;
}

TEST(PortLock, ASecondHolderInTheSameProcessIsRefusedNamingTheFirst)
{
    TempDir dir;
    const std::string path = dir.file("port.lock");
    {
        PortLock first(path);
        EXPECT_EQ(fileText(path), std::to_string(::getpid()) + "\n");
        EXPECT_EQ(refusedHolder(path), ::getpid());
    }
    EXPECT_EQ(refusedHolder(path), -1) << "the lock outlived its holder";
}

TEST(PortLock, AnotherProcessHoldingItIsNamedWithoutWaiting)
{
    TempDir dir;
    const std::string path = dir.file("port.lock");
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        PortLock held(path);
        char byte = 1;
        (void)!::write(ready[1], &byte, 1);
        (void)!::read(release[0], &byte, 1);
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);

    EXPECT_EQ(refusedHolder(path), child);

    (void)!::write(release[1], &byte, 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(refusedHolder(path), -1) << "the lock outlived the process that held it";
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        ::close(fd);
}

TEST(PortLock, AFileLeftByAKilledHolderDoesNotBlock)
{
    TempDir dir;
    const std::string path = dir.file("port.lock");
    writeBytes(path, {'9', '9', '9', '9', '9', '9', '9', '\n'});
    PortLock lock(path);
    EXPECT_EQ(fileText(path), std::to_string(::getpid()) + "\n");
}

TEST(PortLock, AnUnusableDirectoryIsAnErrorNotARefusal)
{
    try {
        PortLock lock("/nonexistent-dir/port.lock");
        FAIL() << "locked a file in a missing directory";
    } catch (const PortLock::InUse&) {
        FAIL() << "reported as in use";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent-dir/port.lock"), std::string::npos) << e.what();
    }
}

} // namespace
