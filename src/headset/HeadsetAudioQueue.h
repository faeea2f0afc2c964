#pragma once

#include <functional>

#include "devicebase/ExchangeQueue.h"
#include "headset/HeadsetAudio.h"
#include "headset/HeadsetAudioView.h"

namespace kx520 {

// The headset's audio worker: every call of the plug-in runs here, one
// after another, never on the UI thread; each completion goes to `post`.
// The audio object is used only on the worker (and made and ended with it).
class HeadsetAudioQueue : public HeadsetAudioRunner {
public:
    explicit HeadsetAudioQueue(ExchangeQueue::Post post);
    ~HeadsetAudioQueue() override;

    void Run(std::function<void(HeadsetAudio&)> work, std::function<void()> done) override;
    bool Busy() const { return m_queue.Busy(); }

private:
    HeadsetAudio m_audio;
    // Last: its thread ends before the audio it uses.
    ExchangeQueue m_queue;
};

}  // namespace kx520
