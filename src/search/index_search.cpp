#include "search/index_search.h"

#include <algorithm>
#include <cstring>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "search/criteria.h"
#include "search/filters.h"
#include "search/query.h"

namespace lark {

int32_t ShowSearchProgress(SearchHost& host, int32_t maximum, std::string_view caption) {
    const int32_t step = std::max<int32_t>(1, maximum / 100);
    host.ShowProgressStrip(maximum, caption);
    return step;
}

int64_t CountIndexLines(std::string_view data) {
    if (data.empty()) return 0;
    const int64_t breaks = std::count(data.begin(), data.end(), '\n');
    return breaks + (data.back() == '\n' ? 0 : 1);
}

namespace {

// The folder's own name up to its first "." (path without its trailing "\").
std::string_view FolderBaseName(std::string_view path) {
    size_t at = path.find_last_of("\\:");
    std::string_view name = at == std::string_view::npos ? path : path.substr(at + 1);
    return name.substr(0, name.find('.'));
}

// One walk over an index held in memory. Lines are views into the buffer; the only
// per-line work outside the buffer goes into two reused strings.
class Walker {
  public:
    Walker(std::string_view data, const KeywordQuery& query, bool searchFilename, bool searchPath,
           const DateSizeFilter& filter, SearchHost* host, int32_t step,
           std::vector<std::string>& results)
        : data_(data),
          query_(query),
          nameOnly_(searchFilename && !searchPath),
          fullPath_(searchFilename && searchPath),
          filter_(filter),
          host_(host),
          step_(step),
          results_(results) {
        const char* nl = static_cast<const char*>(std::memchr(data.data(), '\n', data.size()));
        firstLine_ = nl ? size_t(nl - data.data()) + 1 : data.size();
    }

    void EveryLine() {
        int64_t lineNo = 1;
        for (size_t pos = firstLine_; pos < data_.size();) {
            ++lineNo;
            if ((lineNo - 1) % step_ == 0 && host_) host_->AdvanceProgress(step_);
            Line line = LineAt(pos);
            Visit(line.text);
            pos = line.next;
        }
    }

    // Only lines that hold the literal (or, when terms see the folder path, whole folders
    // whose folder line holds it) can match; everything between is skipped unread.
    void Candidates(const FoldedFinder& finder) {
        const int64_t lines = CountIndexLines(data_);
        const int64_t totalAdvances = lines > 1 ? (lines - 1) / step_ : 0;
        int64_t advances = 0;
        const size_t span = data_.size() - firstLine_;
        size_t known = firstLine_;  // folder_ is right for every line starting before here
        size_t pos = firstLine_;
        while (pos < data_.size()) {
            size_t hit = finder.Find(data_, pos);
            if (hit == std::string_view::npos) break;
            size_t start = hit;
            while (start > pos && data_[start - 1] != '\n') --start;
            FindFolderAbove(known, start);
            Line line = LineAt(start);
            bool folder = Visit(line.text);
            size_t next = line.next;
            if (folder && !nameOnly_) {
                while (next < data_.size()) {
                    Line file = LineAt(next);
                    if (IsFolderLine(file.text)) break;
                    Visit(file.text);
                    next = file.next;
                }
            }
            pos = known = next;
            if (host_ && span > 0) {
                const int64_t due = totalAdvances * int64_t(pos - firstLine_) / int64_t(span);
                for (; advances < due; ++advances) host_->AdvanceProgress(step_);
            }
        }
        for (; host_ && advances < totalAdvances; ++advances) host_->AdvanceProgress(step_);
    }

    bool FullPathSubjects() const { return fullPath_; }

  private:
    struct Line {
        std::string_view text;  // without its line end
        size_t next;            // start of the following line
    };

    Line LineAt(size_t start) const {
        const char* base = data_.data();
        const void* nl = std::memchr(base + start, '\n', data_.size() - start);
        size_t end = nl ? size_t(static_cast<const char*>(nl) - base) : data_.size();
        size_t next = nl ? end + 1 : end;
        if (end > start && base[end - 1] == '\r') --end;
        return {data_.substr(start, end - start), next};
    }

    static bool IsFolderLine(std::string_view text) { return !text.empty() && text.back() == '\\'; }

    // Sets folder_ to the last folder line between from and to (both line starts), if any.
    void FindFolderAbove(size_t from, size_t to) {
        size_t q = to;
        while (q > from) {
            size_t end = q - 1;  // the line end of the line above
            if (end > from && data_[end - 1] == '\r') --end;
            size_t start = end;
            while (start > from && data_[start - 1] != '\n') --start;
            if (end > start && data_[end - 1] == '\\') {
                folder_ = data_.substr(start, end - start);
                return;
            }
            q = start;
        }
    }

