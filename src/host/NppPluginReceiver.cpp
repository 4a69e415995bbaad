#include "host/NppPluginReceiver.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <typeinfo>
#include <vector>

#include "host/DarkMode.h"
#include "host/DisplayRecords.h"
#include "host/HostMessageBox.h"
#include "host/HostVersion.h"
#include "host/OptionCommands.h"
#include "host/PluginBase.h"
#include "host/PluginModule.h"
#include "host/Resources.h"
#include "host/ResultsWindow.h"
#include "host/ToolbarIcons.h"
#include "model/EngineException.h"
#include "platform/Shielded.h"
#include "platform/ThreadExit.h"
#include "platform/Win32Text.h"

namespace Logic::Npp {

namespace {
/// The kind and message of a failure, for the read operations' reports.
std::string Description(const std::exception& aFailure) {
    const char* lMangled = typeid(aFailure).name();
    int lStatus = 0;
    char* lName = abi::__cxa_demangle(lMangled, nullptr, nullptr, &lStatus);
    std::string lKind = lStatus == 0 && lName != nullptr ? lName : lMangled;
    std::free(lName);
    return lKind + ": " + aFailure.what();
}

/// The editor's bytes as the core's UTF-8 text. A document the editor holds as UTF-8 stays as it
/// is; any other is in the ANSI code page.
std::string DecodeEditorText(HWND aEditor, std::string_view aBytes) {
    LRESULT lCodePage = SendMessageW(aEditor, SCI_GETCODEPAGE, 0, 0);
    return Platform::ToUtf8(aBytes, lCodePage == SC_CP_UTF8 ? CP_UTF8 : CP_ACP);
}

int32_t Ask(HWND aEditor, UINT aMessage) {
    return static_cast<int32_t>(SendMessageW(aEditor, aMessage, 0, 0));
}

/// Shows a failure that no command could report itself; never fails.
void ShowFailure(const char* aMessage) noexcept {
    Shielded("showing a failure", [aMessage] {
        ShowMessageBox(PluginBase::nppData._nppHandle, aMessage, NppPluginReceiver::PluginName,
                       MB_OK | MB_ICONERROR);
    });
}
} // namespace

NppPluginReceiver& NppPluginReceiver::Instance() {
    // Never destroyed: the host may call a command until the process ends.
    static NppPluginReceiver* lInstance = new NppPluginReceiver();
    return *lInstance;
}

void NppPluginReceiver::CommandMenuInit() {
    if (mThePlugin == nullptr) {
        auto lWindow = std::make_unique<ResultsWindow>(PluginBase::nppData._nppHandle);
        ResultsWindow& rWindow = *lWindow;
        MainFormServices lServices;
        lServices.mWindow =
            OptionCommands::Instance().Begin(PluginBase::nppData._nppHandle, std::move(lWindow));
        lServices.mMessageBox = std::make_unique<HostMessageBox>(PluginBase::nppData._nppHandle);
        // The driver and its window live as long as the process.
        mThePlugin = new MainForm(*this, std::move(lServices));
        MainForm* lDriver = mThePlugin;
        rWindow.SetCloseAction([lDriver] { lDriver->button_close_Click(); });
        OptionCommands::Instance().Attach(*mThePlugin);
    }

    constexpr uint8_t NumPad0 = VK_NUMPAD0;
    constexpr uint8_t KeyG = 'G';
    PluginBase::SetCommand(0, L"Decide", &DecideContentsOfActiveDocument,
                           ShortcutKey{1, 0, 0, NumPad0});
    PluginBase::SetCommand(1, L"Decide Selected Text", &DecideSelectedText,
                           ShortcutKey{1, 1, 0, NumPad0});
    PluginBase::SetCommand(2, L"Calculate Coefficient Vector", &CalculateCoefficientVector);
    if (mDepictContentsOfActiveDocument) {
        PluginBase::SetCommand(3, L"Depict", &DepictContentsOfActiveDocument,
                               ShortcutKey{0, 1, 0, KeyG});
    }
    if (mDepictSelectedText) {
        PluginBase::SetCommand(4, L"Depict Selected Text", &DepictSelectedText,
                               ShortcutKey{0, 1, 1, KeyG});
    }
    if (mExecuteProver9OnActiveBuffer) {
        PluginBase::SetCommand(5, L"Evaluate with Prover9/Mace4", &ExecuteProver9OnActiveBuffer);
    }
    OptionCommands::Instance().AddCommands();
}

void NppPluginReceiver::SetToolBarIcon() {
    const auto& lItems = PluginBase::_funcItems().Items();
    if (lItems.size() <= IndexOfTheCommandThatGetsTheToolBarIcon) {
        return;
    }
    auto lBitmap =
        static_cast<HBITMAP>(LoadImageW(nullptr, L"plugins\\Config\\Decide.bmp", IMAGE_BITMAP, 0, 0,
                                        LR_LOADFROMFILE | LR_LOADMAP3DCOLORS));
    if (lBitmap == nullptr) {
        // The button keeps a picture even when the file is missing or is no bitmap.
        lBitmap = static_cast<HBITMAP>(LoadImageW(PluginModule(), L"" QUENDRAL_TOOLBAR_NAME,
                                                  IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    }
    const auto lCommandId =
        static_cast<WPARAM>(lItems[IndexOfTheCommandThatGetsTheToolBarIcon].mCommandId);
    // The editor copies the record during the call.
    if (HostVersion::HasDarkModeToolbarIcons()) {
        ToolbarIconPair lPair = MakeToolbarIcons(lBitmap);
        toolbarIconsWithDarkMode lIcons{lBitmap, lPair.mLight, lPair.mDark};
        SendMessageW(PluginBase::nppData._nppHandle, NPPM_ADDTOOLBARICON_FORDARKMODE, lCommandId,
                     reinterpret_cast<LPARAM>(&lIcons));
        return;
    }
    toolbarIcons lIcons{lBitmap, nullptr};
    SendMessageW(PluginBase::nppData._nppHandle, NPPM_ADDTOOLBARICON, lCommandId,
                 reinterpret_cast<LPARAM>(&lIcons));
}

void NppPluginReceiver::PluginCleanUp() noexcept {
    Shielded("closing", [this] {
        if (mThePlugin != nullptr) {
            mThePlugin->StopRunningCommands();
        }
        // Windows are destroyed here rather than when the library is unloaded: under the
        // loader lock that may deadlock the host.
        ResultsWindow::ReleaseWindowsOfThisThread();
        OptionCommands::Instance().Release();
        DarkMode::Forget();
        Platform::RunThreadExitCleanupsNow();
    });
}

void NppPluginReceiver::Install(Command aDecideContentsOfActiveDocument,
                                Command aDecideSelectedText, Command aCalculateCoefficientVector,
                                Command aDepictContentsOfActiveDocument,
                                Command aDepictSelectedText,
                                Command aExecuteProver9OnActiveBuffer) {
    mDecideContentsOfActiveDocument = std::move(aDecideContentsOfActiveDocument);
    mDecideSelectedText = std::move(aDecideSelectedText);
    mCalculateCoefficientVector = std::move(aCalculateCoefficientVector);
    mDepictContentsOfActiveDocument = std::move(aDepictContentsOfActiveDocument);
    mDepictSelectedText = std::move(aDepictSelectedText);
    mExecuteProver9OnActiveBuffer = std::move(aExecuteProver9OnActiveBuffer);
}

// ---------------------------------------------------------------------------------------------
// Reading the editor

std::string NppPluginReceiver::NameOfActiveDocument() {
    wchar_t lName[MAX_PATH_LENGTH] = {};
    SendMessageW(PluginBase::nppData._nppHandle, NPPM_GETFILENAME, MAX_PATH_LENGTH,
                 reinterpret_cast<LPARAM>(lName));
    lName[MAX_PATH_LENGTH - 1] = L'\0';
    return Platform::Narrow(lName);
}

std::string NppPluginReceiver::ContentsOfActiveDocument() {
    HWND lEditor = PluginBase::GetCurrentScintilla();
    mErrorIndicator.NoteTextRead(lEditor, 0);
    int64_t lBufferSize = int64_t{Ask(lEditor, SCI_GETLENGTH)} + 1;
    try {
        if (lBufferSize <= 0) {
            throw EngineException("The editor reported a negative length.");
        }
        std::vector<char> lBuffer(static_cast<size_t>(lBufferSize), '\0');
        SendMessageW(lEditor, SCI_GETTEXT, static_cast<WPARAM>(lBufferSize),
                     reinterpret_cast<LPARAM>(lBuffer.data()));
        lBuffer.back() = '\0';
        std::string lText =
            DecodeEditorText(lEditor, std::string_view(lBuffer.data(), lBuffer.size()));
        size_t lEnd = lText.find_last_not_of('\0');
        lText.erase(lEnd == std::string::npos ? 0 : lEnd + 1);
        return lText;
    } catch (const std::exception& lFailure) {
        throw EngineException("Buffer Length : {0}\n{1}", lBufferSize, Description(lFailure));
    }
}

std::string NppPluginReceiver::SelectedText() {
    HWND lEditor = PluginBase::GetCurrentScintilla();
    // Where the selection starts, in bytes, for a failure place counted from there.
    mErrorIndicator.NoteTextRead(lEditor,
                                 std::min(SendMessageW(lEditor, SCI_GETSELECTIONSTART, 0, 0),
                                          SendMessageW(lEditor, SCI_GETSELECTIONEND, 0, 0)));
    int64_t lEnd = Ask(lEditor, SCI_GETSELECTIONEND);
    int64_t lStart = Ask(lEditor, SCI_GETSELECTIONSTART);
    int64_t lLength = lEnd > lStart ? lEnd - lStart : lStart - lEnd;
    try {
        // A rectangular or multiple selection writes more than the main selection's extent: ask
        // the editor how much it will write and make room for that and its NUL.
        int64_t lWritten = static_cast<int32_t>(SendMessageW(lEditor, SCI_GETSELTEXT, 0, 0));
        int64_t lBufferSize = std::max(lLength, lWritten) + 1;
        std::vector<char> lBuffer(static_cast<size_t>(lBufferSize), '\0');
        SendMessageW(lEditor, SCI_GETSELTEXT, 200, reinterpret_cast<LPARAM>(lBuffer.data()));
        // A rectangular selection narrower than its extent writes fewer bytes than that: the
        // rest of the buffer is no text, only the NUL it was filled with.
        int64_t lText = lWritten > 0 ? std::min(lLength, lWritten) : lLength;
        while (lText > 0 && lBuffer[static_cast<size_t>(lText - 1)] == '\0') {
            --lText;
        }
        return DecodeEditorText(lEditor,
                                std::string_view(lBuffer.data(), static_cast<size_t>(lText)));
    } catch (const std::exception& lFailure) {
        throw EngineException("Buffer Length: {0}\n{1}", lLength, Description(lFailure));
    }
}

// ---------------------------------------------------------------------------------------------
// Marking a failure

void NppPluginReceiver::ShowFailurePlace(const TextPlace& aPlace) {
    mErrorIndicator.Show(aPlace);
}

void NppPluginReceiver::ClearFailurePlace() {
    mErrorIndicator.Clear();
}

void NppPluginReceiver::EditorModified(const void* aRecord) noexcept {
    Shielded("an edit", [this, aRecord] { mErrorIndicator.OnModifiedRecord(aRecord); });
}

// ---------------------------------------------------------------------------------------------
// Commands

void NppPluginReceiver::Forward(Command NppPluginReceiver::*aSlot) noexcept {
    Shielded("command", [aSlot] {
        try {
            const Command& lCommand = Instance().*aSlot;
            if (lCommand) {
                lCommand();
            }
        } catch (const std::exception& lFailure) {
            ShowFailure(lFailure.what());
            throw;
        } catch (...) {
            ShowFailure("An unknown failure occurred.");
            throw;
        }
    });
}

void NppPluginReceiver::DecideContentsOfActiveDocument() {
    Forward(&NppPluginReceiver::mDecideContentsOfActiveDocument);
}
void NppPluginReceiver::DecideSelectedText() {
    Forward(&NppPluginReceiver::mDecideSelectedText);
}
void NppPluginReceiver::CalculateCoefficientVector() {
    Forward(&NppPluginReceiver::mCalculateCoefficientVector);
}
void NppPluginReceiver::DepictContentsOfActiveDocument() {
    Forward(&NppPluginReceiver::mDepictContentsOfActiveDocument);
}
void NppPluginReceiver::DepictSelectedText() {
    Forward(&NppPluginReceiver::mDepictSelectedText);
}
void NppPluginReceiver::ExecuteProver9OnActiveBuffer() {
    Forward(&NppPluginReceiver::mExecuteProver9OnActiveBuffer);
}

} // namespace Logic::Npp
