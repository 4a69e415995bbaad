#include "host/ErrorIndicator.h"

#include <cstring>

#include "host/DisplayRecords.h"
#include "host/HostVersion.h"
#include "host/PluginBase.h"

namespace Logic::Npp {

namespace {

LRESULT Send(HWND aEditor, UINT aMessage, WPARAM aWParam = 0, LPARAM aLParam = 0) {
    return SendMessageW(aEditor, aMessage, aWParam, aLParam);
}

/// aCharacters characters on from aFrom; nothing when that is past the document's end (the
/// editor answers 0 then).
std::optional<intptr_t> CharactersOn(HWND aEditor, intptr_t aFrom, intptr_t aCharacters) {
    intptr_t lPosition = Send(aEditor, SCI_POSITIONRELATIVE, static_cast<WPARAM>(aFrom),
                              static_cast<LPARAM>(aCharacters));
    if (aCharacters != 0 && lPosition == 0) {
        return std::nullopt;
    }
    return lPosition;
}

} // namespace

void ErrorIndicator::NoteTextRead(HWND aEditor, intptr_t aBase) {
    mReadEditor = aEditor;
    mReadBase = aBase;
}

int ErrorIndicator::Indicator() {
    if (!mIndicator) {
        mIndicator = FixedIndicator;
        if (HostVersion::HasIndicatorAllocation()) {
            int lFirst = -1;
            if (SendMessageW(PluginBase::nppData._nppHandle, NPPM_ALLOCATEINDICATOR, 1,
                             reinterpret_cast<LPARAM>(&lFirst)) != FALSE &&
                lFirst >= INDICATOR_CONTAINER && lFirst <= INDICATOR_CONTAINER_LAST) {
                mIndicator = lFirst;
            }
        }
    }
    return *mIndicator;
}

void ErrorIndicator::Show(const TextPlace& aPlace) {
    Clear();
    HWND lEditor = mReadEditor;
    if (lEditor == nullptr || !IsWindow(lEditor)) {
        return;
    }
    std::optional<intptr_t> lStart =
        CharactersOn(lEditor, mReadBase, static_cast<intptr_t>(aPlace.mOffset));
    if (!lStart) {
        return;
    }
    // A place of no characters (the text ended too early) is shown on the character there, or
    // on the last one when it lies at the very end.
    intptr_t lCharacters = aPlace.mLength > 0 ? static_cast<intptr_t>(aPlace.mLength) : 1;
    std::optional<intptr_t> lEnd = CharactersOn(lEditor, *lStart, lCharacters);
    if (!lEnd) {
        lEnd = Send(lEditor, SCI_GETLENGTH);
    }
    if (*lEnd <= *lStart && *lStart > 0) {
        lEnd = lStart;
        lStart = CharactersOn(lEditor, *lEnd, -1).value_or(*lEnd);
    }
    if (*lEnd > *lStart) {
        const int lIndicator = Indicator();
        // The style belongs to the editor; each of the host's two has its own.
        Send(lEditor, SCI_INDICSETSTYLE, static_cast<WPARAM>(lIndicator), INDIC_SQUIGGLE);
        Send(lEditor, SCI_INDICSETFORE, static_cast<WPARAM>(lIndicator), Colour);
        Send(lEditor, SCI_SETINDICATORCURRENT, static_cast<WPARAM>(lIndicator));
        Send(lEditor, SCI_INDICATORFILLRANGE, static_cast<WPARAM>(*lStart),
             static_cast<LPARAM>(*lEnd - *lStart));
        mMarkedEditor = lEditor;
        mStart = *lStart;
        mEnd = *lEnd;
    }
    // The caret goes to the start, which the editor scrolls into view.
    Send(lEditor, SCI_GOTOPOS, static_cast<WPARAM>(*lStart));
    Send(lEditor, SCI_SCROLLCARET);
}

void ErrorIndicator::Clear() {
    HWND lEditor = mMarkedEditor;
    mMarkedEditor = nullptr;
    if (lEditor == nullptr || !IsWindow(lEditor) || !mIndicator) {
        return;
    }
    // The whole document: the mark may have moved with edits this plugin was not told of.
    Send(lEditor, SCI_SETINDICATORCURRENT, static_cast<WPARAM>(*mIndicator));
    Send(lEditor, SCI_INDICATORCLEARRANGE, 0, Send(lEditor, SCI_GETLENGTH));
}

void ErrorIndicator::OnModified(HWND aEditor, intptr_t aPosition, int aModificationType,
                                intptr_t aLength) {
    if (mMarkedEditor == nullptr || aEditor != mMarkedEditor || aLength <= 0) {
        return;
    }
    if ((aModificationType & SC_MOD_INSERTTEXT) != 0) {
        if (aPosition < mStart) {
            mStart += aLength;
            mEnd += aLength;
        } else if (aPosition <= mEnd) {
            // Typed into the marked text or right at either end of it.
            Clear();
        }
    } else if ((aModificationType & SC_MOD_DELETETEXT) != 0) {
        if (aPosition + aLength <= mStart) {
            mStart -= aLength;
            mEnd -= aLength;
        } else if (aPosition <= mEnd) {
            Clear();
        }
    }
}

void ErrorIndicator::OnModifiedRecord(const void* aRecord) {
    if (mMarkedEditor == nullptr || aRecord == nullptr) {
        return;
    }
    // Only the fields every host has up to the length are read.
#ifdef _WIN64
    if (!HostVersion::HasPointerSizedPositions()) {
        SciModifiedPrefix32BitPositions lOld;
        std::memcpy(&lOld, aRecord, sizeof lOld);
        OnModified(static_cast<HWND>(lOld.nmhdr.hwndFrom), lOld.position, lOld.modificationType,
                   lOld.length);
        return;
    }
#endif
    SciModifiedPrefix lRecord;
    std::memcpy(&lRecord, aRecord, sizeof lRecord);
    OnModified(static_cast<HWND>(lRecord.nmhdr.hwndFrom), lRecord.position,
               lRecord.modificationType, lRecord.length);
}

} // namespace Logic::Npp
