#include "LexerScenario.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Checks.h"
#include "FakeNotepad.h"
#include "PluginLibrary.h"
#include "host/LexerInterface.h"

namespace Logic::Testing {

namespace {

using Npp::IDocument;
using Npp::ILexer5;
using Npp::SciPosition;
using Npp::SciPositionU;

/// The style file as the download carries it (resources/Quendral.xml).
constexpr char gStyleFile[] =
#include "StyleFile.inc"
    ;

// The styles the checks name, as numbered in the style file.
constexpr int CommentStyle = 1;
constexpr int ConnectiveStyle = 3;
constexpr int QuantifierStyle = 4;
constexpr int ModalStyle = 5;
constexpr int PredicateStyle = 6;
constexpr int VariableStyle = 7;
constexpr int CountingStyle = 9;
constexpr int ParenthesisStyle = 10;
constexpr int ErrorStyle = 11;

using GetLexerCountExport = int(__stdcall*)();
using GetLexerNameExport = void(__stdcall*)(unsigned int, char*, int);
using CreateLexerExport = ILexer5*(__stdcall*)(const char*);

struct LexerExports {
    explicit LexerExports(const std::wstring& aPath) : mModule(LoadLibraryW(aPath.c_str())) {
        if (mModule != nullptr) {
            mGetLexerCount = reinterpret_cast<GetLexerCountExport>(
                reinterpret_cast<void*>(GetProcAddress(mModule, "GetLexerCount")));
            mGetLexerName = reinterpret_cast<GetLexerNameExport>(
                reinterpret_cast<void*>(GetProcAddress(mModule, "GetLexerName")));
            mCreateLexer = reinterpret_cast<CreateLexerExport>(
                reinterpret_cast<void*>(GetProcAddress(mModule, "CreateLexer")));
        }
    }
    ~LexerExports() {
        if (mModule != nullptr) {
            FreeLibrary(mModule);
        }
    }
    LexerExports(const LexerExports&) = delete;
    LexerExports& operator=(const LexerExports&) = delete;

    bool Complete() const {
        return mGetLexerCount != nullptr && mGetLexerName != nullptr && mCreateLexer != nullptr;
    }

    HMODULE mModule = nullptr;
    GetLexerCountExport mGetLexerCount = nullptr;
    GetLexerNameExport mGetLexerName = nullptr;
    CreateLexerExport mCreateLexer = nullptr;
};

/// One WordsStyle entry of the style file.
struct FileStyle {
    std::string mName;
    StyleLook mLook;
};

std::optional<std::string> Attribute(std::string_view aElement, std::string_view aName) {
    const std::string lKey = " " + std::string(aName) + "=\"";
    const size_t lAt = aElement.find(lKey);
    if (lAt == std::string_view::npos) {
        return std::nullopt;
    }
    const size_t lValue = lAt + lKey.size();
    const size_t lEnd = aElement.find('"', lValue);
    return std::string(aElement.substr(lValue, lEnd - lValue));
}

std::optional<COLORREF> Colour(const std::optional<std::string>& aHex) {
    if (!aHex || aHex->size() != 6) {
        return std::nullopt;
    }
    const unsigned long lValue = std::stoul(*aHex, nullptr, 16);
    // The file writes RRGGBB.
    return RGB((lValue >> 16) & 0xFF, (lValue >> 8) & 0xFF, lValue & 0xFF);
}

/// The file's styles by styleID.
std::map<int, FileStyle> StylesOfFile() {
    std::map<int, FileStyle> lStyles;
    const std::string_view lText = gStyleFile;
    for (size_t lAt = lText.find("<WordsStyle"); lAt != std::string_view::npos;
         lAt = lText.find("<WordsStyle", lAt + 1)) {
        const std::string_view lElement = lText.substr(lAt, lText.find("/>", lAt) - lAt);
        const std::optional<std::string> lId = Attribute(lElement, "styleID");
        if (!lId) {
            continue;
        }
        FileStyle& rStyle = lStyles[std::stoi(*lId)];
        rStyle.mName = Attribute(lElement, "name").value_or("");
        rStyle.mLook.mFore = Colour(Attribute(lElement, "fgColor"));
        rStyle.mLook.mBack = Colour(Attribute(lElement, "bgColor"));
        const int lFontStyle = std::stoi(Attribute(lElement, "fontStyle").value_or("0"));
        rStyle.mLook.mBold = (lFontStyle & 1) != 0;
        rStyle.mLook.mItalic = (lFontStyle & 2) != 0;
    }
    return lStyles;
}

/// The fake editor's document as a lexer reads and styles it, with the state Scintilla keeps
/// for each line. Calls outside the document are noted as faults, not carried out.
class EditorDocument final : public IDocument {
public:
    explicit EditorDocument(FakeEditor& aEditor) : mEditor(aEditor) {}

