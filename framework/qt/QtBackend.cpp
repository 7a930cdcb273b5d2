#include "framework/qt/QtBackend.h"

#include <cstdio>

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <array>
#include <map>
#include <stdexcept>
#include <utility>

#include "framework/qt/QtControls.h"

namespace tavirap {

namespace {

QString FromAnsi(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}
std::string ToAnsi(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

constexpr int kIconSize = 32;  // sm::kCxIcon, sm::kCyIcon

class QtDialogWindow;

// The window; it hands Esc, the close box and F1 to the dialog's message maps.
class QtDialog : public QDialog {
public:
    QtDialog(CWnd& owner, QtDialogWindow& window, Qt::WindowFlags flags)
        : QDialog(nullptr, flags), owner_(owner), window_(window) {}

    void reject() override {
        owner_.WindowProc(wm::kCommand, MakeWParam(cmd::kCancel, notify::kClicked), 0);
    }
    void DefaultPaint(QPaintEvent* event) { QDialog::paintEvent(event); }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
            owner_.WindowProc(wm::kCommand, MakeWParam(cmd::kHelp, notify::kCommand), 0);
            return;
        }
        QDialog::keyPressEvent(event);
    }
    void paintEvent(QPaintEvent* event) override;

private:
    CWnd& owner_;
    QtDialogWindow& window_;
};

class QtDeviceContext : public DeviceContext {
public:
    explicit QtDeviceContext(QWidget* widget) : widget_(widget), painter_(widget) {}
    void EraseIconBackground() override {
        painter_.fillRect(widget_->rect(), widget_->palette().window());
    }
    void DrawIcon(int x, int y, HICON icon) override {
        QtWindowBackend::IconOf(icon).paint(&painter_, QRect(x, y, kIconSize, kIconSize));
    }

private:
    QWidget* widget_;
    QPainter painter_;
};

struct StyleFlag {
    std::uint32_t style;
    Qt::WindowFlags flags;
};
const StyleFlag kWindowFlags[] = {
    {ws::kCaption, Qt::WindowTitleHint},
    {ws::kSysMenu, Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint},
    {ws::kMinimizeBox, Qt::WindowMinimizeButtonHint},
    {ws::kMaximizeBox, Qt::WindowMaximizeButtonHint},
};

class ListComboStyle : public QProxyStyle {
public:
    ListComboStyle() : QProxyStyle(QApplication::style()->name()) { setParent(qApp); }
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        return hint == SH_ComboBox_Popup ? 0
                                         : QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

Qt::Alignment StaticAlignment(std::uint32_t style) {
    const Qt::Alignment horizontal = (style & ss::kTypeMask) == ss::kCenter  ? Qt::AlignHCenter
                                     : (style & ss::kTypeMask) == ss::kRight ? Qt::AlignRight
                                                                             : Qt::AlignLeft;
    return horizontal | ((style & ss::kCenterImage) ? Qt::AlignVCenter : Qt::AlignTop);
}

class QtDialogWindow : public DialogWindow {
public:
    QtDialogWindow(const DialogTemplate& dialog, CWnd& owner);
    ~QtDialogWindow() override { delete dialog_; }

    DialogBaseUnits BaseUnits() const override { return base_; }
    void CenterOnScreen() override {
        dialog_->winId();  // the platform window knows its frame, where it can
        const QSize outer = dialog_->size().grownBy(dialog_->windowHandle()->frameMargins());
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        dialog_->move(area.x() + (area.width() - outer.width()) / 2,
                      area.y() + (area.height() - outer.height()) / 2);
    }
    void MoveTo(int x, int y) override {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        dialog_->move(screen.x() + x, screen.y() + y);
    }
    void Show() override { dialog_->show(); }
    int RunModal() override { return dialog_->exec(); }
    void EndModal(int result) override { dialog_->done(result); }

    void SetIcon(HICON icon, bool big) override {
        icons_[big ? 1 : 0] = icon;
        dialog_->setWindowIcon(QtWindowBackend::IconOf(icons_[1] ? icons_[1] : icons_[0]));
    }
    bool IsIconic() const override { return dialog_->isMinimized(); }
    CRect ClientRect() const override { return {0, 0, dialog_->width(), dialog_->height()}; }
    std::unique_ptr<DeviceContext> BeginPaint() override {
        if (paint_ == nullptr) {
            return nullptr;
        }
        return std::make_unique<QtDeviceContext>(dialog_);
    }
    void DefaultProcessing() override {
        if (paint_ != nullptr) {
            dialog_->DefaultPaint(paint_);
        }
    }

