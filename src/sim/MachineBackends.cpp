#include "sim/MachineBackends.h"

#include <algorithm>
#include <cstdlib>

#include "platform/SafeJson.h"
#include "sim/FlashStore.h"
#include "sim/PacketTrace.h"
#include "sim/SimFault.h"

namespace kx520::sim {

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// "product:FILE[,product:FILE...]": each product's model from its JSON file.
bool ApplyModels(VirtualHidBackend& backend, const std::string& text, std::string* error) {
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find(',', at), text.size());
        const std::string item = text.substr(at, end - at);
        at = end + 1;
        const size_t colon = item.find(':');
        std::string why;
        if (colon == std::string::npos) {
            why = "'" + item + "' is not product:FILE";
        } else if (const auto model = json::ReadFile(item.substr(colon + 1), &why)) {
            backend.SetModel(item.substr(0, colon), *model, &why);
        } else if (why.empty()) {
            why = "cannot read " + item.substr(colon + 1);
        }
        if (!why.empty()) {
            if (error != nullptr) {
                *error = "KX520_SIM_MODEL: " + why;
            }
            return false;
        }
    }
    return true;
}

}  // namespace

MachineBackends::MachineBackends() : m_hidraw(hid::HidrawBackend::FromEnvironment()) {
    m_all.Add(m_hidraw);
    m_all.Add(m_virtual);
}

std::unique_ptr<MachineBackends> MachineBackends::Create(
    const std::vector<std::string>& simulated, std::string* error) {
    std::unique_ptr<MachineBackends> backends(new MachineBackends());
    const std::string tracePath = Variable("KX520_SIM_TRACE");
    if (!tracePath.empty()) {
        auto trace = PacketTrace::Open(tracePath, error);
        if (!trace) {
            return nullptr;
        }
        backends->m_virtual.SetTrace(std::move(trace));
    }
    std::string faultError;
    const auto faults = ParseSimFaults(Variable("KX520_SIM_FAULTS"), &faultError);
    if (!faults) {
        if (error != nullptr) {
            *error = "KX520_SIM_FAULTS: " + faultError;
        }
        return nullptr;
    }
    for (const auto& [product, specs] : *faults) {
        for (const FaultSpec& spec : specs) {
            backends->m_virtual.AddFault(product, spec);
        }
    }
    if (!ApplyModels(backends->m_virtual, Variable("KX520_SIM_MODEL"), error)) {
        return nullptr;
    }
    // Like a real device's flash, what was written to a virtual device is
    // there again in the next run.
    if (const std::string folder = FlashStore::DefaultFolder(); !folder.empty()) {
        backends->m_virtual.SetFlashStore(std::make_shared<FlashStore>(folder));
    }
    // The virtual headset has sound devices of its own on the sound server
    // (left over ones of an earlier run go first).
    if (!simulated.empty()) {
        backends->m_headsetSound = std::make_unique<VirtualHeadsetSound>();
        backends->m_virtual.SetPlugObserver([sound = backends->m_headsetSound.get()](const std::string& product,
                                                                                     bool plugged) {
            if (product == "headset") {
                sound->SetPlugged(plugged);
            }
        });
    }
    for (const std::string& product : simulated) {
        backends->m_virtual.Plug(product);
    }
    return backends;
}

}  // namespace kx520::sim
