#pragma once

#include "settings/ConsoleDialog.h"
#include "settings/MobileNetworkSettings.h"

#include <memory>
#include <string_view>

namespace Ui {
class MobileNetworkDialog;
}

namespace vorelle {

// Mobile network: the access point with its user and password, three
// telephone numbers and the intervals of the console's text messages, and a
// test message. The console cannot be asked for these settings; the dialog
// only writes them.
class MobileNetworkDialog final : public ConsoleDialog {
    Q_OBJECT

public:
    // The name that opens this dialog on start, as the outside message does.
    static constexpr std::string_view kShowName = "mobile-network";

    MobileNetworkDialog(ConsoleLink& link, Messages& messages, QWidget* parent = nullptr);
    ~MobileNetworkDialog() override;

    // What the controls hold now.
    MobileNetworkForm Form() const;

protected:
    void InitDialog() override;

private:
    void OnSave();
    void OnMsgTest();

    std::unique_ptr<Ui::MobileNetworkDialog> ui_;
};

}  // namespace vorelle
