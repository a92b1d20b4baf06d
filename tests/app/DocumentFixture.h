#pragma once

#include <filesystem>
#include <memory>

#include "FakePrompts.h"
#include "app/document/KelvaneDocument.h"
#include "support/TempFolder.h"

namespace kelvane {

// A document on a temporary data folder with scripted prompts: what a tool
// window needs, without a main window.
struct TDocumentFixture {
    TTempFolder Folder;
    TFakePrompts Prompts;
    TKelvaneDocument Document{std::make_unique<TSettingsStore>(Folder.Path() / "common"), Prompts, true};

    TKelvaneState& State() { return Document.State(); }
};

}  // namespace kelvane
