#pragma once
#include <string>
#include <vector>

#include "platform/messages.h"

namespace lark {

// Records every message; Confirm answers with `answer`.
class FakeMessages final : public Messages {
public:
    void Error(std::string_view text) override { errors.emplace_back(text); }
    bool Confirm(std::string_view text) override {
        confirmations.emplace_back(text);
        return answer;
    }
    void Info(std::string_view text) override { infos.emplace_back(text); }
    void Warning(std::string_view text) override { warnings.emplace_back(text); }
    std::vector<std::string> errors, confirmations, infos, warnings;
    bool answer = true;
};

}  // namespace lark
