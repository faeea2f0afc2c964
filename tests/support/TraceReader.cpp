#include "support/TraceReader.h"

#include <algorithm>

#include "protocol/CommandPacket.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace kx520::test {

std::vector<TraceLine> ReadTrace(const std::string& path) {
    std::vector<TraceLine> lines;
    std::ifstream file(path);
    std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // A trace read while devices still run can end inside a line being
    // written: only whole lines count.
    all.resize(all.rfind('\n') == std::string::npos ? 0 : all.rfind('\n') + 1);
    std::istringstream in(all);
    std::string text;
    while (std::getline(in, text)) {
        std::istringstream fields(text);
        TraceLine line;
        std::string direction;
        std::string hex;
        fields >> line.ms >> line.product >> direction >> hex;
        EXPECT_TRUE(direction == "out" || direction == "in") << text;
        EXPECT_EQ(hex.size() % 2, 0u) << text;
        for (char c : hex) {
            EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')) << text;
        }
        line.out = direction == "out";
        for (size_t i = 0; i + 1 < hex.size(); i += 2) {
            line.report.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<TraceLine> Requests(const std::vector<TraceLine>& lines) {
    std::vector<TraceLine> requests;
    for (const TraceLine& line : lines) {
        if (line.out && !line.report.empty() && line.report[0] == 0x04) {
            requests.push_back(line);
        }
    }
    return requests;
}

std::vector<uint8_t> WrittenImage(const std::string& path, const std::string& product, uint8_t command,
                                  size_t size) {
    std::vector<uint8_t> memory(size, 0);
    for (const TraceLine& line : Requests(ReadTrace(path))) {
        if (line.product != product || line.Command() != command ||
            line.report.size() < protocol::kDataByte + line.Length()) {
            continue;
        }
        const size_t end = static_cast<size_t>(line.Offset()) + line.Length();
        memory.resize(std::max(memory.size(), end));
        std::copy_n(line.report.begin() + protocol::kDataByte, line.Length(), memory.begin() + line.Offset());
    }
    return memory;
}

}  // namespace kx520::test
