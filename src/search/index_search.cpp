#include "search/index_search.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>

#include "config/context.h"
#include "config/data_paths.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "search/criteria.h"
#include "search/filters.h"
#include "search/query.h"
#include "search/resident_index.h"

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

bool IsFolderLine(std::string_view text) {
    return !text.empty() && text.back() == '\\';
}

// What the query is tested against for one line, folder being the line's folder line:
// a folder line stands for its path (its own name up to the first "." when only names are
// searched), a file line for its name, its folder, or both joined (made in joined).
std::string_view SubjectOf(std::string_view line, bool isFolder, std::string_view folder,
                           bool nameOnly, bool fullPath, std::string& joined) {
    if (isFolder) {
        std::string_view path = line.substr(0, line.size() - 1);
        return nameOnly ? FolderBaseName(path) : path;
    }
    if (nameOnly) return line;
    if (!fullPath) return folder;
    joined.assign(folder).append(line);
    return joined;
}

// One walk over an index held in memory. Lines are views into the buffer; the only
// per-line work outside the buffer goes into two reused strings.
class Walker {
  public:
    Walker(std::string_view data, const KeywordQuery& query, bool searchFilename, bool searchPath,
           const DateSizeFilter& filter, SearchHost* host, int32_t step, SearchResults& results)
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

    // The index line after the first line feed at or after from (the size when none).
    size_t LineStartFrom(size_t from) const {
        return std::min(FindLineFeed(data_, from) + 1, data_.size());
    }
    // Walks only the lines starting in [begin, end), both line starts; the folder of the
    // first of them is looked up above begin.
    void Range(size_t begin, size_t end) {
        FindFolderAbove(firstLine_, begin);
        data_ = data_.substr(0, end);
        firstLine_ = begin;
    }

    size_t FirstLine() const { return firstLine_; }
    // Whether Lines() must count every line even where nothing else needs them (a walk whose
    // progress is shown).
    bool countLines = true;
    // Lines walked, and bar advances made for them (with or without a host to show them).
    int64_t Lines() const { return lines_; }
    int64_t Advanced() const { return advanced_; }
    // Makes the advances still due for totalLines lines: a walk in parts reports its other
    // parts' lines here at the end.
    void AdvanceTo(int64_t totalLines) {
        for (; advanced_ < totalLines / step_; ++advanced_)
            if (host_) host_->AdvanceProgress(step_);
    }

    void EveryLine() {
        // Counts down to the next advance: a division per line would cost more than the
        // test of a short line.
        int32_t untilAdvance = step_;
        for (size_t pos = firstLine_; pos < data_.size();) {
            ++lines_;
            if (--untilAdvance == 0) Advance(untilAdvance);
            Line line = LineAt(pos);
            Visit(line.text);
            pos = line.next;
        }
    }

