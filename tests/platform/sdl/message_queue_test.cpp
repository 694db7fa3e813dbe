// The SDL platform's message queue on its own: first in, first out, the quit
// message last whenever it was asked for, once, and nothing left behind for a
// window that is gone.
#include "platform/sdl/MessageQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::Message;
using platform::MessageQueue;

std::vector<unsigned> drain(MessageQueue& queue)
{
    std::vector<unsigned> taken;
    Message message;
    while (queue.take(message))
        taken.push_back(message.message);
    return taken;
}

TEST(MessageQueue, QuitComesOnceAfterEverythingPostedBeforeAndAfterIt)
{
    MessageQueue queue;
    queue.post({1, platform::WM_KEYDOWN, 0x41, 0});
    queue.postQuit(7);
    queue.post({1, platform::WM_SIZE, 0, 0});
    EXPECT_FALSE(queue.empty());

    Message message;
    ASSERT_TRUE(queue.take(message));
    EXPECT_EQ(platform::WM_KEYDOWN, message.message);
    EXPECT_EQ(0x41u, message.wParam);
    ASSERT_TRUE(queue.take(message));
    EXPECT_EQ(platform::WM_SIZE, message.message);
    EXPECT_TRUE(queue.empty()) << "a waiting quit request is no posted message";
    EXPECT_TRUE(queue.quitWaiting()) << "but it waits, and a wait must end for it";
    ASSERT_TRUE(queue.take(message));
    EXPECT_EQ(platform::WM_QUIT, message.message);
    EXPECT_FALSE(queue.quitWaiting());
    EXPECT_EQ(7u, message.wParam);
    EXPECT_FALSE(queue.take(message)) << "the quit message comes once";
}

TEST(MessageQueue, ASecondQuitRequestOnlyChangesTheCode)
{
    MessageQueue queue;
    queue.postQuit(1);
    queue.postQuit(0);
    Message message;
    ASSERT_TRUE(queue.take(message));
    EXPECT_EQ(platform::WM_QUIT, message.message);
    EXPECT_EQ(0u, message.wParam);
    EXPECT_TRUE(drain(queue).empty());
}

TEST(MessageQueue, ForgetDropsOnlyThatWindowsMessagesInOrder)
{
    MessageQueue queue;
    queue.post({1, platform::WM_KEYDOWN, 0, 0});
    queue.post({2, platform::WM_SIZE, 0, 0});
    queue.post({1, platform::WM_CLOSE, 0, 0});
    queue.post({2, platform::WM_ACTIVATE, 0, 0});
    queue.forget(1);
    EXPECT_EQ((std::vector<unsigned>{platform::WM_SIZE, platform::WM_ACTIVATE}), drain(queue));
}

} // namespace
