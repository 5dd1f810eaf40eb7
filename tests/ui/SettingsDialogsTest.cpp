#include "DialogTestSupport.h"
#include "WindowFixture.h"
#include "app/CommandIds.h"
#include "board/BoardTexts.h"
#include "settings/AlarmDialog.h"
#include "settings/BasicSettingsDialog.h"
#include "settings/CalibrationDialog.h"
#include "settings/MaxMinDialog.h"
#include "settings/MobileNetworkDialog.h"
#include "settings/RainTotalsDialog.h"
#include "settings/WebUploadDialog.h"
#include "widgets/QtText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "support/IsOneOf.h"

#include <gtest/gtest.h>

#include <functional>

namespace vorelle {
namespace {

using test::ById;

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

    void Click(QDialog& dialog, int id) { ById<QPushButton>(dialog, id)->click(); }

    QString Text(QDialog& dialog, int id) { return ById<QLineEdit>(dialog, id)->text(); }
    void Type(QDialog& dialog, int id, const QString& text) { ById<QLineEdit>(dialog, id)->setText(text); }

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
        EXPECT_EQ(ById<QComboBox>(dialog, 1009)->currentText(), "hPa");
        EXPECT_EQ(ById<QComboBox>(dialog, 1008)->currentText(), "km/h");
        EXPECT_EQ(ById<QComboBox>(dialog, 1011)->count(), 108);
        EXPECT_EQ(ById<QLineEdit>(dialog, 1014)->text(), "5");
        EXPECT_FALSE(ById<QComboBox>(dialog, 1013)->isEnabled());
        EXPECT_FALSE(ById<QComboBox>(dialog, 1018)->isEnabled());
        ById<QComboBox>(dialog, 1006)->setCurrentIndex(1);
        Click(dialog, 1005);
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
        ById<QLineEdit>(dialog, 1014)->setText("241");
        Click(dialog, 1005);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(messages.Texts().back(), "Data Recording Interval: 1 - 240 Minute");

        ById<QLineEdit>(dialog, 1014)->setText("240");
        console.SetMainScreen(false);
        Click(dialog, 1005);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(messages.Texts().back(), "Please switch the device to the main screen.");

        console.SetMainScreen(true);
        transport.Unplug();
        QApplication::processEvents();
        Click(dialog, 1005);
        EXPECT_TRUE(dialog.isVisible()) << "what the user typed is still there";
        EXPECT_EQ(ById<QLineEdit>(dialog, 1014)->text(), "240");
        EXPECT_EQ(messages.Texts().back(), "The console is not connected. Nothing was saved.");
    });
    EXPECT_TRUE(console.ReceivedCommands(CMD_WRITE_SETTING.code).empty());
}

