#include "instant/find_server_win.h"

#include <string>

#include "base/text.h"
#include "config/context.h"
#include "config/data_paths.h"
#include "instant/find_protocol_win.h"
#include "instant/find_request.h"
#include "search/resident_index.h"

namespace lark {

namespace {

// A client that stopped answering (killed half-way) must not hold the instance up for long.
constexpr UINT kReplyTimeoutMs = 10000;

bool Send(HWND server, HWND client, ULONG_PTR id, std::string_view bytes) {
    COPYDATASTRUCT record{};
    record.dwData = id;
    record.cbData = DWORD(bytes.size());
    record.lpData = const_cast<char*>(bytes.data());
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(client, WM_COPYDATA, WPARAM(server), LPARAM(&record),
                               SMTO_ABORTIFHUNG, kReplyTimeoutMs, &answer) != 0;
}

FindSummary Answer(AppContext& ctx, ResidentIndex& resident, const FindOptions& options,
                   HWND server, HWND client) {
    FindSummary summary;
    const std::string indexPath = IndexFilePath(ctx);
    // Another index file than the one held here is read by the client itself.
    if (!options.indexPath.empty() && !SameTextIgnoringCase(options.indexPath, indexPath)) {
        summary.declined = true;
        return summary;
    }
    ResidentIndex::Snapshot index = resident.Latest(indexPath);
    if (!index.text) {
        summary.error = ctx.fs.Exists(indexPath)
                            ? "Cannot open file " + indexPath + " (an index build is writing it)"
                            : MissingIndexMessage(indexPath);
        return summary;
    }
    summary.refreshing = index.refreshing;
    if (!options.domain.empty()) {
        summary.error = CheckIndexDomain(index.text->Text(), ctx.settings, options.domain);
        if (!summary.error.empty()) return summary;
    }
    SearchResults results;
    RunFind(ctx.fs, ctx.clock, options, std::move(index.text), results);
    if (options.countOnly) {
        summary.count = options.limit < 0 ? int64_t(results.size())
                                          : std::min(int64_t(results.size()), options.limit);
        return summary;
    }
    bool sent = true;
    summary.count =
        WriteFindResults(results, options.limit, kFindChunkBytes, [&](std::string_view lines) {
            if (sent) sent = Send(server, client, kFindLinesCopyId, lines);
        });
    return summary;
}

}  // namespace

LRESULT AnswerFindRequest(AppContext& ctx, ResidentIndex& resident, HWND server, HWND client,
                          const COPYDATASTRUCT& request) {
    if (request.dwData != kFindRequestCopyId) return FALSE;
    FindSummary summary;
    std::optional<FindOptions> options = DecodeFindOptions(
        std::string_view(static_cast<const char*>(request.lpData), request.cbData));
    if (!options)
        summary.error = "the running Larkspire did not understand the request";
    else
        summary = Answer(ctx, resident, *options, server, client);
    Send(server, client, kFindSummaryCopyId, EncodeFindSummary(summary));
    return TRUE;
}

}  // namespace lark
