#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/Form1.h"
#include "platform/ValueForms.h"
#include "product/SettingKeys.h"
#include "schedule/CatchUp.h"
#include "schedule/DueTracker.h"

namespace ondrevan {
namespace {

constexpr std::int64_t kDay = 86400;

LocalDateTime At(int year, unsigned month, unsigned day, int h, int m, int s) {
    LocalDateTime when;
    when.date = std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day};
    when.time = TimeOfDay::FromHms(h, m, s);
    return when;
}

// The latest set instant missed since the last run, in a zone without summer time.
std::optional<std::int64_t> MissedRun(std::int64_t lastRun, std::int64_t now, int setSecond,
                                      std::optional<unsigned> weekday) {
    ScheduleSetting setting;
    setting.kind = weekday ? ScheduleKind::Weekly : ScheduleKind::Daily;
    setting.setSecond = setSecond;
    setting.weekday = weekday;
    return WhenDue(setting, {now, lastRun, std::nullopt, std::nullopt}, kUtcZone).due;
}

std::int64_t T(int year, unsigned month, unsigned day, int h, int m, int s = 0) {
    return TimelineSeconds(At(year, month, day, h, m, s));
}

TEST(CatchUp, TheStoredFormReadsBackAndNothingElseDoes) {
    const LocalDateTime when = At(2026, 3, 29, 2, 30, 5);
    EXPECT_EQ(IsoLocalTime(when), "2026-03-29T02:30:05");
    EXPECT_EQ(ParseIsoLocalTime("2026-03-29T02:30:05"), TimelineSeconds(when));
    for (const char* bad : {"", "2026-03-29 02:30:05", "2026-02-30T10:00:00", "2026-03-29T24:00:00",
                            "29.03.2026 02:30:05", "2026-03-29T02:30"})
        EXPECT_FALSE(ParseIsoLocalTime(bad)) << bad;

    // Since when runs count as missed: an empty stamp was never written, one that does not
    // read leaves nothing known.
    const std::string early = "2026-03-01T09:00:00", late = "2026-03-02T09:00:00";
    const struct {
        std::string lastRun, switchedOn;
        std::optional<std::int64_t> since;
    } stamps[] = {
        {"", "", std::nullopt},
        {early, "", ParseIsoLocalTime(early)},
        {"", late, ParseIsoLocalTime(late)},
        {late, early, ParseIsoLocalTime(late)},
        {early, late, ParseIsoLocalTime(late)},
        {"yesterday", late, std::nullopt},
        {late, "1", std::nullopt},
        {" ", "", std::nullopt},
    };
    for (const auto& s : stamps)
        EXPECT_EQ(MissedSince(s.lastRun, s.switchedOn), s.since)
            << s.lastRun << " / " << s.switchedOn;
}

TEST(CatchUp, TheMissedRunIsTheLatestSetInstantSinceTheLastRunAndThereIsOnlyOne) {
    const int nine = 9 * 3600;
    // Daily at 9:00; last run Tuesday 1 December 9:00, the machine off until Friday 8:00.
    EXPECT_EQ(MissedRun(T(2026, 12, 1, 9, 0), T(2026, 12, 4, 8, 0), nine, std::nullopt),
              T(2026, 12, 3, 9, 0));
    EXPECT_EQ(MissedRun(T(2026, 12, 1, 9, 0), T(2026, 12, 4, 9, 0), nine, std::nullopt),
              T(2026, 12, 4, 9, 0))
        << "the set second itself is due";
    EXPECT_FALSE(MissedRun(T(2026, 12, 4, 9, 0), T(2026, 12, 4, 18, 0), nine, std::nullopt))
        << "already run today";
    EXPECT_FALSE(MissedRun(T(2026, 12, 4, 9, 0), T(2026, 12, 4, 9, 0), nine, std::nullopt));
    EXPECT_FALSE(MissedRun(T(2026, 12, 5, 9, 0), T(2026, 12, 4, 9, 0), nine, std::nullopt))
        << "a clock put back misses nothing";
    // Weekly on Wednesday (3): 9 December 2026 is one.
    EXPECT_EQ(MissedRun(T(2026, 11, 1, 0, 0), T(2026, 12, 12, 7, 0), nine, 3u),
              T(2026, 12, 9, 9, 0));
    EXPECT_EQ(MissedRun(T(2026, 11, 1, 0, 0), T(2026, 12, 9, 8, 59), nine, 3u),
              T(2026, 12, 2, 9, 0));
    EXPECT_FALSE(MissedRun(T(2026, 12, 9, 9, 0), T(2026, 12, 15, 23, 0), nine, 3u));
    // A set time moved later today, after the run at the old time: the new one is due.
    EXPECT_EQ(MissedRun(T(2026, 12, 4, 9, 0), T(2026, 12, 4, 12, 0), 11 * 3600, std::nullopt),
              T(2026, 12, 4, 11, 0));
    // The night summer time begins (29 March 2026) keeps its set instant on the timeline.
    EXPECT_EQ(MissedRun(T(2026, 3, 28, 2, 30), T(2026, 3, 29, 8, 0), 2 * 3600 + 1800, std::nullopt),
              T(2026, 3, 29, 2, 30));
}

// A month of mornings: the program starts when the machine does, some days not at all.
struct MonthFixture : ::testing::Test {
    testing::FakeSystem sys;
    int runs = 0;

