#include "platform/ChildProcess.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <utility>

#include "model/EngineException.h"
#include "platform/Platform.h"
#include "platform/Win32Text.h"

namespace Logic::Platform {

namespace {
HANDLE AsHandle(void* aHandle) {
    return static_cast<HANDLE>(aHandle);
}

void CloseIfOpen(void*& aHandle) {
    if (aHandle != nullptr) {
        CloseHandle(AsHandle(aHandle));
        aHandle = nullptr;
    }
}

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

/// Child ends of pipes are inheritable only while one child is being made: a child started
/// at the same moment on another thread would otherwise inherit them too and keep another
/// child's output open after that child has ended.
std::mutex gStartMutex;

/// A pipe whose end for this process allows overlapped operations, so that one thread can
/// write, read and give up at once; the child's end is an ordinary inheritable handle.
struct Pipe {
    HANDLE mOurs = nullptr;
    HANDLE mChilds = nullptr;

    Pipe() = default;
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    ~Pipe() {
        Close(mOurs);
        Close(mChilds);
    }
    static void Close(HANDLE& aHandle) {
        if (aHandle != nullptr) {
            CloseHandle(aHandle);
            aHandle = nullptr;
        }
    }

    void Open(bool aChildReads) {
        static std::atomic<unsigned> gSerial{0};
        std::wstring lName = L"\\\\.\\pipe\\quendral-" + std::to_wstring(GetCurrentProcessId()) +
                             L"-" + std::to_wstring(gSerial++);
        mOurs = CreateNamedPipeW(lName.c_str(),
                                 (aChildReads ? PIPE_ACCESS_OUTBOUND : PIPE_ACCESS_INBOUND) |
                                     FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                 PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 65536, 65536,
                                 0, nullptr);
        if (mOurs == INVALID_HANDLE_VALUE) {
            mOurs = nullptr;
            throw EngineException("Cannot create a pipe: {0}", LastErrorText());
        }
        SECURITY_ATTRIBUTES lInheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        mChilds = CreateFileW(lName.c_str(), aChildReads ? GENERIC_READ : GENERIC_WRITE, 0,
                              &lInheritable, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (mChilds == INVALID_HANDLE_VALUE) {
            mChilds = nullptr;
            throw EngineException("Cannot create a pipe: {0}", LastErrorText());
        }
    }
};

/// Waits for an overlapped operation on aHandle; the bytes moved, or nothing when it failed.
std::optional<DWORD> Finish(HANDLE aHandle, OVERLAPPED& aOverlapped) {
    DWORD lMoved = 0;
    if (!GetOverlappedResult(aHandle, &aOverlapped, &lMoved, TRUE)) {
        return std::nullopt;
    }
    return lMoved;
}

/// A blocking read or write on a handle opened for overlapped operations.
std::optional<DWORD> Transfer(HANDLE aHandle, char* aBuffer, DWORD aSize, bool aWrite) {
    OVERLAPPED lOverlapped{};
    lOverlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (lOverlapped.hEvent == nullptr) {
        return std::nullopt;
    }
    BOOL lDone = aWrite ? WriteFile(aHandle, aBuffer, aSize, nullptr, &lOverlapped)
                        : ReadFile(aHandle, aBuffer, aSize, nullptr, &lOverlapped);
    std::optional<DWORD> lMoved;
    if (lDone || GetLastError() == ERROR_IO_PENDING) {
        lMoved = Finish(aHandle, lOverlapped);
    }
    CloseHandle(lOverlapped.hEvent);
    return lMoved;
}

int ExitCodeOf(HANDLE aProcess) {
    DWORD lCode = 0;
    GetExitCodeProcess(aProcess, &lCode);
    return static_cast<int>(lCode);
}

/// The exit code given to processes that Kill ends.
constexpr UINT KilledExitCode = 137;
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
    std::wstring lDirectory = Widen(aStartInfo.mWorkingDirectory);

    Pipe lInput, lOutput;
    if (aStartInfo.mRedirectStandardInput) {
        lInput.Open(true);
    }
    if (aStartInfo.mStandardOutput == OutputRoute::Pipe) {
        lOutput.Open(false);
    }
    STARTUPINFOW lStartup{};
    lStartup.cb = sizeof lStartup;
    lStartup.dwFlags = STARTF_USESTDHANDLES;
    lStartup.hStdInput = lInput.mChilds ? lInput.mChilds : GetStdHandle(STD_INPUT_HANDLE);
    lStartup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    lStartup.hStdOutput = lOutput.mChilds ? lOutput.mChilds
                          : aStartInfo.mStandardOutput == OutputRoute::StandardError
                              ? lStartup.hStdError
                              : GetStdHandle(STD_OUTPUT_HANDLE);

