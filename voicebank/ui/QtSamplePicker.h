#pragma once

#include "render/SystemMci.h"
#include "voicebank/SamplePickerPort.h"
#include "voicebank/ui/frmFromList.h"

#include <QPointer>

namespace tova {

// The sample picker of the running program: one frmFromList, made on first use over the owner's
// window and kept (hidden between uses) so that its list survives while the voice folder stays.
class QtSamplePicker : public SamplePickerPort {
public:
    // `mci` plays the samples; null: the program's multimedia layer.
    explicit QtSamplePicker(MciPort* mci = nullptr) : mci_(mci ? mci : &systemMci_) {}
    ~QtSamplePicker() override;
    void ShowList(const QString& voiceFolder, EditContext& owner) override;
    // The window while it exists.
    frmFromList* window() const { return form_; }

private:
    SystemMci systemMci_;
    MciPort* mci_;
    QPointer<frmFromList> form_;
};

}  // namespace tova
