#pragma once
// The one guard at every edge where an exception must stop: the functions the editor calls into
// the plugin (a failure leaving them would take the editor down, with the user's unsaved work)
// and the entry of every thread (a failure leaving it calls std::terminate). The failure is
// written to the diagnostics channel and a fallback stands in for the result.

#include <exception>
#include <type_traits>
#include <utility>

namespace Logic {

namespace ShieldedDetail {
/// Writes "<aWhere>: <message>" for the failure being handled; never throws.
void Report(const char* aWhere) noexcept;
} // namespace ShieldedDetail

/// Runs aWork; a failure is reported as coming from aWhere and goes no further.
template <typename Work> void Shielded(const char* aWhere, Work&& aWork) noexcept {
    try {
        std::forward<Work>(aWork)();
    } catch (...) {
        ShieldedDetail::Report(aWhere);
    }
}

/// Runs aWork and returns its result, or aFallback when it fails (the failure is reported as
/// coming from aWhere).
template <typename Result, typename Work>
Result Shielded(const char* aWhere, Result aFallback, Work&& aWork) noexcept {
    static_assert(std::is_nothrow_move_constructible_v<Result>,
                  "the fallback must be handed back without a failure of its own");
    try {
        return std::forward<Work>(aWork)();
    } catch (...) {
        ShieldedDetail::Report(aWhere);
    }
    return aFallback;
}

} // namespace Logic
