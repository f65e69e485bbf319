#pragma once
// In-memory stand-ins for a run's disk and windows.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "replace/replace_files.h"
#include "replace/replace_run.h"

namespace lark {

class FakeReplaceFiles final : public ReplaceFiles {
  public:
    struct File {
        std::string data;
        uint32_t attributes = kAttrArchive;
        FileTimes times{1000, 2000, 3000};
    };
    std::map<std::string, File> files;  // key: upper-cased path
    std::set<std::string> unreadable, stuckReadOnly, failBackup, failCommit, failLog;
    int commits = 0;

    File& Add(const std::string& path, std::string data) {
        File& f = files[UpperCase(path)];
        f.data = std::move(data);
        return f;
    }
    const File* Find(const std::string& path) const {
        auto it = files.find(UpperCase(path));
        return it == files.end() ? nullptr : &it->second;
    }
    std::string Data(const std::string& path) const {
        const File* f = Find(path);
        return f ? f->data : "<missing>";
    }

    std::optional<FileInfo> Stat(std::string_view path) override {
        const File* f = Find(std::string(path));
        if (!f) return std::nullopt;
        FileInfo info;
        info.attributes = f->attributes;
        info.size = f->data.size();
        return info;
    }

    std::map<std::string, int> openInputs;

    class Input final : public InputFile {
      public:
        Input(FakeReplaceFiles& owner, std::string key, std::string data, FileTimes times)
            : owner_(owner), key_(std::move(key)), data_(std::move(data)), times_(times) {
            ++owner_.openInputs[key_];
        }
        std::optional<FileTimes> Times() const override { return times_; }
        uint32_t Attributes() const override { return attributes_; }
        uint32_t attributes_ = 0;
        ~Input() override { --owner_.openInputs[key_]; }
        uint64_t Size() const override { return data_.size(); }
        int64_t Read(char* into, size_t count) override {
            size_t n = std::min(count, data_.size() - at_);
            data_.copy(into, n, at_);
            at_ += n;
            return int64_t(n);
        }

      private:
        FakeReplaceFiles& owner_;
        std::string key_;
        std::string data_;
        FileTimes times_;
        size_t at_ = 0;
    };
    std::unique_ptr<InputFile> OpenRead(std::string_view path) override {
        const File* f = Find(std::string(path));
        if (!f || unreadable.count(UpperCase(path)) || (f->attributes & kAttrDirectory))
            return nullptr;
        auto input = std::make_unique<Input>(*this, UpperCase(path), f->data, f->times);
        input->attributes_ = f->attributes;
        return input;
    }

    class Output : public OutputFile {
      public:
        Output(FakeReplaceFiles& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
        bool Write(std::string_view data) override {
            owner_.files[UpperCase(path_)].data += data;
            return true;
        }

      protected:
        FakeReplaceFiles& owner_;
        std::string path_;
    };
    std::unique_ptr<OutputFile> CreateLog(std::string_view path) override {
        if (failLog.count(UpperCase(path))) return nullptr;
        Add(std::string(path), "");
        return std::make_unique<Output>(*this, std::string(path));
    }

    class Replacement final : public ReplacementFile {
      public:
        Replacement(FakeReplaceFiles& owner, std::string target)
            : owner_(owner), target_(std::move(target)), out_(owner, target_ + ".out") {
            owner_.Add(target_ + ".out", "");
        }
        ~Replacement() override {
            if (!committed_) owner_.files.erase(UpperCase(target_ + ".out"));
        }
        bool Write(std::string_view data) override { return out_.Write(data); }
        bool Commit(uint32_t attributes, const FileTimes& times) override {
            std::string out = UpperCase(target_ + ".out");
            // Like Windows, a file open for reading cannot be replaced.
            if (owner_.failCommit.count(UpperCase(target_)) ||
                owner_.openInputs[UpperCase(target_)] > 0)
                return false;
            File f = owner_.files[out];
            owner_.files.erase(out);
            f.attributes = attributes;
            f.times = {times.creation ? times.creation : 7777,
                       times.lastAccess ? times.lastAccess : 8888,
                       times.lastWrite ? times.lastWrite : 9999};
            owner_.files[UpperCase(target_)] = f;
            committed_ = true;
            ++owner_.commits;
            return true;
        }

      private:
        FakeReplaceFiles& owner_;
        std::string target_;
        Output out_;
        bool committed_ = false;
    };
    std::unique_ptr<ReplacementFile> CreateReplacement(std::string_view path, uint32_t) override {
        return std::make_unique<Replacement>(*this, std::string(path));
    }
    bool SetAttributes(std::string_view path, uint32_t attributes) override {
        File* f = &files[UpperCase(path)];
        if (stuckReadOnly.count(UpperCase(path))) return false;
        f->attributes = attributes;
        return true;
    }
    bool CopyForBackup(std::string_view path, std::string_view backupPath) override {
        if (failBackup.count(UpperCase(path))) return false;
        Add(std::string(backupPath), Data(std::string(path)));
        return true;
    }
};

class FakeReplaceHost final : public ReplaceHost {
  public:
    std::vector<std::string> lines, found, searchResult;
    int clears = 0, searches = 0, shows = 0, pumps = 0, progressShown = 0, progressHidden = 0;
    int32_t progressMax = -1, progressAdvanced = 0;
    bool quitting = false;
    std::function<void()> onPump;

    void ShowActivityWindow() override { ++shows; }
    void ClearStatus() override {
        ++clears;
        lines.clear();
    }
    void AddStatusLine(std::string_view line) override { lines.emplace_back(line); }
    bool ProcessMessages() override {
        ++pumps;
        if (onPump) onPump();
        return !quitting;
    }
    void SearchIndex() override {
        ++searches;
        found = searchResult;
    }
    std::vector<std::string> FoundFiles() override { return found; }
    void SetFoundFiles(std::vector<std::string> paths) override { found = std::move(paths); }
    void ShowProgressStrip(int32_t maximum, std::string_view) override {
        ++progressShown;
        progressMax = maximum;
    }
    void AdvanceProgress(int32_t by) override { progressAdvanced += by; }
    void HideProgress() override { ++progressHidden; }
};

}  // namespace lark
