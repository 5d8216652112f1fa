#include "VoiceBankFixture.h"
#include "support/FullDisk.h"

#include "support/TestWave.h"
#include "voicebank/SpectrumAnalysis.h"
#include "voicebank/SpectrumCache.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>

using namespace tova;
using namespace tova::test;
using namespace Qt::StringLiterals;

namespace {

// The transform the FFT must give, summed term by term: X(k) = Σ x(j) e^(sign·2πi jk/n).
std::vector<std::complex<double>> naiveDft(const std::vector<std::complex<double>>& x, double sign) {
    const size_t n = x.size();
    std::vector<std::complex<double>> out(n);
    for (size_t k = 0; k < n; ++k) {
        std::complex<double> sum = 0;
        for (size_t j = 0; j < n; ++j) sum += x[j] * std::polar(1.0, sign * 2 * M_PI * double(j * k % n) / double(n));
        out[k] = sum;
    }
    return out;
}

double relativeError(const std::vector<std::complex<double>>& want, const std::vector<double>& re,
                     const std::vector<double>& im) {
    double err = 0, norm = 0;
    for (size_t k = 0; k < want.size(); ++k) {
        err = std::max(err, std::abs(want[k] - std::complex<double>(re[k], im[k])));
        norm = std::max(norm, std::abs(want[k]));
    }
    return err / norm;
}

}  // namespace

TEST(Spectrum, SinTableHoldsSineAndAQuarterMoreForTheCosine) {
    const QVector<double> t = MakeSinTable(1024);
    ASSERT_EQ(t.size(), 1280);
    for (int i : {0, 1, 100, 511, 1023}) {
        EXPECT_NEAR(t[i], std::sin(2 * M_PI * i / 1024), 1e-15);
        EXPECT_NEAR(t[i + 256], std::cos(2 * M_PI * i / 1024), 1e-15) << i;
    }
}

TEST(Spectrum, FftAgreesWithTheSumInBothDirections) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-30000, 30000);
    for (int n : {4, 8, 64, 1024}) {
        std::vector<std::complex<double>> x(static_cast<size_t>(n));
        for (auto& c : x) c = {value(random), value(random)};
        const QVector<double> table = MakeSinTable(n);
        for (const bool inverse : {false, true}) {
            std::vector<double> re(static_cast<size_t>(n)), im(static_cast<size_t>(n));
            for (int j = 0; j < n; ++j) re[j] = x[j].real(), im[j] = x[j].imag();
            FFT(n, table, re.data(), im.data(), inverse);
            auto want = naiveDft(x, inverse ? -1.0 : 1.0);
            if (inverse)
                for (auto& c : want) c /= n;
            EXPECT_LT(relativeError(want, re, im), 1e-9) << "n=" << n << " inverse=" << inverse;
        }
    }
}

TEST(Spectrum, ASineShowsItsPeakInItsBin) {
    // 44100 Hz, bin 40 = 40 × 44100 / 1024 Hz: the peak of the display values lies there.
    const double f = 40 * 44100.0 / 1024;
    QVector<std::int16_t> s(4096);
    for (int i = 0; i < s.size(); ++i) s[i] = std::int16_t(std::lround(10000 * std::sin(2 * M_PI * f * i / 44100)));
    const QVector<double> table = MakeSinTable(1024);
    const auto out = ComputeSpectrumFrame(s, 1, 2048, table);
    const auto peak = std::max_element(out.begin(), out.end()) - out.begin();
    EXPECT_EQ(peak, 40);
    // Hann-windowed amplitude A over 1024 points: A × 1024 / 4 at the bin, ÷ 256 for the display.
    EXPECT_NEAR(out[40], 10000, 30);
}

