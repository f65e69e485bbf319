#pragma once
// Stand-ins for what the file actions ask of the window, the shell and zlib, working on the
// in-memory file system so that what the commands do can be read back from it.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "actions/compressed_copy.h"
#include "actions/file_actions.h"
#include "base/text.h"
#include "platform/fake/fake_platform.h"
#include "platform/shell.h"

namespace lark {

// "Compresses" into a marked copy, so a test can tell which way the bytes went.
class FakeGzipStreams final : public GzipStreams {
  public:
    explicit FakeGzipStreams(FakeFileSystem& fs) : fs_(fs) {}
    static std::string Packed(std::string_view data) { return "GZ(" + std::string(data) + ")"; }

    bool Compress(std::string_view source, std::string_view target, std::string_view mode,
                  std::string& error) override {
        calls.push_back("compress " + std::string(source) + " > " + std::string(target) + " " +
                        std::string(mode));
        auto data = fs_.ReadWhole(source);
        if (!data || !fs_.WriteWhole(target, Packed(*data))) {
            error = "cannot write " + std::string(target);
            return false;
        }
        return true;
    }
    bool Decompress(std::string_view source, std::string_view target, std::string& error) override {
        calls.push_back("decompress " + std::string(source) + " > " + std::string(target));
        auto data = fs_.ReadWhole(source);
        if (!data || data->size() < 4 || data->compare(0, 3, "GZ(") != 0 || data->back() != ')') {
            error = "not in gzip format: " + std::string(source);
            return false;
        }
        if (!fs_.WriteWhole(target, data->substr(3, data->size() - 4))) {
            error = "cannot write " + std::string(target);
            return false;
        }
        return true;
    }
    std::vector<std::string> calls;

  private:
    FakeFileSystem& fs_;
};

class RecordingShell final : public ShellExecutor {
  public:
    intptr_t Execute(const ShellRequest& r) override {
        requests.push_back(r);
        return result;
    }
    std::vector<ShellRequest> requests;
    intptr_t result = 42;
};

// The window: the open box, a selection, the keys held, and a shell that deletes for real in
// the in-memory file system unless the user "cancels".
class FakeFileActionsHost final : public FileActionsHost {
  public:
    explicit FakeFileActionsHost(FakeFileSystem& fs) : fs_(fs) {}

    std::string OpenBoxText() override { return openBox; }
    void SetOpenBoxText(std::string_view text) override { openBox = text; }
    std::optional<size_t> FirstSelectedRow() override { return selectedRow; }
    void RepaintList() override { ++repaints; }
    void BeginLabelEdit(size_t row) override { labelEdits.push_back(row); }
    bool ControlKeyDown() override { return controlDown; }
    void SetBusyCursor(bool busy) override {
        busyDepth += busy ? 1 : -1;
        if (busy) ++busyTimes;
    }
    bool ShellDeleteFiles(const std::vector<std::string>& paths, bool permanent) override {
        deletes.push_back({paths, permanent});
        if (cancelDelete) return false;
        for (const auto& p : paths) fs_.RemoveFile(p);
        return true;
    }
    EraseResult EraseFile(std::string_view path) override {
        erased.emplace_back(path);
        if (unopenable.count(std::string(path))) return EraseResult::NotOpened;
        return fs_.RemoveFile(path) ? EraseResult::Erased : EraseResult::Failed;
    }
    std::optional<std::string> AskTargetPath(const TargetDialog& d) override {
        dialogs.push_back(d);
        return answer;
    }
    void ShowShellContextMenu(std::string_view path) override { contextMenus.emplace_back(path); }
    void HideWindow() override { ++hides; }
    void StartIndexBuild() override { ++indexBuilds; }
    void* OwnerWindow() override { return this; }

    struct Delete {
        std::vector<std::string> paths;
        bool permanent;
    };
    std::string openBox;
    std::optional<size_t> selectedRow;
    bool controlDown = false, cancelDelete = false;
    std::set<std::string> unopenable;
    std::optional<std::string> answer;
    std::vector<Delete> deletes;
    std::vector<std::string> erased, contextMenus;
    std::vector<size_t> labelEdits;
    std::vector<TargetDialog> dialogs;
    int repaints = 0, busyDepth = 0, busyTimes = 0, hides = 0, indexBuilds = 0;

  private:
    FakeFileSystem& fs_;
};

}  // namespace lark
