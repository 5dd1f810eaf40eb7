#include "DialogTestSupport.h"
#include "WindowFixture.h"
#include "app/CommandIds.h"
#include "link/Commands.h"
#include "recordings/RecordingContent.h"
#include "recordings/RecordingMessages.h"
#include "recordings/RecordingNames.h"
#include "recordings/RecordingUnits.h"
#include "recordings/RecordingsDialog.h"
#include "store/DataFolder.h"
#include "support/CardFixture.h"
#include "support/MessageRecorder.h"
#include "support/RecordStoreTesting.h"
#include "widgets/ControlIds.h"
#include "widgets/MessageBoxes.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

namespace vorelle {
namespace {

using test::ById;
using test::SpinUntil;
using test::WithDialog;
namespace fs = std::filesystem;
namespace recordings_id = control_id::recordings;


const std::string kToday = "20260512.csv";
const std::string kSelectFile = "Please select a file";
const std::string kDeleteQuestion = "Are you sure to delete the file?";

// Stands in for the desktop's file manager: records the folders asked for.
class FolderRequests : public QObject {
    Q_OBJECT

public:
    FolderRequests() { QDesktopServices::setUrlHandler("file", this, "Open"); }
    ~FolderRequests() override { QDesktopServices::unsetUrlHandler("file"); }

    QList<QUrl> requested;

public slots:
    void Open(const QUrl& url) { requested << url; }
};

// The dialog on the simulated console's card, with its own data folder, an
// empty record store in it and a message recorder.
class RecordingsDialogTest : public test::CardConsoleFixture {
protected:
    RecordingsDialogTest() : dialog(link, messages, data.Path())
    {
        dialog.SetGraphOpener([this](const StoredRecording& request) { graphs.push_back(request); });
    }

    void SetUp() override
    {
        CardConsoleFixture::SetUp();
        test::MakeEmptyStore(Store());
    }

    fs::path Store() const { return data.Path() / kRecordStoreFile; }

    // Opens the dialog and acts on it once the card is listed.
    void Open(const std::function<void()>& inside)
    {
        EXPECT_TRUE(WithDialog(dialog, [&] { dialog.Run(); }, [&] {
            ASSERT_TRUE(Idle());
            inside();
            ASSERT_TRUE(Idle());
        }));
    }

    bool Idle() { return SpinUntil([&] { return !dialog.Busy(); }, 30000); }

    QTreeWidget& Files() { return *ById<QTreeWidget>(dialog, recordings_id::FileList); }
    QStringList Listed()
    {
        QStringList names;
        for (int row = 0; row < Files().topLevelItemCount(); ++row)
            names << Files().topLevelItem(row)->text(0);
        return names;
    }

    void Choose(const std::string& name)
    {
        const QList<QTreeWidgetItem*> rows = Files().findItems(QString::fromStdString(name), Qt::MatchExactly);
        ASSERT_EQ(rows.size(), 1) << name;
        Files().setCurrentItem(rows.front());
    }

    void Click(int id) { ById<QPushButton>(dialog, id)->click(); }

    // Exports the chosen file and waits for its end.
    void Export()
    {
        Click(recordings_id::ExportButton);
        ASSERT_TRUE(Idle());
    }

    QAbstractItemModel& Content() { return *ById<QTableView>(dialog, recordings_id::ContentList)->model(); }

    // The card file's reading lines as the content list must show them.
    RecordingContent CardContent(const std::string& name)
    {
        RecordingContent content(CardFile(name));
        const std::string& text = content.Text();
        for (std::size_t at = content.BodyStart(); at < text.size();) {
            std::size_t end = text.find('\n', at);
            end = end == std::string::npos ? text.size() : end;
            if (end > at)
                content.AppendRow(at, end);
            at = end + 1;
        }
        return content;
    }

