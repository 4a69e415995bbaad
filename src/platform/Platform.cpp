// The parts of the platform layer that the standard library covers on every platform.

#include "platform/Platform.h"

#include <filesystem>
#include <system_error>

namespace Logic::Platform {

namespace {
/// The core's paths are UTF-8; a plain std::string would be read in the ANSI code page on Windows.
std::filesystem::path PathOf(const std::string& aPath) {
    return std::filesystem::path(std::u8string(aPath.begin(), aPath.end()));
}
} // namespace

bool FileExists(const std::string& aPath) {
    if (aPath.empty()) {
        return false;
    }
    std::error_code lError;
    auto lStatus = std::filesystem::status(PathOf(aPath), lError);
    return !lError && std::filesystem::exists(lStatus) && !std::filesystem::is_directory(lStatus);
}

bool RemoveFile(const std::string& aPath) {
    std::error_code lError;
    return std::filesystem::remove(PathOf(aPath), lError) && !lError;
}

bool IsAbsolutePath(const std::string& aPath) {
    return !aPath.empty() && PathOf(aPath).is_absolute();
}

} // namespace Logic::Platform
