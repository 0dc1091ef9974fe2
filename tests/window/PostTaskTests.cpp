// Tasks posted to the window thread: where and in which order they run, and that a
// task that never runs is still destroyed exactly once.
#include "WindowTestSupport.h"

#include "ui/framework/window/UiWindow.h"
#include "ui/setup/Window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

using windowtest::PumpUntil;

namespace {

// Counts how many copies of a task are alive; every copy is destroyed with its task.
struct Tracked {
    explicit Tracked(std::shared_ptr<int> token) : token(std::move(token)) {}
    std::shared_ptr<int> token;
};

class PostTask : public ::testing::Test, protected windowtest::WindowFixtureBase {
protected:
    void SetUp() override { ASSERT_TRUE(CreateWindowWithRoot()); }
    void TearDown() override { TearDownWindow(); }
};

} // namespace

TEST_F(PostTask, TasksFromAnotherThreadRunOnWindowThreadInOrder)
{
    const DWORD windowThread = GetCurrentThreadId();
    std::vector<int> order;
    std::vector<DWORD> threads;
    constexpr int kTasks = 50;

    std::thread poster([&] {
        for (int i = 0; i < kTasks; ++i) {
            window.PostTask([&, i] {
                order.push_back(i);
                threads.push_back(GetCurrentThreadId());
            });
        }
    });
    poster.join();

    ASSERT_TRUE(PumpUntil([&] { return order.size() == kTasks; }, 10000));
    for (int i = 0; i < kTasks; ++i)
        EXPECT_EQ(order[i], i);
    for (DWORD thread : threads)
        EXPECT_EQ(thread, windowThread);
}

TEST_F(PostTask, TaskRunsOnlyWhenTheLoopDispatches)
{
    bool ran = false;
    window.PostTask([&] { ran = true; });
    EXPECT_FALSE(ran);
    EXPECT_TRUE(PumpUntil([&] { return ran; }, 5000));
}

TEST_F(PostTask, RunTaskIsDestroyed)
{
    auto token = std::make_shared<int>(0);
    bool ran = false;
    window.PostTask([&ran, tracked = Tracked(token)] { ran = true; });
    // The argument is gone when PostTask returns; only the posted copy holds the token.
    EXPECT_EQ(token.use_count(), 2);
    ASSERT_TRUE(PumpUntil([&] { return ran; }, 5000));
    EXPECT_EQ(token.use_count(), 1);
}

TEST_F(PostTask, TaskPostedAfterDestroyNeverRunsAndIsDestroyed)
{
    DestroyWindow(window.hwnd);
    ASSERT_EQ(window.hwnd, nullptr);

    auto token = std::make_shared<int>(0);
    bool ran = false;
    window.PostTask([&ran, tracked = Tracked(token)] { ran = true; });
    EXPECT_EQ(token.use_count(), 1);
    windowtest::DispatchPending();
    EXPECT_FALSE(ran);
}

TEST_F(PostTask, TaskPostedDuringDestroyNeverRuns)
{
    // A hook that posts from inside WM_DESTROY: hwnd is already cleared by then.
    auto token = std::make_shared<int>(0);
    bool ran = false;
    window.messageHook = [&](UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message == WM_DESTROY)
            window.PostTask([&ran, tracked = Tracked(token)] { ran = true; });
        return -1;
    };
    DestroyWindow(window.hwnd);
    EXPECT_EQ(token.use_count(), 1);
    windowtest::DispatchPending();
    EXPECT_FALSE(ran);
}

TEST_F(PostTask, QueuedTasksAreDestroyedUnrunWhenWindowGoes)
{
    auto token = std::make_shared<int>(0);
    int runs = 0;
    for (int i = 0; i < 3; ++i)
        window.PostTask([&runs, tracked = Tracked(token)] { ++runs; });
    EXPECT_EQ(token.use_count(), 4);

    DestroyWindow(window.hwnd);
    EXPECT_EQ(token.use_count(), 1);
    windowtest::DispatchPending();
    EXPECT_EQ(runs, 0);
}

TEST(PostTaskLifetime, QueuedTasksFromAnotherThreadAreDestroyedWithTheWindowObject)
{
    auto window = std::make_unique<SetupUi::CWindow>();
    ASSERT_TRUE(window->Create(GetModuleHandleW(nullptr)));
    auto token = std::make_shared<int>(0);
    std::atomic<int> runs{0};
    std::thread poster([&] {
        for (int i = 0; i < 10; ++i)
            window->PostTask([&runs, tracked = Tracked(token)] { ++runs; });
    });
    poster.join();
    EXPECT_EQ(token.use_count(), 11);

    window.reset(); // destroys the still-open window first
    EXPECT_EQ(token.use_count(), 1);
    windowtest::DispatchPending();
    EXPECT_EQ(runs.load(), 0);
}

TEST_F(PostTask, NullTaskMessageIsIgnored)
{
    EXPECT_EQ(Send(UIE::kPostedTaskMessage, 0, 0), 0);
    EXPECT_TRUE(IsWindow(window.hwnd));
}
