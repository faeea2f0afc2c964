#include "discovery/WorkerSlots.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "discovery/DeviceScanThread.h"
#include "discovery/InterfaceSlotTable.h"
#include "discovery/StoppableWorker.h"
#include "sim/VirtualHidBackend.h"

namespace kx520 {
namespace {

using namespace std::chrono_literals;

// A thread that ends on its stop, or, when `late`, only once it is joined:
// the model of a thread whose blocking call returns after the bounded wait.
class FakeWorker : public StoppableWorker {
public:
    FakeWorker(std::string name, std::vector<std::string>& log, bool late)
        : m_name(std::move(name)), m_log(log), m_late(late) {
        m_thread = std::thread([this] {
            std::unique_lock lock(m_lock);
            m_changed.wait(lock, [this] { return m_stop && (!m_late || m_released); });
            m_ended = true;
            m_changed.notify_all();
        });
    }
    ~FakeWorker() override {
        Release();
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }
    void RequestStop() override {
        m_log.push_back("stop " + m_name);
        std::lock_guard lock(m_lock);
        m_stop = true;
        m_changed.notify_all();
    }
    bool WaitForEnd(std::chrono::milliseconds timeout) override {
        m_log.push_back("wait " + m_name);
        std::unique_lock lock(m_lock);
        return m_changed.wait_for(lock, timeout, [this] { return m_ended; });
    }
    void Join() override {
        m_log.push_back("join " + m_name);
        Release();
        m_thread.join();
    }
    bool Ended() {
        std::lock_guard lock(m_lock);
        return m_ended;
    }

private:
    void Release() {
        std::lock_guard lock(m_lock);
        m_stop = true;
        m_released = true;
        m_changed.notify_all();
    }

    std::string m_name;
    std::vector<std::string>& m_log;
    bool m_late;
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_stop = false;
    bool m_released = false;
    bool m_ended = false;
    std::thread m_thread;
};

TEST(WorkerSlots, EveryWorkerIsAskedToStopBeforeAnyIsWaitedFor) {
    std::vector<std::string> log;
    FakeWorker scan("scan", log, false);
    FakeWorker audio("audio", log, false);
    WorkerSlots slots;
    slots.Add(scan);
    slots.Add(audio);
    slots.Add(scan);  // once is enough
    EXPECT_EQ(slots.Size(), 2u);
    EXPECT_TRUE(slots.StopAll());
    EXPECT_EQ(log, (std::vector<std::string>{"stop scan", "stop audio", "wait scan", "join scan",
                                             "wait audio", "join audio"}));
    EXPECT_EQ(slots.Size(), 0u);
    EXPECT_TRUE(slots.StopAll());  // nothing left to stop
}

TEST(WorkerSlots, AWorkerThatOverrunsTheWaitIsReportedAndStillJoined) {
    std::vector<std::string> log;
    FakeWorker late("late", log, true);
    FakeWorker prompt("prompt", log, false);
    WorkerSlots slots;
    slots.Add(late);
    slots.Add(prompt);
    EXPECT_FALSE(slots.StopAll(20ms));
    EXPECT_TRUE(late.Ended());
    EXPECT_TRUE(prompt.Ended());
}

// A scan whose arrival handler blocks until the test lets it go.
class BlockingReceiver : public DeviceScanReceiver {
public:
    void OnDeviceArrived(int) override {
        std::unique_lock lock(m_lock);
        m_entered = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_released; });
    }
    void OnDeviceRemoved(int) override {}
    void OnFirstPassDone() override {}
    bool WaitEntered() {
        std::unique_lock lock(m_lock);
        return m_changed.wait_for(lock, 10s, [this] { return m_entered; });
    }
    void Release() {
        std::lock_guard lock(m_lock);
        m_released = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_entered = false;
    bool m_released = false;
};

TEST(WorkerSlots, TheDeviceScanEndsOnlyWhenItsCallReturnsAndIsJoinedThen) {
    sim::VirtualHidBackend backend;
    backend.Plug("keyboard");
    InterfaceSlotTable table;
    BlockingReceiver receiver;
    DeviceScanThread scan(backend, table, receiver);
    scan.Start();
    ASSERT_TRUE(receiver.WaitEntered());
    scan.RequestStop();
    EXPECT_FALSE(scan.WaitForEnd(10ms));
    receiver.Release();
    EXPECT_TRUE(scan.WaitForEnd(10s));
    scan.Join();
    EXPECT_FALSE(scan.Running());
    // A scan that never started has nothing to wait for.
    DeviceScanThread idle(backend, table, receiver);
    EXPECT_TRUE(idle.WaitForEnd(0ms));
}

}  // namespace
}  // namespace kx520
