#include "DialogTestSupport.h"
#include "WindowFixture.h"
#include "app/AboutBox.h"
#include "app/CommandIds.h"
#include "board/BoardTexts.h"
#include "firmware/FirmwareUpdateDialog.h"
#include "graph/GraphDialog.h"
#include "recordings/RecordingsDialog.h"
#include "store/RecordDatabase.h"
#include "settings/AlarmDialog.h"
#include "settings/BasicSettingsDialog.h"
#include "settings/CalibrationDialog.h"
#include "settings/MaxMinDialog.h"
#include "settings/MobileNetworkDialog.h"
#include "settings/RainTotalsDialog.h"
#include "settings/WebUploadDialog.h"
#include "widgets/ControlIds.h"
#include "widgets/QtText.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "support/IsOneOf.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

namespace vorelle {
namespace {

using test::ById;
namespace alarm_id = control_id::alarm_settings;
namespace basic_id = control_id::basic_settings;
namespace calibration_id = control_id::calibration;
namespace max_min_id = control_id::max_min;
namespace mobile_id = control_id::mobile_network;
namespace rain_id = control_id::rain_totals;
namespace web_id = control_id::web_upload;

// The inputs below `node` in the accessibility tree, not looking into an
// input's own parts (a combo box's list, a table's cells).
void CollectInputs(QAccessibleInterface& node, std::vector<QAccessibleInterface*>& inputs)
{
    static const std::set<QAccessible::Role> kInputs = {
        QAccessible::EditableText, QAccessible::ComboBox, QAccessible::CheckBox, QAccessible::RadioButton,
        QAccessible::SpinBox,      QAccessible::Slider,   QAccessible::List,     QAccessible::Tree,
        QAccessible::Table};
    for (int i = 0; i < node.childCount(); ++i) {
        if (QAccessibleInterface* child = node.child(i); child && kInputs.count(child->role()))
            inputs.push_back(child);
        else if (child)
            CollectInputs(*child, inputs);
    }
}

// What a screen reader calls an input. Qt on Linux gives a combo box its
// current entry as name and tells its label through a relation, as GTK does:
// there the label counts, or the name given to a combo box without one.
QString SpokenName(QAccessibleInterface& input)
{
    if (input.role() != QAccessible::ComboBox)
        return input.text(QAccessible::Name).trimmed();
    const auto labels = input.relations(QAccessible::Label);
    if (!labels.isEmpty())
        return labels.front().first->text(QAccessible::Name).trimmed();
    return static_cast<QWidget*>(input.object())->accessibleName();
}

class SettingsDialogsTest : public test::WindowFixture {
protected:
    void SetUp() override
    {
        test::WindowFixture::SetUp();
        TakeReading();
    }

    // Opens `dialog` with `open`; `inside` acts on it, and it is cancelled
    // afterwards unless a save closed it.
    void RunOpened(QDialog& dialog, const std::function<void()>& open, const std::function<void()>& inside)
    {
        EXPECT_TRUE(test::WithDialog(dialog, open, inside));
        EXPECT_FALSE(poller.DialogOpen) << "polling resumes when the dialog closes";
    }

    // The dialog a menu command opens.
    void RunWithDialog(int command, QDialog& dialog, const std::function<void()>& inside)
    {
        RunOpened(dialog, [&] { window.RunCommand(command); }, inside);
    }

    // The dialog an outside message opens.
    void RunWithMessage(const char* name, QDialog& dialog, const std::function<void()>& inside)
    {
        RunOpened(dialog, [&] { EXPECT_TRUE(window.HandleOutsideMessage(QString::fromLatin1(name))); }, inside);
    }

    // Clicks and waits until what the click started with the console has ended.
    void Click(ConsoleDialog& dialog, int id)
    {
        ById<QPushButton>(dialog, id)->click();
        EXPECT_TRUE(test::SpinUntil([&] { return !dialog.Saving(); }));
    }

    QString Text(QDialog& dialog, int id) { return ById<QLineEdit>(dialog, id)->text(); }
    void Type(QDialog& dialog, int id, const QString& text) { ById<QLineEdit>(dialog, id)->setText(text); }

    // True when the board repaints as asked: the UI thread is free.
    bool BoardRepaints()
    {
        test::PaintCount board(*window.centralWidget());
        window.RequestRepaint();
        return test::SpinUntil([&] { return board.paints > 0; });
    }

