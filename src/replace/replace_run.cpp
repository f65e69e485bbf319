#include "replace/replace_run.h"

#include <algorithm>

#include "base/file_helpers.h"
#include "base/text.h"
#include "config/context.h"
#include "config/data_paths.h"
#include "platform/messages.h"
#include "platform/registry.h"
#include "replace/replace_files.h"
#include "search/criteria.h"

namespace lark {

namespace {

// The log is written in pieces of about this size.
constexpr size_t kLogPiece = 64 * 1024;
// The first read of a file: enough to classify it, and the first chunk of a non-text file.
constexpr size_t kFirstRead = size_t(1) << 20;
constexpr size_t kSampleSize = 128;

std::string RegistryType(AppContext& ctx, std::string_view extension) {
    std::string key(1, '.');
    key += extension;
    std::string type =
        ctx.registry.Read(RegistryRoot::ClassesRoot, key, "PerceivedType").value_or("");
    if (type.empty())
        type = ctx.registry.Read(RegistryRoot::ClassesRoot, key, "Content Type").value_or("");
    return type;
}

bool BeginsWith(std::string_view text, std::string_view word) {
    return text.substr(0, word.size()) == word;
}

int64_t ReadFully(InputFile& input, char* into, size_t count) {
    size_t done = 0;
    while (done < count) {
        int64_t got = input.Read(into + done, count - done);
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return static_cast<int64_t>(done);
}

}  // namespace

bool IsTextSample(std::string_view head) {
    head = head.substr(0, kSampleSize);
    if (head.empty()) return true;
    size_t odd = 0;
    for (unsigned char c : head) {
        if ((c < 32 && c != 13 && c != 10) || c > 126) ++odd;
    }
    return odd * 20 < head.size();
}

ReplaceRun::ReplaceRun(AppContext& ctx, SearchCriteria& criteria, ReplaceHost& host,
                       ReplaceFiles& files)
    : ctx_(ctx), criteria_(criteria), host_(host), files_(files) {}

ReplaceRun::~ReplaceRun() {
    CloseLog();
}

void ReplaceRun::RunSearchReplace(bool searchOnly) {
    if (criteria_.ShowLog) host_.ShowActivityWindow();
    AbortRequested = false;
    MatchedFiles.clear();
    RunStartTick = ctx_.clock.TickCount();
    StatusLineCount = 0;
    host_.ClearStatus();
    OpenLog();
    // The log is closed and the strip hidden however the run ends.
    struct Closing {
        ReplaceRun& run;
        ~Closing() {
            run.host_.HideProgress();
            run.CloseLog();
        }
    } closing{*this};
    if (Prepare(searchOnly)) {
        // "Use last search list" narrows the list the last search or run left.
        if (!criteria_.UseLastSearch) host_.SearchIndex();
        ProcessFoundFiles(host_.FoundFiles());
        host_.SetFoundFiles(MatchedFiles);
    }
    LogUntimed(" ", 1);
    LogTimed(AbortRequested ? "Operation aborted!" : "Finished!", 1);
    host_.ProcessMessages();
}

bool ReplaceRun::Prepare(bool searchOnly) {
    SearchOnly = searchOnly;
    WholeWords = criteria_.WholeWords;
    PatternMatching = criteria_.PatternMatch;
    CaseSensitive = criteria_.CaseSensitive;
    MakeBackup = criteria_.Backup;
    WriteChanges = criteria_.Replace && !SearchOnly;
    CommentPrefix.clear();
    if (criteria_.CommentChanges) {
        CommentPrefix = Trim(criteria_.CommentChar);
        if (CommentPrefix.empty()) {
            ctx_.messages.Warning(
                "You have selected to comment out changes, but have not given a Comment "
                "prefix character. Setting ignored");
            criteria_.CommentChanges = false;
        }
    }
    lineOptions_ = {CaseSensitive, WholeWords, CommentPrefix};
    Pairs = ParseReplacePairs(criteria_.SearchReplaceLines, CaseSensitive);
    const bool safe = CheckPairsSafe(Pairs, [this](std::string_view search, std::string_view with) {
        LogTimed(RefusalText(search, with), 3);
    });
    finders_.clear();
    lineNeedles_.clear();
    blockNeedles_.clear();
    everyLine_ = false;
    for (const std::string& search : Pairs.SearchStrings) {
        finders_.emplace_back(search);
        if (search.empty()) continue;
        if (search.size() <= kBinaryBlockSize) blockNeedles_.emplace_back(search, CaseSensitive);
        std::string needle = PatternMatching ? LongestLiteral(search) : search;
        if (needle.empty()) {
            everyLine_ = true;
        } else {
            lineNeedles_.emplace_back(std::move(needle), CaseSensitive);
        }
    }
    return Pairs.PairCount > 0 && safe;
}

void ReplaceRun::ProcessFoundFiles(const std::vector<std::string>& paths) {
    LinePattern = CaseSensitive ? criteria_.IncludePattern : LowerCase(criteria_.IncludePattern);
    const int32_t count = static_cast<int32_t>(paths.size());
    const int32_t step = std::max<int32_t>(1, count / 100);
    host_.ShowProgressStrip(count, "Searching...");
    for (int32_t i = 0; i < count; ++i) {
        if (i % step == 0) host_.AdvanceProgress(step);
        ProcessFoundFile(paths[size_t(i)]);
        if (AbortRequested) break;
        ProcessMessages();
    }
    host_.HideProgress();
}

// One open serves the classification and the reading: the first read holds the sample and,
// for a non-text file, its first blocks.
void ReplaceRun::ProcessFoundFile(const std::string& path) {
    FileReported = false;
    std::unique_ptr<InputFile> input = files_.OpenRead(path);
    if (!input) {
        // Gone since the search, or a folder the index listed: nothing to say. A file that
        // exists but cannot be opened counts as text, and text that cannot be read is logged.
        std::optional<FileInfo> info = files_.Stat(path);
        if (info && !info->IsFolder()) LogTimed("!!Unable to read " + path, 3);
        return;
    }
    fileTimes_ = input->Times().value_or(FileTimes{});
    fileAttributes_ = input->Attributes() & ~kAttrReadOnly;
    // One byte more than the size tells a file read whole from one that grew meanwhile.
    const size_t first = size_t(std::min<uint64_t>(input->Size() + 1, kFirstRead));
    buffer_.SetSize(0);
    buffer_.Reserve(first);
    int64_t got = ReadFully(*input, buffer_.Data(), first);
    if (got < 0) {
        LogTimed("!!Unable to read " + path, 3);
        return;
    }
    const bool whole = size_t(got) < first;
    buffer_.SetSize(size_t(got));
    if (IsTextFile(path, buffer_.View())) {
        if (!whole && !ReadRest(*input)) {
            LogTimed("!!Unable to read " + path, 3);
            return;
        }
        // A file still open for reading could not be replaced.
        input.reset();
        ProcessTextFile(path, buffer_.View());
    } else if (!HasPerceivedType(path, "video") && !HasPerceivedType(path, "audio")) {
        ProcessBinaryFile(path, std::move(input));
    }
}

bool ReplaceRun::HasPerceivedType(std::string_view path, std::string_view word) {
    std::string extension = FileExtensionOf(path);
    auto it = types_.find(extension);
    if (it == types_.end()) it = types_.emplace(extension, RegistryType(ctx_, extension)).first;
    return BeginsWith(it->second, word);
}

bool ReplaceRun::IsTextFile(std::string_view path, std::string_view head) {
    return HasPerceivedType(path, "text") || IsTextSample(head);
}

bool ReplaceRun::ReadRest(InputFile& input) {
    for (;;) {
        const size_t have = buffer_.Size();
        const size_t want = std::max<size_t>(size_t(input.Size()) + 1, have + 64 * 1024);
        buffer_.Reserve(want);
        int64_t got = ReadFully(input, buffer_.Data() + have, want - have);
        if (got < 0) return false;
        buffer_.SetSize(have + size_t(got));
        if (have + size_t(got) < want) return true;
    }
}

void ReplaceRun::ReportFile(const std::string& path, bool emptyLineFirst) {
    if (FileReported) return;
    FileReported = true;
    MatchedFiles.push_back(path);
    if (emptyLineFirst) LogUntimed("", 1);
    LogUntimed(path, 1);
}

bool ReplaceRun::RewriteFile(const std::string& path, ReplacementFile& replacement) {
    std::optional<FileInfo> info = files_.Stat(path);
    if (!info) {
        LogTimed("!!Re-Write file: Unable to replace " + path, 3);
        return false;
    }
    // Read-only is cleared for good: the rewrite needs it off, and it is not set again.
    const uint32_t attributes = info->attributes & ~kAttrReadOnly;
    if ((info->attributes & kAttrReadOnly) && !files_.SetAttributes(path, attributes)) {
        LogTimed("!!Re-Write file: Unable to remove READ_ONLY on " + path, 3);
        return false;
    }
    if (MakeBackup && !files_.CopyForBackup(path, path + ".bak")) {
        LogTimed("!!Re-Write file: Unable to create backup for " + path, 3);
        return false;
    }
    // The file is rewritten, not replaced by another: it keeps its creation time in any
    // case, and its other times when the dialog asks so at this moment. They are the times
    // it had before this run read it.
    FileTimes times = fileTimes_;
    if (!criteria_.KeepDateTime) times.lastAccess = times.lastWrite = 0;
    if (!replacement.Commit(attributes, times)) {
        LogTimed("!!Re-Write file: Unable to replace " + path, 3);
        return false;
    }
    return true;
}

void ReplaceRun::LogReplaced(const std::string& path, uint32_t startTick) {
    LogTimed(
        "Replaced:" + path + "\t(" + std::to_string(ctx_.clock.TickCount() - startTick) + " ms)",
        3);
}

void ReplaceRun::LogTimed(std::string_view text, int level) {
    AddStatusLine(text, level, false);
}

void ReplaceRun::LogUntimed(std::string_view text, int level) {
    AddStatusLine(text, level, true);
}

void ReplaceRun::AddStatusLine(std::string_view text, int level, bool untimed) {
    ++StatusLineCount;
    std::string line = StatusLineText(text, level, !untimed, ctx_.clock.TickCount() - RunStartTick);
    host_.AddStatusLine(line);
    if (LoggingActive) {
        logPending_ += line;
        logPending_ += "\r\n";
        if (logPending_.size() >= kLogPiece) {
            log_->Write(logPending_);
            logPending_.clear();
        }
    }
    ProcessMessages();
}

void ReplaceRun::ProcessMessages() {
    if (!host_.ProcessMessages()) AbortRequested = true;
}

void ReplaceRun::OpenLog() {
    LoggingActive = false;
    std::string path = criteria_.Logfile;
    // An empty box asks for no log.
    if (path.empty()) return;
    if (!ForceFolders(ctx_.fs, path)) {
        path = ReplaceLogPath(ctx_);
        criteria_.Logfile = path;
        ForceFolders(ctx_.fs, path);
    }
    log_ = files_.CreateLog(path);
    if (!log_) {
        LogTimed("[Logging disabled. Log file could not be created]", 0);
        return;
    }
    LoggingActive = true;
    LogTimed("[Logging to " + path + "]", 0);
}

void ReplaceRun::CloseLog() {
    if (!log_) return;
    // Write failures of the log are not reported: the memo holds the same lines.
    if (!logPending_.empty()) log_->Write(logPending_);
    logPending_.clear();
    log_.reset();
    LoggingActive = false;
}

}  // namespace lark
