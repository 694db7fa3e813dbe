// The toy's signal handlers: polite ends become one close request, and a
// write to a connection the other side has closed fails instead of ending
// the process, so that a lost X connection is reported, not silent.
#include "platform/posix/Signals.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {

void* sigpipeDisposition()
{
    struct sigaction current {};
    sigaction(SIGPIPE, nullptr, &current);
    return reinterpret_cast<void*>(current.sa_handler);
}

TEST(Signals, AWriteToAClosedPipeFailsInsteadOfEndingTheProcess)
{
    const void* before = sigpipeDisposition();
    platform::signals::install();
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    const char byte = 1;
    errno = 0;
    EXPECT_EQ(write(ends[1], &byte, 1), -1);
    EXPECT_EQ(errno, EPIPE);
    close(ends[1]);
    platform::signals::restore();
    EXPECT_EQ(sigpipeDisposition(), before);
}

TEST(Signals, SeveralPoliteEndsCountAsOneCloseRequest)
{
    platform::signals::install();
    EXPECT_FALSE(platform::signals::takeCloseRequest());
    std::raise(SIGTERM);
    std::raise(SIGHUP);
    std::raise(SIGINT);
    EXPECT_TRUE(platform::signals::closeRequestPending());
    EXPECT_TRUE(platform::signals::takeCloseRequest());
    EXPECT_FALSE(platform::signals::takeCloseRequest());
    platform::signals::restore();
}

} // namespace
