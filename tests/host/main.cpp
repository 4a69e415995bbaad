// QuendralFakeHost: drives the plugin DLL as Notepad++ does and checks what it shows.
//
//   QuendralFakeHost.exe PLUGIN.dll                 every test scenario, each in a child process
//   QuendralFakeHost.exe PLUGIN.dll SCENARIO        one scenario in this process
//   QuendralFakeHost.exe PLUGIN.dll screenshot STOP [SCENE]
//                                                   keeps a window shown until the file STOP
//                                                   exists: the results window (SCENE
//                                                   results-window or dark-mode), the fake
//                                                   editor with a failure marked (error-mark) or
//                                                   the host with the results docked
//                                                   (docked-panel), or a document coloured
//                                                   by the plugin's lexer (lexer-light,
//                                                   lexer-dark)
//
// Prints each failed check and ends with a line "N passed, N failed"; the exit code is 0 only
// when nothing failed.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "Checks.h"
#include "LexerScenario.h"
#include "OptionScenarios.h"
#include "Session.h"

using namespace Logic::Testing;

namespace {

struct Scenario {
    const wchar_t* mName;
    Tools mTools;
    bool mWithToolbarPicture;
    /// What the host answers to NPPM_GETNPPVERSION (NppVersion; 0: a host before 4.7), and its
    /// dark mode.
    LRESULT mHostVersion = CurrentNppVersion;
    bool mDarkMode = false;
};

/// Hosts before some of the newer messages, both answering without padding: 7.9.5 before all
/// of them, with 32-bit positions in the 64-bit editor's notifications; 8.3.3 with the dark-mode
/// toolbar icons and pointer-sized positions, before the rest.
constexpr LRESULT Host795 = NppVersion(7, 95);
constexpr LRESULT Host833 = NppVersion(8, 33);

constexpr Scenario TestScenarios[] = {
    {L"commands", Tools::None, false},
    // An editor before 4.7: the first toolbar record, with the picture from the Config folder.
    {L"provers", Tools::Provers, true, 0},
    {L"dot-and-prover9", Tools::DotAndProver9, false},
    {L"all-tools", Tools::All, true},
    {L"marks", Tools::None, false, CurrentNppVersion, true},
    {L"host-7.9.5", Tools::None, false, Host795, true},
    {L"host-8.3.3", Tools::None, false, Host833, true},
};

/// A scenario's process that dies reports this exit code after its own failure line.
constexpr UINT CrashExitCode = 70;
constexpr DWORD ScenarioTimeLimit = 60000;

Checks* gChecks = nullptr;

[[noreturn]] void DieReporting(const std::string& aWhat) {
    if (gChecks != nullptr) {
        gChecks->Check(false, aWhat, "while " + gChecks->Activity());
        PrintLine(gChecks->Summary());
    }
    TerminateProcess(GetCurrentProcess(), CrashExitCode);
    std::abort();
}

DWORD gMainThread = 0;

LONG WINAPI OnCrash(EXCEPTION_POINTERS* aException) {
    void* lAddress = aException->ExceptionRecord->ExceptionAddress;
    // Where it happened, as module and offset, so that the address can be looked up in a map.
    HMODULE lModule = nullptr;
    char lModuleName[MAX_PATH] = "?";
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCSTR>(lAddress), &lModule)) {
        GetModuleFileNameA(lModule, lModuleName, MAX_PATH);
    }
    char lText[MAX_PATH + 160];
    std::snprintf(lText, sizeof lText,
                  "the process crashed with exception 0x%08lX at %s+0x%llx (%s thread)",
                  aException->ExceptionRecord->ExceptionCode, lModuleName,
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(lAddress) -
                                                  reinterpret_cast<std::uintptr_t>(lModule)),
                  GetCurrentThreadId() == gMainThread ? "the main" : "another");
    DieReporting(lText);
}

int RunScenario(const std::wstring& aPlugin, const Scenario& aScenario) {
    Checks lChecks(Utf8(aScenario.mName));
    gChecks = &lChecks;
    {
        Session lSession(lChecks, aPlugin);
        lSession.PrepareEnvironment(aScenario.mTools, aScenario.mWithToolbarPicture);
        lSession.ConfigureHost(aScenario.mHostVersion, aScenario.mDarkMode);
        const std::wstring lName = aScenario.mName;
        if (lSession.Start()) {
            if (lName == L"marks") {
                lSession.CheckDarkMode();
                lSession.CheckErrorMarks();
                lSession.Shut(true);
            } else if (lName == L"host-7.9.5" || lName == L"host-8.3.3") {
                lSession.CheckOlderHost();
                lSession.Shut(true);
            } else if (aScenario.mTools == Tools::None) {
                lSession.CheckCommands();
                lSession.TimeDecideShortcut();
                lSession.Shut(true);
            } else {
                lSession.Shut(false);
            }
        }
    }
    PrintLine(lChecks.Summary());
    gChecks = nullptr;
    return lChecks.Failed() == 0 ? 0 : 1;
}

