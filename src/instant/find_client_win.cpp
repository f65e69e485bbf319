#include "instant/find_client_win.h"

#include <optional>
#include <string_view>

#include "config/context.h"
#include "config/data_paths.h"
#include "config/settings.h"
#include "instant/find_protocol_win.h"
#include "instant/find_request.h"
#include "platform/messages.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/win32_platform.h"
#include "ui/window_proc_win.h"

namespace lark {

namespace {

// How long a build may keep the index file before the client gives up on it.
constexpr DWORD kBuildWaitMs = 10000;
// A resident instance busy with something long (a search and replace) is not waited for
// forever; the client then reads the file itself.
constexpr UINT kInstanceTimeoutMs = 60000;

// Standard output: UTF-16 to a console, UTF-8 bytes to a file or pipe.
class Output {
  public:
    explicit Output(HANDLE handle) : handle_(handle) {
        DWORD mode = 0;
        console_ = GetConsoleMode(handle, &mode) != 0;
    }
    void Write(std::string_view utf8) {
        if (utf8.empty() || failed_) return;
        if (console_) {
            const std::wstring wide = Widen(utf8);
            DWORD written = 0;
            for (size_t done = 0; done < wide.size(); done += written) {
                const DWORD chunk = DWORD(std::min<size_t>(wide.size() - done, 16384));
                if (!WriteConsoleW(handle_, wide.data() + done, chunk, &written, nullptr) ||
                    written == 0) {
                    failed_ = true;
                    return;
                }
            }
            return;
        }
        DWORD written = 0;
        for (size_t done = 0; done < utf8.size(); done += written) {
            const DWORD chunk = DWORD(std::min<size_t>(utf8.size() - done, 1u << 30));
            // A reader that went away (a pipe into "more" closed) ends the output quietly.
            if (!WriteFile(handle_, utf8.data() + done, chunk, &written, nullptr) || written == 0) {
                failed_ = true;
                return;
            }
        }
    }

  private:
    HANDLE handle_;
    bool console_ = false;
    bool failed_ = false;
};

// What would be a message box in the program is a line on standard error here.
class ErrorLines final : public Messages {
  public:
    explicit ErrorLines(Output& err) : err_(err) {}
    void Error(std::string_view text) override { Line(text); }
    bool Confirm(std::string_view text) override {
        Line(text);
        return false;
    }
    void Info(std::string_view text) override { Line(text); }
    void Warning(std::string_view text) override { Line(text); }
    void Line(std::string_view text) {
        err_.Write(std::string(kFindProgram) + ": " + std::string(text) + "\r\n");
    }

  private:
    Output& err_;
};

// A window only the instance's answers reach.
class ReplyWindow final : public MessageTarget {
  public:
    explicit ReplyWindow(Output& out) : out_(out) {
        static constexpr wchar_t kClass[] = L"LarkspireFindReply";
        RegisterTargetClass(kClass);
        hwnd_ = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), WindowParam(this));
    }
    ~ReplyWindow() override {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    ReplyWindow(const ReplyWindow&) = delete;
    ReplyWindow& operator=(const ReplyWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    const std::optional<FindSummary>& Summary() const { return summary_; }
    bool GotLines() const { return gotLines_; }

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg != WM_COPYDATA) return DefWindowProcW(hwnd, msg, wParam, lParam);
        const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const std::string_view bytes(static_cast<const char*>(record->lpData), record->cbData);
        if (record->dwData == kFindLinesCopyId) {
            gotLines_ = true;
            out_.Write(bytes);
            return TRUE;
        }
        if (record->dwData == kFindSummaryCopyId) {
            summary_ = DecodeFindSummary(bytes);
            return TRUE;
        }
        return FALSE;
    }

  private:
    Output& out_;
    HWND hwnd_ = nullptr;
    std::optional<FindSummary> summary_;
    bool gotLines_ = false;
};

