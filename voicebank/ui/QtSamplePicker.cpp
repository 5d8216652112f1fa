#include "voicebank/ui/QtSamplePicker.h"

#include "commands/EditContext.h"
#include "voicebank/ui/frmFromList.h"

namespace tova {

QtSamplePicker::~QtSamplePicker() { delete form_.data(); }

void QtSamplePicker::ShowList(const QString& voiceFolder, EditContext& owner) {
    if (!form_) form_ = new frmFromList(*mci_, qobject_cast<QWidget*>(owner.ownerWindow()));
    form_->ShowList(voiceFolder, owner);
}

}  // namespace tova
