// Any bytes as a voice bank's oto.ini, prefix.map and character.txt (the input's parts between NUL
// bytes), read as the program reads a bank, then looked up.
#include "FuzzInput.h"

#include "core/Settings.h"
#include "platform/Errors.h"
#include "platform/FakePorts.h"
#include "render/AliasLookup.h"
#include "render/OtoIni.h"
#include "render/VoiceBankList.h"

using namespace tova;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScopedFakePorts ports;
    ports.messageBox.shown.clear();
    settings().NoOtoReport = true;
    const QList<QByteArray> parts = fuzz::partsOf(fuzz::bytesOf(data, size), 3);
    const QString bank = fuzz::scratchFolder() + QStringLiteral("/bank");
    fuzz::put(bank + QStringLiteral("/oto.ini"), parts[0]);
    fuzz::put(bank + QStringLiteral("/prefix.map"), parts[1]);
    fuzz::put(bank + QStringLiteral("/character.txt"), parts[2]);
    try {
        LoadOtoIni(bank);
        LoadPrefixMap(bank);
        for (qint32 note : {0, 36, 60, 107}) {
            float pre = 0, ovl = 0;
            LookupNoteOto(note, QStringLiteral("あ"), pre, ovl);
            StripPrefixMap(note, ApplyPrefixMap(note, QStringLiteral("a")));
        }
        QString folder = bank, name, image, sample, author, web, description;
        ReadCharacterTxt(folder, name, image, sample, author, web, description);
        for (const QString& entry : OtoTable()) CheckOtoEntry(entry);
    } catch (const TovaError&) {
    }
    return 0;
}
