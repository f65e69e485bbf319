#include "search/index_search.h"

#include <algorithm>

#include "app/context.h"
#include "app/data_paths.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "search/criteria.h"
#include "search/filters.h"
#include "search/query.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lark {

int32_t ShowSearchProgress(SearchHost& host, int32_t maximum, std::string_view caption) {
    const int32_t step = std::max<int32_t>(1, maximum / 100);
    host.ShowProgressStrip(maximum, caption);
    return step;
}

static int64_t CountLineFeeds(std::string_view data) {
    int64_t count = 0;
    size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time; the per-byte tallies are summed before they can overflow.
    const __m128i lf = _mm_set1_epi8('\n');
    while (i + 16 <= data.size()) {
        __m128i tally = _mm_setzero_si128();
        for (int rounds = 0; rounds < 255 && i + 16 <= data.size(); ++rounds, i += 16) {
            __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data.data() + i));
            tally = _mm_sub_epi8(tally, _mm_cmpeq_epi8(bytes, lf));
        }
        __m128i sums = _mm_sad_epu8(tally, _mm_setzero_si128());
        count += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
    }
#endif
    for (; i < data.size(); ++i) count += data[i] == '\n';
    return count;
}

// Offset of the first line feed at or after from, or the size. Lines are short, so one
// sixteen-byte compare usually settles it; the C library's search is not vectorised everywhere.
static size_t FindLineFeed(std::string_view data, size_t from) {
    const char* base = data.data();
    size_t i = from;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= data.size(); i += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        unsigned bits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf)));
        if (bits != 0) return i + unsigned(__builtin_ctz(bits));
    }
#endif
    for (; i < data.size(); ++i)
        if (base[i] == '\n') return i;
    return data.size();
}

int64_t CountIndexLines(std::string_view data) {
    if (data.empty()) return 0;
    return CountLineFeeds(data) + (data.back() == '\n' ? 0 : 1);
}

