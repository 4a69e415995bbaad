#pragma once
// Recording stand-ins for the host: a receiver, a results window, a message box and a viewer
// that write down what the driver asked of them, in order.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/MainForm.h"

namespace Logic::Testing {

class RecordingReceiver : public IPluginReceiver {
public:
    std::string mName = "a.txt";
    std::string mContents;
    std::string mSelectedText;
    std::optional<std::string> mReadFailure; ///< when set, every read fails with this message
    std::vector<std::string> mReads;
    std::vector<Command> mCommands;

    void Install(Command a1, Command a2, Command a3, Command a4, Command a5, Command a6) override {
        mCommands = {a1, a2, a3, a4, a5, a6};
    }
    std::string NameOfActiveDocument() override { return Read("Name", mName); }
    std::string ContentsOfActiveDocument() override { return Read("Contents", mContents); }
    std::string SelectedText() override { return Read("SelectedText", mSelectedText); }

private:
    std::string Read(const std::string& aWhat, const std::string& aValue) {
        mReads.push_back(aWhat);
        if (mReadFailure) {
            throw std::runtime_error(*mReadFailure);
        }
        return aValue;
    }
};

/// Writes every call as a word ("Show", "Front", "Events", "Hide", "Clear") or "+line".
class RecordingWindow : public IResultsWindow {
public:
    std::vector<std::string> mCalls;
    std::vector<std::string> mLog;
    bool mVisible = false;

    void Show() override { mCalls.push_back("Show"); mVisible = true; }
    void BringToFront() override { mCalls.push_back("Front"); }
    bool IsVisible() const override { return mVisible; }
    void AppendLine(const std::string& aLine) override {
        mCalls.push_back("+" + aLine);
        mLog.push_back(aLine);
    }
    void HandlePendingEvents() override { mCalls.push_back("Events"); }
    void Hide() override { mCalls.push_back("Hide"); mVisible = false; }
    void Clear() override { mCalls.push_back("Clear"); mLog.clear(); }
};

class RecordingMessageBox : public IMessageBox {
public:
    std::vector<std::string> mTexts;
    void Show(const std::string& aText) override { mTexts.push_back(aText); }
};

class RecordingViewer : public IImageViewer {
public:
    std::vector<std::string> mOpened;
    std::optional<std::string> mFailure;
    void Open(const std::string& aPath) override {
        if (mFailure) {
            throw std::runtime_error(*mFailure);
        }
        mOpened.push_back(aPath);
    }
};

/// A driver with recording host parts; tools are "found" as aFound says.
struct Harness {
    RecordingReceiver mReceiver;
    RecordingWindow* mWindow = nullptr;
    RecordingMessageBox* mMessageBox = nullptr;
    RecordingViewer* mViewer = nullptr;
    std::vector<std::string> mProbes;
    std::unique_ptr<MainForm> mDriver;

    explicit Harness(std::function<bool(const std::string&)> aFound = nullptr) {
        MainFormServices lServices;
        auto lWindow = std::make_unique<RecordingWindow>();
        auto lMessageBox = std::make_unique<RecordingMessageBox>();
        auto lViewer = std::make_unique<RecordingViewer>();
        mWindow = lWindow.get();
        mMessageBox = lMessageBox.get();
        mViewer = lViewer.get();
        lServices.mWindow = std::move(lWindow);
        lServices.mMessageBox = std::move(lMessageBox);
        lServices.mImageViewer = std::move(lViewer);
        if (aFound) {
            lServices.mExistsInPath = [this, aFound](const std::string& fName) {
                mProbes.push_back(fName);
                return aFound(fName);
            };
        }
        mDriver = std::make_unique<MainForm>(mReceiver, std::move(lServices));
    }
};

/// The message of a log line after checking its time stamp: hh:mm:ss, optionally a point and
/// exactly seven digits, then ": ". Returns "<bad stamp>" when the stamp is malformed.
inline std::string MessageOf(const std::string& aLine) {
    auto fDigits = [&](size_t aFrom, size_t aCount) {
        if (aFrom + aCount > aLine.size()) {
            return false;
        }
        for (size_t i = aFrom; i < aFrom + aCount; ++i) {
            if (aLine[i] < '0' || aLine[i] > '9') {
                return false;
            }
        }
        return true;
    };
    if (!fDigits(0, 2) || aLine.size() < 10 || aLine[2] != ':' || !fDigits(3, 2) ||
        aLine[5] != ':' || !fDigits(6, 2)) {
        return "<bad stamp>";
    }
    size_t lEnd = 8;
    if (aLine[8] == '.') {
        if (!fDigits(9, 7) || aLine.size() < 18 || aLine.compare(9, 7, "0000000") == 0) {
            return "<bad stamp>";
        }
        lEnd = 16;
    }
    if (aLine.compare(lEnd, 2, ": ") != 0) {
        return "<bad stamp>";
    }
    return aLine.substr(lEnd + 2);
}

inline std::vector<std::string> Messages(const std::vector<std::string>& aLines) {
    std::vector<std::string> lMessages;
    for (const auto& lLine : aLines) {
        lMessages.push_back(MessageOf(lLine));
    }
    return lMessages;
}

/// A fresh directory, removed with everything in it at the end of the scope.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string lTemplate = (std::filesystem::temp_directory_path() / "quendral-XXXXXX").string();
        if (mkdtemp(lTemplate.data()) == nullptr) {
            throw std::runtime_error("cannot make a temporary folder");
        }
        mPath = lTemplate;
    }
    ~TemporaryFolder() {
        std::error_code lIgnored;
        std::filesystem::remove_all(mPath, lIgnored);
    }
    const std::filesystem::path& Path() const { return mPath; }
    std::string operator/(const std::string& aName) const { return (mPath / aName).string(); }

private:
    std::filesystem::path mPath;
};

/// Sets (or, with nullopt, unsets) an environment variable for the scope.
class ScopedVariable {
public:
    ScopedVariable(std::string aName, std::optional<std::string> aValue) : mName(std::move(aName)) {
        if (const char* lOld = std::getenv(mName.c_str())) {
            mOld = lOld;
        }
        Set(aValue);
    }
    ~ScopedVariable() { Set(mOld); }

private:
    void Set(const std::optional<std::string>& aValue) {
        if (aValue) {
            setenv(mName.c_str(), aValue->c_str(), 1);
        } else {
            unsetenv(mName.c_str());
        }
    }
    std::string mName;
    std::optional<std::string> mOld;
};

class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::filesystem::path& aPath)
        : mOld(std::filesystem::current_path()) {
        std::filesystem::current_path(aPath);
    }
    ~ScopedCurrentDirectory() { std::filesystem::current_path(mOld); }

private:
    std::filesystem::path mOld;
};

inline void Touch(const std::string& aPath) {
    std::filesystem::create_directories(std::filesystem::path(aPath).parent_path());
    FILE* lFile = std::fopen(aPath.c_str(), "w");
    if (lFile != nullptr) {
        std::fclose(lFile);
    }
}

} // namespace Logic::Testing
