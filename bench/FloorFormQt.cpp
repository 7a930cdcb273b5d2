// The floor of the Linux program's start with the whole form, written plainly
// on Qt Widgets: the same controls at the same places in the same font, the
// lists filled and the program's icon set, shown, painted and closed; no
// framework, no dialog units, no registry.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

struct Place {
    const char* text;
    int x, y, width, height;
};

struct List {
    bool editable;
    int x, y, width;
    QStringList entries;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("TAVIRAP"));
    QIcon icon;
    for (const char* size : {"16", "32", "48", "256"}) {
        icon.addFile(QStringLiteral(":/icons/128/tavirap-%1.png").arg(QLatin1String(size)));
    }
    dialog.setWindowIcon(icon);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    dialog.setFont(font);
    dialog.setFixedSize(447, 468);

    for (const Place& p : {Place{"Main COM Configuration:", 6, 23, 225, 312},
                           Place{"Virtual Port Address Setting:", 242, 18, 185, 343},
                           Place{"Total Ports :", 5, 345, 224, 63}}) {
        auto* frame = new QGroupBox(QString::fromLatin1(p.text), &dialog);
        frame->setGeometry(p.x, p.y, p.width, p.height);
    }
    for (const Place& p : {
             Place{"MAIN COM :", 30, 50, 81, 29},
             Place{"BAUD RATE :", 30, 98, 81, 33},
             Place{"PARITY:", 30, 146, 81, 33},
             Place{"DATA BITS :", 30, 197, 81, 31},
             Place{"STOP BIT :", 30, 247, 81, 28},
             Place{"FLOW CTL:", 29, 291, 84, 29},
             Place{"    TA #", 321, 47, 59, 15},
             Place{"SERIAL1", 261, 68, 62, 33},
             Place{"SERIAL2", 261, 101, 60, 21},
             Place{"SERIAL3", 261, 133, 60, 20},
             Place{"SERIAL4", 261, 166, 60, 20},
             Place{"SERIAL5", 261, 198, 54, 24},
             Place{"SERIAL6", 261, 231, 60, 23},
             Place{"SERIAL7", 261, 263, 60, 21},
             Place{"SERIAL8", 261, 297, 60, 23},
             Place{"Total Virtual Ports :", 35, 369, 98, 29},
         }) {
        auto* label = new QLabel(QString::fromLatin1(p.text), &dialog);
        label->setWordWrap(true);
        label->setGeometry(p.x, p.y, p.width, p.height);
    }
    const List lists[] = {
        {true,
         111,
         49,
         84,
         {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"}},
        {true,
         111,
         98,
         84,
         {"600", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}},
        {true, 111, 146, 84, {"No Parity", "Odd Parity", "Even Parity"}},
        {true, 111, 195, 84, {"7", "8"}},
        {true, 113, 244, 83, {"1", "2"}},
        {true, 113, 291, 83, {"Hardware", "None"}},
        {false, 138, 369, 72, {"2", "4", "8", "16", "24", "32", "40", "48", "56", "64"}},
    };
    for (const List& l : lists) {
        auto* combo = new QComboBox(&dialog);
        combo->setEditable(l.editable);
        combo->addItems(l.entries);
        combo->setGeometry(l.x, l.y, l.width, combo->sizeHint().height());
    }
    for (const QRect& r :
         {QRect(323, 65, 60, 21), QRect(323, 98, 60, 23), QRect(321, 130, 60, 20),
          QRect(323, 161, 60, 20), QRect(321, 195, 60, 20), QRect(321, 228, 60, 20),
          QRect(321, 262, 60, 20), QRect(321, 293, 60, 21)}) {
        (new QLineEdit(&dialog))->setGeometry(r);
    }
    QPushButton* buttons[4];
    const Place places[] = {{"SAVE", 236, 431, 75, 23},
                            {"EXIT", 344, 431, 75, 23},
                            {"PREV PAGE", 23, 431, 75, 23},
                            {"NEXT PAGE", 120, 431, 75, 23}};
    for (int i = 0; i < 4; ++i) {
        const Place& p = places[i];
        buttons[i] = new QPushButton(QString::fromLatin1(p.text), &dialog);
        buttons[i]->setGeometry(p.x, p.y, p.width, p.height);
    }
    buttons[0]->setDefault(true);
    QObject::connect(buttons[1], &QPushButton::clicked, &dialog, &QDialog::reject);
    return dialog.exec() == QDialog::Rejected ? 0 : 1;
}
