#pragma once
// The results window: a captioned window with the read-only log and a Close button, owned by
// the editor's main window and centred on it. It follows the host's dark mode (host/DarkMode).

#include <windows.h>

#include <functional>
#include <string>

#include "driver/HostInterfaces.h"
#include "host/LogControl.h"

namespace Logic::Npp {

class ResultsWindow final : public IResultsWindow {
public:
    static constexpr const wchar_t* ClassName = L"QuendralResultsWindow";
    static constexpr const wchar_t* Title = L"Quendral";

    /// Builds the window hidden. Throws EngineException when Windows refuses to make it.
    explicit ResultsWindow(HWND aOwner);
    ~ResultsWindow() override;
    ResultsWindow(const ResultsWindow&) = delete;
    ResultsWindow& operator=(const ResultsWindow&) = delete;

    /// What the Close button, Enter, Escape and the window system's close request do; without
    /// one the window hides and empties itself.
    void SetCloseAction(std::function<void()> aCloseAction) {
        mCloseAction = std::move(aCloseAction);
    }

    void Show() override;
    void BringToFront() override;
    bool IsVisible() const override;
    void AppendLine(const std::string& aLine) override;
    void HandlePendingEvents() override;
    void Hide() override;
    void Clear() override;

    HWND Handle() const { return mWindow; }

    /// Destroys this thread's results windows and forgets the window class. For a host that
    /// unloads the library while the process goes on: a window left behind would call into
    /// code that is gone.
    static void ReleaseWindowsOfThisThread() noexcept;

private:
    static LRESULT CALLBACK WindowProcedure(HWND aWindow, UINT aMessage, WPARAM aWParam,
                                            LPARAM aLParam) noexcept;
    static LRESULT CALLBACK ControlProcedure(HWND aControl, UINT aMessage, WPARAM aWParam,
                                             LPARAM aLParam) noexcept;
    LRESULT OnMessage(UINT aMessage, WPARAM aWParam, LPARAM aLParam);
    void Close();
    void Layout();
    void CentreOnOwner();

    HWND mOwner;
    HWND mWindow = nullptr;
    LogControl mLog;
    HWND mCloseButton = nullptr;
    /// The window's background in dark mode.
    SolidBrush mDarkBackground;
    std::function<void()> mCloseAction;
};

} // namespace Logic::Npp
