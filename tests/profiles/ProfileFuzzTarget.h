#pragma once

#include <cstddef>
#include <cstdint>

// One fuzz input through everything that reads a profile: section loading
// and every getter, a save, import into a profile list, the list file.
int FuzzProfileInput(const uint8_t* data, size_t size);
