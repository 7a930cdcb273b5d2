// One writer at a time on the machine's key, under Wine, which has no registry
// transactions: its saves write one by one under the lock.
#include "platform/win32/Win32Api.h"  // before anything that includes <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <tuple>

#include "dialog/PortSetupDlg.h"
#include "dialog/PortSetupForm.h"
#include "store/ExitCode.h"
#include "store/SettingsIo.h"
#include "tests/dialog/DialogScenarios.h"
#include "tests/framework/win32/ConsoleRun.h"
#include "tests/framework/UiDriver.h"
#include "tests/store/RegistryTestKey.h"

namespace tavirap {
namespace {

bool Says(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// tavirap.com run with these arguments.
struct Console : test::ConsoleRun {
    explicit Console(const std::string& args) : ConsoleRun("\"" TAVIRAP_CONSOLE "\" " + args) {}
};

// Four loops of --set, each setting its own address and the one shared
// BaudRate, and a loop of --get beside them: every change lands or is refused
// with its exit code, and none is overwritten silently, which shows as two
// changes that replaced the same BaudRate.
TEST(WritersLock, RacingProcessesOverwriteNothing) {
    ASSERT_EQ(Console("--set BaudRate=start").Finish(), DWORD{kExitDone});
    constexpr int kLoops = 4, kCycles = 100;
    std::mutex guard;
    std::map<std::string, int> replaced;  // how many changes replaced each BaudRate
    int landed = 0, refused = 0, failed = 0;
    std::vector<std::thread> loops;
    for (int loop = 0; loop <= kLoops; ++loop) {  // the last one reads
        loops.emplace_back([&, loop] {
            for (int cycle = 0; cycle < kCycles; ++cycle) {
                const std::string n = std::to_string(loop + 1), c = std::to_string(cycle % 65);
                Console run(loop == kLoops ? "--get BaudRate"
                                           : "--set PortAdd" + n + "=" + c + " BaudRate=" + n +
                                                 "." + std::to_string(cycle));
                const DWORD code = run.Finish();
                const std::size_t from = run.output.find("BaudRate: \"") + 11;
                const std::lock_guard hold(guard);
                if (code == kExitDone && loop < kLoops) {
                    ++landed;
                    ++replaced[run.output.substr(from, run.output.find('"', from) - from)];
                } else if (code != kExitDone) {
                    ++(code == kExitStoreFailed && Says(run.output, "busy") ? refused : failed);
                }
            }
        });
    }
    for (std::thread& loop : loops) {
        loop.join();
    }
    int overwritten = 0;
    for (const auto& [value, changes] : replaced) {
        overwritten += changes - 1;
    }
    std::printf("%d loops of %d --set: %d landed, %d refused as busy, %d silently overwritten\n",
                kLoops, kCycles, landed, refused, overwritten);
    EXPECT_EQ(overwritten, 0);
    EXPECT_EQ(failed, 0);  // every --set landed or was refused, and every --get read
}

// Opens the key for writing as a user without rights: the Administrators
// group held back, as UAC holds it back.
StoreResult OpenWithoutRights(SettingsStore& store) {
    HANDLE process = nullptr, restricted = nullptr;
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size);
    SID_AND_ATTRIBUTES denyOnly{administrators, 0};
    OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &process);
    EXPECT_TRUE(
        CreateRestrictedToken(process, 0, 1, &denyOnly, 0, nullptr, 0, nullptr, &restricted));
    std::unique_ptr<SettingsKey> key;
    const StoreResult opened = ImpersonateLoggedOnUser(restricted)
                                   ? store.OpenKeyAllAccess(kServiceKeyPath, key)
                                   : StoreResult(99);
    key.reset();
    RevertToSelf();
    CloseHandle(restricted);
    CloseHandle(process);
    return opened;
}

// While another program holds the lock, a writer gives up after five seconds
// with exit code 4, naming what is busy; readers take no lock; a user without
// rights cannot take it, nor create it first where the system has private
// namespaces (Wine has none). Then another program deletes the key in the
// middle of a save's writes: the save says so, and without a transaction
// names the values it had written.
TEST(WritersLock, HeldByAnotherProgramOrCutOffInTheMiddle) {
    TestKeyStore anyUser("lock-rights");  // a key any user may write: the lock alone refuses
    ASSERT_EQ(Console("--set PortAdd1=1").Finish(), DWORD{kExitDone});
    ASSERT_EQ(SaveSettings(anyUser, {}), status::kSuccess);
    std::unique_ptr<SettingsKey> held;
    ASSERT_EQ(anyUser.OpenKeyAllAccess(kServiceKeyPath, held), status::kSuccess);
    const std::tuple<const char*, int, std::string> kCases[] = {
        {"--set PortAdd1=9", kExitStoreFailed,
         "TAVIRPORT are busy: another program has held the lock " + WritersLockName()},
        {"--get PortAdd1", kExitDone, "PortAdd1=1"},
        {"--set PortAdd1=9 --dry-run", kExitDone, "PortAdd1: 1 -> 9"},
        {"--export", kExitDone, "REGEDIT4"},
    };
    for (const auto& [args, exit, says] : kCases) {
        const ULONGLONG started = GetTickCount64();
        Console run(args);
        EXPECT_EQ(run.Finish(), DWORD(exit)) << args << "\n" << run.output;
        EXPECT_TRUE(Says(run.output, says)) << args << "\n" << run.output;
        EXPECT_TRUE(exit != kExitStoreFailed || GetTickCount64() - started > 4000);
    }
    const std::string refused = "only administrators may take the lock";
    const StoreResult take = OpenWithoutRights(anyUser);
    EXPECT_TRUE(take == status::kAccessDenied && Says(take.Text(), refused)) << take;
    held->Close();
    const StoreResult create = OpenWithoutRights(anyUser);
    const bool global = Says(WritersLockName(), "Global\\");
    EXPECT_TRUE(global || (create == status::kAccessDenied && Says(create.Text(), refused)));
    std::printf("a user without rights %s create the lock %s first\n", global ? "could" : "cannot",
                WritersLockName().c_str());
    ASSERT_EQ(anyUser.OpenKeyAllAccess(kServiceKeyPath, held), status::kSuccess);
    const std::uint8_t number[4] = {3, 0, 0, 0};
    for (const char* name : {"PortAdd1", "PortAdd2"}) {
        EXPECT_EQ(held->SetValue(name, kRegDword, number, 4), status::kSuccess);
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, anyUser.Path().c_str());
    const StoreResult failed = held->SetValue("MaxPort", kRegDword, number, 4);
    EXPECT_TRUE(Says(failed.Text(), "\"MaxPort\" was not written: ")) << failed;
    EXPECT_TRUE(Says(failed.Text(), "Nothing was stored.") ||
                Says(failed.Text(), "transactions): PortAdd1, PortAdd2."))
        << failed;
    EXPECT_EQ(held->Close(), failed.Code());
}

// The machine's store, with another program's step once a writer holds the lock.
struct HookedStore : RegistryStore {
    StoreResult OpenKeyAllAccess(std::string_view path,
                                 std::unique_ptr<SettingsKey>& key) override {
        const StoreResult opened = RegistryStore::OpenKeyAllAccess(path, key);
        hook();
        return opened;
    }
    std::function<void()> hook = [] {};
};

// The dialog's SAVE while another writer holds the lock waits, then asks
// about the other's change, or says after five seconds that the settings are
// busy; a --set while SAVE holds the lock waits, then changes what SAVE stored.
TEST(WritersLock, TheDialogsSaveAndAnotherWriterTakeTurns) {
    // How long another writer holds the lock, then sets PortAdd2 (0: none); the box.
    const std::pair<DWORD, const char*> kCases[] = {
        {1000, "changed by another program after this dialog opened"},
        {7000, "are busy: another program has held the lock"},
        {0, nullptr},
    };
    for (const auto& [heldMs, box] : kCases) {
        RegistryStore other;
        ASSERT_EQ(SaveSettings(other, {}), status::kSuccess);
        HookedStore machine;
        const auto rights = test::MakeFakeElevation("no-agent", machine);
        CPortSetupDlg dialog(machine, *rights);
        const auto driver = test::MakeUiDriver(dialog);
        driver->Open();
        std::unique_ptr<Console> set;
        machine.hook = [&] {
            if (heldMs == 0 && set == nullptr) {
                set = std::make_unique<Console>("--set PortAdd1=7");
                EXPECT_EQ(WaitForSingleObject(set->process, 1000), DWORD{WAIT_TIMEOUT});
            }
        };
        driver->Type(kRowAddressIds[0], "21");
        HANDLE holding = CreateEventA(nullptr, TRUE, heldMs == 0, nullptr);
        std::thread holder([&] {  // a mutex is held by the thread that took it
            std::unique_ptr<SettingsKey> held;
            const std::uint8_t changed[4] = {33, 0, 0, 0};
            if (heldMs > 0 && other.OpenKeyAllAccess(kServiceKeyPath, held).Ok()) {
                SetEvent(holding);
                Sleep(heldMs);  // a SAVE that did not wait would miss the change
                EXPECT_EQ(held->SetValue("PortAdd2", kRegDword, changed, 4), status::kSuccess);
            }
        });
        WaitForSingleObject(holding, 10000);
        driver->Click(IDC_SAVE);
        holder.join();
        CloseHandle(holding);
        ASSERT_EQ(driver->Boxes().size(), box != nullptr ? 1u : 0u) << heldMs;
        EXPECT_TRUE(box == nullptr || Says(driver->Boxes()[0].text, box)) << heldMs;
        EXPECT_TRUE(set == nullptr ||
                    (set->Finish() == kExitDone && Says(set->output, "PortAdd1: 21 -> 7")))
            << set->output;
        driver->CloseBox();
    }
}

}  // namespace
}  // namespace tavirap