    // Only lines that hold the literal (or, when terms see the folder path, whole folders
    // whose folder line holds it) can match; everything between is skipped unread.
    void Candidates(const std::vector<FoldedFinder>& finders) {
        // The lines are counted only for a progress bar: a pass over the whole text.
        if (countLines) lines_ = CountIndexLines(data_.substr(firstLine_));
        const int64_t totalAdvances = lines_ / step_;
        const size_t span = data_.size() - firstLine_;
        size_t known = firstLine_;  // folder_ is right for every line starting before here
        size_t pos = firstLine_;
        // A walk of a part that starts among a folder's files: when the folder line holds a
        // literal and the folder is part of the subject, those files are visited as they
        // would have been after their folder line.
        if (!nameOnly_ && !folder_.empty() &&
            std::any_of(finders.begin(), finders.end(), [this](const FoldedFinder& f) {
                return f.Find(folder_) != std::string_view::npos;
            })) {
            while (pos < data_.size()) {
                Line file = LineAt(pos);
                if (IsFolderLine(file.text)) break;
                Visit(file.text);
                pos = file.next;
            }
            known = pos;
        }
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
            if (span > 0) {
                const int64_t due = totalAdvances * int64_t(pos - firstLine_) / int64_t(span);
                for (; advanced_ < due; ++advanced_)
                    if (host_) host_->AdvanceProgress(step_);
            }
        }
        AdvanceTo(lines_);
    }

    bool NameSubjects() const { return nameOnly_; }

    // Names only, and a query of plain terms: one pass over the text, 64 bytes at a time,
    // marks the line ends and the places where each term's text occurs, so a file line costs
    // a few bit operations instead of searches of its own. Folder lines, whose subject is
    // only part of the line, are tested in full.
    // Terms anchored at the start or end of the name are compared there, line by line.
    void PlainTerms(const std::vector<FoldedFinder>& texts,
                    const std::vector<KeywordQuery::Anchor>& anchors) {
        using Anchor = KeywordQuery::Anchor;
        size_t longest = 1;
        for (const auto& t : texts) longest = std::max(longest, t.size());
        std::vector<size_t> anywhere, anchored;
        for (size_t k = 0; k < texts.size(); ++k) {
            if (texts[k].size() == 0) continue;  // a term that matches anything
            (anchors[k] == Anchor::Anywhere ? anywhere : anchored).push_back(k);
        }
        const size_t n = data_.size();
        const char* base = data_.data();
        // The last blocks are read from a copy padded with NULs, so no load passes the end.
        std::vector<char> pad(64 + longest + 64, '\0');
        std::vector<uint64_t> at(texts.size());
        // Up to six terms, the answer for every combination of found terms is worked out
        // beforehand: bit f of the table is the answer when the terms of f are found.
        const bool tabled = texts.size() <= 6;
        uint64_t table = 0;
        for (uint64_t f = 0; tabled && f < (uint64_t(1) << texts.size()); ++f)
            table |= uint64_t(query_.MatchesGiven(f)) << f;
        int32_t untilAdvance = step_;
        size_t lineStart = firstLine_;
        uint64_t found = 0;  // terms whose text occurs in the line so far
        auto endLine = [&](size_t lineFeed) {
            size_t end = lineFeed;
            if (end > lineStart && base[end - 1] == '\r') --end;
            const std::string_view line(base + lineStart, end - lineStart);
            ++lines_;
            if (--untilAdvance == 0) Advance(untilAdvance);
            if (IsFolderLine(line)) {
                Visit(line);
            } else {
                for (size_t k : anchored) {
                    const size_t m = texts[k].size();
                    if (m <= line.size() &&
                        texts[k].EqualAt(line.data() +
                                         (anchors[k] == Anchor::End ? line.size() - m : 0)))
                        found |= uint64_t(1) << k;
                }
                if (tabled ? (table >> found & 1) != 0 : query_.MatchesGiven(found))
                    Accept(line, false);
            }
            lineStart = lineFeed + 1;
            found = 0;
        };
        for (size_t block = firstLine_; block < n; block += 64) {
            const char* p = base + block;
            const size_t left = n - block;
            if (left < 64 + longest) {
                std::fill(std::copy(p, p + left, pad.begin()), pad.end(), '\0');
                p = pad.data();
            }
            const uint64_t inText = left >= 64 ? ~uint64_t(0) : (uint64_t(1) << left) - 1;
            for (size_t k : anywhere) {
                const FoldedFinder& t = texts[k];
                // Only starts whose whole text lies before the end of the text count.
                const size_t m = std::max<size_t>(t.size(), 1);
                const uint64_t fits = left >= 64 + m - 1 ? ~uint64_t(0)
                                      : left >= m        ? (uint64_t(1) << (left - m + 1)) - 1
                                                         : 0;
                uint64_t bits = t.EndsFit64(p) & fits;
                if (t.size() > 2) {
                    // Only whole occurrences count; none can reach over a line end, which
                    // no term's text holds.
                    uint64_t whole = 0;
                    for (uint64_t b = bits; b != 0; b &= b - 1) {
                        const unsigned j = unsigned(__builtin_ctzll(b));
                        if (t.EqualAt(p + j)) whole |= uint64_t(1) << j;
                    }
                    bits = whole;
                }
                at[k] = bits;
            }
            uint64_t lineFeeds = LineFeeds64(p) & inText;
            uint64_t rest = ~uint64_t(0);  // the starts from the current line's start on
            while (lineFeeds != 0) {
                const unsigned j = unsigned(__builtin_ctzll(lineFeeds));
                const uint64_t before = (uint64_t(1) << j) - 1;
                for (size_t k : anywhere)
                    if (at[k] & rest & before) found |= uint64_t(1) << k;
                endLine(block + j);
                rest = j == 63 ? 0 : ~uint64_t(0) << (j + 1);
                lineFeeds &= lineFeeds - 1;
            }
            for (size_t k : anywhere)
                if (at[k] & rest) found |= uint64_t(1) << k;
        }
        if (lineStart < n) endLine(n);
    }

  private:
    struct Line {
        std::string_view text;  // without its line end
        size_t next;            // start of the following line
    };

    void Advance(int32_t& untilAdvance) {
        untilAdvance = step_;
        ++advanced_;
        if (host_) host_->AdvanceProgress(step_);
    }

    Line LineAt(size_t start) const {
        const char* base = data_.data();
        size_t end = FindLineFeed(data_, start);
        size_t next = end < data_.size() ? end + 1 : end;
        if (end > start && base[end - 1] == '\r') --end;
        return {data_.substr(start, end - start), next};
    }

    // Bit j set when at[j] is a line feed, for j in 0..63.
    static uint64_t LineFeeds64(const char* at) {
        uint64_t bits = 0;
#if defined(__SSE2__)
        const __m128i lf = _mm_set1_epi8('\n');
        for (int k = 0; k < 4; ++k) {
            __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * k));
            bits |= uint64_t(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf)))) << (16 * k);
        }
