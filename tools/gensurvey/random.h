// SPDX-License-Identifier: GPL-3.0-or-later
// The generator's random draws and slowly wandering signals, shared by the
// survey and its variants.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace gensurvey {

// std::*_distribution differ between library versions; these few draws are
// spelled out so a seed gives the same survey wherever it is built.
class CRandom {
public:
    explicit CRandom(uint32_t seed)
        : m_engine(seed == 0 ? 0x9E3779B9u : seed)
    { }
    double Uniform() { return static_cast<double>(m_engine() >> 11) * (1.0 / 9007199254740992.0); }
    double Uniform(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
    int Int(int lo, int hi) { return lo + static_cast<int>(Uniform() * (hi - lo + 1)); }
    // Sum of uniforms: close enough to a normal draw for measurement noise.
    double Noise(double sigma)
    {
        double s = 0;
        for (int i = 0; i < 4; ++i) s += Uniform() - 0.5;
        return s * sigma * std::sqrt(3.0);
    }

private:
    std::mt19937_64 m_engine;
};

// A slowly wandering signal: a few long waves plus low-pass filtered noise,
// like the soil and coating changes along a real pipeline.
class CWander {
public:
    CWander(CRandom& rnd, double amplitude)
    {
        const double lengths[3] = {rnd.Uniform(700, 1400), rnd.Uniform(180, 420), rnd.Uniform(40, 110)};
        const double shares[3] = {0.55, 0.3, 0.15};
        for (int i = 0; i < 3; ++i)
            m_waves.push_back(
                {amplitude * shares[i], 2 * std::numbers::pi / lengths[i], rnd.Uniform(0, 2 * std::numbers::pi)});
        m_noiseScale = amplitude * 0.25;
    }
    double Next(double x, CRandom& rnd)
    {
        m_filtered = 0.97 * m_filtered + 0.03 * rnd.Noise(1.0) * 8.0;
        double v = m_filtered * m_noiseScale;
        for (const Wave& w : m_waves) v += w.amplitude * std::sin(w.k * x + w.phase);
        return v;
    }

private:
    struct Wave {
        double amplitude, k, phase;
    };
    std::vector<Wave> m_waves;
    double m_filtered = 0;
    double m_noiseScale = 0;
};

// Keeps a value inside centre +- half without a visible kink.
inline double Squash(double v, double centre, double half) { return centre + half * std::tanh((v - centre) / half); }

} // namespace gensurvey