    std::string BoardValue(int left, int top)
    {
        for (const BoardText& text : BoardTexts(readings.Current()))
            if (text.style == BoardTextStyle::Value && text.rect.left == left && text.rect.top == top)
                return text.text;
        return {};
    }
};

TEST_F(SettingsDialogsTest, BasicSettingsShowsTheBlockAndFahrenheitReachesTheBoard)
{
    console.SetUnitCodes(0, 2, 1, 0, 0);
    BasicSettingsDialog& dialog = window.BasicSettings();
    bool dialogOpenWhileShown = false;
    RunWithDialog(command_id::BasicSettings, dialog, [&] {
        dialogOpenWhileShown = poller.DialogOpen;
        EXPECT_EQ(ById<QComboBox>(dialog, basic_id::PressureUnit)->currentText(), "hPa");
        EXPECT_EQ(ById<QComboBox>(dialog, basic_id::WindUnit)->currentText(), "km/h");
        EXPECT_EQ(ById<QComboBox>(dialog, basic_id::TimeZone)->count(), 108);
        EXPECT_EQ(ById<QLineEdit>(dialog, basic_id::Interval)->text(), "5");
        EXPECT_FALSE(ById<QComboBox>(dialog, basic_id::Sensor)->isEnabled());
        EXPECT_FALSE(ById<QComboBox>(dialog, basic_id::Frequency)->isEnabled());
        ById<QComboBox>(dialog, basic_id::TemperatureUnit)->setCurrentIndex(1);
        Click(dialog, basic_id::SaveButton);
    });
    EXPECT_TRUE(dialogOpenWhileShown);
    EXPECT_EQ(messages.Texts().back(), "Save Success");
    EXPECT_EQ(console.Settings()[2], 1);
    EXPECT_EQ(console.ReceivedCommands(CMD_WRITE_SETTING.code).back()[9], 5) << "the interval went unchanged";

    TakeReading();
    EXPECT_NE(BoardValue(20, 65).find("\u00B0F"), std::string::npos) << BoardValue(20, 65);
}

TEST_F(SettingsDialogsTest, BasicSettingsRefusesAndStaysOpen)
{
    BasicSettingsDialog& dialog = window.BasicSettings();
    RunWithDialog(command_id::BasicSettings, dialog, [&] {
        ById<QLineEdit>(dialog, basic_id::Interval)->setText("241");
        Click(dialog, basic_id::SaveButton);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(messages.Texts().back(), "Data Recording Interval: 1 - 240 Minute");

        ById<QLineEdit>(dialog, basic_id::Interval)->setText("240");
        console.SetMainScreen(false);
        Click(dialog, basic_id::SaveButton);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(messages.Texts().back(), "Please switch the device to the main screen.");

        console.SetMainScreen(true);
        transport.Unplug();
        QApplication::processEvents();
        Click(dialog, basic_id::SaveButton);
        EXPECT_TRUE(dialog.isVisible()) << "what the user typed is still there";
        EXPECT_EQ(ById<QLineEdit>(dialog, basic_id::Interval)->text(), "240");
        EXPECT_EQ(messages.Texts().back(), "The console is not connected. Nothing was saved.");
    });
    EXPECT_TRUE(console.ReceivedCommands(CMD_WRITE_SETTING.code).empty());
}

TEST_F(SettingsDialogsTest, TimeZoneRuleShowsOrHidesDaylightSaving)
{
    BasicSettingsDialog& dialog = window.BasicSettings();
    RunWithDialog(command_id::BasicSettings, dialog, [&] {
        QComboBox* zones = ById<QComboBox>(dialog, basic_id::TimeZone);
        QCheckBox* dst = ById<QCheckBox>(dialog, basic_id::DaylightSaving);
        EXPECT_FALSE(dst->isHidden()) << "Brussels has a rule";
        EXPECT_TRUE(dst->isChecked());
        zones->setCurrentIndex(13);
        emit zones->activated(13);  // Arizona
        EXPECT_TRUE(dst->isHidden());
        Click(dialog, basic_id::SaveButton);
    });
    const Report write = console.ReceivedCommands(CMD_WRITE_SETTING.code).back();
    EXPECT_EQ(write[7], 1) << "the hidden box keeps its check";
    EXPECT_EQ(write[8], 13);
}

TEST_F(SettingsDialogsTest, DialogsOpenedWithoutAConsoleCannotSave)
{
    const std::string withoutConsole = "This dialog was opened without the console's settings. Nothing was saved: "
                                       "close it and open it again with the console connected.";
    CalibrationDialog& calibration = window.Calibration();
    console.Faults().noReply = true;  // its block never came
    RunWithDialog(command_id::CalibrationSettings, calibration, [&] {
        EXPECT_TRUE(Text(calibration, calibration_id::IndoorTemp).isEmpty());
        Click(calibration, calibration_id::SaveButton);
        EXPECT_EQ(messages.Texts().back(), withoutConsole);
    });
    console.Faults().noReply = false;
    MaxMinDialog& maxMin = window.MaxMin();
    RunWithDialog(command_id::MaxMin, maxMin, [] {});  // records of an earlier opening
    transport.Unplug();
    console.ClearReceived();
    QApplication::processEvents();
    ASSERT_EQ(window.ConnectionText(), "Unconnected");
    BasicSettingsDialog& basic = window.BasicSettings();
    RunWithDialog(command_id::BasicSettings, basic, [&] {
        EXPECT_FALSE(ById<QPushButton>(basic, basic_id::SaveButton)->isEnabled());
        EXPECT_TRUE(ById<QCheckBox>(basic, basic_id::DaylightSaving)->isHidden());
        EXPECT_TRUE(ById<QLineEdit>(basic, basic_id::Interval)->text().isEmpty());
        EXPECT_EQ(ById<QComboBox>(basic, basic_id::TemperatureUnit)->currentIndex(), 0);
    });
    RainTotalsDialog& rain = window.RainTotals();
    RunWithDialog(command_id::RainfallTotals, rain, [&] {
        EXPECT_FALSE(ById<QPushButton>(rain, rain_id::SaveButton)->isEnabled());
        EXPECT_TRUE(ById<QLineEdit>(rain, rain_id::Today)->text().isEmpty());
    });
    RunWithDialog(command_id::MaxMin, maxMin, [&] {
        EXPECT_FALSE(ById<QPushButton>(maxMin, max_min_id::ClearButton)->isEnabled());
        EXPECT_FALSE(ById<QPushButton>(maxMin, max_min_id::ClearAllButton)->isEnabled());
        for (const QLineEdit* field : maxMin.findChildren<QLineEdit*>())
            EXPECT_TRUE(field->text().isEmpty()) << "shown as current: " << field->text().toStdString();
    });
    AlarmDialog& alarm = window.AlarmSettings();
    RunWithDialog(command_id::AlarmSettings, alarm, [&] {
        EXPECT_FALSE(ById<QPushButton>(alarm, alarm_id::SaveButton)->isEnabled());
        EXPECT_TRUE(Text(alarm, alarm_id::IndoorTempHigh).isEmpty());
        EXPECT_FALSE(ById<QCheckBox>(alarm, alarm_id::IndoorTempHighOn)->isChecked());
    });
    RunWithDialog(command_id::CalibrationSettings, calibration, [&] {
        EXPECT_TRUE(Text(calibration, calibration_id::RelPressure).isEmpty());
        // Save stays enabled, and writes nothing even once the console has come.
        Type(calibration, calibration_id::IndoorHumidity, QStringLiteral("5"));
        for (const bool plugged : {false, true}) {
            if (plugged)
                transport.Plug();
            test::ProcessEvents();
            EXPECT_EQ(window.ConnectionText(), plugged ? "Connected" : "Unconnected");
            Click(calibration, calibration_id::SaveButton);
            EXPECT_TRUE(calibration.isVisible());
            EXPECT_EQ(messages.Texts().back(), withoutConsole);
        }
        transport.Unplug();
        test::ProcessEvents();
    });
    MobileNetworkDialog& mobile = window.MobileNetwork();
    RunWithMessage("mobile-network", mobile, [&] {
        EXPECT_FALSE(ById<QPushButton>(mobile, mobile_id::SaveButton)->isEnabled());
        EXPECT_EQ(ById<QComboBox>(mobile, mobile_id::CurrentIntervalUnit)->currentText(), "Hour");
        Type(mobile, mobile_id::TestMessage, QStringLiteral("test"));
        Click(mobile, mobile_id::MsgTestButton);
        EXPECT_TRUE(mobile.isVisible());
        EXPECT_EQ(messages.Texts().back(), "The console is not connected. The test message was not sent.");
    });
    WebUploadDialog& web = window.WebUpload();
    RunWithMessage("web-server", web, [&] {
        EXPECT_FALSE(ById<QPushButton>(web, web_id::SaveButton)->isEnabled());
        EXPECT_EQ(ById<QComboBox>(web, web_id::Web)->currentText(), "rtupdate.wunderground.com");
        EXPECT_FALSE(ById<QLineEdit>(web, web_id::Port)->isEnabled());
    });
    EXPECT_TRUE(console.ReceivedCommands().empty()) << "nothing is exchanged without a console";
}

TEST_F(SettingsDialogsTest, CorrectedRainTotalShowsOnTheBoard)
{
    RainTotalsDialog& dialog = window.RainTotals();
    RunWithDialog(command_id::RainfallTotals, dialog, [&] {
        EXPECT_EQ(ById<QLabel>(dialog, rain_id::MonthUnit)->text(), "mm");
        EXPECT_FALSE(ById<QLineEdit>(dialog, rain_id::Month)->text().isEmpty());
        ById<QLineEdit>(dialog, rain_id::Month)->setText("10000");
        Click(dialog, rain_id::SaveButton);
        EXPECT_EQ(messages.Texts().back(), "RainMonth: 0  to 9999.9 mm / 393.66 in");
        ById<QLineEdit>(dialog, rain_id::Month)->setText("250.5");
        Click(dialog, rain_id::SaveButton);
    });
    EXPECT_EQ(messages.Texts().back(), "Save Success");
    TakeReading();
    EXPECT_EQ(BoardValue(170, 460).substr(0, 5), "250.5") << BoardValue(170, 460);
}

TEST_F(SettingsDialogsTest, ClearedMaxMinRecordIsSeenAtTheNextOpening)
{
    MaxMinDialog& dialog = window.MaxMin();
    RunWithDialog(command_id::MaxMin, dialog, [&] {
        EXPECT_FALSE(ById<QLineEdit>(dialog, max_min_id::WindSpeedMax)->text().isEmpty());
        EXPECT_NE(ById<QLineEdit>(dialog, max_min_id::WindSpeedMax)->text(), "--.-");
        ById<QCheckBox>(dialog, max_min_id::WindSpeedBox)->setChecked(true);
        Click(dialog, max_min_id::ClearButton);
    });
    EXPECT_EQ(messages.Texts().back(), "Clear Success");
    const Report clear = console.ReceivedCommands(CMD_WRITE_MAXMIN.code).back();
    EXPECT_EQ((std::vector<int>{clear[2], clear[3], clear[4], clear[5]}), (std::vector<int>{0, 0, 1, 0}));

    RunWithDialog(command_id::MaxMin, dialog, [&] {
        EXPECT_EQ(ById<QLineEdit>(dialog, max_min_id::WindSpeedMax)->text(), "--.-") << "the wind record was cleared";
        EXPECT_NE(ById<QLineEdit>(dialog, max_min_id::GustSpeedMax)->text(), "--.-") << "the gust record was kept";
        EXPECT_FALSE(ById<QCheckBox>(dialog, max_min_id::WindSpeedBox)->isChecked()) << "boxes start unchecked";
    });
}

TEST_F(SettingsDialogsTest, ClearAllTicksEveryBox)
{
    MaxMinDialog& dialog = window.MaxMin();
    RunWithDialog(command_id::MaxMin, dialog, [&] { Click(dialog, max_min_id::ClearAllButton); });
    const Report clear = console.ReceivedCommands(CMD_WRITE_MAXMIN.code).back();
    EXPECT_EQ((std::vector<int>{clear[1], clear[2], clear[3], clear[4], clear[5]}),
              (std::vector<int>{4, 0xFF, 0xFF, 0x0F, 0}));
}

TEST_F(SettingsDialogsTest, AlarmShowsTheConsolesThresholdsAndASaveIsSeenAtTheNextOpening)
{
    console.SetUnitCodes(1, 0, 1, 0, 0);  // °F, inHg, km/h
    TakeReading();
    AlarmDialog& dialog = window.AlarmSettings();
    RunWithDialog(command_id::AlarmSettings, dialog, [&] {
        EXPECT_EQ(Text(dialog, alarm_id::IndoorTempHigh), "86.0");
        EXPECT_EQ(Text(dialog, alarm_id::OutdoorTempHigh), "95.0");
        EXPECT_EQ(Text(dialog, alarm_id::OutdoorTempLow), "14.0");
        EXPECT_EQ(Text(dialog, alarm_id::DewPointHigh), "--.-") << "an unset dew point";
        EXPECT_EQ(Text(dialog, alarm_id::OutdoorHumidityLow), "--") << "an unset humidity";
        EXPECT_EQ(Text(dialog, alarm_id::GustSpeed), "72.0");
        EXPECT_EQ(Text(dialog, alarm_id::RelPressureHigh), "30.71");
        EXPECT_TRUE(ById<QCheckBox>(dialog, alarm_id::IndoorTempHighOn)->isChecked());
        EXPECT_FALSE(ById<QCheckBox>(dialog, alarm_id::IndoorTempLowOn)->isChecked());
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("indoorTempHighUnit"))->text(), "\u00B0F");
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("absPressureLowUnit"))->text(), " inHg");
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("gustSpeedUnit"))->text(), " km/h");

        const int lowSwitches[] = {alarm_id::IndoorTempLowOn, alarm_id::IndoorHumidityLowOn,
                                   alarm_id::OutdoorTempLowOn, alarm_id::OutdoorHumidityLowOn,
                                   alarm_id::AbsPressureLowOn, alarm_id::RelPressureLowOn,
                                   alarm_id::FeelsLikeLowOn, alarm_id::DewPointLowOn};
        ById<QCheckBox>(dialog, alarm_id::SelectAllLow)->click();
        for (int box : lowSwitches)
            EXPECT_TRUE(ById<QCheckBox>(dialog, box)->isChecked()) << box;
        EXPECT_FALSE(ById<QCheckBox>(dialog, alarm_id::WindSpeedOn)->isChecked()) << "the high group is left alone";
        ById<QCheckBox>(dialog, alarm_id::SelectAllLow)->click();
        for (int box : lowSwitches)
            EXPECT_FALSE(ById<QCheckBox>(dialog, box)->isChecked()) << box;

        Type(dialog, alarm_id::IndoorTempHigh, QStringLiteral("95.0"));
        Click(dialog, alarm_id::SaveButton);
    });
    EXPECT_EQ(messages.Texts().back(), "Save Success");
    EXPECT_EQ(console.Alarm().Item(1), (std::vector<std::uint8_t>{0x01, 0x5E, 1, 0x00, 0x96, 0}));
    EXPECT_EQ(console.Alarm().Item(3), (std::vector<std::uint8_t>{0x7F, 0xFF, 0, 0x7F, 0xFF, 0})) << "still unset";

    RunWithDialog(command_id::AlarmSettings, dialog, [&] {
        EXPECT_EQ(Text(dialog, alarm_id::IndoorTempHigh), "95.0");
        EXPECT_EQ(Text(dialog, alarm_id::DewPointHigh), "--.-");
    });
}

