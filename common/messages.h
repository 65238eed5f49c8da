// Every sentence the program shows the user, in one place: the desktop app's message boxes and
// labels, torvane-cli's lines, the engine's status texts and the service client's failures. The
// Korean sentences are the device's and the service's own wording and are kept exactly as they
// are, spacing and spelling included; two of them differ only by a blank ("저장장치" on the main
// window, "저장 장치" on the pages) and both stay, each named for where it is shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// --- Main window -----------------------------------------------------------------------------
inline constexpr std::string_view kMsgNoStorageDeviceMainWindow = "저장장치를 찾을 수 없습니다.";
inline constexpr std::string_view kMsgPlayerOnlyOnSoundTabs =
    "해당 기능은 라크스핀 동요, 동화, DIY 기능에서만 작동합니다.";
inline constexpr std::string_view kMsgServiceNotReady = "서비스 준비중입니다.";
inline constexpr std::string_view kMsgAlreadyRunning = "이미 실행중입니다.";
// "<drive> 디바이스가 시스템에서 분리되었습니다." and "... 장착되었습니다.".
std::string DeviceRemovedMessage(const std::string& drive);
std::string DeviceAttachedMessage(const std::string& drive);

// --- Desktop notifications at the end of a long job -------------------------------------------
inline constexpr std::string_view kNoticeInstallEnded = "콘텐츠 설치가 끝났습니다";
inline constexpr std::string_view kNoticeUpdateEnded = "시스템 업데이트가 끝났습니다";
inline constexpr std::string_view kNoticeBackupEnded = "카드 백업이 끝났습니다";
inline constexpr std::string_view kNoticeRestoreEnded = "카드 복원이 끝났습니다";
inline constexpr std::string_view kNoticeJobDone = "모두 마쳤습니다.";
inline constexpr std::string_view kNoticeJobPartly =
    "일부를 마치지 못했습니다. Torvane 창에서 확인하세요.";
inline constexpr std::string_view kNoticeJobFailed =
    "마치지 못했습니다. Torvane 창에서 확인하세요.";

// --- Safe removal of the card through the disk service ----------------------------------------
inline constexpr std::string_view kLabelEjectCard = "카드 안전하게 꺼내기";
inline constexpr std::string_view kMsgCardMayBePulled =
    "카드를 안전하게 꺼냈습니다. 이제 카드를 빼도 됩니다.";
inline constexpr std::string_view kMsgEjectRefusedDuringJob =
    "작업이 진행 중이라 카드를 꺼낼 수 없습니다. 작업이 끝난 뒤에 다시 시도하세요.";
inline constexpr std::string_view kMsgEjectFailed = "카드를 꺼내지 못했습니다: ";
// After a job that wrote to a card the disk service can take out: the parent is about to pull it.
inline constexpr std::string_view kMsgOfferEjectAfterJob =
    "카드에 쓰기를 마쳤습니다. 카드를 빼기 전에 지금 안전하게 꺼낼까요?";
inline constexpr std::string_view kMsgNoDiskService =
    "시스템의 디스크 서비스(udisks2)가 없어 카드를 꺼낼 수 없습니다. 파일 관리자에서 꺼내세요.";
inline constexpr std::string_view kMsgNotARemovableCard =
    "디스크 서비스가 관리하는 이동식 카드가 아닙니다: ";
inline constexpr std::string_view kMsgMountFailed = "카드를 연결하지 못했습니다: ";

// --- Help and About -----------------------------------------------------------------------------
inline constexpr std::string_view kLabelHelp = "Torvane 도움말";
inline constexpr std::string_view kLabelAbout = "Torvane 정보";
inline constexpr std::string_view kAboutDescription =
    "어린이 RFID 사운드 플레이어의 메모리 카드에 콘텐츠를 설치하고 관리하는 프로그램";
inline constexpr std::string_view kAboutLicence = "라이선스: 독점 소프트웨어 (모든 권리 보유)";
inline constexpr std::string_view kAboutService = "콘텐츠 서비스:";

