// The floor of the Linux program's start: a bare Qt dialog with one control
// of each kind the configuration form uses, shown, painted and closed.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Floor"));
    dialog.setFixedSize(447, 468);
    auto* frame = new QGroupBox(QStringLiteral("Group:"), &dialog);
    frame->setGeometry(6, 21, 225, 312);
    auto* label = new QLabel(QStringLiteral("LABEL :"), &dialog);
    label->setGeometry(30, 50, 81, 29);
    auto* combo = new QComboBox(&dialog);
    combo->setEditable(true);
    combo->addItems({QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3")});
    combo->setGeometry(111, 49, 84, 24);
    auto* edit = new QLineEdit(&dialog);
    edit->setGeometry(322, 65, 60, 21);
    auto* save = new QPushButton(QStringLiteral("SAVE"), &dialog);
    save->setGeometry(235, 430, 75, 23);
    save->setDefault(true);
    auto* exit = new QPushButton(QStringLiteral("EXIT"), &dialog);
    exit->setGeometry(343, 430, 75, 23);
    QObject::connect(exit, &QPushButton::clicked, &dialog, &QDialog::reject);
    return dialog.exec() == QDialog::Rejected ? 0 : 1;
}
