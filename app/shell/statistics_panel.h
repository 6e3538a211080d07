// The "统计信息" group: the traffic counters of the last statistics record,
// "清空统计", and "复制统计", which puts the panel on the clipboard as text.
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
    QPushButton *copyButton() const { return m_copy; }
    // The panel as the operator reads it: the group's title, then each
    // caption and its counter on a line of their own.
    QString text() const;

private:
    std::array<QLabel *, kCounterCount> m_captions {};
    std::array<QLabel *, kCounterCount> m_values {};
    QPushButton *m_clear = nullptr;
    QPushButton *m_copy = nullptr;
};

} // namespace qx
