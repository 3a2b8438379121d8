// The worker thread runs its entry with its argument, and waiting for its end serves what it
// sends while keeping what it posts, so the wait cannot deadlock.
#include "worker_thread.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

namespace {

constexpr UINT kWorkerAsks = WM_APP + 1;
constexpr UINT kWorkerDone = WM_APP + 2;

// A message-only window of the test's thread that answers what a worker sends.
LRESULT CALLBACK AnswerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kWorkerAsks) return static_cast<LRESULT>(wParam) * 2;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class MessageWindow {
public:
    MessageWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = AnswerProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"WorkerThreadTestWindow";
        RegisterClassW(&windowClass);
        hwnd_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                nullptr, windowClass.hInstance, nullptr);
    }
    ~MessageWindow() {
        if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    }
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

struct Exchange {
    HWND window;
    LRESULT answers = 0;
    std::atomic<int> entered{0};
};

// Like a job's worker: asks the window's thread many times, then posts its end.
unsigned AskThenPostDone(void* argument) {
    auto* exchange = static_cast<Exchange*>(argument);
    exchange->entered = 1;
    for (int i = 1; i <= 100; ++i) {
        exchange->answers += SendMessageW(exchange->window, kWorkerAsks, static_cast<WPARAM>(i), 0);
    }
    PostMessageW(exchange->window, kWorkerDone, 7, 0);
    return 0;
}

}  // namespace

TEST(WorkerThread, RunsTheEntryWithItsArgument) {
    MessageWindow window;
    ASSERT_NE(window.hwnd(), nullptr);
    Exchange exchange{window.hwnd()};
    framework::WorkerThread worker;
    EXPECT_FALSE(worker.started());
    ASSERT_TRUE(worker.Start(AskThenPostDone, &exchange));
    EXPECT_TRUE(worker.started());
    worker.WaitServingSentMessages();
    EXPECT_TRUE(worker.finished());
    EXPECT_EQ(exchange.entered.load(), 1);
}

TEST(WorkerThread, WaitingServesWhatTheWorkerSendsAndKeepsWhatItPosts) {
    MessageWindow window;
    ASSERT_NE(window.hwnd(), nullptr);
    Exchange exchange{window.hwnd()};
    framework::WorkerThread worker;
    ASSERT_TRUE(worker.Start(AskThenPostDone, &exchange));
    // A plain wait here would never end: the worker waits for this thread.
    worker.WaitServingSentMessages();
    EXPECT_EQ(exchange.answers, 2 * (100 * 101 / 2));

    MSG done;
    ASSERT_TRUE(PeekMessageW(&done, window.hwnd(), kWorkerDone, kWorkerDone, PM_REMOVE));
    EXPECT_EQ(done.wParam, 7u);
}

TEST(WorkerThread, WaitingWithoutAThreadReturnsAtOnce) {
    framework::WorkerThread worker;
    worker.WaitServingSentMessages();
    EXPECT_TRUE(worker.finished());
}