    int __stdcall Version() const override { return Npp::DocumentVersion; }
    void __stdcall SetErrorStatus(int aStatus) override {
        Fault("SetErrorStatus(" + std::to_string(aStatus) + ")");
    }
    SciPosition __stdcall Length() const override {
        return static_cast<SciPosition>(Bytes().size());
    }
    void __stdcall GetCharRange(char* aBuffer, SciPosition aPosition,
                                SciPosition aLength) const override {
        if (aBuffer == nullptr || aPosition < 0 || aLength < 0 || aPosition + aLength > Length()) {
            Fault("GetCharRange outside the document");
            return;
        }
        std::memcpy(aBuffer, Bytes().data() + aPosition, static_cast<size_t>(aLength));
    }
    char __stdcall StyleAt(SciPosition aPosition) const override {
        const auto& lStyles = mEditor.mStyles;
        return aPosition >= 0 && static_cast<size_t>(aPosition) < lStyles.size()
                   ? static_cast<char>(lStyles[static_cast<size_t>(aPosition)])
                   : 0;
    }
    SciPosition __stdcall LineFromPosition(SciPosition aPosition) const override {
        const size_t lEnd = static_cast<size_t>(std::clamp<SciPosition>(aPosition, 0, Length()));
        SciPosition lLine = 0;
        for (size_t lByte = 0; lByte < lEnd; ++lByte) {
            lLine += Bytes()[lByte] == '\n' ? 1 : 0;
        }
        return lLine;
    }
    SciPosition __stdcall LineStart(SciPosition aLine) const override {
        if (aLine <= 0) {
            return 0;
        }
        SciPosition lLine = 0;
        for (size_t lByte = 0; lByte < Bytes().size(); ++lByte) {
            if (Bytes()[lByte] == '\n' && ++lLine == aLine) {
                return static_cast<SciPosition>(lByte + 1);
            }
        }
        return Length();
    }
    int __stdcall GetLevel(SciPosition) const override { return 0x400; }
    int __stdcall SetLevel(SciPosition, int) override { return 0x400; }
    int __stdcall GetLineState(SciPosition aLine) const override {
        const auto lFound = mLineStates.find(aLine);
        return lFound == mLineStates.end() ? 0 : lFound->second;
    }
    int __stdcall SetLineState(SciPosition aLine, int aState) override {
        if (aLine < 0 || aLine > LineFromPosition(Length())) {
            Fault("SetLineState of line " + std::to_string(aLine) + ", beyond the document");
            return 0;
        }
        const int lOld = GetLineState(aLine);
        mLineStates[aLine] = aState;
        return lOld;
    }
    void __stdcall StartStyling(SciPosition aPosition) override { mStylingAt = aPosition; }
    bool __stdcall SetStyleFor(SciPosition aLength, char aStyle) override {
        const std::string lStyles(static_cast<size_t>(std::max<SciPosition>(aLength, 0)), aStyle);
        return SetStyles(aLength, lStyles.data());
    }
    bool __stdcall SetStyles(SciPosition aLength, const char* aStyles) override {
        if (aStyles == nullptr || aLength < 0 || mStylingAt < 0 ||
            mStylingAt + aLength > Length()) {
            Fault("SetStyles outside the document");
            return false;
        }
        auto& rStyles = mEditor.mStyles;
        // Scintilla's styles cover the whole document; bytes not yet styled are 0.
        rStyles.resize(Bytes().size(), 0);
        for (SciPosition lByte = 0; lByte < aLength; ++lByte) {
            rStyles[static_cast<size_t>(mStylingAt + lByte)] =
                static_cast<unsigned char>(aStyles[lByte]);
        }
        mStylingAt += aLength;
        mStyledTo = std::max(mStyledTo, mStylingAt);
        return true;
    }
    void __stdcall DecorationSetCurrentIndicator(int) override {}
    void __stdcall DecorationFillRange(SciPosition, int, SciPosition) override {}
    void __stdcall ChangeLexerState(SciPosition, SciPosition) override {}
    int __stdcall CodePage() const override { return SC_CP_UTF8; }
    bool __stdcall IsDBCSLeadByte(char) const override { return false; }
    const char* __stdcall BufferPointer() override { return Bytes().c_str(); }
    int __stdcall GetLineIndentation(SciPosition) override { return 0; }
    SciPosition __stdcall LineEnd(SciPosition aLine) const override {
        const SciPosition lNext = LineStart(aLine + 1);
        return lNext > LineStart(aLine) && Bytes()[static_cast<size_t>(lNext - 1)] == '\n'
                   ? lNext - 1
                   : lNext;
    }
    SciPosition __stdcall GetRelativePosition(SciPosition aStart,
                                              SciPosition aCharacters) const override {
        const SciPosition lPosition = aStart + aCharacters;
        return lPosition < 0 || lPosition > Length() ? -1 : lPosition;
    }
    int __stdcall GetCharacterAndWidth(SciPosition aPosition, SciPosition* aWidth) const override {
        if (aWidth != nullptr) {
            *aWidth = 1;
        }
        return aPosition >= 0 && aPosition < Length()
                   ? static_cast<unsigned char>(Bytes()[static_cast<size_t>(aPosition)])
                   : 0;
    }