TEST_F(SettingsDialogsTest, AlarmRefusesAndStaysOpen)
{
    AlarmDialog& dialog = window.AlarmSettings();
    RunWithDialog(command_id::AlarmSettings, dialog, [&] {
        Type(dialog, alarm_id::IndoorHumidityHigh, QStringLiteral("100"));
        Click(dialog, alarm_id::SaveButton);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(messages.Texts().back(), "Alarm Humidity:1 to 99");

        Type(dialog, alarm_id::IndoorHumidityHigh, QStringLiteral("99"));
        transport.Unplug();
        QApplication::processEvents();
        Click(dialog, alarm_id::SaveButton);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(Text(dialog, alarm_id::IndoorHumidityHigh), "99");
        EXPECT_EQ(messages.Texts().back(), "The console is not connected. Nothing was saved.");
    });
    EXPECT_TRUE(console.ReceivedCommands(CMD_WRITE_ALARM.code).empty());
}

TEST_F(SettingsDialogsTest, CalibrationShowsTheConsolesOffsetsAndSavesThemUnchanged)
{
    CalibrationDialog& dialog = window.Calibration();
    const std::uint8_t ids[] = {1, 2, 6, 7, 8, 9, 10, 11, 13, 21};
    std::vector<std::vector<std::uint8_t>> before;
    for (std::uint8_t id : ids)
        before.push_back(console.Calibration().Item(id));
    RunWithDialog(command_id::CalibrationSettings, dialog, [&] {
        EXPECT_EQ(Text(dialog, calibration_id::RelPressure), "12.5");
        EXPECT_EQ(Text(dialog, calibration_id::AbsPressure), "-2.3");
        EXPECT_EQ(Text(dialog, calibration_id::WindDirection), "--");
        EXPECT_EQ(Text(dialog, calibration_id::IndoorTemp), "1.0");
        EXPECT_EQ(Text(dialog, calibration_id::OutdoorTemp), "--");
        EXPECT_EQ(Text(dialog, calibration_id::IndoorHumidity), "-10");
        EXPECT_EQ(Text(dialog, calibration_id::OutdoorHumidity), "3");
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("relPressureUnit"))->text(), " hPa");
        Click(dialog, calibration_id::SaveButton);
    });
    EXPECT_EQ(messages.Texts().back(), "Save Success");
    ASSERT_EQ(console.ReceivedCommands(CMD_WRITE_CALIB.code).size(), 1u);
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(console.Calibration().Item(ids[i]), before[i]) << "item " << int{ids[i]} << " as it was";
}

