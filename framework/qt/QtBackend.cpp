#include "framework/qt/QtBackend.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "framework/qt/QtDialogWindow.h"

namespace tavirap {

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

IconHandle QtWindowBackend::LoadIconResource(int resourceId) {
    const QDir folder(QStringLiteral(":/icons/%1").arg(resourceId));
    QIcon icon;
    for (const QString& file : folder.entryList(QDir::Files)) {
        icon.addFile(folder.filePath(file));
    }
    if (icon.isNull()) {
        return nullptr;
    }
    icons_.push_back(icon);
    return reinterpret_cast<IconHandle>(&icons_.back());
}

const QIcon& QtWindowBackend::IconOf(IconHandle icon) {
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

}  // namespace tavirap
