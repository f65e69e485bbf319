// The text search and replace rules on arbitrary pairs and text, each against a plain
// reference written straight from the rules: the byte search, the block rule, the two line
// rules, and whole writing runs over one text file and one non-text file, whose every
// shortcut (the lines and blocks skipped unseen, the chunked reading) must give the bytes
// the plain rules give.
//
// Input: one byte of options, then the pairs box (lines split at LF), a NUL, the text or
// block, and after a second NUL the "Only lines containing pattern" box.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "../tests/replace/fake_replace.h"
#include "base/text.h"
#include "base/wildcard.h"
#include "fuzz_support.h"
#include "replace/replace_engine.h"
#include "replace/replace_run.h"
#include "search/criteria.h"

using namespace lark;

namespace {

constexpr size_t kLongestLineForPatterns = 48;

std::string Folded(std::string_view text, bool caseSensitive) {
    std::string folded(text);
    if (!caseSensitive)
        for (char& c : folded)
            if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return folded;
}

bool WordAt(std::string_view text, size_t at) {
    return at < text.size() && IsWordChar(static_cast<unsigned char>(text[at]));
}

bool Trimmed(std::string_view s) {
    return s.empty() || (static_cast<unsigned char>(s.front()) > 32 &&
                         static_cast<unsigned char>(s.back()) > 32);
}

int64_t ReferenceFind(std::string_view block, std::string_view bytes, size_t start) {
    if (bytes.empty() || start > block.size()) return -1;
    size_t at = block.find(bytes, start);
    return at == std::string_view::npos ? -1 : int64_t(at);
}

// Every occurrence in the block as it was, applied at positions corrected by the shift.
bool ReferenceAllInBlock(std::string& block, std::string_view search, std::string_view with,
                         bool caseSensitive, bool wholeWords) {
    if (search.empty()) return false;
    const std::string probe = Folded(block, caseSensitive);
    const size_t n = search.size();
    int64_t shift = 0;
    bool found = false;
    for (size_t start = 0; start < probe.size();) {
        int64_t p = ReferenceFind(probe, search, start);
        if (p < 0) break;
        const size_t at = size_t(p);
        const bool rejected =
            wholeWords && ((at > 0 && WordAt(probe, at - 1)) || WordAt(probe, at + n));
        if (!rejected) {
            found = true;
            const size_t where = size_t(int64_t(at) + shift);
            block = block.substr(0, where) + std::string(with) + block.substr(where + n);
            shift += int64_t(with.size()) - int64_t(n);
        }
        start = at + n;
    }
    return found;
}

struct RefLine {
    explicit RefLine(std::string line) : text(std::move(line)) {}
    std::string text;
    bool dropped = false;
    bool commented = false;
    std::string original;
};

bool RefPrelude(const LineRuleOptions& o, const RefLine& line) {
    if (line.commented) return false;
    if (o.commentPrefix.empty()) return true;
    const std::string folded = Folded(line.text, o.caseSensitive);
    return folded.compare(0, o.commentPrefix.size(), Folded(o.commentPrefix, o.caseSensitive)) != 0;
}

bool RefStore(const LineRuleOptions& o, RefLine& line, std::string next) {
    if (next == line.text) return false;
    if (!o.commentPrefix.empty()) {
        line.commented = true;
        line.original = line.text;
    } else if (next.empty()) {
        line.dropped = true;
    }
    line.text = std::move(next);
    return true;
}

bool RefPlain(const ReplacePairs& pairs, const LineRuleOptions& o, RefLine& line) {
    if (!RefPrelude(o, line)) return false;
    const std::string folded = Folded(line.text, o.caseSensitive);
    for (size_t i = 0; i < pairs.SearchStrings.size(); ++i) {
        const std::string& s = pairs.SearchStrings[i];
        if (s.empty()) continue;
        const size_t pos = folded.find(s);
        if (pos == std::string::npos) continue;
        if (o.wholeWords &&
            ((pos > 0 && WordAt(folded, pos - 1)) || WordAt(folded, pos + s.size())))
            continue;
        std::string next =
            line.text.substr(0, pos) + pairs.ReplaceStrings[i] + line.text.substr(pos + s.size());
        if (RefStore(o, line, std::move(next))) return true;
    }
    return false;
}

bool StartsCharacter(std::string_view text, size_t at) {
    return at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
}

// Widest window first, leftmost among equals; windows on whole UTF-8 characters.
bool RefPattern(const ReplacePairs& pairs, const LineRuleOptions& o, RefLine& line) {
    if (!RefPrelude(o, line)) return false;
    const std::string folded = Folded(line.text, o.caseSensitive);
    for (size_t i = 0; i < pairs.SearchStrings.size(); ++i) {
        const std::string& p = pairs.SearchStrings[i];
        if (p.empty()) continue;
        const size_t widest = p.find('*') != std::string::npos ? folded.size() : p.size();
        if (p.size() > widest) continue;
        for (size_t w = widest + 1; w-- > p.size();) {
            for (size_t s = 0; s + w <= folded.size(); ++s) {
                if (!StartsCharacter(folded, s) || !StartsCharacter(folded, s + w)) continue;
                if (!WildcardMatch(std::string_view(folded).substr(s, w), p)) continue;
                std::string next =
                    line.text.substr(0, s) + pairs.ReplaceStrings[i] + line.text.substr(s + w);
                if (RefStore(o, line, std::move(next))) return true;
            }
        }
    }
    return false;
}

bool Same(const EditedLine& a, const RefLine& b) {
    return a.text == b.text && a.dropped == b.dropped && a.commented == b.commented &&
           (!b.commented || a.original == b.original);
}

// The lines as the run splits them: at CR LF, LF or CR, each with its own terminator.
struct SplitLine {
    std::string text;
    std::string terminator;
};
std::vector<SplitLine> SplitLines(std::string_view text) {
    std::vector<SplitLine> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) {
            lines.push_back({std::string(text.substr(at)), ""});
            break;
        }
        size_t length =
            (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
        lines.push_back(
            {std::string(text.substr(at, end - at)), std::string(text.substr(end, length))});
        at = end + length;
    }
    return lines;
}

