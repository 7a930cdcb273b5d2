// The running dialog on Qt, on a real registry file in a temporary folder:
// the shared scenarios driven with the mouse and keyboard, and what only this
// platform's store can do (unwritable and damaged files).
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include "dialog/PortSetupDlg.h"
#include "dialog/PortSetupForm.h"
#include "framework/qt/QtBackend.h"
#include "store/RegFileStore.h"
#include "tests/dialog/DialogScenarios.h"
#include "tests/framework/QtTestSupport.h"
#include "tests/settings/ProcessState.h"

namespace tavirap {
namespace {

// The application object the dialog takes its icon from.
CWinApp theTestApp;

class QtDriver : public test::DialogDriver {
public:
    explicit QtDriver(SettingsStore& store) : store_(store) {}

    void Open() override {
        dialog_ = std::make_unique<CPortSetupDlg>(store_);
        dialog_->Create();
        QDialog* window = QtDialogOf(*dialog_);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        QApplication::processEvents();
    }

    bool IsOpen() const override {
        QDialog* window = QtDialogOf(*dialog_);
        return window != nullptr && window->isVisible();
    }

    void Click(int id) override {
        QTest::mouseClick(Control(id), Qt::LeftButton);
        Settle();
    }

    void Type(int id, const std::string& text) override {
        QWidget* field = Focus(id);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);  // select all
        QTest::keyClicks(field, QString::fromStdString(text));
        Settle();
    }

    void Press(int id, test::Key key) override {
        static const std::map<test::Key, Qt::Key> kKeys = {{test::Key::Enter, Qt::Key_Return},
                                                           {test::Key::Escape, Qt::Key_Escape},
                                                           {test::Key::Up, Qt::Key_Up},
                                                           {test::Key::Down, Qt::Key_Down}};
        QTest::keyClick(Focus(id), kKeys.at(key));
        Settle();
    }

    void Choose(int id, int index) override {
        auto* combo = qobject_cast<QComboBox*>(Control(id));
        ASSERT_NE(combo, nullptr);
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
        const QModelIndex entry = combo->model()->index(index, 0);
        view->scrollTo(entry);
        const QPoint centre = view->visualRect(entry).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
        Settle();
        ASSERT_EQ(combo->currentIndex(), index);
    }

    std::string Text(int id) const override {
        QWidget* control = Control(id);
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            return edit->text().toStdString();
        }
        if (auto* combo = qobject_cast<QComboBox*>(control)) {
            return combo->currentText().toStdString();
        }
        if (auto* label = qobject_cast<QLabel*>(control)) {
            return label->text().toStdString();
        }
        return qobject_cast<QPushButton*>(control)->text().toStdString();
    }

    int FocusedId() const override {
        // The control the window gives the focus to whenever it is active.
        QWidget* focus = QtDialogOf(*dialog_)->focusWidget();
        for (const DialogControl& control : PortSetupTemplate().controls) {
            QWidget* widget = QtControlOf(*dialog_, control.id);
            if (widget != nullptr && focus != nullptr &&
                (widget == focus || widget->isAncestorOf(focus))) {
                return control.id;
            }
        }
        return -1;
    }

    bool TextSelected(int id) const override {
        auto* edit = qobject_cast<QLineEdit*>(Control(id));
        return edit != nullptr && edit->hasSelectedText() && edit->selectedText() == edit->text();
    }

    int MessageCount() const override { return static_cast<int>(boxes_.shown().size()); }

    const test::MessageBoxWatcher& Boxes() const { return boxes_; }

private:
    QWidget* Control(int id) const {
        QWidget* control = QtControlOf(*dialog_, id);
        EXPECT_NE(control, nullptr) << "control " << id;
        return control;
    }

    // The widget that takes the keys: an editable combo's edit field.
    QWidget* Focus(int id) {
        QWidget* control = Control(id);
        if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit()) {
            control = combo->lineEdit();
        }
        control->setFocus(Qt::MouseFocusReason);
        return control;
    }

    // Lets queued events and the message-box watcher run.
    static void Settle() { QTest::qWait(30); }

    SettingsStore& store_;
    std::unique_ptr<CPortSetupDlg> dialog_;
    test::MessageBoxWatcher boxes_;
};

