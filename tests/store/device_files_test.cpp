#include "store/device_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "store/default_xml.h"
#include "store/device_setup.h"
#include "store/diy_xml.h"
#include "tests/support/store_test_support.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

TEST(EscapeXmlText, EscapesTheFiveMarkupCharactersOnly) {
    EXPECT_EQ(EscapeXmlText(""), "");
    EXPECT_EQ(EscapeXmlText("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
    // CP949 double-byte characters pass through byte for byte.
    EXPECT_EQ(EscapeXmlText("\xB0\xA1\x8C\x63"), "\xB0\xA1\x8C\x63");
}

TEST(ReadWholeTextFile, StopsAtTheCiphersPadding) {
    TempFolder folder;
    WriteFile(folder / "f", std::string("text\0\0\0", 7));
    std::string text = "unchanged";
    ASSERT_TRUE(ReadWholeTextFile(folder / "f", text));
    EXPECT_EQ(text, "text");
    text = "unchanged";
    EXPECT_FALSE(ReadWholeTextFile(folder / "missing", text));
    EXPECT_EQ(text, "unchanged");
}

TEST(EmptyFolderTree, RemovesEverythingBelowButKeepsTheFolder) {
    TempFolder folder;
    TempFolder outside;
    WriteFile(folder / "staging/a.qvx", "x");
    WriteFile(folder / "staging/ko/1/b.qvx", "x");
    WriteFile(folder / "staging/en/c.qvx", "x");
    WriteFile(outside / "keep.qvx", "x");
    fs::create_directory_symlink(outside.path(), folder / "staging/link");

    EXPECT_TRUE(EmptyFolderTree(folder / "staging"));
    EXPECT_TRUE(fs::is_directory(folder / "staging"));
    EXPECT_TRUE(fs::is_empty(folder / "staging"));
    EXPECT_TRUE(fs::exists(outside / "keep.qvx")) << "a symlink is removed, never followed";
    EXPECT_FALSE(EmptyFolderTree(folder / "missing"));
}

TEST(DeleteContentFiles, DeletesExactNamesAnywhereBelowTheFolder) {
    TempFolder folder;
    for (const char* file :
         {"ck2/ko/1/00000001.qvx", "ck2/00000002.qvx", "ck2/00000001.QVX", "ck2/00000003.qvx"})
        WriteFile(folder / file, "x");
    ContentRecord content;
    content.files.resize(2);
    content.files[0].name = "00000001.qvx";
    content.files[1].name = "00000002.qvx";

    EXPECT_TRUE(DeleteContentFiles({content}, folder / "ck2"));
    EXPECT_FALSE(fs::exists(folder / "ck2/ko/1/00000001.qvx"));
    EXPECT_FALSE(fs::exists(folder / "ck2/00000002.qvx"));
    EXPECT_TRUE(fs::exists(folder / "ck2/00000001.QVX"));
    EXPECT_TRUE(fs::exists(folder / "ck2/00000003.qvx"));
    EXPECT_FALSE(DeleteContentFiles({content}, folder / "missing"));
}

// The private temporary folder, tried under a TMPDIR of the test's own.
class PrivateTempFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* old = std::getenv("TMPDIR")) saved_ = old;
        setenv("TMPDIR", base.path().c_str(), 1);
    }
    void TearDown() override {
        if (saved_)
            setenv("TMPDIR", saved_->c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
    std::string Expected() const { return base / ("torvane-" + std::to_string(::geteuid())); }

    TempFolder base;
    std::optional<std::string> saved_;
};

TEST_F(PrivateTempFolder, IsMadeForTheUserAlone) {
    ASSERT_EQ(GetTempFolder(), Expected());
    struct stat info {};
    ASSERT_EQ(::lstat(Expected().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(info.st_uid, ::geteuid());

    // A folder opened up by someone is made anew: what others planted in it while it was open
    // (a symlink where a staging folder is expected) is gone, and what it pointed to is untouched.
    TempFolder elsewhere;
    elsewhere.WriteFile("photo.jpg", "the family's photo");
    ::chmod(Expected().c_str(), 0777);
    fs::create_directory_symlink(elsewhere.path(), Expected() + "/temp");
    ASSERT_EQ(GetTempFolder(), Expected());
    ::lstat(Expected().c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(Expected() + "/temp")));
    EXPECT_EQ(ReadFile(elsewhere / "photo.jpg"), "the family's photo");
}

// A killed run's job folder is cleared by the next job of its kind; a living job's folder, a
// folder just made, and other names are left alone.
TEST_F(PrivateTempFolder, ANewJobFolderClearsTheFoldersOfKilledRuns) {
    const std::string temp = GetTempFolder();
    ASSERT_EQ(temp, Expected());
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    const auto leave = [&](const std::string& name, bool aged) {
        fs::create_directories(temp + "/" + name + "/temp");
        WriteFile(temp + "/" + name + "/temp/00000101.qvx", "a half download");
        if (aged) fs::last_write_time(temp + "/" + name, old);
    };
    std::optional<ScratchFolder> living(std::in_place, "job");
    ASSERT_FALSE(living->path().empty());
    fs::last_write_time(living->path(), old);
    leave("job.Ab12Cd", true);
    leave("job.Fr35h1", false);
    leave("jobs.Ab12Cd", true);
    leave("keep.Ab12Cd", true);

    const ScratchFolder next("job");
    ASSERT_FALSE(next.path().empty());
    EXPECT_FALSE(fs::exists(temp + "/job.Ab12Cd")) << "a killed run's";
    EXPECT_TRUE(fs::exists(living->path())) << "a living job's";
    EXPECT_TRUE(fs::exists(temp + "/job.Fr35h1")) << "just made";
    EXPECT_TRUE(fs::exists(temp + "/jobs.Ab12Cd"));
    EXPECT_TRUE(fs::exists(temp + "/keep.Ab12Cd"));
    const std::string gone = living->path();
    living.reset();
    EXPECT_FALSE(fs::exists(gone));
}

// Emptying a folder whose name is a symlink would empty the folder it points to.
TEST(EmptyFolderTree, NeverFollowsAFolderThatIsASymlink) {
    TempFolder base;
    base.WriteFile("target/keep.txt", "kept");
    fs::create_directory_symlink(base / "target", base / "link");
    EXPECT_FALSE(EmptyFolderTree(base / "link"));
    EXPECT_EQ(ReadFile(base / "target/keep.txt"), "kept");
}

TEST_F(PrivateTempFolder, RefusesAPlantedSymlinkOrFile) {
    TempFolder elsewhere;
    fs::create_directory_symlink(elsewhere.path(), Expected());
    EXPECT_EQ(GetTempFolder(), "");
    EXPECT_EQ(MakeCipherTempPath(), "");
    fs::remove(Expected());
    WriteFile(Expected(), "not a folder");
    EXPECT_EQ(GetTempFolder(), "");
}

TEST(SafeFileWriter, ReplacesTheFileOnlyOnCommit) {
    TempFolder folder;
    WriteFile(folder / "rec.tbl", "old");
    {
        SafeFileWriter writer(folder / "rec.tbl");
        ASSERT_TRUE(writer.Open());
        ASSERT_TRUE(writer.Write(std::string(200 * 1024, 'n')));
        EXPECT_EQ(ReadFile(folder / "rec.tbl"), "old");
        // Dropped without Commit, as when the program stops halfway.
    }
    EXPECT_EQ(ReadFile(folder / "rec.tbl"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);

    ASSERT_TRUE(WriteFileSafely(folder / "rec.tbl", "new"));
    EXPECT_EQ(ReadFile(folder / "rec.tbl"), "new");
    EXPECT_FALSE(WriteFileSafely(folder / "missing/rec.tbl", "new"));
}

TEST(SafeFileWriter, ReplacesASymlinkInsteadOfWritingThroughIt) {
    TempFolder folder;
    WriteFile(folder / "target", "target");
    fs::create_symlink(folder / "target", folder / "file");
    ASSERT_TRUE(WriteFileSafely(folder / "file", "new"));
    EXPECT_EQ(ReadFile(folder / "target"), "target");
    EXPECT_FALSE(fs::is_symlink(folder / "file"));
    EXPECT_EQ(ReadFile(folder / "file"), "new");
}

// The one copy, by the kernel and by the byte loop that FAT cards mounted through FUSE need.
class CopyFileSafelyTest : public ::testing::TestWithParam<CopyPath> {
  protected:
    // Files in the folder other than `keep`: a left temporary shows up here.
    std::vector<std::string> OtherFiles(std::initializer_list<std::string> keep) const {
        std::vector<std::string> others;
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            if (std::find(keep.begin(), keep.end(), name) == keep.end()) others.push_back(name);
        }
        return others;
    }
    TempFolder folder;
};

// Larger than one step of the byte loop and not a whole number of steps, nor of cipher blocks.
std::string SoundBytes() {
    std::string bytes((std::size_t{3} << 20) + 5, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 + i / 7);
    return bytes;
}

TEST_P(CopyFileSafelyTest, ReplacesTheFileWithTheSourcesExactBytes) {
    WriteFile(folder / "src.qvx", SoundBytes());
    WriteFile(folder / "dst.qvx", "an older recording");
    ASSERT_TRUE(CopyFileSafely(folder / "src.qvx", folder / "dst.qvx", GetParam()));
    EXPECT_EQ(ReadFile(folder / "dst.qvx"), SoundBytes());

    WriteFile(folder / "empty", "");
    ASSERT_TRUE(CopyFileSafely(folder / "empty", folder / "dst.qvx", GetParam()));
    EXPECT_EQ(ReadFile(folder / "dst.qvx"), "");
    EXPECT_EQ(OtherFiles({"src.qvx", "dst.qvx", "empty"}), std::vector<std::string>{});
}

// A card that fills up, or a source that vanished: the old file stays whole and nothing is left.
TEST_P(CopyFileSafelyTest, AFailedCopyKeepsTheOldFileAndLeavesNoPartBehind) {
    WriteFile(folder / "src.qvx", SoundBytes());
    WriteFile(folder / "dst.qvx", "an older recording");
    {
        test::FileSizeLimit full(256 * 1024);
        EXPECT_FALSE(CopyFileSafely(folder / "src.qvx", folder / "dst.qvx", GetParam()));
    }
    EXPECT_FALSE(CopyFileSafely(folder / "missing.qvx", folder / "dst.qvx", GetParam()));
    EXPECT_FALSE(CopyFileSafely(folder / "src.qvx", folder / "no-folder/dst.qvx", GetParam()));
    EXPECT_EQ(ReadFile(folder / "dst.qvx"), "an older recording");
    EXPECT_EQ(OtherFiles({"src.qvx", "dst.qvx"}), std::vector<std::string>{});
}

// A slot saved over its own recording, or the card's own recording assigned again: the file
// stays whole (the plain copy truncated it to 0 bytes and said it worked).
TEST_P(CopyFileSafelyTest, CopyOntoItselfKeepsTheFile) {
    WriteFile(folder / "src.qvx", SoundBytes());
    fs::create_symlink(folder / "src.qvx", folder / "link.qvx");
    fs::create_hard_link(folder / "src.qvx", folder / "hard.qvx");
    for (const char* destination : {"src.qvx", "link.qvx", "hard.qvx"}) {
        EXPECT_TRUE(CopyFileSafely(folder / "src.qvx", folder / destination, GetParam()));
        EXPECT_EQ(ReadFile(folder / "src.qvx"), SoundBytes()) << destination;
    }
    EXPECT_TRUE(fs::is_symlink(folder / "link.qvx"));
}

// A package's table is the old table followed by the new lines: buffered bytes written before
// and after the stream copy keep their order.
TEST_P(CopyFileSafelyTest, WriterCopiesAStreamBetweenItsOwnBytes) {
    WriteFile(folder / "src.qvx", SoundBytes());
    const FileHandle source = FileHandle::OpenForReading(folder / "src.qvx");
    ASSERT_TRUE(source.IsOpen());
    SafeFileWriter writer(folder / "rfid.tbl");
    ASSERT_TRUE(writer.Open());
    ASSERT_TRUE(writer.Write("head\r\n"));
    ASSERT_TRUE(writer.WriteFrom(source, GetParam()));
    ASSERT_TRUE(writer.Write("tail\r\n"));
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(ReadFile(folder / "rfid.tbl"), "head\r\n" + SoundBytes() + "tail\r\n");
}

INSTANTIATE_TEST_SUITE_P(Paths, CopyFileSafelyTest,
                         ::testing::Values(CopyPath::KernelFirst, CopyPath::BytesOnly),
                         [](const auto& info) {
                             return info.param == CopyPath::KernelFirst ? "KernelFirst"
                                                                        : "BytesOnly";
                         });

TEST(ReadWholeFile, ReadsEveryByteAndFailsOnAMissingFile) {
    TempFolder folder;
    const std::string bytes = std::string("a\0b", 3) + SoundBytes();
    WriteFile(folder / "f", bytes);
    std::string read = "stale";
    ASSERT_TRUE(ReadWholeFile(folder / "f", read));
    EXPECT_EQ(read, bytes);
    EXPECT_FALSE(ReadWholeFile(folder / "missing", read));
    EXPECT_FALSE(ReadWholeFile(folder.path(), read)) << "a folder is not a file";
}

TEST(CreateEmptyDevice, MakesACardTheStoreCanLoad) {
    test::TempFolder card;
    ASSERT_TRUE(CreateEmptyDevice(card.path(), "1.0.3", "2"));
    for (const char* table :
         {"ck2/rfid.tbl", "ck3/sw.tbl", "ck4/sw.tbl", "ck6/rfid.tbl", "ck11/rfid.tbl"})
        EXPECT_TRUE(fs::exists(card / table)) << table;
    EXPECT_TRUE(fs::is_directory(card / "ck9/re4"));
    CDefaultXML database{card.path()};
    ASSERT_TRUE(database.Load().ok());
    EXPECT_EQ(database.systemVersion(), "1.0.3");
    EXPECT_EQ(database.soundType(), "2");
    CDiyXML diy{card.path()};
    ASSERT_TRUE(diy.Load().ok());
    EXPECT_EQ(diy.records().size(), 1500u);
    EXPECT_TRUE(diy.otherTableLines().empty());
}

}  // namespace
}  // namespace torvane
