#pragma once

#include "core/Settings.h"
#include "platform/SystemPaths.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tova::test {

// Points the program folder at a fresh empty folder and starts every test from default settings.
class ProgramFolderFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        SystemPaths::setProgramFolder(dir_.path());
        settings() = Settings{};
    }
    void TearDown() override {
        SystemPaths::setProgramFolder(QString());
        settings() = Settings{};
    }
    QString folder() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.path() + u'/' + name; }

private:
    QTemporaryDir dir_;
};

}  // namespace tova::test
