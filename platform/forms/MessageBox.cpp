#include "MessageBox.h"

#include <QMessageBox>

namespace platform {

int QtMessageBoxService::show(const QString& text, int flags, const QString& title)
{
    QMessageBox box;
    box.setWindowTitle(title);
    box.setText(text);
    switch (flags & 0x70) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    const bool second = (flags & vbDefaultButton2) != 0;
    switch (flags & 0x7) {
    case vbYesNo: {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(second ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? vbYes : vbNo;
    }
    case vbOKCancel: {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(second ? QMessageBox::Cancel : QMessageBox::Ok);
        return box.exec() == QMessageBox::Ok ? vbOK : vbCancel;
    }
    default:
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return vbOK;
    }
}

} // namespace platform
