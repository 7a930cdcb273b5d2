#include "framework/qt/QtControls.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QStyleOptionFrame>
#include <QValidator>
#include <algorithm>

namespace tavirap {

namespace {
// QLineEdit keeps this many pixels free on each side of its text.
constexpr int kLineEditMargin = 2;

qsizetype CountNonDigits(const QString& text) {
    return std::count_if(text.begin(), text.end(), [](QChar c) { return !c.isDigit(); });
}
}  // namespace

// Judges each change of a FieldEdit's text against the text before it, so
// that a text that is already too wide (set from code) can still be shortened.
class FieldFilter : public QValidator {
public:
    explicit FieldFilter(FieldEdit* edit) : QValidator(edit), edit_(edit) {}

    State validate(QString& input, int&) const override {
        if (edit_->fromCode_ || IsListEntry(input)) {
            return Acceptable;
        }
        if (edit_->upperCase_) {
            input = input.toUpper();
        }
        const QString& before = edit_->previous_;
        if (edit_->digitsOnly_ && CountNonDigits(input) > CountNonDigits(before)) {
            return Invalid;
        }
        if (!edit_->Fits(input) && edit_->fontMetrics().horizontalAdvance(input) >
                                       edit_->fontMetrics().horizontalAdvance(before)) {
            return Invalid;
        }
        return Acceptable;
    }

private:
    // A combo box shows the entry the user chose as it is.
    bool IsListEntry(const QString& input) const {
        auto* combo = qobject_cast<QComboBox*>(edit_->parentWidget());
        return combo != nullptr &&
               combo->findText(input, Qt::MatchExactly | Qt::MatchCaseSensitive) != -1;
    }

    FieldEdit* edit_;
};

FieldEdit::FieldEdit(bool digitsOnly, bool upperCase, QWidget* parent)
    : QLineEdit(parent), digitsOnly_(digitsOnly), upperCase_(upperCase) {
    setValidator(new FieldFilter(this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { previous_ = text; });
}

void FieldEdit::SetTextFromCode(const QString& text) {
    {
        CodeChange change(this);
        setText(text);
    }
    setCursorPosition(0);  // show the beginning, as a new text is shown
}

bool FieldEdit::Fits(const QString& text) const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, this)
                               .marginsRemoved(textMargins());
    const QFontMetrics metrics = fontMetrics();
    const int used = metrics.horizontalAdvance(text) + 1 + std::max(0, -metrics.minLeftBearing()) +
                     std::max(0, -metrics.minRightBearing());
    return used <= contents.width() - 2 * kLineEditMargin;
}

TemplateComboBox::TemplateComboBox(bool editable, bool upperCase, bool integralHeight,
                                   QWidget* parent)
    : QComboBox(parent), integralHeight_(integralHeight) {
    if (editable) {
        field_ = new FieldEdit(false, upperCase, this);
        setLineEdit(field_);
        setCompleter(nullptr);  // no inline completion while typing
        setInsertPolicy(QComboBox::NoInsert);
    }
}

void TemplateComboBox::showPopup() {
    QComboBox::showPopup();
    QWidget* popup = view()->window();
    if (popup == this || listHeight_ <= 0) {
        return;
    }
    int height = listHeight_;
    const int row = view()->sizeHintForRow(0);
    if (integralHeight_ && row > 0) {
        const int frame = popup->height() - view()->viewport()->height();
        const int rows = std::max(1, (listHeight_ - frame) / row);
        height = rows * row + frame;
    }
    // The list drops below the field, as wide as the control.
    popup->setGeometry(QRect(mapToGlobal(QPoint(0, this->height())), QSize(width(), height)));
}

namespace {

// Qt's own combo box interface names a box after its entry on Unix and
// leaves the label to the labelled-by relation, so that read by names the
// data bits and the total of ports are both "8". This one keeps the name the
// dialog gives and shows the entry as the value; the list and the edit
// field stay its children, in Qt's order.
class AccessibleComboBox : public QAccessibleWidget {
public:
    explicit AccessibleComboBox(TemplateComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? Combo()->currentText() : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = Combo()->view()->isVisible();
        state.editable = Combo()->isEditable();
        return state;
    }
    int childCount() const override { return QAccessibleWidget::childCount() + 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(Combo()->view())
                          : QAccessibleWidget::child(index - 1);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child != nullptr && child->object() == Combo()->view()) {
            return 0;
        }
        const int index = QAccessibleWidget::indexOfChild(child);
        return index < 0 ? index : index + 1;
    }
    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << showMenuAction();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction()) {
            Combo()->showPopup();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

private:
    TemplateComboBox* Combo() const { return static_cast<TemplateComboBox*>(widget()); }
};

}  // namespace

QAccessibleInterface* AccessibleTemplateComboBox(const QString&, QObject* object) {
    auto* combo = dynamic_cast<TemplateComboBox*>(object);
    return combo != nullptr ? new AccessibleComboBox(combo) : nullptr;
}

}  // namespace tavirap
