#pragma once

#include <QString>

namespace tova {

class EditContext;

// The sample picker as the main window's command opens it: shown beside the owner, not modal; its
// list is filled anew when the voice folder changed. A double click on a sample later inserts it
// through the owner. The form implements it (voicebank/ui/QtSamplePicker.h); tests give a fake.
class SamplePickerPort {
public:
    virtual ~SamplePickerPort() = default;
    virtual void ShowList(const QString& voiceFolder, EditContext& owner) = 0;
};

}  // namespace tova
