#pragma once

#include "core/ground/FileNameCase.h"

namespace kelvane {

// Makes file names compare with or without regard to case for one test, then
// gives the platform's own rule back.
class TFileNameCaseRule {
  public:
    explicit TFileNameCaseRule(bool ignoreCase) { SetFileNamesIgnoreCase(ignoreCase); }
    ~TFileNameCaseRule() { SetFileNamesIgnoreCase(std::nullopt); }
    TFileNameCaseRule(const TFileNameCaseRule&) = delete;
    TFileNameCaseRule& operator=(const TFileNameCaseRule&) = delete;
};

}  // namespace kelvane
