#include "tests/framework/QtTestSupport.h"

#include <QAbstractButton>
#include <QApplication>

namespace tavirap::test {

MessageBoxWatcher::MessageBoxWatcher(QMessageBox::StandardButton answer) : answer_(answer) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(5);
}

void MessageBoxWatcher::Poll() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box == nullptr || !box->isVisible()) {
            continue;
        }
        shown_.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
        if (QAbstractButton* button = box->button(answer_)) {
            button->click();
        } else {
            box->reject();
        }
    }
}

}  // namespace tavirap::test
