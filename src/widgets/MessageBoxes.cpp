#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace vorelle {

MessageAnswer MessageBoxes::Show(const Message& message)
{
    QMessageBox box(parent_);
    box.setText(QString::fromStdString(message.text));
    box.setWindowTitle(message.caption.empty() ? QApplication::applicationDisplayName()
                                               : QString::fromStdString(message.caption));
    switch (message.icon) {
    case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MessageIcon::Stop: box.setIcon(QMessageBox::Critical); break;
    }
    if (message.buttons == MessageButtons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(message.cancelIsDefault ? QMessageBox::Cancel : QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

}  // namespace vorelle
