#pragma once
// The index the benchmarks search: about a million entries in the builder's format, folders of
// mixed depth, names from common words, dates, camera numbers and a few accented ones, always
// the same for the same count.
#include <random>
#include <string>
#include <vector>

namespace bench {

inline const char* const kWords[] = {
    "report",    "budget",   "invoice",   "letter",   "meeting",  "notes",     "draft",
    "final",     "minutes",  "summary",   "project",  "plan",     "proposal",  "contract",
    "photo",     "holiday",  "family",    "scan",     "backup",   "data",      "test",
    "readme",    "setup",    "config",    "index",    "main",     "utils",     "image",
    "logo",      "icon",     "music",     "track",    "song",     "video",     "presentation",
    "slides",    "thesis",   "chapter",   "paper",    "review",   "agenda",    "schedule",
    "timesheet", "expenses", "tax",       "receipt",  "order",    "quote",     "manual",
    "guide",     "customer", "supplier",  "sales",    "annual",   "quarterly", "monthly",
    "weekly",    "travel",   "insurance", "payroll",  "staff",    "training",  "policy",
    "memo",      "brochure", "catalog",   "price",    "list",     "inventory", "stock",
    "account",   "bank",     "statement", "loan",     "mortgage", "house",     "garden",
    "recipe",    "party",    "wedding",   "birthday", "school",   "homework",  "essay",
    "lecture",   "exam",     "results",   "source",   "build",    "release",   "debug",
    "install",   "driver",   "update",    "archive",  "old",      "new",       "copy",
    "temp"};
inline const char* const kExts[] = {".doc", ".docx", ".xls",  ".xlsx", ".pdf", ".txt", ".jpg",
                                    ".JPG", ".png",  ".gif",  ".mp3",  ".wav", ".cpp", ".h",
                                    ".py",  ".js",   ".html", ".css",  ".zip", ".gz",  ".ini",
                                    ".log", ".dll",  ".exe",  ".lnk",  ".ppt", ".msg", ".rtf"};
inline const char* const kForeign[] = {"R\xc3\xa9sum\xc3\xa9",
                                       "\xc3\x9c"
                                       "bersicht",
                                       "Stra\xc3\x9f"
                                       "e",
                                       "\xe6\x97\xa5\xe6\x9c\xac",
                                       "Caf\xc3\xa9",
                                       "Se\xc3\xb1or",
                                       "\xc3\x85rsrapport"};

class IndexGenerator {
  public:
    std::string Build(int entries) {
        std::string out = "C:\\Users;D:\\Shared;::C:\\Users\\Default;\r\n";
        std::vector<std::string> stack{"C:\\Users"};
        out += stack.back() + "\\\r\n";
        int written = 1;
        while (written < entries) {
            // About one line in ten is a folder line.
            if (Below(10) == 0) {
                while (stack.size() > 1 && (stack.size() > 8 || Below(3) == 0)) stack.pop_back();
                if (Below(400) == 0) stack.assign(1, Below(2) ? "C:\\Users" : "D:\\Shared");
                stack.push_back(stack.back() + "\\" + FolderName());
                out += stack.back() + "\\\r\n";
            } else {
                out += FileName() + "\r\n";
            }
            ++written;
        }
        return out;
    }

  private:
    int Below(int n) { return int(rng_() % uint32_t(n)); }
    std::string Word() { return kWords[Below(int(std::size(kWords)))]; }
    std::string Capital(std::string w) {
        if (!w.empty() && w[0] >= 'a' && w[0] <= 'z') w[0] = char(w[0] - 32);
        return w;
    }
    std::string Digits(int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += char('0' + Below(10));
        return s;
    }
    std::string Ext() { return kExts[Below(int(std::size(kExts)))]; }
    std::string FolderName() {
        switch (Below(6)) {
            case 0:
                return Capital(Word());
            case 1:
                return Capital(Word()) + " " + std::to_string(1995 + Below(30));
            case 2:
                return Word() + "_" + Word();
            case 3:
                return std::to_string(1995 + Below(30)) + "-" + Digits(2);
            case 4:
                return Below(4) == 0 ? kForeign[Below(int(std::size(kForeign)))] : Word();
            default:
                return Capital(Word()) + " " + Capital(Word());
        }
    }
    std::string FileName() {
        switch (Below(8)) {
            case 0:
                return "IMG_" + Digits(4) + (Below(2) ? ".JPG" : ".jpg");
            case 1:
                return Capital(Word()) + " " + Word() + Ext();
            case 2:
                return Word() + "_" + std::to_string(1995 + Below(30)) + "-" + Digits(2) + "-" +
                       Digits(2) + Ext();
            case 3:
                return Word() + Digits(1 + Below(3)) + Ext();
            case 4:
                return Below(5) == 0 ? kForeign[Below(int(std::size(kForeign)))] + Ext()
                                     : Word() + Ext();
            case 5:
                return "DSC" + Digits(5) + ".JPG";
            case 6:
                return Capital(Word()) + " " + Capital(Word()) + " " + Word() + Ext();
            default:
                return Word() + "-" + Word() + Ext();
        }
    }
    std::mt19937 rng_{20040708};
};

}  // namespace bench
