// The parts of the platform layer that the standard library covers on every platform.

#include "platform/Platform.h"

#include <filesystem>
#include <system_error>

namespace Logic::Platform {

bool FileExists(const std::string& aPath) {
    if (aPath.empty()) {
        return false;
    }
    std::error_code lError;
    auto lStatus = std::filesystem::status(std::filesystem::path(aPath), lError);
    return !lError && std::filesystem::exists(lStatus) && !std::filesystem::is_directory(lStatus);
}

bool RemoveFile(const std::string& aPath) {
    std::error_code lError;
    return std::filesystem::remove(std::filesystem::path(aPath), lError) && !lError;
}

bool IsAbsolutePath(const std::string& aPath) {
    return !aPath.empty() && std::filesystem::path(aPath).is_absolute();
}

} // namespace Logic::Platform
