#pragma once

#include "settings/ConsoleDialog.h"
#include "settings/WebUploadSettings.h"

#include <memory>
#include <string_view>

namespace Ui {
class WebUploadDialog;
}

namespace vorelle {

// Web server: where and how often the console uploads its readings, the
// station's ID and password. The console cannot be asked for these settings;
// the dialog only writes them.
class WebUploadDialog final : public ConsoleDialog {
    Q_OBJECT

public:
    // The name that opens this dialog on start, as the outside message does.
    static constexpr std::string_view kShowName = "web-server";

    WebUploadDialog(ConsoleLink& link, Messages& messages, QWidget* parent = nullptr);
    ~WebUploadDialog() override;

    // What the controls hold now.
    WebUploadForm Form() const;

protected:
    void InitDialog() override;

private:
    void ShowForm(const WebUploadForm& form);
    void OnWebChosen(int row);
    void OnSave();

    std::unique_ptr<Ui::WebUploadDialog> ui_;
};

}  // namespace vorelle
