// A failing handler of the main window ends with the failure's description under the title
// "予期せぬエラー", and nothing leaves the handler.
#include "core/Settings.h"
#include "platform/EventGuard.h"
#include "platform/Errors.h"
#include "platform/FakePorts.h"

#include <stdexcept>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(WindowHandlerGuard, FailureShowsItsDescriptionUnderTheTitle) {
    settings() = Settings();
    const struct {
        const char* name;
        std::function<void()> handler;
        bool ok;
        QString text;
    } cases[] = {
        {"succeeds", [] {}, true, QString()},
        {"file failure", [] { throw FileError(u"ファイルが見つかりません。"_s); }, false, u"ファイルが見つかりません。"_s},
        {"overflow", [] { throw OverflowError(); }, false, OverflowError().description()},
        {"other failure", [] { throw std::runtime_error("bad state"); }, false, u"bad state"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedFakePorts ports;
        bool ok = true;
        EXPECT_NO_THROW(ok = EventGuard::runHandler(c.handler));
        EXPECT_EQ(ok, c.ok);
        if (c.ok) {
            EXPECT_TRUE(ports.messageBox.shown.isEmpty());
            continue;
        }
        ASSERT_EQ(ports.messageBox.shown.size(), 1);
        EXPECT_EQ(ports.messageBox.shown[0].text, c.text);
        EXPECT_EQ(ports.messageBox.shown[0].title, u"予期せぬエラー"_s);
    }
}

}  // namespace

namespace {

// The guard reads DebugMode from the settings themselves: a dialog that changes the setting changes
// the guard at once, with no reload.
TEST(WindowHandlerGuard, FollowsTheDebugModeSettingAtOnce) {
    settings() = Settings();
    EXPECT_FALSE(EventGuard::debugMode());
    settings().DebugMode = true;
    EXPECT_TRUE(EventGuard::debugMode());
    EventGuard::setDebugMode(false);
    EXPECT_FALSE(settings().DebugMode);
}

}  // namespace
