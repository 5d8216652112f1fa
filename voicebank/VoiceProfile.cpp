#include "voicebank/VoiceProfile.h"

#include "core/FileHelpers.h"
#include "core/FrqHeader.h"
#include "core/Mci.h"
#include "core/NoteNames.h"
#include "core/ReadmeMarker.h"
#include "core/WaveFiles.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Vb.h"
#include "platform/Cp932Lines.h"
#include "render/VoiceBankList.h"

#include <QFileInfo>
#include <QRandomGenerator>

namespace tova {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool endsWithSampleExtension(const QString& name) {
    return name.right(4).compare(QStringLiteral(".wav"), Qt::CaseInsensitive) == 0 ||
           name.right(5).compare(QStringLiteral(".aiff"), Qt::CaseInsensitive) == 0;
}

// Every name of one directory search, taken whole before anything else searches.
QStringList listNames(const QString& pattern, int mask) {
    QStringList names;
    for (QString n = SafeDir(pattern, mask); !n.isEmpty(); n = SafeDir()) names << n;
    return names;
}

}  // namespace

void VoiceProfile::Begin(const QString& voiceFolder, const QString& callerName, bool withButtons) {
    folder = voiceFolder;
    while (folder.size() > 1 && PathText::isSeparator(folder.back())) folder.chop(1);
    name = callerName;
    samplePath.clear();
    registered = false;
    closing = false;
    registerFlag = withButtons;
}

void VoiceProfile::Form_Load() {
    windowHeightTwips = registerFlag ? 4875 : 4470;
    author.clear();
    web.clear();
    other.clear();
    QString profileFolder = folder, shownName, image, sample;
    ReadCharacterTxt(profileFolder, shownName, image, sample, author, web, other);

    QString readme;
    const QString readmePath = FindVoiceReadme(folder);
    if (!readmePath.isEmpty())
        for (const QString& line : ReadCp932Lines(readmePath)) readme += line + kCrLf;

    if (!image.isEmpty() && FileExists(PathText::join(profileFolder, image)))
        picturePath = FileSystem::resolve(PathText::join(profileFolder, image));
    txtReadme = readme.isEmpty() ? QStringLiteral("No file.") : readme;
    if (shownName.isEmpty()) shownName = PathText::filePart(folder);
    if (!sample.isEmpty()) samplePath = PathText::join(folder, sample);
    txtName = shownName;
}

void VoiceProfile::Timer1_Timer() {
    QString text = ComputeStatistics(folder);
    if (!author.isEmpty()) text += kCrLf + QStringLiteral("author : ") + author;
    if (!web.isEmpty()) text += kCrLf + QStringLiteral("web : ") + web;
    txtStatics = other + kCrLf + text;
}

QString VoiceProfile::ComputeStatistics(const QString& voiceFolder) {
    samples.clear();
    QStringList subFolders;
    for (const QString& entry : listNames(PathText::join(voiceFolder, QStringLiteral("*.*")), kDirFolders)) {
        if (entry == u"." || entry == u"..") continue;
        const QString path = PathText::join(voiceFolder, entry);
        if (FileSystem::isFolder(path))
            subFolders << entry;
        else if (endsWithSampleExtension(entry))
            samples << entry;
    }
    for (const QString& sub : subFolders) {
        if (closing) break;
        const QString base = PathText::join(voiceFolder, sub);
        QStringList found = listNames(PathText::join(base, QStringLiteral("*.wav")), kDirFiles);
        if (found.isEmpty()) found = listNames(PathText::join(base, QStringLiteral("*.aiff")), kDirFiles);
        for (const QString& file : found) {
            samples << sub + u'/' + file;
            events();
        }
    }

    qint64 voices = 0, tables = 0, bytes = 0;
    double frequencySum = 0;
    for (const QString& sample : samples) {
        if (closing) break;
        ++voices;
        const QString path = PathText::join(voiceFolder, sample);
        bytes += QFileInfo(FileSystem::resolve(path)).size();
        FrqHeader header;
        QVector<double> frames;
        if (ReadFrqFile(header, frames, path)) {
            ++tables;
            frequencySum += header.averageFreq;
        }
        events();
    }

    QString frequencyText = QStringLiteral("unknown");
    if (tables >= 1) {
        const double average = frequencySum / double(tables);
        frequencyText = Vb::Format(average, QStringLiteral("0.0")) + QStringLiteral(" Hz (") + FreqToNoteName(average) + u')';
    }
    QString shareText = QStringLiteral("unknown");
    if (voices >= 1) shareText = Vb::Format(double(tables) / double(voices) * 100.0, QStringLiteral("0.0")) + u'%';
    return QStringLiteral("voices : ") + QString::number(voices) + kCrLf + QStringLiteral("size : ") +
           Vb::Format(double(bytes), QStringLiteral("#,##0")) + QStringLiteral("bytes") + kCrLf +
           QStringLiteral("uses : ") + shareText + kCrLf + QStringLiteral("freq avg : ") + frequencyText + kCrLf;
}

void VoiceProfile::Label2_Click() {
    QString path = samplePath;
    if (path.isEmpty()) {
        if (samples.isEmpty()) return;  // nothing gathered (yet): nothing to play
        const double r = random ? random() : QRandomGenerator::global()->generateDouble();
        const qsizetype index = std::clamp<qsizetype>(qsizetype(r * double(samples.size())), 0, samples.size() - 1);
        path = PathText::join(folder, samples.at(index));
    }
    if (play)
        play(path);
    else
        PlaySoundAsync(path);
}

void VoiceProfile::cmdOK_Click() {
    closing = true;
    registered = true;
    accept();
}

void VoiceProfile::cmdCancel_Click() {
    closing = true;
    reject();
}

void VoiceProfile::Form_QueryUnload() { closing = true; }

void VoiceProfile::cancelRequested() {
    Form_QueryUnload();
    reject();
}

bool VoiceProfile::MarkReadmeRead(const QString& voiceFolder) {
    if (FindVoiceReadme(voiceFolder).isEmpty()) return false;
    if (VoiceReadmeUnread(voiceFolder)) WriteReadMarker(voiceFolder);  // a read-only folder is passed over
    return false;
}

}  // namespace tova
