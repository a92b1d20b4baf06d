#include "core/ground/ThreadStringListUnit.h"

#include <utility>

namespace kelvane {

TStringItems& TThreadStringList::LockList() {
    FLock.lock();
    return FList;
}

void TThreadStringList::UnlockList() {
    FLock.unlock();
}

void TThreadStringList::Add(std::string text, std::shared_ptr<void> object) {
    std::lock_guard guard(FLock);
    FList.push_back({std::move(text), std::move(object)});
    FChanged = true;
}

void TThreadStringList::Assign(const TStringItems& items) {
    std::lock_guard guard(FLock);
    // Copy first so assigning a list to itself (through LockList) stays sound.
    TStringItems copy = items;
    FList = std::move(copy);
    FChanged = true;
}

void TThreadStringList::Assign(const std::vector<std::string>& texts) {
    std::lock_guard guard(FLock);
    TStringItems copy;
    for (const std::string& text : texts) copy.push_back({text, nullptr});
    FList = std::move(copy);
    FChanged = true;
}

void TThreadStringList::Clear() {
    std::lock_guard guard(FLock);
    FList.clear();
    FChanged = true;
}

bool TThreadStringList::Delete(std::size_t index) {
    std::lock_guard guard(FLock);
    if (index >= FList.size()) return false;
    FList.erase(FList.begin() + static_cast<std::ptrdiff_t>(index));
    FChanged = true;
    return true;
}

std::size_t TThreadStringList::Count() const {
    std::lock_guard guard(FLock);
    return FList.size();
}

std::optional<std::string> TThreadStringList::Get(std::size_t index) const {
    std::lock_guard guard(FLock);
    if (index >= FList.size()) return std::nullopt;
    return FList[index].Text;
}

bool TThreadStringList::Changed() const {
    std::lock_guard guard(FLock);
    return FChanged;
}

void TThreadStringList::MarkChanged() {
    std::lock_guard guard(FLock);
    FChanged = true;
}

void TThreadStringList::ClearChanged() {
    std::lock_guard guard(FLock);
    FChanged = false;
}

}  // namespace kelvane
