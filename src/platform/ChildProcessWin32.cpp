#include "platform/ChildProcess.h"

#include <windows.h>

#include "model/EngineException.h"
#include "platform/Platform.h"
#include "platform/Win32Text.h"

namespace Logic::Platform {

namespace {
/// One argument quoted so that the child's command-line parser gives it back unchanged:
/// backslashes count only before a double quote.
std::wstring QuotedArgument(const std::wstring& aArgument) {
    if (!aArgument.empty() && aArgument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return aArgument;
    }
    std::wstring lQuoted = L"\"";
    size_t lBackslashes = 0;
    for (wchar_t lCharacter : aArgument) {
        if (lCharacter == L'\\') {
            ++lBackslashes;
            continue;
        }
        if (lCharacter == L'"') {
            lQuoted.append(lBackslashes * 2 + 1, L'\\');
        } else {
            lQuoted.append(lBackslashes, L'\\');
        }
        lBackslashes = 0;
        lQuoted += lCharacter;
    }
    lQuoted.append(lBackslashes * 2, L'\\');
    lQuoted += L'"';
    return lQuoted;
}

void CloseIfOpen(void*& aHandle) {
    if (aHandle != nullptr) {
        CloseHandle(static_cast<HANDLE>(aHandle));
        aHandle = nullptr;
    }
}

/// A pipe whose child end is inheritable and whose parent end is not.
void MakePipe(HANDLE& aRead, HANDLE& aWrite, bool aChildReads) {
    SECURITY_ATTRIBUTES lAttributes{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (!CreatePipe(&aRead, &aWrite, &lAttributes, 0)) {
        throw EngineException("Cannot make a pipe: {0}", LastErrorText());
    }
    SetHandleInformation(aChildReads ? aWrite : aRead, HANDLE_FLAG_INHERIT, 0);
}
} // namespace

ChildProcess::ChildProcess(const ProcessStartInfo& aStartInfo) : mProgram(aStartInfo.mProgram) {
    std::string lPath = FindProgram(aStartInfo.mProgram);
    if (lPath.empty()) {
        throw EngineException("Cannot start \"{0}\": the program was not found.",
                              aStartInfo.mProgram);
    }
    std::wstring lCommandLine = QuotedArgument(Widen(lPath));
    for (const std::string& lArgument : aStartInfo.mArguments) {
        lCommandLine += L' ';
        lCommandLine += QuotedArgument(Widen(lArgument));
    }

    HANDLE lChildInput = nullptr;
    HANDLE lParentInput = nullptr;
    HANDLE lParentOutput = nullptr;
    HANDLE lChildOutput = nullptr;
    auto fCloseAll = [&] {
        for (HANDLE lHandle : {lChildInput, lParentInput, lParentOutput, lChildOutput}) {
            if (lHandle != nullptr) {
                CloseHandle(lHandle);
            }
        }
    };
    STARTUPINFOW lStartup{};
    lStartup.cb = sizeof lStartup;
    lStartup.dwFlags = STARTF_USESTDHANDLES;
    lStartup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    lStartup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    lStartup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    try {
        if (aStartInfo.mRedirectStandardInput) {
            MakePipe(lChildInput, lParentInput, true);
            lStartup.hStdInput = lChildInput;
        }
        if (aStartInfo.mStandardOutput == OutputRoute::Pipe) {
            MakePipe(lParentOutput, lChildOutput, false);
            lStartup.hStdOutput = lChildOutput;
        } else if (aStartInfo.mStandardOutput == OutputRoute::StandardError) {
            lStartup.hStdOutput = lStartup.hStdError;
        }
    } catch (...) {
        fCloseAll();
        throw;
    }

    std::wstring lDirectory = Widen(aStartInfo.mWorkingDirectory);
    PROCESS_INFORMATION lProcess{};
    BOOL lStarted = CreateProcessW(nullptr, lCommandLine.data(), nullptr, nullptr, TRUE,
                                   CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, nullptr,
                                   lDirectory.empty() ? nullptr : lDirectory.c_str(), &lStartup,
                                   &lProcess);
    if (!lStarted) {
        std::string lReason = LastErrorText();
        fCloseAll();
        throw EngineException("Cannot start \"{0}\": {1}", aStartInfo.mProgram, lReason);
    }
    CloseHandle(lProcess.hThread);
    // The child holds its own copies; keeping ours would hide the end of its streams.
    if (lChildInput != nullptr) {
        CloseHandle(lChildInput);
    }
    if (lChildOutput != nullptr) {
        CloseHandle(lChildOutput);
    }
    mProcess = lProcess.hProcess;
    mId = static_cast<int>(lProcess.dwProcessId);
    mStandardInput = lParentInput;
    mStandardOutput = lParentOutput;
}

ChildProcess::~ChildProcess() {
    CloseIfOpen(mStandardInput);
    CloseIfOpen(mStandardOutput);
    CloseIfOpen(mProcess);
}

void ChildProcess::WriteToStandardInput(std::string_view aText) {
    if (mStandardInput == nullptr) {
        throw EngineException("The standard input of \"{0}\" is not open.", mProgram);
    }
    while (!aText.empty()) {
        DWORD lChunk = static_cast<DWORD>(std::min<size_t>(aText.size(), 1 << 20));
        DWORD lWritten = 0;
        if (!WriteFile(static_cast<HANDLE>(mStandardInput), aText.data(), lChunk, &lWritten,
                       nullptr)) {
            throw EngineException("Cannot write to \"{0}\": {1}", mProgram, LastErrorText());
        }
        aText.remove_prefix(lWritten);
    }
}

void ChildProcess::CloseStandardInput() { CloseIfOpen(mStandardInput); }

std::string ChildProcess::ReadStandardOutputToEnd() {
    std::string lOutput;
    if (mStandardOutput == nullptr) {
        return lOutput;
    }
    char lBuffer[65536];
    DWORD lRead = 0;
    while (ReadFile(static_cast<HANDLE>(mStandardOutput), lBuffer, sizeof lBuffer, &lRead,
                    nullptr) &&
           lRead > 0) {
        lOutput.append(lBuffer, lRead);
    }
    CloseIfOpen(mStandardOutput);
    return lOutput;
}

bool ChildProcess::WaitForExit(int aMilliseconds) {
    if (mExited) {
        return true;
    }
    DWORD lLimit = aMilliseconds < 0 ? INFINITE : static_cast<DWORD>(aMilliseconds);
    if (WaitForSingleObject(static_cast<HANDLE>(mProcess), lLimit) != WAIT_OBJECT_0) {
        return false;
    }
    DWORD lCode = 0;
    GetExitCodeProcess(static_cast<HANDLE>(mProcess), &lCode);
    mExitCode = static_cast<int>(lCode);
    mExited = true;
    return true;
}

bool ChildProcess::HasExited() { return WaitForExit(0); }

int ChildProcess::ExitCode() {
    if (!HasExited()) {
        throw EngineException("Process \"{0}\" has not exited yet.", mProgram);
    }
    return mExitCode;
}

void ChildProcess::Kill() {
    if (!HasExited()) {
        TerminateProcess(static_cast<HANDLE>(mProcess), 1);
        WaitForExit(-1);
    }
}

} // namespace Logic::Platform