// A writing run over one text file, as the plain rules would rewrite it; false when no
// line changed.
bool ReferenceRewrite(std::string_view text, const ReplacePairs& pairs, const LineRuleOptions& o,
                      bool pattern, const std::string& linePattern, std::string& out) {
    std::string firstEnd = "\r\n";
    size_t at = text.find_first_of("\r\n");
    if (at != std::string_view::npos)
        firstEnd = (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
                       ? "\r\n"
                       : std::string(1, text[at]);
    bool changed = false;
    out.clear();
    for (const SplitLine& split : SplitLines(text)) {
        RefLine line{split.text};
        bool lineChanged = false;
        if (!split.text.empty() &&
            (linePattern.empty() ||
             WildcardMatch(Folded(split.text, o.caseSensitive), linePattern))) {
            if (pattern) {
                lineChanged = RefPattern(pairs, o, line);
            } else {
                const size_t bound = 16 * (split.text.size() + 64);
                for (size_t calls = 0; calls < bound && RefPlain(pairs, o, line); ++calls)
                    lineChanged = true;
            }
        }
        changed |= lineChanged;
        if (!lineChanged) {
            out += split.text + split.terminator;
            continue;
        }
        if (line.commented)
            out += o.commentPrefix + line.original +
                   (split.terminator.empty() ? firstEnd : split.terminator);
        if (!line.dropped) out += line.text + split.terminator;
    }
    return changed;
}

// Kept from input to input, as a run keeps its buffers from file to file: a new megabyte
// for every input would cost more than the rules themselves.
struct World {
    World() { c.registry.Write(RegistryRoot::ClassesRoot, ".txt", "PerceivedType", "text"); }
    fuzz::Context c;
    SearchCriteria criteria;
    FakeReplaceHost host;
    FakeReplaceFiles files;
    ReplaceRun run{c.ctx, criteria, host, files};
};

// One run over one file; the file's bytes afterwards, and whether the run listed it.
std::string RunOver(World& w, const std::string& path, const std::string& data, bool write,
                    bool& listed) {
    w.files.files.clear();
    w.files.Add(path, data);
    w.criteria.Replace = write;
    w.host.searchResult = {path};
    w.run.RunSearchReplace(false);
    listed = !w.run.MatchedFiles.empty();
    // A failure is a timed level-3 line; the lines a dry run quotes may hold "!!" too.
    for (const std::string& line : w.host.lines)
        if (!line.empty() && line[0] != ' ' && line.find(">    !!") != std::string::npos &&
            line.find(">    !!") == line.find('>'))
            fuzz::Broken("a run on memory failed", line);
    if (w.files.Find(path + ".out")) fuzz::Broken("a replacement was left behind", path);
    return w.files.Data(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 3000) return 0;
    const uint8_t flags = data[0];
    const bool caseSensitive = flags & 1, wholeWords = flags & 2, pattern = flags & 4;
    const std::string prefix = (flags & 8) ? ((flags & 16) ? "Rem" : ";") : "";
    auto [pairsText, rest] = fuzz::SplitAtNul(fuzz::AsText(data + 1, size - 1));
    auto [body, linePatternText] = fuzz::SplitAtNul(rest);
    std::vector<std::string> lines;
    for (size_t at = 0; at <= pairsText.size();) {
        size_t end = std::min(pairsText.find('\n', at), pairsText.size());
        lines.emplace_back(pairsText.substr(at, end - at));
        at = end + 1;
    }
    if (lines.size() > 4) return 0;

    // The pairs box.
    const ReplacePairs pairs = ParseReplacePairs(lines, caseSensitive);
    if (pairs.PairCount != int32_t(lines.size()) || pairs.SearchStrings.size() != lines.size() ||
        pairs.ReplaceStrings.size() != lines.size())
        fuzz::Broken("a pair per line", pairsText);
    bool safe = true;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& s = pairs.SearchStrings[i];
        if (!Trimmed(s) || !Trimmed(pairs.ReplaceStrings[i]))
            fuzz::Broken("untrimmed pair", lines[i]);
        if (!caseSensitive && Folded(s, false) != s) fuzz::Broken("unfolded search string", s);
        for (const std::string& r : pairs.ReplaceStrings)
            if (!s.empty() && LowerCase(r).find(LowerCase(s)) != std::string::npos) safe = false;
    }
    if (CheckPairsSafe(pairs, {}) != safe) fuzz::Broken("CheckPairsSafe disagrees", pairsText);

    // The byte search and the block rule, on the body as one block.
    const std::string block(body.substr(0, 2 * kBinaryBlockSize));
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& s = pairs.SearchStrings[i];
        for (size_t start : {size_t(0), size_t(1), block.size() / 2, block.size()})
            if (FindBytes(block, s, start) != ReferenceFind(block, s, start))
                fuzz::Broken("FindBytes disagrees", s, block);
        if (!s.empty()) {
            LiteralFinder literal(s, caseSensitive);
            const std::string probe = Folded(block, caseSensitive);
            for (size_t start : {size_t(0), block.size() / 3})
                // npos reads as -1.
                if (int64_t(literal.Find(block, start)) != ReferenceFind(probe, s, start))
                    fuzz::Broken("LiteralFinder disagrees", s, block);
        }
        std::string mine = block, theirs = block;
        const std::string probe = Folded(block, caseSensitive);
        bool a = ReplaceAllInBlock(mine, probe, ByteFinder(s), pairs.ReplaceStrings[i], wholeWords);
        bool b = ReferenceAllInBlock(theirs, s, pairs.ReplaceStrings[i], caseSensitive, wholeWords);
        if (a != b || mine != theirs) fuzz::Broken("ReplaceAllInBlock disagrees", s, block);
    }

    // The line rules, line by line.
    const LineRuleOptions options{caseSensitive, wholeWords, prefix};
    const size_t longest = pattern ? kLongestLineForPatterns : 400;
    for (const SplitLine& split : SplitLines(body)) {
        if (split.text.size() > longest) continue;
        EditedLine line{split.text};
        RefLine ref{split.text};
        LineChange change;
        if (pattern) {
            const std::string before = line.text;
            bool a = PatternReplaceInLine(pairs, options, line, &change);
            bool b = RefPattern(pairs, options, ref);
            if (a != b || !Same(line, ref)) fuzz::Broken("PatternReplaceInLine disagrees", before);
            if (a && (change.before != before || change.after != line.text))
                fuzz::Broken("the pattern rule reports another change", before);
            continue;
        }
        for (int calls = 0; calls < 64; ++calls) {
            const std::string before = line.text;
            bool a = ReplaceFirstInLine(pairs, options, line, &change);
            bool b = RefPlain(pairs, options, ref);
            if (a != b || !Same(line, ref)) fuzz::Broken("ReplaceFirstInLine disagrees", before);
            if (!a) break;
            if (change.before != before || change.after != line.text)
                fuzz::Broken("the plain rule reports another change", before);
        }
    }

    // Whole runs: the shortcuts must give what the plain rules give.
    if (!safe || lines.empty() || body.size() > 1500) return 0;
    if (pattern && std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
            return l.find('*') != std::string::npos;
        })) {
        for (const SplitLine& split : SplitLines(body))
            if (split.text.size() > kLongestLineForPatterns) return 0;
    }
    static World w;
    w.criteria.Logfile.clear();
    w.criteria.SearchReplaceLines = lines;
    w.criteria.CaseSensitive = caseSensitive;
    w.criteria.WholeWords = wholeWords;
    w.criteria.PatternMatch = pattern;
    w.criteria.CommentChanges = !prefix.empty();
    w.criteria.CommentChar = prefix;
    w.criteria.IncludePattern = std::string(linePatternText.substr(0, 16));
    const std::string linePattern =
        caseSensitive ? w.criteria.IncludePattern : LowerCase(w.criteria.IncludePattern);

    std::string expected;
    const bool changes = ReferenceRewrite(body, pairs, options, pattern, linePattern, expected);
    bool listed = false;
    const std::string text(body);
    if (RunOver(w, "C:\\t\\dry.txt", text, false, listed) != text)
        fuzz::Broken("a dry run wrote", text);
    if (listed != changes) fuzz::Broken("a dry run lists the file iff a line changes", text);
    const std::string written = RunOver(w, "C:\\t\\f.txt", text, true, listed);
    if (written != (changes ? expected : text))
        fuzz::Broken("a text rewrite differs", text, written);

    // A non-text file: a first block no search string can change unless it holds 0x01
    // bytes, then the body; every 1024-byte block on its own, all pairs in order.
    const std::string binary = std::string(kBinaryBlockSize, '\x01') + text;
    std::string expectedBinary;
    bool hit = false;
    for (size_t at = 0; at < binary.size(); at += kBinaryBlockSize) {
        std::string piece = binary.substr(at, kBinaryBlockSize);
        for (size_t i = 0; i < lines.size(); ++i)
            hit |= ReferenceAllInBlock(piece, pairs.SearchStrings[i], pairs.ReplaceStrings[i],
                                       caseSensitive, wholeWords);
        expectedBinary += piece;
    }
    const std::string writtenBinary = RunOver(w, "C:\\t\\f.bin", binary, true, listed);
    if (writtenBinary != (hit ? expectedBinary : binary))
        fuzz::Broken("a block rewrite differs", text, writtenBinary);
    if (listed != hit) fuzz::Broken("a non-text file is listed iff a block changes", text);
    return 0;
}
