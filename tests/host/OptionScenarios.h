#pragma once
// The scenarios of the option commands, the settings file, the docking panel and an old editor.

#include <optional>
#include <string>
#include <vector>

namespace Logic::Testing {

/// The scenarios' names, each run in a process of its own.
const std::vector<std::wstring>& OptionScenarioNames();
/// Runs the scenario aName in this process and prints its summary; nothing when aName is none
/// of these. The exit code: 0 when every check passed.
std::optional<int> RunOptionScenario(const std::wstring& aPlugin, const std::wstring& aName);
/// The docking panel shown at the bottom of the host, for a picture, until aStopFile exists.
int RunPanelScreenshot(const std::wstring& aPlugin, const std::wstring& aStopFile);

} // namespace Logic::Testing
