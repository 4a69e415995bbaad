#pragma once
// The results as a docking panel of the editor: a window holding only the read-only log, which
// the editor places in one of its docking containers (at the bottom the first time) and which the
// user may move, resize or close there. Made and registered with the editor on first showing;
// from then on it follows the host's dark mode (host/DarkMode), as the results window does.

#include <windows.h>

#include <functional>
#include <string>

#include "driver/HostInterfaces.h"
#include "host/LogControl.h"
#include "host/NppRecords.h"

namespace Logic::Npp {

class DockedPanel final : public IResultsWindow {
public:
    static constexpr const wchar_t* ClassName = L"QuendralResultsPanel";
    static constexpr const wchar_t* Title = L"Quendral";

    /// A panel of the editor aHost, shown by the command at aCommandIndex of the command table.
    /// Nothing is made yet.
    DockedPanel(HWND aHost, int aCommandIndex) : mHost(aHost), mCommandIndex(aCommandIndex) {}
    ~DockedPanel() override;
    DockedPanel(const DockedPanel&) = delete;
    DockedPanel& operator=(const DockedPanel&) = delete;

    /// The index in the command table of the command that shows the panel, which the editor
    /// runs to show the panel again when it starts. Set before the panel is first shown.
    void SetCommandIndex(int aCommandIndex) { mCommandIndex = aCommandIndex; }
    /// What Escape in the log does; without one the panel hides and empties itself.
    void SetCloseAction(std::function<void()> aCloseAction) {
        mCloseAction = std::move(aCloseAction);
    }

    /// Makes and registers the panel when it is not yet, and asks the editor to show it. Throws
    /// EngineException when Windows refuses to make it.
    void Show() override;
    /// The panel stays where the user put it; the editor keeps the focus.
    void BringToFront() override {}
    bool IsVisible() const override;
    void AppendLine(const std::string& aLine) override;
    void HandlePendingEvents() override;
    void Hide() override;
    void Clear() override;

    HWND Handle() const { return mWindow; }

    /// Destroys this thread's panels and forgets the window class, as the results window does
    /// when the editor closes.
    static void ReleaseWindowsOfThisThread() noexcept;

private:
    static LRESULT CALLBACK WindowProcedure(HWND aWindow, UINT aMessage, WPARAM aWParam,
                                            LPARAM aLParam) noexcept;
    static LRESULT CALLBACK LogProcedure(HWND aControl, UINT aMessage, WPARAM aWParam,
                                         LPARAM aLParam) noexcept;
    LRESULT OnMessage(UINT aMessage, WPARAM aWParam, LPARAM aLParam);
    void Make();
    void Register();
    void Close();

    HWND mHost;
    int mCommandIndex;
    HWND mWindow = nullptr;
    LogControl mLog;
    HICON mIcon = nullptr;
    bool mRegistered = false;
    /// The editor keeps the addresses of the record's strings: they live here.
    std::wstring mModuleName;
    tTbData mRecord{};
    std::function<void()> mCloseAction;
};

} // namespace Logic::Npp
