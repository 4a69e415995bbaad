#include "platform/Platform.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "model/EngineException.h"
#include "platform/Win32Text.h"

namespace Logic::Platform {


std::optional<std::string> EnvironmentVariable(const std::string& aName) {
    std::wstring lName = Widen(aName);
    SetLastError(ERROR_SUCCESS);
    DWORD lSize = GetEnvironmentVariableW(lName.c_str(), nullptr, 0);
    if (lSize == 0) {
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
            return std::nullopt;
        }
        return std::string();
    }
    // The value may change between the two calls; ask again until it fits.
    while (true) {
        std::wstring lValue(lSize, L'\0');
        DWORD lLength = GetEnvironmentVariableW(lName.c_str(), lValue.data(), lSize);
        if (lLength == 0) {
            return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt
                                                            : std::optional<std::string>("");
        }
        if (lLength < lSize) {
            lValue.resize(lLength);
            return Narrow(lValue);
        }
        lSize = lLength;
    }
}

std::string TemporaryDirectory() {
    wchar_t lBuffer[MAX_PATH + 2];
    DWORD lLength = GetTempPathW(MAX_PATH + 2, lBuffer);
    if (lLength == 0 || lLength > MAX_PATH + 1) {
        return ".\\";
    }
    std::string lDirectory = Narrow(std::wstring_view(lBuffer, lLength));
    if (lDirectory.back() != '\\' && lDirectory.back() != '/') {
        lDirectory += '\\';
    }
    return lDirectory;
}

std::string FindProgram(const std::string& aName) {
    if (aName.empty()) {
        return {};
    }
    if (aName.find_first_of("\\/:") != std::string::npos) {
        return FileExists(aName) ? aName : std::string();
    }
    std::wstring lName = Widen(aName);
    std::vector<wchar_t> lBuffer(MAX_PATH);
    while (true) {
        DWORD lLength = SearchPathW(nullptr, lName.c_str(), L".exe",
                                    static_cast<DWORD>(lBuffer.size()), lBuffer.data(), nullptr);
        if (lLength == 0) {
            return {};
        }
        if (lLength < lBuffer.size()) {
            return Narrow(std::wstring_view(lBuffer.data(), lLength));
        }
        lBuffer.resize(lLength + 1);
    }
}

void OpenWithDefaultApplication(const std::string& aPath) {
    std::wstring lPath = Widen(aPath);
    SHELLEXECUTEINFOW lInfo{};
    lInfo.cbSize = sizeof lInfo;
    lInfo.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    lInfo.lpVerb = nullptr;
    lInfo.lpFile = lPath.c_str();
    lInfo.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&lInfo)) {
        throw EngineException("Cannot open \"{0}\": {1}", aPath, LastErrorText());
    }
}

TimeOfDay LocalTimeOfDay() {
    FILETIME lUniversal;
    GetSystemTimeAsFileTime(&lUniversal);
    FILETIME lLocal;
    SYSTEMTIME lTime;
    if (!FileTimeToLocalFileTime(&lUniversal, &lLocal) || !FileTimeToSystemTime(&lLocal, &lTime)) {
        return {};
    }
    ULARGE_INTEGER lTicks;
    lTicks.LowPart = lLocal.dwLowDateTime;
    lTicks.HighPart = lLocal.dwHighDateTime;
    return {lTime.wHour, lTime.wMinute, lTime.wSecond,
            static_cast<int32_t>(lTicks.QuadPart % 10000000)};
}

} // namespace Logic::Platform
