#include "render/RenderNotePlan.h"

#include "core/FileHelpers.h"
#include "platform/PathText.h"
#include "platform/Vb.h"

namespace tova {

QString RenderNotePlan::samplePath(const QString& voiceDir) const { return PathText::join(voiceDir, name + sampleExt); }

QString RenderNotePlan::patchPath(const QString& projectPath) const {
    const QString folder = PathText::folderPart(projectPath);
    // A song never saved has no folder of its own: its patches play silence.
    if (folder.isEmpty() || !PathText::staysInside(patch)) return QStringLiteral("R.wav");
    const QString path = PathText::join(folder, patch);
    return FileExists(path) ? path : QStringLiteral("R.wav");
}

QStringList RenderNotePlan::tool2Arguments(const QString& voiceDir) const {
    auto ms4 = [](double v) { return Vb::Format(v, QStringLiteral("0.0###")); };
    return {voiceDir + u'\\' + name + sampleExt,
            noteName,
            Vb::SingleText(velocity),
            u'"' + flags + u'"',
            ms4(offset),
            Vb::SingleText(required),
            ms4(consonant),
            ms4(cutoff),
            intensity,
            modulation,
            pitchText};
}

}  // namespace tova