// A registry file of the test's own, in a folder removed afterwards.
class TempRegistry {
public:
    TempRegistry() {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tavirap-dlg-" + std::to_string(::getpid()) + "-" + std::to_string(++count_));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    ~TempRegistry() { std::filesystem::remove_all(folder_); }

    std::string File() const { return (folder_ / "registry.reg").string(); }
    std::string Read() const {
        std::ifstream in(File(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void Write(const std::string& text) const { std::ofstream(File(), std::ios::binary) << text; }

private:
    static inline int count_ = 0;
    std::filesystem::path folder_;
};

class Scenarios : public ProcessStateTest, public ::testing::WithParamInterface<test::Scenario> {};

TEST_P(Scenarios, RunOnQt) {
    TempRegistry registry;
    RegFileStore store(registry.File());
    QtDriver driver(store);
    test::RunScenario(GetParam(), driver, store);
    for (const auto& box : driver.Boxes().shown()) {
        EXPECT_EQ(box.icon, QMessageBox::Warning) << box.text.toStdString();
        EXPECT_EQ(box.buttons, QMessageBox::Ok) << box.text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Dialog, Scenarios, ::testing::ValuesIn(test::DialogScenarios()),
                         [](const auto& info) { return info.param.name; });

class PortSetupDlgQt : public ProcessStateTest {
protected:
    TempRegistry registry;
};

const char* const kReadOnlyFileVariable = "TAVIRAP_TEST_READ_ONLY_REGISTRY";

const std::string kStoredSettings =
    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT]\r\n"
    "\"MaxPort\"=dword:00000040\r\n\"PortAdd1\"=dword:00000011\r\n\"Parity\"=\"Odd Parity\"\r\n";

// Run by a user who may read the registry file but not write it: the stored
// values, one notice, and a refused save that says why.
TEST(PortSetupDlgQtAsUser, DISABLED_StartsReadOnly) {
    const char* file = std::getenv(kReadOnlyFileVariable);
    ASSERT_NE(file, nullptr);
    ResetProcessState();
    RegFileStore store(file);
    QtDriver driver(store);
    driver.Open();

    ASSERT_EQ(driver.MessageCount(), 1);
    EXPECT_TRUE(driver.Boxes().shown()[0].text.contains("administrator"));
    EXPECT_EQ(driver.Text(IDC_TOTAL_PORTS), "64");
    EXPECT_EQ(driver.Text(IDC_PARITY), "Odd Parity");
    EXPECT_EQ(driver.Text(kRowAddressIds[0]), "17");

    driver.Type(kRowAddressIds[0], "9");
    driver.Click(IDC_SAVE);
    ASSERT_EQ(driver.MessageCount(), 2);
    EXPECT_TRUE(driver.Boxes().shown()[1].text.startsWith("The settings were not saved."));
    EXPECT_TRUE(driver.IsOpen());
    EXPECT_EQ(driver.Text(kRowAddressIds[0]), "9");
}

TEST_F(PortSetupDlgQt, UnwritableFileStartsReadOnlyWithTheStoredValues) {
    registry.Write(kStoredSettings);
    // Root may write any file: the dialog runs as an ordinary user in a
    // program of its own, this one started again.
    const bool root = ::geteuid() == 0;
    const std::filesystem::path folder = std::filesystem::path(registry.File()).parent_path();
    if (!root) {
        std::filesystem::permissions(
            folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    }
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        if (root) {
            const passwd* nobody = ::getpwnam("nobody");
            if (nobody == nullptr || ::setgid(nobody->pw_gid) != 0 ||
                ::setuid(nobody->pw_uid) != 0) {
                ::_exit(3);
            }
        }
        ::setenv(kReadOnlyFileVariable, registry.File().c_str(), 1);
        ::execl("/proc/self/exe", "dialog_commands_qt_test", "--gtest_also_run_disabled_tests",
                "--gtest_filter=PortSetupDlgQtAsUser.DISABLED_StartsReadOnly", nullptr);
        ::_exit(4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the dialog's run as another user failed";
    EXPECT_EQ(registry.Read(), kStoredSettings);
}

TEST_F(PortSetupDlgQt, DamagedFileIsReportedAndLeftAlone) {
    const std::string damaged =
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT]\r\n"
        "\"MaxPort\"=dword:00000040\r\n\"Parity\"=hex(1):4f,64,zz\r\n";
    registry.Write(damaged);
    RegFileStore store(registry.File());
    QtDriver driver(store);
    driver.Open();

    ASSERT_EQ(driver.Boxes().shown().size(), 1u);
    const QString notice = driver.Boxes().shown()[0].text;
    EXPECT_TRUE(notice.contains(QString::fromStdString(registry.File()))) << notice.toStdString();
    EXPECT_TRUE(notice.contains("line 5")) << notice.toStdString();
    EXPECT_EQ(driver.Text(IDC_TOTAL_PORTS), "8");  // the defaults, not the damaged file's 64

    driver.Type(kRowAddressIds[0], "9");
    driver.Click(IDC_SAVE);
    ASSERT_EQ(driver.MessageCount(), 2);
    EXPECT_TRUE(driver.Boxes().shown()[1].text.startsWith("The settings were not saved."));
    EXPECT_EQ(registry.Read(), damaged);
    EXPECT_TRUE(driver.IsOpen());
    EXPECT_EQ(driver.Text(kRowAddressIds[0]), "9");
}

}  // namespace
}  // namespace tavirap