#else
        for (unsigned j = 0; j < 64; ++j)
            if (at[j] == '\n') bits |= uint64_t(1) << j;
#endif
        return bits;
    }

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
        if (isFolder) folder_ = line;
        const std::string_view subject =
            SubjectOf(line, isFolder, folder_, nameOnly_, fullPath_, subject_);
        if (query_.Matches(subject, scratch_)) Accept(line, isFolder);
        return isFolder;
    }

    // A line the query matched: it is a result if it passes the date and size filters.
    void Accept(std::string_view line, bool isFolder) {
        if (filter_.Active()) {
            // The filter asks the file system, which costs far more than building the path.
            if (isFolder)
                path_.assign(line.substr(0, line.size() - 1));
            else
                path_.assign(folder_).append(line);
            if (!filter_.Passes(path_)) return;
        }
        results_.Add(isFolder ? line : folder_, line);
    }

    std::string_view data_;
    const KeywordQuery& query_;
    const bool nameOnly_;
    const bool fullPath_;
    const DateSizeFilter& filter_;
    SearchHost* host_;
    const int32_t step_;
    SearchResults& results_;
    size_t firstLine_ = 0;
    int64_t lines_ = 0;
    int64_t advanced_ = 0;
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
    struct Matching {
        int64_t lines = 0;
    };
    // Lines of the sample the query matches, tested as the walk tests them. A chunk's lines
    // before its first folder line have no known folder and are left out.
    Matching MatchingLines(const KeywordQuery& query, bool nameOnly, bool fullPath) const {
        Matching m;
        std::string scratch, joined;
        std::string_view folder;
        ForEachLine([&](std::string_view line, bool chunkStart) {
            if (chunkStart) folder = {};
            const bool isFolder = IsFolderLine(line);
            if (isFolder)
                folder = line;
            else if (folder.empty())
                return;
            if (query.Matches(SubjectOf(line, isFolder, folder, nameOnly, fullPath, joined),
                              scratch))
                ++m.lines;
        });
        return m;
    }
    std::vector<std::string_view> chunks;
    size_t total = 0, bytes = 0;
    int64_t lines = 1;

  private:
    // Whole lines of the chunks (the cut pieces at their ends left out), without line ends
    // (a CR left on would fail every pattern anchored at the end); the flag marks the first
    // line of each chunk.
    template <class Visit>
    void ForEachLine(Visit visit) const {
        for (auto chunk : chunks) {
            size_t start = chunk.find('\n');
            bool first = true;
            while (start != std::string_view::npos) {
                size_t end = chunk.find('\n', start + 1);
                if (end == std::string_view::npos) break;
                std::string_view line = chunk.substr(start + 1, end - start - 1);
                if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
                visit(line, first);
                first = false;
                start = end;
            }
        }
    }
};

