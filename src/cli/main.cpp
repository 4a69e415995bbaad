// quendral: the command-line front end. Reads a document from a file or standard input, runs
// one command of the driver on it and writes the results log to standard output.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "cli/ConsoleFrontEnd.h"
#include "cli/ConsoleText.h"
#include "cli/Interrupts.h"
#include "cli/JsonReport.h"
#include "driver/MainForm.h"
#include "parser/SourceMap.h"
#include "engine/Decision.h"

namespace {

using namespace Logic;
using namespace Logic::Cli;

constexpr const char* Version = QUENDRAL_VERSION;

constexpr const char* Usage =
    "usage:\n"
    "  quendral decide       [--selection START:END] [--engine NAME]\n"
    "                        [--timeout SECONDS] [--explain] [--format text|json] FILE\n"
    "  quendral coefficients [--timeout SECONDS] [--format text|json] FILE\n"
    "  quendral depict       [--selection START:END] [--output PNG] [--view] FILE\n"
    "  quendral prove        [--timeout SECONDS] [--format text|json] FILE\n"
    "  quendral --help | --version\n"
    "\n"
    "FILE is a path, or - for standard input.\n"
    "  decide        decides the statement or argument in FILE\n"
    "  coefficients  writes the coefficient vector of a truth-functional statement\n"
    "  depict        draws the formula tree as a PNG picture (needs Graphviz dot)\n"
    "  prove         evaluates FILE with Prover9 and Mace4 (prover9 and mace4 in PATH)\n"
    "  --selection START:END  works on bytes START to END-1 of FILE only\n"
    "  --engine NAME          the evaluator that decides: auto (default: compiled where the\n"
    "                         numbering fits, else sat), compiled, reference, or sat (in\n"
    "                         builds with CaDiCaL; it also looks for models of binary\n"
    "                         predicates with up to 6 objects)\n"
    "  --output PNG           where depict keeps the picture (default: FILE's name with .png)\n"
    "  --view                 also opens the picture\n"
    "  --timeout SECONDS      decide, coefficients: stop with an error after that long;\n"
    "                         prove: the provers' time limit (default 30; negative: none)\n"
    "  --explain              decide: after the verdict, show the first example and\n"
    "                         counterexample that the search finds, as worlds\n"
    "  --format json          write one JSON object (log lines without time stamps, verdict,\n"
    "                         models, coefficients or result) instead of the log lines\n";

constexpr int Success = 0;
constexpr int Failure = 1;
constexpr int UsageFailure = 2;

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Options {
    std::string mCommand;
    std::string mFile;
    std::optional<std::pair<size_t, size_t>> mSelection;
    std::string mOutput;
    bool mView = false;
    /// prove: the provers' time limit in seconds.
    int32_t mTimeout = MainForm::TimeLimitForProver9 / 1000;
    /// decide, coefficients: the time limit, if any.
    std::optional<std::chrono::milliseconds> mTimeLimit;
    const DecisionEngine* mEngine = &DefaultEngine();
    bool mExplain = false;
    bool mJson = false;
};

/// The registered engines' names: "a, b or c".
std::string EngineNames() {
    std::string lNames;
    const auto lEngines = RegisteredEngines();
    for (size_t i = 0; i < lEngines.size(); ++i) {
        if (i > 0) {
            lNames += i + 1 == lEngines.size() ? " or " : ", ";
        }
        lNames += lEngines[i]->Name();
    }
    return lNames;
}

size_t ParseOffset(const std::string& aText, const std::string& aSelection) {
    if (aText.empty() || aText.size() > 18 ||
        aText.find_first_not_of("0123456789") != std::string::npos) {
        throw UsageError(Format("bad selection \"{0}\": expected START:END with whole numbers",
                                aSelection));
    }
    return static_cast<size_t>(std::stoull(aText));
}

int32_t ParseTimeout(const std::string& aText) {
    size_t lDigits = aText.rfind('-', 0) == 0 ? 1 : 0;
    if (aText.size() == lDigits || aText.size() > lDigits + 10 ||
        aText.find_first_not_of("0123456789", lDigits) != std::string::npos) {
        throw UsageError(Format("bad timeout \"{0}\": expected a whole number of seconds", aText));
    }
    long long lSeconds = std::stoll(aText);
    if (lSeconds < INT32_MIN || lSeconds > INT32_MAX) {
        throw UsageError(Format("bad timeout \"{0}\": out of range", aText));
    }
    return static_cast<int32_t>(lSeconds);
}

std::pair<size_t, size_t> ParseSelection(const std::string& aText) {
    size_t lColon = aText.find(':');
    if (lColon == std::string::npos) {
        throw UsageError(
            Format("bad selection \"{0}\": expected START:END with whole numbers", aText));
    }
    size_t lStart = ParseOffset(aText.substr(0, lColon), aText);
    size_t lEnd = ParseOffset(aText.substr(lColon + 1), aText);
    if (lEnd < lStart) {
        throw UsageError(Format("bad selection \"{0}\": END is before START", aText));
    }
    return {lStart, lEnd};
}

/// --timeout of decide and coefficients: a positive number of seconds, fractions allowed.
std::chrono::milliseconds ParseTimeLimit(const std::string& aText) {
    size_t lEnd = 0;
    double lSeconds = 0;
    try {
        lSeconds = std::stod(aText, &lEnd);
    } catch (const std::exception&) {
        lEnd = 0;
    }
    if (lEnd == 0 || lEnd != aText.size() || !(lSeconds > 0) || lSeconds > 1e9) {
        throw UsageError(Format("bad timeout \"{0}\": expected a number of seconds above 0", aText));
    }
    return std::chrono::milliseconds(std::max<long long>(1, std::llround(lSeconds * 1000)));
}

Options ParseArguments(const std::vector<std::string>& aArguments) {
    if (aArguments.empty()) {
        throw UsageError("no command given");
    }
    Options lOptions;
    lOptions.mCommand = aArguments[0];
    const std::string& lCommand = lOptions.mCommand;
    if (lCommand != "decide" && lCommand != "coefficients" && lCommand != "depict" &&
        lCommand != "prove") {
        throw UsageError(Format("unknown command \"{0}\"", lCommand));
    }
    bool lHaveFile = false;
    for (size_t i = 1; i < aArguments.size(); ++i) {
        std::string lArgument = aArguments[i];
        std::optional<std::string> lInlineValue;
        if (lArgument.rfind("--", 0) == 0) {
            size_t lEquals = lArgument.find('=');
            if (lEquals != std::string::npos) {
                lInlineValue = lArgument.substr(lEquals + 1);
                lArgument.erase(lEquals);
            }
        }
        auto fValue = [&]() -> std::string {
            if (lInlineValue) {
                return *lInlineValue;
            }
            if (i + 1 >= aArguments.size()) {
                throw UsageError(Format("option {0} needs a value", lArgument));
            }
            return aArguments[++i];
        };
        bool lSelects = lCommand == "decide" || lCommand == "depict";
        if (lArgument == "--selection" && lSelects) {
            lOptions.mSelection = ParseSelection(fValue());
        } else if (lArgument == "--engine" && lCommand == "decide") {
            const std::string lEngine = fValue();
            lOptions.mEngine = FindEngine(lEngine);
            if (lOptions.mEngine == nullptr) {
                throw UsageError(
                    Format("bad engine \"{0}\": expected {1}", lEngine, EngineNames()));
            }
        } else if (lArgument == "--explain" && lCommand == "decide" && !lInlineValue) {
            lOptions.mExplain = true;
        } else if (lArgument == "--format" && lCommand != "depict") {
            const std::string lFormat = fValue();
            if (lFormat != "text" && lFormat != "json") {
                throw UsageError(Format("bad format \"{0}\": expected text or json", lFormat));
            }
            lOptions.mJson = lFormat == "json";
        } else if (lArgument == "--output" && lCommand == "depict") {
            lOptions.mOutput = fValue();
        } else if (lArgument == "--view" && lCommand == "depict" && !lInlineValue) {
            lOptions.mView = true;
        } else if (lArgument == "--timeout" && lCommand == "prove") {
            lOptions.mTimeout = ParseTimeout(fValue());
        } else if (lArgument == "--timeout" && lCommand != "depict") {
            lOptions.mTimeLimit = ParseTimeLimit(fValue());
        } else if (lArgument.size() > 1 && lArgument[0] == '-') {
            throw UsageError(Format("unknown option \"{0}\" for {1}", aArguments[i], lCommand));
        } else if (lHaveFile) {
            throw UsageError(Format("more than one FILE given: \"{0}\"", lArgument));
        } else {
            lOptions.mFile = lArgument;
            lHaveFile = true;
        }
    }
    if (!lHaveFile) {
        throw UsageError(Format("{0} needs a FILE (or - for standard input)", lCommand));
    }
    return lOptions;
}

/// Editors that save UTF-8 with a byte-order mark show and select the text after it: the mark
/// is no part of the document, and left in place it would hide a directive on the first line.
std::string WithoutByteOrderMark(std::string aText) {
    if (aText.rfind("\xEF\xBB\xBF", 0) == 0) {
        aText.erase(0, 3);
    }
    return aText;
}

/// The whole of aStream, or nullopt when reading failed. C streams rather than iostreams: these
/// set up the C++ locale, which costs a run that decides a small document a noticeable part of
/// its time.
std::optional<std::string> ReadToEnd(std::FILE* aStream) {
    std::string lText;
    char lBuffer[65536];
    size_t lRead = 0;
    while ((lRead = std::fread(lBuffer, 1, sizeof lBuffer, aStream)) > 0) {
        lText.append(lBuffer, lRead);
    }
    if (std::ferror(aStream)) {
        return std::nullopt;
    }
    return lText;
}

std::string ReadWholeDocument(const std::string& aFile) {
    if (aFile == "-") {
        std::optional<std::string> lText = ReadToEnd(stdin);
        if (!lText) {
            throw UsageError("cannot read standard input");
        }
        return *lText;
    }
    const std::filesystem::path lPath = PathFromUtf8(aFile);
    std::error_code lError;
    if (std::filesystem::is_directory(lPath, lError)) {
        throw UsageError(Format("cannot read \"{0}\": it is a directory", aFile));
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> lStream(OpenForReading(lPath),
                                                            &std::fclose);
    std::optional<std::string> lText = lStream ? ReadToEnd(lStream.get()) : std::nullopt;
    if (!lText) {
        throw UsageError(Format("cannot read \"{0}\"", aFile));
    }
    return *lText;
}

std::string ReadDocument(const std::string& aFile) {
    return WithoutByteOrderMark(ReadWholeDocument(aFile));
}

std::string DocumentName(const std::string& aFile) {
    return aFile == "-" ? "stdin" : FileNameInUtf8(PathFromUtf8(aFile));
}

/// Says why the command could not run: on standard error, and with --format json as the JSON
/// object on standard output too.
void ReportFailure(const std::optional<std::string>& aCommand,
                   const std::optional<std::string>& aDocument, bool aJson,
                   const std::string& aMessage) {
    std::fprintf(stderr, "quendral: %s\n", aMessage.c_str());
    if (aJson) {
        std::printf("%s\n", JsonFailure(aCommand, aDocument, aMessage).c_str());
    }
}

/// The file as an editor's error parser wants it named at the start of a message line.
std::string FileForMessages(const std::string& aFile) { return aFile == "-" ? "<stdin>" : aFile; }

/// aPlace, counted in the text the command read, as a place in the whole document: a selection
/// starts at its byte aSelectionStart.
TextPlace PlaceInDocument(const std::string& aContents, const std::optional<size_t>& aSelectionStart,
                          const TextPlace& aPlace) {
    if (!aSelectionStart) {
        return aPlace;
    }
    const size_t lBefore =
        CountCharacters(std::string_view(aContents).substr(0, *aSelectionStart));
    return PlaceInText(aContents, lBefore + aPlace.mOffset, aPlace.mLength);
}

/// "FILE:LINE:COLUMN: error: MESSAGE", the form editors and compiler-error parsers jump to.
std::string LocatedError(const std::string& aFile, const TextPlace& aPlace,
                         const std::string& aMessage) {
    return Format("{0}:{1}:{2}: error: {3}", FileForMessages(aFile), aPlace.mLine,
                  aPlace.mColumn, aMessage);
}

int Run(const Options& aOptions) {
    Cancellation lCancellation;
    if (aOptions.mTimeLimit) {
        lCancellation.SetTimeLimit(*aOptions.mTimeLimit);
    }
    std::string lContents = ReadDocument(aOptions.mFile);
    std::string lSelectedText;
    if (aOptions.mSelection) {
        auto [lStart, lEnd] = *aOptions.mSelection;
        if (lEnd > lContents.size()) {
            throw UsageError(Format("bad selection {0}:{1}: the document has only {2} bytes",
                                    lStart, lEnd, lContents.size()));
        }
        lSelectedText = lContents.substr(lStart, lEnd - lStart);
    }
    std::string lName = DocumentName(aOptions.mFile);

    ConsoleReceiver lReceiver(lName, lContents, lSelectedText);
    MainFormServices lServices;
    // A run carries out one command, so only the tools of that command are looked for: a decision
    // needs none, and searching PATH for all three took some thirty file look-ups.
    const bool lDepicts = aOptions.mCommand == "depict";
    const bool lProves = aOptions.mCommand == "prove";
    lServices.mExistsInPath = [lDepicts, lProves](const std::string& aTool) {
        const bool lNeeded = aTool == MainForm::dot ? lDepicts : lProves;
        return lNeeded && MainForm::ExistsInPath(aTool);
    };
    // With JSON the log lines go into the report instead.
    auto lWindow = std::make_unique<ConsoleResultsWindow>(!aOptions.mJson);
    auto lMessageBox = std::make_unique<ConsoleMessageBox>();
    ConsoleMessageBox& rMessageBox = *lMessageBox;
    std::string lOutput = aOptions.mOutput;
    if (lOutput.empty()) {
        std::string lLabel = aOptions.mSelection ? lName + " (selected text)" : lName;
        lOutput = MainForm::ImageFileName(lLabel);
    }
    auto lViewer = std::make_unique<KeepingImageViewer>(lOutput, aOptions.mView);
    KeepingImageViewer& rViewer = *lViewer;
    lServices.mWindow = std::move(lWindow);
    lServices.mMessageBox = std::move(lMessageBox);
    lServices.mImageViewer = std::move(lViewer);
    MainForm lDriver(lReceiver, std::move(lServices));
    lDriver.SetExplainVerdicts(aOptions.mExplain);
    lDriver.SetEngine(*aOptions.mEngine);
    std::optional<size_t> lSelectionStart;
    if (aOptions.mSelection) {
        lSelectionStart = aOptions.mSelection->first;
    }
    const auto fPlaceInDocument = [&](const std::optional<TextPlace>& fPlace) {
        return fPlace ? std::optional(PlaceInDocument(lContents, lSelectionStart, *fPlace))
                      : std::nullopt;
    };
    // The depiction command's failures go to the message box, which is standard error here.
    rMessageBox.SetWriter([&](const std::string& fMessage) {
        const std::optional<TextPlace> lPlace = fPlaceInDocument(lDriver.LastFailurePlace());
        return lPlace ? LocatedError(aOptions.mFile, *lPlace, fMessage) : fMessage;
    });
    auto fFinish = [&](CommandOutcome aOutcome) {
        CommandReport lReport = lDriver.LastReport();
        lReport.mErrorPlace = fPlaceInDocument(lReport.mErrorPlace);
        // Standard output keeps the log; a failure with a place is named on standard error too.
        if (lReport.mError && lReport.mErrorPlace) {
            std::fprintf(stderr, "%s\n",
                         LocatedError(aOptions.mFile, *lReport.mErrorPlace, *lReport.mError).c_str());
        }
        if (aOptions.mJson) {
            std::printf("%s\n", JsonReport(aOptions.mCommand, lName, lReport).c_str());
        }
        return aOutcome == CommandOutcome::Failed ? Failure : Success;
    };

    // From here an interrupt stops the command, which kills the programs it started, and the
    // process ends afterwards as the interrupt would have ended it. Depicting does not look at
    // the cancellation (dot has a limit of its own), so there it ends the process at once.
    std::optional<StopOnInterrupt> lInterrupt;
    if (aOptions.mCommand != "depict") {
        lInterrupt.emplace([&lCancellation] { lCancellation.RequestStop(); });
    }
    const int lStatus = [&]() -> int {
        const bool lSelection = aOptions.mSelection.has_value();
        if (aOptions.mCommand == "decide") {
            return fFinish(lSelection ? lDriver.DecideSelectedText(&lCancellation)
                                      : lDriver.DecideActiveBuffer(&lCancellation));
        }
        if (aOptions.mCommand == "coefficients") {
            return fFinish(lDriver.CalculateCoefficientVector(&lCancellation));
        }
        if (aOptions.mCommand == "prove") {
            if (!lDriver.CanProve()) {
                ReportFailure(aOptions.mCommand, lName, aOptions.mJson,
                              Format("the prove command needs {0} and {1}, which were not both "
                                     "found in PATH.",
                                     MainForm::prover9, MainForm::mace4));
                return Failure;
            }
            return fFinish(lDriver.ExecuteProver9OnActiveBuffer(aOptions.mTimeout, &lCancellation));
        }

        if (!lDriver.CanDepict()) {
            ReportFailure(aOptions.mCommand, lName, false,
                          Format("the depict command needs Graphviz {0}, which was not found "
                                 "in PATH.",
                                 MainForm::dot));
            return Failure;
        }
        const CommandOutcome lOutcome =
            lSelection ? lDriver.DepictSelectedText() : lDriver.DepictActiveBuffer();
        if (lOutcome == CommandOutcome::Failed || rViewer.KeptPath().empty()) {
            return Failure;
        }
        // The kept picture must survive the clean-up of temporary pictures at exit.
        std::error_code lError;
        auto lKept = std::filesystem::weakly_canonical(rViewer.KeptPath(), lError);
        std::erase_if(MainForm::gFilesToDelete, [&](const std::string& fPath) {
            std::error_code lIgnored;
            return std::filesystem::weakly_canonical(fPath, lIgnored) == lKept;
        });
        std::fprintf(stderr, "Picture written to %s\n", rViewer.KeptPath().c_str());
        return Success;
    }();
    return lInterrupt && lInterrupt->Signal() != 0 ? 128 + lInterrupt->Signal() : lStatus;
}

/// Whether the arguments ask for JSON, read before they are checked: a run that fails on a bad
/// argument still answers in the form asked for.
bool AsksForJson(const std::vector<std::string>& aArguments) {
    for (size_t i = 0; i < aArguments.size(); ++i) {
        if (aArguments[i] == "--format=json" ||
            (aArguments[i] == "--format" && i + 1 < aArguments.size() &&
             aArguments[i + 1] == "json")) {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    const Utf8Console lConsole;
    std::vector<std::string> lArguments = Utf8Arguments(argc, argv);
    if (!lArguments.empty() && (lArguments[0] == "--help" || lArguments[0] == "-h")) {
        std::fputs(Usage, stdout);
        return Success;
    }
    if (!lArguments.empty() && lArguments[0] == "--version") {
        std::printf("quendral %s\n", Version);
        return Success;
    }
    std::optional<Options> lOptions;
    auto fCommand = [&]() -> std::optional<std::string> {
        if (lOptions) {
            return lOptions->mCommand;
        }
        return lArguments.empty() ? std::nullopt : std::optional(lArguments[0]);
    };
    auto fDocument = [&]() -> std::optional<std::string> {
        return lOptions ? std::optional(DocumentName(lOptions->mFile)) : std::nullopt;
    };
    auto fJson = [&] { return lOptions ? lOptions->mJson : AsksForJson(lArguments); };
    try {
        lOptions = ParseArguments(lArguments);
        return Run(*lOptions);
    } catch (const UsageError& lError) {
        ReportFailure(fCommand(), fDocument(), fJson(), lError.what());
        std::fprintf(stderr, "\n%s", Usage);
        return UsageFailure;
    } catch (const std::exception& lError) {
        ReportFailure(fCommand(), fDocument(), fJson(), lError.what());
        return Failure;
    } catch (...) {
        ReportFailure(fCommand(), fDocument(), fJson(), "an unknown failure occurred.");
        return Failure;
    }
}
