#pragma once
// The mark under the text a command failed on: a red squiggle in the editor the text was read
// from, with the caret moved to its start. It goes at the next command and as soon as the user
// edits the marked text.

#include <windows.h>

#include <cstdint>
#include <optional>

#include "parser/TextPlace.h"

namespace Logic::Npp {

class ErrorIndicator {
public:
    /// Used where the host cannot hand one out (before 8.5.6): a fixed number low in the range
    /// Scintilla gives the application (8 to 31); the host's own indicators sit at its top.
    static constexpr int FixedIndicator = 9;
    static constexpr COLORREF Colour = RGB(0xE0, 0x10, 0x10);

    /// The command reads text of aEditor that starts aBase bytes into its document (0 for the
    /// whole document, the selection's start for the selection).
    void NoteTextRead(HWND aEditor, intptr_t aBase);

    /// Marks aPlace, in characters of the text last read, and moves the caret to its start. A
    /// place no longer in the document (it was edited since) is left unmarked.
    void Show(const TextPlace& aPlace);
    /// Takes the mark away, if there is one.
    void Clear();

    /// The editor aEditor inserted (SC_MOD_INSERTTEXT) or deleted (SC_MOD_DELETETEXT) aLength
    /// bytes at aPosition. An edit that touches the mark takes it away; one before it moves it.
    void OnModified(HWND aEditor, intptr_t aPosition, int aModificationType, intptr_t aLength);
    /// Decodes an SCN_MODIFIED record as the host lays it out and passes it to OnModified.
    void OnModifiedRecord(const void* aRecord);

    bool Marked() const { return mMarkedEditor != nullptr; }

private:
    int Indicator();

    HWND mReadEditor = nullptr;
    intptr_t mReadBase = 0;
    std::optional<int> mIndicator;
    HWND mMarkedEditor = nullptr;
    intptr_t mStart = 0;
    intptr_t mEnd = 0;
};

} // namespace Logic::Npp
