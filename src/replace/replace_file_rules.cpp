// The rules over one file: the line rules over a text file and the block rule over any other
// file, each ending in a rewrite when the run writes and something changed.
#include <algorithm>

#include "base/wildcard.h"
#include "config/context.h"
#include "replace/replace_files.h"
#include "replace/replace_run.h"

namespace lark {

namespace {

// A text is searched this much at a time, with a look at the windows in between.
constexpr size_t kTextWindow = size_t(1) << 20;
// A non-text file is read this much at a time: whole blocks, so blocks keep their places.
constexpr size_t kBinaryChunk = size_t(1) << 20;
static_assert(kBinaryChunk % kBinaryBlockSize == 0);

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

size_t LineEndFrom(std::string_view text, size_t at) {
    size_t end = text.find_first_of("\r\n", at);
    return end == std::string_view::npos ? text.size() : end;
}

size_t TerminatorLength(std::string_view text, size_t lineEnd) {
    if (lineEnd >= text.size()) return 0;
    return (text[lineEnd] == '\r' && lineEnd + 1 < text.size() && text[lineEnd + 1] == '\n') ? 2
                                                                                             : 1;
}

// The line end the file itself uses first, for the line that comment marking adds after the
// last line when that one has none.
std::string_view FirstLineEnd(std::string_view text) {
    size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos) return "\r\n";
    return text.substr(at, TerminatorLength(text, at));
}

struct TextEdit {
    size_t start;
    size_t end;         // the line's end, before its terminator
    size_t terminator;  // its length: 0, 1 or 2
    EditedLine line;
};

}  // namespace

void ReplaceRun::ProcessTextFile(const std::string& path, std::string_view text) {
    const uint32_t startTick = ctx_.clock.TickCount();
    std::vector<TextEdit> edits;
    std::vector<size_t> lineStarts;
    // Only a line that holds one of the needles can change; the others are never looked at.
    for (size_t from = 0; from < text.size() && !AbortRequested;) {
        const size_t until = LineEndFrom(text, std::min(text.size(), from + kTextWindow));
        const std::string_view window = text.substr(0, until);
        lineStarts.clear();
        if (everyLine_) {
            for (size_t at = from; at < until;) {
                lineStarts.push_back(at);
                const size_t end = LineEndFrom(window, at);
                if (end >= until) break;
                at = end + TerminatorLength(text, end);
            }
        } else {
            for (const LiteralFinder& needle : lineNeedles_) {
                size_t lineStart = from;
                for (size_t at = from;;) {
                    const size_t hit = needle.Find(window, at);
                    if (hit == std::string_view::npos) break;
                    size_t start = hit;
                    while (start > lineStart && !IsLineEnd(text[start - 1])) --start;
                    lineStarts.push_back(start);
                    lineStart = LineEndFrom(window, hit);
                    at = lineStart;
                }
            }
            std::sort(lineStarts.begin(), lineStarts.end());
            lineStarts.erase(std::unique(lineStarts.begin(), lineStarts.end()), lineStarts.end());
        }
        for (size_t start : lineStarts) {
            const size_t end = LineEndFrom(text, start);
            if (end == start) continue;
            TextEdit edit{start, end, TerminatorLength(text, end),
                          EditedLine{std::string(text.substr(start, end - start))}};
            if (!LinePattern.empty()) {
                std::string folded = edit.line.text;
                if (!CaseSensitive) FoldAsciiBytes(folded);
                if (!WildcardMatch(folded, LinePattern)) continue;
            }
            if (ApplyLineRules(path, edit.line)) edits.push_back(std::move(edit));
            if (AbortRequested) break;
            ProcessMessages();
        }
        from = until + TerminatorLength(text, until);
        ProcessMessages();
    }
    if (edits.empty() || !WriteChanges || AbortRequested) return;

    std::string rewritten;
    rewritten.reserve(text.size() + text.size() / 8);
    const std::string_view lineEnd = FirstLineEnd(text);
    size_t copied = 0;
    for (const TextEdit& edit : edits) {
        rewritten.append(text, copied, edit.start - copied);
        const std::string_view terminator(text.data() + edit.end, edit.terminator);
        if (edit.line.commented) {
            rewritten += CommentPrefix;
            rewritten += edit.line.original;
            rewritten += edit.terminator ? terminator : lineEnd;
        }
        if (!edit.line.dropped) {
            rewritten += edit.line.text;
            rewritten += terminator;
        }
        copied = edit.end + edit.terminator;
    }
    rewritten.append(text, copied, std::string::npos);

    std::unique_ptr<ReplacementFile> replacement = files_.CreateReplacement(path, fileAttributes_);
    if (!replacement || !replacement->Write(rewritten)) {
        LogTimed("!!Re-Write file: Unable to write " + path, 3);
        return;
    }
    if (RewriteFile(path, *replacement)) LogReplaced(path, startTick);
}

