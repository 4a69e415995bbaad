#pragma once
// The plugin DLL loaded the way Notepad++ loads it, with its six exports looked up by name.

#include <windows.h>

#include <string>

#include "PluginAbi.h"

namespace Logic::Testing {

class PluginLibrary {
public:
    /// Loads the DLL at aPath; Loaded() tells whether that worked.
    explicit PluginLibrary(const std::wstring& aPath);
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool Loaded() const { return mModule != nullptr; }
    DWORD LoadError() const { return mLoadError; }
    /// The names of the exports that were not found, separated by spaces; empty when all were.
    std::string MissingExports() const;
    /// FreeLibrary, as the host does after NPPN_SHUTDOWN when it ends.
    void Unload();

    IsUnicodeExport isUnicode = nullptr;
    SetInfoExport setInfo = nullptr;
    GetFuncsArrayExport getFuncsArray = nullptr;
    MessageProcExport messageProc = nullptr;
    GetNameExport getName = nullptr;
    BeNotifiedExport beNotified = nullptr;

private:
    HMODULE mModule = nullptr;
    DWORD mLoadError = 0;
};

#if defined(__i386__)
/// Calls aFunction with the aBytes bytes at aArguments as its stack arguments and returns how
/// many bytes of them the callee removed: 0 for the C calling convention, aBytes for stdcall.
extern "C" unsigned FakeHostArgumentBytesRemovedByCallee(const void* aFunction,
                                                         const void* aArguments, unsigned aBytes);
#endif

} // namespace Logic::Testing
