#pragma once
// The read-only log that both views of the results show (the results window and the docked
// panel): a multi-line edit control that holds as much as the user runs, takes lines at its end
// and paints itself in the host's colours, dark ones in dark mode.

#include <windows.h>

#include <optional>
#include <string>

namespace Logic::Npp {

/// A solid brush kept until another colour is asked for.
class SolidBrush {
public:
    SolidBrush() = default;
    ~SolidBrush();
    SolidBrush(const SolidBrush&) = delete;
    SolidBrush& operator=(const SolidBrush&) = delete;

    HBRUSH Of(COLORREF aColour);

private:
    HBRUSH mBrush = nullptr;
    COLORREF mColour = CLR_INVALID;
};

class LogControl {
public:
    LogControl() = default;
    LogControl(const LogControl&) = delete;
    LogControl& operator=(const LogControl&) = delete;

    /// Makes the control as a child of aParent, with aExtraStyle beside the log's own; null when
    /// Windows refuses. Long lines wrap: only the vertical scroll bar shows.
    HWND Make(HWND aParent, DWORD aExtraStyle = 0);
    HWND Handle() const { return mLog; }

    /// Appends aLine and a line break, and scrolls to it. Line feeds inside the line break too.
    void AppendLine(const std::string& aLine);
    void Clear();

    /// The answer to WM_CTLCOLOREDIT or WM_CTLCOLORSTATIC (aContext, aControl) when the control
    /// is this log; absent for any other control.
    std::optional<LRESULT> Colour(WPARAM aContext, LPARAM aControl);

private:
    HWND mLog = nullptr;
    SolidBrush mLight;
    SolidBrush mDark;
};

/// Lets the user interface paint and react while a command runs: dispatches the messages that
/// wait, and leaves a quit request for the host's own loop.
void HandlePendingWindowMessages();

} // namespace Logic::Npp