    void ExpectContentIs(const std::string& name)
    {
        const RecordingContent expected = CardContent(name);
        ASSERT_EQ(Content().rowCount(), static_cast<int>(expected.RowCount()));
        ASSERT_EQ(Content().columnCount(), static_cast<int>(expected.ColumnCount()));
        for (int row = 0; row < Content().rowCount(); ++row)
            for (int column = 0; column < Content().columnCount(); ++column)
                ASSERT_EQ(Content().index(row, column).data().toString().toStdString(),
                          expected.Cell(static_cast<std::size_t>(row), static_cast<std::size_t>(column)))
                    << row << "," << column;
        EXPECT_EQ(test::StoredRecords(Store()).size(), expected.RowCount());
    }

    test::MessageRecorder messages;
    RecordingsDialog dialog;
    std::vector<StoredRecording> graphs;
};

// The listing: names sorted newest first whatever order the card sends them
// in, an empty card asked again, a silent one given up on with a message,
// and no console asked at all.
TEST_F(RecordingsDialogTest, ListingShowsTheCardNewestFirst)
{
    struct Case {
        const char* label;
        std::function<void()> before;
        std::size_t listingRequests;
        bool empty;
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {"console", [] {}, 1, false, {}},
        {"empty answers", [this] { console.Card().Faults().emptyListings = 5; }, 5, true, {}},
        {"no answer", [this] { console.Card().Faults().silentListings = 2; }, 2, true,
         {std::string(kListingTimeoutText)}},
        {"no console", [this] { transport.Unplug(); }, 0, true, {}},
    };
    console.Card().AddFile("2025-03-01.csv", "Time\n");
    console.Card().AddFile("2025-03-03.csv", "Time\n");
    console.Card().AddFile("2025-03-02.csv", "Time\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        console.ClearReceived();
        messages.shown.clear();
        c.before();
        Open([&] {
            const QStringList names = Listed();
            EXPECT_EQ(messages.Texts(), c.said);
            if (c.empty) {
                EXPECT_TRUE(names.isEmpty());
                return;
            }
            QStringList sorted = names;
            std::sort(sorted.begin(), sorted.end(),
                      [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) > 0; });
            EXPECT_EQ(names, sorted);
            EXPECT_EQ(names.size(), 12);
            EXPECT_EQ(names.mid(names.indexOf("2025-03-03.csv"), 3),
                      (QStringList{"2025-03-03.csv", "2025-03-02.csv", "2025-03-01.csv"}));
            EXPECT_EQ(Files().topLevelItem(0)->text(1).toStdString(), SizeText(CardFile(names[0].toStdString()).size()));
        });
        EXPECT_EQ(console.ReceivedCommands(CMD_READ_FILE_LIST.code).size(), c.listingRequests);
        if (c.listingRequests == 0) {
            EXPECT_TRUE(console.ReceivedCommands().empty());
        }
    }
}

// Export fetches the chosen file with its progress shown, and the content
// list and the store then hold every reading of the card file; the bar then
// tells what became of the lines, a half-written last one held back.
TEST_F(RecordingsDialogTest, ExportShowsProgressAndFillsTheContentWithTheCardFile)
{
    QProgressBar& bar = *ById<QProgressBar>(dialog, recordings_id::Progress);
    console.Card().AddFile("half.csv", "Time,Temp(\x80" "C)\n2026-05-12 07:00,1.5\ngarbage\n2026-05-12 07:01,2.");
    Open([&] {
        Choose(kToday);
        EXPECT_EQ(ById<QLabel>(dialog, recordings_id::ChosenName)->text().toStdString(), kToday);
        Export();
        EXPECT_TRUE(messages.shown.empty()) << messages.Texts().front();
        ExpectContentIs(kToday);
        EXPECT_EQ(test::ReadWhole(data.Path() / kToday), CardFileWithCrLf(kToday));
        EXPECT_EQ(bar.value(), bar.maximum());
        const std::string size = std::to_string(CardFile(kToday).size());
        EXPECT_EQ(bar.toolTip().toStdString(), size + " of " + size + " bytes");
        Choose("half.csv");
        Export();
        EXPECT_EQ(bar.text().toStdString(), "Lines: 1 stored, 1 refused, 1 held back; history: 0 added, 1 changed")
            << "the day exported before held a different 07:00";
        EXPECT_EQ(Content().headerData(1, Qt::Horizontal).toString(), "Temp(\u20ACC)");
    });
}

// The dialog cannot be closed, nor a second Export started, while one runs
// (here held up by a stalled stream); meanwhile the bar shows how many bytes
// of the file have come.
TEST_F(RecordingsDialogTest, CloseIsRefusedWhileExporting)
{
    console.Card().Faults().stallAfterPackets = 5;
    Open([&] {
        Choose(kToday);
        Click(recordings_id::ExportButton);
        ASSERT_TRUE(dialog.Busy());
        for (int id : {recordings_id::ExportButton, recordings_id::DeleteButton, recordings_id::GraphButton})
            EXPECT_FALSE(ById<QPushButton>(dialog, id)->isEnabled()) << id;
        Click(recordings_id::ExportButton);
        dialog.reject();
        dialog.close();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &escape);
        EXPECT_TRUE(dialog.isVisible());
        QProgressBar& bar = *ById<QProgressBar>(dialog, recordings_id::Progress);
        ASSERT_TRUE(SpinUntil([&] { return bar.text().endsWith(" bytes"); }));
        const std::string expected = " of " + std::to_string(CardFile(kToday).size()) + " bytes";
        EXPECT_TRUE(bar.text().toStdString().ends_with(expected)) << bar.text().toStdString();
        EXPECT_GT(bar.value(), 0);
        EXPECT_LT(bar.value(), bar.maximum());
        EXPECT_TRUE(dialog.Busy());
        ASSERT_TRUE(Idle());
        EXPECT_EQ(test::ReadWhole(data.Path() / kToday), CardFileWithCrLf(kToday));
        EXPECT_EQ(console.ReceivedCommands(CMD_READ_FILE.code).size(), 2u) << "the first request and the one after the stall";
        for (int id : {recordings_id::ExportButton, recordings_id::DeleteButton, recordings_id::GraphButton})
            EXPECT_TRUE(ById<QPushButton>(dialog, id)->isEnabled()) << id;
    });
    EXPECT_FALSE(dialog.isVisible());
}