TEST_F(SettingsDialogsTest, MobileNetworkSavesWhatWasTypedAndSendsATestMessage)
{
    MobileNetworkDialog& dialog = window.MobileNetwork();
    RunWithMessage("mobile-network", dialog, [&] {
        EXPECT_TRUE(Text(dialog, mobile_id::Apn).isEmpty());
        EXPECT_EQ(Text(dialog, mobile_id::CurrentInterval), "0");
        EXPECT_EQ(ById<QComboBox>(dialog, mobile_id::CurrentIntervalUnit)->currentText(), "Minute");
        QLineEdit* password = ById<QLineEdit>(dialog, mobile_id::Password);
        EXPECT_EQ(password->echoMode(), QLineEdit::Password);
        ById<QCheckBox>(dialog, mobile_id::ShowPassword)->click();
        EXPECT_EQ(password->echoMode(), QLineEdit::Normal);
        ById<QCheckBox>(dialog, mobile_id::ShowPassword)->click();
        EXPECT_EQ(password->echoMode(), QLineEdit::Password);

        Type(dialog, mobile_id::Apn, QStringLiteral("internet.t-mobile"));
        Type(dialog, mobile_id::User, QStringLiteral("t-mobile"));
        Type(dialog, mobile_id::Password, QStringLiteral("tm"));
        Type(dialog, mobile_id::Tel1, QStringLiteral("+491701234567"));
        Type(dialog, mobile_id::AlarmInterval, QStringLiteral("30"));
        Type(dialog, mobile_id::CurrentInterval, QStringLiteral("3"));
        ById<QComboBox>(dialog, mobile_id::CurrentIntervalUnit)->setCurrentIndex(0);  // Hour
        Type(dialog, mobile_id::Tel2, QStringLiteral("\u20AC"));
        Click(dialog, mobile_id::SaveButton);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(messages.Texts().back(),
                  "Tel2: the character \"\u20AC\" cannot be sent to the console. Use Western European letters, "
                  "digits and signs only.");
        Type(dialog, mobile_id::Tel2, QString());
        Click(dialog, mobile_id::SaveButton);
    });
    EXPECT_EQ(messages.Texts().back(), "Save Success");
    EXPECT_EQ(console.Network().MobileNetwork(),
              (SimMobileNetwork{"internet.t-mobile", "t-mobile", "tm", {"+491701234567", "", ""}, 1800, 10800}));

    RunWithMessage("mobile-network", dialog, [&] {
        EXPECT_TRUE(Text(dialog, mobile_id::Apn).isEmpty()) << "the console cannot be asked: each opening is blank";
        Type(dialog, mobile_id::TestMessage, QStringLiteral("Hello from the PC"));
        Click(dialog, mobile_id::MsgTestButton);
    });
    EXPECT_EQ(messages.Texts().back(), "Success");
    EXPECT_EQ(console.Network().TestMessages(), (std::vector<std::string>{"Hello from the PC"}));
}