// Picks the literals to scan for, priced by their hits in the sample. Returns false when
// there are none, or when they sit on so many lines that visiting every line is cheaper.
bool ChooseLiterals(const Sample& sample, const KeywordQuery& query, bool fullPath,
                    std::vector<std::string>& chosen) {
    auto price = [&sample](std::string_view literal) { return sample.Hits(literal); };
    // A full-path subject joins the folder line to the file line, so a literal holding "\\"
    // could straddle the two; its pieces cannot.
    auto literals = query.AnyOfLiterals(price, fullPath ? '\\' : '\0');
    if (!literals) return false;
    int64_t hits = 0;
    for (const auto& l : *literals) hits += sample.Hits(l);
    chosen = std::move(*literals);
    // Past about one hit in five lines the jumps cost more than they save.
    return hits * 5 <= sample.lines;
}

// The finders for a walk by plain terms, when the query and subjects allow one.
bool PlainTermFinders(const Walker& walker, const KeywordQuery& query,
                      std::vector<FoldedFinder>& finders,
                      std::vector<KeywordQuery::Anchor>& anchors) {
    if (!walker.NameSubjects()) return false;
    auto terms = query.PlainTerms();
    if (!terms || terms->empty() || terms->size() > 64) return false;
    for (const auto& t : *terms) {
        if (t.text.find_first_of("\r\n") != std::string::npos) return false;
        finders.emplace_back(t.text);
        anchors.push_back(t.anchor);
    }
    return true;
}

// What a walk is to do, worked out from a sample of the text before it starts.
struct WalkPlan {
    bool scan = false;  // scan the whole text for the literals
    std::vector<std::string> literals;
    int64_t expectedResults = 0;
};

WalkPlan PlanWalk(std::string_view data, const KeywordQuery& query, bool searchFilename,
                  bool searchPath, WalkStrategy strategy) {
    WalkPlan plan;
    if (query.MatchesNothing()) return plan;
    const bool nameOnly = searchFilename && !searchPath, fullPath = searchFilename && searchPath;
    const Sample sample(data);
    plan.scan =
        strategy == WalkStrategy::Auto && ChooseLiterals(sample, query, fullPath, plan.literals);
    const auto matching = sample.MatchingLines(query, nameOnly, fullPath);
    plan.expectedResults = sample.Scaled(matching.lines);
    return plan;
}

// One thread kept for the second half of every large walk: a thread started for each
// walk costs it its first milliseconds (tens of them under Wine on a busy machine), more than
// a whole walk of a rare term. A walk that finds the helper busy with another starts a thread
// of its own.
class WalkHelper {
  public:
    // Runs job on the helper thread; false when the helper is busy or cannot be had.
    static bool Post(std::function<void()> job) {
        static WalkHelper* helper = Start();
        return helper && helper->Take(std::move(job));
    }

  private:
    static WalkHelper* Start() {
        // Never destroyed: the thread may be waiting when the process ends.
        auto* helper = new WalkHelper;
        try {
            std::thread([helper] { helper->Run(); }).detach();
        } catch (const std::system_error&) {
            delete helper;
            return nullptr;
        }
        return helper;
    }
    bool Take(std::function<void()> job) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (busy_) return false;
            busy_ = true;
            job_ = std::move(job);
        }
        posted_.notify_one();
        return true;
    }
    [[noreturn]] void Run() {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                posted_.wait(lock, [this] { return job_ != nullptr; });
                job = std::move(job_);
                job_ = nullptr;
            }
            try {
                job();
            } catch (...) {
                // A job reports its own failures; nothing may end this thread.
            }
            job = nullptr;
            std::lock_guard<std::mutex> lock(mutex_);
            busy_ = false;
        }
    }

    // A mutex and a condition variable rather than an atomic wait: the atomic wait of the
    // MinGW runtime we build with can miss a notify.
    std::mutex mutex_;
    std::condition_variable posted_;
    std::function<void()> job_;
    bool busy_ = false;
};

