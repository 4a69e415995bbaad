#pragma once
// Ctrl+C and termination requests while a command runs. Left to their default, they would end
// this process at once and leave the programs a command started (each heads a process group of
// its own, out of the terminal's reach) running on; instead they ask the command to stop, and
// the command kills its programs before the process exits.

#include <functional>

namespace Logic::Cli {

class StopOnInterrupt {
public:
    /// Until destroyed, an interrupt (SIGINT, SIGTERM; on Windows the console's Ctrl+C, Ctrl+Break
    /// and close events) calls aStop, once, on a thread of its own. A second interrupt ends the
    /// process the default way, for a command that does not stop.
    explicit StopOnInterrupt(std::function<void()> aStop);
    ~StopOnInterrupt();
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

    /// The number of the signal that asked for the stop (SIGINT for the console's events on
    /// Windows); 0 when none did.
    int Signal() const;
};

} // namespace Logic::Cli
