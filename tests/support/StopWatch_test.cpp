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

std::string printed(const Watch& w)
{
    std::ostringstream os;
    w.print<std::chrono::microseconds, std::chrono::seconds>(os, 3);
    return os.str();
}

} // namespace

TEST(StopWatch, PrintsTimeThroughputAndTimePerLap)
{
    Watch w("parse", "source line");
    EXPECT_EQ("parse: 0.000e+00 seconds", printed(w));
    w.start();
    ManualClock::advance(1250000);
    EXPECT_TRUE(w.stop());
    w.setLapCount(48);
    EXPECT_EQ("parse: 1.250e-03 seconds for 48 source lines = 3.840e+04 source lines/second"
              " = 2.604e+01 microseconds/source line",
              printed(w));
    w.setLapCount(0);
    EXPECT_EQ("parse: 1.250e-03 seconds", printed(w));
    Watch unnamed("", "item");
    EXPECT_EQ("0.000e+00 seconds", printed(unnamed));
}

TEST(StopWatch, StatesDecideTheElapsedTime)
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
    w.start();
    EXPECT_EQ(0u, w.lapCount());
    w.reset();
    EXPECT_DOUBLE_EQ(0.0, w.elapsed<std::chrono::seconds>());
    EXPECT_DOUBLE_EQ(0.0, w.lapsPerTime<std::chrono::seconds>());
}

TEST(StopWatchSet, SharesWatchesAndPrintsOnePerLine)
{
    StopWatchSet<Watch> parser;
    auto parse = parser.add(std::make_shared<Watch>("parse", "source line"));
    StopWatchSet<Watch> all;
    all.add(parser);
    all.add(std::make_shared<Watch>("assemble", "instruction"));
    parse->start();
    ManualClock::advance(1000000000);
    parse->stop();
    parse->setLapCount(1);
    std::ostringstream os;
    all.print<std::chrono::microseconds, std::chrono::seconds>(os, 1);
    EXPECT_EQ("parse: 1.0e+00 seconds for 1 source lines = 1.0e+00 source lines/second = 1.0e+06 "
              "microseconds/source line\nassemble: 0.0e+00 seconds\n",
              os.str());
}
