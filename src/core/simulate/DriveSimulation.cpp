#include "core/simulate/DriveSimulation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <deque>

namespace kelvane {

namespace {

constexpr int Cylinders = 4;
constexpr double Stoich = 14.7;
constexpr double IdleRpm = 850;
constexpr double SensorMaxAfr = 22.0;
constexpr double SensorMinAfr = 9.0;
// Engine RPM per km/h in each gear (index 0 is neutral).
constexpr std::array<double, 6> GearRpmPerKmh{0, 125, 72, 48, 36, 29};

// Own generator and normal deviates, so a seed gives the same drive everywhere.
class TRandom {
  public:
    explicit TRandom(std::uint64_t seed) : FState(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    std::uint64_t Next() {
        std::uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    double Between(double low, double high) { return low + (high - low) * Uniform(); }
    double Normal() {
        const double u = std::max(1e-12, Uniform());
        return std::sqrt(-2 * std::log(u)) * std::cos(6.283185307179586 * Uniform());
    }

  private:
    std::uint64_t FState;
};

enum class TSegment { Idle, Cruise, Accelerate, Pull, Overrun };

struct TPlan {
    TSegment Kind = TSegment::Idle;
    double TargetKmh = 0;
    double Throttle = 0;  // the driver's pedal while accelerating
    double ShiftRpm = 2800;
    double Remaining = 0;  // seconds left, for timed segments
    bool Started = false;
};

TPlan NextPlan(TRandom& random, TDriveKind kind, double kmh) {
    TPlan plan;
    const double pick = random.Uniform();
    if (kind == TDriveKind::Pulls) {
        if (kmh < 35) {
            plan = {TSegment::Accelerate, random.Between(40, 50), 0.35, 2600, 30};
        } else if (pick < 0.5) {
            plan = {TSegment::Pull, 0, 1.0, random.Between(5600, 6000), 20};
        } else {
            plan = {TSegment::Overrun, random.Between(40, 50), 0, 0, 15};
        }
        return plan;
    }
    const double pullShare = kind == TDriveKind::Mixed ? 0.15 : 0.0;
    if (kmh < 5 && pick < 0.3) {
        plan = {TSegment::Idle, 0, 0, 0, random.Between(5, 15)};
    } else if (kmh < 30 || pick < 0.35) {
        const bool brisk = kind == TDriveKind::Mixed && random.Uniform() < 0.4;
        plan = {TSegment::Accelerate, random.Between(45, 115),
                brisk ? random.Between(0.5, 0.75) : random.Between(0.2, 0.4),
                brisk ? random.Between(3500, 4500) : random.Between(2300, 3000), 40};
    } else if (pick < 0.35 + pullShare && kmh > 40) {
        plan = {TSegment::Pull, 0, 1.0, random.Between(5500, 6000), 20};
    } else if (pick < 0.7) {
        plan = {TSegment::Cruise, kmh + random.Between(-10, 10), 0, 0, random.Between(15, 40)};
    } else if (pick < 0.92) {
        plan = {TSegment::Overrun, std::max(20.0, kmh - random.Between(20, 50)), 0, 0, 20};
    } else {
        plan = {TSegment::Overrun, 0, 0, 0, 40};  // to a stop, then idle
    }
    plan.TargetKmh = std::clamp(plan.TargetKmh, 0.0, 130.0);
    return plan;
}

void Append(std::string& line, double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    if (!line.empty()) line += '\t';
    line += text;
}

struct TColumns {
    bool Map = false;      // the MAP-system device logs manifold pressure
    bool AirTemp = false;  // the Alpha and MAP systems log intake air temperature
};

std::string HeaderLine(const TColumns& columns) {
    std::string header = "Time [s]\tRPM\tMAF signal";
    if (columns.Map) header += "\tMAP [kPa]";
    header +=
        "\tA/F ratio\tO2 sensor adj [%]\tThrottle pos (1=idle, 2=cruise, 3=WOT)\tInj PW [ms]"
        "\tInj duty cycle [%]\tLoad [%]\tIgn adv [\xB0]\tCoolant temp [\xB0"
        "C]";
    if (columns.AirTemp)
        header +=
            "\tAir temp [\xB0"
            "C]";
    header += "\tKnock count";
    for (int c = 1; c <= Cylinders; ++c) header += "\tKR" + std::to_string(c);
    return header + "\r\n";
}

}  // namespace

bool DriveKindFromText(const std::string& text, TDriveKind& kind) {
    if (text == "mixed")
        kind = TDriveKind::Mixed;
    else if (text == "cruise")
        kind = TDriveKind::Cruise;
    else if (text == "pulls")
        kind = TDriveKind::Pulls;
    else
        return false;
    return true;
}

std::string SimulateDrive(const TEngineModel& model, const TMapGrid& fuelMap, const TMapGrid& ignitionMap,
                          const TDriveOptions& options) {
    const TMapAxes& axes = model.Axes;
    TColumns columns;
    columns.Map = model.Setup.LHConfig == TLHConfig::Map;
    columns.AirTemp = columns.Map || model.Setup.LHConfig == TLHConfig::Alpha;
    const double firstLoad = axes.LHLoad[0];
    const double lastLoad = axes.LHLoad[MapSize - 1];

    TRandom random(options.Seed);
    // Knock draws from its own stream, so the same seed drives the same route whatever the maps.
    TRandom knockRandom(options.Seed ^ 0x5A5A5A5Aull);
    std::string out = HeaderLine(columns);
    const int steps = static_cast<int>(std::lround(options.DurationSec / LogIntervalSec));
    out.reserve(static_cast<std::size_t>(steps) * 110);

    double kmh = 0, rpm = IdleRpm + 200, throttle = 0, pedal = 0, previousThrottle = 0;
    int gear = 0;
    double shiftTimer = 0;
    int nextGear = 0;
    double coolant = options.StartCoolantTemp;
    const double airTemp = 18 + 10 * random.Uniform();
    double o2 = 0, closedLoopTimer = 0, closedThrottleTimer = 0, accelEnrich = 0, sensed = Stoich;
    bool fuelCut = false, lastLean = false;
    std::array<double, Cylinders> retard{};
    int knockCount = 0;
    std::deque<double> afrHistory;  // engine-out AFR of the recent samples, newest last
    TPlan plan{TSegment::Idle, 0, 0, 0, coolant < 60 ? 60.0 : 8.0};

    for (int step = 0; step < steps; ++step) {
        const double dt = LogIntervalSec;
        // The driver.
        plan.Remaining -= dt;
        const bool warmingUp = coolant < 45 && plan.Kind == TSegment::Idle;
        if (plan.Remaining <= 0 && !warmingUp) plan = NextPlan(random, options.Kind, kmh);
        switch (plan.Kind) {
            case TSegment::Idle:
                pedal = 0;
                break;
            case TSegment::Cruise:
                // The driver holds the speed with a slow hand on the pedal.
                if (!plan.Started) plan.Throttle = throttle, plan.Started = true;
                plan.Throttle = std::clamp(plan.Throttle + dt * 0.01 * (plan.TargetKmh - kmh), 0.03, 0.5);
                pedal = std::clamp(plan.Throttle + 0.02 * (plan.TargetKmh - kmh), 0.025, 0.6);
                break;
            case TSegment::Accelerate:
                pedal = plan.Throttle;
                if (kmh >= plan.TargetKmh) plan = {TSegment::Cruise, kmh, 0, 0, random.Between(10, 30)};
                break;
            case TSegment::Pull:
                if (gear == 0 || kmh < 25) {
                    plan.Kind = TSegment::Accelerate;
                    plan.TargetKmh = 45;
                    break;
                }
                if (!plan.Started) {
                    // Down to the gear that puts the engine nearest 2500 RPM, third at most.
                    plan.Started = true;
                    int best = 3;
                    for (int g = 2; g <= 4; ++g)
                        if (std::abs(kmh * GearRpmPerKmh[static_cast<std::size_t>(g)] - 2500) <
                            std::abs(kmh * GearRpmPerKmh[static_cast<std::size_t>(best)] - 2500))
                            best = g;
                    if (best != gear) {
                        shiftTimer = 0.5;
                        nextGear = best;
                    }
                }
                pedal = 1.0;
                if (rpm >= plan.ShiftRpm)
                    plan = {TSegment::Overrun, std::max(30.0, kmh - random.Between(40, 70)), 0, 0, 20};
                break;
            case TSegment::Overrun:
                pedal = 0;
                if (kmh <= plan.TargetKmh + 1) {
                    plan = plan.TargetKmh < 1 ? TPlan{TSegment::Idle, 0, 0, 0, random.Between(8, 20)}
                                              : TPlan{TSegment::Cruise, kmh, 0, 0, random.Between(10, 30)};
                }
                break;
        }
        // Gear changes lift the pedal for half a second.
        if (shiftTimer > 0) {
            shiftTimer -= dt;
            pedal = 0;
            if (shiftTimer <= 0) gear = nextGear;
        } else if (gear > 0) {
            const double shiftRpm =
                plan.Kind == TSegment::Pull || plan.Kind == TSegment::Accelerate ? plan.ShiftRpm : 2600;
            if (rpm > shiftRpm && gear < 5 && plan.Kind != TSegment::Pull) {
                shiftTimer = 0.5;
                nextGear = gear + 1;
            } else if (rpm < 1150 && gear > 1) {
                shiftTimer = 0.4;
                nextGear = gear - 1;
            } else if (kmh < 6 && plan.TargetKmh < 1) {
                gear = 0;
            }
        } else if (plan.Kind != TSegment::Idle && pedal > 0) {
            gear = 1;
            kmh = std::max(kmh, 7.0);
        }
        const double rate = pedal > throttle ? (plan.Kind == TSegment::Pull ? 5.0 : 1.5) : 2.5;
        throttle += std::clamp(pedal - throttle, -rate * dt, rate * dt);
        const double throttleRate = (throttle - previousThrottle) / dt;
        previousThrottle = throttle;

        // The engine.
        const bool inGear = gear > 0 && shiftTimer <= 0;
        const double idleTarget = IdleRpm + std::max(0.0, (60 - coolant) * 8);
        if (inGear) {
            rpm = std::max(idleTarget * 0.95, kmh * GearRpmPerKmh[static_cast<std::size_t>(gear)]);
        } else {
            const double freeTarget = shiftTimer > 0 && nextGear > 0
                                          ? kmh * GearRpmPerKmh[static_cast<std::size_t>(nextGear)]
                                          : idleTarget + throttle * 3000;
            rpm += (std::max(freeTarget, idleTarget * 0.95) - rpm) * std::min(1.0, dt / 0.3);
        }
        rpm = std::clamp(rpm, 600.0, 6400.0);
        const double idleOpening = throttle < 0.02 ? 0.03 : 0.0;
        const double u = (throttle + idleOpening) * 3.5 * std::sqrt(1500 / rpm);
        const double pressureRatio = 0.17 + 0.81 * u / std::pow(1 + std::pow(u, 4), 0.25);
        const double ve = 0.84 + 0.12 * std::exp(-std::pow((rpm - 3900) / 2200, 2));
        const double air = pressureRatio * ve;  // cylinder filling, 1 = full
        const double loadPercent = std::clamp(100 * air, 0.0, 100.0);
        const double mafSignal =
            std::round(firstLoad + (lastLoad - firstLoad) * std::max(0.0, air - 0.12) / 0.84);

        // The car.
        if (inGear) {
            const double torque = air - 0.22;
            const double drag = 0.25 + 0.00006 * kmh * kmh;
            double accel = torque * GearRpmPerKmh[static_cast<std::size_t>(gear)] / 6 - drag;
            if (plan.Kind == TSegment::Overrun && kmh > plan.TargetKmh + 5) accel -= 3;
            kmh = std::max(0.0, kmh + accel * dt);
        } else {
            kmh = std::max(0.0, kmh - (0.4 + (plan.TargetKmh < 1 ? 4.0 : 0.0)) * dt);
        }
        coolant += dt * std::max(0.0, 88 - coolant) * (0.004 + 0.01 * air);

        // The fuel ECU.
        const int throttleSwitch = throttle < 0.02 ? 1 : throttle > 0.8 ? 3 : 2;
        // Fuel is cut after the throttle has been shut for a moment.
        closedThrottleTimer = throttleSwitch == 1 ? closedThrottleTimer + dt : 0;
        if (closedThrottleTimer > 0.8 && rpm > 1500 && coolant > 40) fuelCut = true;
        if (throttleSwitch != 1 || rpm < 1200) fuelCut = false;
        const double mapValue = Interpolate(fuelMap, axes.LHRpm, axes.LHLoad, rpm, mafSignal);
        const double trueValue = Interpolate(model.TrueFuel, axes.LHRpm, axes.LHLoad, rpm, mafSignal);
        const double warmEnrich = 1 + 0.35 * std::clamp((65 - coolant) / 45, 0.0, 1.0);
        if (throttleRate > 0.5) accelEnrich = std::max(accelEnrich, std::min(0.08, 0.02 * throttleRate));
        accelEnrich *= std::exp(-dt / 0.25);
        const bool closedCondition = coolant > 55 && throttleSwitch != 3 && !fuelCut;
        closedLoopTimer = closedCondition ? closedLoopTimer + dt : 0;
        const bool closedLoop = closedLoopTimer > 2;
        if (closedLoop) {
            // Narrow-band control: a step at each switch, a ramp between.
            const bool lean = sensed > Stoich;
            o2 += (lean ? 3.0 : -3.0) * dt + (lean != lastLean ? (lean ? 0.8 : -0.8) : 0.0);
            lastLean = lean;
            o2 = std::clamp(o2, -20.0, 20.0);
        } else if (throttleSwitch == 3 || coolant <= 55) {
            o2 = 0;
        }
        const double fuel = warmEnrich * (1 + accelEnrich) * (1 + o2 / 100);
        const double engineAfr = fuelCut ? 30.0 : OpenLoopAfr(trueValue, mapValue) / fuel;
        const double injectorMs = fuelCut ? 0.0 : 0.6 + 13.5 * air * (mapValue + 512) / 512 * fuel;

        // The wideband: exhaust takes longer to reach it at low flow.
        afrHistory.push_back(engineAfr);
        if (afrHistory.size() > 20) afrHistory.pop_front();
        const double delaySteps = (0.08 + 40 / std::max(mafSignal, 20.0)) / dt;
        const double position = std::max(0.0, static_cast<double>(afrHistory.size() - 1) - delaySteps);
        const auto low = static_cast<std::size_t>(position);
        const std::size_t high = std::min(afrHistory.size() - 1, low + 1);
        const double arriving =
            afrHistory[low] + (afrHistory[high] - afrHistory[low]) * (position - static_cast<double>(low));
        sensed += (arriving - sensed) * std::min(1.0, dt / 0.15);
        const double loggedAfr =
            std::clamp(sensed + 0.04 * random.Normal() * sensed / Stoich, SensorMinAfr, SensorMaxAfr);

        // The ignition ECU: per-cylinder retard when the advance passes the threshold.
        const double advance = Interpolate(ignitionMap, axes.EZKRpm, axes.EZKLoad, rpm, loadPercent);
        const double threshold =
            Interpolate(model.KnockThreshold, axes.EZKRpm, axes.EZKLoad, rpm, loadPercent);
        for (double& cylinder : retard) {
            cylinder = std::max(0.0, cylinder - 1.0 * dt);
            if (!fuelCut && advance - cylinder > threshold && knockRandom.Uniform() < 0.5) {
                cylinder = std::min(9.75, std::ceil((advance - threshold + 1.0) * 4) / 4);
                ++knockCount;
            }
        }

        std::string line;
        Append(line, step * LogIntervalSec, 2);
        Append(line, std::round(rpm + 4 * random.Normal()), 0);
        Append(line, mafSignal, 0);
        if (columns.Map) Append(line, pressureRatio * 100, 1);
        Append(line, loggedAfr, 2);
        Append(line, o2, 1);
        Append(line, throttleSwitch, 0);
        Append(line, injectorMs, 2);
        Append(line, injectorMs / (120000 / rpm) * 100, 1);
        Append(line, loadPercent, 1);
        Append(line, advance, 1);
        Append(line, std::round(coolant), 0);
        if (columns.AirTemp) Append(line, std::round(airTemp + 0.03 * coolant), 0);
        Append(line, knockCount, 0);
        for (const double cylinder : retard) Append(line, cylinder, 2);
        out += line;
        out += "\r\n";
    }
    return out;
}

}  // namespace kelvane