    std::string GetText(int id) const override;
    void SetText(int id, std::string_view text) override;
    int ComboAddString(int id, std::string_view text) override;
    int ComboGetCurSel(int id) const override { return Combo(id)->currentIndex(); }
    void FocusControl(int id, bool selectText) override;
    // No shield on this platform: the tooltip says what the button will ask.
    void MarkNeedsRights(int id, std::string_view tooltip) override {
        if (QWidget* control = Control(id)) {
            control->setToolTip(FromAnsi(tooltip));
        }
    }
    void PostCommand(int id) override {
        QMetaObject::invokeMethod(
            dialog_,
            [&owner = owner_, id] { owner.WindowProc(wm::kCommand, MakeWParam(id, 0), 0); },
            Qt::QueuedConnection);
    }

    QDialog* Dialog() const { return dialog_; }
    // The control's widget, or null when the template has no such control.
    QWidget* Control(int id) const {
        const DialogControl* control = template_.FindControl(id);
        return control == nullptr ? nullptr : widgets_[IndexOf(id)];
    }

    QPaintEvent* paint_ = nullptr;

protected:
    int ComboCount(int id) const override { return Combo(id)->count(); }
    std::string ComboEntry(int id, int index) const override {
        return ToAnsi(Combo(id)->itemText(index));
    }
    void ComboChoose(int id, int index) override {
        TemplateComboBox* combo = Combo(id);
        FieldEdit::CodeChange change(combo->Field());
        combo->setCurrentIndex(index);
    }

private:
    QWidget* CreateControl(const DialogControl& control, CWnd& owner);
    std::size_t IndexOf(int id) const { return template_.IndexOf(id); }
    TemplateComboBox* Combo(int id) const;
    void NameFromLabels(std::size_t labelIndex);

    const DialogTemplate& template_;
    CWnd& owner_;
    QtDialog* dialog_;
    DialogBaseUnits base_;
    std::vector<QWidget*> widgets_;  // creation order
    std::array<HICON, 2> icons_{};
};

void QtDialog::paintEvent(QPaintEvent* event) {
    window_.paint_ = event;
    owner_.WindowProc(wm::kPaint, 0, 0);
    window_.paint_ = nullptr;
}

QtDialogWindow::QtDialogWindow(const DialogTemplate& dialog, CWnd& owner)
    : template_(dialog), owner_(owner) {
    Qt::WindowFlags flags = (dialog.exStyle & ws::kExAppWindow) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint;
    for (const StyleFlag& f : kWindowFlags) {
        if (dialog.style & f.style) {
            flags |= f.flags;
        }
    }
    dialog_ = new QtDialog(owner, *this, flags);
    dialog_->setWindowTitle(FromAnsi(dialog.caption));
    dialog_->setAccessibleName(FromAnsi(dialog.caption));

    QFont font(StandInFontFamily(FromAnsi(dialog.fontName)));
    const int dpi = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY());
    font.setPixelSize(MulDiv(dialog.pointSize, dpi, 72));
    dialog_->setFont(font);
    const QFontMetrics metrics(dialog_->font());
    base_ = BaseUnitsFromFontMetrics(metrics.horizontalAdvance(QLatin1String(kBaseUnitsAlphabet)),
                                     metrics.height());
    dialog_->setFixedSize(DialogUnitsToPixelsX(dialog.rect.cx, base_),
                          DialogUnitsToPixelsY(dialog.rect.cy, base_));

