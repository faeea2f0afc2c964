#include "platform/CommandLine.h"

namespace kx520 {

void CommandLine::AddOption(std::string name, Kind kind) {
    m_kinds[std::move(name)] = kind;
}

bool CommandLine::Parse(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    return Parse(args);
}

bool CommandLine::Parse(const std::vector<std::string>& args) {
    m_values.clear();
    m_explicit.clear();
    m_positionals.clear();
    m_error.clear();
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "-h" && m_kinds.count("help") != 0) {
            m_values["help"];
            continue;
        }
        if (optionsEnded || arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            if (arg == "--") {
                optionsEnded = true;
                continue;
            }
            m_positionals.push_back(arg);
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos
                                                                           : equals - 2);
        const auto kind = m_kinds.find(name);
        if (kind == m_kinds.end()) {
            m_error = "unknown option --" + name;
            return false;
        }
        std::string value;
        if (equals != std::string::npos) {
            if (kind->second == Kind::Flag) {
                m_error = "option --" + name + " takes no value";
                return false;
            }
            value = arg.substr(equals + 1);
        } else if (kind->second == Kind::Value) {
            if (i + 1 >= args.size()) {
                m_error = "option --" + name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        m_explicit[name] = equals != std::string::npos;
        m_values[name] = std::move(value);
    }
    return true;
}

bool CommandLine::HasExplicitValue(std::string_view name) const {
    const auto it = m_explicit.find(name);
    return it != m_explicit.end() && it->second;
}

bool CommandLine::Has(std::string_view name) const {
    return m_values.find(name) != m_values.end();
}

std::optional<std::string> CommandLine::Value(std::string_view name) const {
    const auto it = m_values.find(name);
    if (it == m_values.end()) {
        return std::nullopt;
    }
    return it->second;
}

}  // namespace kx520
