#include "tools/VorsaFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace tova::test::vorsa {

const std::vector<Formant>& vowelFormants() {
    static const std::vector<Formant> f{{700.0, 90.0}, {1200.0, 110.0}, {2600.0, 160.0}};
    return f;
}

std::vector<float> voicedSample(double f0, double seconds, int rate) {
    const size_t n = static_cast<size_t>(seconds * rate);
    std::vector<double> x(n, 0.0);
    const double period = rate / f0;
    for (double t = 1.0; t < n - 1; t += period) {
        const size_t i = static_cast<size_t>(t);
        const double frac = t - i;
        x[i] += 1.0 - frac;
        x[i + 1] += frac;
    }
    const double pi = std::acos(-1.0);
    for (const Formant& f : vowelFormants()) {
        const double r = std::exp(-pi * f.bandwidth / rate);
        const double a1 = 2.0 * r * std::cos(2.0 * pi * f.frequency / rate);
        const double a2 = -r * r;
        double y1 = 0.0, y2 = 0.0;
        for (size_t i = 0; i < n; ++i) {
            const double y = x[i] + a1 * y1 + a2 * y2;
            y2 = y1;
            y1 = y;
            x[i] = y;
        }
    }
    double peak = 0.0;
    for (double v : x) peak = std::max(peak, std::abs(v));
    std::vector<float> out(n);
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<float>(0.5 * x[i] / peak);
    return out;
}

std::vector<float> noise(double seconds, float amplitude, unsigned seed, int rate) {
    std::vector<float> out(static_cast<size_t>(seconds * rate));
    uint32_t s = seed * 2654435761u + 1u;
    for (float& v : out) {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        v = amplitude * (static_cast<float>(s) / 4294967296.0f * 2.0f - 1.0f);
    }
    return out;
}

namespace {
void put16(QByteArray& b, int v) {
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
void put32(QByteArray& b, uint32_t v) {
    put16(b, int(v & 0xFFFF));
    put16(b, int(v >> 16));
}
int le16(const QByteArray& b, qsizetype at) { return int16_t(uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8)); }
uint32_t le32(const QByteArray& b, qsizetype at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}
}  // namespace

void writeWave16(const QString& path, const std::vector<float>& samples, int rate) {
    QByteArray b;
    b.append("RIFF");
    put32(b, 36 + uint32_t(samples.size() * 2));
    b.append("WAVEfmt ");
    put32(b, 16);
    put16(b, 1);
    put16(b, 1);
    put32(b, uint32_t(rate));
    put32(b, uint32_t(rate * 2));
    put16(b, 2);
    put16(b, 16);
    b.append("data");
    put32(b, uint32_t(samples.size() * 2));
    for (float s : samples) put16(b, std::clamp(int(std::lround(s * 32767.0)), -32768, 32767));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw std::runtime_error("cannot write a wave fixture");
    f.write(b);
}

std::vector<float> readWave16(const QString& path, int* rate, QByteArray* bytes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    if (bytes) *bytes = b;
    if (b.size() < 44 || !b.startsWith("RIFF") || b.mid(8, 8) != "WAVEfmt " || le16(b, 20) != 1 || le16(b, 22) != 1 ||
        le16(b, 34) != 16 || b.mid(36, 4) != "data")
        return {};
    if (rate) *rate = int(le32(b, 24));
    const qsizetype count = qsizetype(le32(b, 40)) / 2;
    if (44 + count * 2 > b.size()) return {};
    std::vector<float> out(count);
    for (qsizetype i = 0; i < count; ++i) out[i] = le16(b, 44 + 2 * i) / 32768.0f;
    return out;
}

namespace {
// Normalised correlation of the window [start, start + window) with itself `lag` samples on.
double correlation(const std::vector<float>& x, long long start, int window, int lag) {
    double s = 0, e1 = 0, e2 = 0;
    for (int j = 0; j < window; ++j) {
        const double a = x[start + j], b = x[start + j + lag];
        s += a * b;
        e1 += a * a;
        e2 += b * b;
    }
    return (e1 > 0 && e2 > 0) ? s / std::sqrt(e1 * e2) : 0.0;
}
// Peak of a sampled curve refined by a parabola through it and its neighbours.
double parabolaPeak(double left, double centre, double right) {
    const double d = left - 2 * centre + right;
    return d < 0 ? 0.5 * (left - right) / d : 0.0;
}
}  // namespace

