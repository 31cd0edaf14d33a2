#pragma once

#include <string>
#include <vector>

#include "platform/AppError.h"
#include "platform/EventPump.h"
#include "platform/FileSystem.h"

namespace ondrevan {

enum class Walk { Descend, Skip, Stop };

// Every folder below the root, depth first, each shown to `visit` with its attributes;
// `visit` says whether to go into it, pass it over or stop. A folder that cannot be listed
// is passed over; the window answers between folders.
template <class Visit>
void WalkBelow(FileSystem& fileSystem, EventPump& pump, const std::string& root, Visit visit) {
    std::vector<std::string> pending{root};
    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        std::vector<FolderEntry> subfolders;
        try {
            subfolders = fileSystem.ListSubfolders(folder);
        } catch (const AppError&) {
            continue;
        }
        for (const FolderEntry& sub : subfolders) {
            if (sub.name == "." || sub.name == "..") continue;
            std::string inner = folder + "\\" + sub.name;
            const Walk next = visit(inner, sub.attributes);
            if (next == Walk::Stop) return;
            if (next == Walk::Descend) pending.push_back(std::move(inner));
        }
        pump.DoEvents();
    }
}

}  // namespace ondrevan
