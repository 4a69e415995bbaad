#pragma once
// The small operating-system layer the driver needs: environment, files, the temporary
// directory, the clock and the desktop. Everything else of the core is host-neutral.

#include <cstdint>
#include <optional>
#include <string>

namespace Logic::Platform {

#ifdef _WIN32
constexpr char PathListSeparator = ';';
constexpr const char* ExecutableSuffix = ".exe";
#else
constexpr char PathListSeparator = ':';
constexpr const char* ExecutableSuffix = "";
#endif

/// The value of an environment variable, absent when it is not set.
std::optional<std::string> EnvironmentVariable(const std::string& aName);

/// The user's temporary directory, ending in a directory separator.
std::string TemporaryDirectory();

/// True when something that is not a directory exists at aPath (relative to the current
/// directory). Never throws.
bool FileExists(const std::string& aPath);

/// Deletes the file at aPath; false when it could not be deleted (or was not there). Never throws.
bool RemoveFile(const std::string& aPath);

/// True for a path that does not depend on the current directory.
bool IsAbsolutePath(const std::string& aPath);

/// The full path of the program aName found through PATH (or aName itself when it holds a
/// directory part and exists); empty when there is none.
std::string FindProgram(const std::string& aName);

/// Opens aPath with the desktop's default application for its kind, without waiting for it.
/// Throws EngineException when that cannot be started.
void OpenWithDefaultApplication(const std::string& aPath);

struct TimeOfDay {
    int mHour = 0;
    int mMinute = 0;
    int mSecond = 0;
    /// The sub-second part in units of 100 nanoseconds (0 to 9,999,999).
    int32_t mTicks = 0;
};

/// The current local time of day.
TimeOfDay LocalTimeOfDay();

} // namespace Logic::Platform