// A cable pulled during Export leaves the local copy and the store as they
// were; the next Export brings the whole file.
TEST_F(RecordingsDialogTest, ExportAgainAfterAnUnplugGivesTheWholeFile)
{
    Open([&] {
        Choose(kToday);
        console.Card().Faults().unplugAtPacket = 10;
        Export();
        EXPECT_FALSE(link.Connected());
        EXPECT_EQ(test::ReadWhole(data.Path() / kToday), "");
        EXPECT_FALSE(fs::exists(data.Path() / kWorkingFileName));
        EXPECT_EQ(Content().rowCount(), 0);
        EXPECT_TRUE(test::StoredRecords(Store()).empty());
        EXPECT_TRUE(messages.shown.empty());

        transport.Plug();
        ASSERT_TRUE(link.Connected());
        Export();
        EXPECT_EQ(test::ReadWhole(data.Path() / kToday), CardFileWithCrLf(kToday));
        ExpectContentIs(kToday);
    });
}

// Graph hands over the imported recording's kind and its unit labels.
TEST_F(RecordingsDialogTest, GraphHandsOverTheRecordingsKindAndLabels)
{
    struct Case {
        std::string name;
        RecordingLayout layout;
    };
    const Case cases[] = {
        {"20260512.csv", RecordingLayout::Main},
        {"20260512CH.csv", RecordingLayout::Channel},
        {"20260512SM.csv", RecordingLayout::Soil},
    };
    {
        RecordDatabase earlier = test::OpenStore(Store(), StoreAccess::Write);
        ASSERT_TRUE(earlier.BeginImport() && NoteStoredRecording(earlier, {"20260511CH.csv", {"(\u00B0F)", "", "", "", ""}}) &&
                    earlier.CommitImport());
    }
    Open([&] {
        Click(recordings_id::GraphButton);
        ASSERT_EQ(graphs.size(), 1u);
        EXPECT_EQ(graphs[0].Layout(), RecordingLayout::Channel) << "nothing exported yet: the store's notes";
        EXPECT_EQ(graphs[0].labels.temperature, "(\u00B0F)");
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            graphs.clear();
            Choose(c.name);
            Export();
            Click(recordings_id::GraphButton);
            ASSERT_EQ(graphs.size(), 1u);
            EXPECT_EQ(graphs[0].name, c.name);
            EXPECT_EQ(graphs[0].Layout(), c.layout);
            const UnitLabels expected = UnitLabelsOf(RecordingContent(CardFile(c.name)));
            EXPECT_EQ(graphs[0].labels.temperature, expected.temperature);
            EXPECT_EQ(graphs[0].labels.pressure, expected.pressure);
            EXPECT_EQ(graphs[0].labels.rain, expected.rain);
            EXPECT_EQ(graphs[0].labels.wind, expected.wind);
            EXPECT_EQ(graphs[0].labels.light, expected.light);
            if (c.layout == RecordingLayout::Main) {
                EXPECT_EQ(graphs[0].labels.temperature, "(°C)") << "the header's unit, as the graph shows it";
            }
        }
    });
}

