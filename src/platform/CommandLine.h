#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx520 {

// The small option parser every program shares: "--name=value" and
// "--name value" both work, "--" ends the options, anything else is a
// positional argument. Options with an optional value take it only after "="
// ("--simulate" alone, "--simulate=mouse"), so "--simulate list" keeps "list"
// as a positional. "-h" is "--help" when there is a help option.
class CommandLine {
public:
    enum class Kind { Flag, Value, OptionalValue };

    void AddOption(std::string name, Kind kind);

    // False on an unknown option or a missing value; Error() says which.
    [[nodiscard]] bool Parse(const std::vector<std::string>& args);
    [[nodiscard]] bool Parse(int argc, char** argv);

    bool Has(std::string_view name) const;
    // True when the option was given with "=" ("--simulate=", even empty).
    bool HasExplicitValue(std::string_view name) const;
    // The value given; empty for a flag or an optional value given bare.
    std::optional<std::string> Value(std::string_view name) const;
    const std::vector<std::string>& Positionals() const { return m_positionals; }
    const std::string& Error() const { return m_error; }

private:
    std::map<std::string, Kind, std::less<>> m_kinds;
    std::map<std::string, std::string, std::less<>> m_values;
    std::map<std::string, bool, std::less<>> m_explicit;
    std::vector<std::string> m_positionals;
    std::string m_error;
};

}  // namespace kx520
