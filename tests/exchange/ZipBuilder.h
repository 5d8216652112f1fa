#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <sys/stat.h>
#include <zip.h>

namespace tova::test {

// Builds ZIP archives for tests with libzip: entries with raw name bytes (stored as written, so names
// like "../x" or code page 932 bytes go in unchanged), optional Unix modes (links, devices, folders)
// and the UTF-8 flag.
class ZipBuilder {
public:
    struct Item {
        QByteArray name;
        QByteArray data;
        unsigned mode = 0;  // Unix mode with its type bits; 0: none stored (DOS attributes)
        bool utf8 = false;
        bool folder = false;
    };
    QList<Item> items;

    ZipBuilder& file(const QByteArray& name, const QByteArray& data, unsigned mode = 0) {
        items.append({name, data, mode, false, false});
        return *this;
    }
    ZipBuilder& utf8File(const QByteArray& name, const QByteArray& data) {
        items.append({name, data, 0, true, false});
        return *this;
    }
    ZipBuilder& folder(const QByteArray& name) {
        items.append({name, QByteArray(), S_IFDIR | 0755, false, true});
        return *this;
    }
    ZipBuilder& link(const QByteArray& name, const QByteArray& target) {
        items.append({name, target, S_IFLNK | 0777, false, false});
        return *this;
    }
    ZipBuilder& device(const QByteArray& name) {
        items.append({name, QByteArray(), S_IFCHR | 0666, false, false});
        return *this;
    }

    // Writes the archive; false when libzip refused.
    bool write(const QString& path) const {
        int error = 0;
        zip_t* z = zip_open(path.toLocal8Bit().constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        if (!z) return false;
        for (const Item& item : items) {
            const zip_flags_t enc = item.utf8 ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_CP437;
            zip_int64_t index = -1;
            if (item.folder) {
                index = zip_dir_add(z, item.name.constData(), enc);
            } else {
                zip_source_t* src = zip_source_buffer(z, item.data.constData(), zip_uint64_t(item.data.size()), 0);
                if (!src) {
                    zip_discard(z);
                    return false;
                }
                index = zip_file_add(z, item.name.constData(), src, enc | ZIP_FL_OVERWRITE);
                if (index < 0) zip_source_free(src);
            }
            if (index < 0) {
                zip_discard(z);
                return false;
            }
            if (item.mode)
                zip_file_set_external_attributes(z, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, zip_uint32_t(item.mode) << 16);
        }
        return zip_close(z) == 0;
    }
};

}  // namespace tova::test
