#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class AboutBox;
}

namespace vorelle {

// The About box: the program's name and version, and what build this is.
class AboutBox final : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);
    ~AboutBox() override;

private:
    std::unique_ptr<Ui::AboutBox> ui_;
};

}  // namespace vorelle
