// The readers of the service's list answers: catalogue, children, update packages and banners,
// and the list requests that feed them.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "children/children_service.h"
#include "delivery/catalogue.h"
#include "service/banners.h"
#include "tests/support/test_server.h"
#include "update/update_list.h"

namespace torvane {
namespace {

using test::TestServer;

std::string Content(const std::string& no, const std::string& mainGroup,
                    const std::string& subGroup, const std::string& files = "") {
    return "<content><contentNo>" + no + "</contentNo><mainGroup>" + mainGroup +
           "</mainGroup><subGroup>" + subGroup + "</subGroup>" + files + "</content>";
}

// Leading blank lines, entity-split texts, Korean titles, numbers that are not numbers,
// contents of kinds the device does not know.
constexpr const char* kCatalogue = R"(

<?xml version="1.0" encoding="utf-8"?>
<contentsList>
 <content>
  <contentNo>L0001</contentNo>
  <name>영어 동요 &amp; 노래</name>
  <downloadType>full</downloadType>
  <mainGroup>language</mainGroup>
  <subGroup>단품</subGroup>
  <thumbnailImage>http://svc/t/L0001.jpg</thumbnailImage>
  <downCount>abc</downCount>
  <endCount>5</endCount>
  <endDate>2027-01-31</endDate>
  <defaultYN>Y</defaultYN>
  <files>
   <file><name>00000001.qvx</name><savedName>s1.qvx</savedName><rfidCardID>1001</rfidCardID>
    <language>en</language><fileURL>http://svc/f?id=1&amp;type=qvx&amp;k=%20</fileURL>
    <fileSize>12345</fileSize><folderType>1</folderType></file>
   <file><name>00000002.qvx</name><fileSize>7</fileSize></file>
   <file><name>00000003.qvx</name></file>
  </files>
 </content>
 <content><contentNo>M0001</contentNo><mainGroup>music</mainGroup><name>똠방각하</name></content>
 <content><contentNo>B0001</contentNo><mainGroup>book</mainGroup><subGroup>series</subGroup></content>
 <content><contentNo>B0002</contentNo><mainGroup>book</mainGroup><subGroup>single</subGroup></content>
 <content><contentNo>X0001</contentNo><mainGroup>Book</mainGroup></content>
 <content><contentNo>X0002</contentNo><mainGroup>video</mainGroup></content>
</contentsList>)";

TEST(CatalogueReaderTest, ReadsContentsWithTheirFilesOntoShelves) {
    ContentCatalogue catalogue;
    const Status read = catalogue.ReadCatalogue(kCatalogue);
    ASSERT_TRUE(read.ok()) << read.message();

    ASSERT_EQ(catalogue.Count(Shelf::Language), 1u);
    const ContentRecord& language = catalogue.Contents(Shelf::Language)[0];
    EXPECT_EQ(language.contentNo, "L0001");
    EXPECT_EQ(language.title, "영어 동요 & 노래");
    EXPECT_EQ(language.downloadType, "full");
    EXPECT_EQ(language.subGroup, "단품");
    EXPECT_EQ(language.thumbnailImage, "http://svc/t/L0001.jpg");
    EXPECT_EQ(language.downloadCount, 0);
    EXPECT_EQ(language.endCount, 5);
    EXPECT_EQ(language.date, "2027-01-31");
    EXPECT_EQ(language.status, "Y");
    ASSERT_EQ(language.files.size(), 3u);
    EXPECT_EQ(language.files[0], (FileRecord{"00000001.qvx", "s1.qvx", "1001", "en",
                                             "http://svc/f?id=1&type=qvx&k=%20", 12345, "1"}));
    EXPECT_EQ(language.files[1].name, "00000002.qvx");
    EXPECT_EQ(language.files[1].size, 7);
    EXPECT_EQ(language.files[2].name, "00000003.qvx");

    ASSERT_EQ(catalogue.Count(Shelf::Music), 1u);
    EXPECT_EQ(catalogue.Contents(Shelf::Music)[0].title, "똠방각하");
    EXPECT_TRUE(catalogue.Contents(Shelf::Music)[0].files.empty());
    ASSERT_EQ(catalogue.Count(Shelf::BookSeries), 1u);
    EXPECT_EQ(catalogue.Contents(Shelf::BookSeries)[0].contentNo, "B0001");
    ASSERT_EQ(catalogue.Count(Shelf::Book), 1u);
    EXPECT_EQ(catalogue.Contents(Shelf::Book)[0].contentNo, "B0002");
    std::size_t total = 0;
    for (const Shelf shelf : kAllShelves) total += catalogue.Count(shelf);
    EXPECT_EQ(total, 4u);  // "Book" and "video" are on no shelf
}

TEST(CatalogueReaderTest, EveryKindLandsOnItsShelf) {
    const std::tuple<std::string, std::string, Shelf> cases[] = {
        {"language", "", Shelf::Language},
        {"music", "series", Shelf::Music},
        {"story", "", Shelf::Story},
        {"book", "series", Shelf::BookSeries},
        {"book", "", Shelf::Book},
        {"game", "", Shelf::Game},
        {"card", "series", Shelf::CardSeries},
        {"card", "Series", Shelf::Card},
        {"excellent", "series", Shelf::ExcellentSeries},
        {"excellent", "x", Shelf::Excellent},
    };
    for (const auto& [mainGroup, subGroup, shelf] : cases) {
        ContentCatalogue catalogue;
        ASSERT_TRUE(catalogue
                        .ReadCatalogue("<contentsList>" + Content("N1", mainGroup, subGroup) +
                                       "</contentsList>")
                        .ok());
        for (const Shelf each : kAllShelves)
            EXPECT_EQ(catalogue.Count(each), each == shelf ? 1u : 0u)
                << mainGroup << "/" << subGroup << " on " << ShelfKey(each);
    }
}

TEST(CatalogueReaderTest, MalformedAnswerFailsButKeepsWhatWasRead) {
    ContentCatalogue catalogue;
    const Status read =
        catalogue.ReadCatalogue("<contentsList>" + Content("L1", "language", "") +
                                "<content><contentNo>L2</contentNo></contentsList>");
    EXPECT_FALSE(read.ok());
    EXPECT_FALSE(read.message().empty());
    EXPECT_EQ(catalogue.Count(Shelf::Language), 1u);
    for (const char* answer : {"", "   \n", "not xml", "<a><b></a>"}) {
        ContentCatalogue other;
        EXPECT_FALSE(other.ReadCatalogue(answer).ok()) << answer;
    }
}

TEST(CatalogueFetchTest, AsksForTheAccountsContentsAndReplacesTheShelves) {
    TestServer server;
    server.OnText("/torvane/pc_contentsList.asp", "<contentsList>" + Content("L1", "language", "") +
                                                      Content("S1", "story", "") +
                                                      "</contentsList>");
    ServiceSession session;
    session.baseUrl = server.BaseUrl();
    session.userId = "mom";
    session.password = "pw";
    session.cookie = "ASPSESSIONID=S";
    ContentCatalogue catalogue;
    for (int fetch = 0; fetch < 2; ++fetch) {
        const Status fetched = catalogue.FetchCatalogue(session);
        ASSERT_TRUE(fetched.ok()) << fetched.message();
        EXPECT_EQ(catalogue.Count(Shelf::Language), 1u);
        EXPECT_EQ(catalogue.Count(Shelf::Story), 1u);
    }
    const auto sent = server.LastRequest();
    EXPECT_EQ(sent.target, "/torvane/pc_contentsList.asp?userID=mom&soundType=larkspin&cookie=pw");
    EXPECT_EQ(sent.Header("Cookie"), "ASPSESSIONID=S");

    server.AnswerStatuses({404});
    const Status refused = catalogue.FetchCatalogue(session);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(), "HTTP request error: resource not found (status 404)");
    EXPECT_TRUE(catalogue.Empty());
}

