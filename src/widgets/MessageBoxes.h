#pragma once

#include "messages/Messages.h"

class QWidget;

namespace vorelle {

// Messages shown as modal Qt message boxes over `parent`.
class MessageBoxes final : public Messages {
public:
    explicit MessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    MessageAnswer Show(const Message& message) override;

private:
    QWidget* parent_;
};

}  // namespace vorelle
