#pragma once

#include <string>
#include <vector>

#include "delete/DeletePlan.h"

namespace ondrevan {

// What the next run would do, as text: a line for each listed folder in list order, then
// the totals. Lines end with CR LF.
std::string PreviewReport(const std::vector<FolderPlan>& plans, const RunChoices& choices);

}  // namespace ondrevan
