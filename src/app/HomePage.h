#pragma once

namespace ondrevan {

class Clock;
class Shell;

// The number from 1 to 100 drawn for a start whose clock reads this second of the day.
int HomePageDraw(int secondsSinceMidnight);

// About one start in a hundred opens the maker's home page.
void VisitHomePageAtRandom(Clock& clock, Shell& shell);

}  // namespace ondrevan
