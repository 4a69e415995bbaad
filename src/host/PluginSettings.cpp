#include "host/PluginSettings.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "host/HostVersion.h"
#include "host/NppRecords.h"
#include "platform/Shielded.h"

namespace Logic::Npp {

namespace {
/// A settings file larger than this is no file of ours.
constexpr DWORD LargestFile = 64 * 1024;
/// Room for the folder's path; the editor answers FALSE when it needs more.
constexpr size_t FolderPathRoom = 1024;

std::string_view Trimmed(std::string_view aText) {
    const auto fSpace = [](char fCharacter) {
        return fCharacter == ' ' || fCharacter == '\t' || fCharacter == '\r';
    };
    while (!aText.empty() && fSpace(aText.front())) {
        aText.remove_prefix(1);
    }
    while (!aText.empty() && fSpace(aText.back())) {
        aText.remove_suffix(1);
    }
    return aText;
}

bool SameWord(std::string_view aLeft, std::string_view aRight) {
    return aLeft.size() == aRight.size() &&
           std::equal(aLeft.begin(), aLeft.end(), aRight.begin(), [](char fLeft, char fRight) {
               return std::tolower(static_cast<unsigned char>(fLeft)) ==
                      std::tolower(static_cast<unsigned char>(fRight));
           });
}

std::optional<bool> Switch(std::string_view aValue) {
    for (std::string_view lOn : {"1", "true", "yes", "on"}) {
        if (SameWord(aValue, lOn)) {
            return true;
        }
    }
    for (std::string_view lOff : {"0", "false", "no", "off"}) {
        if (SameWord(aValue, lOff)) {
            return false;
        }
    }
    return std::nullopt;
}
} // namespace

PluginSettings PluginSettings::Parse(std::string_view aText) {
    PluginSettings lSettings;
    // A file written as UTF-8 with a byte order mark.
    if (aText.starts_with("\xEF\xBB\xBF")) {
        aText.remove_prefix(3);
    }
    while (!aText.empty()) {
        size_t lEnd = aText.find('\n');
        std::string_view lLine = aText.substr(0, lEnd);
        aText.remove_prefix(lEnd == std::string_view::npos ? aText.size() : lEnd + 1);
        size_t lEquals = lLine.find('=');
        if (lEquals == std::string_view::npos) {
            continue; // the section line, a comment, or no setting
        }
        std::string_view lKey = Trimmed(lLine.substr(0, lEquals));
        std::optional<bool> lValue = Switch(Trimmed(lLine.substr(lEquals + 1)));
        if (!lValue) {
            continue;
        }
        if (SameWord(lKey, ExplainKey)) {
            lSettings.mShowExamples = *lValue;
        } else if (SameWord(lKey, DockedKey)) {
            lSettings.mResultsInDockedPanel = *lValue;
        }
    }
    return lSettings;
}

std::string PluginSettings::Format() const {
    return std::string("[Quendral]\r\n") + ExplainKey + "=" + (mShowExamples ? "1" : "0") + "\r\n" +
           DockedKey + "=" + (mResultsInDockedPanel ? "1" : "0") + "\r\n";
}

std::wstring PluginSettings::PathIn(HWND aHost) noexcept {
    if (!HostVersion::HasPluginsConfigDir() || !IsWindow(aHost)) {
        return {};
    }
    return Shielded("the settings folder", std::wstring(), [aHost] {
        // One call with room enough: the editors before the two-call form of the message read
        // only a buffer and its size.
        std::vector<wchar_t> lFolder(FolderPathRoom, L'\0');
        LRESULT lAnswer = SendMessageW(aHost, NPPM_GETPLUGINSCONFIGDIR, lFolder.size(),
                                       reinterpret_cast<LPARAM>(lFolder.data()));
        lFolder.back() = L'\0';
        std::wstring lPath(lFolder.data());
        if (lAnswer == FALSE || lPath.empty()) {
            return std::wstring();
        }
        if (lPath.back() != L'\\' && lPath.back() != L'/') {
            lPath += L'\\';
        }
        return lPath + FileName;
    });
}

PluginSettings PluginSettings::Load(const std::wstring& aPath) noexcept {
    if (aPath.empty()) {
        return {};
    }
    return Shielded("reading the settings", PluginSettings(), [&aPath] {
        HANDLE lFile = CreateFileW(aPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (lFile == INVALID_HANDLE_VALUE) {
            return PluginSettings();
        }
        std::string lText(LargestFile, '\0');
        DWORD lRead = 0;
        LARGE_INTEGER lSize{};
        bool lReadable = GetFileSizeEx(lFile, &lSize) && lSize.QuadPart <= LargestFile &&
                         ReadFile(lFile, lText.data(), LargestFile, &lRead, nullptr);
        CloseHandle(lFile);
        if (!lReadable) {
            return PluginSettings();
        }
        lText.resize(lRead);
        return Parse(lText);
    });
}

bool PluginSettings::Save(const std::wstring& aPath) const noexcept {
    if (aPath.empty()) {
        return false;
    }
    return Shielded("saving the settings", false, [this, &aPath] {
        // Written beside the file and then put in its place, so that a failure halfway leaves
        // the old file whole.
        std::wstring lNew = aPath + L".new";
        std::string lText = Format();
        HANDLE lFile = CreateFileW(lNew.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        if (lFile == INVALID_HANDLE_VALUE) {
            return false;
        }
        DWORD lWritten = 0;
        bool lWhole =
            WriteFile(lFile, lText.data(), static_cast<DWORD>(lText.size()), &lWritten, nullptr) &&
            lWritten == lText.size();
        lWhole = CloseHandle(lFile) && lWhole;
        if (!lWhole || !MoveFileExW(lNew.c_str(), aPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            DeleteFileW(lNew.c_str());
            return false;
        }
        return true;
    });
}

} // namespace Logic::Npp