TEST_F(SettingsDialogsTest, MobileNetworkSavePulledHalfWayStaysOpen)
{
    MobileNetworkDialog& dialog = window.MobileNetwork();
    RunWithMessage("mobile-network", dialog, [&] {
        Type(dialog, mobile_id::Apn, QStringLiteral("apn"));
        transport.UnplugAfter(CMD_WRITE_GPRS1.code);
        Click(dialog, mobile_id::SaveButton);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(Text(dialog, mobile_id::Apn), "apn");
        // Whether the APN's answer came before the cable went is down to the
        // threads' timing.
        EXPECT_TRUE(test::IsOneOf(messages.Texts().back(), {
                           "The console was disconnected during the save. Not saved: the user and password; the "
                           "telephone numbers and SMS intervals. Save again once it is connected.",
                           "The console was disconnected during the save. Not saved: the user and password; the "
                           "telephone numbers and SMS intervals. It may not have received the APN either. Save again "
                           "once it is connected."}));
    });
    EXPECT_EQ(console.Network().MobileNetwork().apn, "apn");
}

TEST_F(SettingsDialogsTest, WebServerRowZeroFixesTypeAndPort)
{
    WebUploadDialog& dialog = window.WebUpload();
    RunWithMessage("web-server", dialog, [&] {
        QComboBox* web = ById<QComboBox>(dialog, web_id::Web);
        QComboBox* serverType = ById<QComboBox>(dialog, web_id::ServerType);
        QComboBox* uploadType = ById<QComboBox>(dialog, web_id::UploadType);
        QLineEdit* port = ById<QLineEdit>(dialog, web_id::Port);
        EXPECT_TRUE(web->currentText().isEmpty());
        EXPECT_EQ(serverType->currentText(), "jsp");
        EXPECT_EQ(uploadType->currentText(), "Default");
        EXPECT_EQ(port->text(), "0");
        EXPECT_TRUE(port->isEnabled());
        EXPECT_EQ(ById<QLineEdit>(dialog, web_id::Password)->echoMode(), QLineEdit::Password);

        web->setCurrentIndex(0);
        emit web->activated(0);
        EXPECT_EQ(serverType->currentText(), "php");
        EXPECT_EQ(uploadType->currentText(), "Customize");
        EXPECT_EQ(port->text(), "80");
        for (QWidget* fixed : std::initializer_list<QWidget*>{serverType, uploadType, port})
            EXPECT_FALSE(fixed->isEnabled());

        web->setCurrentIndex(1);
        emit web->activated(1);
        EXPECT_EQ(web->currentText(), "New web");
        EXPECT_TRUE(port->isEnabled());
        Type(dialog, web_id::Port, QStringLiteral("70000"));
        Click(dialog, web_id::SaveButton);
        EXPECT_EQ(messages.Texts().back(), "Port: 0 - 65535");

        web->setCurrentIndex(0);
        emit web->activated(0);
        Type(dialog, web_id::Id, QStringLiteral("KBERLIN12"));
        Type(dialog, web_id::Password, QStringLiteral("geheim"));
        Type(dialog, web_id::Interval, QStringLiteral("5"));
        Click(dialog, web_id::SaveButton);
    });
    EXPECT_EQ(messages.Texts().back(), "Save Success");
    EXPECT_EQ(console.Network().WebUpload(),
              (SimWebUpload{"rtupdate.wunderground.com", "KBERLIN12", "geheim", 2, 1, 80, 300}));
}

