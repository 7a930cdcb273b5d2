#include "framework/qt/QtControls.h"

#include <QAbstractItemView>
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

}  // namespace tavirap
