#pragma once
// What /proc says about processes: which are children of this one, and which are still alive.

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <string>
#include <thread>
#include <vector>

namespace Logic::Testing {

struct ProcessStatus {
    bool mExists = false;
    char mState = '?';
    int mParent = 0;
};

inline ProcessStatus StatusOf(int aProcess) {
    std::string lText;
    try {
        std::ifstream lFile("/proc/" + std::to_string(aProcess) + "/stat");
        lText.assign(std::istreambuf_iterator<char>(lFile), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        return {}; // the process ended while its entry was being read
    }
    // "pid (name) state parent ...": the name may hold spaces and parentheses of its own.
    size_t lNameEnd = lText.rfind(')');
    if (lNameEnd == std::string::npos) {
        return {};
    }
    std::istringstream lRest(lText.substr(lNameEnd + 1));
    ProcessStatus lStatus;
    lStatus.mExists = static_cast<bool>(lRest >> lStatus.mState >> lStatus.mParent);
    return lStatus;
}

/// Processes, alive or zombie, whose parent is this process.
inline std::vector<int> ChildrenOfThisProcess() {
    std::vector<int> lChildren;
    const int lSelf = getpid();
    std::error_code lError;
    for (const auto& lEntry : std::filesystem::directory_iterator("/proc", lError)) {
        const std::string lName = lEntry.path().filename().string();
        if (lName.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        int lProcess = std::stoi(lName);
        ProcessStatus lStatus = StatusOf(lProcess);
        if (lStatus.mExists && lStatus.mParent == lSelf) {
            lChildren.push_back(lProcess);
        }
    }
    return lChildren;
}

/// Running or sleeping: neither gone nor a zombie.
inline bool IsAlive(int aProcess) {
    ProcessStatus lStatus = StatusOf(aProcess);
    return lStatus.mExists && lStatus.mState != 'Z' && lStatus.mState != 'X';
}

/// The processes of aProcesses still alive after waiting up to aPatience for them to die: a
/// killed process that is not our child dies on its own time.
inline std::vector<int> SurvivorsOf(const std::vector<int>& aProcesses,
                                    std::chrono::milliseconds aPatience = std::chrono::seconds(5)) {
    auto lDeadline = std::chrono::steady_clock::now() + aPatience;
    while (true) {
        std::vector<int> lAlive;
        for (int lProcess : aProcesses) {
            if (IsAlive(lProcess)) {
                lAlive.push_back(lProcess);
            }
        }
        if (lAlive.empty() || std::chrono::steady_clock::now() >= lDeadline) {
            return lAlive;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace Logic::Testing