    // Started suspended, so that it is in its job before it can start anything itself.
    PROCESS_INFORMATION lProcess{};
    BOOL lStarted;
    DWORD lError;
    {
        std::lock_guard lLock(gStartMutex);
        lStarted =
            CreateProcessW(nullptr, lCommandLine.data(), nullptr, nullptr, TRUE,
                           CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr,
                           lDirectory.empty() ? nullptr : lDirectory.c_str(), &lStartup, &lProcess);
        lError = GetLastError();
        // The child holds its own copies; keeping ours would hide the end of its streams.
        Pipe::Close(lInput.mChilds);
        Pipe::Close(lOutput.mChilds);
    }
    if (!lStarted) {
        SetLastError(lError);
        throw EngineException("Cannot start \"{0}\": {1}", aStartInfo.mProgram, LastErrorText());
    }
    mProcess = lProcess.hProcess;
    mId = static_cast<int>(lProcess.dwProcessId);
    // Without a job (a system that refuses nested jobs) Kill still ends the child itself.
    HANDLE lJob = CreateJobObjectW(nullptr, nullptr);
    if (lJob != nullptr && aStartInfo.mEndsWithThisProcess) {
        // The job's only handle is ours and is not inherited: when this process ends, the
        // system closes it and ends the tree, also after a crash or when the host is killed.
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION lLimits{};
        lLimits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(lJob, JobObjectExtendedLimitInformation, &lLimits,
                                sizeof lLimits);
    }
    if (lJob != nullptr && !AssignProcessToJobObject(lJob, lProcess.hProcess)) {
        CloseHandle(lJob);
        lJob = nullptr;
    }
    mJob = lJob;
    ResumeThread(lProcess.hThread);
    CloseHandle(lProcess.hThread);
    mStandardInput = std::exchange(lInput.mOurs, nullptr);
    mStandardOutput = std::exchange(lOutput.mOurs, nullptr);
}

ChildProcess::~ChildProcess() {
    if (mExchange.joinable()) {
        SetEvent(AsHandle(mAbandon));
        mExchange.join();
    }
    CloseIfOpen(mAbandon);
    CloseIfOpen(mStandardInput);
    CloseIfOpen(mStandardOutput);
    // Closing the job ends its processes only for a child that ends with this process; any
    // other still running is left to run.
    CloseIfOpen(mJob);
    CloseIfOpen(mProcess);
}

void ChildProcess::WriteToStandardInput(std::string_view aText) {
    if (mStandardInput == nullptr) {
        throw EngineException("Cannot write to \"{0}\": its standard input is not open.", mProgram);
    }
    while (!aText.empty()) {
        DWORD lChunk = static_cast<DWORD>(std::min<size_t>(aText.size(), 1 << 20));
        std::optional<DWORD> lWritten =
            Transfer(AsHandle(mStandardInput), const_cast<char*>(aText.data()), lChunk, true);
        if (!lWritten) {
            throw EngineException("Cannot write to \"{0}\": {1}", mProgram, LastErrorText());
        }
        aText.remove_prefix(*lWritten);
    }
}

void ChildProcess::CloseStandardInput() {
    CloseIfOpen(mStandardInput);
}

std::string ChildProcess::ReadStandardOutputToEnd() {
    std::string lOutput;
    if (mStandardOutput == nullptr) {
        return lOutput;
    }
    char lBuffer[65536];
    while (std::optional<DWORD> lRead =
               Transfer(AsHandle(mStandardOutput), lBuffer, sizeof lBuffer, false)) {
        lOutput.append(lBuffer, *lRead);
    }
    CloseIfOpen(mStandardOutput);
    return lOutput;
}

void ChildProcess::BeginExchange(std::string aInput, std::function<void()> aFinished) {
    if (mStandardInput == nullptr || mStandardOutput == nullptr || mExchange.joinable()) {
        throw EngineException("Cannot exchange text with \"{0}\": its pipes are not open.",
                              mProgram);
    }
    mAbandon = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (mAbandon == nullptr) {
        throw EngineException("Cannot create an event: {0}", LastErrorText());
    }
    mExchange =
        std::thread(&ChildProcess::ExchangeThread, this, std::move(aInput), std::move(aFinished));
}

void ChildProcess::RunExchange(std::string aInput, const std::function<void()>& aFinished) {
    HANDLE lInput = AsHandle(mStandardInput);
    HANDLE lOutput = AsHandle(mStandardOutput);
    OVERLAPPED lWrite{}, lRead{};
    lWrite.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    lRead.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::string_view lUnwritten = aInput;
    std::string lText;
    std::string lFailure;
    bool lAbandoned = false;
    bool lWriting = false;
    bool lReading = false;
    char lBuffer[65536];

    if (lWrite.hEvent == nullptr || lRead.hEvent == nullptr) {
        lFailure = Format("Cannot read the output of \"{0}\": {1}", mProgram, LastErrorText());
    }
    while (lFailure.empty()) {
        if (lInput != nullptr && !lWriting) {
            if (lUnwritten.empty()) {
                CloseIfOpen(mStandardInput);
                lInput = nullptr;
            } else {
                DWORD lChunk = static_cast<DWORD>(std::min<size_t>(lUnwritten.size(), 65536));
                if (WriteFile(lInput, lUnwritten.data(), lChunk, nullptr, &lWrite) ||
                    GetLastError() == ERROR_IO_PENDING) {
                    lWriting = true;
                } else {
                    // The child reads no more: the input is over.
                    CloseIfOpen(mStandardInput);
                    lInput = nullptr;
                }
            }
        }
        if (!lReading) {
            if (ReadFile(lOutput, lBuffer, sizeof lBuffer, nullptr, &lRead) ||
                GetLastError() == ERROR_IO_PENDING) {
                lReading = true;
            } else if (GetLastError() == ERROR_BROKEN_PIPE) {
                break;
            } else {
                lFailure =
                    Format("Cannot read the output of \"{0}\": {1}", mProgram, LastErrorText());
                break;
            }
        }
        HANDLE lWaitFor[3] = {AsHandle(mAbandon), lRead.hEvent, lWrite.hEvent};
        DWORD lWoken = WaitForMultipleObjects(lWriting ? 3 : 2, lWaitFor, FALSE, INFINITE);
        if (lWoken == WAIT_OBJECT_0) {
            lAbandoned = true;
            break;
        }
        if (lWoken == WAIT_OBJECT_0 + 1) {
            lReading = false;
            DWORD lMoved = 0;
            if (GetOverlappedResult(lOutput, &lRead, &lMoved, FALSE)) {
                lText.append(lBuffer, lMoved);
            } else if (GetLastError() == ERROR_BROKEN_PIPE) {
                break;
            } else {
                lFailure =
                    Format("Cannot read the output of \"{0}\": {1}", mProgram, LastErrorText());
            }
        } else if (lWoken == WAIT_OBJECT_0 + 2) {
            lWriting = false;
            DWORD lMoved = 0;
            if (GetOverlappedResult(lInput, &lWrite, &lMoved, FALSE)) {
                lUnwritten.remove_prefix(lMoved);
            } else {
                CloseIfOpen(mStandardInput);
                lInput = nullptr;
            }
        } else {
            lFailure = Format("Cannot read the output of \"{0}\": {1}", mProgram, LastErrorText());
        }
    }
    // Nothing may still be under way when the buffers go.
    if (lWriting) {
        CancelIoEx(lInput, &lWrite);
        Finish(lInput, lWrite);
    }
    if (lReading) {
        CancelIoEx(lOutput, &lRead);
        if (std::optional<DWORD> lMoved = Finish(lOutput, lRead)) {
            lText.append(lBuffer, *lMoved);
        }
    }
    CloseIfOpen(mStandardInput);
    for (HANDLE lEvent : {lWrite.hEvent, lRead.hEvent}) {
        if (lEvent != nullptr) {
            CloseHandle(lEvent);
        }
    }

    PublishExchange(std::move(lText), std::move(lFailure), lAbandoned, aFinished);
}

void ChildProcess::AbandonExchange() {
    SetEvent(AsHandle(mAbandon));
}

void ChildProcess::CloseStandardOutput() { CloseIfOpen(mStandardOutput); }

bool ChildProcess::WaitForExit(int aMilliseconds) {
    if (mExited) {
        return true;
    }
    DWORD lLimit = aMilliseconds < 0 ? INFINITE : static_cast<DWORD>(aMilliseconds);
    if (WaitForSingleObject(AsHandle(mProcess), lLimit) != WAIT_OBJECT_0) {
        return false;
    }
    mExitCode = ExitCodeOf(AsHandle(mProcess));
    mExited = true;
    return true;
}

bool ChildProcess::HasExited() {
    return WaitForExit(0);
}

int ChildProcess::ExitCode() {
    if (!HasExited()) {
        throw EngineException("Process \"{0}\" has not exited yet.", mProgram);
    }
    return mExitCode;
}

void ChildProcess::Kill() {
    // The job first: a program that the child started may hold the output open after the
    // child has ended.
    if (mJob != nullptr) {
        if (!TerminateJobObject(AsHandle(mJob), KilledExitCode)) {
            throw EngineException("Cannot kill \"{0}\" (process {1}): {2}", mProgram, mId,
                                  LastErrorText());
        }
        return;
    }
    if (!HasExited() && !TerminateProcess(AsHandle(mProcess), KilledExitCode) && !HasExited()) {
        throw EngineException("Cannot kill \"{0}\" (process {1}): {2}", mProgram, mId,
                              LastErrorText());
    }
}

void ChildProcess::Collect() {
    WaitForExit(-1);
    if (mJob == nullptr) {
        return;
    }
    // What the child started ends on its own time after the job was ended; wait a little for it.
    for (int lTry = 0; lTry < 500; ++lTry) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION lAccounting{};
        if (!QueryInformationJobObject(AsHandle(mJob), JobObjectBasicAccountingInformation,
                                       &lAccounting, sizeof lAccounting, nullptr) ||
            lAccounting.ActiveProcesses == 0) {
            return;
        }
        Sleep(10);
    }
}

void ChildProcess::Terminate() {
    Kill();
    Collect();
}

} // namespace Logic::Platform
