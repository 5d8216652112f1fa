#include "platform/lean/FrqTable.h"

#include "platform/lean/Files.h"

#include <unistd.h>

#include <cmath>
#include <cstring>

namespace tova::lean {
namespace {

std::int32_t little32(const char* p) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = (v << 8) | std::uint8_t(p[k]);
    return std::int32_t(v);
}

double littleDouble(const char* p) {
    std::uint64_t v = 0;
    for (int k = 7; k >= 0; --k) v = (v << 8) | std::uint8_t(p[k]);
    double d;
    std::memcpy(&d, &v, 8);
    return d;
}

void put32(char* p, std::int32_t value) {
    const std::uint32_t v = std::uint32_t(value);
    for (int k = 0; k < 4; ++k) p[k] = char((v >> (8 * k)) & 0xFF);
}

void putDouble(char* p, double d) {
    std::uint64_t v;
    std::memcpy(&v, &d, 8);
    for (int k = 0; k < 8; ++k) p[k] = char((v >> (8 * k)) & 0xFF);
}

bool endsWith(const std::string& s, std::string_view end) {
    return s.size() >= end.size() && std::string_view(s).substr(s.size() - end.size()) == end;
}

}  // namespace

std::string FrqTable::nameFor(const std::string& samplePath) {
    std::string name = samplePath + ".frq";
    if (endsWith(name, ".wav.frq")) name.replace(name.size() - 8, 8, "_wav.frq");
    return name;
}

std::string FrqTable::backupNameFor(const std::string& tableName) {
    if (endsWith(tableName, ".frq")) return tableName.substr(0, tableName.size() - 4) + ".bak";
    return tableName + ".bak";
}

bool FrqTable::voiceValues(double averageFreq, const double* values, std::size_t count) {
    // A frequency beyond a voice's (1e308 from a damaged or hostile table) would make the renderer
    // place its periods nowhere and write full-scale clicks.
    const auto frequency = [](double f) { return std::isfinite(f) && f <= kMaxFrequency; };
    if (!frequency(averageFreq)) return false;
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(values[i]) || (i % 2 == 0 && !frequency(values[i]))) return false;
    return true;
}

bool FrqTable::decode(std::string_view bytes) {
    if (bytes.size() < std::size_t(kHeaderBytes)) return false;
    const char* h = bytes.data();
    const std::int32_t count = little32(h + 36);
    if (count < 1 || count > kMaxFrames) return false;
    const std::size_t n = 2 * std::size_t(count);
    if (bytes.size() < std::size_t(kHeaderBytes) + 8 * n) return false;
    std::vector<double> read(n);
    for (std::size_t i = 0; i < n; ++i) read[i] = littleDouble(h + kHeaderBytes + 8 * i);
    const double average = littleDouble(h + 12);
    if (!voiceValues(average, read.data(), n)) return false;
    signature.assign(h, 8);
    reserved = little32(h + 8);
    averageFreq = average;
    extra1 = littleDouble(h + 20);
    extra2 = littleDouble(h + 28);
    frameCount = count;
    values = std::move(read);
    return true;
}

std::string FrqTable::encode() const {
    if (frameCount < 1 || frameCount > kMaxFrames || values.size() != 2 * std::size_t(frameCount)) return {};
    std::string bytes(std::size_t(kHeaderBytes) + 8 * values.size(), '\0');
    char* p = bytes.data();
    // The signature is a fixed 8-character field: a shorter text is padded with blanks.
    std::string sig = signature.substr(0, 8);
    sig.append(8 - sig.size(), ' ');
    std::memcpy(p, sig.data(), 8);
    put32(p + 8, reserved);
    putDouble(p + 12, averageFreq);
    putDouble(p + 20, extra1);
    putDouble(p + 28, extra2);
    put32(p + 36, frameCount);
    for (std::size_t i = 0; i < values.size(); ++i) putDouble(p + kHeaderBytes + 8 * i, values[i]);
    return bytes;
}

bool FrqTable::read(const std::string& samplePath) {
    if (samplePath.empty()) return false;
    const std::string table = nameFor(samplePath);
    if (table.find('*') != std::string::npos) return false;
    std::string bytes;
    return Files::read(Files::resolve(table), bytes) && !bytes.empty() && decode(bytes);
}

bool FrqTable::write(const std::string& samplePath) const {
    if (samplePath.empty()) return false;
    const std::string table = nameFor(samplePath);
    if (table.find('*') != std::string::npos) return false;
    const std::string bytes = encode();
    if (bytes.empty()) return false;
    const std::string path = Files::resolve(table);
    // The old table becomes the backup once the new one can be written.
    if (Files::isFile(path)) {
        const std::string backup = Files::resolve(backupNameFor(table));
        if (Files::exists(backup) && ::unlink(backup.c_str()) != 0) return false;
        if (!Files::copy(path, backup)) return false;
    }
    return Files::writeAtomically(path, bytes);
}

}  // namespace tova::lean