    // Tests one line; returns whether it was a folder line.
    bool Visit(std::string_view line) {
        const bool isFolder = IsFolderLine(line);
        std::string_view subject;
        if (isFolder) {
            folder_ = line;
            std::string_view path = line.substr(0, line.size() - 1);
            subject = nameOnly_ ? FolderBaseName(path) : path;
        } else if (nameOnly_) {
            subject = line;
        } else if (fullPath_) {
            subject_.assign(folder_);
            subject_.append(line);
            subject = subject_;
        } else {
            subject = folder_;
        }
        if (!query_.Matches(subject, scratch_)) return isFolder;
        std::string path;
        if (isFolder) {
            path.assign(line.substr(0, line.size() - 1));
        } else {
            path.reserve(folder_.size() + line.size());
            path.append(folder_);
            path.append(line);
        }
        if (filter_.Passes(path)) results_.push_back(std::move(path));
        return isFolder;
    }

    std::string_view data_;
    const KeywordQuery& query_;
    const bool nameOnly_;
    const bool fullPath_;
    const DateSizeFilter& filter_;
    SearchHost* host_;
    const int32_t step_;
    std::vector<std::string>& results_;
    size_t firstLine_ = 0;
    std::string_view folder_;
    std::string subject_;
    std::string scratch_;
};

// Picks the literal to scan for: the one with the fewest hits in a sample of the index.
// Returns false when there is none, or when even the rarest one sits on so many lines that
// visiting every line is cheaper.
bool ChooseLiteral(std::string_view data, const KeywordQuery& query, bool fullPath,
                   std::string& chosen) {
    std::vector<std::string> candidates;
    for (const auto& term : query.RequiredLiterals()) {
        for (const auto& run : term) {
            // A full-path subject joins the folder line to the file line, so a literal
            // holding "\" could straddle the two; its pieces cannot.
            size_t start = 0;
            while (start <= run.size()) {
                size_t at = fullPath ? run.find('\\', start) : std::string::npos;
                if (at == std::string::npos) at = run.size();
                std::string piece = run.substr(start, at - start);
                if (!piece.empty() && piece.find_first_of("\r\n") == std::string::npos)
                    candidates.push_back(std::move(piece));
                start = at + 1;
            }
        }
    }
    if (candidates.empty()) return false;

    constexpr size_t kChunks = 32, kChunkSize = 8192;
    std::vector<std::string_view> sample;
    if (data.size() <= kChunks * kChunkSize * 2) {
        sample.push_back(data);
    } else {
        const size_t stride = data.size() / kChunks;
        for (size_t i = 0; i < kChunks; ++i) sample.push_back(data.substr(i * stride, kChunkSize));
    }
    int64_t sampleLines = 1;
    for (auto chunk : sample) sampleLines += std::count(chunk.begin(), chunk.end(), '\n');

    int64_t best = -1;
    for (const auto& literal : candidates) {
        FoldedFinder finder(literal);
        int64_t hits = 0;
        for (auto chunk : sample) {
            for (size_t at = finder.Find(chunk); at != std::string_view::npos;
                 at = finder.Find(chunk, at + 1))
                ++hits;
        }
        if (best < 0 || hits < best || (hits == best && literal.size() > chosen.size())) {
            best = hits;
            chosen = literal;
        }
    }
    // Past about one hit in five lines the jumps cost more than they save.
    return best * 5 <= sampleLines;
}

}  // namespace

void WalkIndex(std::string_view data, const KeywordQuery& query, bool searchFilename,
               bool searchPath, const DateSizeFilter& filter, SearchHost* host, int32_t step,
               std::vector<std::string>& results, WalkStrategy strategy) {
    Walker walker(data, query, searchFilename, searchPath, filter, host, std::max(1, step),
                  results);
    std::string literal;
    if (strategy == WalkStrategy::Auto &&
        ChooseLiteral(data, query, walker.FullPathSubjects(), literal)) {
        walker.Candidates(FoldedFinder(literal));
    } else {
        walker.EveryLine();
    }
}

void SearchIndexFile(FileSystem& fs, Clock& clock, const SearchCriteria& criteria,
                     std::string_view indexPath, SearchHost& host,
                     std::vector<std::string>& results) {
    if (!fs.Exists(indexPath)) {
        host.RefreshIndex();
        if (!fs.Exists(indexPath)) return;
    }
    results.clear();
    // Read whole, refusing concurrent writers: a build in progress makes this fail.
    std::optional<std::string> data = fs.ReadWhole(indexPath);
    if (!data) throw FileError("Cannot open file " + std::string(indexPath));

    const int64_t lines = CountIndexLines(*data);
    const int32_t step =
        ShowSearchProgress(host, int32_t(std::min<int64_t>(lines, INT32_MAX)), kSearchingCaption);
    struct HideAtEnd {
        SearchHost& host;
        ~HideAtEnd() { host.HideProgress(); }
    } hide{host};

    KeywordQuery query(criteria.Keywords);
    DateSizeFilter filter(fs, clock, criteria);
    WalkIndex(*data, query, criteria.SearchFilename, criteria.SearchPath, filter, &host, step,
              results);
}

}  // namespace lark
