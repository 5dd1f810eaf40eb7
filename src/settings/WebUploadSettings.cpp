#include "settings/WebUploadSettings.h"

#include "link/BigEndian.h"
#include "link/Commands.h"
#include "link/ConsoleText.h"
#include "settings/PreparedWrites.h"
#include "units/NumberText.h"

#include <span>

namespace vorelle {

namespace {

constexpr int kPhpRow = 2;
constexpr int kCustomizeRow = 1;
constexpr std::string_view kDefaultServerPort = "80";
constexpr std::int32_t kMaxPort = 65535;

constexpr std::size_t kUpload1LengthExtra = 3;
constexpr std::size_t kUpload2LengthExtra = 12;

// Bytes of CMD_WRITE_UPLOAD2.
constexpr std::size_t kServerType = 2;
constexpr std::size_t kUploadType = 3;
constexpr std::size_t kPort = 4;       // 16-bit
constexpr std::size_t kInterval = 6;   // 32-bit seconds
constexpr std::size_t kFirstText = 10;

using PreparedWebUpload = PreparedWrites<WebUploadWrites>;

// A row of a fixed list as the console takes it.
std::uint8_t RowCode(int row) { return static_cast<std::uint8_t>(row); }

PreparedWebUpload Prepare(const WebUploadForm& form)
{
    const std::optional<std::uint32_t> interval = IntervalSeconds(form.interval, form.intervalUnit);
    if (!interval)
        return PreparedWebUpload::Refused(std::string(kUpdateIntervalField) + ": " + std::string(IntervalLimits(form.intervalUnit)));
    const std::int32_t port = ReadLeadingInteger(form.port);
    if (port < 0 || port > kMaxPort)
        return PreparedWebUpload::Refused(std::string(kPortMessage));

    const ConsoleText server = EncodeConsoleText("Web", form.server);
    if (server.refusal)
        return PreparedWebUpload::Refused(*server.refusal);
    if (server.latin1.size() > kMaxWebServerLength)
        return PreparedWebUpload::Refused(std::string(kWebServerTooLongMessage));
    const ConsoleText id = EncodeConsoleText("ID", form.id);
    if (id.refusal)
        return PreparedWebUpload::Refused(*id.refusal);
    const ConsoleText password = EncodeConsoleText("Password", form.password);
    if (password.refusal)
        return PreparedWebUpload::Refused(*password.refusal);
    if (id.latin1.size() + password.latin1.size() > kMaxIdAndPasswordLength)
        return PreparedWebUpload::Refused(std::string(kIdAndPasswordTooLongMessage));

    PreparedWebUpload prepared;
    Report& upload1 = prepared.writes.upload1;
    upload1 = MakeCommand(CMD_WRITE_UPLOAD1);
    upload1[1] = static_cast<std::uint8_t>(server.latin1.size() + kUpload1LengthExtra);
    PutCountedText(upload1, 2, server.latin1);

    Report& upload2 = prepared.writes.upload2;
    upload2 = MakeCommand(CMD_WRITE_UPLOAD2);
    upload2[1] = static_cast<std::uint8_t>(id.latin1.size() + password.latin1.size() + kUpload2LengthExtra);
    upload2[kServerType] = RowCode(form.serverTypeRow);
    upload2[kUploadType] = RowCode(form.uploadTypeRow);
    PutBigEndian(std::span(upload2).subspan(kPort, 2), static_cast<std::uint32_t>(port));
    PutBigEndian(std::span(upload2).subspan(kInterval, 4), *interval);
    PutCountedText(upload2, PutCountedText(upload2, kFirstText, id.latin1), password.latin1);
    return prepared;
}

}  // namespace

WebUploadForm OpeningWebUploadForm(bool connected)
{
    WebUploadForm form;
    form.server = std::string(kDefaultWebServer);
    if (connected) {
        form.webRow = -1;
        form.server.clear();
        form.serverTypeRow = 0;
        form.uploadTypeRow = 0;
        form.port = "0";
        form.interval = "0";
        form.intervalUnit = IntervalUnit::Minute;
    }
    SelectWebServer(form, form.webRow);
    return form;
}

void SelectWebServer(WebUploadForm& form, int row)
{
    form.webRow = row;
    if (row >= 0 && static_cast<std::size_t>(row) < kWebRows.size())
        form.server = std::string(kWebRows[static_cast<std::size_t>(row)]);
    form.typeAndPortFixed = row == kDefaultWebServerRow;
    if (form.typeAndPortFixed) {
        form.serverTypeRow = kPhpRow;
        form.uploadTypeRow = kCustomizeRow;
        form.port = std::string(kDefaultServerPort);
    }
}

std::optional<std::string> ValidateWebUpload(const WebUploadForm& form)
{
    return Prepare(form).refusal;
}

std::optional<WebUploadWrites> BuildWebUploadWrites(const WebUploadForm& form)
{
    return Prepare(form).Accepted();
}

SaveOutcome SaveWebUpload(ConsoleLink& link, const WebUploadForm& form)
{
    const PreparedWebUpload prepared = Prepare(form);
    if (prepared.refusal)
        return {SaveStatus::InvalidInput, *prepared.refusal};
    const std::array<SaveStep, 2> steps = {
        SaveStep{prepared.writes.upload1, CMD_WRITE_UPLOAD1, "the web server"},
        SaveStep{prepared.writes.upload2, CMD_WRITE_UPLOAD2,
                 "the ID, password, server type, upload type, port and interval"}};
    return SendInTurn(link, steps, kSaveSuccessText, kNotConnectedNothingSavedText);
}

}  // namespace vorelle
