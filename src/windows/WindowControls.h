#pragma once

namespace kx520 {

// Registers the auxiliary windows' own skin tags with the control factory:
// the update list's row and the shared-items row.
void RegisterWindowControls();

}  // namespace kx520
