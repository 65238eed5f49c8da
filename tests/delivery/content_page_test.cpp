// The content page and the download dialog, driven by clicks on their widgets against the local
// content service and a card folder; results are read back from the card's files and databases.
#include "delivery/content_page.h"

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

#include "common/messages.h"
#include "common/text_codec.h"
#include "delivery/card_backup.h"
#include "delivery/catalogue.h"
#include "delivery/content_view_model.h"
#include "delivery/diy_actions.h"
#include "delivery/download_dialog.h"
#include "service/session.h"
#include "store/card.h"
#include "store/card_lock.h"
#include "store/device_setup.h"
#include "tests/support/demo_session.h"
#include "tests/support/files.h"
#include "tests/support/program_run.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_folder.h"
#include "tools/demo_service/demo_service.h"
#include "ui/app_font.h"
#include "ui/my_grid.h"

using namespace torvane;
using torvane::test::RecordingSink;
using torvane::test::TempFolder;

namespace {

bool Said(const RecordingSink& sink, std::string_view text) {
    for (const std::string& said : sink.said) {
        if (said == text) return true;
    }
    return false;
}

// A blank card in a temporary folder.
std::shared_ptr<Card> NewCard(const TempFolder& dir, const std::string& name) {
    const std::string root = dir / name;
    if (!CreateEmptyDevice(root, "1.0", "larkspin")) return nullptr;
    return std::make_shared<Card>(root);
}

CDefaultXML Reloaded(const Card& card) {
    CDefaultXML database(card.root());
    database.Load().ok();
    return database;
}

void ClickPicture(CSendContents& page, unsigned id) {
    CImgButton* widget = page.Widget(id);
    QVERIFY(widget != nullptr);
    QTest::mouseClick(&page, Qt::LeftButton, {}, widget->Rect().center());
    QCoreApplication::processEvents();
}

// A click in the middle of a cell (on its box, for a check cell), on the heading or a row.
void ClickCell(CMyGrid& list, int row, int col) {
    QTest::mouseClick(list.Surface(row), Qt::LeftButton, {}, list.CellRect(row, col).center());
    QCoreApplication::processEvents();
}

// A click on button `index` of a multi-button cell.
void ClickCellButton(CMyGrid& list, int row, int col, int index) {
    const QRect button = list.ButtonRect(row, col, index);
    QVERIFY(!button.isEmpty());
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, button.center());
    QCoreApplication::processEvents();
}

int RecordRows(const CMyGrid& list) {
    int rows = 0;
    for (int row = 1; row < list.GetRowCount() && !list.GetRowKey(row).isEmpty(); ++row) ++rows;
    return rows;
}

// The service trickles the answers to requests below `pathPrefix`, a few hundred bytes at a time.
demo::FaultPlan SlowBodies(std::string pathPrefix) {
    demo::FaultPlan slow;
    slow.pathPrefix = std::move(pathPrefix);
    slow.body = demo::BodyFault::Slow;
    slow.slowChunkBytes = 256;
    slow.slowDelayMs = 30;
    return slow;
}

ContentRecord Record(const std::string& contentNo, const std::string& title) {
    ContentRecord record;
    record.contentNo = contentNo;
    record.title = title;
    record.mainGroup = "music";
    record.subGroup = "single";
    return record;
}

}  // namespace

class ContentPageTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<demo::DemoService> service_;
    ServiceSession session_;
    std::unique_ptr<TempFolder> dir_;
    std::shared_ptr<Card> card_;
    RecordingSink sink_{true};
    std::unique_ptr<CSendContents> page_;
    QStringList chosenSounds_;
    std::function<void()> whileChoosing_;  // what happens while the file dialog is open
    QString savePath_;
    std::vector<std::string> played_;

    void OpenPage() {
        ContentPageHost host;
        host.currentCard = [this] { return card_; };
        host.play = [this](const std::string& source) { played_.push_back(source); };
        host.chooseSounds = [this](QWidget*) {
            if (whileChoosing_) whileChoosing_();
            return chosenSounds_;
        };
        host.chooseSavePath = [this](QWidget*, const QString&, const QString&) {
            return savePath_;
        };
        host.timing = JobTiming::Immediate();
        host.timing->cardLockWait = std::chrono::milliseconds(200);
        page_ = std::make_unique<CSendContents>(nullptr, session_, sink_, std::move(host));
        page_->show();
        QVERIFY(QTest::qWaitForWindowExposed(page_.get()));
        page_->LoadForAttachedDevice();
    }
    // A recording on the computer, the one the next file dialog chooses.
    void ChooseRecording(const std::string& name, std::string_view bytes = "ID3 recording") {
        const std::string sound = dir_->path() / name;
        test::WriteFile(sound, bytes);
        chosenSounds_ = {QString::fromStdString(sound)};
    }
    CMyGrid& Catalogue() { return *page_->CatalogueList(); }
    CMyGrid& Device() { return *page_->DeviceList(); }
    unsigned Tab(ContentTab tab) { return CSendContents::kTabIds[static_cast<int>(tab)]; }

  private Q_SLOTS:
    void initTestCase() {
        InstallAppFont();
        service_ = std::make_unique<demo::DemoService>();
        QVERIFY2(service_->Start(0), service_->Error().c_str());
        session_ = test::DemoSession(*service_);
    }
    void init() {
        dir_ = std::make_unique<TempFolder>();
        card_ = NewCard(*dir_, "card");
        QVERIFY(card_ != nullptr);
        sink_ = RecordingSink(true);
        played_.clear();
        whileChoosing_ = nullptr;
    }
    void cleanup() {
        page_.reset();
        card_.reset();
        dir_.reset();
    }

    // Ticked rows go to the card in row order through the dialog; their rows turn grey and stay
    // unticked by clicks and by select-all; the device list shows them. The parent reads
    // "다운로드가 완료 되었습니다." over grey rows and before the device list is rebuilt.
    void transferOfTickedRowsInstallsThemAndGreysTheRows() {
        OpenPage();
        ClickPicture(*page_, Tab(ContentTab::Music));
        QCOMPARE(RecordRows(Catalogue()), 2);
        ClickCell(Catalogue(), 1, 0);
        ClickCell(Catalogue(), 2, 0);
        QVERIFY(Catalogue().GetCheck(1, 0) && Catalogue().GetCheck(2, 0));
        int sentences = 0;
        bool greyAtSentence = false;
        int deviceRowsAtSentence = -1;
        sink_.onSaid = [&](std::string_view text) {
            if (text != kMsgDownloadDone) return;
            ++sentences;
            greyAtSentence = !Catalogue().IsCheckEnabled(1, 0) && !Catalogue().IsCheckEnabled(2, 0);
            deviceRowsAtSentence = RecordRows(Device());
        };
        ClickPicture(*page_, CSendContents::kTransferId);
        sink_.onSaid = nullptr;
        QCOMPARE(sentences, 1);
        QVERIFY(greyAtSentence);
        QCOMPARE(deviceRowsAtSentence, 0);
        // The day the card wrote ("2026-12-11T03-50-07") is read whole in its column.
        const QString date = Device().GetItemText(1, 2);
        QCOMPARE(date, QString::fromStdString(
                           ShownDate(Reloaded(*card_).Contents(Shelf::Music)[0].date)));
        QCOMPARE(date.size(), 10);
        QVERIFY(Device().fontMetrics().horizontalAdvance(date) < Device().CellRect(1, 2).width());

        const CDefaultXML saved = Reloaded(*card_);
        QCOMPARE(saved.Contents(Shelf::Music).size(), std::size_t{2});
        QCOMPARE(saved.Contents(Shelf::Music)[0].contentNo, std::string("M0001"));
        QCOMPARE(saved.Contents(Shelf::Music)[1].contentNo, std::string("M0002"));
        QVERIFY(std::filesystem::exists(card_->Path("ck7/00000101.qvx")));
        QVERIFY(Said(sink_, kMsgDownloadDone));
        QCOMPARE(RecordRows(Device()), 2);

        QVERIFY(!Catalogue().IsCheckEnabled(1, 0));
        QCOMPARE(Catalogue().Cell(1, 1)->ink, QColor(128, 128, 128));
        ClickCell(Catalogue(), 1, 0);
        QVERIFY(!Catalogue().GetCheck(1, 0));
        ClickCell(Catalogue(), 0, 0);  // select-all
        QVERIFY(!Catalogue().GetCheck(1, 0) && !Catalogue().GetCheck(2, 0));
        // The download button of a grey row does nothing.
        sink_.Clear();
        ClickCellButton(Catalogue(), 1, 3, 0);
        QVERIFY(sink_.said.empty());
        // Nothing ticked.
        ClickPicture(*page_, CSendContents::kTransferId);
        QVERIFY(Said(sink_, kMsgNothingSelected));
    }

    // A page of 23 contents: page 3 shows 21 to 23 and seven filler rows; "전체보기" all 23
    // without the pager; sorting keeps filler rows last.
    void pagingShowAllAndSortingKeepFillerRowsLast() {
        CDefaultXML& database = card_->database();
        QVERIFY(database.Load().ok());
        for (int i = 1; i <= 23; ++i) {
            char number[8];
            std::snprintf(number, sizeof number, "M%04d", 100 + i);
            database.Contents(Shelf::Music).push_back(Record(number, "곡 " + std::to_string(i)));
        }
        QVERIFY(database.Save().ok());
        OpenPage();
        ClickPicture(*page_, Tab(ContentTab::Music));
        QCOMPARE(RecordRows(Device()), 10);
        CPageGroup* pager = page_->Pager(true);
        QCOMPARE(pager->LastPage(), 2);
        QTest::mouseClick(page_.get(), Qt::LeftButton, {},
                          pager->NumberButtons()[2]->Rect().center());
        QCOMPARE(RecordRows(Device()), 3);
        QCOMPARE(Device().GetRowCount(), 11);
        QCOMPARE(Device().GetItemText(1, 1), QStringLiteral("곡 21"));
        // Sorting descending by title keeps the three contents on top.
        Device().SortItems(1, false);
        QCOMPARE(RecordRows(Device()), 3);
        QCOMPARE(Device().GetItemText(4, 1), QString());

        page_->ShowAllBox(true)->click();
        QCOMPARE(Device().GetRowCount(), 24);
        QCOMPARE(RecordRows(Device()), 23);
        QVERIFY(page_->Pager(true)->IsHidden());
        page_->ShowAllBox(true)->click();
        QVERIFY(!page_->Pager(true)->IsHidden());
    }

    // The delete guards: nothing ticked, the DIY content, a game's content, the last game; and a
    // deletion whose files could not all be deleted still rebuilds the tables and says so.
    void deleteGuardsAndTablesAfterAFailedFileDeletion() {
        OpenPage();
        ClickPicture(*page_, Tab(ContentTab::Language));
        ClickCell(Catalogue(), 1, 0);
        ClickCell(Catalogue(), 2, 0);
        ClickPicture(*page_, CSendContents::kTransferId);
        QCOMPARE(Reloaded(*card_).Contents(Shelf::Language).size(), std::size_t{2});

        sink_.Clear();
        ClickPicture(*page_, CSendContents::kDeleteId);
        QVERIFY(Said(sink_, kMsgNothingSelected));

        // The DIY radio of the first row, on before "DIY를 변경하였습니다" is read; then deleting
        // that content is refused.
        CImgButton* radio = Device().CellButton(1, 3, 0);
        QVERIFY(radio != nullptr);
        int radioAtSentence = -1;
        sink_.onSaid = [&](std::string_view text) {
            if (text == kMsgDiyChanged) radioAtSentence = radio->State();
        };
        QTest::mouseClick(Device().viewport(), Qt::LeftButton, {},
                          Device().CellRect(1, 3).center());
        QCoreApplication::processEvents();
        sink_.onSaid = nullptr;
        QVERIFY(Said(sink_, kMsgDiyChanged));
        QCOMPARE(radioAtSentence, 1);
        const std::string diyContent = Reloaded(*card_).selectedDiyContentNo();
        QVERIFY(!diyContent.empty());
        QVERIFY(Device().CellButton(1, 3, 0)->State() == 1);
        ClickCell(Device(), 1, 0);
        sink_.Clear();
        ClickPicture(*page_, CSendContents::kDeleteId);
        QVERIFY(Said(sink_, kMsgDiyNotDeletable));
        QCOMPARE(Reloaded(*card_).Contents(Shelf::Language).size(), std::size_t{2});
        ClickCell(Device(), 1, 0);  // untick

        // Both language contents go into the game on the game tab; the last game cannot go.
        ClickPicture(*page_, Tab(ContentTab::Game));
        QCOMPARE(RecordRows(Catalogue()), 2);
        ClickCell(Catalogue(), 0, 0);
        sink_.Clear();
        int gameRowsAtSentence = -1;
        sink_.onSaid = [&](std::string_view text) {
            if (text == kMsgDownloadDone) gameRowsAtSentence = RecordRows(Device());
        };
        ClickPicture(*page_, CSendContents::kTransferId);
        sink_.onSaid = nullptr;
        QVERIFY(Said(sink_, kMsgDownloadDone));
        QCOMPARE(gameRowsAtSentence, 2);  // the game list shows both before the sentence
        QCOMPARE(Reloaded(*card_).gameContentList().size(), std::size_t{2});
        QCOMPARE(RecordRows(Device()), 2);
        ClickCell(Device(), 0, 0);
        sink_.Clear();
        ClickPicture(*page_, CSendContents::kDeleteId);
        QVERIFY(Said(sink_, kMsgOneGameRequired));
        ClickCell(Device(), 0, 0);
        ClickCell(Device(), 2, 0);
        ClickPicture(*page_, CSendContents::kDeleteId);
        QCOMPARE(Reloaded(*card_).gameContentList().size(), std::size_t{1});

        // A language content in the game is not deleted.
        ClickPicture(*page_, Tab(ContentTab::Language));
        const std::string inGame = Reloaded(*card_).gameContentList().front();
        const int gameRow = Device().GetRowKey(1).toStdString() == inGame ? 1 : 2;
        if (Device().CellButton(gameRow, 3, 0)->State() == 0) {
            ClickCell(Device(), gameRow, 0);
            sink_.Clear();
            ClickPicture(*page_, CSendContents::kDeleteId);
            QVERIFY(Said(sink_, kMsgGameContentNotDeleted));
        }
    }

    // Rows keep the content they show when the lists change under them. Sorted by a header
    // click, a ticked row deletes the content it shows. After another program took a language
    // content off the card, the game tab's rows are checked again by their own contents: the gone
    // one turns grey and select-all sends the other one, not a neighbour's record.
    void ticksAndDeletesHitTheContentOfTheirRowAfterTheRowsChanged() {
        OpenPage();
        ClickPicture(*page_, Tab(ContentTab::Music));
        ClickCell(Catalogue(), 0, 0);
        ClickPicture(*page_, CSendContents::kTransferId);
        QCOMPARE(RecordRows(Device()), 2);
        const QString firstTitle = Device().GetItemText(1, 1);
        ClickCell(Device(), 0, 1);  // by title, ascending
        ClickCell(Device(), 0, 1);  // and descending: the rows swap whichever way they stood
        QVERIFY(Device().GetItemText(1, 1) != firstTitle);
        const std::string sortedFirst = Device().GetRowKey(1).toStdString();
        const std::string sortedSecond = Device().GetRowKey(2).toStdString();
        ClickCell(Device(), 1, 0);
        ClickPicture(*page_, CSendContents::kDeleteId);
        const std::vector<ContentRecord> music = Reloaded(*card_).Contents(Shelf::Music);
        QCOMPARE(music.size(), std::size_t{1});
        QCOMPARE(music[0].contentNo, sortedSecond);
        QVERIFY(sortedFirst != sortedSecond);

        ClickPicture(*page_, Tab(ContentTab::Language));
        ClickCell(Catalogue(), 0, 0);
        ClickPicture(*page_, CSendContents::kTransferId);
        ClickPicture(*page_, Tab(ContentTab::Game));
        QCOMPARE(RecordRows(Catalogue()), 2);
        const std::string gone = Catalogue().GetRowKey(1).toStdString();
        const std::string kept = Catalogue().GetRowKey(2).toStdString();
        CDefaultXML other = Reloaded(*card_);
        std::erase_if(other.Contents(Shelf::Language),
                      [&](const ContentRecord& record) { return record.contentNo == gone; });
        QVERIFY(other.Save().ok());
        ClickPicture(*page_, CSendContents::kDeleteId);  // nothing ticked; the card is read again
        QCOMPARE(Catalogue().GetItemText(1, 1).isEmpty(), false);
        QVERIFY(!Catalogue().IsCheckEnabled(1, 0));
        QVERIFY(Catalogue().IsCheckEnabled(2, 0));
        ClickCell(Catalogue(), 0, 0);
        ClickPicture(*page_, CSendContents::kTransferId);
        QCOMPARE(Reloaded(*card_).gameContentList(), std::vector<std::string>{kept});
    }

    void deleteRebuildsTablesEvenWhenAFileStays() {
        OpenPage();
        ClickPicture(*page_, Tab(ContentTab::Music));
        ClickCell(Catalogue(), 1, 0);
        ClickCell(Catalogue(), 2, 0);
        ClickPicture(*page_, CSendContents::kTransferId);
        const std::string table = test::ReadFile(card_->Path("ck7/rfid.tbl"));
        // One file of the first content cannot be deleted: it is made immutable (root only).
        const std::string stuck = card_->Path("ck7/00000101.qvx");
        if (std::system(("chattr +i '" + stuck + "' 2>/dev/null").c_str()) != 0)
            QSKIP("the card's file system cannot make a file undeletable here");
        struct Unlock {
            std::string path;
            ~Unlock() { (void)std::system(("chattr -i '" + path + "'").c_str()); }
        } unlock{stuck};
        ClickCell(Device(), 0, 0);
        sink_.Clear();
        ClickPicture(*page_, CSendContents::kDeleteId);
        QVERIFY(Said(sink_, kMsgDeleted));
        QVERIFY(Said(sink_, kMsgSomeFilesNotDeleted));
        QVERIFY(Reloaded(*card_).Contents(Shelf::Music).empty());
        QVERIFY(!std::filesystem::exists(card_->Path("ck7/00000201.qvx")));
        QVERIFY(test::ReadFile(card_->Path("ck7/rfid.tbl")) != table);
        // The two contents can be transferred again.
        QVERIFY(Catalogue().IsCheckEnabled(1, 0));
    }

    // The card pulled while the recording's file dialog is open: the click writes nothing, makes
    // no folder where the card was, and says why.
    void aCardPulledWhileTheRecordingDialogIsOpenGetsNothing() {
        OpenPage();
        ClickPicture(*page_, Tab(ContentTab::Diy));
        ChooseRecording("song.mp3");
        const std::string away = dir_->path() / "pulled";
        whileChoosing_ = [&] {
            std::filesystem::rename(card_->root(), away);
            card_->MarkRemoved();
        };
        ClickCellButton(Device(), 1, 3, 0);
        QVERIFY(Said(sink_, kMsgCardRemovedDuringJob));
        QVERIFY(!std::filesystem::exists(card_->root()));
        QVERIFY(std::filesystem::is_empty(away + "/ck9/re1"));
    }

    // The DIY tab: assign a recording, switch slots keeping the selection, rename a card on the
    // second page, save it to the computer and delete it.
    void diyTabAssignsRenamesSavesAndDeletes() {
        OpenPage();
        ClickPicture(*page_, Tab(ContentTab::Diy));
        QVERIFY(!Catalogue().isVisible());
        QCOMPARE(Device().geometry().width(), 702);
        QCOMPARE(RecordRows(Device()), 50);
        // "보유 컨텐츠 내역" stands over the DIY list as over the catalogue list.
        const QImage drawn = page_->grab().toImage();
        int inked = 0;
        for (int x = 4; x < 118; ++x)
            for (int y = 120; y < 142; ++y) inked += drawn.pixelColor(x, y) != QColor(Qt::white);
        QVERIFY(inked > 100);
        // The second page: cards 51 to 100.
        CPageGroup* pager = page_->Pager(true);
        QTest::mouseClick(page_.get(), Qt::LeftButton, {},
                          pager->NumberButtons()[1]->Rect().center());
        QCOMPARE(Device().GetItemText(1, 1), QStringLiteral("0051"));

        const std::string sound = dir_->path() / "내 노래.mp3";
        test::WriteFile(sound, "ID3 recording");
        chosenSounds_ = {QString::fromStdString(sound)};
        ClickCellButton(Device(), 2, 3, 0);  // card 52
        QVERIFY(std::filesystem::exists(card_->Path("ck9/re1/내 노래.mp3")) ||
                !std::filesystem::is_empty(card_->Path("ck9/re1")));
        CDiyXML reread(card_->root());
        QVERIFY(reread.Load().ok());
        QCOMPARE(reread.records()[51].slots[0].name, std::string("내 노래"));
        QCOMPARE(Device().GetItemText(2, 2), QStringLiteral("내 노래"));
        const QString date = Device().GetItemText(2, 4);
        QCOMPARE(date.size(), 10);  // the day, read whole left of the scroll bar
        const QRect dateCell = Device().CellRect(2, 4);
        QVERIFY(dateCell.left() + Device().fontMetrics().horizontalAdvance(date) <
                Device().viewport()->width());

        // Rename in place on the second page.
        QVERIFY(Device().EditCell(2, 2));
        Device().Editor()->setText(QStringLiteral("새 이름"));
        Device().EndEditing(false);
        QCoreApplication::processEvents();
        CDiyXML renamed(card_->root());
        QVERIFY(renamed.Load().ok());
        QCOMPARE(renamed.records()[51].slots[0].name, std::string("새 이름"));
        QCOMPARE(renamed.records()[1].slots[0].name, std::string());

        // Slot 2 shows the free slot of the same cards: the list stays on its page.
        const QString card = Device().GetItemText(2, 1);
        ClickPicture(*page_, CSendContents::kSlotIds[1]);
        QCOMPARE(page_->CurrentSlot(), 2);
        QCOMPARE(Device().GetItemText(2, 1), card);
        QCOMPARE(Device().GetItemText(2, 2), QString());
        ClickPicture(*page_, CSendContents::kSlotIds[0]);

        // Save to the computer: an upper-case extension is kept once.
        savePath_ = QString::fromStdString(dir_->path() / "copy.MP3");
        ClickCellButton(Device(), 2, 3, 2);
        QVERIFY(std::filesystem::exists(dir_->path() / "copy.MP3"));
        QVERIFY(!std::filesystem::exists(dir_->path() / "copy.MP3.mp3"));
        // Play hands the card file to the player.
        ClickCellButton(Device(), 2, 3, 1);
        QCOMPARE(played_.size(), std::size_t{1});

        // The trash asks first, naming the card and the recording; a "no" keeps both.
        sink_.Clear();
        sink_.answers = {false};
        ClickCellButton(Device(), 2, 3, 3);
        QCOMPARE(sink_.asked.size(), std::size_t{1});
        const QString question = QString::fromStdString(sink_.asked[0].second);
        QVERIFY2(question.contains("0052") && question.contains("새 이름"), qPrintable(question));
        QVERIFY(!Said(sink_, kMsgDeleted));
        CDiyXML kept(card_->root());
        QVERIFY(kept.Load().ok());
        QVERIFY(kept.records()[51].slots[0].InUse());
        QVERIFY(!std::filesystem::is_empty(card_->Path("ck9/re1")));
        sink_.Clear();
        ClickCellButton(Device(), 2, 3, 3);
        QVERIFY(Said(sink_, kMsgDeleted));
        CDiyXML emptied(card_->root());
        QVERIFY(emptied.Load().ok());
        QVERIFY(!emptied.records()[51].slots[0].InUse());
    }

    // torvane-cli changes the DIY cards while the page holds the databases it read earlier: the
    // page's next DIY change, through a job or by itself, is made on the card as it is now, the
    // command line's recording and name stay, and the page shows them.
    void anotherProgramsRecordingSurvivesThePagesNextChanges() {
        OpenPage();
        ClickPicture(*page_, Tab(ContentTab::Diy));
        QCOMPARE(Device().GetItemText(1, 2), QString());
        const auto cli = [this](const std::vector<std::string>& command) {
            std::vector<std::string> arguments = {TORVANE_CLI_BIN, "--device", card_->root()};
            arguments.insert(arguments.end(), command.begin(), command.end());
            return test::RunProgram(arguments).exitCode;
        };
        const std::string fromCli = dir_->path() / "터미널.mp3";
        test::WriteFile(fromCli, "ID3 from the command line");
        QCOMPARE(cli({"diy", "assign", "1", "1", fromCli}), 0);

        ChooseRecording("창.mp3", "ID3 from the window");
        ClickCellButton(Device(), 2, 3, 0);  // card 2, through the page's job
        QCOMPARE(Device().GetItemText(1, 2), QStringLiteral("터미널"));

        QCOMPARE(cli({"diy", "rename", "1", "1", "바뀐 이름"}), 0);
        QVERIFY(Device().EditCell(2, 2));  // card 2, renamed by the page itself
        Device().Editor()->setText(QStringLiteral("창 이름"));
        Device().EndEditing(false);
        QCoreApplication::processEvents();
        QCOMPARE(Device().GetItemText(1, 2), QStringLiteral("바뀐 이름"));

        CDiyXML reread(card_->root());
        QVERIFY(reread.Load().ok());
        QCOMPARE(reread.records()[0].slots[0].name, std::string("바뀐 이름"));
        QCOMPARE(reread.records()[1].slots[0].name, std::string("창 이름"));
        const std::string table = test::ReadFile(card_->Path("ck9/rec.tbl"));  // in CP949
        for (const std::size_t card : {0, 1})
            QVERIFY(table.find(Utf8ToCp949(reread.records()[card].slots[0].file)) !=
                    std::string::npos);
    }

    // While another program holds the card, the page's changes wait a moment, then are refused
    // with the sentence that says so, and the card stays as it was.
    void aBusyCardRefusesThePagesChangesUntouched() {
        OpenPage();
        ClickPicture(*page_, Tab(ContentTab::Diy));
        ChooseRecording("노래.mp3");
        ClickCellButton(Device(), 1, 3, 0);
        QCOMPARE(Device().GetItemText(1, 2), QStringLiteral("노래"));

        const auto held = CardLock::Take(card_->root(), std::chrono::milliseconds(0));
        QVERIFY(held != nullptr);
        const auto before = test::Snapshot(card_->root());
        sink_.Clear();
        ClickCellButton(Device(), 1, 3, 3);  // delete
        QVERIFY(Said(sink_, kMsgCardBusy));
        sink_.Clear();
        ClickCellButton(Device(), 2, 3, 0);  // assign through a job
        QVERIFY(Said(sink_, kMsgCardBusy));
        QCOMPARE(test::Snapshot(card_->root()), before);
    }

    // Another card attached: its own recordings and contents, never the first card's.
    void secondCardShowsItsOwnDatabases() {
        OpenPage();
        ClickPicture(*page_, Tab(ContentTab::Diy));
        CDiyXML& first = card_->diy();
        first.records()[0].slots[0] = DiySlot{"첫 카드", "2024-01-01T00-00-00", "a.mp3"};
        QVERIFY(first.SaveDiyFile().ok());
        page_->Refresh();
        ClickPicture(*page_, Tab(ContentTab::Diy));
        QCOMPARE(Device().GetItemText(1, 2), QStringLiteral("첫 카드"));

        auto second = NewCard(*dir_, "second");
        card_ = second;
        page_->ResetForRemovedDevice();
        page_->LoadForAttachedDevice();
        ClickPicture(*page_, Tab(ContentTab::Diy));
        QCOMPARE(Device().GetItemText(1, 2), QString());
        QVERIFY(page_->CurrentCardShown() == second);
        ClickPicture(*page_, Tab(ContentTab::Music));
        QCOMPARE(RecordRows(Device()), 0);
    }

    // While the service is slow to send the account's list the window keeps living, and a card
    // put in meanwhile is the one the page shows once the list is in.
    void theWindowLivesWhileTheListComesAndShowsTheCardPutInMeanwhile() {
        OpenPage();
        demo::DemoService slowService(demo::DemoService::DefaultDataDir(),
                                      SlowBodies("/torvane/pc_contentsList.asp"));
        QVERIFY(slowService.Start(0));
        const ServiceSession fast = session_;
        session_ = test::DemoSession(slowService);  // the page reads the session it was given

        auto second = NewCard(*dir_, "second");
        bool swappedMeanwhile = false;
        QTimer::singleShot(30, page_.get(), [&] {
            swappedMeanwhile = true;
            card_ = second;
            page_->ResetForRemovedDevice();
            page_->LoadForAttachedDevice();
        });
        page_->Refresh();
        session_ = fast;
        QVERIFY(swappedMeanwhile);
        QVERIFY(page_->CurrentCardShown() == second);
        QVERIFY(RecordRows(Catalogue()) > 0);
    }

    // The song preview plays the content's first file from the service.
    void songPreviewPlaysTheFirstFile() {
        OpenPage();
        ClickPicture(*page_, Tab(ContentTab::Music));
        ClickCellButton(Catalogue(), 1, 3, 1);
        QCOMPARE(played_.size(), std::size_t{1});
        QVERIFY(played_[0].find("http://127.0.0.1:") == 0);
    }

    // The book tab's device search covers the whole shelf and keeps the records on their rows.
    void deviceSearchFindsDeletableRows() {
        OpenPage();
        ClickPicture(*page_, Tab(ContentTab::Book));
        ClickPicture(*page_, CSendContents::kSubTabIds[0][1]);
        QCOMPARE(RecordRows(Catalogue()), 1);
        const QString title = Catalogue().GetItemText(1, 1);
        ClickCell(Catalogue(), 1, 0);
        ClickPicture(*page_, CSendContents::kTransferId);
        page_->SearchEdit(true)->setText(title.left(2));
        ClickPicture(*page_, CSendContents::kDeviceSearchId);
        QCOMPARE(RecordRows(Device()), 1);
        page_->SearchEdit(false)->setText(QStringLiteral("없는 제목"));
        ClickPicture(*page_, CSendContents::kCatalogueSearchId);
        QCOMPARE(RecordRows(Catalogue()), 0);
        ClickCell(Device(), 1, 0);
        ClickPicture(*page_, CSendContents::kDeleteId);
        QVERIFY(Reloaded(*card_).Contents(Shelf::Book).empty());
    }

    // Without a card every list shows ten empty rows and the bar neither numbers nor divides.
    void noCardShowsEmptyListsAndAnEmptyBar() {
        card_.reset();
        OpenPage();
        for (ContentTab tab : {ContentTab::Language, ContentTab::Game}) {
            ClickPicture(*page_, Tab(tab));
            QCOMPARE(Catalogue().GetRowCount(), 11);
            QCOMPARE(Device().GetRowCount(), 11);
        }
        const StorageBar bar = StorageBarOf(StorageNumbers{}, 400);
        QCOMPARE(bar.usedWidth, 0);
        QVERIFY(bar.text.empty());
        QVERIFY(!page_->grab().isNull());
    }
};