int RunScreenshot(const std::wstring& aPlugin, const std::wstring& aStopFile,
                  const std::wstring& aScene) {
    if (aScene == L"docked-panel") {
        return RunPanelScreenshot(aPlugin, aStopFile);
    }
    if (aScene == L"lexer-light" || aScene == L"lexer-dark") {
        return RunLexerScreenshot(aPlugin, aStopFile, aScene == L"lexer-dark");
    }
    Checks lChecks("screenshot");
    gChecks = &lChecks;
    Session lSession(lChecks, aPlugin);
    lSession.PrepareEnvironment(Tools::None, false);
    if (aScene == L"dark-mode" || aScene == L"error-mark") {
        lSession.ConfigureHost(CurrentNppVersion, aScene == L"dark-mode");
    }
    if (lSession.Start()) {
        if (aScene == L"error-mark") {
            lSession.ShowMarkForScreenshot(aStopFile);
        } else {
            lSession.ShowForScreenshot(aStopFile);
        }
        lSession.Shut(false);
    }
    PrintLine(lChecks.Summary());
    return lChecks.Failed() == 0 ? 0 : 1;
}

std::wstring Quote(const std::wstring& aArgument) {
    return L"\"" + aArgument + L"\"";
}

bool ParseSummary(const std::string& aLine, int& aPassed, int& aFailed) {
    unsigned lPassed = 0;
    unsigned lFailed = 0;
    char lEnd = 0;
    if (std::sscanf(aLine.c_str(), "%u passed, %u failed%c", &lPassed, &lFailed, &lEnd) != 2) {
        return false;
    }
    aPassed = static_cast<int>(lPassed);
    aFailed = static_cast<int>(lFailed);
    return true;
}

/// Runs one scenario in a child process, passing its lines on and adding up its counts. A child
/// that dies, hangs or ends with the wrong code counts as one more failure.
void RunChild(const std::wstring& aPlugin, const Scenario& aScenario, int& aPassed, int& aFailed) {
    std::string lName = Utf8(aScenario.mName);
    wchar_t lSelf[MAX_PATH * 4];
    GetModuleFileNameW(nullptr, lSelf, MAX_PATH * 4);
    std::wstring lCommandLine =
        Quote(lSelf) + L" " + Quote(aPlugin) + L" " + aScenario.mName + L" --child";

    SECURITY_ATTRIBUTES lInheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE lRead = nullptr;
    HANDLE lWrite = nullptr;
    CreatePipe(&lRead, &lWrite, &lInheritable, 0);
    SetHandleInformation(lRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW lStartup{};
    lStartup.cb = sizeof lStartup;
    lStartup.dwFlags = STARTF_USESTDHANDLES;
    lStartup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    lStartup.hStdOutput = lWrite;
    lStartup.hStdError = lWrite;
    PROCESS_INFORMATION lProcess{};
    LARGE_INTEGER lFrequency, lStart, lEnd;
    QueryPerformanceFrequency(&lFrequency);
    QueryPerformanceCounter(&lStart);
    // Under wine a process start now and then fails for a moment while the server is busy;
    // only a start that keeps failing is a failure of the check.
    bool lStarted = false;
    DWORD lError = 0;
    for (int lAttempt = 0; lAttempt < 3 && !lStarted; ++lAttempt) {
        if (lAttempt > 0) {
            Sleep(500);
        }
        lStarted = CreateProcessW(nullptr, lCommandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                  nullptr, &lStartup, &lProcess) != 0;
        lError = lStarted ? 0 : GetLastError();
    }
    if (!lStarted) {
        PrintLine("FAIL [" + lName + "] the scenario's process could not start (error " +
                  std::to_string(lError) + ")");
        ++aFailed;
        CloseHandle(lRead);
        CloseHandle(lWrite);
        return;
    }
    CloseHandle(lWrite);

    std::string lPending;
    std::string lActivity = "starting";
    // Failures printed by a child that never got to its summary still count.
    int lFailLines = 0;
    bool lSummarised = false;
    int lChildFailed = 0;
    auto fTakeLines = [&](bool fAll) {
        std::size_t lBreak;
        while ((lBreak = lPending.find('\n')) != std::string::npos || (fAll && !lPending.empty())) {
            std::string lLine = lPending.substr(0, lBreak);
            lPending.erase(0, lBreak == std::string::npos ? lPending.size() : lBreak + 1);
            if (!lLine.empty() && lLine.back() == '\r') {
                lLine.pop_back();
            }
            int lPassed = 0;
            int lFailed = 0;
            if (lLine.starts_with("@ ")) {
                lActivity = lLine.substr(2);
            } else if (ParseSummary(lLine, lPassed, lFailed)) {
                aPassed += lPassed;
                aFailed += lFailed;
                lChildFailed = lFailed;
                lSummarised = true;
            } else {
                if (lLine.starts_with("FAIL ")) {
                    ++lFailLines;
                }
                PrintLine(lLine);
            }
        }
    };
    // Reads only what the pipe holds: another process (a console host) may keep its write end
    // open after the child has ended, and a blocking read would then wait for ever.
    auto fReadAvailable = [&]() {
        DWORD lAvailable = 0;
        char lBuffer[4096];
        DWORD lGot = 0;
        if (!PeekNamedPipe(lRead, nullptr, 0, nullptr, &lAvailable, nullptr) || lAvailable == 0 ||
            !ReadFile(lRead, lBuffer, std::min<DWORD>(lAvailable, sizeof lBuffer), &lGot,
                      nullptr) ||
            lGot == 0) {
            return false;
        }
        lPending.append(lBuffer, lGot);
        fTakeLines(false);
        return true;
    };
    ULONGLONG lDeadline = GetTickCount64() + ScenarioTimeLimit;
    bool lTimedOut = false;
    for (;;) {
        if (fReadAvailable()) {
            continue;
        }
        if (WaitForSingleObject(lProcess.hProcess, 20) == WAIT_OBJECT_0) {
            while (fReadAvailable()) {
            }
            break;
        }
        if (GetTickCount64() >= lDeadline) {
            TerminateProcess(lProcess.hProcess, 1);
            WaitForSingleObject(lProcess.hProcess, 5000);
            while (fReadAvailable()) {
            }
            lTimedOut = true;
            break;
        }
    }
    fTakeLines(true);
    QueryPerformanceCounter(&lEnd);
    DWORD lExitCode = 0;
    GetExitCodeProcess(lProcess.hProcess, &lExitCode);
    CloseHandle(lProcess.hProcess);
    CloseHandle(lProcess.hThread);
    CloseHandle(lRead);

    char lSeconds[32];
    std::snprintf(lSeconds, sizeof lSeconds, "%.2f s",
                  static_cast<double>(lEnd.QuadPart - lStart.QuadPart) /
                      static_cast<double>(lFrequency.QuadPart));
    if (!lSummarised) {
        aFailed += lFailLines;
    }
    if (lTimedOut) {
        PrintLine("FAIL [" + lName + "] the scenario did not end within " +
                  std::to_string(ScenarioTimeLimit / 1000) + " s: it hung while " + lActivity);
        ++aFailed;
    } else if (!lSummarised) {
        char lCode[16];
        std::snprintf(lCode, sizeof lCode, "0x%08lX", lExitCode);
        PrintLine("FAIL [" + lName + "] the scenario's process ended early, exit code " + lCode);
        ++aFailed;
    } else if (lExitCode != static_cast<DWORD>(lChildFailed == 0 ? 0 : 1) &&
               lExitCode != CrashExitCode) {
        char lCode[16];
        std::snprintf(lCode, sizeof lCode, "0x%08lX", lExitCode);
        PrintLine("FAIL [" + lName +
                  "] the process did not end cleanly after its checks: exit code " + lCode);
        ++aFailed;
    }
    PrintLine("[" + lName + "] done in " + lSeconds);
}

} // namespace