TEST(Spectrum, WindowOutsideTheSampleCountsZeroAndStereoUsesTheFirstChannel) {
    const QVector<double> table = MakeSinTable(1024);
    QVector<std::int16_t> mono(3000), stereo(6000);
    std::mt19937 random(3);
    for (int i = 0; i < 3000; ++i) {
        mono[i] = std::int16_t(random() % 20000 - 10000);
        stereo[2 * i] = mono[i];
        stereo[2 * i + 1] = std::int16_t(random() % 20000 - 10000);  // never looked at
    }
    for (std::int64_t pos : {0, 256, 2816}) {
        EXPECT_EQ(ComputeSpectrumFrame(mono, 1, pos, table), ComputeSpectrumFrame(stereo, 2, pos, table)) << pos;
        EXPECT_EQ(ComputeSpectrumCacheRow(mono, 1, pos, table), ComputeSpectrumCacheRow(stereo, 2, pos, table)) << pos;
    }
    // A frame far past the end sees only zeros.
    const auto silent = ComputeSpectrumCacheRow(mono, 1, 10000, table);
    EXPECT_TRUE(std::all_of(silent.begin(), silent.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(Spectrum, CacheBytesAndTheirMagnitudes) {
    struct {
        double magnitude;
        int byte;
    } cases[] = {{0, 0}, {1, 11}, {std::exp(1.0) - 1, 16}, {8.35e6, 255}, {1e12, 255}};
    for (const auto& c : cases) EXPECT_EQ(SpectrumCacheByte(c.magnitude), c.byte) << c.magnitude;
    EXPECT_NEAR(SpectrumCacheMagnitude(16), std::exp(1.0) - 1, 1e-12);
    EXPECT_EQ(SpectrumCacheMagnitude(0), 0.0);
}

TEST(Spectrum, RowCountsOfMonoAndStereo) {
    EXPECT_EQ(SpectrumRowCount(44100, 1), 173);
    EXPECT_EQ(SpectrumRowCount(88200, 2), 173);
    EXPECT_EQ(SpectrumRowCount(1, 1), 1);
    EXPECT_EQ(SpectrumRowCount(256, 1), 1);
    EXPECT_EQ(SpectrumRowCount(257, 1), 2);
    EXPECT_EQ(SpectrumRowCount(0, 1), 0);
    EXPECT_EQ(SpectrumCache::FileSize(173), 4 + 173 * 256);
}

struct CacheTest : ::testing::Test {
    BankFolder bank;
    QVector<std::int16_t> samples;
    QString wave;
    void SetUp() override {
        wave = bank.path(u"ka.wav"_s);
        samples.resize(44100);
        for (int i = 0; i < samples.size(); ++i) samples[i] = std::int16_t(8000 * std::sin(i * 0.05) * std::sin(i * 0.0007));
        writeWave16(wave, 44100, 1, std::vector<std::int16_t>(samples.begin(), samples.end()));
    }
    QString cache() const { return wave + u".kspx"_s; }
    QStringList leftovers() const { return QDir(bank.root()).entryList(QDir::Files | QDir::Hidden); }
};

TEST_F(CacheTest, BuildWritesMagicAndEveryRowAndIsThenCurrent) {
    EXPECT_EQ(SpectrumCache::BuildIfNeeded(wave, samples, 1), SpectrumCache::Build::Built);
    const QByteArray bytes = bank.bytes(u"ka.wav.kspx"_s);
    ASSERT_EQ(bytes.size(), 4 + 173 * 256);
    EXPECT_EQ(bytes.left(4), "bspc");
    const QVector<double> table = MakeSinTable(1024);
    for (int f : {0, 1, 100, 172}) {
        const auto want = ComputeSpectrumCacheRow(samples, 1, std::int64_t(f) * 256, table);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(want.data()), 256), bytes.mid(4 + 256 * f, 256)) << f;
    }
    EXPECT_EQ(SpectrumCache::BuildIfNeeded(wave, samples, 1), SpectrumCache::Build::Current);
    SpectrumCache reader;
    ASSERT_TRUE(reader.open(wave, 173));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(reader.row(100).data()), 256), bytes.mid(4 + 25600, 256));
    EXPECT_EQ(leftovers(), QStringList({u"ka.wav"_s, u"ka.wav.kspx"_s}));
}

TEST_F(CacheTest, AStoppedBuildLeavesNoFileAtAll) {
    int calls = 0;
    EXPECT_EQ(SpectrumCache::BuildIfNeeded(wave, samples, 1, [&](std::int64_t, std::int64_t) { return ++calls == 50; }),
              SpectrumCache::Build::Cancelled);
    EXPECT_EQ(calls, 50);
    EXPECT_EQ(leftovers(), QStringList({u"ka.wav"_s}));
}