    QWidget* previousTabStop = nullptr;
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
        const DialogControl& control = dialog.controls[i];
        QWidget* widget = CreateControl(control, owner);
        PixelRect r = MapDialogRect(control.rect, base_);
        if (auto* combo = dynamic_cast<TemplateComboBox*>(widget)) {
            // The template's height is the field's with its list dropped down.
            const int field = combo->sizeHint().height();
            combo->SetListHeight(r.height - field);
            r.height = field;
        }
        widget->setGeometry(r.x, r.y, r.width, r.height);
        const bool takesFocus =
            control.kind != ControlKind::Static && control.kind != ControlKind::GroupBox;
        widget->setFocusPolicy(!takesFocus                      ? Qt::NoFocus
                               : (control.style & ws::kTabStop) ? Qt::StrongFocus
                                                                : Qt::ClickFocus);
        if (takesFocus && (control.style & ws::kTabStop)) {
            if (previousTabStop != nullptr) {
                QWidget::setTabOrder(previousTabStop, widget);
            }
            previousTabStop = widget;
        }
        widgets_.push_back(widget);
    }
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
        if (dialog.controls[i].kind == ControlKind::GroupBox) {
            widgets_[i]->lower();  // a frame behind the controls it surrounds
        }
        NameFromLabels(i);
    }
}

QWidget* QtDialogWindow::CreateControl(const DialogControl& control, CWnd& owner) {
    const QString text = FromAnsi(control.text);
    const int id = control.id;
    switch (control.kind) {
        case ControlKind::Button: {
            auto* button = new QPushButton(text, dialog_);
            button->setAutoDefault(true);  // Enter presses the focused button
            button->setDefault((control.style & bs::kTypeMask) == bs::kDefPushButton);
            if (id != -1) {
                QObject::connect(button, &QPushButton::clicked, dialog_, [&owner, id] {
                    owner.WindowProc(wm::kCommand, MakeWParam(id, notify::kClicked), 0);
                });
            }
            return button;
        }
        case ControlKind::Static: {
            auto* label = new QLabel(text, dialog_);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(StaticAlignment(control.style));
            label->setWordWrap(!(control.style & ss::kCenterImage));
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
            return label;
        }
        case ControlKind::Edit: {
            auto* edit = new FieldEdit((control.style & es::kNumber) != 0,
                                       (control.style & es::kUpperCase) != 0, dialog_);
            edit->setFrame((control.style & ws::kBorder) != 0);
            return edit;
        }
        case ControlKind::ComboBox: {
            const std::uint32_t type = control.style & cbs::kTypeMask;
            auto* combo =
                new TemplateComboBox(type == cbs::kDropDown, (control.style & cbs::kUpperCase) != 0,
                                     !(control.style & cbs::kNoIntegralHeight), dialog_);
            // Lists drop below the field with a scroll bar, never as a menu over it.
            static auto* listStyle = new ListComboStyle();
            combo->setStyle(listStyle);
            // Only a user's choice is a command (activated, never
            // currentIndexChanged, which code's choices also emit).
            if (type == cbs::kDropDownList && id != -1) {
                QObject::connect(combo, &QComboBox::activated, dialog_, [&owner, id] {
                    owner.WindowProc(wm::kCommand, MakeWParam(id, notify::kSelChange), 0);
                });
            }
            return combo;
        }
        case ControlKind::GroupBox: {
            auto* frame = new QGroupBox(text, dialog_);
            frame->setAttribute(Qt::WA_TransparentForMouseEvents);
            return frame;
        }
    }
    throw std::invalid_argument("unknown control kind");
}

TemplateComboBox* QtDialogWindow::Combo(int id) const {
    auto* combo = dynamic_cast<TemplateComboBox*>(widgets_[IndexOf(id)]);
    if (combo == nullptr) {
        throw std::invalid_argument("control " + std::to_string(id) + " is not a combo box");
    }
    return combo;
}

void QtDialogWindow::NameFromLabels(std::size_t labelIndex) {
    auto* label = qobject_cast<QLabel*>(widgets_[labelIndex]);
    for (const ControlLabel& l : template_.labels) {
        if (l.labelIndex != labelIndex || label == nullptr) {
            continue;
        }
        // The buddy ties the label to its field (a labelled-by relation); the
        // name says it where only names are read, in a combo's edit field too.
        QWidget* field = widgets_[IndexOf(l.controlId)];
        label->setBuddy(field);
        const QString name = FromAnsi(AccessibleNameFromLabel(ToAnsi(label->text()), l.suffix));
        field->setAccessibleName(name);
        if (auto* combo = dynamic_cast<TemplateComboBox*>(field); combo && combo->Field()) {
            combo->Field()->setAccessibleName(name);
        }
    }
}