constexpr const char* kChildren = R"(
 
<?xml version="1.0" encoding="utf-8"?>
<childrenList>
 <childInfo>
  <childNo>12</childNo><familyName>김</familyName><firstName>하늘</firstName>
  <gender>male</gender><birthday>2019-03-07</birthday>
  <nameFileList>
   <nameFile><soundType>ko</soundType><nameFileStatus>exist</nameFileStatus>
    <nameFileURL>http://svc/voice?child=12&amp;lang=ko</nameFileURL><nameFileSize>2048</nameFileSize></nameFile>
   <nameFile><soundType>en</soundType><nameFileStatus>requested</nameFileStatus></nameFile>
  </nameFileList>
 </childInfo>
 <childInfo><childNo>x</childNo><familyName>Lee</familyName><gender>female</gender></childInfo>
</childrenList>)";

TEST(ChildrenReaderTest, ReadsChildrenAndTheirNameFiles) {
    const ChildrenList list = ReadChildrenList(kChildren);
    ASSERT_TRUE(list.ok()) << list.status.message();
    ASSERT_EQ(list.items.size(), 2u);
    const ChildInfo& first = list.items[0];
    EXPECT_EQ(first.childNo, 12);
    EXPECT_EQ(first.familyName, "김");
    EXPECT_EQ(first.firstName, "하늘");
    EXPECT_TRUE(first.IsBoy());
    EXPECT_EQ(first.birthday, "2019-03-07");
    ASSERT_EQ(first.nameFiles.size(), 2u);
    EXPECT_EQ(first.nameFiles[0].soundType, "ko");
    EXPECT_EQ(first.nameFiles[0].status, "exist");
    EXPECT_EQ(first.nameFiles[0].url, "http://svc/voice?child=12&lang=ko");
    EXPECT_EQ(first.nameFiles[0].size, 2048);
    EXPECT_EQ(first.nameFiles[1].status, "requested");
    const ChildInfo& second = list.items[1];
    EXPECT_EQ(second.childNo, 0);
    EXPECT_FALSE(second.numberValid);
    EXPECT_FALSE(second.IsBoy());
    EXPECT_TRUE(second.nameFiles.empty());
}