int wmain(int aCount, wchar_t** aArguments) {
    gMainThread = GetCurrentThreadId();
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(&OnCrash);
    std::set_terminate(
        [] { DieReporting("std::terminate was called (an exception left a call)"); });

    if (aCount < 2) {
        PrintLine(
            "usage: QuendralFakeHost PLUGIN.dll [commands|provers|dot-and-prover9|"
            "all-tools|marks|host-7.9.5|host-8.3.3|explanations|damaged-settings|docked-panel|"
            "host-before-4.7|lexer|screenshot STOPFILE [SCENE]]");
        return 2;
    }
    std::wstring lPlugin = aArguments[1];
    if (aCount >= 3) {
        std::wstring lScenario = aArguments[2];
        if (lScenario == L"screenshot") {
            return RunScreenshot(lPlugin, aCount >= 4 ? aArguments[3] : L"",
                                 aCount >= 5 ? aArguments[4] : L"results-window");
        }
        Checks::gReportActivities = aCount >= 4 && std::wstring(aArguments[3]) == L"--child";
        for (const Scenario& lKnown : TestScenarios) {
            if (lScenario == lKnown.mName) {
                return RunScenario(lPlugin, lKnown);
            }
        }
        if (lScenario == LexerScenarioName) {
            return RunLexerScenario(lPlugin);
        }
        if (std::optional<int> lExitCode = RunOptionScenario(lPlugin, lScenario)) {
            return *lExitCode;
        }
        PrintLine("unknown scenario " + Utf8(lScenario));
        return 2;
    }

    // Each child starts in this directory; its Session makes the plugin's name absolute.
    int lPassed = 0;
    int lFailed = 0;
    for (const Scenario& lTest : TestScenarios) {
        RunChild(lPlugin, lTest, lPassed, lFailed);
    }
    for (const std::wstring& lName : OptionScenarioNames()) {
        RunChild(lPlugin, Scenario{lName.c_str(), Tools::None, false}, lPassed, lFailed);
    }
    RunChild(lPlugin, Scenario{LexerScenarioName, Tools::None, false}, lPassed, lFailed);
    PrintLine(std::to_string(lPassed) + " passed, " + std::to_string(lFailed) + " failed");
    return lFailed == 0 ? 0 : 1;
}