std::string QtDialogWindow::GetText(int id) const {
    QWidget* widget = widgets_[IndexOf(id)];
    switch (template_.controls[IndexOf(id)].kind) {
        case ControlKind::Button:
            return ToAnsi(static_cast<QPushButton*>(widget)->text());
        case ControlKind::Static:
            return ToAnsi(static_cast<QLabel*>(widget)->text());
        case ControlKind::Edit:
            return ToAnsi(static_cast<FieldEdit*>(widget)->text());
        case ControlKind::ComboBox:
            return ToAnsi(static_cast<TemplateComboBox*>(widget)->currentText());
        case ControlKind::GroupBox:
            return ToAnsi(static_cast<QGroupBox*>(widget)->title());
    }
    return {};
}

void QtDialogWindow::SetText(int id, std::string_view text) {
    const std::size_t index = IndexOf(id);
    QWidget* widget = widgets_[index];
    const QString value = FromAnsi(text);
    switch (template_.controls[index].kind) {
        case ControlKind::Button:
            static_cast<QPushButton*>(widget)->setText(value);
            break;
        case ControlKind::Static:
            static_cast<QLabel*>(widget)->setText(value);
            NameFromLabels(index);
            break;
        case ControlKind::Edit:
            static_cast<FieldEdit*>(widget)->SetTextFromCode(value);
            break;
        case ControlKind::ComboBox:
            // A list without an edit field has no text of its own to set.
            if (FieldEdit* field = static_cast<TemplateComboBox*>(widget)->Field()) {
                field->SetTextFromCode(value);
            }
            break;
        case ControlKind::GroupBox:
            static_cast<QGroupBox*>(widget)->setTitle(value);
            break;
    }
}

int QtDialogWindow::ComboAddString(int id, std::string_view text) {
    TemplateComboBox* combo = Combo(id);
    FieldEdit::CodeChange change(combo->Field());
    combo->addItem(FromAnsi(text));
    if (combo->count() == 1) {
        combo->setCurrentIndex(-1);  // adding an entry does not choose it
    }
    return combo->count() - 1;
}

void QtDialogWindow::FocusControl(int id, bool selectText) {
    QWidget* widget = widgets_[IndexOf(id)];
    widget->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(widget); edit != nullptr && selectText) {
        edit->selectAll();
    }
}

struct MessageBoxIcon {
    UINT type;
    QMessageBox::Icon icon;
};
const MessageBoxIcon kMessageBoxIcons[] = {
    {mb::kIconHand, QMessageBox::Critical},
    {mb::kIconQuestion, QMessageBox::Question},
    {mb::kIconExclamation, QMessageBox::Warning},
    {mb::kIconAsterisk, QMessageBox::Information},
};

struct MessageBoxButtons {
    UINT type;
    QMessageBox::StandardButtons buttons;
};
const MessageBoxButtons kMessageBoxButtons[] = {
    {mb::kOk, QMessageBox::Ok},
    {mb::kOkCancel, QMessageBox::Ok | QMessageBox::Cancel},
    {mb::kAbortRetryIgnore, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore},
    {mb::kYesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel},
    {mb::kYesNo, QMessageBox::Yes | QMessageBox::No},
    {mb::kRetryCancel, QMessageBox::Retry | QMessageBox::Cancel},
};

struct MessageBoxResult {
    QMessageBox::StandardButton button;
    int id;
};
const MessageBoxResult kMessageBoxResults[] = {
    {QMessageBox::Ok, cmd::kOk},         {QMessageBox::Cancel, cmd::kCancel},
    {QMessageBox::Abort, cmd::kAbort},   {QMessageBox::Retry, cmd::kRetry},
    {QMessageBox::Ignore, cmd::kIgnore}, {QMessageBox::Yes, cmd::kYes},
    {QMessageBox::No, cmd::kNo},
};

}  // namespace

QtWindowBackend::QtWindowBackend() {
    QAccessible::installFactory(&AccessibleTemplateComboBox);
    AfxSetBackend(this);
}

QtWindowBackend::~QtWindowBackend() {
    AfxSetBackend(nullptr);
    QAccessible::removeFactory(&AccessibleTemplateComboBox);
}

