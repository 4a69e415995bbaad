#include "platform/Shielded.h"

#include <string>

#include "platform/Diagnostics.h"

namespace Logic::ShieldedDetail {

void Report(const char* aWhere) noexcept {
    const char* lMessage = "An unknown failure occurred.";
    try {
        throw;
    } catch (const std::exception& lFailure) {
        lMessage = lFailure.what();
    } catch (...) {
    }
    try {
        Diagnostics::WriteLine(std::string(aWhere) + ": " + lMessage);
    } catch (...) {
        // Out of memory or the sink failed: the line is lost, the caller goes on.
    }
}

} // namespace Logic::ShieldedDetail
