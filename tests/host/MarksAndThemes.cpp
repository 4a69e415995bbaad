// The fake host's checks of the failure mark in the editor, of the dark mode and of how an old
// host is treated.

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "Documents.h"
#include "Session.h"

namespace Logic::Testing {

namespace {

constexpr COLORREF White = RGB(255, 255, 255);

struct LineAndColumn {
    std::size_t mLine = 1;
    std::size_t mColumn = 1;
};

/// Line and column (from 1, in characters) of the byte aPosition of a UTF-8 text.
LineAndColumn PlaceOf(const std::string& aText, std::size_t aPosition) {
    LineAndColumn lPlace;
    for (std::size_t i = 0; i < aPosition && i < aText.size(); ++i) {
        const auto lByte = static_cast<unsigned char>(aText[i]);
        if (lByte == '\n') {
            ++lPlace.mLine;
            lPlace.mColumn = 1;
        } else if ((lByte & 0xC0) != 0x80) {
            ++lPlace.mColumn;
        }
    }
    return lPlace;
}

std::string Describe(const LineAndColumn& aPlace) {
    return "line " + std::to_string(aPlace.mLine) + ", column " + std::to_string(aPlace.mColumn);
}

/// The colours the results window gives its log, asked as the edit control asks.
struct LogColours {
    COLORREF mBackground = CLR_INVALID;
    COLORREF mText = CLR_INVALID;
};

LogColours AskLogColours(HWND aWindow, HWND aLog) {
    LogColours lColours;
    HDC lContext = CreateCompatibleDC(nullptr);
    SendMessageW(aWindow, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(lContext),
                 reinterpret_cast<LPARAM>(aLog));
    lColours.mBackground = GetBkColor(lContext);
    lColours.mText = GetTextColor(lContext);
    DeleteDC(lContext);
    return lColours;
}

// The document the marks are checked on: a comment line with non-ASCII text, and a statement
// joined over lines 2 and 3 whose failure lies on line 3.
const std::string FaultyLines[] = {"// \xC3\x9C"
                                   "bung \xE2\x80\x93 \xC3\xA4",
                                   "(p &", " q) & r ? s"};
// What the mark must cover (the text the failure quotes, "r?s"), and where it starts.
const std::string FaultyText = "r ? s";
constexpr LineAndColumn FaultyPlace{3, 7};

std::string Joined(const std::string& aLineEnd) {
    std::string lText;
    for (const std::string& lLine : FaultyLines) {
        lText += lLine + aLineEnd;
    }
    return lText;
}

} // namespace

int Session::MarkIndicator() const {
    return mNotepad.mAllocatedIndicators.empty() ? 9 : mNotepad.mAllocatedIndicators.front();
}

std::optional<ByteRange> Session::MarkAfter(const std::string& aWhat, const Document& aDocument,
                                            const wchar_t* aCommand) {
    mChecks.SetActivity(aWhat);
    PluginCommand lCommand = CommandNamed(aCommand);
    if (!mChecks.Check(lCommand != nullptr, aWhat + ": the table has " + Utf8(aCommand))) {
        return std::nullopt;
    }
    mNotepad.Open(aDocument);
    if (!Call(lCommand, aWhat)) {
        return std::nullopt;
    }
    mResults.Close(ResultsWindow::CloseWay::CloseButton);
    FakeEditor& rEditor = mNotepad.CurrentEditor();
    // Only the plugin's indicator may hold anything.
    std::vector<ByteRange> lRanges = rEditor.Ranges(MarkIndicator());
    std::size_t lAll = 0;
    for (const auto& [lIndicator, lFlags] : rEditor.mIndicators) {
        lAll += rEditor.Ranges(lIndicator).size();
    }
    mChecks.Check(lAll == lRanges.size() && lRanges.size() <= 1,
                  aWhat + ": at most one stretch is marked, with indicator " +
                      std::to_string(MarkIndicator()),
                  rEditor.DescribeIndicators());
    if (lRanges.empty()) {
        return std::nullopt;
    }
    return lRanges.front();
}

void Session::CheckErrorMarks() {
    PluginCommand lDecide = CommandNamed(L"Decide");
    if (!mChecks.Check(lDecide != nullptr, "the table has Decide")) {
        return;
    }
    FakeEditor& rEditor = mNotepad.CurrentEditor();

    // The same failure, read as the whole document or as a selection that starts after the
    // non-ASCII line, with either line end: the mark covers the same characters every time.
    for (const char* lLineEnd : {"\n", "\r\n"}) {
        const std::string lText = Joined(lLineEnd);
        const std::string lEnds = std::string(lLineEnd) == "\n" ? "LF" : "CR LF";
        Document lWhole = MakeDocument(L"faulty.txt", lText);
        Document lSelected = lWhole;
        lSelected.mSelectionStart = lText.find(FaultyLines[1]);
        lSelected.mSelectionEnd = lText.size();
        for (const auto& [lWhat, lDocument, lCommand] :
             {std::tuple{"Decide", lWhole, L"Decide"},
              std::tuple{"Decide Selected Text", lSelected, L"Decide Selected Text"}}) {
            const std::string lCase =
                std::string(lWhat) + " on a failure on line 3 (" + lEnds + ")";
            std::optional<ByteRange> lMark = MarkAfter(lCase, lDocument, lCommand);
            if (!mChecks.Check(lMark.has_value(), lCase + ": the failure is marked",
                               rEditor.DescribeIndicators())) {
                continue;
            }
            LineAndColumn lAt = PlaceOf(lText, lMark->mStart);
            mChecks.Check(lAt.mLine == FaultyPlace.mLine && lAt.mColumn == FaultyPlace.mColumn,
                          lCase + ": the mark starts at " + Describe(FaultyPlace),
                          "it starts at " + Describe(lAt));
            mChecks.Check(lText.substr(lMark->mStart, lMark->mEnd - lMark->mStart) == FaultyText,
                          lCase + ": the mark covers " + Quoted(std::string_view(FaultyText)),
                          "it covers " + Quoted(std::string_view(lText).substr(
                                             lMark->mStart, lMark->mEnd - lMark->mStart)));
            mChecks.Check(rEditor.Caret() == lMark->mStart &&
                              rEditor.mDocument.mSelectionStart == lMark->mStart &&
                              rEditor.mScrolledTo == lMark->mStart,
                          lCase + ": the caret is at the mark's start, scrolled into view",
                          "caret at byte " + std::to_string(rEditor.Caret()));
            mChecks.Equal(rEditor.mIndicatorStyles[MarkIndicator()], INDIC_SQUIGGLE,
                          lCase + ": the indicator is a squiggle");
            const COLORREF lColour = rEditor.mIndicatorColours[MarkIndicator()];
            mChecks.Check(GetRValue(lColour) >= 0xC0 && GetGValue(lColour) < 0x60 &&
                              GetBValue(lColour) < 0x60,
                          lCase + ": the squiggle is red");
        }
    }
    mChecks.Check(mNotepad.mAllocatedIndicators.size() == 1,
                  "the plugin asks the host for one indicator, once",
                  std::to_string(mNotepad.mAllocatedIndicators.size()) + " handed out");

    // It goes at the next command.
    const Document lFaulty = MakeDocument(L"faulty.txt", Joined("\n"));
    const std::string& lBytes = rEditor.mDocument.mBytes;
    if (MarkAfter("Decide before a good document", lFaulty, L"Decide")) {
        PluginCommand lSelected = CommandNamed(L"Decide Selected Text");
        mChecks.SetActivity("the next command");
        // The same document stays open: only the command may take the mark away.
        if (lSelected != nullptr && Call(lSelected, "Decide Selected Text with nothing selected")) {
            mResults.Close(ResultsWindow::CloseWay::CloseButton);
            mChecks.Check(rEditor.Ranges(MarkIndicator()).empty(),
                          "the next command takes the mark away", rEditor.DescribeIndicators());
        }
    }

    // Edits: before the mark it stays (and moves), touching it the mark goes.
    struct Edit {
        const char* mWhat;
        bool mInsert;
        bool mFromEnd;      ///< counted from the mark's end, else from its start
        int mFromMarkStart; ///< where, in bytes from there
        std::size_t mLength;
        bool mMarkStays;
    };
    const Edit lEdits[] = {
        {"typing on line 1", true, false, -20, 3, true},
        {"deleting on line 3 before the mark", false, false, -6, 2, true},
        {"typing on the line after the mark", true, true, 1, 2, true},
        {"typing right after the marked text", true, true, 0, 1, false},
        {"typing right before the marked text", true, false, 0, 2, false},
        {"typing inside the marked text", true, false, 2, 1, false},
        {"deleting a character of the marked text", false, false, 0, 1, false},
        {"deleting across the mark's start", false, false, -2, 3, false},
    };
    for (const Edit& lEdit : lEdits) {
        std::optional<ByteRange> lMark =
            MarkAfter(std::string("Decide before ") + lEdit.mWhat, lFaulty, L"Decide");
        if (!lMark) {
            continue;
        }
        // The stays-cases come in pairs: after an edit before it, the moved mark must still go
        // when its new place is edited.
        const std::size_t lFrom = lEdit.mFromEnd ? lMark->mEnd : lMark->mStart;
        if (!mChecks.Check(static_cast<std::ptrdiff_t>(lFrom) + lEdit.mFromMarkStart >= 0,
                           std::string(lEdit.mWhat) + ": the mark leaves room for the edit")) {
            continue;
        }
        const auto lAt =
            static_cast<std::size_t>(static_cast<std::ptrdiff_t>(lFrom) + lEdit.mFromMarkStart);
        if (lEdit.mInsert) {
            rEditor.Insert(lAt, std::string(lEdit.mLength, 'x'));
        } else {
            rEditor.Delete(lAt, lEdit.mLength);
        }
        NotifyModified(rEditor, lAt, lEdit.mInsert ? SC_MOD_INSERTTEXT : SC_MOD_DELETETEXT,
                       lEdit.mLength);
        std::vector<ByteRange> lAfter = rEditor.Ranges(MarkIndicator());
        if (!lEdit.mMarkStays) {
            mChecks.Check(lAfter.empty(), std::string(lEdit.mWhat) + " takes the mark away",
                          rEditor.DescribeIndicators());
            continue;
        }
        if (!mChecks.Check(lAfter.size() == 1, std::string(lEdit.mWhat) + " leaves the mark",
                           rEditor.DescribeIndicators())) {
            continue;
        }
        // Now type into the moved mark: the plugin must know where it went.
        rEditor.Insert(lAfter.front().mStart + 1, "y");
        NotifyModified(rEditor, lAfter.front().mStart + 1, SC_MOD_INSERTTEXT, 1);
        mChecks.Check(rEditor.Ranges(MarkIndicator()).empty(),
                      std::string("after ") + lEdit.mWhat +
                          ", an edit of the moved mark takes it away",
                      rEditor.DescribeIndicators() + " in " + Quoted(std::string_view(lBytes)));
    }

    // An edit in the other view, at the same bytes, is no edit of the mark.
    if (std::optional<ByteRange> lMark =
            MarkAfter("Decide before an edit elsewhere", lFaulty, L"Decide")) {
        NotifyModified(mNotepad.Editor(1 - mNotepad.mCurrentView), lMark->mStart, SC_MOD_INSERTTEXT,
                       1);
        mChecks.Check(rEditor.Ranges(MarkIndicator()).size() == 1,
                      "an edit in the other view leaves the mark", rEditor.DescribeIndicators());
    }
}

void Session::CheckDarkMode() {
    mChecks.SetActivity("dark mode");
    HWND lWindow = mResults.Window();
    auto fThemed = [&](unsigned long fFlags) {
        for (const ThemeRequest& lRequest : mNotepad.mThemeRequests) {
            if (lRequest.mWindow == lWindow && lRequest.mFlags == fFlags) {
                return true;
            }
        }
        return false;
    };
    auto fAllToResults = [&] {
        for (const ThemeRequest& lRequest : mNotepad.mThemeRequests) {
            if (lRequest.mWindow != lWindow) {
                return false;
            }
        }
        return true;
    };
    mChecks.Check(fThemed(dmfInit) && fAllToResults(),
                  "the results window is themed by the host at start (dmfInit, its handle)",
                  std::to_string(mNotepad.mThemeRequests.size()) + " requests");
    const COLORREF lDarkBack = mNotepad.mDarkColours.softerBackground;
    const COLORREF lDarkText = mNotepad.mDarkColours.text;
    LogColours lColours = AskLogColours(lWindow, mResults.Log());
    mChecks.Check(lColours.mBackground == lDarkBack && lColours.mText == lDarkText,
                  "in dark mode the log has the host's dark colours");

    // The user switches the mode, twice.
    for (bool lDark : {false, true}) {
        const std::string lMode = lDark ? "dark" : "light";
        mNotepad.mThemeRequests.clear();
        mNotepad.mDarkMode = lDark;
        Notify(NPPN_DARKMODECHANGED, "NPPN_DARKMODECHANGED to " + lMode);
        mChecks.Check(fThemed(dmfHandleChange) && fAllToResults() &&
                          mNotepad.mThemeRequests.size() == 1,
                      "NPPN_DARKMODECHANGED to " + lMode +
                          " themes the results window again (dmfHandleChange)");
        lColours = AskLogColours(lWindow, mResults.Log());
        mChecks.Check(lDark ? lColours.mBackground == lDarkBack && lColours.mText == lDarkText
                            : lColours.mBackground == White && lColours.mText == RGB(0, 0, 0),
                      "after the change to " + lMode + " the log has " + lMode + " colours");
    }
}

void Session::CheckDarkDockedPanel() {
    ToggleOption(L"Results in a Docked Panel", true);
    mChecks.SetActivity("the docked panel in dark mode");
    PluginCommand lDecide = CommandNamed(L"Decide");
    mNotepad.Open(MakeDocument(L"faulty.txt", Joined("\n")));
    const auto& lPanels = mNotepad.mDocking.mRegistrations;
    if (!mChecks.Check(lDecide != nullptr, "the table has Decide") ||
        !Call(lDecide, "Decide into the panel in dark mode") ||
        !mChecks.Check(lPanels.size() == 1 && IsWindow(lPanels.front().mClient),
                       "the panel is registered with its window")) {
        return;
    }
    const HWND lPanel = lPanels.front().mClient;
    const HWND lLog = FindWindowExW(lPanel, nullptr, L"Edit", nullptr);
    mChecks.Check(lLog != nullptr && GetWindowTextLengthW(lLog) > 0, "the panel's log has lines");
    auto fThemes = [&](unsigned long fFlags) {
        int lCount = 0;
        for (const ThemeRequest& lRequest : mNotepad.mThemeRequests) {
            lCount += lRequest.mWindow == lPanel && lRequest.mFlags == fFlags ? 1 : 0;
        }
        return lCount;
    };
    mChecks.Equal(fThemes(dmfInit), 1,
                  "the panel is themed by the host once it is made (dmfInit, its handle)");
    mChecks.Equal(fThemes(dmfHandleChange), 0,
                  "the panel is not themed as changed before a change");
    const COLORREF lDarkBack = mNotepad.mDarkColours.softerBackground;
    const COLORREF lDarkText = mNotepad.mDarkColours.text;
    LogColours lColours = AskLogColours(lPanel, lLog);
    mChecks.Check(lColours.mBackground == lDarkBack && lColours.mText == lDarkText,
                  "in dark mode the panel's log has the host's dark colours");

    // The user switches the mode, twice: the panel follows as the results window does.
    for (bool lDark : {false, true}) {
        const std::string lMode = lDark ? "dark" : "light";
        mNotepad.mThemeRequests.clear();
        mNotepad.mDarkMode = lDark;
        Notify(NPPN_DARKMODECHANGED, "NPPN_DARKMODECHANGED to " + lMode);
        mChecks.Equal(fThemes(dmfHandleChange), 1,
                      "NPPN_DARKMODECHANGED to " + lMode +
                          " themes the panel again (dmfHandleChange, its handle)");
        lColours = AskLogColours(lPanel, lLog);
        mChecks.Check(lDark ? lColours.mBackground == lDarkBack && lColours.mText == lDarkText
                            : lColours.mBackground == White && lColours.mText == RGB(0, 0, 0),
                      "after the change to " + lMode + " the panel's log has " + lMode +
                          " colours");
    }
}

void Session::CheckOlderHost() {
    const FakeDocking& rDocking = mNotepad.mDocking;
    std::string lHost = "a host of version " + std::to_string(rDocking.mVersion >> 16);
    for (char lDigit : std::to_string(rDocking.mVersion & 0xFFFF)) {
        lHost += std::string(".") + lDigit;
    }
    const bool lDarkIcons = rDocking.AtLeast(NppVersion(8, 0));
    mChecks.Check(mNotepad.mThemeRequests.empty(), lHost + " is asked to theme nothing");
    mChecks.Equal(static_cast<long long>(mNotepad.mDarkToolbarIcons.size()), lDarkIcons ? 1 : 0,
                  lHost + (lDarkIcons ? " gets the dark-mode toolbar icons"
                                      : " gets no dark-mode toolbar icons"));
    const Document lFaulty = MakeDocument(L"faulty.txt", Joined("\n"));
    std::optional<ByteRange> lMark = MarkAfter("Decide on " + lHost, lFaulty, L"Decide");
    if (mChecks.Check(lMark.has_value(),
                      "on " + lHost + " the failure is marked, with the fixed indicator 9",
                      mNotepad.CurrentEditor().DescribeIndicators())) {
        mChecks.Check(PlaceOf(Joined("\n"), lMark->mStart).mLine == FaultyPlace.mLine,
                      "on " + lHost + " the mark lies on line 3");
        // The editor's record as this host lays it out: an edit before the mark moves it, one
        // in the moved mark takes it away.
        FakeEditor& rEditor = mNotepad.CurrentEditor();
        rEditor.Insert(0, "xyz");
        NotifyModified(rEditor, 0, SC_MOD_INSERTTEXT, 3);
        std::vector<ByteRange> lMoved = rEditor.Ranges(MarkIndicator());
        if (mChecks.Check(lMoved.size() == 1, "on " + lHost + " typing on line 1 leaves the mark",
                          rEditor.DescribeIndicators())) {
            rEditor.Insert(lMoved.front().mStart + 1, "y");
            NotifyModified(rEditor, lMoved.front().mStart + 1, SC_MOD_INSERTTEXT, 1);
            mChecks.Check(rEditor.Ranges(MarkIndicator()).empty(),
                          "on " + lHost + ", typing into the moved mark takes it away",
                          rEditor.DescribeIndicators());
        }
    }
    Notify(NPPN_DARKMODECHANGED, "NPPN_DARKMODECHANGED on " + lHost);
    // Each newer message with the version that brought it.
    struct Newer {
        UINT mMessage;
        LRESULT mSince;
    };
    for (const Newer& lNewer : {Newer{NPPM_ADDTOOLBARICON_FORDARKMODE, NppVersion(8, 0)},
                                Newer{NPPM_ISDARKMODEENABLED, NppVersion(8, 41)},
                                Newer{NPPM_GETDARKMODECOLORS, NppVersion(8, 41)},
                                Newer{NPPM_DARKMODESUBCLASSANDTHEME, NppVersion(8, 54)},
                                Newer{NPPM_ALLOCATEINDICATOR, NppVersion(8, 56)}}) {
        if (!rDocking.AtLeast(lNewer.mSince)) {
            mChecks.Equal(mNotepad.mAllHostMessages[lNewer.mMessage], 0,
                          lHost + " is not sent message " + std::to_string(lNewer.mMessage));
        }
    }
}

void Session::ShowMarkForScreenshot(const std::wstring& aStopFile) {
    HWND lMain = mNotepad.MainWindow();
    HWND lEditor = mNotepad.CurrentEditor().Handle();
    SetWindowTextW(lMain, L"Fake Notepad++ (test host): faulty.txt");
    SetWindowPos(lMain, nullptr, 40, 40, 560, 230, SWP_NOZORDER);
    RECT lClient;
    GetClientRect(lMain, &lClient);
    MoveWindow(lEditor, 0, 0, lClient.right, lClient.bottom, TRUE);
    ShowWindow(mNotepad.Editor(1 - mNotepad.mCurrentView).Handle(), SW_HIDE);
    ShowWindow(lMain, SW_SHOWNORMAL);
    std::optional<ByteRange> lMark =
        MarkAfter("Decide for the picture", MakeDocument(L"faulty.txt", Joined("\r\n")), L"Decide");
    mChecks.Check(lMark.has_value(), "the failure is marked for the picture");
    InvalidateRect(lEditor, nullptr, TRUE);
    UpdateWindow(lEditor);
    HoldForPicture(lMain, aStopFile);
}

void Session::HoldForPicture(HWND aWindow, const std::wstring& aStopFile) {
    RECT lFrame{};
    GetWindowRect(aWindow, &lFrame);
    PrintLine("window " + std::to_string(lFrame.left) + " " + std::to_string(lFrame.top) + " " +
              std::to_string(lFrame.right - lFrame.left) + " " +
              std::to_string(lFrame.bottom - lFrame.top));
    // Keeps the window painted until the picture is taken.
    for (int lWait = 0; lWait < 600; ++lWait) {
        PumpMessages();
        if (GetFileAttributesW(aStopFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
            break;
        }
        Sleep(100);
    }
}

} // namespace Logic::Testing
