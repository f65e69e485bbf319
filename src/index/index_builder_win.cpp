#include "index/index_builder_win.h"

#include <windows.h>

#include <thread>

#include "base/file_helpers.h"
#include "config/context.h"
#include "index/index_service_win.h"
#include "index/index_walk_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"

namespace lark {

namespace {

// How long a build that found the index file held open waits before watching for the
// next change.
constexpr DWORD kOpenRetryMs = 3000;

class FileSink final : public ByteSink {
  public:
    explicit FileSink(HANDLE file) : file_(file) {}
    bool Write(const char* data, size_t size) override {
        while (size > 0) {
            DWORD chunk = size > 0x40000000 ? 0x40000000 : DWORD(size);
            DWORD written = 0;
            if (!WriteFile(file_, data, chunk, &written, nullptr) || written == 0) return false;
            data += written;
            size -= written;
        }
        return true;
    }

  private:
    HANDLE file_;
};

struct BuildJob {
    IndexService* service;
    std::shared_ptr<UiDispatch> ui;
    std::string includeText;
    std::string excludeText;
    UniqueFile file;  // empty when opening failed
    uint64_t build = 0;
    std::shared_ptr<std::atomic<bool>> ended;
};

void RunBuild(BuildJob& job) {
    if (!job.file) {
        Sleep(kOpenRetryMs);
        job.ui->Run([&] { job.service->BuildOpenFailed(job.includeText, job.excludeText); });
        return;
    }
    DWORD startTick = GetTickCount();
    WalkResult result;
    {
        FileSink sink(job.file.Get());
        IndexWriter writer(sink);
        result = WriteIndex(writer, job.includeText, job.excludeText);
    }
    // Closed in every case, so that a build after a failed one can replace the file.
    job.file.Reset();
    if (result.writeFailed) return;
    job.ui->Run([&] {
        job.service->BuildFinished(job.build, result.fileCount, GetTickCount() - startTick,
                                   job.includeText, job.excludeText);
    });
}

}  // namespace

std::shared_ptr<const std::atomic<bool>> TBuildPathList::Start(IndexService& service,
                                                               std::string includeText,
                                                               std::string indexPath,
                                                               std::string excludeText) {
    AppContext& ctx = service.Context();
    if (!ForceFolders(ctx.fs, indexPath)) return nullptr;
    auto job = std::make_unique<BuildJob>();
    job->service = &service;
    job->ui = service.Ui();
    job->includeText = std::move(includeText);
    job->excludeText = std::move(excludeText);
    job->file.Reset(CreateFileW(WidePath(indexPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    bool opened = bool(job->file);
    if (opened) job->build = service.BuildStarting();
    auto ended = std::make_shared<std::atomic<bool>>(false);
    job->ended = ended;
    try {
        std::thread([job = std::move(job)]() mutable {
            try {
                RunBuild(*job);
            } catch (...) {
            }
            *job->ended = true;
        }).detach();
    } catch (...) {
        *ended = true;
    }
    if (!opened) return nullptr;
    return ended;
}

}  // namespace lark
