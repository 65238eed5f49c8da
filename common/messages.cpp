#include "common/messages.h"

#include <cstdio>

namespace torvane {

std::string StorageBarText(float usedGb, float freeGb) {
    char text[96];
    std::snprintf(text, sizeof text, "사용공간: %.2f GB / 남은공간: %.2f GB",
                  static_cast<double>(usedGb), static_cast<double>(freeGb));
    return text;
}

std::string KilobyteProgress(std::uint64_t doneBytes, std::uint64_t totalBytes) {
    return std::to_string(doneBytes / 1024) + " KB/" + std::to_string(totalBytes / 1024) + " KB";
}

std::string DeviceRemovedMessage(const std::string& drive) {
    return drive + " 디바이스가 시스템에서 분리되었습니다.";
}

std::string DeviceAttachedMessage(const std::string& drive) {
    return drive + " 디바이스가 시스템에서 장착되었습니다.";
}

std::string ResetQuestion(const std::string& drive, bool keepingRecordings) {
    return drive + " 의 모든 파일이 지워집니다. " +
           (keepingRecordings ? "DIY 녹음과 아이 이름 음성은 보관했다가 다시 넣습니다. " : "") +
           "계속하시겠습니까?";
}

namespace {

std::string ChildMessage(const std::string& familyName, const std::string& givenName,
                         std::string_view outcome) {
    return "아이 이름(" + familyName + givenName + ")이 " + std::string(outcome);
}

}  // namespace

std::string ChildAddedMessage(const std::string& familyName, const std::string& givenName) {
    return ChildMessage(familyName, givenName, "추가되었습니다.");
}

std::string ChildNotAddedMessage(const std::string& familyName, const std::string& givenName) {
    return ChildMessage(familyName, givenName, "추가되지 않았습니다. 잠시 후 다시 시도해 주세요.");
}

std::string ChildDeletedMessage(const std::string& familyName, const std::string& givenName) {
    return ChildMessage(familyName, givenName, "삭제되었습니다.");
}

std::string ChildNotDeletedMessage(const std::string& familyName, const std::string& givenName) {
    return ChildMessage(familyName, givenName, "삭제되지 않았습니다. 잠시 후 다시 시도해 주세요.");
}

namespace {

std::string WithReason(std::string sentence, const std::string& reason) {
    if (!reason.empty()) sentence += ": " + reason;
    return sentence;
}

}  // namespace

std::string CardDatabaseUnreadable(const std::string& path, const std::string& reason) {
    return WithReason("cannot read the device database " + path, reason);
}

std::string CardDiyUnreadable(const std::string& path, const std::string& reason) {
    return WithReason("cannot read the DIY database " + path, reason);
}

std::string BackupWritten(std::size_t files, std::uint64_t bytes, const std::string& archive) {
    return "파일 " + std::to_string(files) + "개(" + std::to_string(bytes) +
           " 바이트)를 백업하였습니다: " + archive;
}

std::string RestoreNoSpace(std::uint64_t needed, std::uint64_t free) {
    return "카드의 빈 공간이 부족하여 복원하지 않았습니다 (필요한 공간: " + std::to_string(needed) +
           " 바이트, 남은 공간: " + std::to_string(free) + " 바이트). 카드는 바뀌지 않았습니다.";
}

std::string RestoreOtherSoundType(const std::string& backupType, const std::string& cardType) {
    return "다른 종류의 카드에서 만든 백업입니다 (백업: " + backupType + ", 카드: " + cardType +
           ").";
}

std::string RestoreQuestion(const std::vector<std::string>& replaced, std::size_t total) {
    std::string text = "백업의 파일 " + std::to_string(total) + "개를 카드에 씁니다.";
    if (!replaced.empty()) {
        text += " 카드의 파일 " + std::to_string(replaced.size()) + "개가 바뀝니다:";
        constexpr std::size_t kListed = 20;
        for (std::size_t i = 0; i < replaced.size() && i < kListed; ++i)
            text += "\n  " + replaced[i];
        if (replaced.size() > kListed)
            text += "\n  ... 외 " + std::to_string(replaced.size() - kListed) + "개";
        text += "\n";
    }
    return text + " 계속하시겠습니까?";
}

std::string SuggestedBackupName(const std::string& date) {
    return "torvane-" + date + ".tvbackup";
}

std::string CardProblemsFound(std::size_t problems) {
    return "카드에서 문제 " + std::to_string(problems) + "건을 찾았습니다.";
}

std::string RecordingsWaitIn(const std::string& folder) {
    return std::string(kMsgRecordingsNotPutBack) + " 복사본은 이 폴더에 그대로 있습니다: " + folder;
}

std::string PutBackWaitingQuestion(const std::string& folder, const std::string& card) {
    return "초기화하는 동안 카드(" + card +
           ")에 다시 쓰지 못한 DIY 녹음과 아이 이름 음성이 이 폴더에 있습니다: " + folder +
           "\n지금 카드에 다시 쓸까요?";
}

std::string RecordingsPutBack(std::size_t recordings, bool nameVoice) {
    std::string text = "보관한 DIY 녹음 " + std::to_string(recordings) + "개";
    text += nameVoice ? "와 아이 이름 음성을" : "를";
    return text + " 카드에 다시 썼습니다.";
}

std::string RecordingReplacedPackageSlot(long card, int slot, const std::string& packageName) {
    return "DIY 카드 " + std::to_string(card) + "의 " + std::to_string(slot) + "번 칸에 있던 \"" +
           packageName + "\" 대신 보관한 녹음을 넣었습니다.";
}

std::string DeleteRecordingQuestion(int position, int slot, const std::string& recording) {
    char number[16];
    std::snprintf(number, sizeof number, "%04d", position);
    return "DIY 카드 " + std::string(number) + "의 " + std::to_string(slot) +
           "번 칸에 있는 녹음 \"" + recording +
           "\"을(를) 카드에서 지울까요? 지운 녹음은 다시 받을 수 없습니다.";
}

std::string NotASoundFile(const std::string& file, bool empty) {
    return "'" + file + "'은(는) " + (empty ? "빈 파일이어서" : "MP3나 WAV 소리 파일이 아니어서") +
           " DIY 카드에 넣지 않았습니다.";
}

std::string HttpStatusText(long status) {
    const std::string number = std::to_string(status);
    switch (status) {
        case 404:
            return "HTTP request error: resource not found (status " + number + ")";
        case 408:
            return "HTTP request error: server timed out waiting for request (status " + number +
                   ")";
        case 500:
            return "HTTP server error: " + number + ". Server failure.";
        default:
            return "HTTP request error: status received = " + number + "): (code 0)";
    }
}

std::string HttpConnectFailed(int code) {
    return "InternetConnect Error: " + std::to_string(code);
}

std::string HttpOpenFailed(int code) {
    return "HttpOpenRequest Error: " + std::to_string(code);
}

std::string HttpAnswerTooLarge(std::uint64_t announced, std::uint64_t cap) {
    return "Server response too large: " + std::to_string(announced) +
           " bytes exceed the limit of " + std::to_string(cap) + ".";
}

std::string HttpNoMemoryForAnswer(std::uint64_t required) {
    return "Not enough memory to allocate a buffer for the server response: " +
           std::to_string(required) + " required.";
}

std::string HttpReadFailed(int code) {
    return "InternetReadFile Error: " + std::to_string(code);
}

std::string HttpAttemptsFailed(int attempts) {
    return "HTTP request error: " + std::to_string(attempts) + " attempts failed.";
}

std::string ServiceListTooLong(std::string_view what, std::size_t bound) {
    return "the service listed more than " + std::to_string(bound) + " " + std::string(what) +
           "; the list is refused";
}

std::string CliDeviceFolderNotFound(const std::string& folder) {
    return "device folder not found: " + folder;
}

std::string CliContentListUnreadable(const std::string& reason) {
    return "the content list could not be read: " + reason;
}

std::string CliChildrenUnreadable(const std::string& reason) {
    return "the children could not be read: " + reason;
}

std::string CliPackageListUnreadable(const std::string& reason) {
    return "the package list could not be read: " + reason;
}

std::string CliNotInCatalogue(const std::string& contentNo) {
    return "content " + contentNo + " is not in the account's catalogue";
}

std::string CliNotOnDevice(const std::string& contentNo) {
    return "content " + contentNo + " is not on the device";
}

std::string CliNotAChosenGame(const std::string& contentNo) {
    return "content " + contentNo + " is not a chosen game";
}

std::string CliNotALanguageContent(const std::string& contentNo) {
    return "content " + contentNo + " is not a language content on the device";
}

std::string CliSkippedAsInstalled(const std::string& contentNo) {
    return contentNo + " is already on the device; skipped";
}

std::string CliAddedToGame(int count) {
    return std::to_string(count) + " added to the game";
}

std::string CliNameVoiceApplied(const std::string& childName) {
    return "name voice of " + childName + " applied";
}

std::string CliNoSuchChild(int childNo) {
    return "the account has no child " + std::to_string(childNo);
}

std::string CliNoSuchDriveFolder(const std::string& folder) {
    return "no such drive folder: " + folder;
}

std::string CliNoSuchPackage(int index, std::size_t listed) {
    return "no package " + std::to_string(index) + " (the list has " + std::to_string(listed) + ")";
}

std::string CliNoSuchDiyCard(long card) {
    return "no DIY card " + std::to_string(card) + " (1 to 1500 or 92100001 to 92101500)";
}

std::string CliNoSuchSlot(int slot) {
    return "no slot " + std::to_string(slot) + " (1 to 4)";
}

std::string CliNoSuchFile(const std::string& file) {
    return "no such file: " + file;
}

std::string CliEmptySlot(int slot, long card) {
    return "slot " + std::to_string(slot) + " of DIY card " + std::to_string(card) +
           " holds no recording";
}

std::string CliGameTableNotWritten(const std::string& folder) {
    return "cannot write the game table in " + folder;
}

std::string CliGameTableRebuilt(const std::string& table) {
    return "game table rebuilt: " + table;
}

std::string CliTablesNotWritten(const std::string& folder) {
    return "cannot write the tables in " + folder;
}

std::string CliTablesRebuilt(const std::string& kind, const std::string& folder) {
    return kind + " tables rebuilt: " + folder;
}

std::string CliCipherFailed(bool encipher, const std::string& from, const std::string& to) {
    return std::string("cannot ") + (encipher ? "encipher " : "decipher ") + from + " into " + to;
}

std::string ContentNotInstallable(const std::string& contentNo, const std::string& why) {
    return contentNo + " 컨텐츠는 장치에 설치할 수 없습니다 (" + why + ")";
}

}  // namespace torvane
