#pragma once

#include <QAbstractTableModel>

namespace tova {

class VoiceBankManager;

// The manager's rows as the list control shows them: column 0 the name, 1..8 the sub-items. The model
// reads the rows where they are (no copy), so a bank of tens of thousands of samples scrolls without
// building anything per row.
class SampleListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SampleListModel(VoiceBankManager& logic, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Shows the rows as they are now: their texts, and their number when it changed.
    void refresh();

private:
    VoiceBankManager& logic_;
    int shownRows_ = 0;
};

}  // namespace tova