double acfPitch(const std::vector<float>& x, long long centre, int window, double minF, double maxF, double* strength) {
    const int minLag = int(kRate / maxF), maxLag = int(kRate / minF);
    // Coarse period: the shortest lag whose correlation peak reaches 90% of the best.
    const long long start = centre - window / 2 - maxLag / 2;
    if (strength) *strength = 0.0;
    if (start < 0 || start + window + maxLag + 2 > static_cast<long long>(x.size())) return 0.0;
    std::vector<double> r(maxLag + 2, 0.0);
    double best = 0.0;
    for (int lag = minLag - 1; lag <= maxLag + 1; ++lag) {
        r[lag] = correlation(x, start, window, lag);
        if (lag >= minLag && lag <= maxLag) best = std::max(best, r[lag]);
    }
    if (strength) *strength = best;
    if (best < 0.5) return 0.0;
    double coarse = 0.0;
    for (int lag = minLag; lag <= maxLag; ++lag) {
        if (r[lag] >= 0.9 * best && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) {
            coarse = lag + parabolaPeak(r[lag - 1], r[lag], r[lag + 1]);
            break;
        }
    }
    if (coarse <= 0.0) return 0.0;
    // Fine period: the peak near m periods on, m as many periods as half the window holds, so the
    // error of the parabola is divided by m.
    const int m = std::max(1, int(window / 2 / coarse));
    const int around = int(std::lround(m * coarse));
    const long long fineStart = centre - (window + around) / 2;
    if (fineStart < 0 || fineStart + window + around + 2 > static_cast<long long>(x.size())) return kRate / coarse;
    const double l = correlation(x, fineStart, window, around - 1), c = correlation(x, fineStart, window, around),
                 rr = correlation(x, fineStart, window, around + 1);
    int peak = around;
    double pl = l, pc = c, pr = rr;
    // Walk to the local maximum (the rounding of m * coarse may be a sample off).
    for (int step = 0; step < 4 && !(pc >= pl && pc >= pr); ++step) {
        peak += pr > pl ? 1 : -1;
        pl = correlation(x, fineStart, window, peak - 1);
        pc = correlation(x, fineStart, window, peak);
        pr = correlation(x, fineStart, window, peak + 1);
    }
    return kRate / ((peak + parabolaPeak(pl, pc, pr)) / m);
}

double medianPitch(const std::vector<float>& x, long long from, long long to, long long hop) {
    std::vector<double> v;
    for (long long c = from; c <= to; c += hop) {
        const double f = acfPitch(x, c);
        if (f > 0) v.push_back(f);
    }
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double cents(double f, double r) { return 1200.0 * std::log2(f / r); }

double firstFormant(const std::vector<float>& x, long long centre) {
    // Decimate by 4 with a 4-tap average (the formant of interest is far below the new band edge).
    const int decimation = 4, length = 1024;
    const double rate = double(kRate) / decimation;
    std::vector<double> s(length);
    const long long start = centre - static_cast<long long>(length) * decimation / 2;
    const double pi = std::acos(-1.0);
    for (int i = 0; i < length; ++i) {
        double sum = 0;
        for (int k = 0; k < decimation; ++k) {
            const long long at = start + static_cast<long long>(i) * decimation + k;
            if (at >= 0 && at < static_cast<long long>(x.size())) sum += x[at];
        }
        s[i] = sum / decimation * (0.5 - 0.5 * std::cos(2 * pi * i / (length - 1)));
    }
    const int order = 10;
    std::vector<double> r(order + 1, 0.0);
    for (int lag = 0; lag <= order; ++lag)
        for (int i = lag; i < length; ++i) r[lag] += s[i] * s[i - lag];
    r[0] *= 1.0 + 1e-9;
    std::vector<double> a(order + 1, 0.0), tmp(order + 1);
    a[0] = 1.0;
    double err = r[0];
    for (int i = 1; i <= order; ++i) {
        double acc = r[i];
        for (int j = 1; j < i; ++j) acc += a[j] * r[i - j];
        const double k = -acc / err;
        tmp = a;
        for (int j = 1; j < i; ++j) a[j] = tmp[j] + k * tmp[i - j];
        a[i] = k;
        err *= 1 - k * k;
    }
    auto envelope = [&](double f) {
        double re = 0, im = 0;
        for (int j = 0; j <= order; ++j) {
            re += a[j] * std::cos(2 * pi * f * j / rate);
            im -= a[j] * std::sin(2 * pi * f * j / rate);
        }
        return 1.0 / (re * re + im * im);
    };
    double previous = envelope(249.0), current = envelope(250.0);
    for (double f = 251.0; f < 2000.0; f += 1.0) {
        const double next = envelope(f);
        if (current > previous && current >= next) return f - 1.0;
        previous = current;
        current = next;
    }
    return 0.0;
}

}  // namespace tova::test::vorsa