// --- Sign-in -----------------------------------------------------------------------------------
inline constexpr std::string_view kLabelSignIn = "로그인";
inline constexpr std::string_view kLabelRememberId = "아이디저장";
inline constexpr std::string_view kLabelRememberPassword = "패스워드저장";
// The desktop session has no keyring (Secret Service): the password is not saved, not even in
// the settings file.
inline constexpr std::string_view kMsgNoKeyring =
    "이 컴퓨터에는 암호를 안전하게 보관할 키링이 없어 패스워드를 저장하지 않습니다. "
    "로그인할 때마다 패스워드를 입력해 주세요.";
inline constexpr std::string_view kMsgEnterId = "아이디를 입력하세요";
inline constexpr std::string_view kMsgEnterPassword = "암호를 입력하세요";
inline constexpr std::string_view kMsgCannotConnect = "서버에 연결할 수 없습니다.";
inline constexpr std::string_view kMsgWrongPassword = "암호가 틀립니다.";
inline constexpr std::string_view kMsgWrongId = "아이디가 틀립니다.";
inline constexpr std::string_view kMsgUnknownServerError = "서버의 알수 없는 에러입니다.";
inline constexpr std::string_view kMsgBadData = "잘못된 데이터 입니다.";
// What is missing from a sign-in page the service sent.
inline constexpr std::string_view kMsgNoNameTag = "name tag를 찾지 못하였습니다";
inline constexpr std::string_view kMsgNoValueTag = "value tag를 찾지 못하였습니다";
inline constexpr std::string_view kMsgNoActionTag =
    "document.pcForm.action tag를 찾지 못하였습니다";
inline constexpr std::string_view kMsgNoQuoteTag = "\" tag를 찾지 못하였습니다";

// --- Install engine and download dialog -----------------------------------------------------
inline constexpr std::string_view kMsgNotEnoughSpace =
    "저장공간이 부족합니다. 다른 컨텐츠를 삭제하신 후 다운로드 받으시기 바랍니다.";
inline constexpr std::string_view kMsgDownloadingSuffix = "' 다운로드중";
inline constexpr std::string_view kMsgCopyingToDevice = "컨텐츠를 디바이스에 복사합니다.";
inline constexpr std::string_view kMsgDownloadDone = "다운로드가 완료 되었습니다.";
inline constexpr std::string_view kMsgResetting = "초기화를 하고 있습니다. 잠시만 기다려주세요.";
inline constexpr std::string_view kMsgInsertCard =
    "메모리를 단말기에 넣고, 단말기를 켜세요. 단말기가 약 1분간 깜박이며 펌웨어를 업데이트 "
    "합니다.";
inline constexpr std::string_view kMsgUpdateDone =
    "작업을 완료 하였습니다. Torvane를 다시 실행 하세요.\r\n 메모리를 단말기에 넣고, 단말기를 "
    "켜세요. 단말기가 약 1분간 깜박이며 펌웨어를 업데이트 합니다.";
// An update leaves what only the card holds as it is; the entries it did not unpack follow.
inline constexpr std::string_view kMsgUpdateKeptCardFiles =
    "카드에만 있는 파일은 업데이트하지 않고 그대로 두었습니다: ";
inline constexpr std::string_view kMsgCopyingSuffix = "를 장치에 복사하고 있습니다.";
inline constexpr std::string_view kMsgWritingInfoFiles = "장치에 정보파일을 만들고 있습니다.";
inline constexpr std::string_view kMsgApplied = "적용하였습니다.";
inline constexpr std::string_view kMsgCopied = "다운로드 하였습니다.";
inline constexpr std::string_view kMsgStopDownload = "다운로드를 중지하시겠습니까?";
inline constexpr std::string_view kMsgStopCardCare = "카드 작업을 중지하시겠습니까?";
// A package entry that could not be unpacked, and a package that does not open as an archive
// (the archive's own wording): without its central directory, the download was cut short.
inline constexpr std::string_view kMsgExtractFailed = "Extract failed";
inline constexpr std::string_view kMsgCdirNotFound = "cdirNotFound failed";
inline constexpr std::string_view kMsgOpenFailed = "Open failed";
// A bought content the card's database cannot keep, refused before its download:
// "<number> 컨텐츠는 장치에 설치할 수 없습니다 (<why>)".
std::string ContentNotInstallable(const std::string& contentNo, const std::string& why);
// Asked before a reset package wipes the card in `drive`; keeping the recordings, it says so.
std::string ResetQuestion(const std::string& drive, bool keepingRecordings = false);