    void SetUp() override {
        sys.environment.variables["TEMP"] = "C:\\Temp";
        sys.fileSystem.AddFolder("C:\\Temp");
        sys.fileSystem.AddFolder("C:\\Work");
        sys.settings.Set(keys::kFolders, JoinFolderList({"C:\\Work"}));
        sys.settings.Set(keys::kOption2, "True");
        sys.settings.Set(keys::kOption1, "False");
        sys.settings.Set(keys::kOption4, "True");
        sys.settings.Set(keys::kOption3, "False");
        sys.settings.Set(keys::kWeeklyTime, "9:00:00 AM");
        sys.settings.Set(keys::kStartStopState, kSwitchOn);
        sys.settings.Set(keys::kCatchUpMissedRuns, kSwitchOn);
        sys.settings.Set(keys::kSwitchedOn, "2026-11-30T10:00:00");
    }
    // Starts the program at that time and lets it tick for a minute.
    int StartAndTick(unsigned day, int hour) {
        sys.clock.now = At(2026, 12, day, hour, 0, 0);
        const std::size_t before = History().size();
        Form1 form(sys.services());
        form.Form_Load();
        for (int i = 0; i < 60; ++i) {
            sys.clock.now.time.seconds += 1;
            if (form.Timer1.Running()) form.Timer1.Tick.Raise();
        }
        form.Form_QueryUnload();
        int count = 0;
        for (std::size_t i = before; i < History().size(); ++i)
            count += History()[i].find("Run finished:") != std::string::npos;
        return count;
    }
    std::vector<std::string> History() {
        std::vector<std::string> lines;
        const std::string text = sys.fileSystem.Content("C:\\Temp\\Ondrevan.txt");
        for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
};

TEST_F(MonthFixture, EachStartAfterAMissedSetTimeRunsOnceAndSaysSo) {
    // Day 1 at 8:00: nothing was missed since the switch came on.
    EXPECT_EQ(StartAndTick(1, 8), 0);
    // Day 1 at 10:00: 9:00 passed while the program was not running.
    EXPECT_EQ(StartAndTick(1, 10), 1);
    EXPECT_NE(History()[History().size() - 3].find("Missed run of 2026-12-01T09:00:00, run now"),
              std::string::npos);
    EXPECT_EQ(sys.settings.Get(keys::kLastScheduledRun),
              std::optional<std::string>("2026-12-01T09:00:00+00:00"))
        << "the due time that ran, with its offset";
    EXPECT_EQ(StartAndTick(1, 11), 0) << "caught up already";
    // Off for days 2 to 5: one run on day 6, not four.
    EXPECT_EQ(StartAndTick(6, 7), 1);
    EXPECT_EQ(StartAndTick(6, 8), 0);
    // Switched off and on again on day 8 at noon: day 7's and day 8's 9:00 passed while
    // it was off, so a start on day 8 in the afternoon catches up nothing.
    sys.settings.Set(keys::kSwitchedOn, "2026-12-08T12:00:00");
    EXPECT_EQ(StartAndTick(8, 14), 0);
    EXPECT_EQ(StartAndTick(9, 10), 1);
    // Without the option, nothing is caught up.
    sys.settings.Set(keys::kCatchUpMissedRuns, kSwitchOff);
    EXPECT_EQ(StartAndTick(12, 10), 0);
}

TEST_F(MonthFixture, AStampThatDoesNotReadCatchesNothingUp) {
    // 9:00 on day 1 passed since the switch came on.
    for (const char* unreadable : {"1", "hex:00,01", "2026-12-01 08:00:00"}) {
        sys.settings.Set(keys::kLastScheduledRun, unreadable);
        EXPECT_EQ(StartAndTick(1, 10), 0) << unreadable;
    }
    sys.settings.Set(keys::kLastScheduledRun, "2026-11-30T09:00:00");
    sys.settings.Set(keys::kSwitchedOn, "On");
    EXPECT_EQ(StartAndTick(1, 10), 0) << "an unreadable switching-on";
    sys.settings.Set(keys::kSwitchedOn, "");
    EXPECT_EQ(StartAndTick(1, 10), 1) << "an empty stamp is none: the run missed since the last";
}

TEST_F(MonthFixture, AfterEachScheduledRunTheTipSaysHowItWentAndABalloonOnlyWhenAsked) {
    sys.fileSystem.AddFile("C:\\Work\\a.txt", "a");
    StartAndTick(1, 10);
    const auto tips = [&] {
        std::vector<std::string> seen;
        for (const NotifyIconRequest& request : sys.notifyIcon.sent)
            if (request.flags & 4) seen.push_back(request.tip);
        return seen;
    };
    const auto balloons = [&] {
        int count = 0;
        for (const NotifyIconRequest& request : sys.notifyIcon.sent)
            count += request.flags == 16 && !request.info.empty();
        return count;
    };
    EXPECT_EQ(tips().back(),
              "Ondrevan: automatic deletion on, next run Wednesday 9:00:00 AM\nLast run 10:00:03 "
              "AM: 1 file deleted (1 byte)")
        << "this month's line would not fit the tip's 127 characters";
    EXPECT_EQ(balloons(), 0) << "off by default";
    sys.settings.Set(keys::kNotifyAfterRun, kSwitchOn);
    sys.fileSystem.AddFile("C:\\Work\\b.txt", "b");
    sys.fileSystem.Lock("C:\\Work\\b.txt");
    sys.notifyIcon.sent.clear();
    StartAndTick(2, 10);
    EXPECT_EQ(tips().back().substr(tips().back().find('\n')),
              "\nLast run 10:00:03 AM: nothing to delete, 1 not done");
    ASSERT_EQ(balloons(), 1);
    for (const NotifyIconRequest& request : sys.notifyIcon.sent)
        if (request.flags == 16 && !request.info.empty()) {
            EXPECT_EQ(request.infoTitle, "Ondrevan");
            // What failed is named, not only counted.
            EXPECT_EQ(request.info.rfind("nothing to delete, 1 not done\r\nCould not ", 0), 0u)
                << request.info;
            EXPECT_NE(request.info.find("C:\\Work\\b.txt"), std::string::npos) << request.info;
        }
    // Files and folders sent to the Recycle Bin lead, with their sizes.
    sys.settings.Set(keys::kRecycleFiles, kSwitchOn);
    sys.fileSystem.AddFile("C:\\Work\\c.txt", std::string(2048, 'c'));
    sys.fileSystem.AddFile("C:\\Work\\d.txt", "d");
    sys.fileSystem.AddFolder("C:\\Work\\Sub");
    sys.notifyIcon.sent.clear();
    StartAndTick(3, 10);
    EXPECT_EQ(tips().back().substr(tips().back().find('\n')),
              "\nLast run 10:00:03 AM: 3 files (2.0 KB) to the Recycle Bin");
    EXPECT_EQ(sys.pump.waits, 0) << "the balloon is never waited for";
    // A run that found nothing to do says nothing.
    sys.notifyIcon.sent.clear();
    StartAndTick(4, 10);
    EXPECT_EQ(tips().back().substr(tips().back().find('\n')),
              "\nLast run 10:00:03 AM: nothing to delete\nThis month: 2.0 KB freed");
    EXPECT_EQ(balloons(), 0);
}

// Every five seconds over a list that cannot be cleared: the balloon says what is wrong once,
// naming the entries, and again only when that changes.
TEST_F(MonthFixture, AListThatOnlyFailsIsToldOnceAndAgainWhenItChanges) {
    sys.fileSystem.AddFile("C:\\Work\\np.exe", "a program");
    sys.fileSystem.AddFile("C:\\Work\\app.exe", "another");
    const auto list = [&](std::vector<std::string> entries) {
        sys.settings.Set(keys::kFolders, JoinFolderList(entries));
    };
    list({"C:\\Work\\np.exe", "C:\\Work\\app.exe"});
    for (const auto& [key, value] :
         std::vector<std::pair<const char*, const char*>>{{keys::kOption4, "False"},
                                                          {keys::kOption3, "True"},
                                                          {keys::kText1, "0"},
                                                          {keys::kText2, "0"},
                                                          {keys::kText3, "5"},
                                                          {keys::kNotifyAfterRun, kSwitchOn}})
        sys.settings.Set(key, value);
    sys.clock.now = At(2026, 12, 1, 10, 0, 0);
    const auto balloons = [&] {
        std::vector<std::string> said;
        for (const NotifyIconRequest& request : sys.notifyIcon.sent)
            if (request.flags == 16 && !request.info.empty()) said.push_back(request.info);
        sys.notifyIcon.sent.clear();
        return said;
    };
    Form1 form(sys.services());
    form.Form_Load();
    const auto tick = [&](int seconds) {
        const std::size_t before = History().size();
        for (int i = 0; i < seconds; ++i) {
            sys.clock.now.time.seconds += 1;
            if (form.Timer1.Running()) form.Timer1.Tick.Raise();
        }
        int runs = 0;
        for (std::size_t i = before; i < History().size(); ++i)
            runs += History()[i].find("Run finished:") != std::string::npos;
        return runs;
    };
    ASSERT_EQ(tick(20), 4);
    std::vector<std::string> said = balloons();
    ASSERT_EQ(said.size(), 1u) << "said after every run";
    EXPECT_EQ(said[0].rfind("nothing to delete, 2 not done\r\nRefused  C:\\Work\\np.exe", 0), 0u)
        << said[0];
    EXPECT_NE(said[0].find("\r\nRefused  C:\\Work\\app.exe"), std::string::npos) << said[0];
    EXPECT_EQ(tick(20), 4);
    EXPECT_TRUE(balloons().empty()) << "the same failures again";
    // The list changes: told again, once.
    form.ListView1.RemoveAt(0);
    ASSERT_EQ(tick(10), 2);
    said = balloons();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].find("np.exe"), std::string::npos) << said[0];
    form.Form_QueryUnload();
}

}  // namespace
}  // namespace ondrevan
