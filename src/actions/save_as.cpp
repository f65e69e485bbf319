// Save As and Move of the first selected file, through the compressed copy.
#include "actions/compressed_copy.h"
#include "actions/file_actions.h"
#include "base/text.h"
#include "config/context.h"
#include "views/recent_documents.h"
#include "views/view_catalogue.h"
#include "views/view_controller.h"

namespace lark {

bool FileActions::StampWithCurrentTime(std::string_view path) {
    std::optional<FileInfo> info = ctx_.fs.Stat(path);
    if (!info || info->IsFolder()) return false;
    if ((info->attributes & kAttrReadOnly) &&
        !ctx_.fs.SetAttributes(path, info->attributes & ~kAttrReadOnly))
        return false;
    return ctx_.fs.SetTimes(path, ctx_.clock.FileTimeNow());
}

bool FileActions::RemoveMovedSource(std::string_view source) {
    std::optional<FileInfo> info = ctx_.fs.Stat(source);
    if (!info) return true;  // the compression took it already
    // The user asked for the file to go; its read-only mark guards it against accidents only.
    if (info->attributes & kAttrReadOnly)
        ctx_.fs.SetAttributes(source, info->attributes & ~kAttrReadOnly);
    return ctx_.fs.RemoveFile(source);
}

void FileActions::lvSaveAsClick() {
    CopySelected(CopyKind::SaveAs);
}

void FileActions::lvMoveClick() {
    CopySelected(CopyKind::Move);
}

void FileActions::CopySelected(CopyKind kind) {
    std::optional<size_t> row = host_.FirstSelectedRow();
    if (!row || *row >= views_.Items.Count()) return;
    const FileListItem& item = views_.Items.ItemAt(*row);
    const std::string source = item.Path();
    const std::string ext = FileExtensionOf(source);

    TargetDialog dialog;
    dialog.title = kind == CopyKind::SaveAs ? "Copy As" : "Move To";
    dialog.initialFolder = item.Folder;
    dialog.fileName = item.Name;
    dialog.filter = item.TypeName + " (*." + ext + ")|*." + ext + "|All files (*.*)|*.*";
    dialog.defaultExtension = ext;
    std::optional<std::string> chosen = host_.AskTargetPath(dialog);
    if (!chosen || chosen->empty()) return;
    std::string target = *chosen;
    if (FileExtensionOf(target).empty() && !ext.empty()) target += "." + ext;
    if (SameTextIgnoringCase(target, source)) return;

    if (!copy_.CopyConvertingGzip(source, target)) {
        ctx_.messages.Error((kind == CopyKind::SaveAs ? "Unable to copy the file to: "
                                                      : "Unable to move the file to: ") +
                            target);
        return;
    }
    if (kind == CopyKind::SaveAs)
        StampWithCurrentTime(target);
    else if (!RemoveMovedSource(source))
        ctx_.messages.Error("The copy was written, but the original could not be deleted: " +
                            source);
    // A compression beside the source takes the source, as the gzip tool does.
    RemoveFromRecentDocuments(source, false);
    if (SameTextIgnoringCase(HeadChars(source, 2), HeadChars(target, 2)))
        AddToRecentDocuments(ctx_, views_.RecentDocuments, target);
    // The recent documents list the new file; any view loses a source that went.
    if (views_.CurrentViewList == &views_.RecentDocuments || !ctx_.fs.Exists(source))
        ShowCurrentViewAgain();
}

}  // namespace lark