// --- Content page ------------------------------------------------------------------------------
inline constexpr std::string_view kMsgNothingSelected = "선택된 항목이 없습니다";
inline constexpr std::string_view kMsgDiyNotDeletable =
    "DIY 컨텐츠는 삭제할 수 없습니다.\r\n다른 컨텐츠를 DIY로 설정하고 다시 시도해 주십시요.";
inline constexpr std::string_view kMsgGameContentNotDeleted =
    "게임에 적용된 컨텐츠는 삭제되지 않습니다";
inline constexpr std::string_view kMsgOneGameRequired = "하나이상의 게임이 존재하여야 합니다";
inline constexpr std::string_view kMsgDeleted = "삭제가 완료되었습니다.";
inline constexpr std::string_view kMsgDiyChanged = "DIY를 변경하였습니다";
// Said after "삭제가 완료되었습니다." when some of the contents' files stayed on the card; the
// card's tables were still rebuilt from the files that remain.
inline constexpr std::string_view kMsgSomeFilesNotDeleted = "일부 파일을 삭제하지 못하였습니다.";
inline constexpr std::string_view kLabelShowAll = "전체보기";
inline constexpr std::string_view kLabelTitleColumn = "컨텐츠명 ▲▼";
inline constexpr std::string_view kLabelDownloadColumn = "다운로드";
inline constexpr std::string_view kLabelFunctionColumn = "기능";
inline constexpr std::string_view kLabelDiyColumn = "DIY";
inline constexpr std::string_view kLabelNumberColumn = "Num";
inline constexpr std::string_view kContentPageNote =
    "＊종류에 따라 일부 컨텐츠 전송이 제한될 수 있습니다.";
// The file dialogs of the DIY tab.
inline constexpr std::string_view kDiyOpenFilter =
    "소리 파일 (*.mp3 *.MP3 *.wav *.WAV);;All Files (*.*)";
// A file chosen as a recording that the device cannot play, refused before anything is copied:
// "'<file>'은(는) MP3나 WAV 소리 파일이 아니어서 DIY 카드에 넣지 않았습니다." (or "빈 파일이어서").
std::string NotASoundFile(const std::string& file, bool empty);
// "사용공간: 1.23 GB / 남은공간: 4.56 GB" on the storage bar.
std::string StorageBarText(float usedGb, float freeGb);
// The download dialog's byte counts: "12 KB/345 KB".
std::string KilobyteProgress(std::uint64_t doneBytes, std::uint64_t totalBytes);
// The download dialog's status after a job that left contents or files behind.
inline constexpr std::string_view kMsgDownloadIncomplete =
    "일부 컨텐츠를 받지 못하였습니다. 취소 버튼으로 창을 닫아 주십시요.";
// A change the card did not take (write-protected, full or pulled): said instead of the
// sentence of success.
inline constexpr std::string_view kMsgCardNotWritten =
    "저장 장치에 기록하지 못했습니다. 메모리가 꽉 찼거나 쓰기가 금지되었는지 확인하세요.";
// A work that did not end as it should; said instead of the sentence of a completed one.
inline constexpr std::string_view kMsgJobFailed = "작업을 완료하지 못했습니다.";
// A job or an action whose card was pulled or replaced while it ran: it stopped, and nothing was
// written after the card left.
inline constexpr std::string_view kMsgCardRemovedDuringJob =
    "작업 중에 카드가 분리되어 작업을 멈추었습니다. 카드를 다시 꽂은 뒤 다시 시도하세요.";
// Another program (or another job of this one) was changing the card and did not finish within
// the wait: this work was refused before anything was written.
inline constexpr std::string_view kMsgCardBusy =
    "다른 프로그램이나 작업이 카드를 바꾸고 있습니다. 아무것도 바꾸지 않았습니다. 잠시 뒤에 다시 "
    "시도하세요.";

