#include "mainwindow/ui/WindowLoaders.h"

#include "core/Settings.h"
#include "core/ui/ModelDialog.h"
#include "editors/ui/Form2.h"
#include "editors/ui/frmDefaultProperty.h"
#include "editors/ui/frmMode2.h"
#include "editors/ui/frmNotePropEx.h"
#include "editors/ui/frmNoteProperty.h"
#include "editors/ui/frmVolumeFunctionizer.h"
#include "exchange/ui/frmPluginExecute.h"
#include "exchange/ui/frmSelectTrack.h"
#include "mainwindow/ui/Form3.h"
#include "mainwindow/ui/frmOptions.h"
#include "render/SystemMci.h"
#include "voicebank/Tool2Calls.h"
#include "voicebank/ui/frmEditFreqList.h"
#include "voicebank/ui/frmFreqGen.h"
#include "voicebank/ui/frmFromList.h"
#include "voicebank/ui/frmOtoEdit.h"
#include "voicebank/ui/frmPrefixmap.h"
#include "voicebank/ui/frmSurffixBroker.h"
#include "voicebank/ui/frmVoiceProperty.h"
#include "voicebank/ui/frmVoicesetManager.h"

namespace tova {

void RegisterWindowLoaders(VoiceBankAccess& voices) {
    ModelDialog::registerLoader<Form2>(QStringLiteral("Form2"));
    ModelDialog::registerLoader<frmNotePropEx>(QStringLiteral("frmNotePropEx"));
    ModelDialog::registerLoader<frmVolumeFunctionizer>(QStringLiteral("frmVolumeFunctionizer"));
    ModelDialog::registerLoader<frmPrefixmap>(QStringLiteral("frmPrefixmap"));
    ModelDialog::registerLoader<frmSurffixBroker>(QStringLiteral("frmSurffixBroker"));
    ModelDialog::registerLoader<frmEditFreqList>(QStringLiteral("frmEditFreqList"));
    ModelDialog::registerLoader<frmOtoEdit>(QStringLiteral("frmOtoEdit"));
    ModelDialog::registerLoader(QStringLiteral("frmFreqGen"), [] {
        static ProgramTool2Calls tool;  // the window runs tool 2 only when asked
        return static_cast<QWidget*>(new frmFreqGen(tool));
    });
    ModelDialog::registerLoader<frmVoiceProperty>(QStringLiteral("frmVoiceProperty"));
    ModelDialog::registerLoader<frmVoicesetManager>(QStringLiteral("frmVoicesetManager"));
    ModelDialog::registerLoader<frmPluginExecute>(QStringLiteral("frmPluginExecute"));
    ModelDialog::registerLoader<frmSelectTrack>(QStringLiteral("frmSelectTrack"));
    ModelDialog::registerLoader(QStringLiteral("frmNoteProperty"),
                                [] { return static_cast<QWidget*>(new frmNoteProperty(settings())); });
    ModelDialog::registerLoader(QStringLiteral("frmMode2"), [] { return static_cast<QWidget*>(new frmMode2(settings())); });
    ModelDialog::registerLoader(QStringLiteral("frmFromList"), [] {
        static SystemMci mci;  // the window only plays a sample when asked
        return static_cast<QWidget*>(new frmFromList(mci));
    });
    ModelDialog::registerLoader(QStringLiteral("frmDefaultProperty"),
                                [] { return static_cast<QWidget*>(new frmDefaultProperty(settings())); });
    ModelDialog::registerLoader(QStringLiteral("Form3"),
                                [&voices] { return static_cast<QWidget*>(new Form3(voices, nullptr, nullptr)); });
    ModelDialog::registerLoader(QStringLiteral("frmOptions"),
                                [&voices] { return static_cast<QWidget*>(new frmOptions(voices)); });
}

}  // namespace tova