TEST_F(SettingsDialogsTest, TimeZoneRuleShowsOrHidesDaylightSaving)
{
    BasicSettingsDialog& dialog = window.BasicSettings();
    RunWithDialog(command_id::BasicSettings, dialog, [&] {
        QComboBox* zones = ById<QComboBox>(dialog, 1011);
        QCheckBox* dst = ById<QCheckBox>(dialog, 1019);
        EXPECT_FALSE(dst->isHidden()) << "Brussels has a rule";
        EXPECT_TRUE(dst->isChecked());
        zones->setCurrentIndex(13);
        emit zones->activated(13);  // Arizona
        EXPECT_TRUE(dst->isHidden());
        Click(dialog, 1005);
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
        EXPECT_TRUE(Text(calibration, 1017).isEmpty());
        Click(calibration, 1005);
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
        EXPECT_FALSE(ById<QPushButton>(basic, 1005)->isEnabled());
        EXPECT_TRUE(ById<QCheckBox>(basic, 1019)->isHidden());
        EXPECT_TRUE(ById<QLineEdit>(basic, 1014)->text().isEmpty());
        EXPECT_EQ(ById<QComboBox>(basic, 1006)->currentIndex(), 0);
    });
    RainTotalsDialog& rain = window.RainTotals();
    RunWithDialog(command_id::RainfallTotals, rain, [&] {
        EXPECT_FALSE(ById<QPushButton>(rain, 1005)->isEnabled());
        EXPECT_TRUE(ById<QLineEdit>(rain, 1014)->text().isEmpty());
    });
    RunWithDialog(command_id::MaxMin, maxMin, [&] {
        EXPECT_FALSE(ById<QPushButton>(maxMin, 1005)->isEnabled());
        EXPECT_FALSE(ById<QPushButton>(maxMin, 1007)->isEnabled());
        for (const QLineEdit* field : maxMin.findChildren<QLineEdit*>())
            EXPECT_TRUE(field->text().isEmpty()) << "shown as current: " << field->text().toStdString();
    });
    AlarmDialog& alarm = window.AlarmSettings();
    RunWithDialog(command_id::AlarmSettings, alarm, [&] {
        EXPECT_FALSE(ById<QPushButton>(alarm, 1005)->isEnabled());
        EXPECT_TRUE(Text(alarm, 1014).isEmpty());
        EXPECT_FALSE(ById<QCheckBox>(alarm, 1013)->isChecked());
    });
    RunWithDialog(command_id::CalibrationSettings, calibration, [&] {
        EXPECT_TRUE(Text(calibration, 1014).isEmpty());
        // Save stays enabled, and writes nothing even once the console has come.
        Type(calibration, 1018, QStringLiteral("5"));
        for (const bool plugged : {false, true}) {
            if (plugged)
                transport.Plug();
            test::ProcessEvents();
            EXPECT_EQ(window.ConnectionText(), plugged ? "Connected" : "Unconnected");
            Click(calibration, 1005);
            EXPECT_TRUE(calibration.isVisible());
            EXPECT_EQ(messages.Texts().back(), withoutConsole);
        }
        transport.Unplug();
        test::ProcessEvents();
    });
    MobileNetworkDialog& mobile = window.MobileNetwork();
    RunWithMessage("mobile-network", mobile, [&] {
        EXPECT_FALSE(ById<QPushButton>(mobile, 1005)->isEnabled());
        EXPECT_EQ(ById<QComboBox>(mobile, 1008)->currentText(), "Hour");
        Type(mobile, 1022, QStringLiteral("test"));
        Click(mobile, 1037);
        EXPECT_TRUE(mobile.isVisible());
        EXPECT_EQ(messages.Texts().back(), "The console is not connected. The test message was not sent.");
    });
    WebUploadDialog& web = window.WebUpload();
    RunWithMessage("web-server", web, [&] {
        EXPECT_FALSE(ById<QPushButton>(web, 1005)->isEnabled());
        EXPECT_EQ(ById<QComboBox>(web, 1006)->currentText(), "rtupdate.wunderground.com");
        EXPECT_FALSE(ById<QLineEdit>(web, 1016)->isEnabled());
    });
    EXPECT_TRUE(console.ReceivedCommands().empty()) << "nothing is exchanged without a console";
}

TEST_F(SettingsDialogsTest, CorrectedRainTotalShowsOnTheBoard)
{
    RainTotalsDialog& dialog = window.RainTotals();
    RunWithDialog(command_id::RainfallTotals, dialog, [&] {
        EXPECT_EQ(ById<QLabel>(dialog, 1100)->text(), "mm");
        EXPECT_FALSE(ById<QLineEdit>(dialog, 1016)->text().isEmpty());
        ById<QLineEdit>(dialog, 1016)->setText("10000");
        Click(dialog, 1005);
        EXPECT_EQ(messages.Texts().back(), "RainMonth: 0  to 9999.9 mm / 393.66 in");
        ById<QLineEdit>(dialog, 1016)->setText("250.5");
        Click(dialog, 1005);
    });
    EXPECT_EQ(messages.Texts().back(), "Save Success");
    TakeReading();
    EXPECT_EQ(BoardValue(170, 460).substr(0, 5), "250.5") << BoardValue(170, 460);
}

