#pragma once
// Diagnostic trace lines: for developers only, never part of a result. Off unless the
// environment variable QUENDRAL_DIAGNOSTICS is "1", then written to standard error, so that the
// results log and the tool's standard output never carry them.

#include <functional>
#include <string>

namespace Logic::Diagnostics {

/// True when trace lines are wanted; callers skip building a line otherwise.
bool Enabled();

/// Writes one trace line (a line break is added) when enabled.
void WriteLine(const std::string& aLine);

/// Sends trace lines to aSink instead (and enables them); an empty sink restores the default.
/// Meant for tests.
void SetSink(std::function<void(const std::string&)> aSink);

} // namespace Logic::Diagnostics