// A console that never answers the screen check holds a save for the whole
// wait: the dialog shows that it works and cannot be closed, the window
// repaints and its menus open, and the message comes afterwards.
TEST_F(SettingsDialogsTest, WindowGoesOnWhileASaveWaitsForTheConsole)
{
    BasicSettingsDialog& dialog = window.BasicSettings();
    RunWithDialog(command_id::BasicSettings, dialog, [&] {
        QPushButton* save = ById<QPushButton>(dialog, basic_id::SaveButton);
        console.Faults().noReply = true;
        save->click();
        EXPECT_FALSE(save->isEnabled());
        dialog.reject();
        EXPECT_TRUE(dialog.isVisible()) << "not closed while it saves";
        QMenu* setup = window.menuBar()->actions().front()->menu();
        setup->popup(window.pos());
        EXPECT_TRUE(BoardRepaints() && setup->isVisible());
        EXPECT_TRUE(messages.shown.empty()) << "the save still waits";
        setup->close();
        EXPECT_TRUE(test::SpinUntil([&] { return save->isEnabled(); }));
    });
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Please switch the device to the main screen."});
}

// The console's block is read for a dialog off the UI thread: meanwhile the
// window repaints, says that it reads and takes no menu command.
TEST_F(SettingsDialogsTest, WindowGoesOnWhileADialogWaitsForItsBlock)
{
    console.Faults().noReply = true;
    AlarmDialog& dialog = window.AlarmSettings();
    bool looked = false;
    QTimer::singleShot(1, &window, [&] {
        looked = true;
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(window.menuBar()->isEnabled());
        EXPECT_EQ(window.statusBar()->findChildren<QLabel*>().front()->text(), "Reading..............");
        EXPECT_TRUE(BoardRepaints());
    });
    RunWithDialog(command_id::AlarmSettings, dialog, [] {});
    EXPECT_TRUE(looked);
    EXPECT_TRUE(window.menuBar()->isEnabled());
}

