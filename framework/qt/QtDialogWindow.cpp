#include "framework/qt/QtDialogWindow.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>

#include "framework/Error.h"

namespace tavirap {

namespace {

class QtDeviceContext : public DeviceContext {
public:
    explicit QtDeviceContext(QWidget* widget) : widget_(widget), painter_(widget) {}
    void EraseIconBackground() override {
        painter_.fillRect(widget_->rect(), widget_->palette().window());
    }
    void DrawIcon(int x, int y, IconHandle icon) override {
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

}  // namespace

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
    throw Error("unknown control kind");
}

TemplateComboBox* QtDialogWindow::Combo(int id) const {
    auto* combo = dynamic_cast<TemplateComboBox*>(widgets_[IndexOf(id)]);
    if (combo == nullptr) {
        throw Error("control " + std::to_string(id) + " is not a combo box");
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

std::unique_ptr<DeviceContext> QtDialogWindow::BeginPaint() {
    if (paint_ == nullptr) {
        return nullptr;
    }
    return std::make_unique<QtDeviceContext>(dialog_);
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
