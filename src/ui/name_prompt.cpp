#include "ui/name_prompt.h"

#include <algorithm>

namespace lark {

PromptPosition PlaceNearPointer(int pointerX, int pointerY, int width, int height, int screenWidth,
                                int screenHeight) {
    PromptPosition at;
    at.left = pointerX - 10;
    at.top = std::min(pointerY - height / 3, screenHeight - height - 20);
    // A pointer near the right or top edge would leave part of the dialog off the screen.
    at.left = std::max(0, std::min(at.left, screenWidth - width));
    at.top = std::max(0, at.top);
    return at;
}

}  // namespace lark