bool Cancelled(const WalkControl* control) {
    return control && control->cancel && control->cancel->load(std::memory_order_relaxed);
}

void WalkPlanned(std::shared_ptr<const WholeFile> index, const WalkPlan& plan,
                 const KeywordQuery& query, bool searchFilename, bool searchPath,
                 const DateSizeFilter& filter, SearchHost* host, int32_t step,
                 SearchResults& results, WalkStrategy strategy, int parts,
                 SearchProbe* probe = nullptr, const WalkControl* control = nullptr) {
    auto stepEnded = [probe](std::string_view name) {
        if (probe) probe->StepEnded(name);
    };
    const std::string_view data = index ? index->Text() : std::string_view();
    results.Attach(std::move(index));
    Walker walker(data, query, searchFilename, searchPath, filter, host, std::max(1, step),
                  results);
    walker.countLines = host != nullptr;
    if (query.MatchesNothing()) {
        walker.EveryLine();  // still stepped through, for the progress bar
        stepEnded("walk");
        if (control && control->firstResults) control->firstResults(results);
        results.Settle();  // lets the text go
        stepEnded("settle");
        return;
    }
    // A guessed size spares the list its growth by copying, which dominates when many lines
    // match.
    const int64_t expected = plan.expectedResults;
    if (expected > 1024) results.Reserve(size_t(expected + expected / 8));
    const bool scan = plan.scan;
    std::vector<FoldedFinder> finders;
    std::vector<KeywordQuery::Anchor> anchors;
    if (scan) {
        for (const auto& l : plan.literals) finders.emplace_back(l);
    } else if (strategy == WalkStrategy::EveryLine ||
               !PlainTermFinders(walker, query, finders, anchors)) {
        finders.clear();
    }
    auto walk = [&](Walker& w) {
        if (scan)
            w.Candidates(finders);
        else if (!finders.empty())
            w.PlainTerms(finders, anchors);
        else
            w.EveryLine();
    };

    // A large text is walked in pieces by this thread and a helper, each taking the next
    // piece as it comes free: a thread may start late (tens of milliseconds under Wine on a
    // busy machine), and halves fixed beforehand would leave this thread waiting for it. The
    // date and size filters ask the file system, so a filtered walk stays on this thread.
    const bool split = !filter.Active() && walker.FirstLine() < data.size() &&
                       (parts == 2 || (parts == 0 && data.size() >= kSplitWalkFrom &&
                                       std::thread::hardware_concurrency() >= 2));
    const bool keepText = control && control->keepText;
    if (!split) {
        walk(walker);
        stepEnded("walk");
        if (control && control->firstResults && !Cancelled(control)) control->firstResults(results);
        results.Settle(keepText);
        stepEnded("settle");
        return;
    }
    constexpr size_t kPieces = 16;
    std::vector<size_t> bounds{walker.FirstLine()};
    for (size_t k = 1; k < kPieces; ++k)
        bounds.push_back(std::max(bounds.back(), walker.LineStartFrom(data.size() / kPieces * k)));
    bounds.push_back(data.size());

    using Clock = std::chrono::steady_clock;
    // What the helper touches after this call may have returned: it claims a piece from here
    // and finds none left when it starts after the walk is over.
    struct Claims {
        std::atomic<size_t> next{0};
        std::atomic<size_t> done{0};
        std::atomic<bool> pieceDone[kPieces] = {};
        Clock::time_point began = Clock::now();
        std::atomic<int64_t> helperStartUs{-1}, helperEndUs{-1};
        std::atomic<int> helperPieces{0};
    };
    auto claims = std::make_shared<Claims>();
    // One result list and walker per piece; the first piece fills results itself.
    std::vector<SearchResults> partResults(kPieces);
    std::vector<std::unique_ptr<Walker>> walkers(kPieces);
    std::vector<std::exception_ptr> failures(kPieces);
    std::vector<char> walkedHere(kPieces, 0);
    const int32_t walkStep = std::max(1, step);
    const size_t reserveEach =
        expected > 1024 ? size_t(expected / kPieces + expected / (8 * kPieces)) : 0;
    // Let go before the results settle: a short result hands the text back to the list for
    // the next search only when nothing else holds it.
    std::shared_ptr<const WholeFile> shared = results.Shared();
    auto walkPiece = [&](size_t k, bool here) {
        walkedHere[k] = here;
        try {
            if (k == 0) {
                walker.Range(bounds[0], bounds[1]);
                walk(walker);
                return;
            }
            SearchResults& part = partResults[k];
            part.Attach(shared);
            part.Reserve(reserveEach);
            walkers[k] = std::make_unique<Walker>(data, query, searchFilename, searchPath, filter,
                                                  here ? host : nullptr, walkStep, part);
            walkers[k]->countLines = host != nullptr;
            walkers[k]->Range(bounds[k], bounds[k + 1]);
            walk(*walkers[k]);
        } catch (...) {
            failures[k] = std::current_exception();
        }
    };
    // The place lists the last search's pieces used are handed out again.
    for (size_t k = 1; k < kPieces; ++k) results.LendPlacesTo(partResults[k]);

    claims->next = 1;  // the first piece is this thread's: its walker shows the progress
    auto sinceBegan = [](const Claims& c) {
        return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - c.began)
            .count();
    };
    // A stopped walk leaves the pieces nobody has begun.
    auto claim = [control](Claims& c) { return Cancelled(control) ? kPieces : c.next++; };
    auto helperWork = [claims, &walkPiece, sinceBegan, claim] {
        claims->helperStartUs = sinceBegan(*claims);
        for (size_t k; (k = claim(*claims)) < kPieces;) {
            walkPiece(k, false);
            claims->helperEndUs = sinceBegan(*claims);
            ++claims->helperPieces;
            claims->pieceDone[k].store(true, std::memory_order_release);
            ++claims->done;
        }
    };
    if (!WalkHelper::Post(helperWork)) {
        try {
            std::thread(helperWork).detach();
        } catch (const std::system_error&) {
            // No thread to be had: every piece is walked here.
        }
    }
    // The pieces are joined to the results in order as they are done, so the first results
    // are known while later pieces are still being walked.
    size_t merged = 1;
    bool handedOver = !control || !control->firstResults;
    auto mergeDone = [&] {
        while (merged < kPieces && claims->pieceDone[merged].load(std::memory_order_acquire) &&
               !failures[merged]) {
            results.Append(std::move(partResults[merged]));
            ++merged;
        }
        if (!handedOver && !Cancelled(control) &&
            (merged == kPieces || results.size() >= control->firstCount)) {
            handedOver = true;
            control->firstResults(results);
        }
    };
    walkPiece(0, true);
    claims->pieceDone[0].store(true, std::memory_order_release);
    ++claims->done;
    if (!failures[0]) mergeDone();
    for (size_t k; (k = claim(*claims)) < kPieces;) {
        walkPiece(k, true);
        claims->pieceDone[k].store(true, std::memory_order_release);
        ++claims->done;
        mergeDone();
    }
    const int64_t ownEndUs = sinceBegan(*claims);
    // Pieces the helper took are walked by now or soon. A stopped walk claimed fewer; from
    // here on no piece can be claimed, so none is begun after this call returns.
    const size_t claimed = std::min(claims->next.exchange(kPieces), kPieces);
    while (claims->done.load() < claimed) {
        mergeDone();
        std::this_thread::yield();
    }
    for (const auto& failed : failures)
        if (failed) std::rethrow_exception(failed);
    if (Cancelled(control)) {
        results.clear();
        return;
    }

    // Advances made by walkers without a host were never shown.
    if (host) {
        int64_t lines = walker.Lines(), advanced = walker.Advanced();
        for (size_t k = 1; k < kPieces; ++k) {
            if (!walkers[k]) continue;
            lines += walkers[k]->Lines();
            if (walkedHere[k]) advanced += walkers[k]->Advanced();
        }
        for (int64_t due = lines / walkStep; advanced < due; ++advanced)
            host->AdvanceProgress(walkStep);
    }
    if (probe)
        probe->Pieces(double(claims->helperStartUs) / 1000.0, double(claims->helperEndUs) / 1000.0,
                      double(ownEndUs) / 1000.0, claims->helperPieces, int(kPieces));
    stepEnded("walk");
    mergeDone();
    stepEnded("merge");
    shared.reset();
    results.Settle(keepText);
    stepEnded("settle");
}

}  // namespace

