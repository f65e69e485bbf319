#include "actions/insert_into_dialog.h"

#include <map>

#include "base/text.h"

namespace lark {
namespace {

constexpr std::string_view kSwitchBack = "%{TAB}";
constexpr std::string_view kPaste = "^v";

// "<base> (n)<ext>" for the file name part of name.
std::string NumberedName(std::string_view name, int n) {
    size_t dot = name.rfind('.');
    if (dot == 0 || dot == std::string_view::npos) dot = name.size();
    return std::string(name.substr(0, dot)) + " (" + std::to_string(n) + ")" +
           std::string(name.substr(dot));
}

}  // namespace

void InsertIntoPreviousWindow(InsertTarget& target, const std::string& text) {
    const InsertTarget::Return back = target.BringBackPreviousWindow();
    if (back == InsertTarget::Return::Gone) target.SendKeyScript(kSwitchBack, 1);
    target.ProcessMessages();
    if (!target.SetClipboardText(text)) return;
    if (back == InsertTarget::Return::Refused) return;
    target.SendKeyScript(kPaste, 1);
}

void InsertIntoDialog(InsertHost& host, std::string_view openBoxText) {
    host.hideWindow();
    // An empty box has nothing to paste; the clipboard is left as the user had it.
    if (openBoxText.empty()) return;
    host.insertIntoPreviousWindow(std::string(openBoxText));
}

void InsertCompressed(InsertHost& host, std::string_view openBoxText) {
    std::string list = MakeCompressedCopies(openBoxText, host.tempFolder, host.copyConvertingGzip);
    host.hideWindow();
    if (!list.empty()) host.insertIntoPreviousWindow(list);
}

std::string MakeCompressedCopies(
    std::string_view openBoxText, std::string_view tempFolder,
    const std::function<bool(std::string_view, std::string_view)>& copyConvertingGzip) {
    std::string rest(openBoxText);
    std::string list;
    // Copies made by this run, by lower-cased target: whose copy each one is.
    std::map<std::string, std::string> made;
    while (!rest.empty()) {
        std::string path = Trim(SplitNextToken(rest, ";"));
        if (path.empty()) continue;
        const std::string name(FileNameOf(path));
        std::string target;
        for (int n = 1;; ++n) {
            target =
                std::string(tempFolder) + "\\" + (n == 1 ? name : NumberedName(name, n)) + ".gz";
            auto earlier = made.find(LowerCase(target));
            if (earlier == made.end() || SameTextIgnoringCase(earlier->second, path)) break;
        }
        if (!copyConvertingGzip(path, target)) continue;
        made[LowerCase(target)] = path;
        list += target + ";";
    }
    if (!list.empty()) list.pop_back();
    return list;
}

}  // namespace lark
