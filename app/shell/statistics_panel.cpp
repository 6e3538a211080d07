#include "statistics_panel.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "captions.h"
#include "shell_texts.h"
#include "ui_text.h"

namespace qx {

StatisticsPanel::StatisticsPanel(QWidget *parent)
    : QGroupBox(uiText(shell_texts::kStatisticsGroup), parent)
{
    const char *labels[kCounterCount] = {
        shell_texts::kLabelTxCmd,  shell_texts::kLabelRxCmd,  shell_texts::kLabelTxByte, shell_texts::kLabelRxByte,
        shell_texts::kLabelClass1, shell_texts::kLabelClass2, shell_texts::kLabelClass3, shell_texts::kLabelClass4,
        shell_texts::kLabelClass5, shell_texts::kLabelClass6,
    };
    // four rows: the command and byte counters, then the response classes in
    // two columns with the buttons under the last ones; low enough to leave
    // the pages most of the window's height
    constexpr int kRows = 4;
    auto *grid = new QGridLayout(this);
    grid->setVerticalSpacing(2);
    for (int i = 0; i < kCounterCount; ++i) {
        m_values[i] = new QLabel(QStringLiteral("0"), this);
        m_values[i]->setObjectName(QStringLiteral("statistic%1").arg(i));
        m_values[i]->setMinimumWidth(80);
        m_captions[i] = captionFor(m_values[i], labels[i], this);
        grid->addWidget(m_captions[i], i % kRows, 2 * (i / kRows));
        grid->addWidget(m_values[i], i % kRows, 2 * (i / kRows) + 1);
    }
    const int buttonColumn = 2 * (kCounterCount / kRows);
    m_clear = new QPushButton(uiText(shell_texts::kButtonClearStatistics), this);
    grid->addWidget(m_clear, kRows - 2, buttonColumn, 1, 2);
    m_copy = new QPushButton(uiText(shell_texts::kButtonCopyStatistics), this);
    grid->addWidget(m_copy, kRows - 1, buttonColumn, 1, 2);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(m_copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(text()); });
}

QString StatisticsPanel::text() const
{
    QString out = title() + QLatin1Char('\n');
    for (int i = 0; i < kCounterCount; ++i)
        out += m_captions[i]->text() + QLatin1Char(' ') + m_values[i]->text() + QLatin1Char('\n');
    return out;
}

void StatisticsPanel::setCounters(const std::array<QString, kCounterCount> &values)
{
    for (int i = 0; i < kCounterCount; ++i)
        m_values[i]->setText(values[i]);
}

QString StatisticsPanel::counter(int index) const
{
    return m_values.at(index)->text();
}

} // namespace qx
