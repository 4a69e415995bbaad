#include "Documents.h"

#include <cwchar>
#include <utility>

#include "Checks.h"

namespace Logic::Testing {

namespace {

struct Example {
    const wchar_t* mName;
    const char* mText;
};

// The documents of the repository's examples folder, read in at build time.
constexpr Example Examples[] = {
#include "Examples.inc"
};

} // namespace

std::string ExampleText(const wchar_t* aName) {
    for (const Example& lExample : Examples) {
        if (std::wcscmp(lExample.mName, aName) == 0) {
            return lExample.mText;
        }
    }
    PrintLine("FATAL: the example " + Utf8(aName) + " is not built in");
    ExitProcess(2);
}

Document MakeDocument(std::wstring aName, std::string aBytes, UINT aCodePage) {
    Document lDocument;
    lDocument.mName = std::move(aName);
    lDocument.mBytes = std::move(aBytes);
    lDocument.mCodePage = aCodePage;
    return lDocument;
}

Document Selecting(Document aDocument, const std::string& aPart) {
    std::size_t lAt = aDocument.mBytes.find(aPart);
    aDocument.mSelectionStart = lAt;
    aDocument.mSelectionEnd = lAt + aPart.size();
    return aDocument;
}

} // namespace Logic::Testing