// A child number is taken as the service wrote it or not at all: a number made up for a child (0,
// or the largest 32-bit number) could name another child in a delete or on the card.
TEST(ChildrenReaderTest, ChildNumbersAreTakenAsWrittenOrMarkedBad) {
    struct Case {
        std::string written;
        std::optional<std::int32_t> number;
    };
    const Case cases[] = {
        {"7", 7},
        {" 42\n ", 42},
        {"2147483647", 2147483647},
        {"2147483648", std::nullopt},
        {"99999999999", std::nullopt},
        {"abc", std::nullopt},
        {"12abc", std::nullopt},
        {"", std::nullopt},
        {"0", std::nullopt},
        {"-5", std::nullopt},
        {"+5", std::nullopt},
        {"1 2", std::nullopt},
    };
    for (const Case& c : cases) {
        const ChildrenList list =
            ReadChildrenList("<childrenList><childInfo><childNo>" + c.written +
                             "</childNo></childInfo>"
                             "</childrenList>");
        ASSERT_TRUE(list.ok()) << c.written;
        ASSERT_EQ(list.items.size(), 1u) << c.written;
        const ChildInfo& child = list.items[0];
        EXPECT_EQ(child.numberValid, c.number.has_value()) << c.written;
        EXPECT_EQ(child.childNo, c.number.value_or(0)) << c.written;
    }
}

// Every list has a bound far above any account. At the bound the list is read; one item past it
// the list is refused whole with a sentence that says so, since a cut list hides what was cut.
TEST(ListBoundsTest, AListPastItsBoundIsRefusedWholeAndOneAtItIsRead) {
    struct Read {
        Status status;
        std::size_t items;
    };
    struct Case {
        const char* what;
        std::size_t bound;
        std::function<Read(std::size_t)> read;
    };
    const auto repeat = [](std::string_view item, std::size_t count) {
        std::string out;
        out.reserve(item.size() * count + 32);
        for (std::size_t i = 0; i < count; ++i) out += item;
        return out;
    };
    const Case cases[] = {
        {"children", kMaxChildren,
         [&](std::size_t n) {
             ChildrenList list = ReadChildrenList(
                 "<childrenList>" + repeat("<childInfo><childNo>1</childNo></childInfo>", n) +
                 "</childrenList>");
             EXPECT_EQ(list.tooLong, !list.ok());
             return Read{list.status, list.items.size()};
         }},
        {"contents", kMaxCatalogueContents,
         [&](std::size_t n) {
             ContentCatalogue catalogue;
             Status status = catalogue.ReadCatalogue(
                 "<contentsList>" + repeat(Content("L1", "language", ""), n) + "</contentsList>");
             EXPECT_EQ(catalogue.RefusedAsTooLong(), !status.ok());
             return Read{status, catalogue.Count(Shelf::Language)};
         }},
        {"update files", kMaxUpdateFiles,
         [&](std::size_t n) {
             UpdateFileList list;
             Status status = list.ReadUpdateFiles(
                 "<s>" + repeat("<factoryFile><version>1</version></factoryFile>", n) + "</s>");
             EXPECT_EQ(list.RefusedAsTooLong(), !status.ok());
             return Read{status, list.Files().size()};
         }},
    };
    for (const Case& c : cases) {
        const Read atBound = c.read(c.bound);
        EXPECT_TRUE(atBound.status.ok()) << c.what << ": " << atBound.status.message();
        EXPECT_EQ(atBound.items, c.bound) << c.what;
        const Read past = c.read(c.bound + 1);
        EXPECT_FALSE(past.status.ok()) << c.what;
        EXPECT_EQ(past.status.message(), "the service listed more than " + std::to_string(c.bound) +
                                             " " + c.what + "; the list is refused");
        EXPECT_EQ(past.items, 0u) << c.what;
    }
}