// An outside message that comes while a dialog is open (perhaps saving)
// brings its own dialog to the front as it stands, or opens it over the
// other; the poll stands still until the last one closes.
TEST_F(SettingsDialogsTest, OutsideMessagesOverAnOpenDialog)
{
    WebUploadDialog& web = window.WebUpload();
    RunWithMessage("web-server", web, [&] {
        Type(web, web_id::Id, QStringLiteral("KBERLIN12"));
        EXPECT_TRUE(window.HandleOutsideMessage(QStringLiteral("web-server")));
        EXPECT_EQ(Text(web, web_id::Id), "KBERLIN12") << "not opened afresh";
        EXPECT_TRUE(test::WithDialog(window.MobileNetwork(), [&] { window.HandleOutsideMessage("mobile-network"); },
                                     [] {}));
        EXPECT_TRUE(poller.DialogOpen) << "the web server dialog is still open";
    });
}

// Walked through the accessibility tree, every input of every dialog has a
// name, its own within its dialog: its label, or its row and column where a
// label stands for several ("Indoor Temp: high alarm").
TEST_F(SettingsDialogsTest, EveryInputOfEveryDialogHasANameOfItsOwn)
{
    StoreResult<RecordDatabase> store = RecordDatabase::OpenInMemory();
    ASSERT_TRUE(store.Ok()) << store.Error();
    GraphDialog graph(store.Value(), messages, &window);
    AboutBox about(&window);
    std::size_t inputs = 0;
    for (QDialog* dialog : std::initializer_list<QDialog*>{
             &window.BasicSettings(), &window.AlarmSettings(), &window.Calibration(), &window.RainTotals(),
             &window.MaxMin(), &window.MobileNetwork(), &window.WebUpload(), &window.FirmwareUpdate(),
             &window.Recordings(), &graph, &about}) {
        dialog->show();
        std::vector<QAccessibleInterface*> found;
        CollectInputs(*QAccessible::queryAccessibleInterface(dialog), found);
        std::map<QString, QString> named;  // the input that has each name
        for (QAccessibleInterface* input : found) {
            const std::string where = (dialog->objectName() + ": " + input->object()->objectName()).toStdString();
            const QString name = SpokenName(*input);
            EXPECT_FALSE(name.isEmpty()) << where << " has no name";
            const auto [first, added] = named.emplace(name.toLower(), input->object()->objectName());
            EXPECT_TRUE(added) << where << " is \"" << name.toStdString() << "\" as " << first->second.toStdString();
        }
        inputs += found.size();
        dialog->hide();
    }
    EXPECT_EQ(inputs, 118u) << "90 in the five station settings dialogs, 28 in the others";
}