// --- A card that cannot be read ----------------------------------------------------------------
// "cannot read the device database <path>", with the reason after a colon when there is one.
std::string CardDatabaseUnreadable(const std::string& path, const std::string& reason);
std::string CardDiyUnreadable(const std::string& path, const std::string& reason);

// --- Card care ----------------------------------------------------------------------------------
// What a check finds, one sentence per kind of problem.
inline constexpr std::string_view kMsgCardDatabaseUnreadable =
    "디바이스의 컨텐츠 정보(Default.dat)를 읽을 수 없습니다.";
inline constexpr std::string_view kMsgCardDiyDatabaseUnreadable =
    "DIY 정보(Diy.dat)를 읽을 수 없습니다.";
inline constexpr std::string_view kMsgCardRecTableUnreadable =
    "DIY 카드 목록(rec.tbl)을 읽을 수 없습니다.";
inline constexpr std::string_view kMsgCardContentFileMissing = "설치된 컨텐츠의 파일이 없습니다.";
inline constexpr std::string_view kMsgCardContentFileShort =
    "설치된 컨텐츠의 파일이 완전하지 않습니다.";
inline constexpr std::string_view kMsgCardContentFileEmpty =
    "설치된 컨텐츠의 파일이 비어 있습니다.";
inline constexpr std::string_view kMsgCardFolderTablesStale =
    "카드 목록이 폴더의 파일과 맞지 않습니다.";
inline constexpr std::string_view kMsgCardGameTableStale =
    "게임 카드 목록이 선택한 게임과 맞지 않습니다.";
inline constexpr std::string_view kMsgCardDiyTableStale =
    "DIY 카드 목록이 선택한 DIY 컨텐츠와 맞지 않습니다.";
inline constexpr std::string_view kMsgCardRecordingMissing = "DIY 카드에 녹음한 파일이 없습니다.";
inline constexpr std::string_view kMsgCardRecordingUnlisted =
    "어느 DIY 카드에도 등록되지 않은 녹음 파일입니다.";
inline constexpr std::string_view kMsgCardNameVoiceIncomplete =
    "아이 이름 음성이 일부 언어 폴더에 없습니다.";
inline constexpr std::string_view kMsgCardNameVoiceWithoutChild =
    "선택된 아이가 없는데 이름 음성이 남아 있습니다.";
inline constexpr std::string_view kMsgCardLeftover = "중단된 저장 작업이 남긴 임시 파일입니다.";
inline constexpr std::string_view kMsgCardSound = "카드에 문제가 없습니다.";
inline constexpr std::string_view kMsgRepaired = "고쳤습니다: ";
inline constexpr std::string_view kMsgLeftAsItWas = "그대로 두었습니다: ";
// The download dialog's status line while card care runs, and how it ended.
inline constexpr std::string_view kMsgCheckingCard = "카드를 점검하고 있습니다.";
inline constexpr std::string_view kMsgRepairingCard = "카드를 고치고 있습니다.";
inline constexpr std::string_view kMsgBackingUpCard = "카드를 백업하고 있습니다.";
inline constexpr std::string_view kMsgCheckingBackup = "백업 파일을 확인하고 있습니다.";
inline constexpr std::string_view kMsgRestoringCard = "백업을 카드에 복원하고 있습니다.";
inline constexpr std::string_view kMsgCardRepaired = "고칠 수 있는 문제를 모두 고쳤습니다.";
inline constexpr std::string_view kMsgCardNotWhollyRepaired =
    "고치지 못한 문제가 남아 있습니다. 목록을 확인해 주세요.";
// "<n> problems found"
std::string CardProblemsFound(std::size_t problems);
// Backing a card up and restoring it.
inline constexpr std::string_view kMsgBackupNotWritten = "백업 파일을 만들 수 없습니다.";
inline constexpr std::string_view kMsgBackupCardUnreadable = "카드의 파일을 읽을 수 없습니다.";
inline constexpr std::string_view kMsgBackupCancelled = "백업을 중지하였습니다.";
inline constexpr std::string_view kMsgBackupUnreadable = "백업 파일을 열 수 없습니다.";
inline constexpr std::string_view kMsgBackupForeign = "Torvane 카드 백업 파일이 아닙니다.";
inline constexpr std::string_view kMsgBackupDamaged =
    "백업 파일이 손상되었습니다. 카드는 바뀌지 않았습니다.";
