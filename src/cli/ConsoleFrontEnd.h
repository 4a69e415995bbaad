#pragma once
// The console as a host: a receiver holding a document read from a file, a results window that
// is standard output, a message box that is standard error, a viewer that keeps the picture.

#include <functional>
#include <string>

#include "driver/HostInterfaces.h"
#include "driver/IPluginReceiver.h"

namespace Logic::Cli {

/// The console runs the driver's commands itself (MainForm::CanDepict and CanProve tell which
/// are there), so the receiver keeps none of those it is given.
class ConsoleReceiver final : public IPluginReceiver {
public:
    ConsoleReceiver(std::string aName, std::string aContents, std::string aSelectedText)
        : mName(std::move(aName)), mContents(std::move(aContents)),
          mSelectedText(std::move(aSelectedText)) {}

    void Install(Command, Command, Command, Command, Command, Command) override {}
    std::string NameOfActiveDocument() override { return mName; }
    std::string ContentsOfActiveDocument() override { return mContents; }
    std::string SelectedText() override { return mSelectedText; }

private:
    std::string mName;
    std::string mContents;
    std::string mSelectedText;
};

/// Writes each log line to standard output at once, unless told to keep quiet (when the lines
/// reach standard output another way).
class ConsoleResultsWindow final : public IResultsWindow {
public:
    explicit ConsoleResultsWindow(bool aEcho = true) : mEcho(aEcho) {}
    void Show() override { mVisible = true; }
    void BringToFront() override {}
    bool IsVisible() const override { return mVisible; }
    void AppendLine(const std::string& aLine) override;
    void HandlePendingEvents() override {}
    void Hide() override { mVisible = false; }
    void Clear() override {}

private:
    bool mEcho;
    bool mVisible = false;
};

class ConsoleMessageBox final : public IMessageBox {
public:
    /// Turns a message into the line written; empty: the message as it is.
    using Writer = std::function<std::string(const std::string&)>;

    void Show(const std::string& aText) override;
    void SetWriter(Writer aWriter) { mWriter = std::move(aWriter); }

private:
    Writer mWriter;
};

/// Copies the finished picture (which is deleted at exit) to a path of the user's choice and,
/// when asked, opens that copy.
class KeepingImageViewer final : public IImageViewer {
public:
    KeepingImageViewer(std::string aOutputPath, bool aView)
        : mOutputPath(std::move(aOutputPath)), mView(aView) {}
    void Open(const std::string& aPath) override;
    /// Where the picture was kept; empty when nothing was kept.
    const std::string& KeptPath() const { return mKeptPath; }

private:
    std::string mOutputPath;
    bool mView;
    std::string mKeptPath;
};

} // namespace Logic::Cli