// A store whose notes cannot be read (another program made Param a view
// that fails at every read): Graph says SQLite's message once and opens no
// graph.
TEST_F(RecordingsDialogTest, GraphOverNotesThatCannotBeReadSaysSoOnce)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(Store().string().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DROP TABLE Param; CREATE VIEW Param AS SELECT abs(-9223372036854775807 - 1) AS Name,"
                               " '' AS Value;", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    Open([&] {
        Click(recordings_id::GraphButton);
        EXPECT_EQ(messages.Texts(), std::vector<std::string>{"integer overflow"});
        EXPECT_TRUE(graphs.empty());
    });
}

// Delete asks first; once the console confirms it, the file's row goes, its
// local copy goes and the store no longer holds any recording.
TEST_F(RecordingsDialogTest, DeleteRemovesTheDeletedRowTheCopyAndTheStoredRecording)
{
    const std::string other = "20260512CH.csv";
    Open([&] {
        Choose(other);
        Export();
        Choose(kToday);
        Export();
        ASSERT_GT(test::StoredRecords(Store()).size(), 0u);
        const int rowsBefore = Files().topLevelItemCount();

        messages.answers = {MessageAnswer::Ok};
        Choose(other);
        Click(recordings_id::DeleteButton);
        ASSERT_TRUE(Idle());
        EXPECT_EQ(messages.Texts(), (std::vector<std::string>{kDeleteQuestion}));
        EXPECT_EQ(messages.shown[0].buttons, MessageButtons::OkCancel);
        EXPECT_TRUE(messages.shown[0].cancelIsDefault);
        EXPECT_EQ(Files().topLevelItemCount(), rowsBefore - 1);
        EXPECT_FALSE(Listed().contains(QString::fromStdString(other)));
        EXPECT_TRUE(Listed().contains(QString::fromStdString(kToday)));
        EXPECT_FALSE(fs::exists(data.Path() / other));
        EXPECT_TRUE(fs::exists(data.Path() / kToday));
        EXPECT_TRUE(test::StoredRecords(Store()).empty()) << "even though another file was imported";
        EXPECT_EQ(Content().rowCount(), 0);
        EXPECT_EQ(ById<QLabel>(dialog, recordings_id::ChosenName)->text(), Listed().front())
            << "the first row is chosen";
    });
}