TEST(ChildrenServiceTest, ListAndChangesGoToTheirAddresses) {
    TestServer server;
    server.OnText("/torvane/pc_childrenList.asp", kChildren);
    for (const char* path : {"/torvane/pc_childrenDelete.asp", "/torvane/pc_childrenInsert.asp",
                             "/torvane/pc_childrenRequest.asp"})
        server.OnText(path, "<result>ok</result>");
    ServiceSession session;
    session.baseUrl = server.BaseUrl();
    session.userId = "mom";
    session.password = "pw";
    session.cookie = "SID=1";

    ChildrenList list = FetchChildrenList(session);
    ASSERT_TRUE(list.ok()) << list.status.message();
    EXPECT_EQ(list.items.size(), 2u);
    EXPECT_TRUE(DeleteChild(7, session).ok());
    EXPECT_TRUE(InsertChild("김", "하늘", ChildSex::Boy, "2019-03-07", session).ok());
    EXPECT_TRUE(RequestNameFile(12, session).ok());
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].target, "/torvane/pc_childrenList.asp?userID=mom&cookie=pw");
    EXPECT_EQ(requests[1].target,
              "/torvane/pc_childrenDelete.asp?userID=mom&childNo=7&cookie=cookie");
    EXPECT_EQ(requests[2].target,
              "/torvane/pc_childrenInsert.asp?userID=mom&mc_name1=%b1%e8&mc_name2=%c7%cf%b4%c3"
              "&mc_sex=1&mc_birthday=2019-03-07&cookie=cookie");
    EXPECT_EQ(requests[3].target,
              "/torvane/pc_childrenRequest.asp?userID=mom&childNo=12&cookie=cookie");
    for (const auto& request : requests) EXPECT_EQ(request.Header("Cookie"), "SID=1");

    // A malformed list gives no children at all; a failed change says why.
    server.OnText("/torvane/pc_childrenList.asp", "<childrenList><childInfo><childNo>1</childNo>");
    list = FetchChildrenList(session);
    EXPECT_FALSE(list.ok());
    EXPECT_FALSE(list.status.message().empty());
    EXPECT_TRUE(list.items.empty());
    server.AnswerStatuses({500});
    const Status refused = DeleteChild(7, session);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(), "HTTP server error: 500. Server failure.");
}

TEST(UpdateListTest, EveryFactoryFileIsOnePackageInOrder) {
    UpdateFileList list;
    const Status read = list.ReadUpdateFiles(R"(
<?xml version="1.0" encoding="utf-8"?>
<systemUpdateFiles><firmwareFileList>
 <firmwareFile><version>9.9</version></firmwareFile>
 <factoryFile><version>1.2</version><name>fw.zip</name><description>펌웨어 &amp; 시스템</description>
  <registeredDate>2026-11-01</registeredDate><fileURL>http://svc/p?a=1&amp;b=2</fileURL>
  <fileSize>4096</fileSize><selected>Y</selected></factoryFile>
 <factoryFile><version>1.1</version><fileSize>x</fileSize></factoryFile>
 <factoryFile><version>1.0</version></factoryFile>
</firmwareFileList></systemUpdateFiles>)");
    ASSERT_TRUE(read.ok()) << read.message();
    ASSERT_EQ(list.Files().size(), 3u);
    const UpdateFile& first = list.Files()[0];
    EXPECT_EQ(first.version, "1.2");
    EXPECT_EQ(first.name, "fw.zip");
    EXPECT_EQ(first.description, "펌웨어 & 시스템");
    EXPECT_EQ(first.registeredDate, "2026-11-01");
    EXPECT_EQ(first.fileUrl, "http://svc/p?a=1&b=2");
    EXPECT_EQ(first.size, 4096);
    EXPECT_TRUE(first.selected);
    EXPECT_EQ(list.Files()[1].version, "1.1");
    EXPECT_EQ(list.Files()[1].size, 0);
    EXPECT_EQ(list.Files()[2].version, "1.0");
    EXPECT_EQ(&list.ListA(), &list.ListB());
}

