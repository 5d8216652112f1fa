#include "voicebank/ui/SampleListModel.h"

#include "voicebank/VoiceBankManager.h"

namespace tova {
namespace {

const char16_t* const kHeaders[9] = {u"名前", u"エイリアス", u"オフセット", u"子音部", u"ブランク",
                                     u"先行発声", u"オーバーラップ", u"frq", u""};

}  // namespace

SampleListModel::SampleListModel(VoiceBankManager& logic, QObject* parent)
    : QAbstractTableModel(parent), logic_(logic), shownRows_(int(logic.rows.size())) {}

int SampleListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }

int SampleListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 9; }

QVariant SampleListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= logic_.rows.size()) return {};
    if (role == Qt::TextAlignmentRole)
        return int((index.column() >= 1 && index.column() <= 6 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    const SampleRow& row = logic_.rows[index.row()];
    return index.column() == 0 ? row.text : row.item(index.column());
}

QVariant SampleListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= 9) return {};
    if (role == Qt::DisplayRole) return QString::fromUtf16(kHeaders[section]);
    if (role == Qt::TextAlignmentRole)
        return int((section >= 1 && section <= 6 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return {};
}

void SampleListModel::refresh() {
    const int now = int(logic_.rows.size());
    if (now != shownRows_) {
        beginResetModel();
        shownRows_ = now;
        endResetModel();
    } else if (now > 0) {
        emit dataChanged(index(0, 0), index(now - 1, 8));
    }
}

}  // namespace tova