    /// How far the lexer has styled since the document was made.
    SciPosition StyledTo() const { return mStyledTo; }
    /// What Scintilla does on an edit at aPosition: the styles from there on are no longer
    /// styled, and the line states stay with their lines.
    void EditedAt(SciPosition aPosition) { mStyledTo = std::min(mStyledTo, aPosition); }

private:
    const std::string& Bytes() const { return mEditor.mDocument.mBytes; }
    void Fault(std::string aWhat) const { mFaultsSeen.push_back(std::move(aWhat)); }

    FakeEditor& mEditor;
    std::map<SciPosition, int> mLineStates;
    SciPosition mStylingAt = 0;
    SciPosition mStyledTo = 0;

public:
    /// Calls outside the document, and error statuses, described; const calls note them too.
    mutable std::vector<std::string> mFaultsSeen;
};

std::string Faults(const EditorDocument& aDocument) {
    std::string lAll;
    for (const std::string& lFault : aDocument.mFaultsSeen) {
        lAll += (lAll.empty() ? "" : "; ") + lFault;
    }
    return lAll;
}

/// Lexes what Scintilla would after aDocument was styled up to StyledTo: from the start of
/// that line to the end.
void LexRest(ILexer5& aLexer, EditorDocument& aDocument) {
    const SciPosition lFrom = aDocument.LineStart(aDocument.LineFromPosition(aDocument.StyledTo()));
    aLexer.Lex(static_cast<SciPositionU>(lFrom), aDocument.Length() - lFrom,
               lFrom > 0 ? aDocument.StyleAt(lFrom - 1) : 0, &aDocument);
}

std::string StyleList(const std::vector<unsigned char>& aStyles) {
    std::string lText;
    for (unsigned char lStyle : aStyles) {
        lText += (lText.empty() ? "" : " ") + std::to_string(lStyle);
    }
    return lText;
}

void CheckExports(Checks& aChecks, const LexerExports& aExports) {
    aChecks.Equal(aExports.mGetLexerCount(), 1, "GetLexerCount offers one lexer");
    char lName[64];
#if defined(__i386__)
    struct {
        unsigned int mIndex;
        char* mName;
        int mLength;
    } lArguments{0, lName, sizeof lName};
    aChecks.Equal(FakeHostArgumentBytesRemovedByCallee(
                      reinterpret_cast<const void*>(aExports.mGetLexerName), &lArguments,
                      sizeof lArguments),
                  sizeof lArguments, "GetLexerName removes its arguments (stdcall)");
#else
    aExports.mGetLexerName(0, lName, sizeof lName);
#endif
    aChecks.Equal(Utf16(lName), L"Quendral", "GetLexerName names the lexer");
    char lShort[8];
    std::memset(lShort, 'x', sizeof lShort);
    aExports.mGetLexerName(0, lShort, 4);
    aChecks.Check(std::string_view(lShort, 4) == std::string_view("Que\0", 4) && lShort[4] == 'x',
                  "GetLexerName cuts the name to the buffer, its NUL included, and writes no "
                  "further");
    std::memset(lShort, 'x', sizeof lShort);
    aExports.mGetLexerName(1, lShort, sizeof lShort);
    aChecks.Equal(Utf16(std::string(lShort, strnlen(lShort, sizeof lShort))), L"",
                  "GetLexerName of a second lexer gives an empty name");
    aChecks.Check(aExports.mCreateLexer("Quendral2") == nullptr &&
                      aExports.mCreateLexer("quendral") == nullptr &&
                      aExports.mCreateLexer(nullptr) == nullptr,
                  "CreateLexer makes no lexer for another name");
}

void CheckLexerObject(Checks& aChecks, ILexer5& aLexer) {
    aChecks.Equal(aLexer.Version(), Npp::LexerVersion5, "the lexer is of version 3 (ILexer5)");
    aChecks.Equal(Utf16(aLexer.GetName()), L"Quendral", "GetName");
#if defined(__i386__)
    // NameOfStyle, the 23rd entry of the table: the object and the style go on the stack and the
    // callee removes both; called as thiscall it would have removed only the style.
    void* const* lTable = *reinterpret_cast<void* const* const*>(&aLexer);
    struct {
        ILexer5* mThis;
        int mStyle;
    } lArguments{&aLexer, 1};
    aChecks.Equal(FakeHostArgumentBytesRemovedByCallee(lTable[22], &lArguments, sizeof lArguments),
                  sizeof lArguments, "the lexer's methods are stdcall, the object on the stack");
#endif
    const std::map<int, FileStyle> lFileStyles = StylesOfFile();
    aChecks.Equal(aLexer.NamedStyles(), static_cast<long long>(lFileStyles.size()),
                  "the lexer has as many styles as the style file");
    for (const auto& [lId, lStyle] : lFileStyles) {
        aChecks.Equal(Utf16(aLexer.NameOfStyle(lId)), Utf16(lStyle.mName),
                      "style " + std::to_string(lId) + " has the style file's name");
    }
    aChecks.Equal(Utf16(aLexer.NameOfStyle(-1)), L"", "no style -1");
    aChecks.Equal(Utf16(aLexer.NameOfStyle(1000)), L"", "no style 1000");
}

void CheckLexing(Checks& aChecks, ILexer5& aLexer, FakeNotepad& aNotepad) {
    // Line 0: a quantified conditional with a comment; line 1: "(" that closes nowhere, and the
    // possibility symbol U+25C7; line 2: a counting form and a binary predication.
    const std::string lText = "x, Fx -> []Gx   // every F is G\n"
                              "(p & \xE2\x97\x87q\n"
                              "2F | aRb\n";
    FakeEditor& rEditor = aNotepad.Editor(0);
    rEditor.mDocument.mBytes = lText;
    rEditor.mStyles.clear();
    EditorDocument lDocument(rEditor);
    aLexer.Lex(0, lDocument.Length(), 0, &lDocument);
    aChecks.Equal(Utf16(Faults(lDocument)), L"", "the lexer stays inside the document");
    aChecks.Equal(static_cast<long long>(lDocument.StyledTo()), static_cast<long long>(lText.size()),
                  "the whole document is styled");
    const SciPosition lLine1 = lDocument.LineStart(1);
    const SciPosition lLine2 = lDocument.LineStart(2);
    const struct {
        SciPosition mPosition;
        int mStyle;
        const char* mWhat;
    } lExpected[] = {
        {0, QuantifierStyle, "x, is a quantifier"},
        {3, PredicateStyle, "F of Fx is a predicate"},
        {4, VariableStyle, "x of Fx is a variable"},
        {7, ConnectiveStyle, "> of -> is a connective"},
        {9, ModalStyle, "[ of [] is modal"},
        {16, CommentStyle, "// begins a comment"},
        {30, CommentStyle, "the comment runs to the end of the line"},
        {lLine1, ErrorStyle, "( that never closes is an error"},
        {lLine1 + 3, ConnectiveStyle, "& is a connective"},
        {lLine1 + 5, ModalStyle, "the first byte of U+25C7 is modal"},
        {lLine1 + 7, ModalStyle, "its last byte too"},
        {lLine2, CountingStyle, "2F is a counting form"},
        {lLine2 + 6, PredicateStyle, "R of aRb is a predicate"},
    };
    for (const auto& lCheck : lExpected) {
        aChecks.Equal(lDocument.StyleAt(lCheck.mPosition), lCheck.mStyle, lCheck.mWhat);
    }
    aChecks.Equal(lDocument.GetLineState(2), 1, "line 2 starts inside one parenthesis");

    // ")" typed at the end of line 2 closes the "(" of line 1: Scintilla restyles from line 2,
    // and the lexer must go back to line 1 to find it.
    const SciPosition lEdit = lDocument.LineEnd(2);
    rEditor.Insert(static_cast<size_t>(lEdit), ")");
    lDocument.EditedAt(lEdit);
    LexRest(aLexer, lDocument);
    aChecks.Equal(lDocument.StyleAt(lLine1), ParenthesisStyle,
                  "after the edit the ( of line 1 has its partner");
    aChecks.Equal(lDocument.StyleAt(lEdit), ParenthesisStyle, "and so has the new )");

    FakeEditor& rFresh = aNotepad.Editor(1);
    rFresh.mDocument.mBytes = rEditor.mDocument.mBytes;
    rFresh.mStyles.clear();
    EditorDocument lFreshDocument(rFresh);
    aLexer.Lex(0, lFreshDocument.Length(), 0, &lFreshDocument);
    aChecks.Check(rFresh.mStyles == rEditor.mStyles,
                  "restyling after the edit gives the styles of styling the edited text afresh",
                  "after the edit " + StyleList(rEditor.mStyles) + ", afresh " +
                      StyleList(rFresh.mStyles));

    // Deleting the ")" again: the "(" is an error once more.
    rEditor.Delete(static_cast<size_t>(lEdit), 1);
    lDocument.EditedAt(lEdit);
    LexRest(aLexer, lDocument);
    aChecks.Equal(lDocument.StyleAt(lLine1), ErrorStyle, "without the ) the ( is an error again");

    // Restyling line 1 alone still applies the directive of line 0: "and" is "&".
    FakeEditor& rReplaced = aNotepad.Editor(1);
    rReplaced.mDocument.mBytes = "#replace and &\np and q\n";
    rReplaced.mStyles.clear();
    EditorDocument lReplacedDocument(rReplaced);
    const SciPosition lSecondLine = lReplacedDocument.LineStart(1);
    aLexer.Lex(static_cast<SciPositionU>(lSecondLine), lReplacedDocument.Length() - lSecondLine, 0,
               &lReplacedDocument);
    aChecks.Equal(lReplacedDocument.StyleAt(lSecondLine + 2), ConnectiveStyle,
                  "a word the directive above replaces by & is a connective");

    // What the editor should never send does no harm.
    aLexer.Lex(static_cast<SciPositionU>(lDocument.Length() + 10), 5, 0, &lDocument);
    aLexer.Lex(0, 10, 0, nullptr);
    aChecks.Equal(Utf16(Faults(lDocument)), L"",
                  "the lexer stays inside the document, whatever it is asked");
}

} // namespace

int RunLexerScenario(const std::wstring& aPlugin) {
    Checks lChecks(Utf8(LexerScenarioName));
    {
        LexerExports lExports(aPlugin);
        if (lChecks.Check(lExports.Complete(), "the library exports GetLexerCount, GetLexerName "
                                               "and CreateLexer")) {
            lChecks.SetActivity("calling the lexer's exports");
            CheckExports(lChecks, lExports);
            ILexer5* lLexer = lExports.mCreateLexer("Quendral");
            if (lChecks.Check(lLexer != nullptr, "CreateLexer makes the lexer it names")) {
                FakeNotepad lNotepad;
                lChecks.SetActivity("asking the lexer about itself");
                CheckLexerObject(lChecks, *lLexer);
                lChecks.SetActivity("lexing");
                CheckLexing(lChecks, *lLexer, lNotepad);
                lLexer->Release();
            }
        }
    }
    PrintLine(lChecks.Summary());
    return lChecks.Failed() == 0 ? 0 : 1;
}

int RunLexerScreenshot(const std::wstring& aPlugin, const std::wstring& aStopFile, bool aDark) {
    Checks lChecks("screenshot-lexer");
    LexerExports lExports(aPlugin);
    ILexer5* lLexer = lExports.Complete() ? lExports.mCreateLexer("Quendral") : nullptr;
    if (!lChecks.Check(lLexer != nullptr, "the lexer is made for the picture")) {
        PrintLine(lChecks.Summary());
        return 1;
    }
    FakeNotepad lNotepad;
    FakeEditor& rEditor = lNotepad.Editor(0);
    rEditor.mDocument.mBytes = "#replace some 3\n"
                               "#replace and &\n"
                               "// Every philosopher is mortal; Socrates is one.\n"
                               "x, Px -> Mx\n"
                               "Ps\n"
                               ".'.\n"
                               "Ms and some y, (y=s & ~[]My)\n"
                               "\xE2\x88\x80x (Fx \xE2\x86\x92 \xE2\x97\x87\xC2\xAC" "Gx) "
                               "\xE2\x88\xA7 2F | SaP'\n"
                               "(p & q | 3pqr\n";
    rEditor.mDocument.mSelectionStart = rEditor.mDocument.mSelectionEnd = 0;
    rEditor.mShowCaret = false;
    // A face with the logic symbols; without it they would show as boxes.
    rEditor.mFontName = L"DejaVu Sans Mono";
    EditorDocument lDocument(rEditor);
    lLexer->Lex(0, lDocument.Length(), 0, &lDocument);
    for (const auto& [lId, lStyle] : StylesOfFile()) {
        rEditor.mStyleLooks[lId] = lStyle.mLook;
    }
    if (aDark) {
        rEditor.mPaper = lNotepad.mDarkColours.background;
        rEditor.mInk = lNotepad.mDarkColours.text;
    }
    HWND lMain = lNotepad.MainWindow();
    SetWindowTextW(lMain, L"Fake Notepad++ (test host): socrates.quendral");
    SetWindowPos(lMain, nullptr, 40, 40, 560, 320, SWP_NOZORDER);
    RECT lClient;
    GetClientRect(lMain, &lClient);
    MoveWindow(rEditor.Handle(), 0, 0, lClient.right, lClient.bottom, TRUE);
    ShowWindow(lNotepad.Editor(1).Handle(), SW_HIDE);
    ShowWindow(lMain, SW_SHOWNORMAL);
    InvalidateRect(rEditor.Handle(), nullptr, TRUE);
    UpdateWindow(rEditor.Handle());
    RECT lFrame{};
    GetWindowRect(lMain, &lFrame);
    PrintLine("window " + std::to_string(lFrame.left) + " " + std::to_string(lFrame.top) + " " +
              std::to_string(lFrame.right - lFrame.left) + " " +
              std::to_string(lFrame.bottom - lFrame.top));
    for (int lWait = 0; lWait < 600; ++lWait) {
        PumpMessages();
        if (GetFileAttributesW(aStopFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
            break;
        }
        Sleep(100);
    }
    lLexer->Release();
    lNotepad.Close();
    PrintLine(lChecks.Summary());
    return lChecks.Failed() == 0 ? 0 : 1;
}

} // namespace Logic::Testing
