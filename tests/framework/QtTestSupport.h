// Helpers for tests that drive real Qt dialogs.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <ostream>
#include <vector>

// Lets test failures show Qt's strings as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tavirap::test {

// Answers every message box that opens while it exists, pressing
// `answer`, and records what each box showed.
class MessageBoxWatcher {
public:
    struct Shown {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };

    explicit MessageBoxWatcher(QMessageBox::StandardButton answer = QMessageBox::Ok);

    const std::vector<Shown>& shown() const { return shown_; }

private:
    void Poll();

    QMessageBox::StandardButton answer_;
    QTimer timer_;
    std::vector<Shown> shown_;
};

}  // namespace tavirap::test
