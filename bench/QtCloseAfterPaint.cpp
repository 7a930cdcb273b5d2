// Linked only into the benchmarks' programs: closes the first dialog as soon
// as it has been shown and painted, as a user's Esc would, so that a
// benchmark can time a start from the process's birth to the painted window.
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>

namespace {

class CloseAfterFirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Paint && dialog != nullptr && dialog->isWindow() && !done_) {
            done_ = true;
            // The dialog's children paint in the same pass, before any timer.
            QTimer::singleShot(0, dialog, &QDialog::reject);
        }
        return false;
    }

private:
    bool done_ = false;
};

void InstallCloser() {
    qApp->installEventFilter(new CloseAfterFirstPaint);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallCloser)
