#pragma once

#include <string>
#include <vector>

namespace kx520::ctl {

// `kx520ctl ui ...`: the running application's windows and controls over
// its automation interface (kx520 --automation).
class UiClient {
public:
    // The exit code: 0 done, 1 the application refused (the reason on
    // stderr) or is not reachable, 2 usage error.
    static int Run(const std::vector<std::string>& args, bool json);

private:
    // `ui key NAME down|up`, `ui button NAME down|up [CONTROL]`: input as
    // if the recorder heard it.
    static int Input(const std::vector<std::string>& args);
};

}  // namespace kx520::ctl
