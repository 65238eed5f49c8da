#include "delivery/my_zip.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <random>

#include "tests/support/files.h"
#include "tests/support/store_test_support.h"
#include "tests/support/temp_folder.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

struct Member {
    std::string name;
    std::string bytes;  // ignored for folders (names ending in "/")
    bool deflate = true;
};

// Writes a ZIP archive with libzip, members in the given order.
void MakeArchive(const fs::path& path, const std::vector<Member>& members) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const Member& m : members) {
        if (!m.name.empty() && m.name.back() == '/') {
            ASSERT_GE(zip_dir_add(archive, m.name.c_str(), ZIP_FL_ENC_RAW), 0);
            continue;
        }
        zip_source_t* src = zip_source_buffer(archive, m.bytes.data(), m.bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, m.name.c_str(), src, ZIP_FL_ENC_RAW);
        ASSERT_GE(index, 0) << m.name;
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 m.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
        zip_file_set_mtime(archive, static_cast<zip_uint64_t>(index), 1'300'000'000, 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

class MyZipTest : public ::testing::Test {
  protected:
    fs::path Archive() const { return dir.path() / "package.zip"; }
    fs::path Device() const { return dir.path() / "card"; }
    // Opens the archive and extracts it onto the card with the given step; `extracted` says how
    // the extraction ended.
    void Extract(std::size_t step = 1) {
        ASSERT_TRUE(zip.OpenArchive(Archive().string()).ok());
        extracted = zip.ExtractAll(Device().string(), step);
        zip.CloseArchive();
    }
    void ExpectExtractFailed() const {
        EXPECT_EQ(extracted.kind(), OutcomeKind::Failed);
        EXPECT_EQ(extracted.said(), Say(MessageId::ExtractFailed));
        EXPECT_EQ(extracted.message(), "Extract failed");
    }

    test::TempFolder dir;
    CMyZip zip;
    Status extracted = Status::Ok();
};

TEST_F(MyZipTest, TablesAreAppendedAndEveryOtherFileReplaced) {
    WriteFile(Device() / "ck2/rfid.tbl", "old line\r\n");
    WriteFile(Device() / "ck2/sw.TBL", "old capitals\r\n");
    WriteFile(Device() / "ck2/info.dat", "old info, longer than the new one");
    MakeArchive(Archive(), {{"ck2/rfid.tbl", "new line\r\n"},
                            {"ck2/sw.TBL", "new capitals\r\n", false},
                            {"ck2/info.dat", "new info"}});
    Extract(2);
    EXPECT_EQ(ReadFile(Device() / "ck2/rfid.tbl"), "old line\r\nnew line\r\n");
    EXPECT_EQ(ReadFile(Device() / "ck2/sw.TBL"), "new capitals\r\n");
    EXPECT_EQ(ReadFile(Device() / "ck2/info.dat"), "new info");
    EXPECT_TRUE(extracted.ok());
    EXPECT_EQ(extracted.id(), MessageId::None);
}

TEST_F(MyZipTest, WritesFoldersAndBytesExactlyWithTheEntryTime) {
    std::string big(700'000, '\0');  // crosses several read chunks
    std::mt19937 random(7);
    for (char& c : big) c = static_cast<char>(random() % 7);  // compressible, not trivially
    MakeArchive(Archive(), {{"ck9/", ""},
                            {"ck9/re1/", ""},
                            {"ck3/deep/er/file.qvx", big},
                            {"Default.dat", std::string("\0\1\2\3", 4), false}});
    Extract(1);
    EXPECT_TRUE(fs::is_directory(Device() / "ck9/re1"));
    EXPECT_EQ(ReadFile(Device() / "ck3/deep/er/file.qvx"), big);
    EXPECT_EQ(ReadFile(Device() / "Default.dat"), std::string("\0\1\2\3", 4));
    const auto written = fs::last_write_time(Device() / "Default.dat");
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::file_clock::to_sys(written).time_since_epoch());
    // ZIP times are local DOS times with two-second steps.
    EXPECT_NEAR(static_cast<double>(seconds.count()), 1'300'000'000.0, 86400.0);
}

// Left out as the card's FAT would name the file: any case, trailing dots and blanks dropped;
// a folder's whole subtree, but not a folder whose name merely starts the same.
TEST_F(MyZipTest, LeftOutPathsAreMatchedAsTheCardsFileSystemMatchesNames) {
    zip.LeaveOut("Diy.dat");
    zip.LeaveOut("ck9/re1/");
    const std::vector<std::pair<std::string, bool>> entries = {
        {"DIY.DAT", true},      {"ck9/RE1/song.mp3", true},   {"ck9/re1./deep/a.wav", true},
        {"Diy.dat. ", true},    {"ck9/re10/song.mp3", false}, {"ck9/re2/song.mp3", false},
        {"ck4/Diy.dat", false}, {"Diy.data", false},
    };
    std::vector<Member> members;
    for (const auto& [name, leftOut] : entries) members.push_back({name, "from the package"});
    MakeArchive(Archive(), members);
    Extract();
    EXPECT_TRUE(extracted.ok());
    std::vector<std::string> expected;
    for (const auto& [name, leftOut] : entries)
        if (leftOut) expected.push_back(name);
    EXPECT_EQ(zip.LeftOutEntries(), expected);
    for (const auto& [name, leftOut] : entries) {
        if (!leftOut) {
            EXPECT_EQ(ReadFile(Device() / name), "from the package") << name;
        }
    }
    EXPECT_FALSE(fs::exists(Device() / "ck9/re1")) << "nothing was made for what was left out";
}

TEST_F(MyZipTest, StopFlagLetsTheCurrentEntryFinishAndStartsNoOther) {
    MakeArchive(
        Archive(),
        {{"1.qvx", "a"}, {"2.qvx", "bb"}, {"3.qvx", "ccc"}, {"4.qvx", "dddd"}, {"5.qvx", "eeeee"}});
    zip.SetStepHook([this](std::uint64_t total, std::uint64_t written) {
        if (total == 3 && written == 1) zip.Stop();  // while the third entry is written
        return true;
    });
    Extract(1);
    EXPECT_EQ(ReadFile(Device() / "3.qvx"), "ccc");
    EXPECT_FALSE(fs::exists(Device() / "4.qvx"));
    EXPECT_FALSE(fs::exists(Device() / "5.qvx"));
    EXPECT_EQ(extracted.kind(), OutcomeKind::Cancelled);
    EXPECT_EQ(extracted.id(), MessageId::None);
}

TEST_F(MyZipTest, ChecksumMismatchStopsWithExtractFailed) {
    MakeArchive(Archive(), {{"1.qvx", "first member"},
                            {"2.qvx", "SECOND-MEMBER-PAYLOAD", false},
                            {"3.qvx", "third member"}});
    std::string bytes = ReadFile(Archive());
    const auto at = bytes.find("SECOND-MEMBER-PAYLOAD");
    ASSERT_NE(at, std::string::npos);
    bytes[at + 3] = 'x';
    WriteFile(Archive(), bytes);
    Extract(1);
    EXPECT_EQ(ReadFile(Device() / "1.qvx"), "first member");
    EXPECT_FALSE(fs::exists(Device() / "3.qvx"));
    ExpectExtractFailed();
}

// A card that fills up while an entry is unpacked: the entry's previous file (a sound file
// replaced, a table appended to) stays whole under its name and no temporary file is left.
struct FullCardEntry {
    const char* name;
    std::string before;
    std::string packaged;
};

class FullCardTest : public MyZipTest, public ::testing::WithParamInterface<FullCardEntry> {};

std::string Noise(std::size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

TEST_P(FullCardTest, KeepsThePreviousFileWholeAndNoTemporary) {
    const FullCardEntry& entry = GetParam();
    WriteFile(Device() / entry.name, entry.before);
    MakeArchive(Archive(), {{entry.name, entry.packaged}});
    {
        test::FileSizeLimit full(256 * 1024);
        Extract(1);
    }
    ExpectExtractFailed();
    EXPECT_EQ(ReadFile(Device() / entry.name), entry.before);
    const fs::path folder = (Device() / entry.name).parent_path();
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, FullCardTest,
    ::testing::Values(FullCardEntry{"ck2/ko/1/00000001.qvx", "an older sound", Noise(512 * 1024)},
                      FullCardEntry{"ck2/rfid.tbl", std::string(200 * 1024, 'o'),
                                    std::string(100 * 1024, 'n')}),
    [](const auto& info) { return info.index == 0 ? "SoundFile" : "Table"; });

class HostileNameTest : public MyZipTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(HostileNameTest, EntryOutsideTheDestinationIsNeverWritten) {
    fs::create_directories(Device());
    MakeArchive(Archive(), {{"ok.qvx", "fine"}, {GetParam(), "evil"}, {"after.qvx", "late"}});
    Extract(1);
    EXPECT_EQ(ReadFile(Device() / "ok.qvx"), "fine");
    EXPECT_FALSE(fs::exists(Device() / "after.qvx"));
    EXPECT_FALSE(fs::exists(dir.path() / "evil.qvx"));
    EXPECT_FALSE(fs::exists("/evil-torvane.qvx"));
    ExpectExtractFailed();
}

INSTANTIATE_TEST_SUITE_P(Names, HostileNameTest,
                         ::testing::Values("../evil.qvx", "ck2/../../evil.qvx",
                                           "ck2\\..\\..\\evil.qvx", "/evil-torvane.qvx",
                                           "C:/evil.qvx"));

TEST_F(MyZipTest, SymbolicLinkOnTheWayOutIsNotFollowed) {
    fs::create_directories(Device());
    fs::create_directory_symlink(dir.path(), Device() / "link");
    MakeArchive(Archive(), {{"link/evil.qvx", "evil"}});
    Extract(1);
    EXPECT_FALSE(fs::exists(dir.path() / "evil.qvx"));
    ExpectExtractFailed();
}

// A package that does not open fails at once, in the archive's own words: the same file opened
// again would fail again, so nothing is asked.
TEST_F(MyZipTest, AnArchiveThatDoesNotOpenFailsInTheArchivesWords) {
    WriteFile(Archive(), "this download was cut short");
    const struct {
        fs::path archive;
        Message said;
        std::vector<Message> notes;
    } cases[] = {
        {Archive(), Say(MessageId::CdirNotFound), {Say(MessageId::OpenFailed)}},
        {dir.path() / "none.zip", Say(MessageId::OpenFailed), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive);
        const Status opened = zip.OpenArchive(c.archive.string());
        EXPECT_EQ(opened.kind(), OutcomeKind::Failed);
        EXPECT_EQ(opened.said(), c.said);
        EXPECT_EQ(opened.notes(), c.notes);
        EXPECT_FALSE(zip.IsOpen());
        EXPECT_FALSE(zip.ExtractAll(Device().string(), 1).ok());
        EXPECT_FALSE(fs::exists(Device()));
    }
    EXPECT_EQ(MessageText(Say(MessageId::CdirNotFound)), "cdirNotFound failed");
    EXPECT_EQ(MessageText(Say(MessageId::OpenFailed)), "Open failed");
}

}  // namespace
}  // namespace torvane