void WalkIndex(std::shared_ptr<const WholeFile> index, const KeywordQuery& query,
               bool searchFilename, bool searchPath, const DateSizeFilter& filter, SearchHost* host,
               int32_t step, SearchResults& results, WalkStrategy strategy, int parts,
               const WalkControl* control) {
    const WalkPlan plan = PlanWalk(index ? index->Text() : std::string_view(), query,
                                   searchFilename, searchPath, strategy);
    WalkPlanned(std::move(index), plan, query, searchFilename, searchPath, filter, host, step,
                results, strategy, parts, nullptr, control);
}

void SearchIndexFile(FileSystem& fs, Clock& clock, const SearchCriteria& criteria,
                     std::string_view indexPath, SearchHost& host, SearchResults& results,
                     SearchProbe* probe, ResidentIndex* resident) {
    auto stepEnded = [probe](std::string_view name) {
        if (probe) probe->StepEnded(name);
    };
    if (!fs.Exists(indexPath)) {
        host.RefreshIndex();
        if (!fs.Exists(indexPath)) return;
    }
    results.clear();
    std::shared_ptr<const WholeFile> index;
    if (resident) {
        // The resident text stands for the file while it is what the file holds; a changed
        // file is read again, and one a build is writing cannot be read, as before.
        results.TakeSpareText();  // one copy of the index in memory is enough
        index = resident->Exact(indexPath);
        if (!index) throw FileError("Cannot open file " + std::string(indexPath));
    } else {
        // The memory of the last search's text is read into again: on a machine that hands
        // out memory page by page on first use, new memory for a large index costs several
        // times the whole walk.
        std::string text = results.TakeSpareText();
        // Read whole, refusing concurrent writers: a build in progress makes this fail. Read
        // rather than mapped, so that the results can keep the text without holding the
        // file, which the next build must be free to rewrite.
        if (!fs.ReadWholeInto(indexPath, text))
            throw FileError("Cannot open file " + std::string(indexPath));
        index = WholeFileFromText(std::move(text));
    }
    stepEnded("read");
    KeywordQuery query(criteria.Keywords);
    const WalkPlan plan = PlanWalk(index->Text(), query, criteria.SearchFilename,
                                   criteria.SearchPath, WalkStrategy::Auto);
    stepEnded("plan");

    const int64_t lines = CountIndexLines(index->Text());
    stepEnded("count");
    const int32_t step =
        ShowSearchProgress(host, int32_t(std::min<int64_t>(lines, INT32_MAX)), kSearchingCaption);
    struct HideAtEnd {
        SearchHost& host;
        ~HideAtEnd() { host.HideProgress(); }
    } hide{host};

    DateSizeFilter filter(fs, clock, criteria);
    WalkPlanned(std::move(index), plan, query, criteria.SearchFilename, criteria.SearchPath, filter,
                &host, step, results, WalkStrategy::Auto, 0, probe);
}

void SearchIndex(AppContext& ctx, const SearchCriteria& criteria, SearchHost& host,
                 SearchResults& results, ResidentIndex* resident) {
    SearchIndexFile(ctx.fs, ctx.clock, criteria, IndexFilePath(ctx), host, results, nullptr,
                    resident);
}

}  // namespace lark
