#pragma once

#include "core/ProgramFolderFixture.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace tova::test {

// Window tests of the editors' modal dialogs, in a program folder of their own.
class ModalDialogFixture : public ProgramFolderFixture {
protected:
    // Runs `inside` on the modal dialog once it is shown; a step that leaves it open closes it.
    template <typename Form>
    void whenShown(const std::function<void(Form&)>& inside) {
        QTimer::singleShot(0, [inside] {
            auto* w = qobject_cast<Form*>(QApplication::activeModalWidget());
            ASSERT_NE(w, nullptr);
            inside(*w);
            if (w->isVisible()) w->reject();
        });
    }
};

}  // namespace tova::test
