#include "kx520ctl/StateCommand.h"

#include <json/json.h>

#include <cstdio>
#include <span>

#include "protocol/CommandSet.h"

namespace kx520::ctl {

namespace {

using namespace protocol;

Json::Value Bytes(const std::vector<uint8_t>& bytes) {
    Json::Value array(Json::arrayValue);
    for (uint8_t byte : bytes) {
        array.append(byte);
    }
    return array;
}

std::string HexLines(const char* name, const std::vector<uint8_t>& bytes) {
    std::string text = std::string(name) + " (" + std::to_string(bytes.size()) + " bytes):\n";
    for (size_t i = 0; i < bytes.size(); i += 16) {
        char line[80];
        int at = std::snprintf(line, sizeof line, "  %04zx ", i);
        for (size_t k = i; k < bytes.size() && k < i + 16; ++k) {
            at += std::snprintf(line + at, sizeof line - static_cast<size_t>(at), " %02x",
                                bytes[k]);
        }
        text += line;
        text += "\n";
    }
    return text;
}

}  // namespace

std::string FormatStateJson(const DeviceState& state) {
    Json::Value root(Json::objectValue);
    if (state.readsInfo) {
        root["info"] = Bytes(state.info);
    }
    if (state.readsKeys) {
        root["keys"] = Bytes(state.keys);
    }
    if (state.readsKeyExtra) {
        root["keyExtra"] = Bytes(state.keyExtra);
    }
    if (state.readsStatus) {
        root["status"] = Bytes(state.status);
    }
    if (state.readsLight) {
        root["lightProfile"] = state.lightProfile;
        root["lightRecord"] = Bytes(state.lightRecord);
    }
    if (state.readsKeyColours) {
        root["keyColours"] = Bytes(state.keyColours);
    }
    root["result"] = state.result;
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    return Json::writeString(writer, root) + "\n";
}

std::string FormatStateText(const DeviceState& state) {
    std::string text;
    if (state.readsInfo) {
        text += HexLines("info", state.info);
    }
    if (state.readsKeys) {
        text += HexLines("keys", state.keys);
    }
    if (state.readsKeyExtra) {
        text += HexLines("key extra", state.keyExtra);
    }
    if (state.readsStatus) {
        text += HexLines("status", state.status);
    }
    if (state.readsLight) {
        text += "light record of profile " + std::to_string(state.lightProfile) + ":\n" +
                HexLines("light", state.lightRecord);
    }
    if (state.readsKeyColours) {
        text += HexLines("key colours", state.keyColours);
    }
    text += "result: " + std::to_string(state.result) + " (" + ResultText(state.result) + ")\n";
    return text;
}

}  // namespace kx520::ctl
