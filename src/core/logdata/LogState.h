#pragma once

#include "core/logdata/KelvaneDefs.h"
#include "core/logdata/OpenFilesList.h"

namespace kelvane {

// Everything the plot knows about its loaded logs; the program's state object embeds one.
struct TLogState {
    TLogData Data;
    TColumnSet ColumnPresent{};  // which columns any loaded file carries
    TOpenFiles OpenFiles;
};

}  // namespace kelvane
