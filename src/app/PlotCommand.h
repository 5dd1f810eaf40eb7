#pragma once

#include <QString>

namespace vorelle {

// `vorelle2 --plot QUANTITY [--history] --from TIME --to TIME --png FILE
// [--size WxH]`: the graph dialog's chart of the stored recording, or with
// --history the History dialog's chart, saved as a PNG without showing a
// window.
struct PlotRequest {
    QString quantity;
    QString from;
    QString to;
    QString png;
    QString size;  // "WxH"; empty for the dialog's chart size
    bool history = false;
};

// Exit status: 0 saved; 1 the store cannot be read or the file written;
// 2 a wrong request (unknown quantity, a time that cannot be read, a start
// after the end, a bad size). What went wrong goes to standard error.
int RunPlot(const PlotRequest& request);

}  // namespace vorelle
