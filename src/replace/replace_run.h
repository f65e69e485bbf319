#pragma once
// One search and replace run over the files an index search found: setting it up from the
// search criteria, classifying each file, the line rules over text files, the block rule
// over all other files, the rewrite and the status lines. A search-only run uses the same
// rules and writes nothing.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "replace/replace_engine.h"
#include "replace/replace_files.h"

namespace lark {

struct AppContext;
struct SearchCriteria;

// What a run needs of the program's windows.
class ReplaceHost {
  public:
    virtual ~ReplaceHost() = default;
    // The activity window: shown, emptied, and given one status line at a time.
    virtual void ShowActivityWindow() = 0;
    virtual void ClearStatus() = 0;
    virtual void AddStatusLine(std::string_view line) = 0;
    // Lets the windows handle what waits for them (Stop among it). False when the program
    // is ending.
    virtual bool ProcessMessages() = 0;
    // The found files: the index search fills the list, the run walks it and leaves its
    // own result there.
    virtual void SearchIndex() = 0;
    virtual std::vector<std::string> FoundFiles() = 0;
    virtual void SetFoundFiles(std::vector<std::string> paths) = 0;
    // The main window's progress strip.
    virtual void ShowProgressStrip(int32_t maximum, std::string_view caption) = 0;
    virtual void AdvanceProgress(int32_t by) = 0;
    virtual void HideProgress() = 0;
};

inline constexpr const char* kDoNotWriteMarker = "<<<DO_NOT_WRITE>>>";
// Blocks of a non-text file are searched one by one: an occurrence across two blocks is not
// found.
inline constexpr size_t kBinaryBlockSize = 1024;

// The content test: of the first (up to) 128 bytes, fewer than 5 % are control characters
// other than CR and LF, or bytes above 126. No bytes at all is text.
bool IsTextSample(std::string_view head);

class ReplaceRun {
  public:
    ReplaceRun(AppContext& ctx, SearchCriteria& criteria, ReplaceHost& host, ReplaceFiles& files);
    ReplaceRun(const ReplaceRun&) = delete;
    ReplaceRun& operator=(const ReplaceRun&) = delete;
    ~ReplaceRun();

    // One whole run: options, log, pairs, search, files, closing lines.
    void RunSearchReplace(bool searchOnly);
    // The Stop button: every loop ends at its next look.
    void RequestAbort() { AbortRequested = true; }

    // The steps of a run, reachable one by one for tests.
    // Takes the options from the criteria; false when the pairs are empty or refused.
    bool Prepare(bool searchOnly);
    void ProcessFoundFiles(const std::vector<std::string>& paths);
    void ProcessFoundFile(const std::string& path);
    // The registry's type of the path's extension begins with the word ("text/plain" counts
    // as "text"): PerceivedType, or Content Type when that is missing. Asked once per
    // extension and run.
    bool HasPerceivedType(std::string_view path, std::string_view word);
    // By its type, or else by its first bytes (head).
    bool IsTextFile(std::string_view path, std::string_view head);
    void LogTimed(std::string_view text, int level);
    void LogUntimed(std::string_view text, int level);

    ReplacePairs Pairs;
    std::vector<std::string> MatchedFiles;
    std::string LinePattern;
    bool CaseSensitive = false;
    bool WholeWords = false;
    bool PatternMatching = false;
    bool MakeBackup = false;
    bool WriteChanges = false;
    bool SearchOnly = false;
    std::string CommentPrefix;
    bool AbortRequested = false;
    bool FileReported = false;
    bool LoggingActive = false;
    uint32_t RunStartTick = 0;
    int32_t StatusLineCount = 0;

  private:
    void AddStatusLine(std::string_view text, int level, bool untimed);
    void ProcessMessages();
    void OpenLog();
    void CloseLog();
    void ReportFile(const std::string& path, bool emptyLineFirst);
    bool ReadRest(InputFile& input);

    void ProcessTextFile(const std::string& path, std::string_view text);
    bool ApplyLineRules(const std::string& path, EditedLine& line);
    // The first chunk is in buffer_.
    void ProcessBinaryFile(const std::string& path, std::unique_ptr<InputFile> input);
    bool ReplaceInBlock(const std::string& path, std::string& block);
    bool RewriteFile(const std::string& path, ReplacementFile& replacement);
    void LogReplaced(const std::string& path, uint32_t startTick);

    AppContext& ctx_;
    SearchCriteria& criteria_;
    ReplaceHost& host_;
    ReplaceFiles& files_;
    LineRuleOptions lineOptions_;
    // One finder per pair (empty for an empty search string), and the needles that pick
    // the lines worth trying: every changed line holds one of them.
    std::vector<ByteFinder> finders_;
    std::vector<LiteralFinder> lineNeedles_;
    std::vector<LiteralFinder> blockNeedles_;
    bool everyLine_ = false;
    std::map<std::string, std::string> types_;  // extension -> registry type, for this run
    FileTimes fileTimes_;                       // of the file being processed, as it was opened
    uint32_t fileAttributes_ = 0;               // the same, without read-only
    std::unique_ptr<OutputFile> log_;
    std::string logPending_;
    ByteBuffer buffer_;  // the file being read: a whole text, or a chunk of blocks
    std::string probe_;  // the block being searched, folded
};

}  // namespace lark