std::unique_ptr<DialogWindow> QtWindowBackend::CreateDialogWindow(const DialogTemplate& dialog,
                                                                  CWnd& owner) {
    return std::make_unique<QtDialogWindow>(dialog, owner);
}

int QtWindowBackend::ShowMessage(DialogWindow* owner, std::string_view text,
                                 std::string_view caption, UINT type) {
    auto* window = dynamic_cast<QtDialogWindow*>(owner);
    QWidget* parent = window != nullptr ? window->Dialog() : QApplication::activeWindow();
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    for (const MessageBoxIcon& i : kMessageBoxIcons) {
        if ((type & mb::kIconMask) == i.type) {
            icon = i.icon;
        }
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    for (const MessageBoxButtons& b : kMessageBoxButtons) {
        if ((type & mb::kTypeMask) == b.type) {
            buttons = b.buttons;
        }
    }
    QMessageBox box(icon, FromAnsi(caption), FromAnsi(text), buttons, parent);
    // A message may hold a command to copy (as Windows' boxes copy with Ctrl+C).
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The default button as Windows numbers it: the first, second or third
    // of the buttons in the order Windows places them.
    const QMessageBox::StandardButton order[] = {
        QMessageBox::Ok,    QMessageBox::Yes,    QMessageBox::No,    QMessageBox::Abort,
        QMessageBox::Retry, QMessageBox::Ignore, QMessageBox::Cancel};
    std::vector<QMessageBox::StandardButton> shown;
    for (const QMessageBox::StandardButton button : order) {
        if (buttons.testFlag(button)) {
            shown.push_back(button);
        }
    }
    if (const std::size_t index = (type & mb::kDefMask) >> 8; index < shown.size()) {
        box.setDefaultButton(shown[index]);
    }
    const int pressed = box.exec();
    for (const MessageBoxResult& r : kMessageBoxResults) {
        if (pressed == r.button) {
            return r.id;
        }
    }
    return cmd::kCancel;
}

HICON QtWindowBackend::LoadIconResource(int resourceId) {
    const QDir folder(QStringLiteral(":/icons/%1").arg(resourceId));
    QIcon icon;
    for (const QString& file : folder.entryList(QDir::Files)) {
        icon.addFile(folder.filePath(file));
    }
    if (icon.isNull()) {
        return nullptr;
    }
    icons_.push_back(icon);
    return reinterpret_cast<HICON>(&icons_.back());
}

const QIcon& QtWindowBackend::IconOf(HICON icon) {
    static const QIcon none;
    return icon != nullptr ? *reinterpret_cast<const QIcon*>(icon) : none;
}

int QtWindowBackend::GetSystemMetrics(int index) const {
    return index == sm::kCxIcon || index == sm::kCyIcon ? kIconSize : 0;
}

std::string QtWindowBackend::ProgramName() const {
    return ToAnsi(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
}

bool QtWindowBackend::ShowHelp(std::uint32_t) {
    return false;
}

int QtWindowBackend::RunMessageLoop() {
    return QApplication::exec();
}

namespace {

// pkexec's words when it could not ask anyone: every failure but a refusal
// ends with its exit code 127 too.
constexpr const char* kPkexecRefused = "Not authorized";

// pkexec, with the input on the program's standard input; the password is
// asked by the desktop's own authentication agent.
class PkexecElevation : public Elevation {
public:
    PkexecElevation(std::string program, std::vector<std::string> leading)
        : program_(std::move(program)), leading_(std::move(leading)) {}

    ElevatedRun Run(const std::vector<std::string>& args, const std::string& input) override {
        // Where Debian and Ubuntu install it: no environment chooses another.
        const QString pkexec = QStringLiteral("/usr/bin/pkexec");
        QStringList arguments{FromAnsi(program_)};
        std::vector<std::string> all = leading_;
        all.insert(all.end(), args.begin(), args.end());
        for (const std::string& arg : all) {
            arguments << FromAnsi(arg);
        }
        QProcess process;
        QEventLoop wait;
        QObject::connect(&process, &QProcess::finished, &wait, &QEventLoop::quit);
        QObject::connect(&process, &QProcess::errorOccurred, &wait, &QEventLoop::quit);
        process.start(pkexec, arguments);
        if (!process.waitForStarted(-1)) {
            return {
                ElevatedRun::Outcome::kUnavailable, 0,
                ToAnsi(pkexec + QStringLiteral(" could not be started: ") + process.errorString())};
        }
        process.write(input.data(), static_cast<qint64>(input.size()));
        process.closeWriteChannel();
        // The windows keep painting while the password is asked for; the
        // user's input waits until the run has ended.
        if (process.state() != QProcess::NotRunning) {
            wait.exec(QEventLoop::ExcludeUserInputEvents);
        }
        const std::string errors = process.readAllStandardError().trimmed().toStdString();
        if (process.exitStatus() != QProcess::NormalExit) {
            return {ElevatedRun::Outcome::kUnavailable, 0,
                    ToAnsi(pkexec + QStringLiteral(" ended abnormally: ") + process.errorString())};
        }
        // pkexec's own exit codes: 126 dismissed; 127 refused, or nobody
        // could be asked (no agent, no polkit), which its words tell apart.
        switch (process.exitCode()) {
            case 126:
                return {ElevatedRun::Outcome::kDismissed, 126, errors};
            case 127:
                return {errors.find(kPkexecRefused) != std::string::npos
                            ? ElevatedRun::Outcome::kNotAuthorised
                            : ElevatedRun::Outcome::kUnavailable,
                        127, errors};
            default:
                return {ElevatedRun::Outcome::kExited, process.exitCode(), errors};
        }
    }

private:
    std::string program_;
    std::vector<std::string> leading_;
};

}  // namespace

std::unique_ptr<Elevation> MakeElevation(std::string program, std::vector<std::string> leading) {
    return std::make_unique<PkexecElevation>(std::move(program), std::move(leading));
}

namespace {

// The platforms Qt would try, each with what it needs to open windows; the
// others (offscreen, vnc, eglfs...) need nothing that can be missing here.
struct DisplayNeed {
    const char* platform;
    const char* variables[2];
};
constexpr DisplayNeed kDisplayNeeds[] = {
    {"xcb", {"DISPLAY", nullptr}},
    {"wayland", {"WAYLAND_DISPLAY", "WAYLAND_SOCKET"}},
};

// Whether one of the platforms asked for (QT_QPA_PLATFORM, or Qt's default)
// has a display to connect to. Qt itself aborts the process when none has.
bool HasDisplay() {
    const QString asked = qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("xcb;wayland"));
    for (const QString& platform : asked.split(u';', Qt::SkipEmptyParts)) {
        const QString name = platform.section(u':', 0, 0);
        const auto need = std::ranges::find_if(
            kDisplayNeeds, [&](const DisplayNeed& n) { return name == QLatin1String(n.platform); });
        if (need == std::end(kDisplayNeeds)) {
            return true;
        }
        for (const char* variable : need->variables) {
            if (variable != nullptr && !qEnvironmentVariableIsEmpty(variable)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

int TavirapMain(int argc, char** argv) {
    if (int exitCode = 0; AfxRunWithoutWindow(argc, argv, exitCode)) {
        return exitCode;
    }
    if (!HasDisplay()) {
        std::fputs(
            "tavirap: there is no display to open the settings dialog on (neither DISPLAY nor\n"
            "WAYLAND_DISPLAY is set). The command line needs none: 'tavirap --get' prints\n"
            "the settings; see 'tavirap --help'.\n",
            stderr);
        return 2;
    }
    QApplication application(argc, argv);
    QtWindowBackend backend;
    return AfxWinMain();
}

QString StandInFontFamily(const QString& templateFamily) {
    // "MS Sans Serif" is a Windows bitmap font; Liberation Sans has the
    // metrics of its TrueType successor, DejaVu Sans is nearly everywhere.
    for (const QString& family :
         {templateFamily, QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}) {
        if (QFontDatabase::hasFamily(family)) {
            return family;
        }
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

QDialog* QtDialogOf(const CWnd& wnd) {
    auto* window = dynamic_cast<QtDialogWindow*>(wnd.GetDialogWindow());
    return window != nullptr ? window->Dialog() : nullptr;
}

QWidget* QtControlOf(const CWnd& wnd, int id) {
    auto* window = dynamic_cast<QtDialogWindow*>(wnd.GetDialogWindow());
    return window != nullptr ? window->Control(id) : nullptr;
}

}  // namespace tavirap