TEST_F(SettingsDialogsTest, ClearedMaxMinRecordIsSeenAtTheNextOpening)
{
    MaxMinDialog& dialog = window.MaxMin();
    RunWithDialog(command_id::MaxMin, dialog, [&] {
        EXPECT_FALSE(ById<QLineEdit>(dialog, 1030)->text().isEmpty());
        EXPECT_NE(ById<QLineEdit>(dialog, 1030)->text(), "--.-");
        ById<QCheckBox>(dialog, 1047)->setChecked(true);
        Click(dialog, 1005);
    });
    EXPECT_EQ(messages.Texts().back(), "Clear Success");
    const Report clear = console.ReceivedCommands(CMD_WRITE_MAXMIN.code).back();
    EXPECT_EQ((std::vector<int>{clear[2], clear[3], clear[4], clear[5]}), (std::vector<int>{0, 0, 1, 0}));

    RunWithDialog(command_id::MaxMin, dialog, [&] {
        EXPECT_EQ(ById<QLineEdit>(dialog, 1030)->text(), "--.-") << "the wind record was cleared";
        EXPECT_NE(ById<QLineEdit>(dialog, 1034)->text(), "--.-") << "the gust record was kept";
        EXPECT_FALSE(ById<QCheckBox>(dialog, 1047)->isChecked()) << "boxes start unchecked";
    });
}

TEST_F(SettingsDialogsTest, ClearAllTicksEveryBox)
{
    MaxMinDialog& dialog = window.MaxMin();
    RunWithDialog(command_id::MaxMin, dialog, [&] { Click(dialog, 1007); });
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
        EXPECT_EQ(Text(dialog, 1014), "86.0");
        EXPECT_EQ(Text(dialog, 1033), "95.0");
        EXPECT_EQ(Text(dialog, 1037), "14.0");
        EXPECT_EQ(Text(dialog, 1015), "--.-") << "an unset dew point";
        EXPECT_EQ(Text(dialog, 1038), "--") << "an unset humidity";
        EXPECT_EQ(Text(dialog, 1018), "72.0");
        EXPECT_EQ(Text(dialog, 1043), "30.71");
        EXPECT_TRUE(ById<QCheckBox>(dialog, 1013)->isChecked());
        EXPECT_FALSE(ById<QCheckBox>(dialog, 1028)->isChecked());
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("indoorTempHighUnit"))->text(), "\u00B0F");
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("absPressureLowUnit"))->text(), " inHg");
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("gustSpeedUnit"))->text(), " km/h");

        ById<QCheckBox>(dialog, 1051)->click();
        for (int box : {1028, 1030, 1039, 1040, 1048, 1053, 1054, 1029})
            EXPECT_TRUE(ById<QCheckBox>(dialog, box)->isChecked()) << box;
        EXPECT_FALSE(ById<QCheckBox>(dialog, 1022)->isChecked()) << "the high group is left alone";
        ById<QCheckBox>(dialog, 1051)->click();
        for (int box : {1028, 1030, 1039, 1040, 1048, 1053, 1054, 1029})
            EXPECT_FALSE(ById<QCheckBox>(dialog, box)->isChecked()) << box;

        Type(dialog, 1014, QStringLiteral("95.0"));
        Click(dialog, 1005);
    });
    EXPECT_EQ(messages.Texts().back(), "Save Success");
    EXPECT_EQ(console.Alarm().Item(1), (std::vector<std::uint8_t>{0x01, 0x5E, 1, 0x00, 0x96, 0}));
    EXPECT_EQ(console.Alarm().Item(3), (std::vector<std::uint8_t>{0x7F, 0xFF, 0, 0x7F, 0xFF, 0})) << "still unset";

    RunWithDialog(command_id::AlarmSettings, dialog, [&] {
        EXPECT_EQ(Text(dialog, 1014), "95.0");
        EXPECT_EQ(Text(dialog, 1015), "--.-");
    });
}

