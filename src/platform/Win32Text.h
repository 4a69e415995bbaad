#pragma once
// Windows speaks UTF-16 at its API; the core's text is UTF-8. These convert at that boundary.
#ifdef _WIN32

#include <string>
#include <string_view>

namespace Logic::Platform {

/// aText (UTF-8) as UTF-16; invalid sequences become U+FFFD.
std::wstring Widen(std::string_view aText);
/// aText (UTF-16) as UTF-8; unpaired surrogates become U+FFFD.
std::string Narrow(std::wstring_view aText);
/// The system's message for the calling thread's last error code.
std::string LastErrorText();
/// Bytes in the Windows code page aCodePage (CP_ACP for the ANSI code page) as UTF-8.
std::string ToUtf8(std::string_view aBytes, unsigned aCodePage);

} // namespace Logic::Platform

#endif
