// The Qt widgets that stand in for the dialog template's edit fields and
// combo boxes, where Qt's own behave differently from the form's rules.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QString>

class QAccessibleInterface;

namespace tavirap {

// An edit field that never scrolls sideways: typing, pasting or dropping
// stops once the text would no longer fit the visible width. Digits-only
// fields refuse other characters, upper-case fields turn typed letters into
// capitals. Texts set from code are shown as they are (SetTextFromCode).
class FieldEdit : public QLineEdit {
public:
    FieldEdit(bool digitsOnly, bool upperCase, QWidget* parent);

    void SetTextFromCode(const QString& text);

    // While one exists, changes of the text come from code and pass unfiltered.
    class CodeChange {
    public:
        explicit CodeChange(FieldEdit* edit) : edit_(edit) {
            if (edit_)
                edit_->fromCode_ = true;
        }
        ~CodeChange() {
            if (edit_)
                edit_->fromCode_ = false;
        }
        CodeChange(const CodeChange&) = delete;
        CodeChange& operator=(const CodeChange&) = delete;

    private:
        FieldEdit* edit_;
    };
    // Whether `text` fits the visible width without scrolling.
    bool Fits(const QString& text) const;

private:
    friend class FieldFilter;
    bool digitsOnly_;
    bool upperCase_;
    bool fromCode_ = false;
    QString previous_;  // the text before the change being validated
};

// A combo box whose dropped-down list has the height the template gives
// (the control's whole height less the field's), shortened to a whole
// number of entries unless the template asks for the exact height.
class TemplateComboBox : public QComboBox {
public:
    TemplateComboBox(bool editable, bool upperCase, bool integralHeight, QWidget* parent);

    void SetListHeight(int pixels) { listHeight_ = pixels; }
    FieldEdit* Field() const { return field_; }
    void showPopup() override;

private:
    FieldEdit* field_ = nullptr;
    bool integralHeight_;
    int listHeight_ = 0;
};

// The accessibility factory (QAccessible::installFactory) for
// TemplateComboBox: named by its accessible name, as every other control,
// where Qt on Unix would name a combo box after the entry it shows.
QAccessibleInterface* AccessibleTemplateComboBox(const QString& className, QObject* object);

}  // namespace tavirap
