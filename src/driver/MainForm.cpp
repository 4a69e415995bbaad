#include "driver/MainForm.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <utility>

#include "coefficients/CoefficientVector.h"
#include "engine/Decision.h"
#include "engine/Explanation.h"
#include "engine/Utility.h"
#include "model/Argument.h"
#include "model/EngineException.h"
#include "model/Matrix.h"
#include "parser/ParseError.h"
#include "parser/Parser.h"
#include "platform/LargeStack.h"
#include "provers/Prover9Mace4.h"

namespace Logic {

std::vector<std::string> MainForm::gFilesToDelete;

// Parsing, the reference evaluation and freeing a tree recurse with a formula's depth: the
// commands run that work through OnLargeStack.

namespace {
void RegisterCleanupOnce() {
    static const bool lRegistered = std::atexit(&MainForm::Cleanup) == 0;
    (void)lRegistered;
}
} // namespace

MainForm::MainForm(IPluginReceiver& aApplication, MainFormServices aServices)
    : mWindow(std::move(aServices.mWindow)),
      mMessageBox(std::move(aServices.mMessageBox)),
      mImageViewer(std::move(aServices.mImageViewer)),
      mApplication(aApplication) {
    if (!mWindow || !mMessageBox) {
        throw std::invalid_argument("MainForm needs a results window and a message box.");
    }
    if (!mImageViewer) {
        mImageViewer = std::make_unique<DefaultApplicationViewer>();
    }
    RegisterCleanupOnce();

    auto lExistsInPath = aServices.mExistsInPath ? aServices.mExistsInPath : &MainForm::ExistsInPath;
    mCanDepict = lExistsInPath(dot);
    mCanProve = lExistsInPath(prover9) && lExistsInPath(mace4);

    using Command = IPluginReceiver::Command;
    mApplication.Install([this] { DecideActiveBuffer(); }, [this] { DecideSelectedText(); },
                         [this] { CalculateCoefficientVector(); },
                         mCanDepict ? Command([this] { DepictActiveBuffer(); }) : Command(),
                         mCanDepict ? Command([this] { DepictSelectedText(); }) : Command(),
                         mCanProve ? Command([this] { ExecuteProver9OnActiveBuffer(); })
                                   : Command());
}

// ---------------------------------------------------------------------------------------------
// Commands

namespace {
/// A decided document: its verdict and, when asked for, the models that show it. A failure of
/// the explanation is kept so that the verdict is logged before it.
struct Decision {
    std::optional<Alethicity> mAlethicity;
    std::optional<Quality> mQuality;
    std::optional<Explanation> mExplanation;
    std::exception_ptr mExplanationFailure;
};

Decision DecideDocument(const std::vector<std::string>& aLines, bool aExplain,
                        const DecisionEngine& aEngine) {
    MatrixPtr lRoot = Parser::Parse(aLines);
    Decision lDecision;
    // Prepared once for the verdict and the explanation.
    PreparedDocument lDocument(*lRoot, aEngine);
    const bool lArgument = lRoot->Kind() == NodeKind::Argument;
    if (lArgument) {
        lDecision.mQuality = lDocument.ArgumentQuality();
    } else {
        lDecision.mAlethicity = lDocument.Decide();
    }
    if (!aExplain) {
        return lDecision;
    }
    try {
        lDecision.mExplanation = lArgument ? ExplainArgument(lDocument, *lDecision.mQuality)
                                           : ExplainStatement(lDocument, *lDecision.mAlethicity);
    } catch (...) {
        lDecision.mExplanationFailure = std::current_exception();
    }
    return lDecision;
}
} // namespace

void MainForm::LogDecision(const std::string& aText) {
    // The tree is made, decided and freed on the large stack: each recurses with its depth.
    Decision lDecision = OnLargeStack([&] { return DecideDocument(SplitLines(aText), mExplainVerdicts, *mEngine); });
    mReport.mAlethicity = lDecision.mAlethicity;
    mReport.mQuality = lDecision.mQuality;
    Log(lDecision.mQuality ? Utility::TextResult(*lDecision.mQuality)
                           : Utility::TextForDecision(*lDecision.mAlethicity));
    if (lDecision.mExplanationFailure) {
        std::rethrow_exception(lDecision.mExplanationFailure);
    }
    if (lDecision.mExplanation) {
        for (const std::string& lLine : ExplanationLines(*lDecision.mExplanation)) {
            Log(lLine);
        }
        mReport.mExplanation = std::move(lDecision.mExplanation);
    }
}

CommandOutcome MainForm::DecideActiveBuffer(Cancellation* aCancellation) {
    return ActOnDialog([this] {
        Log("Deciding {0}...", mApplication.NameOfActiveDocument());
        LogDecision(mApplication.ContentsOfActiveDocument());
    }, aCancellation);
}

CommandOutcome MainForm::DecideSelectedText(Cancellation* aCancellation) {
    return ActOnDialog([this] {
        std::string lSelectedText = mApplication.SelectedText();
        // The selection is quoted like any text in a message: a long one is cut.
        Log("Deciding \"{0}\" ...", QuotableText(lSelectedText));
        LogDecision(lSelectedText);
    }, aCancellation);
}

CommandOutcome MainForm::CalculateCoefficientVector(Cancellation* aCancellation) {
    return ActOnDialog([this] {
        Log("Calculating coefficients for {0}...", mApplication.NameOfActiveDocument());
        std::string lContents = mApplication.ContentsOfActiveDocument();
        Logic::CoefficientVector lCoefficients = OnLargeStack([&] {
            MatrixPtr lRoot = Parser::Parse(SplitLines(lContents));
            return lRoot->CoefficientVector();
        });
        std::string lPolynomial = lCoefficients.Formula();
        Log(lCoefficients.ToString());
        Log(lPolynomial);
        mReport.mCoefficients = lCoefficients.Coefficients();
        mReport.mPolynomial = std::move(lPolynomial);
    }, aCancellation);
}

CommandOutcome MainForm::DepictActiveBuffer() {
    ForgetFailurePlace();
    std::string lName = mApplication.NameOfActiveDocument();
    std::string lContents = mApplication.ContentsOfActiveDocument();
    return Depict(lName, lContents);
}

CommandOutcome MainForm::DepictSelectedText() {
    ForgetFailurePlace();
    std::string lLabel = Format("{0} (selected text)", mApplication.NameOfActiveDocument());
    std::string lSelectedText = mApplication.SelectedText();
    return Depict(lLabel, lSelectedText);
}

CommandOutcome MainForm::ExecuteProver9OnActiveBuffer() {
    return ExecuteProver9OnActiveBuffer(TimeLimitForProver9 / 1000);
}

CommandOutcome MainForm::ExecuteProver9OnActiveBuffer(int32_t aSecondsTimeout,
                                                      Cancellation* aCancellation) {
    return ActOnDialog([this, aSecondsTimeout] {
        std::string lName = mApplication.NameOfActiveDocument();
        if (aSecondsTimeout < 0) {
            Log("Evaluating {0} with Prover9 and Mace4 without a time limit...", lName);
        } else {
            Log("Evaluating {0} with Prover9 and Mace4 for up to {1} seconds...", lName,
                aSecondsTimeout);
        }
        std::string lContents = mApplication.ContentsOfActiveDocument();
        Prover9Mace4::Result lResult = OnLargeStack([&] {
            MatrixPtr lRoot = Parser::Parse(SplitLines(lContents));
            return Prover9Mace4::Decide(lRoot, aSecondsTimeout);
        });
        std::string lResultText = Prover9Mace4::ToString(lResult);
        Log("... result: {0}", lResultText);
        mReport.mProverResult = std::move(lResultText);
    }, aCancellation);
}

// ---------------------------------------------------------------------------------------------
// Results log

CommandOutcome MainForm::ActOnDialog(const std::function<void()>& aAction,
                                     Cancellation* aCancellation) {
    // A command with no cancellation of its caller's gets one of its own, so that
    // StopRunningCommands reaches it too.
    Cancellation lOwn;
    Cancellation* lCancellation = aCancellation;
    if (lCancellation == nullptr) {
        lCancellation = Cancellation::Current() != nullptr ? Cancellation::Current() : &lOwn;
    }
    const Cancellation::Scope lScope(lCancellation);
    struct Running {
        MainForm& mDriver;
        Cancellation* mCancellation;
        Running(MainForm& aDriver, Cancellation* aCancellation)
            : mDriver(aDriver), mCancellation(aCancellation) {
            std::lock_guard lLock(mDriver.mRunningMutex);
            mDriver.mRunning.push_back(mCancellation);
        }
        ~Running() {
            std::lock_guard lLock(mDriver.mRunningMutex);
            auto lAt = std::find(mDriver.mRunning.rbegin(), mDriver.mRunning.rend(), mCancellation);
            if (lAt != mDriver.mRunning.rend()) {
                mDriver.mRunning.erase(std::next(lAt).base());
            }
        }
    } lRunning(*this, lCancellation);
    mReport = CommandReport();
    ForgetFailurePlace();
    if (!mWindow->IsVisible()) {
        mWindow->Show();
    }
    mWindow->BringToFront();
    // A document that the models found leave undecided shows them after the failure, as an
    // explanation would, with the sizes searched in vain.
    std::vector<std::string> lShownAfter;
    try {
        aAction();
        return CommandOutcome::Succeeded;
    } catch (const std::exception& lFailure) {
        mReport.mError = lFailure.what();
        mReport.mErrorPlace = NoteFailurePlace(lFailure);
        const auto* lUndecided = dynamic_cast<const UndecidedByModels*>(&lFailure);
        if (lUndecided != nullptr && mExplainVerdicts) {
            mReport.mExplanation = lUndecided->Found();
            lShownAfter = ExplanationLines(lUndecided->Found());
            lShownAfter.insert(lShownAfter.end(), lUndecided->Notes().begin(), lUndecided->Notes().end());
        }
    } catch (...) {
        mReport.mError = "An unknown failure occurred.";
    }
    Log("Error: {0}", *mReport.mError);
    for (const std::string& lLine : lShownAfter) {
        Log(lLine);
    }
    return CommandOutcome::Failed;
}

void MainForm::ForgetFailurePlace() {
    mLastFailurePlace.reset();
    try {
        mApplication.ClearFailurePlace();
    } catch (...) {
    }
}

std::optional<TextPlace> MainForm::NoteFailurePlace(const std::exception& aFailure) {
    const auto* lParseError = dynamic_cast<const ParseError*>(&aFailure);
    if (lParseError == nullptr || !lParseError->Place()) {
        return std::nullopt;
    }
    mLastFailurePlace = lParseError->Place();
    // Marking is a courtesy: the failure is reported whether or not the host can show where.
    try {
        mApplication.ShowFailurePlace(*mLastFailurePlace);
    } catch (...) {
    }
    return mLastFailurePlace;
}

void MainForm::StopRunningCommands() noexcept {
    try {
        std::lock_guard lLock(mRunningMutex);
        for (Cancellation* lCancellation : mRunning) {
            lCancellation->RequestStop();
        }
    } catch (...) {
        // The mutex refused: the commands end by their own limits.
    }
}

void MainForm::LogMessage(const std::string& aMessage) {
    mReport.mLines.push_back(aMessage);
    mWindow->AppendLine(Format("{0}: {1}", FormatTimeOfDay(Platform::LocalTimeOfDay()), aMessage));
    mWindow->HandlePendingEvents();
}

std::string MainForm::FormatTimeOfDay(const Platform::TimeOfDay& aTime) {
    char lText[32];
    if (aTime.mTicks == 0) {
        std::snprintf(lText, sizeof lText, "%02d:%02d:%02d", aTime.mHour, aTime.mMinute,
                      aTime.mSecond);
    } else {
        std::snprintf(lText, sizeof lText, "%02d:%02d:%02d.%07d", aTime.mHour, aTime.mMinute,
                      aTime.mSecond, static_cast<int>(aTime.mTicks));
    }
    return lText;
}

void MainForm::button_close_Click() {
    mWindow->Hide();
    mWindow->Clear();
}

std::vector<std::string> MainForm::SplitLines(const std::string& aText) {
    std::vector<std::string> lLines;
    size_t lStart = 0;
    while (true) {
        size_t lEnd = aText.find('\n', lStart);
        if (lEnd == std::string::npos) {
            lLines.push_back(aText.substr(lStart));
            return lLines;
        }
        lLines.push_back(aText.substr(lStart, lEnd - lStart));
        lStart = lEnd + 1;
    }
}

// ---------------------------------------------------------------------------------------------
// Tool detection

std::string MainForm::ExpandEnvironmentVariables(const std::string& aFileName) {
    std::string lResult;
    size_t i = 0;
    while (i < aFileName.size()) {
        size_t lOpen = aFileName.find('%', i);
        size_t lClose = lOpen == std::string::npos ? lOpen : aFileName.find('%', lOpen + 1);
        if (lClose == std::string::npos) {
            lResult += aFileName.substr(i);
            break;
        }
        lResult += aFileName.substr(i, lOpen - i);
        std::string lName = aFileName.substr(lOpen + 1, lClose - lOpen - 1);
        std::optional<std::string> lValue;
        if (!lName.empty()) {
            lValue = Platform::EnvironmentVariable(lName);
        }
        if (lValue) {
            lResult += *lValue;
            i = lClose + 1;
        } else {
            // The closing sign may open the next name.
            lResult += aFileName.substr(lOpen, lClose - lOpen);
            i = lClose;
        }
    }
    return lResult;
}

namespace {
bool HasDirectoryPart(const std::string& aName) {
    return !std::filesystem::path(aName).parent_path().empty();
}

bool EndsInSeparator(const std::string& aPiece) {
    char lLast = aPiece.back();
#ifdef _WIN32
    return lLast == '\\' || lLast == '/' || lLast == ':';
#else
    return lLast == '/';
#endif
}

std::string JoinPathPiece(const std::string& aPiece, const std::string& aName) {
    if (aPiece.empty()) {
        return aName;
    }
    if (EndsInSeparator(aPiece)) {
        return aPiece + aName;
    }
#ifdef _WIN32
    return aPiece + "\\" + aName;
#else
    return aPiece + "/" + aName;
#endif
}
} // namespace

bool MainForm::ExistsInPath(const std::string& aFileName) {
    std::string lName = ExpandEnvironmentVariables(aFileName);
    if (Platform::FileExists(lName)) {
        return true;
    }
    if (lName.empty() || HasDirectoryPart(lName)) {
        return false;
    }
    std::string lPath = Platform::EnvironmentVariable("PATH").value_or("");
    size_t lStart = 0;
    while (true) {
        size_t lEnd = lPath.find(Platform::PathListSeparator, lStart);
        std::string lPiece =
            lPath.substr(lStart, lEnd == std::string::npos ? std::string::npos : lEnd - lStart);
        if (Platform::FileExists(JoinPathPiece(lPiece, lName))) {
            return true;
        }
        if (lEnd == std::string::npos) {
            return false;
        }
        lStart = lEnd + 1;
    }
}

} // namespace Logic
