#include "platform/Platform.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "model/EngineException.h"

namespace Logic::Platform {

std::optional<std::string> EnvironmentVariable(const std::string& aName) {
    const char* lValue = std::getenv(aName.c_str());
    if (lValue == nullptr) {
        return std::nullopt;
    }
    return std::string(lValue);
}

std::string TemporaryDirectory() {
    std::string lDirectory = EnvironmentVariable("TMPDIR").value_or("");
    if (lDirectory.empty()) {
        lDirectory = "/tmp";
    }
    if (lDirectory.back() != '/') {
        lDirectory += '/';
    }
    return lDirectory;
}

std::string FindProgram(const std::string& aName) {
    if (aName.empty()) {
        return {};
    }
    if (aName.find('/') != std::string::npos) {
        return FileExists(aName) ? aName : std::string();
    }
    std::string lPath = EnvironmentVariable("PATH").value_or("");
    size_t lStart = 0;
    while (true) {
        size_t lEnd = lPath.find(PathListSeparator, lStart);
        std::string lPiece =
            lPath.substr(lStart, lEnd == std::string::npos ? std::string::npos : lEnd - lStart);
        std::string lCandidate = lPiece.empty()                ? "./" + aName
                                 : lPiece.back() == '/'        ? lPiece + aName
                                                               : lPiece + "/" + aName;
        if (FileExists(lCandidate) && access(lCandidate.c_str(), X_OK) == 0) {
            return lCandidate;
        }
        if (lEnd == std::string::npos) {
            return {};
        }
        lStart = lEnd + 1;
    }
}

void OpenWithDefaultApplication(const std::string& aPath) {
    std::string lOpener = FindProgram("xdg-open");
    if (lOpener.empty()) {
        throw EngineException("Cannot open \"{0}\": the program \"xdg-open\" was not found.",
                              aPath);
    }
    // Everything the child needs is prepared here: between fork and exec only
    // async-signal-safe calls are allowed.
    const char* lArguments[] = {lOpener.c_str(), aPath.c_str(), nullptr};
    pid_t lChild = fork();
    if (lChild < 0) {
        throw EngineException("Cannot open \"{0}\": {1}", aPath, std::strerror(errno));
    }
    if (lChild == 0) {
        // The viewer must outlive this process and never hold its terminal: detach twice.
        setsid();
        if (fork() != 0) {
            _exit(0);
        }
        int lNull = open("/dev/null", O_RDWR);
        if (lNull >= 0) {
            dup2(lNull, 0);
            dup2(lNull, 1);
            dup2(lNull, 2);
        }
        execv(lArguments[0], const_cast<char* const*>(lArguments));
        _exit(127);
    }
    int lStatus = 0;
    while (waitpid(lChild, &lStatus, 0) < 0 && errno == EINTR) {
    }
}

TimeOfDay LocalTimeOfDay() {
    timespec lNow{};
    clock_gettime(CLOCK_REALTIME, &lNow);
    tm lLocal{};
    time_t lSeconds = lNow.tv_sec;
    localtime_r(&lSeconds, &lLocal);
    return {lLocal.tm_hour, lLocal.tm_min, lLocal.tm_sec,
            static_cast<int32_t>(lNow.tv_nsec / 100)};
}

} // namespace Logic::Platform
