#include "platform/Diagnostics.h"

#include <cstdio>
#include <mutex>

#include "platform/Platform.h"

namespace Logic::Diagnostics {

namespace {
std::mutex gMutex;
std::function<void(const std::string&)> gSink;

bool EnabledByEnvironment() {
    static const bool lEnabled = Platform::EnvironmentVariable("QUENDRAL_DIAGNOSTICS") == "1";
    return lEnabled;
}
} // namespace

bool Enabled() {
    std::lock_guard lLock(gMutex);
    return gSink || EnabledByEnvironment();
}

void WriteLine(const std::string& aLine) {
    std::lock_guard lLock(gMutex);
    if (gSink) {
        gSink(aLine);
        return;
    }
    if (EnabledByEnvironment()) {
        std::fprintf(stderr, "%s\n", aLine.c_str());
    }
}

void SetSink(std::function<void(const std::string&)> aSink) {
    std::lock_guard lLock(gMutex);
    gSink = std::move(aSink);
}

} // namespace Logic::Diagnostics
