#pragma once
// The question the "Save as Template" dialog asks, and saving a search asks with the same
// dialog: a name, and whether it is made available for all users or for the user alone.
#include <functional>
#include <string>
#include <string_view>

namespace lark {

inline constexpr std::string_view kAllUsersOption = "All users";

struct NamePrompt {
    std::string caption;
    std::string label;     // above the name box
    std::string name;      // what the name box starts with
    std::string userName;  // the second choice of "Make available for"
    bool allUsers = true;  // the first choice is selected
    // Runs on OK with the typed name; false keeps the dialog open (the user has been told
    // what is wrong with the name). Without it every name is taken.
    std::function<bool(std::string_view name)> accept;
};

struct NamePromptAnswer {
    std::string name;
    bool allUsers = true;
};

struct PromptPosition {
    int left = 0;
    int top = 0;
    bool operator==(const PromptPosition&) const = default;
};

// Where the dialog opens: just left of the mouse pointer and a third of its height above it,
// kept on the screen (at least 20 pixels above its bottom edge).
PromptPosition PlaceNearPointer(int pointerX, int pointerY, int width, int height, int screenWidth,
                                int screenHeight);

}  // namespace lark
