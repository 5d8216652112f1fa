#include "exchange/midi/SmfFile.h"

#include "exchange/midi/SmfFormatError.h"
#include "platform/FileSystem.h"

#include <QFile>

#include <cstring>

namespace tova {

namespace {

constexpr qint64 ReadAhead = 64 * 1024;

}  // namespace

SmfFile::SmfFile() = default;
SmfFile::~SmfFile() = default;

void SmfFile::open(const QString& path) {
    close();
    auto file = std::make_unique<QFile>(FileSystem::resolve(path));
    if (path.isEmpty() || !file->open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("ファイルが見つかりません。"), 53);
    file_ = std::move(file);
    open(*file_);
}

void SmfFile::open(QIODevice& device) {
    if (&device != file_.get()) close();
    if (!device.isOpen() || !device.isReadable() || device.isSequential()) throw InvalidCallError();
    device_ = &device;
    start_ = device.pos();
    size_ = qMax<qint64>(0, device.size() - start_);
    pos_ = 0;
    chunkEnd_ = -1;
    buffer_.clear();
    bufferStart_ = 0;
    RunningStatus = 0;
    LastTrackName.clear();
}

void SmfFile::close() {
    device_ = nullptr;
    file_.reset();
    pos_ = size_ = start_ = 0;
    chunkEnd_ = -1;
    buffer_.clear();
    bufferStart_ = 0;
}

qint64 SmfFile::remaining() const {
    if (!device_) return 0;
    return (chunkEnd_ >= 0 ? chunkEnd_ : size_) - pos_;
}

void SmfFile::fill() {
    if (pos_ >= bufferStart_ && pos_ < bufferStart_ + buffer_.size()) return;
    const qint64 want = qMin(ReadAhead, size_ - pos_);
    buffer_.resize(qsizetype(want));
    if (!device_->seek(start_ + pos_) || device_->read(buffer_.data(), want) != want) {
        buffer_.clear();
        throw IoError(QStringLiteral("ファイルを読み込めません。"));
    }
    bufferStart_ = pos_;
}

quint8 SmfFile::readByte() {
    if (remaining() < 1) throw SmfFormatError();
    fill();
    return quint8(buffer_.at(qsizetype(pos_++ - bufferStart_)));
}

QByteArray SmfFile::readBytes(qint64 count) {
    if (count < 0 || count > remaining()) throw SmfFormatError();
    QByteArray bytes(qsizetype(count), Qt::Uninitialized);
    qint64 done = 0;
    while (done < count) {
        fill();
        const qint64 offset = pos_ - bufferStart_;
        const qint64 n = qMin(count - done, qint64(buffer_.size()) - offset);
        std::memcpy(bytes.data() + done, buffer_.constData() + offset, size_t(n));
        done += n;
        pos_ += n;
    }
    return bytes;
}

void SmfFile::skip(qint64 count) {
    if (count < 0 || count > remaining()) throw SmfFormatError();
    pos_ += count;
}

void SmfFile::beginChunk(qint64 length) {
    if (!device_ || length < 0 || length > size_ - pos_) throw SmfFormatError();
    chunkEnd_ = pos_ + length;
}

void SmfFile::endChunk() {
    if (chunkEnd_ < 0) return;
    pos_ = chunkEnd_;
    chunkEnd_ = -1;
}

}  // namespace tova
