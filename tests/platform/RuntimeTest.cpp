// The event-handler guard, the modal-window ports and waiting with events.
#include "platform/EventGuard.h"
#include "platform/EventWait.h"
#include "platform/FakePorts.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tova;

namespace {

TEST(EventGuard, ShowsUnexpectedFailuresAndSwallowsThem) {
    ScopedFakePorts ports;
    EventGuard::setDebugMode(false);
    const struct { const char* name; std::function<void()> body; const char* text; } cases[] = {
        {"runtime failure", [] { throw OverflowError(); }, "予期せぬエラー：オーバーフローしました。"},
        {"standard exception", [] { throw std::runtime_error("boom"); }, "予期せぬエラー：boom"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(EventGuard::run(c.body));
        EXPECT_EQ(ports.messageBox.lastText(), QString::fromUtf8(c.text));
    }
    EXPECT_TRUE(EventGuard::run([] {}));
    EXPECT_EQ(ports.messageBox.shown.size(), 2);
}

TEST(Ports, FakesAnswerFromTheirScriptAndRecord) {
    ScopedFakePorts ports;
    ports.messageBox.answers.enqueue(MsgResult::No);
    EXPECT_EQ(Ports::msgBox("q?", MsgButtons::YesNoCancel), MsgResult::No);
    // An empty script answers the default button.
    MessageRequest r;
    r.buttons = MsgButtons::YesNoCancel;
    r.defaultButton = 2;
    EXPECT_EQ(Ports::messageBox().show(r), MsgResult::Cancel);

    ports.inputBox.answers.enqueue({true, "abc"});
    QString answer = "old";
    EXPECT_TRUE(Ports::inputBox().ask({"prompt", "title", "def"}, answer));
    EXPECT_EQ(answer, "abc");
    EXPECT_FALSE(Ports::inputBox().ask({"prompt", "title", "def"}, answer));
    EXPECT_EQ(answer, "abc");

    FileDialogResult fr;
    ports.fileDialog.answers.enqueue("/x/y.wav");
    EXPECT_TRUE(Ports::fileDialog().run({}, fr));
    EXPECT_EQ(fr.fileName, "/x/y.wav");
    EXPECT_FALSE(Ports::fileDialog().run({}, fr));
    EXPECT_EQ(ports.fileDialog.asked.size(), 2);
}

TEST(Ports, MissingPortFailsInsteadOfBlocking) {
    Ports::setMessageBox(nullptr);
    EXPECT_THROW(Ports::msgBox("x"), TovaError);
}

TEST(EventWait, HandlesEventsBetweenPollsAndStops) {
    int ticks = 0;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(EventWait::until([&] { return clock.elapsed() >= 100; }, 10));
    EXPECT_GT(ticks, 3);  // the window's timer kept firing while we waited

    std::atomic<int> abort{0};
    QTimer::singleShot(30, [&] { abort = 1; });
    EXPECT_FALSE(EventWait::until([] { return false; }, 10, &abort));
    EXPECT_FALSE(EventWait::until([] { return false; }, 10, nullptr, 50));
}

}  // namespace
