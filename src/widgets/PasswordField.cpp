#include "widgets/PasswordField.h"

#include <QCheckBox>
#include <QLineEdit>

namespace vorelle {

void MaskWithShowBox(QLineEdit& password, QCheckBox& show)
{
    // "*" as the mask, whatever the style would draw.
    password.setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    const auto apply = [&password](bool shown) {
        password.setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    };
    apply(show.isChecked());
    QObject::connect(&show, &QCheckBox::toggled, &password, apply);
}

}  // namespace vorelle