// What each button does when it must not go ahead: nothing chosen, the
// question cancelled, the console refusing, and names that are no file
// names of the data folder or too long to ask for. None touches the store.
TEST_F(RecordingsDialogTest, RefusalsSendNothingAndKeepTheStore)
{
    struct Case {
        const char* label;
        std::string choose;  // empty: nothing chosen
        int button;
        std::deque<MessageAnswer> answers;
        std::function<void()> before;
        std::vector<std::string> said;
        std::uint8_t sent;  // a command the console must not have got; 0 for none
    };
    const std::string longName = std::string(54, 'L');
    const std::string unsafe = "../escape.csv";
    const std::string refusedName = "\"" + unsafe +
                                    "\" cannot be exported: its name is a path, or the name of one of Vorelle 2's own "
                                    "files, so it is never written to the data folder.";
    const Case cases[] = {
        {"export, nothing chosen", "", recordings_id::ExportButton, {}, {}, {kSelectFile}, CMD_READ_FILE.code},
        {"delete, nothing chosen", "", recordings_id::DeleteButton, {}, {}, {kSelectFile}, CMD_DELETE_FILE.code},
        {"delete cancelled", kToday, recordings_id::DeleteButton, {MessageAnswer::Cancel}, {}, {kDeleteQuestion},
         CMD_DELETE_FILE.code},
        {"delete refused", kToday, recordings_id::DeleteButton, {MessageAnswer::Ok},
         [this] { console.Card().Faults().refuseDeletes = true; },
         {kDeleteQuestion, std::string(kDeleteFailedText)}, 0},
        {"export of a path", unsafe, recordings_id::ExportButton, {}, {}, {refusedName}, CMD_READ_FILE.code},
        {"export of a long name", longName, recordings_id::ExportButton, {}, {},
         {"\"" + longName + "\" cannot be exported: its name is longer than the 53 characters the console can be "
          "asked for."},
         CMD_READ_FILE.code},
        {"dot names", ".", recordings_id::ExportButton, {}, {},
         {"\".\" cannot be exported: its name is a path, or the name of one of Vorelle 2's own files, so it is never "
          "written to the data folder."},
         CMD_READ_FILE.code},
    };
    console.Card().AddFile(unsafe, "Time\n2026-05-12 08:00,1\n");
    console.Card().AddFile(longName, "Time\n");
    console.Card().AddFile(".", "Time\n");
    const std::vector<WeatherRecord> none;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        messages.shown.clear();
        messages.answers = c.answers;
        console.Card().Faults().refuseDeletes = false;
        data.Write(kToday, "Time,In\n2026-05-12 07:00,20\n");
        Open([&] {
            if (!c.choose.empty())
                Choose(c.choose);
            if (c.before)
                c.before();
            console.ClearReceived();
            Click(c.button);
            ASSERT_TRUE(Idle());
            EXPECT_EQ(messages.Texts(), c.said);
            if (c.sent != 0) {
                EXPECT_TRUE(console.ReceivedCommands(c.sent).empty());
            }
            if (!c.choose.empty()) {
                EXPECT_TRUE(Listed().contains(QString::fromStdString(c.choose))) << "the file is still listed";
            }
        });
        EXPECT_EQ(test::ReadWhole(data.Path() / kToday), "Time,In\n2026-05-12 07:00,20\n");
        EXPECT_TRUE(test::StoredRecords(Store()).empty());
        EXPECT_FALSE(fs::exists(data.Path().parent_path() / "escape.csv"));
    }
}

