#pragma once

#include "link/ConsoleLink.h"
#include "link/HidTransport.h"
#include "settings/IntervalChoice.h"
#include "settings/SettingsSave.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vorelle {

// The Web list: Weather Underground's real-time update server, and a row
// that stands for a server of the owner's own.
inline constexpr std::string_view kDefaultWebServer = "rtupdate.wunderground.com";
inline constexpr std::array<std::string_view, 2> kWebRows = {kDefaultWebServer, "New web"};
inline constexpr int kDefaultWebServerRow = 0;
inline constexpr std::array<std::string_view, 3> kServerTypeTexts = {"jsp", "asp", "php"};
inline constexpr std::array<std::string_view, 2> kUploadTypeTexts = {"Default", "Customize"};

inline constexpr std::string_view kUpdateIntervalField = "Update Interval";
inline constexpr std::string_view kPortMessage = "Port: 0 - 65535";
inline constexpr std::size_t kMaxWebServerLength = 61;
inline constexpr std::size_t kMaxIdAndPasswordLength = 52;
inline constexpr std::string_view kWebServerTooLongMessage = "Web: at most 61 characters.";
inline constexpr std::string_view kIdAndPasswordTooLongMessage = "ID and Password: at most 52 characters together.";

// What the web server dialog holds. Texts as typed (UTF-8); port and
// interval as typed, read as whole numbers.
struct WebUploadForm {
    int webRow = kDefaultWebServerRow;  // -1: a name typed in, no row chosen
    std::string server;                 // the Web text as shown
    std::string id;
    std::string password;
    int serverTypeRow = 2;              // php
    int uploadTypeRow = 1;              // Customize
    std::string port = "80";
    std::string interval;
    IntervalUnit intervalUnit = IntervalUnit::Hour;
    bool typeAndPortFixed = false;      // the default server fixes them; their controls are disabled

    friend bool operator==(const WebUploadForm&, const WebUploadForm&) = default;
};

// The form as the dialog opens. The console cannot be asked for these
// settings, so with a console the fields start blank for the owner to fill
// in (no server, jsp, Default, port 0, interval 0 minutes); without one they
// show the default server.
WebUploadForm OpeningWebUploadForm(bool connected);

// The owner picked a row of the Web list. The default server fixes server
// type php, upload type Customize and port 80; any other entry frees them.
void SelectWebServer(WebUploadForm& form, int row);

// The message refusing the form, if any: the interval, the port, then the
// texts (a character the console cannot take, or more than the command holds).
std::optional<std::string> ValidateWebUpload(const WebUploadForm& form);

// CMD_WRITE_UPLOAD1 (the server) and CMD_WRITE_UPLOAD2 (the rest), sent in
// this order.
struct WebUploadWrites {
    Report upload1;
    Report upload2;
};

// Both commands; nothing when the form is refused.
std::optional<WebUploadWrites> BuildWebUploadWrites(const WebUploadForm& form);

// Save: validate, refuse without a console, send both commands in turn.
SaveOutcome SaveWebUpload(ConsoleLink& link, const WebUploadForm& form);

}  // namespace vorelle
