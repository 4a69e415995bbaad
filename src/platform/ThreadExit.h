#pragma once
// Per-thread objects that must be freed when their thread ends. A thread_local object with a
// destructor would do on Linux, but mingw-w64's statically linked runtime crashes when such
// destructors run (seen under wine and in the Windows builds of the plugin), so the core keeps
// only trivially destructible thread_locals and registers what must be freed here.

namespace Logic::Platform {

/// Calls aCleanup(aObject) on the calling thread when it ends. Register each object once; the
/// cleanup must not throw. Returns false when the platform cannot promise the call (the object
/// then lives until the process ends).
bool AtThreadExit(void (*aCleanup)(void*), void* aObject) noexcept;

/// Runs every registered cleanup now, for the threads that are still running, and forgets the
/// registrations. For a library about to be unloaded while its host goes on: a cleanup left
/// behind would be called into code that is gone. Registrations afterwards may be refused
/// (AtThreadExit gives false, and the object lives until the process ends).
void RunThreadExitCleanupsNow() noexcept;

} // namespace Logic::Platform
