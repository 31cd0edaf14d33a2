// An idle scheduler tick (one that does not run) must allocate nothing and touch no file.
// Counts the allocations of a million idle ticks of each kind and prints the CPU time
// per tick.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>

#include "FakeSystem.h"
#include "app/Form1.h"

namespace {
std::size_t allocations = 0;
}

void* operator new(std::size_t size) {
    ++allocations;
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

using namespace ondrevan;

int main() {
    testing::FakeSystem sys;
    sys.clock.Set(2026, 12, 7, 10, 0, 0);
    Form1 form(sys.services());
    form.Form_Load();
    form.ListView1.Add("C:\\Work");
    // Nothing below comes due: a thousand hours, and a set time the clock never reaches.
    form.Text1.SetText("1000");
    form.dtpWeekly.SetValue(TimeOfDay::FromHms(23, 0, 0));
    form.PushButton2.Click.Raise();

    struct Kind {
        const char* name;
        OptionButton& option;
    } kinds[] = {
        {"Delete every:", form.Option3}, {"Daily:", form.Option4}, {"Weekly:", form.Option5}};
    constexpr int kTicks = 1000000;
    for (Kind& kind : kinds) {
        kind.option.SetValue(true);
        form.Timer1.Tick.Raise();  // warm up: the status line finds its capacity
        const std::size_t before = allocations;
        const std::size_t writesBefore = sys.settings.writes.size();
        const int listingsBefore = sys.fileSystem.listings;
        const std::clock_t start = std::clock();
        for (int i = 0; i < kTicks; ++i) {
            sys.clock.now.time.seconds = 36000 + i % 3600;
            form.Timer1.Tick.Raise();
        }
        const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        std::printf(
            "%-14s %9zu allocations, %zu settings writes, %d listings in %d idle ticks; %.3f us "
            "CPU a tick\n",
            kind.name, allocations - before, sys.settings.writes.size() - writesBefore,
            sys.fileSystem.listings - listingsBefore, kTicks, seconds * 1e6 / kTicks);
    }
    return 0;
}
