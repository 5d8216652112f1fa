#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QFile;
class QIODevice;

namespace tova {

// The MIDI-based file being read, with the reader state that its events share. One object reads one
// file at a time.
//
// Every read is bounded: by the end of the file and, while a chunk is open, by the end of the chunk's
// declared length. A read that would pass either end raises SmfFormatError, and so does a chunk whose
// declared length runs past the end of the file; nothing is allocated before its size is known to fit.
class SmfFile {
public:
    SmfFile();
    ~SmfFile();
    SmfFile(const SmfFile&) = delete;
    SmfFile& operator=(const SmfFile&) = delete;

    // Opens a file for binary reading; FileError when it cannot be opened.
    void open(const QString& path);
    // Reads an open random-access device (a file or a buffer) from its current position on. The device
    // is not owned and must outlive the reading.
    void open(QIODevice& device);
    void close();
    bool isOpen() const { return device_ != nullptr; }

    // Position in bytes from where reading started.
    qint64 pos() const { return pos_; }
    // Bytes left to read: to the end of the open chunk, else to the end of the file.
    qint64 remaining() const;
    bool atEnd() const { return remaining() <= 0; }
    // True at the end of the file, whether or not a chunk is open.
    bool atFileEnd() const { return pos_ >= size_; }

    quint8 readByte();
    QByteArray readBytes(qint64 count);
    void skip(qint64 count);

    // The next `length` bytes form a chunk: reads stop at its end until `endChunk`. A negative length
    // or one beyond the end of the file raises SmfFormatError.
    void beginChunk(qint64 length);
    // Closes the open chunk and moves to its end, however much of it was read.
    void endChunk();
    bool inChunk() const { return chunkEnd_ >= 0; }

    // The status byte of the last channel, system or meta event read; running status refers to it.
    // Chunk readers reset it to 0 (no status) at the start of every track.
    quint8 RunningStatus = 0;
    // The text of the last track-name event of the chunk that the chunk reader read last.
    QString LastTrackName;

private:
    // Makes the byte at the position available in the read-ahead buffer.
    void fill();

    QIODevice* device_ = nullptr;
    std::unique_ptr<QFile> file_;
    qint64 start_ = 0;       // device position of byte 0
    qint64 size_ = 0;        // bytes from byte 0 to the end of the file
    qint64 pos_ = 0;
    qint64 chunkEnd_ = -1;   // end of the open chunk, -1 when none is open
    // Read-ahead: the file's bytes from bufferStart_ on, so that single bytes cost no device call.
    QByteArray buffer_;
    qint64 bufferStart_ = 0;
};

}  // namespace tova
