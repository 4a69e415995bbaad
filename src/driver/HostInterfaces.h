#pragma once
// What the driver needs of the host's user interface, so that a native window and the console
// meet the same contract.

#include <string>

namespace Logic {

/// The results window: a read-only log the user can close.
class IResultsWindow {
public:
    virtual ~IResultsWindow() = default;
    /// Shows the window without making it modal.
    virtual void Show() = 0;
    virtual void BringToFront() = 0;
    virtual bool IsVisible() const = 0;
    /// Appends aLine and the platform's line break at the end of the log.
    virtual void AppendLine(const std::string& aLine) = 0;
    /// Lets the user interface paint and react before a long computation goes on.
    virtual void HandlePendingEvents() = 0;
    virtual void Hide() = 0;
    /// Empties the log.
    virtual void Clear() = 0;
};

/// A modal message box with no caption and an OK button.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual void Show(const std::string& aText) = 0;
};

/// Shows a finished picture; returns without waiting for the viewer.
class IImageViewer {
public:
    virtual ~IImageViewer() = default;
    /// Throws when the picture cannot be shown.
    virtual void Open(const std::string& aPath) = 0;
};

/// The desktop's default application for the file's kind.
class DefaultApplicationViewer final : public IImageViewer {
public:
    void Open(const std::string& aPath) override;
};

} // namespace Logic
