#pragma once

#include <QString>
#include <QList>

namespace tova {

// The default-voice generator: the files that lie in the default voice folder and their stored digests.
struct GeneratorFile {
    QString name;
    QString digest;  // 32 lower-case hexadecimal digits
};

class DefaultVoiceGeneratorPort {
public:
    virtual ~DefaultVoiceGeneratorPort() = default;
    // The generator's files in the order they are checked; the batch is the first.
    virtual QList<GeneratorFile> files() = 0;
};

}  // namespace tova