// Every dialog laid out on the simulated console shows each text whole; with
// VORELLE2_DIALOG_PICTURES set, each is saved there as NAME.png to look at.
TEST_F(SettingsDialogsTest, EveryNewDialogShowsItsTextsWhole)
{
    const QString folder = qEnvironmentVariable("VORELLE2_DIALOG_PICTURES");
    const auto look = [&](QDialog& dialog, std::string_view name) {
        const QImage picture = dialog.grab().toImage();
        EXPECT_FALSE(picture.isNull());
        for (QWidget* control : dialog.findChildren<QWidget*>()) {
            if (!control->isVisible() || !(qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control)))
                continue;
            EXPECT_GE(control->width(), control->minimumSizeHint().width())
                << name << ": " << control->objectName().toStdString();
        }
        if (!folder.isEmpty()) {
            EXPECT_TRUE(picture.save(QDir(folder).filePath(ToQString(name) + QStringLiteral(".png"))));
        }
    };
    RunWithDialog(command_id::AlarmSettings, window.AlarmSettings(),
                  [&] { look(window.AlarmSettings(), AlarmDialog::kShowName); });
    RunWithDialog(command_id::CalibrationSettings, window.Calibration(),
                  [&] { look(window.Calibration(), CalibrationDialog::kShowName); });
    RunWithMessage("mobile-network", window.MobileNetwork(),
                   [&] { look(window.MobileNetwork(), MobileNetworkDialog::kShowName); });
    RunWithMessage("web-server", window.WebUpload(), [&] { look(window.WebUpload(), WebUploadDialog::kShowName); });
}

}  // namespace
}  // namespace vorelle