bool ReplaceRun::ApplyLineRules(const std::string& path, EditedLine& line) {
    LineChange change;
    if (PatternMatching) {
        if (!PatternReplaceInLine(Pairs, lineOptions_, line, &change, [this] {
                ProcessMessages();
                return AbortRequested;
            }))
            return false;
        if (!WriteChanges) {
            ReportFile(path, false);
            LogUntimed(change.before, 2);
            LogUntimed(change.after, 2);
        }
        return true;
    }
    // A search only lists the lines that hold a search string, each once and as it stands.
    if (SearchOnly) {
        if (!ReplaceFirstInLine(Pairs, lineOptions_, line, &change)) return false;
        ReportFile(path, true);
        LogUntimed(change.before, 2);
        return true;
    }
    // The pairs are safe, so the replacements run out; the bound only guards against a
    // replacement that keeps rebuilding a search string with the text beside it.
    const size_t bound = 16 * (line.text.size() + 64);
    bool changed = false;
    for (size_t calls = 0; calls < bound; ++calls) {
        if (!ReplaceFirstInLine(Pairs, lineOptions_, line, &change)) break;
        changed = true;
        if (!WriteChanges) {
            ReportFile(path, true);
            LogUntimed("from: " + change.before, 2);
            LogUntimed("  to: " + change.after, 2);
        } else {
            // Each call reads the whole line again: a long line with many hits takes a
            // while, and a writing run logs nothing in between.
            ProcessMessages();
        }
        if (AbortRequested) break;
    }
    return changed;
}

void ReplaceRun::ProcessBinaryFile(const std::string& path, std::unique_ptr<InputFile> input) {
    LogTimed("Checking Binary " + path, 2);
    const uint32_t startTick = ctx_.clock.TickCount();
    bool hit = false;
    std::unique_ptr<ReplacementFile> replacement;
    bool writing = WriteChanges;
    if (writing) {
        replacement = files_.CreateReplacement(path, fileAttributes_);
        if (!replacement) {
            LogTimed("!!Re-Write file: Unable to write " + path, 3);
            writing = false;
        }
    }
    std::vector<uint8_t> candidates;
    std::string rewritten;
    for (std::string_view chunk = buffer_.View(); !chunk.empty(); chunk = buffer_.View()) {
        // The blocks that hold an occurrence of some search string; no other block changes.
        const size_t blocks = (chunk.size() + kBinaryBlockSize - 1) / kBinaryBlockSize;
        candidates.assign(blocks, 0);
        bool any = false;
        for (const LiteralFinder& needle : blockNeedles_) {
            const size_t n = needle.Size();
            for (size_t at = 0;;) {
                const size_t p = needle.Find(chunk, at);
                if (p == std::string_view::npos) break;
                const size_t block = p / kBinaryBlockSize;
                const size_t blockEnd = std::min(chunk.size(), (block + 1) * kBinaryBlockSize);
                if (p + n <= blockEnd) {
                    candidates[block] = 1;
                    any = true;
                    at = blockEnd;
                } else {
                    at = p + 1;
                }
            }
        }
        rewritten.clear();
        size_t copied = 0;
        for (size_t block = 0; any && block < blocks && !AbortRequested; ++block) {
            if (!candidates[block]) continue;
            const size_t offset = block * kBinaryBlockSize;
            std::string data(chunk.substr(offset, kBinaryBlockSize));
            if (!ReplaceInBlock(path, data)) continue;
            hit = true;
            rewritten.append(chunk, copied, offset - copied);
            rewritten += data;
            copied = offset + std::min(kBinaryBlockSize, chunk.size() - offset);
        }
        if (AbortRequested) break;
        if (writing) {
            bool written = copied == 0 ? replacement->Write(chunk)
                                       : replacement->Write(rewritten.append(chunk, copied));
            if (!written) {
                LogTimed("!!Re-Write file: Unable to write " + path, 3);
                writing = false;
                replacement.reset();
            }
        }
        // Once a file is reported, a run that does not write has nothing more to find in it.
        if (!WriteChanges && FileReported) break;
        ProcessMessages();
        if (AbortRequested) break;
        buffer_.SetSize(0);
        buffer_.Reserve(kBinaryChunk);
        size_t have = 0;
        while (have < kBinaryChunk) {
            int64_t got = input->Read(buffer_.Data() + have, kBinaryChunk - have);
            if (got < 0) {
                LogTimed("!!Unable to read " + path, 3);
                return;
            }
            if (got == 0) break;
            have += size_t(got);
        }
        buffer_.SetSize(have);
    }
    input.reset();
    // A file stopped half-way keeps its content: the partial replacement is dropped.
    if (AbortRequested || !hit || !writing) return;
    if (RewriteFile(path, *replacement)) LogReplaced(path, startTick);
}

bool ReplaceRun::ReplaceInBlock(const std::string& path, std::string& block) {
    bool found = false;
    bool probeCurrent = false;
    for (size_t i = 0; i < finders_.size(); ++i) {
        if (!CaseSensitive && !probeCurrent) {
            probe_.assign(block);
            FoldAsciiBytes(probe_);
            probeCurrent = true;
        }
        const std::string_view probe = CaseSensitive ? std::string_view(block) : probe_;
        // Later pairs see the block as earlier ones left it.
        if (ReplaceAllInBlock(block, probe, finders_[i], Pairs.ReplaceStrings[i], WholeWords)) {
            found = true;
            probeCurrent = false;
            ReportFile(path, true);
        }
        if (AbortRequested) break;
    }
    return found;
}

}  // namespace lark
