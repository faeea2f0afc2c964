#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx520 {
class CommandLine;
}

namespace kx520::sim {

// "keyboard, keyboard-receiver, ..." for usage messages.
std::string VirtualProductList();

// A --simulate list: comma-separated product names; "all" or nothing at all
// means every product. Nothing (and `error` set) for an unknown name.
std::optional<std::vector<std::string>> ParseSimulateList(std::string_view list,
                                                          std::string* error);

// The products to simulate: the --simulate option when given, else
// KX520_SIMULATE when set and not empty, else none. Nothing on a bad name.
std::optional<std::vector<std::string>> SimulatedProducts(const CommandLine& commandLine,
                                                          std::string* error);

}  // namespace kx520::sim
