// StopWatch and StopWatchSet: wall time, throughput and time per item of the passes.
#pragma once

#include <chrono>
#include <memory>
#include <ostream>
#include <ratio>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

/// Seconds per unit of a std::chrono duration or clock.
template <typename Unit>
double timeUnitSeconds()
{
    using Period = typename Unit::period;
    return static_cast<double>(Period::num) / static_cast<double>(Period::den);
}

template <typename Unit>
std::string timeUnitStringLong();

template <>
inline std::string timeUnitStringLong<std::chrono::microseconds>()
{
    return "microsecond";
}

template <>
inline std::string timeUnitStringLong<std::chrono::seconds>()
{
    return "second";
}

template <typename Clock>
class StopWatch
{
public:
    StopWatch(std::string name, std::string lapName) : name_(std::move(name)), lapName_(std::move(lapName)) {}

    void start()
    {
        startTime_ = Clock::now();
        stopTime_ = startTime_;
        running_ = true;
        stopped_ = false;
        lapCount_ = 0;
    }

    /// Refused (false) unless running.
    bool stop()
    {
        if (!running_) {
            return false;
        }
        stopTime_ = Clock::now();
        running_ = false;
        stopped_ = true;
        return true;
    }

    void reset()
    {
        lapCount_ = 0;
        running_ = false;
        stopped_ = false;
        startTime_ = typename Clock::time_point();
        stopTime_ = typename Clock::time_point();
    }

    void setLapCount(unsigned int n) { lapCount_ = n; }
    unsigned int lapCount() const { return lapCount_; }
    bool isRunning() const { return running_; }
    const std::string& name() const { return name_; }

    /// Time from start to now while running, to the stop time when stopped, else 0.
    template <typename Unit>
    double elapsed() const
    {
        if (running_) {
            return elapsed<Unit>(Clock::now());
        }
        if (stopped_) {
            return elapsed<Unit>(stopTime_);
        }
        return 0.0;
    }

    template <typename Unit>
    double elapsed(typename Clock::time_point t) const
    {
        return static_cast<double>((t - startTime_).count()) * (clockTick() / timeUnit<Unit>());
    }

    double clockTick() const { return timeUnit<Clock>(); }

    template <typename Unit>
    double timeUnit() const
    {
        return timeUnitSeconds<Unit>();
    }

    template <typename Unit>
    double lapsPerTime() const
    {
        const double t = elapsed<Unit>();
        return t == 0.0 ? 0.0 : static_cast<double>(lapCount_) / t;
    }

    template <typename Unit>
    double timePerLap() const
    {
        return lapCount_ == 0 ? 0.0 : elapsed<Unit>() / static_cast<double>(lapCount_);
    }

    /// One line without line end; leaves the stream in scientific notation.
    template <typename TimeUnit, typename RateUnit>
    void print(std::ostream& os, int precision) const
    {
        if (!name_.empty()) {
            os << name_ << ": ";
        }
        os.setf(std::ios::scientific, std::ios::floatfield);
        os.precision(precision);
        const std::string rateUnit = timeUnitStringLong<RateUnit>();
        const std::string timeUnit = timeUnitStringLong<TimeUnit>();
        os << elapsed<RateUnit>() << " " << rateUnit << "s";
        if (lapCount_ != 0) {
            os << " for " << lapCount_ << " " << lapName_ << "s"
               << " = " << lapsPerTime<RateUnit>() << " " << lapName_ << "s/" << rateUnit << " = "
               << timePerLap<TimeUnit>() << " " << timeUnit << "s/" << lapName_;
        }
    }

private:
    typename Clock::time_point startTime_{};
    typename Clock::time_point stopTime_{};
    std::string name_;
    std::string lapName_;
    unsigned int lapCount_ = 0;
    bool running_ = false;
    bool stopped_ = false;
};

template <typename W>
class StopWatchSet
{
public:
    std::shared_ptr<W> add(std::shared_ptr<W> w)
    {
        watches_.push_back(w);
        return w;
    }

    void add(const StopWatchSet& other)
    {
        watches_.insert(watches_.end(), other.watches_.begin(), other.watches_.end());
    }

    template <typename TimeUnit, typename RateUnit>
    void print(std::ostream& os, int precision) const
    {
        for (const auto& w : watches_) {
            w->template print<TimeUnit, RateUnit>(os, precision);
            os << "\n";
        }
    }

    void clear() { watches_.clear(); }
    size_t size() const { return watches_.size(); }
    const std::vector<std::shared_ptr<W>>& watches() const { return watches_; }

private:
    std::vector<std::shared_ptr<W>> watches_;
};

using SteadyStopWatch = StopWatch<std::chrono::steady_clock>;
using SteadyStopWatchSet = StopWatchSet<SteadyStopWatch>;
