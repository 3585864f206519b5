#pragma once
// The one pause of the program. Link-up, the matrix ID query and the seamless
// setting sequences wait here; the user-interface thread sleeps for the time
// given. Tests install a hook that records the pause instead of sleeping.
#include <functional>

namespace mc {

void Pause(int milliseconds);

// Replaces the pause for tests; an empty function restores the real sleep.
void SetPauseHook(std::function<void(int)> hook);

} // namespace mc