// The dialog alone: cancel asks and stops the job; a failed download leaves it open.
class DownloadDialogTest : public QObject {
    Q_OBJECT

  private:
    DownloadJob MusicJob(const ServiceSession& session, const std::shared_ptr<Card>& card) {
        ContentCatalogue catalogue;
        [&] { QVERIFY(catalogue.FetchCatalogue(session).ok()); }();
        ContentInstallJob install;
        install.contents = catalogue.Contents(Shelf::Music);
        install.card = card;
        return DownloadJob(std::move(install), JobTiming::Immediate());
    }

  private Q_SLOTS:
    void cancelAsksAndStopsTheJob() {
        demo::DemoService service(demo::DemoService::DefaultDataDir(),
                                  SlowBodies("/torvane/files/"));
        QVERIFY(service.Start(0));
        const ServiceSession session = test::DemoSession(service);
        TempFolder dir;
        QVERIFY(CreateEmptyDevice(dir / "card", "1.0", "larkspin"));
        const auto card = std::make_shared<Card>(dir / "card");
        QVERIFY(card->LoadDatabase().ok());
        RecordingSink sink(true);
        CDownloadDlg dialog(MusicJob(session, card), session, sink);
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.Shown().overallDone > 0, 10000);
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
        QCOMPARE(sink.asked.size(), std::size_t{1});
        QCOMPARE(sink.asked[0].second, std::string(kMsgStopDownload));
        QCOMPARE(sink.asked[0].first, MessageKind::Question);
        QCOMPARE(dialog.Outcome().status.kind(), OutcomeKind::Cancelled);
        QVERIFY(!dialog.isVisible());
        // The job stopped before its last content.
        QVERIFY(Reloaded(Card(dir / "card")).Contents(Shelf::Music).size() < 2);
    }

    // The sign-in's banner is drawn under the cancel button, the dialog grown to hold it; a
    // banner that does not load leaves the dialog as it is.
    void theBannerIsDrawnUnderTheDialog() {
        TempFolder dir;
        QImage picture(582, 98, QImage::Format_RGB32);
        picture.fill(QColor(255, 196, 108));
        const std::string banner = dir / "banner.bmp";
        QVERIFY(picture.save(QString::fromStdString(banner), "BMP"));
        RecordingSink sink;
        ServiceSession noAccount;

        CDownloadDlg dialog(DownloadJob{}, noAccount, sink);
        dialog.ShowBanner(banner);
        QVERIFY(dialog.HasBanner());
        QCOMPARE(dialog.width(), CDownloadDlg::kWidth);
        QCOMPARE(dialog.height(), CDownloadDlg::kBannerTop + 98 * CDownloadDlg::kWidth / 582);
        const QImage drawn = dialog.grab().toImage();
        QCOMPARE(drawn.pixelColor(dialog.width() / 2, dialog.height() - 5), QColor(255, 196, 108));
        QVERIFY(drawn.pixelColor(dialog.width() / 2, CDownloadDlg::kBannerTop - 20) !=
                QColor(255, 196, 108));

        CDownloadDlg without(DownloadJob{}, noAccount, sink);
        without.ShowBanner(dir / "missing.bmp");
        QVERIFY(!without.HasBanner());
        QCOMPARE(without.height(), CDownloadDlg::kHeight);
    }

    // The job says nothing while it runs; the dialog tells how it ended once it has: a whole
    // install closes without a word (the page says its sentence), one refused for want of room
    // says why and stays open, one on a card another program keeps says so and closes.
    void theDialogTellsHowTheJobEndedOnceItHas() {
        class FixedSpace final : public IFreeSpace {
          public:
            explicit FixedSpace(std::uint64_t bytes) : bytes_(bytes) {}
            std::optional<std::uint64_t> FreeBytes(const std::string&) const override {
                return bytes_;
            }

          private:
            std::uint64_t bytes_;
        };
        demo::DemoService service;
        QVERIFY(service.Start(0));
        const ServiceSession session = test::DemoSession(service);
        constexpr std::uint64_t kPlenty = std::uint64_t{1} << 40;
        const struct {
            const char* what;
            std::uint64_t freeBytes;
            bool cardKept;  // another program holds the card's writer lock
            std::vector<std::string> told;
            bool staysOpen;
        } cases[] = {
            {"whole", kPlenty, false, {}, false},
            {"no room", 0, false, {std::string(kMsgNotEnoughSpace)}, true},
            {"card busy", kPlenty, true, {std::string(kMsgCardBusy)}, false},
        };
        for (const auto& c : cases) {
            TempFolder dir;
            QVERIFY(CreateEmptyDevice(dir / "card", "1.0", "larkspin"));
            const auto card = std::make_shared<Card>(dir / "card");
            QVERIFY(card->LoadDatabase().ok());
            const auto kept =
                c.cardKept ? Card(dir / "card").Lock(std::chrono::milliseconds(0)) : nullptr;
            DownloadJob job = MusicJob(session, card);
            job.timing.cardLockWait = std::chrono::milliseconds(50);
            const FixedSpace space(c.freeBytes);
            RecordingSink sink;
            // Each sentence is read over the dialog, before it closes.
            const CDownloadDlg* shown = nullptr;
            sink.onSaid = [&](std::string_view) { QVERIFY(shown && shown->isVisible()); };
            CDownloadDlg dialog(std::move(job), session, sink, nullptr, &space);
            shown = &dialog;
            dialog.show();
            QTRY_VERIFY_WITH_TIMEOUT(dialog.WorkerFinished(), 10000);
            QCOMPARE(sink.Texts(), c.told);
            QCOMPARE(dialog.isVisible(), c.staysOpen);
            QCOMPARE(dialog.Outcome().status.ok(), c.told.empty() && !c.staysOpen);
        }
    }

    void failedDownloadLeavesTheDialogOpen() {
        demo::FaultPlan missing;
        missing.pathPrefix = "/torvane/files/";
        missing.status = 404;
        demo::DemoService service(demo::DemoService::DefaultDataDir(), missing);
        QVERIFY(service.Start(0));
        const ServiceSession session = test::DemoSession(service);
        TempFolder dir;
        QVERIFY(CreateEmptyDevice(dir / "card", "1.0", "larkspin"));
        const auto card = std::make_shared<Card>(dir / "card");
        QVERIFY(card->LoadDatabase().ok());
        RecordingSink sink(false);
        CDownloadDlg dialog(MusicJob(session, card), session, sink);
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.WorkerFinished(), 10000);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.Shown().status, std::string(kMsgDownloadIncomplete));
        QVERIFY(sink.asked.empty());
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);  // closes without asking
        QVERIFY(sink.asked.empty());
        QVERIFY(!dialog.isVisible());
    }

    // Card care in the same dialog: the restore's plan and then the restore each run as a job,
    // neither asks (the page asks between them), and a refused archive leaves its own reason on
    // the status line.
    void aRestoreRunsPlannedInTheDialogAndAFailureKeepsItsReason() {
        TempFolder dir;
        const std::string card = dir / "card";
        QVERIFY(CreateEmptyDevice(card, "1.0", "larkspin"));
        test::WriteFile(card + "/ck9/re1/mine.mp3", "the parent's own recording");
        const std::string archive = dir / "card.tvbackup";
        const auto original = std::make_shared<Card>(card);
        QVERIFY(BackupCard(*original, archive, false).ok());
        std::filesystem::remove(card + "/ck9/re1/mine.mp3");
        const ServiceSession noAccount;
        RestorePlan plan;
        CardCareJob restore;
        restore.action = CardCareJob::Action::PlanRestore;
        restore.card = std::make_shared<Card>(card);
        restore.archive = archive;
        restore.plan = &plan;

        RecordingSink yes(true);
        for (const CardCareJob::Action action :
             {CardCareJob::Action::PlanRestore, CardCareJob::Action::Restore}) {
            restore.action = action;
            CDownloadDlg dialog(DownloadJob(restore), noAccount, yes);
            dialog.show();
            QTRY_VERIFY_WITH_TIMEOUT(dialog.WorkerFinished(), 10000);
            QVERIFY(dialog.Outcome().Completed());
            QVERIFY(!dialog.isVisible());
        }
        QVERIFY(yes.asked.empty());
        QCOMPARE(test::ReadFile(card + "/ck9/re1/mine.mp3"),
                 std::string("the parent's own recording"));

        restore.action = CardCareJob::Action::PlanRestore;
        test::WriteFile(archive, "PK not really");
        RecordingSink sink(false);
        CDownloadDlg refused(DownloadJob(restore), noAccount, sink);
        refused.show();
        QTRY_VERIFY_WITH_TIMEOUT(refused.WorkerFinished(), 10000);
        QVERIFY(refused.isVisible());
        QCOMPARE(refused.Shown().status, std::string(kMsgBackupUnreadable));
        QCOMPARE(sink.Texts(), std::vector<std::string>{std::string(kMsgBackupUnreadable)});
        QTest::mouseClick(refused.CancelButton(), Qt::LeftButton);
        QVERIFY(!refused.isVisible());
    }
};