// The resident instance's answer; nullopt when none runs, it declined, or it gave no answer
// before any result line arrived (the client then reads the file itself).
std::optional<FindSummary> AskInstance(const FindOptions& options, Output& out) {
    HWND instance = FindWindowW(kResidentWindowClass, nullptr);
    if (!instance) return std::nullopt;
    ReplyWindow reply(out);
    if (!reply.Handle()) return std::nullopt;
    const std::string request = EncodeFindOptions(options);
    COPYDATASTRUCT record{};
    record.dwData = kFindRequestCopyId;
    record.cbData = DWORD(request.size());
    record.lpData = const_cast<char*>(request.data());
    DWORD_PTR answered = 0;
    const LRESULT sent =
        SendMessageTimeoutW(instance, WM_COPYDATA, WPARAM(reply.Handle()), LPARAM(&record),
                            SMTO_ABORTIFHUNG, kInstanceTimeoutMs, &answered);
    if (reply.Summary() && !reply.Summary()->declined) return reply.Summary();
    if (reply.GotLines()) {
        // Cut off half-way: the lines printed cannot be taken back.
        FindSummary broken;
        broken.error = "the running Larkspire stopped answering";
        return broken;
    }
    (void)sent;
    return std::nullopt;
}

std::string FullPath(const std::string& path) {
    const std::wstring wide = Widen(path);
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(wide.c_str(), DWORD(full.size()), full.data(), nullptr);
    if (length > full.size()) {
        full.resize(length);
        length = GetFullPathNameW(wide.c_str(), DWORD(full.size()), full.data(), nullptr);
    }
    if (length == 0) return path;
    full.resize(length);
    return Narrow(full);
}

std::string ExecutableFolder() {
    const std::string exe = ExecutablePath();
    const size_t slash = exe.find_last_of('\\');
    return slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
}

// The client without a resident instance: the installation's settings, the index file read
// whole (refusing writers, as the program reads it) and the same search.
FindSummary SearchHere(const FindOptions& options, Output& out, ErrorLines& errors) {
    Win32FileSystem fs;
    Win32Registry registry;
    Win32Clock clock;
    Settings settings;
    AppContext ctx{fs,
                   registry,
                   clock,
                   errors,
                   settings,
                   ExecutableFolder() + "\\Larkspire.exe",
                   UserLoginNameFromSystem(),
                   TempFolderPathFromSystem(),
                   std::string()};
    FindSummary summary;
    // The settings say where the index lies and which domains there are; an index named on
    // the command line without a domain needs neither.
    if (options.indexPath.empty() || !options.domain.empty()) {
        settings.DataLocation = DefaultDataLocation();
        LoadSettings(ctx);
    }
    const std::string indexPath =
        options.indexPath.empty() ? IndexFilePath(ctx) : FullPath(options.indexPath);
    std::optional<std::string> text;
    for (DWORD waited = 0;; waited += 100) {
        if (!fs.Exists(indexPath)) {
            summary.error = MissingIndexMessage(indexPath);
            return summary;
        }
        text = fs.ReadWhole(indexPath);
        if (text || waited >= kBuildWaitMs) break;
        // A build is writing the file: it is complete soon.
        Sleep(100);
    }
    if (!text) {
        summary.error = "Cannot open file " + indexPath + " (an index build is writing it)";
        return summary;
    }
    if (!options.domain.empty()) {
        summary.error = CheckIndexDomain(*text, settings, options.domain);
        if (!summary.error.empty()) return summary;
    }
    SearchResults results;
    RunFind(fs, clock, options, WholeFileFromText(std::move(*text)), results);
    if (options.countOnly) {
        summary.count = options.limit < 0 ? int64_t(results.size())
                                          : std::min(int64_t(results.size()), options.limit);
        return summary;
    }
    summary.count = WriteFindResults(results, options.limit, kFindChunkBytes,
                                     [&out](std::string_view lines) { out.Write(lines); });
    return summary;
}

}  // namespace

int RunFindClient(const std::vector<std::string>& args, HANDLE outHandle, HANDLE errHandle) {
    Output out(outHandle), err(errHandle);
    ErrorLines errors(err);
    const FindParse parse = ParseFindArguments(args);
    if (!parse.options) {
        errors.Line(parse.error);
        err.Write("Try \"" + std::string(kFindProgram) + " --help\".\r\n");
        return 2;
    }
    const FindOptions& options = *parse.options;
    if (options.help) {
        std::string usage = FindUsage();
        std::string crlf;
        for (char c : usage) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        out.Write(crlf);
        return 0;
    }
    std::optional<FindSummary> summary;
    if (!options.noInstance) summary = AskInstance(options, out);
    if (!summary) summary = SearchHere(options, out, errors);
    if (!summary->error.empty()) {
        errors.Line(summary->error);
        return FindExitCode(*summary);
    }
    if (options.countOnly) out.Write(std::to_string(summary->count) + "\r\n");
    if (summary->refreshing) errors.Line(kRefreshingNote);
    return FindExitCode(*summary);
}

}  // namespace lark
