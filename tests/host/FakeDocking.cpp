#include "FakeDocking.h"

#include <algorithm>
#include <cwchar>

namespace Logic::Testing {

namespace {
/// A string the plugin passed, read now; absent for a null pointer.
std::optional<std::wstring> Copied(const wchar_t* aText) {
    if (aText == nullptr) {
        return std::nullopt;
    }
    return std::wstring(aText, wcsnlen(aText, 1024));
}
/// aVersion with the digits after the major version padded to three, as the editor pads them:
/// 8.7.6 is 8 and 760, 8.0 is 8 and 0.
LRESULT Padded(LRESULT aVersion) {
    LRESULT lMinor = aVersion & 0xFFFF;
    while (lMinor != 0 && lMinor < 100) {
        lMinor *= 10;
    }
    return (aVersion & ~LRESULT{0xFFFF}) | lMinor;
}
} // namespace

bool FakeDocking::AtLeast(LRESULT aVersion) const {
    return mVersion != 0 && Padded(mVersion) >= Padded(aVersion);
}

int FakeDocking::Count(UINT aMessage) const {
    auto lFound = mCounts.find(aMessage);
    return lFound == mCounts.end() ? 0 : lFound->second;
}

void FakeDocking::Layout(HWND aMainWindow) const {
    RECT lArea{};
    GetClientRect(aMainWindow, &lArea);
    for (const DockingRegistration& lPanel : mRegistrations) {
        if (IsWindow(lPanel.mClient)) {
            MoveWindow(lPanel.mClient, 0, std::max(0L, lArea.bottom - StripHeight), lArea.right,
                       std::min<LONG>(StripHeight, lArea.bottom), TRUE);
        }
    }
}

std::optional<LRESULT> FakeDocking::Answer(HWND aMainWindow, UINT aMessage, WPARAM aWParam,
                                           LPARAM aLParam) {
    switch (aMessage) {
    case NPPM_GETNPPVERSION:
        ++mCounts[aMessage];
        if (mVersion == 0) {
            return 0;
        }
        // Editors before 8.4.1 ignore the request for the padded form.
        return aWParam != 0 && AtLeast(NppVersion(8, 41)) ? Padded(mVersion) : mVersion;
    case NPPM_GETPLUGINSCONFIGDIR: {
        ++mCounts[aMessage];
        if (mVersion == 0 || mConfigFolder.empty()) {
            return FALSE;
        }
        // Without a buffer: the length it needs, NUL not counted.
        if (aLParam == 0) {
            return static_cast<LRESULT>(mConfigFolder.size());
        }
        if (aWParam < mConfigFolder.size() + 1) {
            return FALSE;
        }
        auto* lBuffer = reinterpret_cast<wchar_t*>(aLParam);
        std::copy(mConfigFolder.begin(), mConfigFolder.end(), lBuffer);
        lBuffer[mConfigFolder.size()] = L'\0';
        return TRUE;
    }
    case NPPM_SETMENUITEMCHECK:
        ++mCounts[aMessage];
        mChecks[aWParam] = aLParam != 0;
        return TRUE;
    case NPPM_DMMREGASDCKDLG: {
        ++mCounts[aMessage];
        DockingRegistration lPanel;
        // The record lives only while the message is handled: read everything now.
        if (aLParam != 0) {
            const auto& lRecord = *reinterpret_cast<const tTbData*>(aLParam);
            lPanel.mRecordGiven = true;
            lPanel.mClient = lRecord.hClient;
            lPanel.mName = Copied(lRecord.pszName);
            lPanel.mDialogId = lRecord.dlgID;
            lPanel.mMask = lRecord.uMask;
            lPanel.mIcon = lRecord.hIconTab;
            ICONINFO lInfo{};
            lPanel.mIconValid =
                lRecord.hIconTab != nullptr && GetIconInfo(lRecord.hIconTab, &lInfo);
            if (lPanel.mIconValid) {
                DeleteObject(lInfo.hbmColor);
                DeleteObject(lInfo.hbmMask);
            }
            lPanel.mAddInfo = Copied(lRecord.pszAddInfo);
            lPanel.mFloat = lRecord.rcFloat;
            lPanel.mPreviousContainer = lRecord.iPrevCont;
            lPanel.mModuleName = Copied(lRecord.pszModuleName);
        }
        mRegistrations.push_back(lPanel);
        // The host takes the window into its frame, hidden until shown.
        if (IsWindow(lPanel.mClient)) {
            ShowWindow(lPanel.mClient, SW_HIDE);
            SetParent(lPanel.mClient, aMainWindow);
            Layout(aMainWindow);
        }
        return TRUE;
    }
    case NPPM_DMMSHOW:
    case NPPM_DMMHIDE: {
        ++mCounts[aMessage];
        auto lClient = reinterpret_cast<HWND>(aLParam);
        bool lRegistered = std::any_of(
            mRegistrations.begin(), mRegistrations.end(),
            [lClient](const DockingRegistration& fPanel) { return fPanel.mClient == lClient; });
        if (lRegistered && IsWindow(lClient)) {
            ShowWindow(lClient, aMessage == NPPM_DMMSHOW ? SW_SHOW : SW_HIDE);
        }
        return TRUE;
    }
    default:
        return std::nullopt;
    }
}

} // namespace Logic::Testing