TEST_F(CacheTest, ShortEmptyOrForeignCachesAreNeverReadAndAreRebuilt) {
    const QByteArray good = [&] {
        SpectrumCache::BuildIfNeeded(wave, samples, 1);
        return bank.bytes(u"ka.wav.kspx"_s);
    }();
    const QByteArray cases[] = {QByteArray(), good.left(4 + 256 * 100), good.left(2), "xxxx" + good.mid(4), good + "tail"};
    for (const QByteArray& bad : cases) {
        bank.file(u"ka.wav.kspx"_s, bad);
        SpectrumCache reader;
        EXPECT_FALSE(reader.open(wave, 173)) << bad.size();
        EXPECT_TRUE(SpectrumCache::NeedsBuild(wave, 173));
        EXPECT_EQ(SpectrumCache::BuildIfNeeded(wave, samples, 1), SpectrumCache::Build::Built);
        EXPECT_EQ(bank.bytes(u"ka.wav.kspx"_s), good);
    }
}

TEST_F(CacheTest, ANewerSampleMakesTheCacheStale) {
    SpectrumCache::BuildIfNeeded(wave, samples, 1);
    QFile f(cache());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
    f.close();
    EXPECT_TRUE(SpectrumCache::NeedsBuild(wave, 173));
    EXPECT_EQ(SpectrumCache::BuildIfNeeded(wave, samples, 1), SpectrumCache::Build::Built);
    EXPECT_FALSE(SpectrumCache::NeedsBuild(wave, 173));
}

TEST_F(CacheTest, ACacheThatCannotBeWrittenIsReportedAndLeavesNothing) {
    // The cache's name is taken by a folder: the new file cannot take its place.
    QDir().mkpath(cache() + u"/x"_s);
    EXPECT_EQ(SpectrumCache::BuildIfNeeded(wave, samples, 1), SpectrumCache::Build::NotWritable);
    EXPECT_EQ(leftovers(), QStringList({u"ka.wav"_s}));
    SpectrumCache reader;
    EXPECT_FALSE(reader.open(wave, 173));
}

TEST_F(CacheTest, DeleteAllReachesTheFolderAndItsDirectSubFoldersOnly) {
    bank.file(u"a.wav.kspx"_s, "bspc");
    bank.file(u"sub/b.wav.kspx"_s, "bspc");
    bank.file(u"sub/deep/c.wav.kspx"_s, "bspc");
    bank.file(u"sub/b_wav.frq"_s, "keep");
    SpectrumCache::DeleteAll(bank.root());
    EXPECT_FALSE(QFile::exists(bank.path(u"a.wav.kspx"_s)));
    EXPECT_FALSE(QFile::exists(bank.path(u"sub/b.wav.kspx"_s)));
    EXPECT_TRUE(QFile::exists(bank.path(u"sub/deep/c.wav.kspx"_s)));
    EXPECT_TRUE(QFile::exists(bank.path(u"sub/b_wav.frq"_s)));
    SpectrumCache::DeleteAll(QString());  // an empty folder text deletes nothing anywhere
    EXPECT_TRUE(QFile::exists(bank.path(u"sub/deep/c.wav.kspx"_s)));
}

// A cache that cannot be written whole on a full disk is not built: the old cache file stays as it was.
TEST_F(CacheTest, AFullDiskKeepsTheOldCacheAndBuildsNothing) {
    bank.file(u"ka.wav.kspx"_s, "old cache");
    SpectrumCache::Build b = SpectrumCache::Build::Built;
    {
        FileSizeLimit limit(1000);
        b = SpectrumCache::BuildIfNeeded(wave, samples, 1);
    }
    EXPECT_EQ(b, SpectrumCache::Build::NotWritable);
    EXPECT_EQ(bank.bytes(u"ka.wav.kspx"_s), QByteArray("old cache"));
    EXPECT_EQ(temporaryFiles(bank.root()), QStringList{});
}
