#pragma once
// Where the driver's results go: the results window, or the docking panel while the user has
// chosen it. Every call goes to the one in use; switching hides and empties the one left.

#include <memory>

#include "driver/HostInterfaces.h"

namespace Logic::Npp {

class ResultsTarget final : public IResultsWindow {
public:
    /// aPanel may be null: an editor without docking panels has the window only.
    ResultsTarget(std::unique_ptr<IResultsWindow> aWindow, std::unique_ptr<IResultsWindow> aPanel)
        : mWindow(std::move(aWindow)), mPanel(std::move(aPanel)) {}

    /// Sends the results to the panel (true) or the window (false).
    void UsePanel(bool aPanel);
    bool UsesPanel() const { return mUsePanel; }

    void Show() override { Current().Show(); }
    void BringToFront() override { Current().BringToFront(); }
    bool IsVisible() const override { return Current().IsVisible(); }
    void AppendLine(const std::string& aLine) override { Current().AppendLine(aLine); }
    void HandlePendingEvents() override { Current().HandlePendingEvents(); }
    void Hide() override { Current().Hide(); }
    void Clear() override { Current().Clear(); }

private:
    IResultsWindow& Current() const { return mUsePanel ? *mPanel : *mWindow; }

    std::unique_ptr<IResultsWindow> mWindow;
    std::unique_ptr<IResultsWindow> mPanel;
    bool mUsePanel = false;
};

} // namespace Logic::Npp