inline constexpr std::string_view kMsgBackupUnsafeName =
    "백업 파일에 카드 밖을 가리키는 이름이 있습니다. 카드는 바뀌지 않았습니다.";
inline constexpr std::string_view kMsgRestoreNotWritten =
    "카드에 백업을 쓸 수 없습니다. 카드는 바뀌지 않았습니다.";
// Files were renamed into place before the restore stopped: the card is neither as it was nor as
// the backup has it.
inline constexpr std::string_view kMsgRestorePartlyWritten =
    "복원이 중간에 멈추어 카드의 파일 일부만 백업의 것으로 바뀌었습니다. 카드를 확인한 뒤 다시 "
    "복원해 주세요.";
inline constexpr std::string_view kMsgBackupCardChanged =
    "백업하는 동안 카드의 파일이 바뀌었습니다. 이전 백업 파일은 그대로 두었습니다. 다시 백업해 "
    "주세요.";
inline constexpr std::string_view kMsgRestoreCancelled = "복원을 중지하였습니다.";
inline constexpr std::string_view kMsgRestoreDone = "백업을 카드에 복원하였습니다.";
// "a backup of <n> files, <bytes> bytes, written to <file>"
std::string BackupWritten(std::size_t files, std::uint64_t bytes, const std::string& archive);
// Refused: the backup is of a card of another sound type.
std::string RestoreOtherSoundType(const std::string& backupType, const std::string& cardType);
// Refused before anything is written: the backup's files do not fit in the card's free space.
std::string RestoreNoSpace(std::uint64_t needed, std::uint64_t free);
// Asked before a restore replaces the listed files of the card.
std::string RestoreQuestion(const std::vector<std::string>& replaced, std::size_t total);
// Keeping the recordings through a reset.
inline constexpr std::string_view kMsgRecordingsNotKept =
    "DIY 녹음과 아이 이름 음성을 보관할 수 없어 초기화하지 않았습니다.";
inline constexpr std::string_view kMsgRecordingsNotPutBack =
    "보관한 DIY 녹음과 아이 이름 음성을 카드에 다시 쓸 수 없습니다.";
// The download dialog's status line around a reset's wipe.
inline constexpr std::string_view kMsgKeepingRecordings =
    "DIY 녹음과 아이 이름 음성을 보관하고 있습니다.";
inline constexpr std::string_view kMsgPuttingBackRecordings =
    "보관한 DIY 녹음과 아이 이름 음성을 다시 쓰고 있습니다.";
// The put-back failed or was cut off: the copies wait in `folder`.
std::string RecordingsWaitIn(const std::string& folder);
// Asked at the app's start and by a repair: copies of an earlier reset wait to go back.
std::string PutBackWaitingQuestion(const std::string& folder, const std::string& card);
// "<n> recordings and the name voice were put back"
std::string RecordingsPutBack(std::size_t recordings, bool nameVoice);
// The package's DIY database used a slot that a kept recording takes again.
std::string RecordingReplacedPackageSlot(long card, int slot, const std::string& packageName);
// Asked before a parent's own recording leaves the card: it cannot be downloaded again.
// The DIY card is named by its number on the content page's list ("0052").
std::string DeleteRecordingQuestion(int position, int slot, const std::string& recording);

// --- Child name page ---------------------------------------------------------------------------
inline constexpr std::string_view kMsgNoDevice = "저장 장치를 찾을 수 없습니다.";
// A list the service sent with far more entries than any account has.
inline constexpr std::string_view kMsgServiceListTooLong =
    "서비스가 보낸 목록이 너무 길어 읽지 않았습니다. 잠시 후 다시 시도해 주세요.";
