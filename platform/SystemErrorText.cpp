#include "platform/SystemErrorText.h"

#include <cerrno>
#include <cstring>

namespace tova {

QString SystemErrorText(int errorNumber) {
    switch (errorNumber) {
    case ENOSPC: return QStringLiteral("ディスクの空き領域が不足しています。");
    case EDQUOT: return QStringLiteral("ディスクの使用量の上限に達しました。");
    case EFBIG: return QStringLiteral("ファイルが大きすぎます。");
    case EACCES:
    case EPERM: return QStringLiteral("書き込む権限がありません。");
    case EROFS: return QStringLiteral("読み取り専用のディスクです。");
    case ENOENT: return QStringLiteral("パスが見つかりません。");
    case ENOTDIR: return QStringLiteral("パスの途中がフォルダではありません。");
    case EISDIR: return QStringLiteral("同じ名前のフォルダがあります。");
    case EIO: return QStringLiteral("デバイスの入出力エラーです。");
    case ENAMETOOLONG: return QStringLiteral("ファイル名が長すぎます。");
    case EMFILE:
    case ENFILE: return QStringLiteral("開いているファイルが多すぎます。");
    default: break;
    }
    const char* text = errorNumber != 0 ? std::strerror(errorNumber) : nullptr;
    return text ? QString::fromLocal8Bit(text) + QStringLiteral(" (errno ") + QString::number(errorNumber) + u')'
                : QStringLiteral("書き込みに失敗しました。");
}

}  // namespace tova