// Rules of the view model that the page shows.
class ContentViewModelTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void pagesAndGroups() {
        const struct {
            int count, page, size;
            bool all;
            int first, shown, built;
        } cases[] = {{23, 0, 10, false, 0, 10, 10},
                     {23, 2, 10, false, 20, 3, 10},
                     {23, 5, 10, true, 0, 23, 23},
                     {0, 0, 10, false, 0, 0, 10},
                     {1500, 1, 50, false, 50, 50, 50}};
        for (const auto& c : cases) {
            const PageRows rows = RowsOfPage(c.count, c.page, c.size, c.all);
            QCOMPARE(rows.first, c.first);
            QCOMPARE(rows.shown, c.shown);
            QCOMPARE(rows.built, c.built);
        }
        QCOMPARE(PreviousPageGroup(14), 0);
        QCOMPARE(NextPageGroup(3), 10);
        QCOMPARE(NextPageGroup(10), 20);
    }
    // The card's stamp shows as its day, which every tab's date column holds whole.
    void shownDateIsTheDayOfTheCardsStamp() {
        QCOMPARE(ShownDate("2026-12-11T03-50-07"), std::string("2026-12-11"));
        QCOMPARE(ShownDate("2027-06-30"), std::string("2027-06-30"));
        QCOMPARE(ShownDate("someday"), std::string("someday"));
        QCOMPARE(ShownDate(""), std::string("-"));
    }

    void exportKeepsAnExtensionInAnyCase() {
        QCOMPARE(DiyExportDestination("a.mp3", "/x/a"), std::string("/x/a.mp3"));
        QCOMPARE(DiyExportDestination("a.mp3", "/x/a.MP3"), std::string("/x/a.MP3"));
        QCOMPARE(DiyExportDestination("a.wav", "/x/a.Wav"), std::string("/x/a.Wav"));
        QCOMPARE(DiyExportDestination("a.wav", "/x/a.mp3"), std::string("/x/a.mp3.wav"));
    }
    void storageBar() {
        QCOMPARE(StorageBarOf(StorageNumbers{}, 400).usedWidth, 0);
        const StorageBar half = StorageBarOf(StorageNumbers{1.0f, 2.0f, 1.0f}, 400);
        QCOMPARE(half.usedWidth, 200);
        QCOMPARE(half.text, StorageBarText(1.0f, 1.0f));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int status = 0;
    {
        ContentViewModelTest model;
        status |= QTest::qExec(&model, argc, argv);
        ContentPageTest page;
        status |= QTest::qExec(&page, argc, argv);
        DownloadDialogTest dialog;
        status |= QTest::qExec(&dialog, argc, argv);
    }
    return status;
}

#include "content_page_test.moc"
