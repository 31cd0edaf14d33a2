#include "app/HealthStatus.h"

#include "platform/DateTime.h"
#include "schedule/CatchUp.h"
#include "schedule/DueTracker.h"

namespace ondrevan {

namespace {

constexpr std::int64_t kSecondsPerWeek = 7 * static_cast<std::int64_t>(kSecondsPerDay);

std::string Moment(std::int64_t seconds) {
    using namespace std::chrono;
    const std::int64_t days = seconds >= 0 ? seconds / kSecondsPerDay
                                           : -((-seconds + kSecondsPerDay - 1) / kSecondsPerDay);
    LocalDateTime when;
    when.date = year_month_day{
        sys_days{duration_cast<sys_days::duration>(sys_days::duration{static_cast<int>(days)})}};
    when.time.seconds = static_cast<int>(seconds - days * kSecondsPerDay);
    std::string text = IsoLocalTime(when);
    if (text.size() > 10 && text[10] == 'T') text[10] = ' ';
    return text;
}

std::string Clock(int second) {
    auto two = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
    return two(second / 3600) + ":" + two(second / 60 % 60) + ":" + two(second % 60);
}

std::string Duration(std::int64_t seconds) {
    return std::to_string(seconds / 3600) + " h " + std::to_string(seconds / 60 % 60) + " min " +
           std::to_string(seconds % 60) + " s";
}

bool AheadOfClock(const Stamp& stamp, std::int64_t now, const ZoneRules& zone) {
    return StampInstant(stamp, zone) > now;
}

ScheduleKind KindOf(const StatusFacts& facts) {
    switch (facts.kind) {
        case StatusFacts::Kind::Weekly:
            return ScheduleKind::Weekly;
        case StatusFacts::Kind::Daily:
            return ScheduleKind::Daily;
        default:
            return ScheduleKind::Every;
    }
}

// A last run stamped further ahead than the running program believes, or switched on at a
// moment still to come: written while the clock was ahead, it counts for nothing.
bool LastRunVoid(const std::optional<Stamp>& stamp, const StatusFacts& facts, std::int64_t now,
                 const ZoneRules& zone) {
    return stamp && !LastRunStampCounts(*stamp, now, KindOf(facts), zone);
}

// Why the stamps cannot say whether scheduled runs happen, or "" when they can.
std::string WhyCannotTell(const StatusFacts& facts, std::int64_t now, const ZoneRules& zone) {
    const auto stampFault = [&](const std::string& stamp, const char* what,
                                bool lastRun) -> std::string {
        if (stamp.empty()) return "";
        const auto read = ParseStamp(stamp);
        if (!read)
            return std::string(what) + " (\"" + stamp + "\") does not read as yyyy-mm-ddThh:mm:ss";
        if (lastRun ? LastRunVoid(read, facts, now, zone)
                    : !SwitchedOnStampCounts(*read, now, zone))
            return std::string(what) + " (" + Moment(read->wall) + ") lies in the future";
        return "";
    };
    std::string why = stampFault(facts.lastRun, "the time of the last scheduled run", true);
    if (!why.empty() || !facts.switchedOn) return why;
    why = stampFault(facts.switchedOnAt, "the time automatic deletion was switched on", false);
    if (!why.empty()) return why;
    if (facts.lastRun.empty() && facts.switchedOnAt.empty())
        return "automatic deletion is on, but neither when it was switched on nor when it last "
               "ran is known";
    return "";
}

}  // namespace

StatusReport HealthStatus(const StatusFacts& facts, std::int64_t now, const ZoneRules& zone) {
    StatusReport report;
    std::string& out = report.text;
    const auto line = [&out](const std::string& name, const std::string& value) {
        out += name + ": " + value + "\r\n";
    };
    line("Automatic deletion", facts.switchedOn ? "on" : "off");
    line("Ondrevan running for you", !facts.copyRunning ? "unknown"
                                     : *facts.copyRunning
                                         ? "yes"
                                         : "no (scheduled runs happen only while it runs)");

    // The schedule and the length of one period of it.
    std::optional<std::int64_t> period;
    std::string schedule;
    if (facts.kind == StatusFacts::Kind::Interval) {
        schedule = facts.intervalSeconds && *facts.intervalSeconds > 0
                       ? "every " + Duration(*facts.intervalSeconds)
                       : "every (an interval that does not read)";
        if (facts.intervalSeconds && *facts.intervalSeconds > 0) period = facts.intervalSeconds;
    } else {
        const bool weekly = facts.kind == StatusFacts::Kind::Weekly;
        const std::string at =
            facts.setSecond ? Clock(*facts.setSecond) : "(a time that does not read)";
        schedule = weekly ? "weekly on " +
                                (facts.weekday ? std::string(kWeekdayNames[*facts.weekday % 7])
                                               : std::string("(a day that does not read)")) +
                                " at " + at
                          : "daily at " + at;
        if (facts.setSecond && (!weekly || facts.weekday))
            period = weekly ? kSecondsPerWeek : kSecondsPerDay;
    }
    line("Schedule", schedule);

    // Runs count from the later of the last scheduled run and the switching on, each read as
    // the running program reads it.
    const auto lastStamp = ParseStamp(facts.lastRun);
    const bool lastAhead = LastRunVoid(lastStamp, facts, now, zone);
    const auto onStamp = ParseStamp(facts.switchedOnAt);
    const bool onAhead = onStamp && !SwitchedOnStampCounts(*onStamp, now, zone);
    const auto since =
        MissedSince(lastAhead ? "" : facts.lastRun, onAhead ? "" : facts.switchedOnAt);
    const std::string cannotTell = WhyCannotTell(facts, now, zone);
    const std::int64_t nowWall = now + zone.OffsetAt(now);  // as the stamps are written
    std::string next = "none (automatic deletion is off)";
    if (facts.switchedOn && !period) {
        next = "unknown (the schedule does not read)";
    } else if (facts.switchedOn && facts.kind == StatusFacts::Kind::Interval) {
        // A next run is never shown in the past: one overdue comes once the program runs.
        if (!cannotTell.empty())
            next = "unknown (" + cannotTell + ")";
        else if (!since)
            next = "one interval after Ondrevan starts";
        else if (*since + *period <= nowWall)
            next = "overdue: as soon as Ondrevan is running";
        else
            next = Moment(*since + *period) + " or one interval after Ondrevan starts";
    } else if (facts.switchedOn) {
        ScheduleSetting setting;
        setting.kind =
            facts.kind == StatusFacts::Kind::Weekly ? ScheduleKind::Weekly : ScheduleKind::Daily;
        setting.setSecond = *facts.setSecond;
        setting.weekday = facts.weekday;
        DueFacts due{now, std::nullopt, std::nullopt, std::nullopt};
        if (lastStamp && !lastAhead) due.lastRun = lastStamp->wall;
        const DueTimes times = WhenDue(setting, due, zone);
        next = times.next ? Moment(*times.next + zone.OffsetAt(*times.next)) +
                                " (while Ondrevan is running)"
                          : "unknown";
    }
    line("Next run", next);

    const auto last = lastStamp ? std::optional<std::int64_t>(lastStamp->wall) : std::nullopt;
    std::string lastText = facts.lastRun.empty() ? "none" : "unknown";
    if (lastStamp)
        lastText = lastAhead
                       ? "unknown (stamped " + Moment(lastStamp->wall) + ", ahead of the clock)"
                   : AheadOfClock(*lastStamp, now, zone)
                       ? Moment(lastStamp->wall) +
                             " (ahead of the clock: it ran before the clock was put back)"
                       : Moment(lastStamp->wall);
    line("Last scheduled run", lastText);
    if (last && !lastAhead)
        line("Its closing line",
             facts.lastSummary.empty() ? "(none: the list was empty)" : facts.lastSummary);
    line("History file", facts.historyPath);
    if (!facts.thisMonth.empty()) line("This month", facts.thisMonth);
    if (!facts.recordPath.empty()) line("Record of runs", facts.recordPath);

    // A count that does not read is no failure that can be named; the closing line says more.
    const bool failures =
        last && !lastAhead && !facts.lastProblems.empty() && facts.lastProblems != "0";
    const bool overdue = facts.switchedOn && period && since && nowWall - *since > 2 * *period;
    if (failures) {
        report.exitCode += kStatusFailures;
        out += "The last scheduled run had failures: see the history file.\r\n";
    }
    if (overdue) {
        report.exitCode += kStatusOverdue;
        out += "Automatic deletion is on, but no scheduled run has happened since " +
               Moment(*since) + ", more than two intervals ago.\r\n";
    }
    if (!cannotTell.empty()) {
        report.exitCode += kStatusCannotTell;
        out += "Whether scheduled runs happen cannot be told: " + cannotTell + ".\r\n";
    }
    return report;
}

}  // namespace ondrevan