inline constexpr std::string_view kMsgChildNameTaken = "아이 이름이 중복 되었습니다.";
inline constexpr std::string_view kMsgEnterChildGivenName = "아이의 이름을 입력 하세요.";
inline constexpr std::string_view kMsgEnterChildFamilyName = "아이의 성을 입력 하세요.";
// "아이 이름(<family><given>)이 추가되었습니다." and the other outcomes of add and delete.
std::string ChildAddedMessage(const std::string& familyName, const std::string& givenName);
std::string ChildNotAddedMessage(const std::string& familyName, const std::string& givenName);
std::string ChildDeletedMessage(const std::string& familyName, const std::string& givenName);
std::string ChildNotDeletedMessage(const std::string& familyName, const std::string& givenName);
inline constexpr std::string_view kMsgNameVoiceRequestFailed =
    "아이이름 음성을 신청하지 못했습니다. 잠시 후 다시 시도해 주세요.";
inline constexpr std::string_view kMsgNameVoiceNotDownloaded =
    "아이이름 음성을 내려받지 못했습니다. 저장 장치는 바뀌지 않았습니다.";
inline constexpr std::string_view kMsgChildNumberInvalid =
    "서비스가 보낸 아이 번호가 올바르지 않아 이 아이는 삭제하거나 적용할 수 없습니다.";
inline constexpr std::string_view kMsgNameVoiceNotRemoved =
    "아이이름 음성을 저장 장치에서 지우지 못했습니다.";
// The second row of a child, by the state of its name voice.
inline constexpr std::string_view kCellNoNameVoice =
    "아이이름에 해당하는 음성이 존재하지 않습니다.";
inline constexpr std::string_view kCellNameVoiceReady = "아이이름을 불러주기를 적용하시겠습니까?";
inline constexpr std::string_view kCellNameVoiceApplied = "아이이름을 불러주기가 적용되었습니다.";
inline constexpr std::string_view kCellNameVoiceRequested =
    "아이이름에 해당하는 음성을 신청하였습니다.";
// The child's first row.
inline constexpr std::string_view kLabelChildName = " 성명";
inline constexpr std::string_view kLabelChildSex = "성별";
inline constexpr std::string_view kLabelChildBirthday = "생년월일";
inline constexpr std::string_view kLabelBoy = "남";
inline constexpr std::string_view kLabelGirl = "여";
inline constexpr std::string_view kLabelYear = "년";
inline constexpr std::string_view kLabelMonth = "월";
inline constexpr std::string_view kLabelDay = "일";
// The add window.
inline constexpr std::string_view kLabelFamilyName = "성";
inline constexpr std::string_view kLabelGivenName = "이름";
// The device header.
inline constexpr std::string_view kLabelRemovableDrive = "이동식 저장장치";
inline constexpr std::string_view kLabelSystemVersion = "시스템 버전";
inline constexpr std::string_view kLabelFirmwareVersion = "펌웨어 버전";
inline constexpr std::string_view kLabelCountLanguage = "언어:";
inline constexpr std::string_view kLabelCountStories = "동화:";
inline constexpr std::string_view kLabelCountSongs = "동요:";
inline constexpr std::string_view kLabelCountBooks = "도서:";

// --- Update page -------------------------------------------------------------------------------
inline constexpr std::string_view kLabelContentVersion = "컨텐츠 버전";
inline constexpr std::string_view kLabelPackageVersion = "버전";
inline constexpr std::string_view kLabelPackageDescription = "설명";
inline constexpr std::string_view kLabelPackageDate = "등록일";
inline constexpr std::string_view kLabelKeepRecordings = "DIY 녹음과 아이 이름 음성 보관하기";
// The card care tab.
inline constexpr std::string_view kLabelCardState = "카드 상태";
inline constexpr std::string_view kLabelCareIntro =
    "카드의 문제를 찾아 고치고, 다시 받을 수 없는 녹음과 설정을 백업합니다.";
inline constexpr std::string_view kMsgCardNotChecked = "아직 점검하지 않았습니다.";
inline constexpr std::string_view kLabelProblemPlace = "위치";
inline constexpr std::string_view kLabelProblem = "문제";
inline constexpr std::string_view kLabelRepairResult = "결과";
inline constexpr std::string_view kLabelMended = "고침";
inline constexpr std::string_view kLabelLeftAsItWas = "그대로";
inline constexpr std::string_view kLabelBackupFiles = "카드 백업 (*.tvbackup)";
inline constexpr std::string_view kLabelSaveBackup = "카드 백업 저장";
inline constexpr std::string_view kLabelOpenBackup = "복원할 카드 백업 열기";
// "torvane-<date>.tvbackup": the name a new backup is offered under.
std::string SuggestedBackupName(const std::string& date);

