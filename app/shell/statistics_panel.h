// The "统计信息" group: the traffic counters of the last statistics record.
#pragma once

#include <array>

#include <QGroupBox>

class QLabel;
class QPushButton;

namespace qx {

class StatisticsPanel : public QGroupBox
{
    Q_OBJECT

public:
    static constexpr int kCounterCount = 10;

    explicit StatisticsPanel(QWidget *parent = nullptr);

    // TxCmd, RxCmd, TxByte, RxByte, then the six response classes.
    void setCounters(const std::array<QString, kCounterCount> &values);
    QString counter(int index) const;
    QPushButton *clearButton() const { return m_clear; }

private:
    std::array<QLabel *, kCounterCount> m_values {};
    QPushButton *m_clear = nullptr;
};

} // namespace qx
