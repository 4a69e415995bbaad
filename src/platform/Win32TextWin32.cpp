#include "platform/Win32Text.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace Logic::Platform {

namespace {
std::wstring Decode(std::string_view aBytes, UINT aCodePage) {
    if (aBytes.empty()) {
        return {};
    }
    // Longer texts are decoded piece by piece; a UTF-8 piece never ends inside a character.
    std::wstring lResult;
    size_t lStart = 0;
    while (lStart < aBytes.size()) {
        size_t lLength = std::min<size_t>(aBytes.size() - lStart, INT_MAX / 2);
        if (aCodePage == CP_UTF8) {
            while (lStart + lLength < aBytes.size() && lLength > 0 &&
                   (static_cast<unsigned char>(aBytes[lStart + lLength]) & 0xC0) == 0x80) {
                --lLength;
            }
        }
        const char* lPiece = aBytes.data() + lStart;
        int lWide = MultiByteToWideChar(aCodePage, 0, lPiece, static_cast<int>(lLength), nullptr, 0);
        size_t lOld = lResult.size();
        lResult.resize(lOld + static_cast<size_t>(lWide));
        MultiByteToWideChar(aCodePage, 0, lPiece, static_cast<int>(lLength), lResult.data() + lOld,
                            lWide);
        lStart += lLength;
    }
    return lResult;
}
} // namespace

std::string LastErrorText() {
    DWORD lError = GetLastError();
    wchar_t* lText = nullptr;
    DWORD lLength = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, lError, 0, reinterpret_cast<wchar_t*>(&lText), 0, nullptr);
    std::string lResult;
    if (lLength > 0 && lText != nullptr) {
        lResult = Narrow(std::wstring_view(lText, lLength));
        while (!lResult.empty() && (lResult.back() == '\n' || lResult.back() == '\r')) {
            lResult.pop_back();
        }
    }
    if (lText != nullptr) {
        LocalFree(lText);
    }
    if (lResult.empty()) {
        lResult = "error " + std::to_string(lError);
    }
    return lResult;
}

std::wstring Widen(std::string_view aText) { return Decode(aText, CP_UTF8); }

std::string Narrow(std::wstring_view aText) {
    if (aText.empty()) {
        return {};
    }
    std::string lResult;
    size_t lStart = 0;
    while (lStart < aText.size()) {
        size_t lLength = std::min<size_t>(aText.size() - lStart, INT_MAX / 4);
        // Keep a surrogate pair together.
        if (lStart + lLength < aText.size() && lLength > 1 &&
            IS_HIGH_SURROGATE(aText[lStart + lLength - 1])) {
            --lLength;
        }
        const wchar_t* lPiece = aText.data() + lStart;
        int lBytes = WideCharToMultiByte(CP_UTF8, 0, lPiece, static_cast<int>(lLength), nullptr, 0,
                                         nullptr, nullptr);
        size_t lOld = lResult.size();
        lResult.resize(lOld + static_cast<size_t>(lBytes));
        WideCharToMultiByte(CP_UTF8, 0, lPiece, static_cast<int>(lLength), lResult.data() + lOld,
                            lBytes, nullptr, nullptr);
        lStart += lLength;
    }
    return lResult;
}

std::string ToUtf8(std::string_view aBytes, unsigned aCodePage) {
    // Also for UTF-8 itself: the round trip mends malformed sequences.
    return Narrow(Decode(aBytes, aCodePage));
}

} // namespace Logic::Platform
