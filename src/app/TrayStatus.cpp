#include "app/TrayStatus.h"

#include "platform/Utf16Length.h"

namespace ondrevan {
namespace {

inline constexpr std::size_t kTipCharacters = 127;

std::string StateText(bool on, const std::string& nextRun) {
    if (!on) return "automatic deletion off";
    return nextRun.empty() ? "automatic deletion on" : "automatic deletion on, next run " + nextRun;
}

// The first characters of a text, never splitting one.
std::string Head(const std::string& text, std::size_t characters) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) == 0x80) continue;
        count += byte >= 0xF0 ? 2 : 1;
        if (count > characters) return text.substr(0, i);
    }
    return text;
}

}  // namespace

namespace {

std::string WithMonth(const std::string& tip, const std::string& month) {
    if (month.empty() || Utf16Length(tip) + 1 + Utf16Length(month) > kTipCharacters) return tip;
    return tip + "\n" + month;
}

std::string StateAndLastRun(const TrayFacts& facts);

}  // namespace

std::string TrayTipText(const TrayFacts& facts) {
    return WithMonth(StateAndLastRun(facts), facts.monthFreed);
}

namespace {

std::string StateAndLastRun(const TrayFacts& facts) {
    std::string tip = "Ondrevan: " + StateText(facts.on, facts.nextRun);
    if (facts.lastRunTime.empty()) return Head(tip, kTipCharacters);
    std::string last = "\nLast run ";
    if (!facts.lastRunDate.empty()) last += facts.lastRunDate + " ";
    last += facts.lastRunTime + ": ";
    const std::size_t used = Utf16Length(tip) + Utf16Length(last);
    if (used + 3 >= kTipCharacters) return Head(tip, kTipCharacters);
    const std::size_t room = kTipCharacters - used;
    if (Utf16Length(facts.lastRunOutcome) <= room) return tip + last + facts.lastRunOutcome;
    return tip + last + Head(facts.lastRunOutcome, room - 3) + "...";
}

}  // namespace

std::string SwitchBalloonText(bool on, const std::string& nextRun) {
    std::string text = StateText(on, nextRun);
    text[0] = 'A';
    return text;
}

}  // namespace ondrevan
