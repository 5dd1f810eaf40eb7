#include "app/AboutBox.h"

#include "app/BoardArt.h"
#include "ui_AboutBox.h"

namespace vorelle {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::AboutBox>())
{
    ui_->setupUi(this);
    ui_->icon->setPixmap(QPixmap::fromImage(PaintAppIcon(64)));
    ui_->details->setText(tr("Version %1, built %2.\nThe desktop companion of your Vorelle weather station.")
                              .arg(QStringLiteral(VORELLE2_VERSION), QStringLiteral(__DATE__)));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

AboutBox::~AboutBox() = default;

}  // namespace vorelle