TEST_F(SettingsDialogsTest, AlarmRefusesAndStaysOpen)
{
    AlarmDialog& dialog = window.AlarmSettings();
    RunWithDialog(command_id::AlarmSettings, dialog, [&] {
        Type(dialog, 1016, QStringLiteral("100"));
        Click(dialog, 1005);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(messages.Texts().back(), "Alarm Humidity:1 to 99");

        Type(dialog, 1016, QStringLiteral("99"));
        transport.Unplug();
        QApplication::processEvents();
        Click(dialog, 1005);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(Text(dialog, 1016), "99");
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
        EXPECT_EQ(Text(dialog, 1014), "12.5");
        EXPECT_EQ(Text(dialog, 1015), "-2.3");
        EXPECT_EQ(Text(dialog, 1016), "--");
        EXPECT_EQ(Text(dialog, 1017), "1.0");
        EXPECT_EQ(Text(dialog, 1024), "--");
        EXPECT_EQ(Text(dialog, 1018), "-10");
        EXPECT_EQ(Text(dialog, 1023), "3");
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("relPressureUnit"))->text(), " hPa");
        Click(dialog, 1005);
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
        EXPECT_TRUE(Text(dialog, 1014).isEmpty());
        EXPECT_EQ(Text(dialog, 1021), "0");
        EXPECT_EQ(ById<QComboBox>(dialog, 1008)->currentText(), "Minute");
        QLineEdit* password = ById<QLineEdit>(dialog, 1016);
        EXPECT_EQ(password->echoMode(), QLineEdit::Password);
        ById<QCheckBox>(dialog, 1013)->click();
        EXPECT_EQ(password->echoMode(), QLineEdit::Normal);
        ById<QCheckBox>(dialog, 1013)->click();
        EXPECT_EQ(password->echoMode(), QLineEdit::Password);

        Type(dialog, 1014, QStringLiteral("internet.t-mobile"));
        Type(dialog, 1015, QStringLiteral("t-mobile"));
        Type(dialog, 1016, QStringLiteral("tm"));
        Type(dialog, 1017, QStringLiteral("+491701234567"));
        Type(dialog, 1020, QStringLiteral("30"));
        Type(dialog, 1021, QStringLiteral("3"));
        ById<QComboBox>(dialog, 1008)->setCurrentIndex(0);  // Hour
        Type(dialog, 1018, QStringLiteral("\u20AC"));
        Click(dialog, 1005);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(messages.Texts().back(),
                  "Tel2: the character \"\u20AC\" cannot be sent to the console. Use Western European letters, "
                  "digits and signs only.");
        Type(dialog, 1018, QString());
        Click(dialog, 1005);
    });
    EXPECT_EQ(messages.Texts().back(), "Save Success");
    EXPECT_EQ(console.Network().MobileNetwork(),
              (SimMobileNetwork{"internet.t-mobile", "t-mobile", "tm", {"+491701234567", "", ""}, 1800, 10800}));

    RunWithMessage("mobile-network", dialog, [&] {
        EXPECT_TRUE(Text(dialog, 1014).isEmpty()) << "the console cannot be asked; every opening starts blank";
        Type(dialog, 1022, QStringLiteral("Hello from the PC"));
        Click(dialog, 1037);
    });
    EXPECT_EQ(messages.Texts().back(), "Success");
    EXPECT_EQ(console.Network().TestMessages(), (std::vector<std::string>{"Hello from the PC"}));
}

TEST_F(SettingsDialogsTest, MobileNetworkSavePulledHalfWayStaysOpen)
{
    MobileNetworkDialog& dialog = window.MobileNetwork();
    RunWithMessage("mobile-network", dialog, [&] {
        Type(dialog, 1014, QStringLiteral("apn"));
        transport.UnplugAfter(CMD_WRITE_GPRS1.code);
        Click(dialog, 1005);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(Text(dialog, 1014), "apn");
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
        QComboBox* web = ById<QComboBox>(dialog, 1006);
        QComboBox* serverType = ById<QComboBox>(dialog, 1007);
        QComboBox* uploadType = ById<QComboBox>(dialog, 1008);
        QLineEdit* port = ById<QLineEdit>(dialog, 1016);
        EXPECT_TRUE(web->currentText().isEmpty());
        EXPECT_EQ(serverType->currentText(), "jsp");
        EXPECT_EQ(uploadType->currentText(), "Default");
        EXPECT_EQ(port->text(), "0");
        EXPECT_TRUE(port->isEnabled());
        EXPECT_EQ(ById<QLineEdit>(dialog, 1015)->echoMode(), QLineEdit::Password);

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
        Type(dialog, 1016, QStringLiteral("70000"));
        Click(dialog, 1005);
        EXPECT_EQ(messages.Texts().back(), "Port: 0 - 65535");

        web->setCurrentIndex(0);
        emit web->activated(0);
        Type(dialog, 1014, QStringLiteral("KBERLIN12"));
        Type(dialog, 1015, QStringLiteral("geheim"));
        Type(dialog, 1017, QStringLiteral("5"));
        Click(dialog, 1005);
    });
    EXPECT_EQ(messages.Texts().back(), "Save Success");
    EXPECT_EQ(console.Network().WebUpload(),
              (SimWebUpload{"rtupdate.wunderground.com", "KBERLIN12", "geheim", 2, 1, 80, 300}));
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
