#pragma once

#include "RenderFakes.h"
#include "RenderFixtures.h"

#include "core/Processes.h"
#include "core/Settings.h"
#include "platform/FakePorts.h"
#include "platform/SystemPaths.h"
#include "render/DirectRenderer.h"
#include "render/OtoIni.h"
#include "render/RenderBatchFiles.h"
#include "render/RenderCommands.h"
#include "render/ToolRoad.h"
#include "song/Song.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace tova::test {

// Passes every call on to the real road and notes tool 2's notes and tool 1's length texts; `failAt`
// makes the n-th append of tool 1 (counting from 1) fail; `onAppend`, when set, is called with that
// count before each append.
class CountingRoad : public ToolRoad {
public:
    CountingRoad(std::unique_ptr<ToolRoad> inner, QStringList& rendered, QStringList& lengths, int failAt,
                 std::function<void(int)> onAppend = {})
        : inner_(std::move(inner)),
          rendered_(rendered),
          lengths_(lengths),
          failAt_(failAt),
          onAppend_(std::move(onAppend)) {}
    void AppendRest(const QString& o, const QString& r, const QString& l) override {
        append();
        lengths_ << QStringLiteral("rest ") + l;
        inner_->AppendRest(o, r, l);
    }
    void AppendPatch(const QString& o, const QString& p, float s, const QString& l, const QString& e) override {
        append();
        inner_->AppendPatch(o, p, s, l, e);
    }
    void AppendDirect(const QString& o, const QString& p, double off, float s, const QString& l,
                      const QString& e) override {
        append();
        inner_->AppendDirect(o, p, off, s, l, e);
    }
    void RenderNote(const NoteRenderCall& call) override {
        rendered_ << call.noteName;
        inner_->RenderNote(call);
    }
    RenderJob PrepareRender(const NoteRenderCall& call) override {
        RenderJob job = inner_->PrepareRender(call);
        if (job) rendered_ << call.noteName;
        return job;
    }
    void AppendNote(const QString& o, const QString& n, float s, const QString& l, const QString& e) override {
        append();
        lengths_ << QStringLiteral("note ") + l;
        inner_->AppendNote(o, n, s, l, e);
    }

private:
    void append();
    std::unique_ptr<ToolRoad> inner_;
    QStringList& rendered_;
    QStringList& lengths_;
    int failAt_;
    std::function<void(int)> onAppend_;
    int appends_ = 0;
};

// The in-process renderer with its roads counted.
class CountingDirectRenderer : public DirectRenderer {
public:
    using DirectRenderer::DirectRenderer;
    QStringList rendered;       // tool 2's note names, in call order
    QStringList lengths;        // tool 1's length texts of rests and rendered notes, in call order
    QList<bool> libraryRoads;   // the road of each render
    int failAt = 0;
    std::function<void(int)> onAppend;

protected:
    std::unique_ptr<ToolRoad> MakeRoad(bool library) override {
        libraryRoads << library;
        return std::make_unique<CountingRoad>(DirectRenderer::MakeRoad(library), rendered, lengths, failAt, onAppend);
    }
};

// A project over the fixture bank in folders with blanks, the tools of the build's program folder, and
// the render commands wired to the real writer and a counted in-process renderer. Tool 2 is a script
// that logs each note name before it runs the real program, so the batch and program roads count too.
class RenderRoadFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    enum class Road { Batch, Program, Library };
    static const char* roadName(Road r);
    void useRoad(Road road);
    // Renders the whole song through the generate command into `output` and answers the message shown.
    QString generate(const QString& output);
    // The note names tool 2 was called for since the last call, on any road.
    QStringList takeRendered();
    void clearCache();
    // Lays the bank, the project, the temporary folder and the logging tool 2 out under `folder`
    // (SetUp does so under `dir`) and points the song at them; the bank's table is loaded from there.
    void layOut(const QString& folder);
    // Appends a note (lyric and note-extension text in UTF-8) and puts the selection after the last one.
    void addNote(const char* lyric, qint32 ticks, qint32 noteNum, const char* ext);

    QTemporaryDir dir;
    QString root;
    QString bank;
    QString project;
    QString log;
    QString savedFolder;
    ScopedFakePorts ports;
    Song song;
    FakeRenderWindow window;
    RenderBatchFiles writer{song, &window};
    CountingDirectRenderer direct{song, window};
    RenderCommands commands{song, window, writer, direct};
};

// The length of a wave file's sound in ms, after checking that the file is a whole 16-bit mono PCM wave
// at 44100 Hz whose sizes match the file (-1 when it is not).
double WaveDurationMs(const QByteArray& bytes);

}  // namespace tova::test
