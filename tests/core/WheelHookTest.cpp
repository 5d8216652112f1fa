// The mouse-wheel hook on real widgets.
#include "core/WheelClient.h"
#include "core/WheelHook.h"
#include "platform/FakePorts.h"
#include "platform/ui/QtWheelHook.h"

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

using namespace tova;

namespace {

// A widget that counts the wheel events it handles itself.
class Roll : public QWidget {
public:
    int wheels = 0;

protected:
    void wheelEvent(QWheelEvent* e) override {
        ++wheels;
        e->accept();
    }
};

struct Client : WheelClient {
    QObject* target = nullptr;
    QList<QPair<int, int>> calls;  // direction, key state
    std::function<void()> during;
    QObject* TargetHwnd() const override { return target; }
    void WheelEvent(int16_t direction, int16_t& keyState) override {
        calls << qMakePair(int(direction), int(keyState));
        if (during) during();
    }
};

void turn(QWidget* w, int dy, Qt::KeyboardModifiers mods = Qt::NoModifier, int dx = 0) {
    QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(dx, dy), Qt::NoButton, mods, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(w, &e);
}

class WheelHook : public ::testing::Test {
protected:
    void SetUp() override {
        WheelHookPort::install(&port);
        InitWheelHook();
        client.target = &roll;
    }
    void TearDown() override {
        UnhookWheels();
        WheelHookPort::install(nullptr);
    }
    ScopedFakePorts ports;
    QtWheelHook port;
    Roll roll;
    Client client;
};

TEST_F(WheelHook, EachWheelStepCallsWheelEventWithDirectionAndKeys) {
    ASSERT_TRUE(HookWheel(&client));
    const struct {
        int delta;
        Qt::KeyboardModifiers mods;
        int direction, keys;
    } cases[] = {
        {120, Qt::NoModifier, 1, 0},       // turned away from the user
        {-120, Qt::NoModifier, -1, 0},     // towards the user
        {-1, Qt::NoModifier, -1, 0},       // a high-resolution wheel still makes one step
        {8, Qt::NoModifier, 1, 0},
        {240, Qt::NoModifier, 1, 0},       // a big turn is one step too
        {120, Qt::ShiftModifier, 1, 1},
        {-120, Qt::ControlModifier, -1, 2},
        {120, Qt::ShiftModifier | Qt::ControlModifier, 1, 3},
        {120, Qt::AltModifier, 1, 0},
    };
    for (const auto& c : cases) {
        client.calls.clear();
        const int before = roll.wheels;
        turn(&roll, c.delta, c.mods);
        EXPECT_EQ(client.calls, (QList<QPair<int, int>>{{c.direction, c.keys}})) << c.delta;
        EXPECT_EQ(roll.wheels, before + 1);  // the widget still gets the message
    }
    EXPECT_EQ(WheelDirection(0), 1);
    EXPECT_EQ(WheelDirection(-32768), -1);

    // A horizontal turn is not a wheel step of the hook; the widget handles it as ever.
    client.calls.clear();
    turn(&roll, 0, Qt::NoModifier, 120);
    EXPECT_TRUE(client.calls.isEmpty());
}

TEST_F(WheelHook, RegisteringTwiceChangesNothingAndUnhookRestoresTheWindow) {
    ASSERT_TRUE(HookWheel(&client));
    EXPECT_FALSE(HookWheel(&client));
    EXPECT_FALSE(HookWheel(nullptr));
    turn(&roll, 120);
    EXPECT_EQ(client.calls.size(), 1);

    // An object without a window registers but hooks nothing.
    Client windowless;
    EXPECT_TRUE(HookWheel(&windowless));

    UnhookWheels();
    const int before = roll.wheels;
    turn(&roll, 120);
    EXPECT_EQ(client.calls.size(), 1);
    EXPECT_EQ(roll.wheels, before + 1);
    UnhookWheels();  // no list any more: nothing happens
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());

    // Registering without a list is a failure, reported as such.
    EXPECT_FALSE(HookWheel(&client));
    EXPECT_EQ(ports.messageBox.lastText(), QStringLiteral("予期せぬエラー"));
}

TEST_F(WheelHook, AWheelEventHandlerThatTurnsTheWheelIsNotReentered) {
    ASSERT_TRUE(HookWheel(&client));
    client.during = [this] { turn(&roll, -120); };
    turn(&roll, 120);
    EXPECT_EQ(client.calls, (QList<QPair<int, int>>{{1, 0}}));
    EXPECT_EQ(roll.wheels, 2);  // the inner message went straight to the widget

    // The first object registered for a window takes its wheel.
    client.during = nullptr;
    Client second;
    second.target = &roll;
    ASSERT_TRUE(HookWheel(&second));
    turn(&roll, 120);
    EXPECT_EQ(client.calls.size(), 2);
    EXPECT_TRUE(second.calls.isEmpty());
}

}  // namespace
