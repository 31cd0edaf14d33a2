#include "delete/DeleteRun.h"

#include "platform/ValueForms.h"

namespace ondrevan {

std::string RunOutcome(const RunTotals& totals) {
    std::string text;
    const auto add = [&text](const std::string& part) {
        text += text.empty() ? part : ", " + part;
    };
    if (totals.filesDeleted > 0)
        add(CountedText(totals.filesDeleted, "file", "files") + " deleted (" +
            SizeText(totals.bytesDeleted) + ")");
    std::string toBin;
    if (totals.filesRecycled > 0)
        toBin = CountedText(totals.filesRecycled, "file", "files") + " (" +
                SizeText(totals.bytesRecycled) + ")";
    if (totals.foldersRecycled > 0)
        toBin += (toBin.empty() ? "" : " and ") +
                 CountedText(totals.foldersRecycled, "folder", "folders");
    if (!toBin.empty()) add(toBin + " to the Recycle Bin");
    if (text.empty()) text = "nothing to delete";
    if (totals.problems > 0) text += ", " + std::to_string(totals.problems) + " not done";
    return text;
}

bool RunOnlyFailed(const RunTotals& totals) {
    return totals.filesDeleted == 0 && totals.filesRecycled == 0 && totals.foldersRecycled == 0 &&
           RunDidSomething(totals);
}

std::string AfterRunBalloonText(const RunTotals& totals, const std::string& summary,
                                const std::vector<std::string>& failures,
                                const std::vector<std::string>& saidBefore) {
    if (!RunDidSomething(totals) || summary.empty()) return {};
    if (!RunOnlyFailed(totals) || failures.empty()) return RunOutcome(totals) + "\r\n" + summary;
    if (failures == saidBefore) return {};
    std::string text = RunOutcome(totals);
    for (std::size_t i = 0; i < failures.size() && i < 3; ++i) text += "\r\n" + failures[i];
    if (failures.size() > 3) text += "\r\n(and " + GroupedNumber(failures.size() - 3) + " more)";
    return text;
}

bool RunDidSomething(const RunTotals& totals) {
    return totals.filesDeleted > 0 || totals.filesRecycled > 0 || totals.foldersRecycled > 0 ||
           totals.filesFailed > 0 || totals.filesNotRecycled > 0 || totals.problems > 0;
}

}  // namespace ondrevan