// A name that is a path is deleted on the card all the same, its raw bytes
// sent back exactly; no local file is touched.
TEST_F(RecordingsDialogTest, APathNameIsDeletedOnTheCardOnly)
{
    const std::string unsafe = std::string("..\\x", 4);
    console.Card().AddFile(unsafe, "Time\n");
    messages.answers = {MessageAnswer::Ok};
    Open([&] {
        const QString shown = QString::fromStdString(NameText(unsafe));
        const QList<QTreeWidgetItem*> rows = Files().findItems(shown, Qt::MatchExactly);
        ASSERT_EQ(rows.size(), 1);
        Files().setCurrentItem(rows.front());
        Click(recordings_id::DeleteButton);
        ASSERT_TRUE(Idle());
        ASSERT_EQ(messages.shown.size(), 2u);
        EXPECT_NE(messages.shown[1].text.find("was deleted on the console, but its name is not a file name"),
                  std::string::npos);
        EXPECT_FALSE(Listed().contains(shown));
    });
    const std::vector<Report> deletes = console.ReceivedCommands(CMD_DELETE_FILE.code);
    ASSERT_EQ(deletes.size(), 1u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(deletes[0].data() + 3), deletes[0][2]), unsafe);
    for (const SimCardFile& file : console.Card().Files(Time()))
        EXPECT_NE(file.name, unsafe);
}

TEST_F(RecordingsDialogTest, FolderOpensTheDataFolder)
{
    FolderRequests folders;
    Open([&] { Click(recordings_id::FolderButton); });
    ASSERT_EQ(folders.requested.size(), 1);
    EXPECT_EQ(folders.requested[0], QUrl::fromLocalFile(QString::fromStdString(data.Path().string())));
}

// The main window with real message boxes, answered as a user would.
class RecordingsMenuTest : public test::WindowFixtureWith<MessageBoxes> {
protected:
    void SetUp() override
    {
        WindowFixtureWith::SetUp();
        messages.SetParent(&window);
        test::MakeEmptyStore(temp.Path() / kRecordStoreFile);
    }

    QAction* MenuItem(int command)
    {
        for (QAction* title : window.menuBar()->actions())
            for (QAction* item : title->menu()->actions())
                if (item->data().toInt() == command)
                    return item;
        return nullptr;
    }
};

// Recordings > SD Card Recordings lists the card with the poll paused, a
// delete answered OK removes the file, and once the dialog is closed the
// poll goes on and the window still follows the console.
TEST_F(RecordingsMenuTest, MenuItemListsDeletesAndTheProgramGoesOn)
{
    QAction* item = MenuItem(command_id::SdCardRecordings);
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());
    test::ModalAnswerer answerer(QMessageBox::Ok, test::ModalAnswerer::OtherDialogs::Leave);
    RecordingsDialog& dialog = window.Recordings();
    EXPECT_TRUE(WithDialog(dialog, [&] { item->trigger(); }, [&] {
        ASSERT_TRUE(SpinUntil([&] { return !dialog.Busy(); }));
        EXPECT_TRUE(poller.DialogOpen);
        QTreeWidget& files = *ById<QTreeWidget>(dialog, recordings_id::FileList);
        ASSERT_GT(files.topLevelItemCount(), 0);
        const int rowsBefore = files.topLevelItemCount();
        files.setCurrentItem(files.topLevelItem(0));
        ById<QPushButton>(dialog, recordings_id::DeleteButton)->click();
        ASSERT_TRUE(SpinUntil([&] { return answerer.answered == 1 && !dialog.Busy(); }));
        EXPECT_EQ(answerer.texts, QStringList{QString::fromStdString(kDeleteQuestion)});
        EXPECT_EQ(console.ReceivedCommands(CMD_DELETE_FILE.code).size(), 1u);
        EXPECT_EQ(files.topLevelItemCount(), rowsBefore - 1);
    }));
    EXPECT_EQ(answerer.answered, 1) << "no message after the delete";
    EXPECT_FALSE(poller.DialogOpen) << "polling resumes when the dialog closes";
    transport.Unplug();
    EXPECT_TRUE(SpinUntil([&] { return window.ConnectionText() == "Unconnected"; }));
}

}  // namespace
}  // namespace vorelle

#include "RecordingsDialogTest.moc"
