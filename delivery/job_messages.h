// The sentences the install engine and the content page's actions say to the user.
#pragma once

#include <string_view>

namespace torvane {

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
inline constexpr std::string_view kMsgCopyingSuffix = "를 장치에 복사하고 있습니다.";
inline constexpr std::string_view kMsgWritingInfoFiles = "장치에 정보파일을 만들고 있습니다.";
inline constexpr std::string_view kMsgApplied = "적용하였습니다.";
inline constexpr std::string_view kMsgCopied = "다운로드 하였습니다.";
inline constexpr std::string_view kMsgStopDownload = "다운로드를 중지하시겠습니까?";

inline constexpr std::string_view kMsgNothingSelected = "선택된 항목이 없습니다";
inline constexpr std::string_view kMsgDiyNotDeletable =
    "DIY 컨텐츠는 삭제할 수 없습니다.\r\n다른 컨텐츠를 DIY로 설정하고 다시 시도해 주십시요.";
inline constexpr std::string_view kMsgGameContentNotDeleted =
    "게임에 적용된 컨텐츠는 삭제되지 않습니다";
inline constexpr std::string_view kMsgOneGameRequired = "하나이상의 게임이 존재하여야 합니다";
inline constexpr std::string_view kMsgDeleted = "삭제가 완료되었습니다.";
inline constexpr std::string_view kMsgDiyChanged = "DIY를 변경하였습니다";
inline constexpr std::string_view kMsgNoDevice = "저장 장치를 찾을 수 없습니다.";

}  // namespace torvane
