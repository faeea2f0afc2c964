#include "headset/HeadsetAudioQueue.h"

namespace kx520 {

HeadsetAudioQueue::HeadsetAudioQueue(ExchangeQueue::Post post) : m_queue(std::move(post)) {}

HeadsetAudioQueue::~HeadsetAudioQueue() = default;

void HeadsetAudioQueue::Run(std::function<void(HeadsetAudio&)> work, std::function<void()> done) {
    m_queue.Submit([this, work = std::move(work)] { work(m_audio); }, std::move(done));
}

}  // namespace kx520
