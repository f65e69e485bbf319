#pragma once
// Stand-ins for zlib, the shell and the window of the file actions, on the in-memory file
// system, so that what a command did can be read back from it.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "actions/compressed_copy.h"
#include "actions/file_actions.h"
#include "platform/fake/fake_platform.h"
#include "platform/shell.h"

namespace lark {

// "Compresses" into a marked copy, so a test can tell which way the bytes went.
class FakeGzipStreams final : public GzipStreams {
  public:
    explicit FakeGzipStreams(FakeFileSystem& fs) : fs_(fs) {}
    static std::string Packed(std::string_view data) { return "GZ(" + std::string(data) + ")"; }

    bool Compress(std::string_view source, std::string_view target, std::string_view,
                  std::string& error) override {
        auto data = fs_.ReadWhole(source);
        return Write(target, data ? std::optional(Packed(*data)) : std::nullopt, error);
    }
    bool Decompress(std::string_view source, std::string_view target, std::string& error) override {
        auto data = fs_.ReadWhole(source);
        if (!data || data->size() < 4 || data->compare(0, 3, "GZ(") != 0 || data->back() != ')')
            data.reset();
        else
            data = data->substr(3, data->size() - 4);
        return Write(target, data, error);
    }

  private:
    bool Write(std::string_view target, const std::optional<std::string>& data,
               std::string& error) {
        if (data && fs_.WriteWhole(target, *data)) return true;
        error = "cannot write " + std::string(target);
        return false;
    }
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

// The open box, a selection, the keys held, a Save dialog's answer, and a shell that deletes
// for real on the in-memory disk unless the user cancels.
class FakeFileActionsHost final : public FileActionsHost {
  public:
    explicit FakeFileActionsHost(FakeFileSystem& fs) : fs_(fs) {}

    std::string OpenBoxText() override { return openBox; }
    void SetOpenBoxText(std::string_view text) override { openBox = text; }
    std::optional<size_t> FirstSelectedRow() override { return selectedRow; }
    void RepaintList() override {}
    void BeginLabelEdit(size_t row) override { labelEdits.push_back(row); }
    bool ControlKeyDown() override { return controlDown; }
    void SetBusyCursor(bool busy) override {
        busyDepth += busy ? 1 : -1;
        busyTimes += busy;
    }
    bool ShellDeleteFiles(const std::vector<std::string>& paths, bool permanent) override {
        deletes.push_back({paths, permanent});
        for (const auto& p : paths)
            if (!cancelDelete) fs_.RemoveFile(p);
        return !cancelDelete;
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
    int busyDepth = 0, busyTimes = 0, hides = 0, indexBuilds = 0;

  private:
    FakeFileSystem& fs_;
};

}  // namespace lark