TEST(UpdateListTest, SelectedMeansYFirstOrTrueInAnyCase) {
    const std::pair<std::string, bool> cases[] = {
        {"Y", true},  {"Yes", true},    {"true", true}, {"TRUE", true},
        {"N", false}, {"false", false}, {"yes", false}, {"", false},
    };
    for (const auto& [text, selected] : cases) {
        UpdateFileList list;
        ASSERT_TRUE(list.ReadUpdateFiles("<s><factoryFile><selected>" + text +
                                         "</selected></factoryFile></s>")
                        .ok());
        ASSERT_EQ(list.Files().size(), 1u);
        EXPECT_EQ(list.Files()[0].selected, selected) << text;
    }
}

TEST(UpdateListTest, FetchReplacesTheListOrReportsWhy) {
    TestServer server;
    server.OnText("/torvane/pc_systemUpdateFiles.asp",
                  "<systemUpdateFiles><factoryFile><version>2</version></factoryFile>"
                  "</systemUpdateFiles>");
    ServiceSession session;
    session.baseUrl = server.BaseUrl();
    session.cookie = "SID=1";
    UpdateFileList list;
    for (int fetch = 0; fetch < 2; ++fetch) {
        const Status fetched = list.FetchUpdateFiles(session);
        ASSERT_TRUE(fetched.ok()) << fetched.message();
    }
    EXPECT_EQ(list.Files().size(), 1u);
    EXPECT_EQ(server.LastRequest().target, "/torvane/pc_systemUpdateFiles.asp");
    server.AnswerStatuses({400, 400, 400});
    const Status refused = list.FetchUpdateFiles(session);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(), "HTTP request error: 3 attempts failed.");
    EXPECT_TRUE(list.Files().empty());
}

TEST(BannerListTest, ReadsEntriesInOrderAndIgnoresTextBetweenElements) {
    const BannerList list = ReadBannerList(R"(
<bannerList>
 <bannerInfo>
  <bannerFileURL>http://svc/b/one.jpg</bannerFileURL>
  <bannerLinkURL>http://svc/shop?a=1&amp;b=2</bannerLinkURL>
 </bannerInfo>
 <bannerInfo><bannerFileURL>http://svc/b/two.jpg</bannerFileURL></bannerInfo>
</bannerList>)");
    ASSERT_TRUE(list.ok()) << list.status.message();
    ASSERT_EQ(list.items.size(), 2u);
    EXPECT_EQ(list.items[0].fileUrl, "http://svc/b/one.jpg");
    EXPECT_EQ(list.items[0].linkUrl, "http://svc/shop?a=1&b=2");
    EXPECT_EQ(list.items[1].fileUrl, "http://svc/b/two.jpg");
    EXPECT_EQ(list.items[1].linkUrl, "");
    EXPECT_EQ(BannerFileName(list.items[1].fileUrl), "two.jpg");
    EXPECT_EQ(BannerFileName("nofolder.jpg"), "");
}

TEST(BannerListTest, FetchWithoutSessionCapturesTheCookie) {
    TestServer server;
    server.OnText("/torvane/pc_bannerList.asp",
                  "<bannerList><bannerInfo><bannerFileURL>/b/a.jpg</bannerFileURL></bannerInfo>"
                  "</bannerList>",
                  "BANNER=7");
    ServiceSession session;
    session.baseUrl = server.BaseUrl();
    BannerList list = FetchBanners(session);
    ASSERT_TRUE(list.ok()) << list.status.message();
    EXPECT_EQ(list.items.size(), 1u);
    EXPECT_EQ(session.cookie, "BANNER=7");
    server.OnText("/torvane/pc_bannerList.asp", "<bannerList><bannerInfo>");
    list = FetchBanners(session);
    EXPECT_FALSE(list.ok());
    EXPECT_FALSE(list.status.message().empty());
}

}  // namespace
}  // namespace torvane
