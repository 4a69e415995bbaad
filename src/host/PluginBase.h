#pragma once
// What the plugin keeps of the host: the window handles it was given and the command table.

#include <string>

#include "host/FuncItems.h"
#include "host/NppRecords.h"

namespace Logic::Npp {

class PluginBase {
public:
    /// The host's windows, as given to setInfo.
    static NppData nppData;
    /// The one command table, made on first use and kept until the process ends.
    static FuncItems& _funcItems();

    static void SetCommand(int aIndex, const std::wstring& aCommandName,
                           PluginFunction aFunctionPointer);
    static void SetCommand(int aIndex, const std::wstring& aCommandName,
                           PluginFunction aFunctionPointer, ShortcutKey aShortcut);
    static void SetCommand(int aIndex, const std::wstring& aCommandName,
                           PluginFunction aFunctionPointer, bool aCheckOnInit);
    static void SetCommand(int aIndex, const std::wstring& aCommandName,
                           PluginFunction aFunctionPointer, ShortcutKey aShortcut,
                           bool aCheckOnInit);

    /// The editor of the view in use: the second view's when the host says so, else the main's.
    static HWND GetCurrentScintilla();
};

} // namespace Logic::Npp
