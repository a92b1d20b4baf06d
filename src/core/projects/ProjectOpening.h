#pragma once

#include <filesystem>
#include <optional>

#include "core/maps/EngineSetup.h"
#include "core/projects/PendingSelection.h"

namespace kelvane {

// What naming a folder on the command line opens, as if picked in the
// Project Manager: a project folder opens its last session, a session folder
// with logs itself (its parent is the project); every log of the session and
// the first map of each starting box. Nothing for any other folder.
std::optional<TPendingSelection> FolderSelection(const std::filesystem::path& folder,
                                                 const TEngineSetup& setup);

}  // namespace kelvane