namespace {

// The folder's own name up to its first "." (path without its trailing "\").
// Plain loops: find_last_of makes a library call per character, which under a
// compatibility layer costs more than the whole test.
std::string_view FolderBaseName(std::string_view path) {
    size_t start = path.size();
    while (start > 0 && path[start - 1] != '\\' && path[start - 1] != ':') --start;
    size_t end = start;
    while (end < path.size() && path[end] != '.') ++end;
    return path.substr(start, end - start);
}

// One walk over an index held in memory. Lines are views into the buffer; the only
// per-line work outside the buffer goes into two reused strings.
class Walker {
  public:
    Walker(std::string_view data, const KeywordQuery& query, bool searchFilename, bool searchPath,
           const DateSizeFilter& filter, SearchHost* host, int32_t step, PathList& results)
        : data_(data),
          query_(query),
          nameOnly_(searchFilename && !searchPath),
          fullPath_(searchFilename && searchPath),
          filter_(filter),
          host_(host),
          step_(step),
          results_(results) {
        firstLine_ = std::min(FindLineFeed(data, 0) + 1, data.size());
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
    void Candidates(const std::vector<FoldedFinder>& finders) {
        const int64_t lines = CountIndexLines(data_);
        const int64_t totalAdvances = lines > 1 ? (lines - 1) / step_ : 0;
        int64_t advances = 0;
        const size_t span = data_.size() - firstLine_;
        size_t known = firstLine_;  // folder_ is right for every line starting before here
        size_t pos = firstLine_;
        std::vector<size_t> next;
        for (const auto& finder : finders) next.push_back(finder.Find(data_, pos));
        while (pos < data_.size()) {
            // The earliest hit of any literal; each finder keeps its own next hit.
            size_t hit = std::string_view::npos;
            for (size_t k = 0; k < finders.size(); ++k) {
                if (next[k] < pos) next[k] = finders[k].Find(data_, pos);
                hit = std::min(hit, next[k]);
            }
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
        size_t end = FindLineFeed(data_, start);
        size_t next = end < data_.size() ? end + 1 : end;
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
        const std::string_view head = isFolder ? line.substr(0, line.size() - 1) : folder_;
        const std::string_view tail = isFolder ? std::string_view() : line;
        if (filter_.Active()) {
            // The filter asks the file system, which costs far more than building the path.
            path_.assign(head).append(tail);
            if (filter_.Passes(path_)) results_.push_back(path_);
        } else {
            results_.PushJoined(head, tail);
        }
        return isFolder;
    }

    std::string_view data_;
    const KeywordQuery& query_;
    const bool nameOnly_;
    const bool fullPath_;
    const DateSizeFilter& filter_;
    SearchHost* host_;
    const int32_t step_;
    PathList& results_;
    size_t firstLine_ = 0;
    std::string_view folder_;
    std::string subject_;
    std::string scratch_;
    std::string path_;
};

// Spread-out pieces of the index, to guess how often things occur in all of it.
struct Sample {
    explicit Sample(std::string_view data) : total(data.size()) {
        constexpr size_t kChunks = 32, kChunkSize = 8192;
        if (data.size() <= kChunks * kChunkSize * 2) {
            chunks.push_back(data);
        } else {
            const size_t stride = data.size() / kChunks;
            for (size_t i = 0; i < kChunks; ++i)
                chunks.push_back(data.substr(i * stride, kChunkSize));
        }
        for (auto chunk : chunks) {
            lines += CountLineFeeds(chunk);
            bytes += chunk.size();
        }
        MeasureLines();
    }
    int64_t Hits(std::string_view literal) const {
        FoldedFinder finder(literal);
        int64_t count = 0;
        for (auto chunk : chunks) {
            for (size_t at = finder.Find(chunk); at != std::string_view::npos;
                 at = finder.Find(chunk, at + 1))
                ++count;
        }
        return count;
    }
    // The sampled count scaled to the whole index.
    int64_t Scaled(int64_t count) const {
        return bytes ? int64_t(double(count) * double(total) / double(bytes)) : 0;
    }
    // Whole lines of the sample that match, each taken without its line end as the subject
    // (a CR left on would fail every pattern anchored at the end).
    int64_t MatchingLines(const KeywordQuery& query) const {
        int64_t count = 0;
        std::string scratch;
        ForEachLine([&](std::string_view line) { count += query.Matches(line, scratch); });
        return count;
    }
    // The guessed mean length of a result: a folder's path, or a file's name after it.
    double MeanPathLength() const {
        if (folderLines == 0) return 0;
        const double folder = double(folderBytes) / double(folderLines);
        const double file = fileLines ? double(fileBytes) / double(fileLines) : 0;
        return (double(folderLines) * (folder - 1) + double(fileLines) * (folder + file)) /
               double(folderLines + fileLines);
    }

    std::vector<std::string_view> chunks;
    size_t total = 0, bytes = 0;
    int64_t lines = 1;
    int64_t folderLines = 0, folderBytes = 0, fileLines = 0, fileBytes = 0;

  private:
    // Whole lines of the chunks (the cut pieces at their ends left out), without line ends.
    template <class Visit>
    void ForEachLine(Visit visit) const {
        for (auto chunk : chunks) {
            size_t start = chunk.find('\n');
            while (start != std::string_view::npos) {
                size_t end = chunk.find('\n', start + 1);
                if (end == std::string_view::npos) break;
                std::string_view line = chunk.substr(start + 1, end - start - 1);
                if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
                visit(line);
                start = end;
            }
        }
    }
    void MeasureLines() {
        ForEachLine([this](std::string_view line) {
            if (!line.empty() && line.back() == '\\') {
                ++folderLines;
                folderBytes += int64_t(line.size());
            } else {
                ++fileLines;
                fileBytes += int64_t(line.size());
            }
        });
    }
};

// Picks the literals to scan for, priced by their hits in the sample. Returns false when
// there are none, or when they sit on so many lines that visiting every line is cheaper.
bool ChooseLiterals(const Sample& sample, const KeywordQuery& query, bool fullPath,
                    std::vector<std::string>& chosen, int64_t& hits) {
    auto price = [&sample](std::string_view literal) { return sample.Hits(literal); };
    // A full-path subject joins the folder line to the file line, so a literal holding "\\"
    // could straddle the two; its pieces cannot.
    auto literals = query.AnyOfLiterals(price, fullPath ? '\\' : '\0');
    if (!literals) return false;
    hits = 0;
    for (const auto& l : *literals) hits += sample.Hits(l);
    chosen = std::move(*literals);
    // Past about one hit in five lines the jumps cost more than they save.
    return hits * 5 <= sample.lines;
}

}  // namespace

void WalkIndex(std::string_view data, const KeywordQuery& query, bool searchFilename,
               bool searchPath, const DateSizeFilter& filter, SearchHost* host, int32_t step,
               PathList& results, WalkStrategy strategy) {
    Walker walker(data, query, searchFilename, searchPath, filter, host, std::max(1, step),
                  results);
    if (query.MatchesNothing()) {
        walker.EveryLine();  // still stepped through, for the progress bar
        return;
    }
    const Sample sample(data);
    std::vector<std::string> literals;
    int64_t hits = 0;
    const bool scan = strategy == WalkStrategy::Auto &&
                      ChooseLiterals(sample, query, walker.FullPathSubjects(), literals, hits);
    // A guessed size spares the list its growth by copying, which dominates when many lines
    // match.
    const int64_t expected = sample.Scaled(scan ? hits : sample.MatchingLines(query));
    if (expected > 1024) {
        const double count = double(expected + expected / 8);
        results.reserve(results.size() + size_t(count),
                        results.CharCount() + size_t(count * sample.MeanPathLength()));
    }
    if (scan) {
        std::vector<FoldedFinder> finders;
        for (const auto& l : literals) finders.emplace_back(l);
        walker.Candidates(finders);
    } else {
        walker.EveryLine();
    }
}

void SearchIndexFile(FileSystem& fs, Clock& clock, const SearchCriteria& criteria,
                     std::string_view indexPath, SearchHost& host, PathList& results) {
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

void SearchIndex(AppContext& ctx, const SearchCriteria& criteria, SearchHost& host,
                 PathList& results) {
    SearchIndexFile(ctx.fs, ctx.clock, criteria, IndexFilePath(ctx), host, results);
}

}  // namespace lark
