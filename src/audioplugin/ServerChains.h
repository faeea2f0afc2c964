#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "soundserver/PulseLink.h"

namespace kx520::audio {

// The headset's sound-server devices and the modules the plug-in adds
// around them, each marked as its own ("kx520.audio=<role>") so that a
// later start, or the same one after the server restarted, finds and
// reuses them instead of adding a second set:
// - the equaliser, a LADSPA sink (caps' Eq10X2) on the headset's sink that
//   the headset's streams move onto while it is on;
// - the monitor, a loopback from the headset's microphone to its sink;
// - the voice changer, the microphone through a pitch shifter into a null
//   sink whose monitor is offered as a source of its own.
class ServerChains {
public:
    static constexpr const char* kMarker = "kx520.audio";
    static constexpr const char* kEqSink = "kx520_eq";
    static constexpr const char* kVoiceSource = "kx520_voice";
    static constexpr int kBands = 10;

    struct Headset {
        std::optional<sound::PulseLink::Device> sink;
        std::optional<sound::PulseLink::Device> source;
    };
    // What the chains should be; an empty optional: not there.
    struct Wanted {
        std::optional<std::array<int, kBands>> bands;  // the equaliser's curve, 1 unit = 1 dB
        std::optional<double> monitorLevel;            // 0.0-1.0 while the monitor is on
        std::optional<int> voice;                      // 0-3 while the voice changer is on
    };
    // What was left to put back when a chain goes.
    struct Remembered {
        std::string sinkDefault;
        std::string sourceDefault;
    };

    explicit ServerChains(sound::PulseLink& link) : m_link(link) {}

    // The headset's sink and source: the devices whose USB ids are the
    // headset's, none of them a chain of ours or a monitor.
    Headset FindHeadset(const std::string& vendorId, const std::string& productId);

    // Loads, reloads or unloads each chain to match `wanted`; a chain already
    // loaded as wanted is kept. What each could not do goes to `why` by role.
    void Reconcile(const Headset& headset, const Wanted& wanted, Remembered& remembered,
                   std::map<std::string, std::string>& why);
    // Every module of ours unloaded, the defaults put back.
    void UnloadAll(Remembered& remembered);

    // Streams of others started on the headset's sink go onto the equaliser.
    void CatchStrays(const Headset& headset);
    // The monitor's stream, for its level.
    std::optional<sound::PulseLink::Stream> MonitorStream();
    // Whether a LADSPA library is where the server would look for it.
    static bool LadspaAvailable(const std::string& file);
    static std::string EqArgument(const std::string& master, const std::array<int, kBands>& bands);
    // The pitch shift of each voice, in semitones.
    static int VoiceSemitones(int voice);

private:
    std::map<std::string, sound::PulseLink::Module> Ours();
    std::set<uint32_t> OurModuleIndices();
    // The module of `role` left as it is when its argument is `argument`,
    // else replaced (or removed for an empty argument); its index or kNone.
    uint32_t Keep(std::map<std::string, sound::PulseLink::Module>& ours, const std::string& role, const char* module,
                  const std::string& argument, std::string& why);
    void ReconcileEq(const Headset& headset, const Wanted& wanted, Remembered& remembered,
                     std::map<std::string, sound::PulseLink::Module>& ours, std::string& why);
    void ReconcileMonitor(const Headset& headset, const Wanted& wanted,
                          std::map<std::string, sound::PulseLink::Module>& ours, std::string& why);
    void ReconcileVoice(const Headset& headset, const Wanted& wanted, Remembered& remembered,
                        std::map<std::string, sound::PulseLink::Module>& ours, std::string& why);
    // Streams of others on device `from` moved to `to`.
    void MovePlayback(uint32_t from, uint32_t to);
    void MoveRecording(uint32_t from, uint32_t to);
    std::optional<uint32_t> SinkIndex(const std::string& name);
    std::optional<uint32_t> SourceIndex(const std::string& name);

    sound::PulseLink& m_link;
};

}  // namespace kx520::audio
