#include "WindowFixture.h"
#include "app/CommandIds.h"
#include "board/BoardTexts.h"
#include "settings/BasicSettingsDialog.h"
#include "settings/MaxMinDialog.h"
#include "settings/RainTotalsDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace vorelle {
namespace {

// The control of a dialog by its id.
template <class Control>
Control* ById(QWidget& dialog, int id)
{
    for (Control* control : dialog.findChildren<Control*>())
        if (control->property("controlId").toInt() == id)
            return control;
    ADD_FAILURE() << "no control " << id;
    return nullptr;
}

class SettingsDialogsTest : public test::WindowFixture {
protected:
    void SetUp() override
    {
        test::WindowFixture::SetUp();
        TakeReading();
    }

    // Runs a menu command; `inside` acts on the open dialog, which is
    // cancelled afterwards unless a save closed it.
    void RunWithDialog(int command, QDialog& dialog, const std::function<void()>& inside)
    {
        bool acted = false;
        QTimer::singleShot(0, &dialog, [&] {
            acted = true;
            inside();
            if (dialog.isVisible())
                dialog.reject();
        });
        window.RunCommand(command);
        EXPECT_TRUE(acted);
        EXPECT_FALSE(poller.DialogOpen) << "polling resumes when the dialog closes";
    }

    void Click(QDialog& dialog, int id) { ById<QPushButton>(dialog, id)->click(); }

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

}  // namespace
}  // namespace vorelle
