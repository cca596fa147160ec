// Tests of the stopwatch states and the report line, on a clock the test moves by hand.
#include "support/StopWatch.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct ManualClock
{
    using rep = long long;
    using period = std::nano;
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<ManualClock>;
    static inline time_point current{};
    static time_point now() { return current; }
    static void advance(long long ns) { current += duration(ns); }
};

using Watch = StopWatch<ManualClock>;

} // namespace

TEST(StopWatch, StatesDecideTheElapsedTimeAndTheReport)
{
    Watch w("assemble", "instruction");
    EXPECT_FALSE(w.stop());
    w.start();
    ManualClock::advance(2000);
    EXPECT_DOUBLE_EQ(2.0, w.elapsed<std::chrono::microseconds>());
    w.setLapCount(4);
    EXPECT_DOUBLE_EQ(2.0e6, w.lapsPerTime<std::chrono::seconds>());  // running: up to now
    EXPECT_TRUE(w.stop());
    ManualClock::advance(5000);
    EXPECT_FALSE(w.stop());
    EXPECT_DOUBLE_EQ(2.0, w.elapsed<std::chrono::microseconds>());  // first stop time kept
    EXPECT_DOUBLE_EQ(0.5, w.timePerLap<std::chrono::microseconds>());
    std::ostringstream os;
    w.print<std::chrono::microseconds, std::chrono::seconds>(os, 3);
    EXPECT_EQ("assemble: 2.000e-06 seconds for 4 instructions = 2.000e+06 instructions/second"
              " = 5.000e-01 microseconds/instruction",
              os.str());
    w.reset();
    EXPECT_DOUBLE_EQ(0.0, w.elapsed<std::chrono::seconds>());
    EXPECT_DOUBLE_EQ(0.0, w.lapsPerTime<std::chrono::seconds>());  // no division by a zero time
    os.str("");
    w.print<std::chrono::microseconds, std::chrono::seconds>(os, 3);
    EXPECT_EQ("assemble: 0.000e+00 seconds", os.str());
}
