#pragma once
// How the console client and the resident instance talk: WM_COPYDATA records sent to each
// other's windows. The client sends its options to the main window with its own window in
// wParam; before that send returns, the instance has sent back the result lines in pieces
// and then the summary.
#include <windows.h>

namespace lark {

inline constexpr ULONG_PTR kFindRequestCopyId = 0x4C4B4631;  // "LKF1": the encoded options
inline constexpr ULONG_PTR kFindLinesCopyId = 0x4C4B4632;    // "LKF2": result lines, UTF-8
inline constexpr ULONG_PTR kFindSummaryCopyId = 0x4C4B4633;  // "LKF3": the encoded summary

// The class of the resident instance's main window (the one a second start looks for).
inline constexpr wchar_t kResidentWindowClass[] = L"TfmOpen";

// How much of the result lines travels in one record.
inline constexpr size_t kFindChunkBytes = 256 * 1024;

}  // namespace lark
