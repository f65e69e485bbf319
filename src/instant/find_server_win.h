#pragma once
// The resident instance's side of the console client: a request that came by WM_COPYDATA is
// searched over the index held in memory and answered to the client's window.
#include <windows.h>

namespace lark {

struct AppContext;
class ResidentIndex;

// Sends the result lines and the summary to client before it returns; TRUE when the record
// was a request (answered, declined or refused), FALSE when it was none.
LRESULT AnswerFindRequest(AppContext& ctx, ResidentIndex& resident, HWND server, HWND client,
                          const COPYDATASTRUCT& request);

}  // namespace lark
