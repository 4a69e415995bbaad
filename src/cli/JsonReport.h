#pragma once
// The command-line tool's machine-readable result: one JSON object per run, for editors and
// scripts, in place of the time-stamped log lines.

#include <optional>
#include <string>

#include "driver/CommandReport.h"

namespace Logic::Cli {

/// The result of aCommand on the document named aDocument as one line of JSON:
/// {"command", "document", "lines", "ok", "error" (on failure), "error_at" (its line, column
/// and length in the document, when it concerns a place there), then what the command found:
/// "verdict" and the models of decide, "coefficients" and "polynomial", or prove's "result"}.
std::string JsonReport(const std::string& aCommand, const std::string& aDocument,
                       const CommandReport& aReport);

/// A run that failed before any command ran (a bad option, an unreadable file, a missing
/// program), in the same shape; absent command or document names are null.
std::string JsonFailure(const std::optional<std::string>& aCommand,
                        const std::optional<std::string>& aDocument, const std::string& aError);

/// The verdict's name in JSON, such as "contingent" or "valid-inconsistent-premises".
std::string VerdictName(Alethicity aAlethicity);
std::string VerdictName(Quality aQuality);

} // namespace Logic::Cli
