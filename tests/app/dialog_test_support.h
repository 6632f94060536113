// Helpers for driving the main dialog in-process: message pump, recorded boxes, a held network.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "app/CHopwatchApp.h"
#include "settings/settings_globals.h"
#include "support/CFakeHopwatchNetwork.h"
#include "support/test_datagrams.h"
#include "ui/ui_message_box.h"

// Once per test suite: the common controls and the program icons the main dialog uses.
inline void PrepareDialogTests() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), 0xFF};
    ::InitCommonControlsEx(&icc);
    LoadProgramIcons(::GetModuleHandleW(nullptr));
}

// Settings for a short test run: no history, no DNS worker (names come only from the test), one
// probe a second with a 2 s time-out, at most 4 hops, no recording.
inline void UseTestRunSettings() {
    g_HostHistory.RemoveAll();
    g_dwRecordRuns = 0;
    g_bReverseDNS = 0;
    g_dwPingIntervalMS = 1000;
    g_dwPingTimeoutMS = 2000;
    g_dwMaxTTL = 4;
}

// Dispatches the queued messages of this thread, at most maxMessages of them.
inline void PumpMessages(int maxMessages = 10000) {
    MSG msg;
    for (int i = 0; i < maxMessages && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// What a control tells its dialog when used (a click, an edit), then the messages that follow.
inline void SendCommand(HWND dialog, int id, WORD code) {
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
    PumpMessages();
}

// Sends the dialog's refresh timer ticks (timerId) until done() holds, bounded in ticks and time.
template <typename Done> bool TickDialogUntil(HWND dialog, UINT_PTR timerId, Done done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int i = 0; i < 100000 && std::chrono::steady_clock::now() < end; ++i) {
        ::SendMessageW(dialog, WM_TIMER, timerId, 0);
        PumpMessages();
        if (done())
            return true;
        std::this_thread::yield();
    }
    return false;
}

// Answers every message box with IDOK, or the button a test chose, and records what it would
// have shown.
class CRecordedBoxes {
public:
    struct SBox {
        CString text;
        CString caption;
        UINT type;
    };

    CRecordedBoxes() {
        SetUiMessageBoxHandler(
            [this](HWND, const CString& text, const CString& caption, UINT type) {
                m_boxes.push_back(SBox{text, caption, type});
                return m_answer;
            });
    }
    ~CRecordedBoxes() { SetUiMessageBoxHandler({}); }
    CRecordedBoxes(const CRecordedBoxes&) = delete;
    CRecordedBoxes& operator=(const CRecordedBoxes&) = delete;

    void Answer(int button) { m_answer = button; }
    const std::vector<SBox>& Boxes() const { return m_boxes; }
    int CountCaption(const CString& caption) const {
        int count = 0;
        for (const SBox& box : m_boxes)
            count += box.caption == caption ? 1 : 0;
        return count;
    }

private:
    int m_answer = IDOK;
    std::vector<SBox> m_boxes;
};

// The scripted network, except that while held, the ping worker's waits block until the test
// lets one pass with Step, moving the clock by exactly that much. Lets a test look at the window
// between two steps of the worker. Every wait is bounded, so a broken test cannot hang.
class CHeldNetwork : public CFakeHopwatchNetwork {
public:
    int WaitReadable(long seconds, long microseconds, DWORD& error) override {
        std::unique_lock<std::mutex> lock(m_heldMutex);
        if (!m_held) {
            lock.unlock();
            return CFakeHopwatchNetwork::WaitReadable(seconds, microseconds, error);
        }
        ++m_waiting;
        m_changed.notify_all();
        m_changed.wait_for(lock, std::chrono::seconds(10),
                           [this] { return m_steps > 0 || !m_held; });
        if (m_steps > 0) {
            --m_steps;
            Advance(m_stepTicks);
        }
        --m_waiting;
        return 0;
    }

    void Hold() {
        std::lock_guard<std::mutex> lock(m_heldMutex);
        m_held = true;
    }
    void Release() {
        std::lock_guard<std::mutex> lock(m_heldMutex);
        m_held = false;
        m_changed.notify_all();
    }
    // Waits (bounded) until the worker sits in a held wait, or gone() says it has ended; FALSE
    // when neither happened in time.
    template <typename Gone> bool WaitUntilHeld(Gone gone) {
        std::unique_lock<std::mutex> lock(m_heldMutex);
        for (int i = 0; i < 500; ++i) {
            if (m_changed.wait_for(lock, std::chrono::milliseconds(20),
                                   [this] { return m_waiting > 0 && m_steps == 0; }))
                return true;
            if (gone())
                return true;
        }
        return false;
    }
    // Lets one held wait end after the clock moved by ticks.
    void Step(std::int64_t ticks) {
        std::lock_guard<std::mutex> lock(m_heldMutex);
        m_stepTicks = ticks;
        ++m_steps;
        m_changed.notify_all();
    }

private:
    std::mutex m_heldMutex;
    std::condition_variable m_changed;
    bool m_held = false;
    int m_waiting = 0;
    int m_steps = 0;
    std::int64_t m_stepTicks = 0;
};
