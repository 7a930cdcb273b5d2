// The two places where the C++ library needs a thread's own state or a lock:
// each thread's exceptions in flight, and a function's static initialised
// once whichever threads reach it. The library's own do it through
// winpthread's emulation of POSIX threads, which brings a tenth of a
// statically linked program with it; these use Windows' fiber-local storage,
// slim reader/writer lock and condition variable, as the library's ABI
// lays the state and the guards out.
#include <cstdint>

#include "platform/win32/Win32Api.h"

namespace {

// A thread's exceptions in flight, laid out as the C++ ABI defines it.
struct ExceptionGlobals {
    void* caughtExceptions;
    unsigned int uncaughtExceptions;
};

ExceptionGlobals gFallback;  // where a thread's state goes if Windows has none left to give

void WINAPI FreeGlobals(void* globals) {
    if (globals != &gFallback) {
        HeapFree(GetProcessHeap(), 0, globals);
    }
}

DWORD GlobalsIndex() {
    static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
    static DWORD index = FLS_OUT_OF_INDEXES;
    InitOnceExecuteOnce(
        &once,
        [](INIT_ONCE*, void*, void**) -> BOOL {
            index = FlsAlloc(FreeGlobals);
            return TRUE;
        },
        nullptr, nullptr);
    return index;
}

SRWLOCK gGuardLock = SRWLOCK_INIT;
CONDITION_VARIABLE gGuardDone = CONDITION_VARIABLE_INIT;

// A guard's first byte says the static is initialised (the compiler's own
// test reads it); its second, that a thread is initialising it.
volatile char* Bytes(std::int64_t* guard) {
    return reinterpret_cast<volatile char*>(guard);
}

}  // namespace

extern "C" {

ExceptionGlobals* __cxa_get_globals_fast() noexcept {
    const DWORD index = GlobalsIndex();
    void* globals = index != FLS_OUT_OF_INDEXES ? FlsGetValue(index) : &gFallback;
    if (globals == nullptr) {
        globals = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ExceptionGlobals));
        if (globals == nullptr || !FlsSetValue(index, globals)) {
            FreeGlobals(globals);
            globals = &gFallback;
        }
    }
    return static_cast<ExceptionGlobals*>(globals);
}

ExceptionGlobals* __cxa_get_globals() noexcept {
    return __cxa_get_globals_fast();
}

int __cxa_guard_acquire(std::int64_t* guard) {
    volatile char* bytes = Bytes(guard);
    if (__atomic_load_n(&bytes[0], __ATOMIC_ACQUIRE) != 0) {
        return 0;
    }
    AcquireSRWLockExclusive(&gGuardLock);
    int mine = 0;
    while (bytes[0] == 0 && mine == 0) {
        if (bytes[1] == 0) {
            bytes[1] = 1;
            mine = 1;
        } else {
            SleepConditionVariableSRW(&gGuardDone, &gGuardLock, INFINITE, 0);
        }
    }
    ReleaseSRWLockExclusive(&gGuardLock);
    return mine;
}

void __cxa_guard_release(std::int64_t* guard) {
    volatile char* bytes = Bytes(guard);
    AcquireSRWLockExclusive(&gGuardLock);
    bytes[1] = 0;
    __atomic_store_n(&bytes[0], 1, __ATOMIC_RELEASE);
    ReleaseSRWLockExclusive(&gGuardLock);
    WakeAllConditionVariable(&gGuardDone);
}

// The initialiser threw: the next thread to arrive tries again.
void __cxa_guard_abort(std::int64_t* guard) {
    AcquireSRWLockExclusive(&gGuardLock);
    Bytes(guard)[1] = 0;
    ReleaseSRWLockExclusive(&gGuardLock);
    WakeAllConditionVariable(&gGuardDone);
}

}  // extern "C"
