#pragma once

// Letting the window breathe during long library calls: repaints, the
// notification icon and the update check are served while an archive is open.
namespace EventPump {

// Processes the pending events, but at most once per YieldInterval: a run
// calls this many times per entry, and archives of tiny files would spend
// their time serving an event loop with nothing to do.
void serve();

// How often the window is served while a run is busy, in milliseconds.
inline constexpr int YieldInterval = 20;

} // namespace EventPump
