#include "PluginLibrary.h"

namespace Logic::Testing {

namespace {

template <typename T> T Export(HMODULE aModule, const char* aName) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(aModule, aName)));
}

} // namespace

PluginLibrary::PluginLibrary(const std::wstring& aPath) {
    mModule = LoadLibraryW(aPath.c_str());
    if (mModule == nullptr) {
        mLoadError = GetLastError();
        return;
    }
    isUnicode = Export<IsUnicodeExport>(mModule, "isUnicode");
    setInfo = Export<SetInfoExport>(mModule, "setInfo");
    getFuncsArray = Export<GetFuncsArrayExport>(mModule, "getFuncsArray");
    messageProc = Export<MessageProcExport>(mModule, "messageProc");
    getName = Export<GetNameExport>(mModule, "getName");
    beNotified = Export<BeNotifiedExport>(mModule, "beNotified");
}

std::string PluginLibrary::MissingExports() const {
    std::string lMissing;
    auto fNote = [&lMissing](const void* fExport, const char* fName) {
        if (fExport == nullptr) {
            lMissing += (lMissing.empty() ? "" : " ") + std::string(fName);
        }
    };
    fNote(reinterpret_cast<const void*>(isUnicode), "isUnicode");
    fNote(reinterpret_cast<const void*>(setInfo), "setInfo");
    fNote(reinterpret_cast<const void*>(getFuncsArray), "getFuncsArray");
    fNote(reinterpret_cast<const void*>(messageProc), "messageProc");
    fNote(reinterpret_cast<const void*>(getName), "getName");
    fNote(reinterpret_cast<const void*>(beNotified), "beNotified");
    return lMissing;
}

void PluginLibrary::Unload() {
    if (mModule != nullptr) {
        FreeLibrary(mModule);
        mModule = nullptr;
    }
    isUnicode = nullptr;
    setInfo = nullptr;
    getFuncsArray = nullptr;
    messageProc = nullptr;
    getName = nullptr;
    beNotified = nullptr;
}

#if defined(__i386__)
// The stack pointer is compared right around the call, where no compiler bookkeeping can hide a
// callee that pops its own arguments.
asm(R"(
    .text
    .globl _FakeHostArgumentBytesRemovedByCallee
_FakeHostArgumentBytesRemovedByCallee:
    push %ebp
    mov %esp, %ebp
    push %esi
    push %edi
    push %ebx
    mov 16(%ebp), %ecx
    mov 12(%ebp), %esi
    sub %ecx, %esp
    mov %esp, %edi
    cld
    rep movsb
    mov %esp, %ebx
    call *8(%ebp)
    mov %esp, %eax
    sub %ebx, %eax
    lea -12(%ebp), %esp
    pop %ebx
    pop %edi
    pop %esi
    pop %ebp
    ret
)");
#endif

} // namespace Logic::Testing