// --- torvane-cli -------------------------------------------------------------------------------
inline constexpr std::string_view kCliPromptUserId = "아이디: ";
inline constexpr std::string_view kCliPromptPassword = "암호: ";
// Said after a question when no answer can be read (no terminal): the answer taken is no.
inline constexpr std::string_view kCliAnsweredNo = " (아니요)";
inline constexpr std::string_view kCliSignedIn = "로그인되었습니다: ";
inline constexpr std::string_view kCliChildRequested = "등록을 요청했습니다.";
inline constexpr std::string_view kCliChildDeleteRequested = "삭제를 요청했습니다.";
inline constexpr std::string_view kCliNameVoiceRequested = "이름 음성을 요청했습니다.";
inline constexpr std::string_view kCliCancelled = "cancelled";
// After a restore refused for a card of another sound type: how the command line overrides it.
inline constexpr std::string_view kCliRestoreForceHint = " 그래도 복원하려면 --force를 주십시오.";
inline constexpr std::string_view kCliJobDidNotRun = "the job did not run";
inline constexpr std::string_view kCliProblemsFound = "the card has problems";
inline constexpr std::string_view kCliNoDevice =
    "no device: give --device DIR, set TORVANE_DEVICE or insert the card";
inline constexpr std::string_view kCliNotEveryContentInstalled = "not every content was installed";
inline constexpr std::string_view kCliNameVoiceNotRemoved =
    "the name voice could not be removed from the device";
inline constexpr std::string_view kCliSlotNameControlCharacter =
    "a slot name cannot hold a tab, a line break or another control character";
inline constexpr std::string_view kCliDiyNotSaved = "the DIY database could not be saved";
inline constexpr std::string_view kCliKeepRecordingsOnlyForReset =
    "--keep-recordings goes with --kind reset";
std::string CliDeviceFolderNotFound(const std::string& folder);
std::string CliContentListUnreadable(const std::string& reason);
std::string CliChildrenUnreadable(const std::string& reason);
std::string CliPackageListUnreadable(const std::string& reason);
std::string CliNotInCatalogue(const std::string& contentNo);
std::string CliNotOnDevice(const std::string& contentNo);
std::string CliNotAChosenGame(const std::string& contentNo);
std::string CliNotALanguageContent(const std::string& contentNo);
std::string CliSkippedAsInstalled(const std::string& contentNo);
std::string CliAddedToGame(int count);
std::string CliNameVoiceApplied(const std::string& childName);
std::string CliNoSuchChild(int childNo);
std::string CliNoSuchDriveFolder(const std::string& folder);
std::string CliNoSuchPackage(int index, std::size_t listed);
std::string CliNoSuchDiyCard(long card);
std::string CliNoSuchSlot(int slot);
std::string CliNoSuchFile(const std::string& file);
std::string CliEmptySlot(int slot, long card);
std::string CliGameTableNotWritten(const std::string& folder);
std::string CliGameTableRebuilt(const std::string& table);
std::string CliTablesNotWritten(const std::string& folder);
std::string CliTablesRebuilt(const std::string& kind, const std::string& folder);
std::string CliCipherFailed(bool encipher, const std::string& from, const std::string& to);

// --- Service client failures (one line, English, as the service client has always said) -------
std::string HttpStatusText(long status);
std::string HttpConnectFailed(int code);
std::string HttpOpenFailed(int code);
inline constexpr std::string_view kHttpNoCookie = "Not Found  Cookie";
std::string HttpAnswerTooLarge(std::uint64_t announced, std::uint64_t cap);
std::string HttpNoMemoryForAnswer(std::uint64_t required);
std::string HttpReadFailed(int code);
std::string HttpAttemptsFailed(int attempts);
// "the service listed more than 1000 children; the list is refused".
std::string ServiceListTooLong(std::string_view what, std::size_t bound);

}  // namespace torvane
