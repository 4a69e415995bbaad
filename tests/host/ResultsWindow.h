#pragma once
// The plugin's results window as the host can reach it: found by its class among this process's
// windows, read through its edit control, closed by every way a user has.

#include <windows.h>

#include <string>
#include <vector>

namespace Logic::Testing {

class ResultsWindow {
public:
    static constexpr const wchar_t* ClassName = L"QuendralResultsWindow";
    static constexpr const wchar_t* Title = L"Quendral";

    /// Looks for this process's results window, by class name and, failing that, by title.
    static ResultsWindow Find();

    bool Exists() const { return mWindow != nullptr && IsWindow(mWindow); }
    HWND Window() const { return mWindow; }
    HWND Log() const { return mLog; }
    HWND CloseButton() const { return mCloseButton; }
    std::wstring ClassOfWindow() const;
    std::wstring TitleOfWindow() const;
    std::wstring CloseButtonText() const;

    bool Visible() const { return Exists() && IsWindowVisible(mWindow); }
    /// The whole log, UTF-16, as the edit control holds it; empty if there is no window.
    std::wstring Text() const;

    enum class CloseWay { CloseButton, CancelCommand, OkCommand, EscapeKey, EnterKey };
    static const char* Name(CloseWay aWay);
    void Close(CloseWay aWay) const;

private:
    HWND mWindow = nullptr;
    HWND mLog = nullptr;
    HWND mCloseButton = nullptr;
};

/// A window's text (a control's contents); empty when there is no such window.
std::wstring WindowText(HWND aWindow);

/// 100-nanosecond units since local midnight.
long long LocalTimeOfDay();

/// Compares aText with the log that aMessages give: each entry "hh:mm:ss[.fffffff]: " and the
/// message and CR LF, with a time of day between aEarliest and aLatest (LocalTimeOfDay units).
/// Returns an empty text when they agree, else what is wrong.
std::string LogMismatch(const std::wstring& aText, const std::vector<std::wstring>& aMessages,
                        long long aEarliest, long long aLatest);

} // namespace Logic::Testing
