#pragma once
// The host-neutral command driver: detects the outside tools, installs the six commands in the
// receiver, runs them and writes their time-stamped results into the results window.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "driver/CommandReport.h"
#include "driver/HostInterfaces.h"
#include "driver/IPluginReceiver.h"
#include "engine/DecisionEngine.h"
#include "model/Format.h"
#include "platform/Cancellation.h"
#include "platform/Platform.h"

namespace Logic {

/// What the front end supplies to the driver. The driver owns all of it.
struct MainFormServices {
    std::unique_ptr<IResultsWindow> mWindow;
    std::unique_ptr<IMessageBox> mMessageBox;
    /// Empty: the desktop's default application.
    std::unique_ptr<IImageViewer> mImageViewer;
    /// How a tool is looked for; empty: MainForm::ExistsInPath.
    std::function<bool(const std::string&)> mExistsInPath;
};

/// How a command ended, so that a front end need not read it back out of the log.
enum class CommandOutcome {
    Succeeded, ///< the command gave its result
    Failed     ///< it logged an error line or showed a failure in the message box
};

class MainForm {
public:
#ifdef _WIN32
    static constexpr const char* dot = "dot.exe";
    static constexpr const char* prover9 = "prover9.exe";
    static constexpr const char* mace4 = "mace4.exe";
#else
    static constexpr const char* dot = "dot";
    static constexpr const char* prover9 = "prover9";
    static constexpr const char* mace4 = "mace4";
#endif
    static constexpr const char* ImageFileNameExtension = "png";
    static constexpr int TimeLimitForDepiction = 30000;
    static constexpr int TimeLimitForProver9 = 30000;

    /// Pictures to delete when the process ends, each entered once, in the order made.
    static std::vector<std::string> gFilesToDelete;

    /// Detects the outside tools and installs the commands in aApplication, which must outlive
    /// the driver. Throws std::invalid_argument when the window or message box is missing.
    MainForm(IPluginReceiver& aApplication, MainFormServices aServices);
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    // The six commands. The host's menu ignores the outcome; the command-line tool's exit
    // status is made of it. The long ones accept a Cancellation (a time limit, or a stop that
    // the front end requests from another thread); when it stops them they log its message as
    // their error line. Without one they run under the caller's, if any.
    CommandOutcome DecideActiveBuffer(Cancellation* aCancellation = nullptr);
    CommandOutcome DecideSelectedText(Cancellation* aCancellation = nullptr);
    CommandOutcome CalculateCoefficientVector(Cancellation* aCancellation = nullptr);
    CommandOutcome DepictActiveBuffer();
    CommandOutcome DepictSelectedText();
    CommandOutcome ExecuteProver9OnActiveBuffer();
    /// The Prover9 command with a time limit of aSecondsTimeout seconds (negative: none) for the
    /// programs; a stop of aCancellation kills them at once.
    CommandOutcome ExecuteProver9OnActiveBuffer(int32_t aSecondsTimeout,
                                                Cancellation* aCancellation = nullptr);

    /// Shows the window and runs aAction under aCancellation (null: the caller's, or else one of
    /// its own, so that StopRunningCommands reaches it); any failure becomes one line
    /// "Error: {0}".
    CommandOutcome ActOnDialog(const std::function<void()>& aAction,
                               Cancellation* aCancellation = nullptr);

    /// Asks every command that is running to stop, as its Cancellation's RequestStop does: the
    /// programs a command started are killed at once, and the command logs the stop as its
    /// error. For the front end's ending (an interrupt, the host closing); any thread may call.
    void StopRunningCommands() noexcept;

    /// Appends one time-stamped line. With no parameters the pattern is the message as it is.
    template <typename... Ts>
    void Log(std::string_view aFormatString, const Ts&... aParameters) {
        if constexpr (sizeof...(Ts) == 0) {
            LogMessage(std::string(aFormatString));
        } else {
            LogMessage(Format(aFormatString, aParameters...));
        }
    }

    /// The Close button: hide the window, then empty the log.
    void button_close_Click();

    /// Draws the formula tree of aText as a picture named after aFileName and shows it; every
    /// failure goes to the message box.
    CommandOutcome Depict(const std::string& aFileName, const std::string& aText);
    /// Depict with the DOT text made by aMakeDOT, which runs after dot has been started.
    CommandOutcome DepictWith(const std::string& aFileName,
                              const std::function<std::string()>& aMakeDOT);

    /// Whether a program file of that name can be found directly or through PATH.
    static bool ExistsInPath(const std::string& aFileName);
    /// aFileName with %NAME% replaced by the value of each variable that is set.
    static std::string ExpandEnvironmentVariables(const std::string& aFileName);
    /// aFileName with its extension changed to the picture's.
    static std::string ImageFileName(const std::string& aFileName);
    /// hh:mm:ss, and a point and seven digits of 100 ns units when those are not all zero.
    static std::string FormatTimeOfDay(const Platform::TimeOfDay& aTime);
    /// aText cut at every line feed, empty pieces kept.
    static std::vector<std::string> SplitLines(const std::string& aText);
    /// Deletes every file of gFilesToDelete that is there; runs at process exit.
    static void Cleanup();

    /// Whether a decision also logs, after its verdict, the first example and counterexample that
    /// show it. Off unless a front end asks (the command-line tool's --explain); the results
    /// window of the editor shows the verdict line alone.
    void SetExplainVerdicts(bool aExplain) { mExplainVerdicts = aExplain; }
    /// The engine that decides and explains; the default engine unless a front end chooses
    /// another (the command-line tool's --engine). aEngine must outlive the driver.
    void SetEngine(const DecisionEngine& aEngine) { mEngine = &aEngine; }
    /// What the last command that logged found: its messages, its failure, its results.
    const CommandReport& LastReport() const { return mReport; }
    /// Where the last command's failure lies in the text it read, when it concerns a place
    /// there (the depiction commands' too, which report their failures in the message box).
    const std::optional<TextPlace>& LastFailurePlace() const { return mLastFailurePlace; }

    bool CanDepict() const { return mCanDepict; }
    bool CanProve() const { return mCanProve; }
    IResultsWindow& Window() { return *mWindow; }

private:
    void LogMessage(const std::string& aMessage);
    /// Forgets the last failure's place and has the host take its mark away.
    void ForgetFailurePlace();
    /// Keeps the place of aFailure, when it has one, and has the host mark it.
    std::optional<TextPlace> NoteFailurePlace(const std::exception& aFailure);
    /// Parses and decides aText, logs the verdict and, when asked, the models that show it.
    void LogDecision(const std::string& aText);

    std::unique_ptr<IResultsWindow> mWindow;
    std::unique_ptr<IMessageBox> mMessageBox;
    std::unique_ptr<IImageViewer> mImageViewer;
    IPluginReceiver& mApplication;
    bool mCanDepict = false;
    bool mCanProve = false;
    bool mExplainVerdicts = false;
    const DecisionEngine* mEngine = &DefaultEngine();
    CommandReport mReport;
    std::optional<TextPlace> mLastFailurePlace;
    /// The cancellations of the commands now running: a command may begin while another waits
    /// between two log lines.
    std::mutex mRunningMutex;
    std::vector<Cancellation*> mRunning;
};

} // namespace Logic
