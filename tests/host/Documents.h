#pragma once
// The documents the scenarios open in the fake editor: the repository's examples, built in, and
// documents made of any bytes, with or without a selection.

#include <windows.h>

#include <string>

#include "FakeNotepad.h"

namespace Logic::Testing {

/// The text of the example file aName (examples/ of the repository, read in at build time); ends
/// the process when there is none of that name.
std::string ExampleText(const wchar_t* aName);

/// A document named aName holding aBytes in the editor's code page aCodePage.
Document MakeDocument(std::wstring aName, std::string aBytes, UINT aCodePage = SC_CP_UTF8);

/// aDocument with the first occurrence of aPart selected.
Document Selecting(Document aDocument, const std::string& aPart);

} // namespace Logic::Testing
