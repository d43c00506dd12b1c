#pragma once

// Message boxes are described by sums of the classic message-box flags, and answer with the
// classic button codes.
namespace MessageBoxStyle {
constexpr int OkOnly = 0;
constexpr int YesNo = 4;
constexpr int StopIcon = 16;
constexpr int ExclamationIcon = 48;
constexpr int DefaultButton2 = 256;

constexpr int Warning = OkOnly + ExclamationIcon + DefaultButton2; // 304
constexpr int ConfirmDanger = YesNo + StopIcon + DefaultButton2;   // 276
constexpr int Question = YesNo + ExclamationIcon;                  // 52
constexpr int QuestionDefaultNo = Question + DefaultButton2;       // 308
constexpr int Notice = OkOnly + ExclamationIcon;                   // 48
constexpr int Error = OkOnly + StopIcon;                           // 16

constexpr bool hasYesNo(int style) {
    return (style & 0xF) == YesNo;
}
constexpr bool hasStopIcon(int style) {
    return (style & 0xF0) == StopIcon;
}
constexpr bool hasExclamationIcon(int style) {
    return (style & 0xF0) == ExclamationIcon;
}
// With a single button the second-button flag has nothing to act on.
constexpr bool defaultsToSecond(int style) {
    return hasYesNo(style) && (style & 0xF00) == 256;
}
} // namespace MessageBoxStyle

namespace MessageBoxResult {
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MessageBoxResult
