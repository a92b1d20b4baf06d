#include "core/ground/WriteFailures.h"

#include <algorithm>

namespace kelvane {

void TWriteFailures::Add(const std::filesystem::path& file, std::string_view message) {
    const bool known =
        std::any_of(FItems.begin(), FItems.end(), [&](const TItem& item) { return item.File == file; });
    if (known) return;
    FItems.push_back({file, message.empty() ? file.string() + ": not written" : std::string(message)});
}

void TWriteFailures::Add(const TWriteFailures& other) {
    for (const TItem& item : other.FItems) Add(item.File, item.Message);
}

std::vector<std::string> TWriteFailures::Messages() const {
    std::vector<std::string> messages;
    for (const TItem& item : FItems) messages.push_back(item.Message);
    return messages;
}

std::string TWriteFailures::Text() const {
    std::string text =
        FItems.size() == 1 ? "This file could not be written:" : "These files could not be written:";
    for (const TItem& item : FItems) text += "\n" + item.Message;
    return text;
}

std::string WriteFailureText(const TIniFile2& ini) {
    TWriteFailures failures;
    failures.Add(ini);
    return failures.Text();
}

}  // namespace kelvane
